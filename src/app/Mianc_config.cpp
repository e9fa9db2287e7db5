// TForm2: the settings file Config.ini and the resume file tempRGB.bin, both
// in the current directory. The keys, their defaults and their read and write
// orders are the files layer's table; the form puts each value into the
// control the table names and writes each control back.
#include <QComboBox>
#include <QDir>
#include <QPlainTextEdit>
#include <QSignalBlocker>

#include "Mianc.h"
#include "files/config_keys.h"
#include "files/file_io.h"
#include "files/pattern_files.h"
#include "message_box.h"
#include "string_grid.h"
#include "ui_Mianc.h"

namespace vqled {

namespace {

constexpr const char* kSavedLanguage = "savedLanguage";

std::string CurrentDirectoryFile(const char* name) {
  return QDir::current().filePath(QString::fromLatin1(name)).toStdString();
}

bool IsSavedLanguage(const ConfigKey& key) {
  return std::strcmp(key.control, kSavedLanguage) == 0;
}

// The default-time lists run StoreDefaultTimes when they change.
bool IsDefaultTimeControl(const ConfigKey& key) {
  return std::strncmp(key.control, "time", 4) == 0;
}

}  // namespace

// Reads every key into its control, applying the model after the default
// times and ending with the resume file. Nothing in the file stops the start:
// a file that cannot be read leaves every default, a value that is no number
// leaves its key's default, a controller count outside the list its nearest
// item, and a model that cannot be applied the profile as far as it came.
// The rest is applied and the patterns of the last run are read; one message
// names every fault.
void TForm2::LoadConfig() {
  const std::string path = CurrentDirectoryFile("Config.ini");
  ConfigFaults faults;
  IniFile ini;
  const Outcome opened = ini.Load(path);
  if (!opened.ok) faults.Add(opened.message);
  for (int i = 0; i < kConfigReadCount; ++i) {
    if (i == kConfigKeysBeforeModel) RunLoadStep(faults, [this] { ComboBox6Change(); });
    ApplyConfigKey(ini, kConfigKeys[i], path, faults);
  }
  if (!faults.empty()) {
    vqled::ShowMessage(this, Tr(ReadConfigFailedText()), Tr(faults.Message()), MESSAGE_INFORMATION);
  }
  LoadResumeFile();
}

// Runs a handler the load sets off; an error it raises becomes a fault.
void TForm2::RunLoadStep(ConfigFaults& faults, const std::function<void()>& step) {
  try {
    step();
  } catch (const std::exception& error) {
    faults.Add({error.what(), error.what()});
  }
}

void TForm2::ApplyConfigKey(const IniFile& ini, const ConfigKey& key, const std::string& path,
                            ConfigFaults& faults) {
  if (key.form == CONFIG_TEXT) {
    QComboBox* list = Controls().List(key.control);
    const QSignalBlocker quiet(list);
    list->setEditText(QString::fromStdString(ReadConfigTextOrDefault(ini, key, path, faults)));
  } else {
    int32_t value = ReadConfigNumberOrDefault(ini, key, path, faults);
    if (IsSavedLanguage(key)) {
      languageMode.savedLanguage = value;
      return;
    }
    QComboBox* list = Controls().List(key.control);
    if (list == ui_->ComboBox4) value = LimitConfigIndex(key, value, list->count(), path, faults);
    const QSignalBlocker quiet(list);
    list->setCurrentIndex(value >= 0 && value < list->count() ? value : -1);
  }
  if (IsDefaultTimeControl(key)) RunLoadStep(faults, [this] { StoreDefaultTimes(); });
}

QString TForm2::ConfigValue(const ConfigKey& key) const {
  if (IsSavedLanguage(key)) return QString::number(languageMode.savedLanguage);
  const QComboBox* list = Controls().List(key.control);
  return key.form == CONFIG_TEXT ? list->currentText() : QString::number(list->currentIndex());
}

// Writes every key in the save order, keeping the file's other lines. An
// empty model text is saved as HYTYPE -1 and, after selecting item 0, as
// Type 0.
Outcome TForm2::WriteConfig() {
  const std::string path = CurrentDirectoryFile("Config.ini");
  IniFile ini;
  Outcome outcome = ini.Load(path);
  if (outcome.ok) {
    for (int i = 0; i < kConfigWriteCount; ++i) {
      if (i == kConfigWritesBeforeType) {
        const QString model = ui_->ComboBox6->currentText().trimmed();
        if (model.isEmpty() || model == QStringLiteral("0")) {
          const QSignalBlocker quiet(ui_->ComboBox6);
          ui_->ComboBox6->setCurrentIndex(0);
        }
      }
      const ConfigKey& key = kConfigKeys[kConfigWriteOrder[i]];
      ini.WriteString(key.section, key.key, ConfigValue(key).toStdString());
    }
    outcome = ini.Save(path);
  }
  if (outcome.ok) return outcome;
  const Text failed = SaveConfigFailedText();
  return Outcome::Fail(
      {failed.zh + "\n" + outcome.message.zh, failed.en + "\n" + outcome.message.en});
}

// Restores all 20 areas from tempRGB.bin. A missing file leaves the fresh
// areas. A file read only in part restores its whole leading areas, the
// others stay fresh; its bytes are kept beside it under the name the message
// gives, or, where no copy can be made, the close leaves the file alone.
void TForm2::LoadResumeFile() {
  const ResumeLoad loaded = document_.LoadResumeFile(CurrentDirectoryFile("tempRGB.bin"));
  keepResumeFile_ = loaded.keepFile;
  Report(loaded.outcome);
  StringGrid1->invalidate();
}

// The temporary files killed saves of Config.ini and tempRGB.bin left behind.
void TForm2::RemoveStaleSaves() {
  RemoveStaleTemporaryFiles(CurrentDirectoryFile("Config.ini"));
  RemoveStaleTemporaryFiles(CurrentDirectoryFile("tempRGB.bin"));
}

HeaderControls TForm2::CurrentHeaderControls() const {
  HeaderControls controls;
  controls.comboBox13Visible = !ui_->ComboBox13->isHidden();
  controls.comboBox6Index = ui_->ComboBox6->currentIndex();
  controls.radioButton5 = ui_->RadioButton5->isChecked();
  controls.radioButton6 = ui_->RadioButton6->isChecked();
  return controls;
}

// The header controls' state moved into the document's form inputs.
HeaderControls& TForm2::TakeHeaderControls() {
  document_.header() = CurrentHeaderControls();
  return document_.header();
}

// Writes all 20 areas to tempRGB.bin, logging each image's last index and
// first byte in Memo1. A resume file that could be neither read whole nor
// kept beside it is left alone, so its patterns are not overwritten.
void TForm2::SaveResumeFile() {
  if (keepResumeFile_) return;
  TakeHeaderControls();
  SaveLog log;
  const Outcome saved = document_.SaveResumeFile(CurrentDirectoryFile("tempRGB.bin"), &log);
  ShowSaveLog(log);
  Report(saved);
}

}  // namespace vqled
