#include "settings_file.h"

#include <cstdint>
#include <string_view>
#include <vector>

#include "files/config_keys.h"
#include "files/file_io.h"
#include "files/ini_file.h"

namespace vqled::cli {
namespace {

// The item indexes of the file's SETGroup keys, as LoadConfig hands them to
// the panel's lists; the settings image takes them from there as the window
// does.
Outcome ReadSettingsPanel(const IniFile& ini, const std::string& path, SettingsPanel& panel) {
  struct Target {
    std::string key;
    int* index;
  };
  Target targets[kTriggerRows * kTriggerLists + 4] = {{"CheckBoAA", &panel.comboBoxAA},
                                                      {"CheckBoAB", &panel.comboBoxAB},
                                                      {"CheckBoAC", &panel.comboBoxAC},
                                                      {"ComboBox14", &panel.comboBox14}};
  int at = 4;
  for (int list = 0; list < kTriggerLists; ++list) {
    for (int n = 0; n < kTriggerRows; ++n) {
      targets[at++] = {std::string("Group") + static_cast<char>('A' + list) + std::to_string(n + 1),
                       &panel.row[n][list]};
    }
  }
  for (const Target& target : targets) {
    const ConfigKey* key = FindConfigKey("SETGroup", target.key.c_str());
    int32_t value = 0;
    const Outcome read = key ? ReadConfigNumber(ini, *key, value) : Outcome::Ok();
    if (!read.ok) {
      const std::string where = path + ": " + target.key + ": ";
      return Outcome::Fail({where + read.message.zh, where + read.message.en});
    }
    *target.index = value;
  }
  return Outcome::Ok();
}

}  // namespace

Outcome ReadSettingsFile(const std::string& path, SettingsPanel& panel) {
  IniFile ini;
  if (!path.empty()) {
    // A given file must exist: a mistyped path would send every default.
    std::vector<uint8_t> bytes;
    const Outcome read = ReadWholeFile(path, bytes);
    if (!read.ok) return read;
    ini.Parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  }
  return ReadSettingsPanel(ini, path, panel);
}

}  // namespace vqled::cli
