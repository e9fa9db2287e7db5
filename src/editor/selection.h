// Pointer handling over the pattern grid: the cells where the buttons went
// down and up, the cell of the last release (editCell), the rectangle a drag
// spans (selectionRect), the hover label, and what a release on the grid
// does. The window keeps an EditorPointer and feeds it the pointer events
// with the cell under the pointer at the moment of each event, so a drag
// that scrolls the grid still names the cells the pointer went down and up
// on: the rectangle the grid highlights.
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

// The pointer state the main form keeps from one event to the next.
struct EditorPointer {
  GridCell pressCell;    // under the pointer when a button last went down on the grid
  GridCell releaseCell;  // of the last release on a channel row (frame column)
  GridCell editCell;     // of the last release anywhere on the grid
};

// The rectangle from the smaller to the larger column and row of pressCell
// and releaseCell.
GridCellRect SelectionRect(const EditorPointer& pointer);

// A button press on the grid over `cell` (whatever the button).
void PressOnGrid(EditorPointer& pointer, GridCell cell);

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
  // Every release on a channel row sets the states of N1 ("添加一列"), N2
  // ("删除一列") and N4 ("填充选中"), whether the menu opens now or later
  // from the value box; other releases leave them as they are.
  bool setsMenuStates = false;
  bool addColumnEnabled = true;      // N1
  bool deleteColumnEnabled = true;   // N2
  bool fillSelectedEnabled = false;  // N4
  // RELEASE_OPEN_MENU: whether the clicked cell becomes the grid's current
  // cell (a right click that is no drag).
  bool makeCurrentCell = false;
};

// Whether a left click on a channel cell of this kind opens the value entry
// (the brightness kinds) rather than toggling the cell (the on/off kinds).
bool OpensValueEntry(int kind);

// A button release on the grid over cell `cell` (-1 past the last column or
// row). Sets editCell, and releaseCell for a release on a channel row; a
// left click on an on/off model toggles the cell between 0 and fadeCode.
// Hiding both time lists is the window's part of every release.
ReleaseResult ReleaseOnGrid(PatternStore& store, const ModelProfile& profile,
                            EditorPointer& pointer, PointerButton button, GridCell cell);

// The text of the hover label cxLabel3 over cell (column, row), in the
// language savedLanguage restores (1 English, otherwise Chinese).
std::string HoverLabelText(int savedLanguage, GridCell cell);
// The label's left edge for the pointer at x (grid coordinates).
inline int HoverLabelLeft(int pointerX, int labelWidth) {
  return pointerX - labelWidth / 2 + 13;
}

}  // namespace vqled
