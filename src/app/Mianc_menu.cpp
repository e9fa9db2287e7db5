// TForm2: the commands of the grid's popup menu RightMenu (block commands on
// the editor's clipboard, the two ramps) and the two running-light dialogs
// GroupBox8 ("流水叠加") and GroupBox9 ("流水"). They act on selectionRect and
// editCell of the last release on the grid and end by repainting it. The
// direction list ComboBox3 keeps "+" or "-", and the dialogs' value boxes feed
// the number the runs write into HYEdit.
#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <functional>

#include "Mianc.h"
#include "application.h"
#include "convert_error.h"
#include "editor/commands.h"
#include "editor/generators.h"
#include "string_grid.h"
#include "ui_Mianc.h"

namespace vqled {

namespace {

// Where the running-light dialogs open.
constexpr QPoint kDialogSpot(344, 216);

bool IsEnterKey(const QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  const int key = static_cast<const QKeyEvent*>(event)->key();
  return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// The keys of a running-light dialog. Enter that no control of the dialog
// takes presses the focused button of the dialog, else OK, as the default
// button of a dialog box does; a key release in the value box feeds HYEdit
// again, so the runs write the last value typed into any of the boxes.
class RunDialogKeys : public QObject {
 public:
  RunDialogKeys(QGroupBox* dialog, QPushButton* ok, QLineEdit* valueBox,
                std::function<void()> valueKeyUp)
      : QObject(dialog),
        dialog_(dialog),
        ok_(ok),
        valueBox_(valueBox),
        valueKeyUp_(std::move(valueKeyUp)) {
    dialog->installEventFilter(this);
    valueBox->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == valueBox_ && event->type() == QEvent::KeyRelease) valueKeyUp_();
    if (watched != dialog_ || !IsEnterKey(event)) return false;
    auto* focused = qobject_cast<QPushButton*>(dialog_->window()->focusWidget());
    (focused != nullptr && dialog_->isAncestorOf(focused) ? focused : ok_)->click();
    return true;
  }

 private:
  QGroupBox* dialog_;
  QPushButton* ok_;
  QLineEdit* valueBox_;
  std::function<void()> valueKeyUp_;
};

}  // namespace

void TForm2::ConnectMenu() {
  struct Command {
    const char* item;
    void (TForm2::*handler)();
  };
  static constexpr Command kCommands[] = {{"N1", &TForm2::N1Click},
                                          {"N2", &TForm2::N2Click},
                                          {"N3", &TForm2::N3Click},
                                          {"N5", &TForm2::N5Click},
                                          {"N4", &TForm2::N4Click},
                                          {"N6", &TForm2::N6Click},
                                          {"N8", &TForm2::N8Click},
                                          {"N7", &TForm2::N7Click},
                                          {"N9", &TForm2::N9Click},
                                          {"N10", &TForm2::N10Click},
                                          {"NewWindow1", &TForm2::OpenStackedRunDialog},
                                          {"ile1", &TForm2::OpenRunDialog}};
  for (const Command& command : kCommands) {
    QAction* item = RightMenu->findChild<QAction*>(QString::fromLatin1(command.item));
    connect(item, &QAction::triggered, this,
            [this, handler = command.handler] { RunHandler([&] { (this->*handler)(); }); });
  }
  connect(ui_->Button7, &QPushButton::clicked, this,
          [this] { RunHandler([this] { Button7Click(); }); });
  connect(ui_->Button8, &QPushButton::clicked, this,
          [this] { RunHandler([this] { Button8Click(); }); });
  connect(ui_->Button10, &QPushButton::clicked, ui_->GroupBox8, &QWidget::hide);
  connect(ui_->Button9, &QPushButton::clicked, ui_->GroupBox9, &QWidget::hide);
  // A dialog's value box feeds HYEdit after every change of its text and
  // after every key release; the release of the key that emptied it is not
  // reported again.
  struct RunDialog {
    QGroupBox* dialog;
    QPushButton* ok;
    QLineEdit* valueBox;
  };
  for (const RunDialog& run : {RunDialog{ui_->GroupBox8, ui_->Button7, ui_->Edit1},
                               RunDialog{ui_->GroupBox9, ui_->Button8, ui_->Edit11}}) {
    QLineEdit* box = run.valueBox;
    connect(box, &QLineEdit::textChanged, this,
            [this, box] { RunHandler([this, box] { FeedValueBox(box); }); });
    new RunDialogKeys(run.dialog, run.ok, box, [this, box] {
      if (!box->text().isEmpty()) RunHandler([this, box] { FeedValueBox(box); });
    });
  }
  // The direction list keeps "+" and "-" only, whatever is typed into it.
  connect(ui_->ComboBox3, &QComboBox::editTextChanged, this, [this](const QString& typed) {
    std::string text = typed.toStdString();
    NormaliseDirectionText(text);
    if (typed != QString::fromStdString(text))
      ui_->ComboBox3->setEditText(QString::fromStdString(text));
  });
}

void TForm2::CopyWith(bool fill, bool clear) {
  document_.clipboard().fillAfterCopy = fill;
  document_.clipboard().clearAfterCopy = clear;
  CopySelection(document_.store(), document_.clipboard(), SelectionRect(pointer), EntryNumber());
  StringGrid1->invalidate();
}

void TForm2::N1Click() {
  InsertColumn(document_.store(), pointer.editCell);
  StringGrid1->invalidate();
}

void TForm2::N2Click() {
  DeleteColumn(document_.store(), pointer.editCell);
  StringGrid1->invalidate();
}

void TForm2::N3Click() {
  CopyWith(false, false);
}
void TForm2::N4Click() {
  CopyWith(true, false);
}
void TForm2::N6Click() {
  CopyWith(false, true);
}

void TForm2::N5Click() {
  PasteClip(document_.store(), document_.clipboard(), pointer.editCell);
  StringGrid1->invalidate();
}

void TForm2::N9Click() {
  CopyChannel(document_.store(), document_.clipboard(), pointer.editCell,
              document_.store().gridColumnCount);
  StringGrid1->invalidate();
}

void TForm2::N10Click() {
  PasteChannel(document_.store(), document_.clipboard(), pointer.editCell,
               document_.store().gridColumnCount);
  StringGrid1->invalidate();
}

// The ramps step by ComboBox1's text in ComboBox3's direction.
void TForm2::Ramp(bool alongFrames) {
  const std::string step = ui_->ComboBox1->currentText().toStdString();
  const std::string direction = ui_->ComboBox3->currentText().toStdString();
  const RampControls controls{step, direction};
  const Outcome ramped =
      alongFrames
          ? RampAlongFrames(document_.store(), document_.profile(), pointer.editCell, controls)
          : RampDownChannels(document_.store(), document_.profile(), pointer.editCell, controls);
  StringGrid1->invalidate();
  if (!ramped.ok) throw ConvertError(Tr(ramped.message));
}

void TForm2::N8Click() {
  Ramp(true);
}
void TForm2::N7Click() {
  Ramp(false);
}

void TForm2::ShowRunDialog(QGroupBox* dialog, QLabel* title, const char* caption,
                           QLineEdit* const (&fields)[4], const RunFieldValues& values) {
  const int numbers[4] = {values.firstFrame, values.lastFrame, values.firstChannel,
                          values.lastChannel};
  for (int i = 0; i < 4; ++i) fields[i]->setText(QString::number(numbers[i]));
  title->setText(QString::fromUtf8(caption));
  dialog->move(kDialogSpot);
  dialog->show();
  dialog->raise();
}

void TForm2::OpenStackedRunDialog() {
  QLineEdit* const fields[4] = {ui_->Edit7, ui_->Edit8, ui_->Edit9, ui_->Edit10};
  ShowRunDialog(ui_->GroupBox8, ui_->Label112, "流水叠加", fields,
                StackedRunDialogValues(pointer.editCell, document_.profile()));
}

void TForm2::OpenRunDialog() {
  QLineEdit* const fields[4] = {ui_->Edit2, ui_->Edit3, ui_->Edit4, ui_->Edit5};
  ShowRunDialog(
      ui_->GroupBox9, ui_->Label111, "流水", fields,
      RunDialogValues(pointer.editCell, document_.profile(), document_.store().gridColumnCount));
}

// OK of a running-light dialog: the run is written with the number of HYEdit.
void TForm2::FinishRun(QGroupBox* dialog, QLineEdit* const (&fields)[4], bool stacked) {
  const std::string texts[4] = {fields[0]->text().toStdString(), fields[1]->text().toStdString(),
                                fields[2]->text().toStdString(), fields[3]->text().toStdString()};
  const RunFields run{texts[0], texts[1], texts[2], texts[3]};
  const int value = EntryNumber();
  const Outcome filled = stacked ? FillStackedRun(document_.store(), run, value)
                                 : FillRun(document_.store(), run, value);
  if (!filled.ok) throw ConvertError(Tr(filled.message));
  dialog->hide();
  StringGrid1->invalidate();
}

void TForm2::Button7Click() {
  QLineEdit* const fields[4] = {ui_->Edit7, ui_->Edit8, ui_->Edit9, ui_->Edit10};
  FinishRun(ui_->GroupBox8, fields, true);
}

void TForm2::Button8Click() {
  QLineEdit* const fields[4] = {ui_->Edit2, ui_->Edit3, ui_->Edit4, ui_->Edit5};
  FinishRun(ui_->GroupBox9, fields, false);
}

// A dialog's value box feeds the number the run writes into HYEdit.
void TForm2::FeedValueBox(QLineEdit* box) {
  std::string boxText = box->text().toStdString();
  std::string entryText = ui_->HYEdit->text().toStdString();
  const Outcome fed = FeedEntryFromValueBox(boxText, entryText);
  if (!fed.ok) throw ConvertError(Tr(fed.message));
  if (box->text() != QString::fromStdString(boxText)) box->setText(QString::fromStdString(boxText));
  ui_->HYEdit->setText(QString::fromStdString(entryText));
}

}  // namespace vqled
