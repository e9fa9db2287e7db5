// TForm2: the pattern file commands of the top band (save and import of all
// areas as .Aled, of the current area as .led, the .VQD export) and the
// preview button. The files layer reads and writes; the form asks for the
// file name and reports what the files layer says. While the controller link
// sends, every file command is refused: the saves encode into the image
// buffer the link sends from, and the imports change the areas it encodes.
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QPlainTextEdit>

#include "Mianc.h"
#include "application.h"
#include "file_dialog.h"
#include "files/pattern_files.h"
#include "link/controller_link.h"
#include "message_box.h"
#include "string_grid.h"
#include "ui_Mianc.h"

namespace vqled {

namespace {

constexpr const char* kAledFilter = "All files (*.*)|*.*|led files (*.Aled)|*.Aled";
constexpr const char* kLedFilter = "All files (*.*)|*.*|led files (*.led)|*.led";
constexpr const char* kVqdFilter = "All files (*.*)|*.*|VQD files (*.VQD)|*.VQD";

// The program's directory followed by folder, where that folder exists.
QString DialogDirectory(const char* folder) {
  const QDir program(QCoreApplication::applicationDirPath());
  const QString inside = program.filePath(QString::fromLatin1(folder));
  return QDir(inside).exists() ? inside : program.path();
}

// The file commands as the refusal names them.
const Text kSaveAllAreas{"全部区保存", "Saving all areas"};
const Text kImportAllAreas{"导入全区花样", "Importing all areas"};
const Text kSaveCurrentArea{"当前区保存", "Saving the current area"};
const Text kImportSingleArea{"导入单区花样", "Importing into the current area"};
const Text kExportCurrentArea{"生成花样文件", "Exporting the current area"};

Text SendingRefusal(const Text& command, const std::string& port) {
  return {"正在经串口 " + port + " 向控制器发送，" + command.zh +
              "未执行：发送中的内容不能被改动。请在发送结束后再试。",
          command.en + " was refused: a transfer to the controller on " + port +
              " is running, and what it sends must not change. Try again when it has ended."};
}

}  // namespace

void TForm2::ConnectFiles() {
  struct Command {
    QPushButton* button;
    void (TForm2::*handler)();
  };
  const Command commands[] = {{ui_->BitBtn6, &TForm2::BitBtn6Click},
                              {ui_->BitBtn4, &TForm2::BitBtn4Click},
                              {ui_->BitBtn8, &TForm2::BitBtn8Click},
                              {ui_->BitBtn9, &TForm2::BitBtn9Click},
                              {ui_->BitBtn17, &TForm2::BitBtn17Click}};
  for (const Command& command : commands) {
    connect(command.button, &QPushButton::clicked, this,
            [this, handler = command.handler] { RunHandler([&] { (this->*handler)(); }); });
  }
}

// SaveDialog1 or OpenDialog1 opened in folder with filter, the pattern
// filter preselected and the name the dialog last held (or preset, when not
// empty); the chosen path with its extension, or empty.
std::string TForm2::ChooseFile(bool save, const char* folder, const char* filter,
                               const char* extension, const QString& preset) {
  QString& held = save ? saveDialog1FileName_ : openDialog1FileName_;
  if (!preset.isEmpty()) held = preset;
  FileDialogRequest request;
  request.save = save;
  request.directory = DialogDirectory(folder);
  request.filter = QString::fromLatin1(filter);
  request.filterIndex = 2;
  request.fileName = held;
  const QString chosen = RunFileDialog(this, request);
  if (chosen.isEmpty()) return {};
  held = chosen;
  return extension == nullptr ? chosen.toStdString()
                              : ReplaceExtension(chosen.toStdString(), extension);
}

// Refuses command while the link sends: true when refused.
bool TForm2::RefuseWhileSending(const Text& command) {
  if (!link_ || !link_->Busy()) return false;
  const std::string port = ui_->ComboBox5->currentText().trimmed().toStdString();
  vqled::ShowMessage(this, Tr({"正在发送", "Sending"}), Tr(SendingRefusal(command, port)),
                     MESSAGE_ERROR);
  return true;
}

// The "nothing to save" rule of the save commands: true when refused.
bool TForm2::RefuseEmptySave(SaveCommand command) {
  const SaveRefusal refusal = document_.CheckContentToSave(command);
  if (refusal.refused) vqled::ShowMessage(this, Tr(refusal.caption), Tr(refusal.text));
  return refusal.refused;
}

// Shows a failure, or what a file read only in part left out.
void TForm2::Report(const Outcome& outcome) {
  if (outcome.message.empty()) return;
  vqled::ShowMessage(this, windowTitle(), Tr(outcome.message),
                     outcome.ok ? MESSAGE_INFORMATION : MESSAGE_ERROR);
}

void TForm2::BitBtn6Click() {
  if (RefuseWhileSending(kSaveAllAreas) || RefuseEmptySave(SAVE_ALL_AREAS)) return;
  const std::string path = ChooseFile(true, ".Aled", kAledFilter, ".Aled", QString());
  if (path.empty()) return;
  ui_->Memo1->clear();
  TakeHeaderControls();
  SaveLog log;
  Report(document_.SaveAllAreas(path, &log));
  ShowSaveLog(log);
}

void TForm2::BitBtn4Click() {
  if (RefuseWhileSending(kImportAllAreas)) return;
  const std::string path = ChooseFile(false, "Aled", kAledFilter, nullptr, QString());
  if (path.empty()) return;
  Report(document_.ImportAllAreas(path));
  StringGrid1->invalidate();
}

void TForm2::BitBtn8Click() {
  if (RefuseWhileSending(kSaveCurrentArea) || RefuseEmptySave(SAVE_CURRENT_AREA)) return;
  const std::string path = ChooseFile(true, ".led", kLedFilter, ".led", QString());
  if (path.empty()) return;
  TakeHeaderControls();
  const std::string loopCount = ui_->Edit6->text().toStdString();
  Report(document_.SaveCurrentArea(path, ui_->ComboBox4->currentIndex(),
                                   LoopCountEntry::FromText(loopCount)));
}

// The file's default times, units, loop mode and loop count go into the
// area controls (ShowArea, as after the loop count of the image), so the
// compact downloads and the next .led save take what the file gave. A
// refused file changes no area and no control.
void TForm2::BitBtn9Click() {
  if (RefuseWhileSending(kImportSingleArea)) return;
  const std::string path = ChooseFile(false, "led", kLedFilter, nullptr, QString());
  if (path.empty()) return;
  const Outcome imported = document_.ImportSingleArea(path);
  Report(imported);
  if (imported.ok) ShowArea();
  StringGrid1->invalidate();
}

// BitBtn17Click: the current area's canonical image as a .VQD file; on
// VQ-M21 the name "EXP_" and the area's number is proposed, on other models
// SaveDialog1 keeps the name it last held.
void TForm2::BitBtn17Click() {
  if (RefuseWhileSending(kExportCurrentArea) || RefuseEmptySave(SAVE_EXPORT)) return;
  const std::string proposed =
      ExportProposedName(document_.profile().modelIndex, document_.store().currentArea);
  const std::string path =
      ChooseFile(true, ".led", kVqdFilter, ".VQD", QString::fromStdString(proposed));
  if (path.empty()) return;
  TakeHeaderControls();
  const std::string loopCount = ui_->Edit6->text().toStdString();
  Report(document_.ExportCurrentArea(path, LoopCountEntry::FromText(loopCount)));
}

void TForm2::ShowSaveLog(const SaveLog& log) {
  for (int i = 0; i < log.count; ++i) {
    ui_->Memo1->appendPlainText(QString::number(log.line[i].imageLast));
    ui_->Memo1->appendPlainText(QString::number(log.line[i].firstByte));
  }
}

}  // namespace vqled
