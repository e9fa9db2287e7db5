// vqled-cli controller-type: tells a controller whether it drives car lights.
#include <cstdio>
#include <cstring>

#include "command.h"
#include "link_driver.h"

namespace vqled::cli {
namespace {

constexpr const char* kUsage = "vqled-cli controller-type --port DEV (--car | --normal)";

int RunControllerType(int argc, char** argv) {
  LinkArgs args;
  int car = -1;
  const int parsed =
      ParseLinkArgs(argc, argv, kUsage, false, args, [&](int, char** v, int& i, std::string&) {
        if (std::strcmp(v[i], "--car") == 0) {
          car = 1;
        } else if (std::strcmp(v[i], "--normal") == 0) {
          car = 0;
        } else {
          return false;
        }
        return true;
      });
  if (parsed != kProceed) return parsed;
  if (car < 0) {
    std::fprintf(stderr, "vqled-cli controller-type: --car or --normal is missing\nusage: %s\n",
                 kUsage);
    return kExitUsage;
  }
  LinkSession session(args);
  session.link->BitBtn16Click(car == 1);
  return session.host->RunUntilStopped(*session.link, "setup send ok ");
}

const CommandRegistration reg{"controller-type", "send the controller type (car or normal)",
                              &RunControllerType};

}  // namespace
}  // namespace vqled::cli
