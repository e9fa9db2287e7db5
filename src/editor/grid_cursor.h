// The keyboard cursor over the pattern grid: the cell the keys act on and
// the anchor a Shift move extends the range selection from. The cursor
// moves over the frame columns (2 .. gridColumnCount - 1) and the rows below
// the frame numbers (the two time rows and the channel rows, 1 ..
// gridRowCount - 1) of the current area; a range selection spans channel
// rows only, as a drag over the channels does.
#pragma once

#include "editor/selection.h"
#include "model/pattern_store.h"

namespace vqled {

constexpr int kFirstChannelRow = 3;

struct GridCursor {
  GridCell cell{kFirstFrameColumn, kFirstChannelRow};
  GridCell anchor{kFirstFrameColumn, kFirstChannelRow};
};

enum CursorMove : int {
  MOVE_LEFT = 0,
  MOVE_RIGHT,
  MOVE_UP,
  MOVE_DOWN,
  MOVE_PAGE_UP,    // a page of rows up
  MOVE_PAGE_DOWN,  // a page of rows down
  MOVE_HOME,       // frame 1 of the row
  MOVE_END,        // the last used frame of the area, in the row
  MOVE_USED_LEFT,  // Ctrl+arrows: to the ends of the used range, then of the grid
  MOVE_USED_RIGHT,
  MOVE_USED_UP,
  MOVE_USED_DOWN,
  MOVE_FIRST,     // frame 1 of channel 1
  MOVE_LAST_USED  // the last used frame of the last used channel
};

// The used range of the current area: the last frame column and the last
// channel row (among those the grid shows) holding a cell other than 0;
// kFirstFrameColumn and kFirstChannelRow when the area is empty.
struct UsedRange {
  int lastColumn = kFirstFrameColumn;
  int lastRow = kFirstChannelRow;
  bool empty = true;
};
UsedRange FindUsedRange(const PatternStore& store);

// Moves the cursor; pageRows is how many rows a page move passes (at least
// 1). With extend the anchor stays and both ends keep to the channel rows;
// without it the anchor follows the cursor. The result lies inside the grid.
void MoveCursor(GridCursor& cursor, const PatternStore& store, CursorMove move, bool extend,
                int pageRows);

// Puts cursor and anchor inside the grid as it is laid out now (after a
// change of model or controller count).
void ClampCursor(GridCursor& cursor, const PatternStore& store);

// Whether the cell is one the cursor can stand on.
bool IsCursorCell(const PatternStore& store, GridCell cell);

// The rectangle from anchor to cursor, both ends included.
GridCellRect CursorSelection(const GridCursor& cursor);

}  // namespace vqled
