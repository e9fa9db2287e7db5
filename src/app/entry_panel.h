// The grid entry: the pointer state over StringGrid1 and the three floating
// entry controls over the grid, the value box HYEdit and the time lists
// TimeComb (time type) and TimeComb2 (time value). The rules of what a click,
// a typed text or a chosen item stores are the editor's; the panel places
// and shows the controls.
#pragma once

#include <QPoint>
#include <QString>

#include "document/document.h"
#include "editor/selection.h"
#include "ui/captions.h"

class QMenu;
class QWidget;

namespace Ui {
class TForm2;
}

namespace vqled {

class StringGrid;

class EntryPanel {
 public:
  EntryPanel(QWidget* form, Ui::TForm2& ui, StringGrid* grid, QMenu* menu, Document& document,
             const LanguageMode& language);

  void MouseDown(QPoint viewportPos);
  void MouseMove(QPoint viewportPos);
  void MouseUp(Qt::MouseButton button, QPoint viewportPos, QPoint screenPos);
  void TopLeftChanged();
  void OpenValueEntry(int column, int row);
  void OpenTimeTypeList(int column);
  void OpenTimeValueList(int column);
  void EntryKeyUp();
  void EntryChange();
  void EntryEnter();
  void EntryMouseLeave();
  void TimeTypeSelect(int index);
  void TimeValueSelect(int index);
  void HideTimeLists();
  // The number in HYEdit, which the block commands and the runs write.
  int EntryNumber() const;

  // The keyboard's part: the pointer state as a drag from anchor to cell
  // leaves it (a click when both are the same cell), with the menu states
  // such a release sets.
  void PointAt(GridCell anchor, GridCell cell);
  // A left click on the cell by key: toggles an on/off cell, opens the time
  // list of a time row; on a brightness cell Enter (openEntry) opens the
  // value box showing the cell's value, Space toggles the cell with the
  // box's number.
  void KeyClick(GridCell cell, bool openEntry);
  // Opens the value box on the cell with the typed text in place of its
  // number; nothing is stored before Enter (or the pointer leaving the box).
  void OpenTypedEntry(GridCell cell, const QString& typed);
  // Escape in the value box: it closes and stores nothing.
  void CancelEntry();

  EditorPointer pointer;
  bool clickLitCell = false;

 private:
  void PlaceOver(QWidget* control, int column, int row, int extraWidth);
  bool FollowCell(QWidget* control, int column, int row);
  void HighlightSelection();
  void ApplyMenuStates(const ReleaseResult& result);
  ReleaseResult Release(PointerButton button, GridCell cell);
  bool OpenTimeList(ReleaseAction action, int column);
  void ShowEntry();
  void StoreEntryValue();

  QWidget* form_;
  Ui::TForm2& ui_;
  StringGrid* grid_;
  QMenu* menu_;
  Document& document_;
  const LanguageMode& language_;
};

}  // namespace vqled
