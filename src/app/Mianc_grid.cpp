// TForm2: the grid StringGrid1 and the floating entry controls over it (the
// value box HYEdit, the time lists TimeComb and TimeComb2) run the grid entry
// panel.
#include <QEvent>
#include <QMenu>

#include "Mianc.h"
#include "application.h"
#include "convert_error.h"
#include "string_grid.h"
#include "ui_Mianc.h"

namespace vqled {

// The grid and the menu exist: the panels take them.
void TForm2::CreatePanels() {
  entry_ =
      std::make_unique<EntryPanel>(this, *ui_, StringGrid1, RightMenu, document_, languageMode);
  commands_ =
      std::make_unique<EditCommandsPanel>(*ui_, StringGrid1, *entry_, document_, languageMode);
  preview_ = std::make_unique<PreviewPanel>(this, ui_->Panel1, document_);
}

void TForm2::ConnectEntry() {
  connect(StringGrid1, &StringGrid::gridMousePress, this,
          [this](Qt::MouseButton, QPoint viewport, QPoint) { StringGrid1MouseDown(viewport); });
  connect(StringGrid1, &StringGrid::gridMouseMove, this,
          [this](Qt::MouseButtons, QPoint viewport, QPoint) { StringGrid1MouseMove(viewport); });
  connect(StringGrid1, &StringGrid::gridMouseRelease, this,
          [this](Qt::MouseButton button, QPoint viewport, QPoint screen) {
            RunHandler([&] { StringGrid1MouseUp(button, viewport, screen); });
          });
  // The hover label follows a wheel scroll or a zoom under a resting pointer.
  connect(StringGrid1, &StringGrid::gridHover, this,
          [this](QPoint viewport) { StringGrid1MouseMove(viewport); });
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

void TForm2::StringGrid1MouseDown(QPoint viewportPos) {
  entry_->MouseDown(viewportPos);
}

void TForm2::StringGrid1MouseMove(QPoint viewportPos) {
  entry_->MouseMove(viewportPos);
}

// A release on a cell may toggle it: a step.
void TForm2::StringGrid1MouseUp(Qt::MouseButton button, QPoint viewportPos, QPoint screenPos) {
  StepGuard step(document_, STEP_CELL_CLICK);
  entry_->MouseUp(button, viewportPos, screenPos);
}

void TForm2::StringGrid1TopLeftChanged() {
  entry_->TopLeftChanged();
}

void TForm2::OpenValueEntry(int column, int row) {
  StepGuard step(document_, STEP_CELL_CLICK);
  entry_->OpenValueEntry(column, row);
}

void TForm2::OpenTimeTypeList(int column) {
  entry_->OpenTimeTypeList(column);
}

void TForm2::OpenTimeValueList(int column) {
  entry_->OpenTimeValueList(column);
}

void TForm2::HYEditKeyUp() {
  entry_->EntryKeyUp();
}

void TForm2::HYEditChange() {
  entry_->EntryChange();
}

void TForm2::HYEditEnter() {
  StepGuard step(document_, STEP_VALUE_ENTRY);
  entry_->EntryEnter();
}

void TForm2::HYEditMouseLeave() {
  StepGuard step(document_, STEP_VALUE_ENTRY);
  entry_->EntryMouseLeave();
}

void TForm2::TimeCombSelect(int index) {
  StepGuard step(document_, STEP_FRAME_TIME);
  entry_->TimeTypeSelect(index);
}

void TForm2::TimeComb2Select(int index) {
  StepGuard step(document_, STEP_FRAME_TIME);
  entry_->TimeValueSelect(index);
}

int TForm2::ReadInt(const QString& text) const {
  return StrToInt(text, languageMode.textVariant);
}

}  // namespace vqled
