// The keyboard over the grid StringGrid1: a cell cursor that arrows, Home,
// End, Page Up/Down and Ctrl+arrows move, Shift extending the range
// selection; digits open the value box HYEdit on the cursor cell with the
// typed number, Enter stores it and moves down, Escape cancels; Enter and
// Space act on the cursor cell as a left click does. The menu commands of
// RightMenu get their shortcuts here: each runs the item's own handler and
// does nothing while the item is disabled. Ctrl+S presses "全部区保存".
//
// The cursor moves the grid entry's pointer state as a click or a drag from
// the anchor would, so every command acts on what the keys selected; a
// release of the mouse on the grid brings the cursor to the released cell.
#pragma once

#include <QObject>
#include <QPoint>

#include "editor/grid_cursor.h"

class QKeyEvent;
class QMenu;
class QWidget;

namespace Ui {
class TForm2;
}

namespace vqled {

class Document;
class EntryPanel;
class StringGrid;

class GridKeys : public QObject {
 public:
  // Built after the form has connected the grid and the entry controls, so
  // that its reactions to a release and to Enter in HYEdit come after the
  // form's handlers.
  GridKeys(QWidget* form, Ui::TForm2& ui, StringGrid* grid, QMenu* menu, EntryPanel& entry,
           Document& document);

  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BindShortcuts(QWidget* form, QMenu* menu);
  bool GridKeyPress(const QKeyEvent& key);
  bool MoveKey(const QKeyEvent& key);
  void Move(CursorMove move, bool extend);
  void ShowCursor();
  void FollowRelease(QPoint viewportPos);
  void EntryStored();
  void ReturnToGrid();
  int PageRows() const;

  Ui::TForm2& ui_;
  StringGrid* grid_;
  EntryPanel& entry_;
  Document& document_;
  GridCursor cursor_;
};

}  // namespace vqled
