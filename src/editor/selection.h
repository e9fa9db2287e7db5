// Pointer handling over the pattern grid: where the buttons went down and
// up, the cell of the last release (editCell), the rectangle a drag spans
// (selectionRect), the hover label, and what a release on the grid does.
// The window keeps an EditorPointer and feeds it the pointer events; the
// grid widget answers which cell lies under a screen point.
#pragma once

#include <string>

#include "model/model_profile.h"
#include "model/pattern_store.h"

namespace vqled {

// A grid cell (column, row); -1 in a coordinate that lies past the last
// column or row.
struct GridCell {
  int column = 0;
  int row = 0;
  bool operator==(const GridCell&) const = default;
};

// A rectangle of cells, both ends included.
struct GridCellRect {
  int left = 0;
  int top = 0;
  int right = -1;
  int bottom = -1;
  bool operator==(const GridCellRect&) const = default;
};

struct ScreenPoint {
  int x = 0;
  int y = 0;
};

// Which cell lies under a screen point as the grid lies on the screen now.
class GridGeometry {
 public:
  virtual ~GridGeometry() = default;
  virtual GridCell CellAtScreen(int x, int y) const = 0;
};

// The pointer state the main form keeps from one event to the next.
struct EditorPointer {
  ScreenPoint pressPoint;
  ScreenPoint releasePoint;
  GridCell editCell;
};

// Whether both coordinates of a cell name a cell (neither is -1).
inline bool IsGridCell(const GridCell& cell) {
  return cell.column >= 0 && cell.row >= 0;
}

// The cells under pressPoint and releasePoint, converted now.
GridCell PressCell(const EditorPointer& pointer, const GridGeometry& grid);
GridCell ReleaseCell(const EditorPointer& pointer, const GridGeometry& grid);
// The rectangle from the smaller to the larger column and row of the two.
GridCellRect SelectionRect(const EditorPointer& pointer, const GridGeometry& grid);

// A button press on the grid: only the screen position is kept.
void PressOnGrid(EditorPointer& pointer, ScreenPoint screen);

enum PointerButton : int { BUTTON_LEFT = 0, BUTTON_RIGHT = 1, BUTTON_OTHER = 2 };

enum ReleaseAction : int {
  RELEASE_NOTHING = 0,       // outside the frame cells, or nothing to open
  RELEASE_OPEN_TIME_VALUES,  // OpenTimeValueList for editCell's column
  RELEASE_OPEN_TIME_TYPES,   // OpenTimeTypeList for editCell's column
  RELEASE_OPEN_MENU,         // RightMenu at the pointer, with the enables below
  RELEASE_CELL_TOGGLED,      // a left click toggled the cell; repaint the grid
  RELEASE_OPEN_VALUE_ENTRY   // OpenValueEntry on editCell
};

struct ReleaseResult {
  ReleaseAction action = RELEASE_NOTHING;
  // RELEASE_OPEN_MENU: the states of N1 ("添加一列"), N2 ("删除一列") and
  // N4 ("填充选中"), and whether the clicked cell becomes the grid's current
  // cell (a right click that is no drag).
  bool n1Enabled = true;
  bool n2Enabled = true;
  bool n4Enabled = false;
  bool makeCurrentCell = false;
};

// A button release on the grid at cell `cell` (the cell under the pointer,
// -1 past the last column or row) and screen position `screen`. Sets
// editCell, and releasePoint for a release on a channel row; a left click
// on an on/off model toggles the cell between 0 and fadeCode. Hiding both
// time lists is the window's part of every release.
ReleaseResult ReleaseOnGrid(PatternStore& store, const ModelProfile& profile,
                            EditorPointer& pointer, const GridGeometry& grid, PointerButton button,
                            GridCell cell, ScreenPoint screen);

// The text of the hover label cxLabel3 over cell (column, row), in the
// language savedLanguage restores (1 English, otherwise Chinese).
std::string HoverLabelText(int savedLanguage, GridCell cell);
// The label's left edge for the pointer at x (grid coordinates).
inline int HoverLabelLeft(int pointerX, int labelWidth) {
  return pointerX - labelWidth / 2 + 13;
}

}  // namespace vqled
