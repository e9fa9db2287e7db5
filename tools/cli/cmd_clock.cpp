// vqled-cli clock: sets the controller's clock to the local date and time.
#include "cli_options.h"
#include "cli_parse.h"
#include "command.h"
#include "link_driver.h"

namespace vqled::cli {
namespace {

constexpr const char* kSummary = "set the controller's clock to the local time";

int RunClock(int argc, char** argv) {
  CLI::App app{kSummary, "vqled-cli clock"};
  SetUpCommandApp(app);
  LinkArgs args;
  AddLinkOptions(app, args, true);
  if (const auto status = ParseCommandLine(app, argc, argv)) return *status;
  LinkSession session(args);
  session.link->BitBtn18Click();
  return session.host->RunUntilStopped(*session.link, "Syn Time Send OK !!!!");
}

const CommandRegistration reg{"clock", kSummary, &RunClock};

}  // namespace
}  // namespace vqled::cli
