// vqled-cli controller-type: tells a controller whether it drives car lights.
#include "cli_options.h"
#include "cli_parse.h"
#include "command.h"
#include "link_driver.h"

namespace vqled::cli {
namespace {

constexpr const char* kSummary = "send the controller type (car or normal)";

int RunControllerType(int argc, char** argv) {
  CLI::App app{kSummary, "vqled-cli controller-type"};
  SetUpCommandApp(app);
  LinkArgs args;
  bool car = false, normal = false;
  AddLinkOptions(app, args, false);
  CLI::Option* carOption = app.add_flag("--car", car, "the controller drives car lights");
  app.add_flag("--normal", normal, "the controller drives other lights")->excludes(carOption);
  if (const auto status = ParseCommandLine(app, argc, argv)) return *status;
  if (!car && !normal) return RefuseArguments(app, "--car or --normal is missing");
  LinkSession session(args);
  session.link->BitBtn16Click(car);
  return session.host->RunUntilStopped(*session.link, "setup send ok ");
}

const CommandRegistration reg{"controller-type", kSummary, &RunControllerType};

}  // namespace
}  // namespace vqled::cli
