// vqled-cli settings: sends the trigger and music settings image built from
// the SETGroup keys of a Config.ini (their defaults without --config), the
// same image the window sends after loading that file.
#include <cstdio>
#include <string>

#include "cli_options.h"
#include "cli_parse.h"
#include "command.h"
#include "link_driver.h"
#include "settings_file.h"

namespace vqled::cli {
namespace {

constexpr const char* kSummary = "send the trigger and music settings of a Config.ini";

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
  SettingsPanel panel;
  const Outcome read = ReadSettingsFile(configPath, panel);
  if (!read.ok) {
    std::fprintf(stderr, "%s\n", read.message.en.c_str());
    return kExitFailure;
  }
  LinkSession session(args);
  session.link->Button5Click(panel);
  return session.host->RunUntilStopped(*session.link, "Send OK !!!!");
}

const CommandRegistration reg{"settings", kSummary, &RunSettings};

}  // namespace
}  // namespace vqled::cli
