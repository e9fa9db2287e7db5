// vqled-cli settings: sends the trigger and music settings image built from
// the SETGroup keys of a Config.ini (their defaults without --config), the
// same image the window sends after loading that file.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cli_options.h"
#include "cli_parse.h"
#include "command.h"
#include "files/config_keys.h"
#include "files/file_io.h"
#include "files/ini_file.h"
#include "link_driver.h"

namespace vqled::cli {
namespace {

constexpr const char* kSummary = "send the trigger and music settings of a Config.ini";

// The item indexes of the file's SETGroup keys, as LoadConfig hands them to
// the panel's lists; the settings image takes them from there as the window
// does.
Outcome ReadSettingsPanel(const IniFile& ini, SettingsPanel& panel) {
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
    if (!read.ok) return read;
    *target.index = value;
  }
  return Outcome::Ok();
}

int RunSettings(int argc, char** argv) {
  CLI::App app{kSummary, "vqled-cli settings"};
  SetUpCommandApp(app);
  LinkArgs args;
  std::string configPath;
  AddLinkOptions(app, args, true);
  app.add_option("--config", configPath,
                 "the Config.ini the editor saved (without it, the settings' defaults)")
      ->type_name("PATH");
  if (const auto status = ParseCommandLine(app, argc, argv)) return *status;
  IniFile ini;
  if (!configPath.empty()) {
    // A given file must exist: a mistyped path would send every default.
    std::vector<uint8_t> bytes;
    const Outcome read = ReadWholeFile(configPath, bytes);
    if (!read.ok) {
      std::fprintf(stderr, "%s\n", read.message.en.c_str());
      return kExitFailure;
    }
    ini.Parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  }
  SettingsPanel panel;
  const Outcome read = ReadSettingsPanel(ini, panel);
  if (!read.ok) {
    std::fprintf(stderr, "%s: %s\n", configPath.c_str(), read.message.en.c_str());
    return kExitFailure;
  }
  LinkSession session(args);
  session.link->Button5Click(panel);
  return session.host->RunUntilStopped(*session.link, "Send OK !!!!");
}

const CommandRegistration reg{"settings", kSummary, &RunSettings};

}  // namespace
}  // namespace vqled::cli
