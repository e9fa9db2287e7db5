// The block commands of the grid's popup menu RightMenu: copy, fill and
// clear a rectangle, paste, insert and delete a frame column, copy and paste
// one channel. They move cells of the current area only, never frame times,
// through the editor's own clipboard, which all areas share. Nothing is
// written outside the area; the window repaints the grid after each command.
#pragma once

#include <cstdint>

#include "editor/selection.h"
#include "model/pattern_store.h"

namespace vqled {

constexpr int kClipRows = 336;
constexpr int kClipColumns = 4000;
// Columns of clipBuffer cleared before every rectangle copy.
constexpr int kClipClearedColumns = 210;
// InsertColumn and DeleteColumn move the cells of rows 2..334, columns up to 3501.
constexpr int kShiftFirstRow = 2;
constexpr int kShiftLastRow = 334;
constexpr int kShiftLastColumn = 3500;

struct EditorClipboard {
  int32_t clipBuffer[kClipRows][kClipColumns] = {};
  int clipLastColumn = 0;       // width of the copied rectangle - 1
  int clipLastRow = 0;          // height of the copied rectangle - 1
  int clipValue = 0;            // a single copied cell
  bool clearAfterCopy = false;  // "删除选中"
  bool fillAfterCopy = false;   // "填充选中"
};

// Empties the clipboard (start-up).
void ClearClipboard(EditorClipboard& clip);

// Copies the rectangle (a single cell into clipValue, more into clipBuffer),
// clearing or filling it with fillValue (the number of HYEdit) as the flags
// ask; resets both flags. Columns 0 and 1 are skipped; a rectangle taller
// than the clipboard copies its first 336 rows (and still clears or fills
// all of them); a rectangle with a coordinate of -1 or with its ends out
// of order does nothing.
void CopySelection(PatternStore& store, EditorClipboard& clip, const GridCellRect& rect,
                   int fillValue);
// Pastes clipValue, or the copied block with its top-left corner, at editCell.
void PasteClip(PatternStore& store, const EditorClipboard& clip, GridCell editCell);
// Moves the cells of editCell's column and those right of it one column
// right (to column 3500), emptying editCell's column.
void InsertColumn(PatternStore& store, GridCell editCell);
// Moves the cells right of editCell's column one column left (from column
// 3501), emptying column 3501. A column past 3501 is only emptied.
void DeleteColumn(PatternStore& store, GridCell editCell);
// Copies the channel of editCell from its column to the model's last column
// into the first row of clipBuffer.
void CopyChannel(const PatternStore& store, EditorClipboard& clip, GridCell editCell,
                 int gridColumnCount);
// Writes the first row of clipBuffer into editCell's channel from its column
// to the model's last column.
void PasteChannel(PatternStore& store, const EditorClipboard& clip, GridCell editCell,
                  int gridColumnCount);

}  // namespace vqled
