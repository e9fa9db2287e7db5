// vqled-cli clock: sets the controller's clock to the local date and time.
#include "command.h"
#include "link_driver.h"

namespace vqled::cli {
namespace {

int RunClock(int argc, char** argv) {
  LinkArgs args;
  const int parsed =
      ParseLinkArgs(argc, argv, "vqled-cli clock --port DEV --model VQ-Mnn", true, args);
  if (parsed != kProceed) return parsed;
  LinkSession session(args);
  session.link->BitBtn18Click();
  return session.host->RunUntilStopped(*session.link, "Syn Time Send OK !!!!");
}

const CommandRegistration reg{"clock", "set the controller's clock to the local time", &RunClock};

}  // namespace
}  // namespace vqled::cli
