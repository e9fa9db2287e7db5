// TForm2: the items of the grid's popup menu RightMenu and the two
// running-light dialogs GroupBox8 ("流水叠加") and GroupBox9 ("流水") run the
// editing commands panel. The direction list ComboBox3 keeps "+" or "-".
#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <functional>

#include "Mianc.h"
#include "application.h"
#include "editor/generators.h"
#include "ui_Mianc.h"
#include "undo_menu.h"

namespace vqled {

namespace {

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
  undoMenu_ = new UndoMenu(
      this, RightMenu, document_.history(), [this] { RunHandler([this] { UndoItemClick(); }); },
      [this] { RunHandler([this] { RedoItemClick(); }); });
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
            [this, box] { RunHandler([this, box] { commands_->FeedValueBox(box); }); });
    new RunDialogKeys(run.dialog, run.ok, box, [this, box] {
      if (!box->text().isEmpty()) RunHandler([this, box] { commands_->FeedValueBox(box); });
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

// Each command that writes cells is one undo step.
void TForm2::N1Click() {
  StepGuard step(document_, STEP_INSERT_COLUMN);
  commands_->InsertColumn();
}
void TForm2::N2Click() {
  StepGuard step(document_, STEP_DELETE_COLUMN);
  commands_->DeleteColumn();
}
void TForm2::N3Click() {
  commands_->CopyWith(false, false);
}
void TForm2::N4Click() {
  StepGuard step(document_, STEP_FILL_SELECTED);
  commands_->CopyWith(true, false);
}
void TForm2::N5Click() {
  StepGuard step(document_, STEP_PASTE);
  commands_->PasteClip();
}
void TForm2::N6Click() {
  StepGuard step(document_, STEP_CLEAR_SELECTED);
  commands_->CopyWith(false, true);
}
void TForm2::N7Click() {
  StepGuard step(document_, STEP_RAMP_CHANNELS);
  commands_->Ramp(false);
}
void TForm2::N8Click() {
  StepGuard step(document_, STEP_RAMP_FRAMES);
  commands_->Ramp(true);
}
void TForm2::N9Click() {
  commands_->CopyChannel();
}
void TForm2::N10Click() {
  StepGuard step(document_, STEP_PASTE_CHANNEL);
  commands_->PasteChannel();
}
void TForm2::OpenStackedRunDialog() {
  commands_->OpenStackedRunDialog();
}
void TForm2::OpenRunDialog() {
  commands_->OpenRunDialog();
}
void TForm2::Button7Click() {
  StepGuard step(document_, STEP_STACKED_RUN);
  commands_->FinishStackedRun();
}
void TForm2::Button8Click() {
  StepGuard step(document_, STEP_RUN);
  commands_->FinishRun();
}

void TForm2::UndoItemClick() {
  ShowRestoredStep(document_.Undo());
  undoMenu_->Refresh();
}
void TForm2::RedoItemClick() {
  ShowRestoredStep(document_.Redo());
  undoMenu_->Refresh();
}

}  // namespace vqled
