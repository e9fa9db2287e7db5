// TForm2: the pointer over the grid StringGrid1 and the three floating entry
// controls over it: the value box HYEdit and the time lists TimeComb (time
// type) and TimeComb2 (time value). The rules of what a click, a typed text
// or a chosen item stores are the editor's; the form places and shows.
#include <QAction>
#include <QEvent>
#include <QMenu>

#include "Mianc.h"
#include "application.h"
#include "convert_error.h"
#include "editor/entry.h"
#include "message_box.h"
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

void TForm2::ConnectEntry() {
  connect(StringGrid1, &StringGrid::gridMousePress, this,
          [this](Qt::MouseButton, QPoint viewport, QPoint) { StringGrid1MouseDown(viewport); });
  connect(StringGrid1, &StringGrid::gridMouseMove, this,
          [this](Qt::MouseButtons, QPoint viewport, QPoint) { StringGrid1MouseMove(viewport); });
  connect(StringGrid1, &StringGrid::gridMouseRelease, this,
          [this](Qt::MouseButton button, QPoint viewport, QPoint screen) {
            RunHandler([&] { StringGrid1MouseUp(button, viewport, screen); });
          });
  connect(StringGrid1, &StringGrid::gridScrolled, this,
          [this] { RunHandler([this] { StringGrid1TopLeftChanged(); }); });
  connect(ui_->HYEdit, &QLineEdit::textChanged, this, [this] { HYEditChange(); });
  connect(ui_->HYEdit, &QLineEdit::returnPressed, this,
          [this] { RunHandler([this] { HYEditEnter(); }); });
  connect(ui_->HYEdit, &QWidget::customContextMenuRequested, this,
          [this](QPoint at) { RightMenu->popup(ui_->HYEdit->mapToGlobal(at)); });
  ui_->HYEdit->setContextMenuPolicy(Qt::CustomContextMenu);
  ui_->HYEdit->setMaxLength(4);
  ui_->HYEdit->installEventFilter(this);
  connect(ui_->TimeComb, &QComboBox::activated, this,
          [this](int index) { RunHandler([&] { TimeCombSelect(index); }); });
  connect(ui_->TimeComb2, &QComboBox::activated, this,
          [this](int index) { RunHandler([&] { TimeComb2Select(index); }); });
  QWidget* bands[] = {ui_->GroupBox4, ui_->Panel1};
  for (QWidget* band : bands) {
    band->setMouseTracking(true);
    band->installEventFilter(this);
  }
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui_->HYEdit) {
    if (event->type() == QEvent::KeyRelease) HYEditKeyUp();
    if (event->type() == QEvent::Leave && ui_->HYEdit->isVisible()) {
      RunHandler([this] { HYEditMouseLeave(); });
    }
  } else if (event->type() == QEvent::MouseMove) {
    FormMouseMove();
  }
  return QWidget::eventFilter(watched, event);
}

// The press cell is taken now, as the grid lies at the press: a drag that
// scrolls the grid keeps it, as the grid's highlight does.
void TForm2::StringGrid1MouseDown(QPoint viewportPos) {
  PressOnGrid(pointer, StringGrid1->cellAt(viewportPos));
}

// The hover label names the channel and the frame under the pointer, in the
// language the next start restores.
void TForm2::StringGrid1MouseMove(QPoint viewportPos) {
  const GridCell cell = StringGrid1->cellAt(viewportPos);
  QLabel* label = ui_->cxLabel3;
  label->setText(QString::fromStdString(HoverLabelText(languageMode.savedLanguage, cell)));
  label->adjustSize();
  label->move(HoverLabelLeft(viewportPos.x(), label->width()), label->y());
  label->show();
  label->raise();
}

void TForm2::StringGrid1MouseUp(Qt::MouseButton button, QPoint viewportPos, QPoint screenPos) {
  const GridCell cell = StringGrid1->cellAt(viewportPos);
  HideTimeLists();
  const ReleaseResult result =
      ReleaseOnGrid(document_.store(), document_.profile(), pointer, ToPointerButton(button), cell);
  if (result.setsMenuStates) {
    SetItemEnabled(RightMenu, "N1", result.addColumnEnabled);
    SetItemEnabled(RightMenu, "N2", result.deleteColumnEnabled);
    SetItemEnabled(RightMenu, "N4", result.fillSelectedEnabled);
  }
  switch (result.action) {
    case RELEASE_OPEN_TIME_VALUES:
      OpenTimeValueList(cell.column);
      break;
    case RELEASE_OPEN_TIME_TYPES:
      OpenTimeTypeList(cell.column);
      break;
    case RELEASE_OPEN_MENU:
      if (result.makeCurrentCell) {
        StringGrid1->setCurrentCell(cell.column, cell.row);
      } else {
        HighlightSelection();
      }
      RightMenu->popup(screenPos);
      break;
    case RELEASE_CELL_TOGGLED:
      StringGrid1->invalidate();
      break;
    case RELEASE_OPEN_VALUE_ENTRY:
      OpenValueEntry(cell.column, cell.row);
      break;
    case RELEASE_NOTHING:
      break;
  }
}

// Lays a floating control over cell (column, row), one pixel wider and taller
// than the cell, and extraWidth pixels further to the left.
void TForm2::PlaceOver(QWidget* control, int column, int row, int extraWidth) {
  const QRect cell = StringGrid1->cellRect(column, row);
  const QPoint topLeft = StringGrid1->viewport()->mapTo(this, cell.topLeft());
  control->setGeometry(topLeft.x() - extraWidth, topLeft.y(), cell.width() + 1 + extraWidth,
                       cell.height() + 1);
  control->raise();
}

// After a drag the grid highlights selectionRect, the cells the block
// commands act on, whichever button dragged; a rectangle that reaches past
// the grid's cells is acted on by nothing and highlights nothing.
void TForm2::HighlightSelection() {
  const GridCellRect rect = SelectionRect(pointer);
  StringGrid1->setSelection(IsGridCell({rect.left, rect.top}) ? rect : GridCellRect{});
}

// The floating controls lie over their cell while the grid scrolls: the value
// box over editCell, the time lists over the time rows of editCell's column.
// One whose cell has left the scrolling cells closes: a list without storing,
// the value box as when the pointer leaves it.
void TForm2::StringGrid1TopLeftChanged() {
  const GridCell cell = pointer.editCell;
  if (ui_->TimeComb->isVisible() && !FollowCell(ui_->TimeComb, cell.column, 2)) {
    ui_->TimeComb->hide();
  }
  if (ui_->TimeComb2->isVisible() && !FollowCell(ui_->TimeComb2, cell.column, 1)) {
    ui_->TimeComb2->hide();
  }
  if (ui_->HYEdit->isVisible() && !FollowCell(ui_->HYEdit, cell.column, cell.row)) {
    HYEditMouseLeave();
  }
}

// Moves a floating control, keeping its size, so that it lies over cell
// (column, row) as PlaceOver laid it; false when the cell is not wholly in
// view among the scrolling cells.
bool TForm2::FollowCell(QWidget* control, int column, int row) {
  if (!StringGrid1->isCellInView(column, row)) return false;
  const QRect cell = StringGrid1->cellRect(column, row);
  const QPoint topLeft = StringGrid1->viewport()->mapTo(this, cell.topLeft());
  control->move(topLeft.x() + cell.width() + 1 - control->width(), topLeft.y());
  return true;
}

int TForm2::EntryNumber() const {
  return ReadInt(ui_->HYEdit->text());
}

void TForm2::OpenValueEntry(int column, int row) {
  PlaceOver(ui_->HYEdit, column, row, 0);
  clickLitCell = ToggleEntryCell(document_.store(), {column, row}, EntryNumber());
  ui_->HYEdit->show();
  ui_->HYEdit->setFocus();
  ui_->HYEdit->selectAll();  // what is typed replaces the shown number
}

void TForm2::HYEditKeyUp() {
  std::string text = ui_->HYEdit->text().toStdString();
  EntryKeyReleased(text);
  if (QString::fromStdString(text) != ui_->HYEdit->text()) {
    ui_->HYEdit->setText(QString::fromStdString(text));
  }
}

void TForm2::HYEditChange() {
  std::string text = ui_->HYEdit->text().toStdString();
  EntryTextChanged(text);
  if (QString::fromStdString(text) != ui_->HYEdit->text()) {
    ui_->HYEdit->setText(QString::fromStdString(text));
  }
}

void TForm2::StoreEntryValue() {
  const Outcome stored =
      StoreEntryNumber(document_.store(), pointer.editCell, ui_->HYEdit->text().toStdString());
  if (!stored.ok) throw ConvertError(Tr(stored.message));
}

// Enter confirms the typed value; the box closes and its cell is repainted.
void TForm2::HYEditEnter() {
  StoreEntryValue();
  ui_->HYEdit->hide();
  StringGrid1->invalidate();
}

// The pointer leaving the box keeps what a lighting click typed; a clearing
// click leaves the cell cleared.
void TForm2::HYEditMouseLeave() {
  ui_->HYEdit->hide();
  StringGrid1->invalidate();
  if (clickLitCell) StoreEntryValue();
}

void TForm2::OpenTimeTypeList(int column) {
  QComboBox* list = ui_->TimeComb;
  list->clear();
  for (const char* item : kTimeTypeItems) list->addItem(QString::fromLatin1(item));
  list->setCurrentIndex(-1);
  PlaceOver(list, column, 2, 0);
  list->show();
  list->showPopup();
}

void TForm2::OpenTimeValueList(int column) {
  static TimeValueItems items;  // 4 kB of item values, built anew for each opening
  BuildTimeValueItems(document_.profile().valueKind,
                      document_.store().frameTime[document_.store().currentArea].timeType[column],
                      items);
  QStringList texts;
  texts.reserve(items.count);
  for (int i = 0; i < items.count; ++i) texts.append(QString::number(items.values[i]));
  QComboBox* list = ui_->TimeComb2;
  list->clear();
  list->addItems(texts);
  list->setCurrentIndex(-1);
  PlaceOver(list, column, 1, items.wide ? 20 : 0);
  list->show();
  list->showPopup();
}

void TForm2::TimeCombSelect(int index) {
  PickTimeType(document_.store(), pointer.editCell, index);
  ui_->TimeComb->hide();
  StringGrid1->invalidate();
}

void TForm2::TimeComb2Select(int index) {
  ui_->TimeComb2->hide();
  StringGrid1->invalidate();
  const Outcome picked = PickTimeValue(document_.store(), pointer.editCell,
                                       ui_->TimeComb2->itemText(index).toStdString());
  if (!picked.ok) throw ConvertError(Tr(picked.message));
}

// A preview lamp's fill: the grid's red shade of the lamp's value.
QColor TForm2::LampColour(int shade) const {
  const Rgb& colour = brightnessShades[shade];
  return QColor(colour.red, colour.green, colour.blue);
}

int TForm2::ReadInt(const QString& text) const {
  return StrToInt(text, languageMode.textVariant);
}

}  // namespace vqled
