#include "entry_panel.h"

#include <QAction>
#include <QMenu>

#include "convert_error.h"
#include "editor/entry.h"
#include "panel_text.h"
#include "string_grid.h"
#include "ui_Mianc.h"

namespace vqled {

namespace {

PointerButton ToPointerButton(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton:
      return BUTTON_LEFT;
    case Qt::RightButton:
      return BUTTON_RIGHT;
    default:
      return BUTTON_OTHER;
  }
}

void SetItemEnabled(QMenu* menu, const char* name, bool enabled) {
  menu->findChild<QAction*>(QString::fromLatin1(name))->setEnabled(enabled);
}

}  // namespace

EntryPanel::EntryPanel(QWidget* form, Ui::TForm2& ui, StringGrid* grid, QMenu* menu,
                       Document& document, const LanguageMode& language)
    : form_(form), ui_(ui), grid_(grid), menu_(menu), document_(document), language_(language) {}

// The press cell is taken now, as the grid lies at the press: a drag that
// scrolls the grid keeps it, as the grid's highlight does.
void EntryPanel::MouseDown(QPoint viewportPos) {
  PressOnGrid(pointer, grid_->cellAt(viewportPos));
}

// The hover label names the channel and the frame under the pointer, in the
// language the next start restores.
void EntryPanel::MouseMove(QPoint viewportPos) {
  const GridCell cell = grid_->cellAt(viewportPos);
  QLabel* label = ui_.cxLabel3;
  label->setText(QString::fromStdString(HoverLabelText(language_.savedLanguage, cell)));
  label->adjustSize();
  label->move(HoverLabelLeft(viewportPos.x(), label->width()), label->y());
  label->show();
  label->raise();
}

void EntryPanel::MouseUp(Qt::MouseButton button, QPoint viewportPos, QPoint screenPos) {
  const GridCell cell = grid_->cellAt(viewportPos);
  const ReleaseResult result = Release(ToPointerButton(button), cell);
  if (OpenTimeList(result.action, cell.column)) return;
  switch (result.action) {
    case RELEASE_OPEN_MENU:
      if (result.makeCurrentCell) {
        grid_->setCurrentCell(cell.column, cell.row);
      } else {
        HighlightSelection();
      }
      menu_->popup(screenPos);
      break;
    case RELEASE_CELL_TOGGLED:
      grid_->invalidate();
      break;
    case RELEASE_OPEN_VALUE_ENTRY:
      OpenValueEntry(cell.column, cell.row);
      break;
    default:
      break;
  }
}

// Every release: the time lists close, the pointer state and the menu
// states follow the released cell.
ReleaseResult EntryPanel::Release(PointerButton button, GridCell cell) {
  HideTimeLists();
  const ReleaseResult result =
      ReleaseOnGrid(document_.store(), document_.profile(), pointer, button, cell);
  ApplyMenuStates(result);
  return result;
}

// The time list a release on a time row opens; false for any other action.
bool EntryPanel::OpenTimeList(ReleaseAction action, int column) {
  if (action == RELEASE_OPEN_TIME_VALUES) {
    OpenTimeValueList(column);
  } else if (action == RELEASE_OPEN_TIME_TYPES) {
    OpenTimeTypeList(column);
  } else {
    return false;
  }
  return true;
}

void EntryPanel::ApplyMenuStates(const ReleaseResult& result) {
  if (!result.setsMenuStates) return;
  SetItemEnabled(menu_, "N1", result.addColumnEnabled);
  SetItemEnabled(menu_, "N2", result.deleteColumnEnabled);
  SetItemEnabled(menu_, "N4", result.fillSelectedEnabled);
}

// The release of a button that is neither left nor right: it sets the
// pointer state and the menu states as any release does and changes no cell.
void EntryPanel::PointAt(GridCell anchor, GridCell cell) {
  PressOnGrid(pointer, anchor);
  Release(BUTTON_OTHER, cell);
}

// A left click made by key. A cell it toggles is one undo step, as a click
// with the mouse is.
void EntryPanel::KeyClick(GridCell cell, bool openEntry) {
  PressOnGrid(pointer, cell);
  StepGuard step(document_, STEP_CELL_CLICK, cell.row);
  const ReleaseResult result = Release(BUTTON_LEFT, cell);
  OpenTimeList(result.action, cell.column);
  if (result.action == RELEASE_OPEN_VALUE_ENTRY) {
    if (openEntry) {
      const int value =
          document_.store().Cell(document_.store().currentArea, cell.row, cell.column);
      OpenTypedEntry(cell, value != 0 ? QString::number(value) : ui_.HYEdit->text());
      ui_.HYEdit->selectAll();
    } else {
      ToggleEntryCell(document_.store(), cell, EntryNumber());
    }
  }
  grid_->invalidate();
}

void EntryPanel::OpenTypedEntry(GridCell cell, const QString& typed) {
  PlaceOver(ui_.HYEdit, cell.column, cell.row, 0);
  clickLitCell = true;
  ui_.HYEdit->setText(typed);
  ShowEntry();
}

void EntryPanel::CancelEntry() {
  ui_.HYEdit->hide();
  grid_->invalidate();
}

void EntryPanel::ShowEntry() {
  ui_.HYEdit->show();
  ui_.HYEdit->setFocus();
}

// Lays a floating control over cell (column, row), one pixel wider and taller
// than the cell, and extraWidth pixels further to the left.
void EntryPanel::PlaceOver(QWidget* control, int column, int row, int extraWidth) {
  const QRect cell = grid_->cellRect(column, row);
  const QPoint topLeft = grid_->viewport()->mapTo(form_, cell.topLeft());
  control->setGeometry(topLeft.x() - extraWidth, topLeft.y(), cell.width() + 1 + extraWidth,
                       cell.height() + 1);
  control->raise();
}

// After a drag the grid highlights selectionRect, the cells the block
// commands act on, whichever button dragged; a rectangle that reaches past
// the grid's cells is acted on by nothing and highlights nothing.
void EntryPanel::HighlightSelection() {
  const GridCellRect rect = SelectionRect(pointer);
  grid_->setSelection(rect.left >= 0 && rect.top >= 0 ? rect : GridCellRect{});
}

// The floating controls lie over their cell while the grid scrolls: the value
// box over editCell, the time lists over the time rows of editCell's column.
// One whose cell has left the scrolling cells closes: a list without storing,
// the value box as when the pointer leaves it.
void EntryPanel::TopLeftChanged() {
  const GridCell cell = pointer.editCell;
  if (ui_.TimeComb->isVisible() && !FollowCell(ui_.TimeComb, cell.column, 2)) {
    ui_.TimeComb->hide();
  }
  if (ui_.TimeComb2->isVisible() && !FollowCell(ui_.TimeComb2, cell.column, 1)) {
    ui_.TimeComb2->hide();
  }
  if (ui_.HYEdit->isVisible() && !FollowCell(ui_.HYEdit, cell.column, cell.row)) {
    EntryMouseLeave();
  }
}

// Moves a floating control, keeping its size, so that it lies over cell
// (column, row) as PlaceOver laid it; false when the cell is not wholly in
// view among the scrolling cells.
bool EntryPanel::FollowCell(QWidget* control, int column, int row) {
  if (!grid_->isCellInView(column, row)) return false;
  const QRect cell = grid_->cellRect(column, row);
  const QPoint topLeft = grid_->viewport()->mapTo(form_, cell.topLeft());
  control->move(topLeft.x() + cell.width() + 1 - control->width(), topLeft.y());
  return true;
}

int EntryPanel::EntryNumber() const {
  return StrToInt(ui_.HYEdit->text(), language_.textVariant);
}

void EntryPanel::OpenValueEntry(int column, int row) {
  PlaceOver(ui_.HYEdit, column, row, 0);
  clickLitCell = ToggleEntryCell(document_.store(), {column, row}, EntryNumber());
  ShowEntry();
  ui_.HYEdit->selectAll();  // what is typed replaces the shown number
}

void EntryPanel::EntryKeyUp() {
  std::string text = ui_.HYEdit->text().toStdString();
  EntryKeyReleased(text);
  if (QString::fromStdString(text) != ui_.HYEdit->text()) {
    ui_.HYEdit->setText(QString::fromStdString(text));
  }
}

void EntryPanel::EntryChange() {
  std::string text = ui_.HYEdit->text().toStdString();
  EntryTextChanged(text);
  if (QString::fromStdString(text) != ui_.HYEdit->text()) {
    ui_.HYEdit->setText(QString::fromStdString(text));
  }
}

void EntryPanel::StoreEntryValue() {
  const Outcome stored =
      StoreEntryNumber(document_.store(), pointer.editCell, ui_.HYEdit->text().toStdString());
  if (!stored.ok) throw ConvertError(InLanguage(stored.message, language_));
}

// Enter confirms the typed value; the box closes and its cell is repainted.
void EntryPanel::EntryEnter() {
  StoreEntryValue();
  ui_.HYEdit->hide();
  grid_->invalidate();
}

// The pointer leaving the box keeps what a lighting click typed; a clearing
// click leaves the cell cleared.
void EntryPanel::EntryMouseLeave() {
  ui_.HYEdit->hide();
  grid_->invalidate();
  if (clickLitCell) StoreEntryValue();
}

void EntryPanel::OpenTimeTypeList(int column) {
  QComboBox* list = ui_.TimeComb;
  list->clear();
  for (const char* item : kTimeTypeItems) list->addItem(QString::fromLatin1(item));
  list->setCurrentIndex(-1);
  PlaceOver(list, column, 2, 0);
  list->show();
  list->showPopup();
}

void EntryPanel::OpenTimeValueList(int column) {
  static TimeValueItems items;  // 4 kB of item values, built anew for each opening
  BuildTimeValueItems(document_.profile().valueKind,
                      document_.store().frameTime[document_.store().currentArea].timeType[column],
                      items);
  QStringList texts;
  texts.reserve(items.count);
  for (int i = 0; i < items.count; ++i) texts.append(QString::number(items.values[i]));
  QComboBox* list = ui_.TimeComb2;
  list->clear();
  list->addItems(texts);
  list->setCurrentIndex(-1);
  PlaceOver(list, column, 1, items.wide ? 20 : 0);
  list->show();
  list->showPopup();
}

void EntryPanel::TimeTypeSelect(int index) {
  PickTimeType(document_.store(), pointer.editCell, index);
  ui_.TimeComb->hide();
  grid_->invalidate();
}

void EntryPanel::TimeValueSelect(int index) {
  ui_.TimeComb2->hide();
  grid_->invalidate();
  const Outcome picked = PickTimeValue(document_.store(), pointer.editCell,
                                       ui_.TimeComb2->itemText(index).toStdString());
  if (!picked.ok) throw ConvertError(InLanguage(picked.message, language_));
}

void EntryPanel::HideTimeLists() {
  ui_.TimeComb->hide();
  ui_.TimeComb2->hide();
}

}  // namespace vqled
