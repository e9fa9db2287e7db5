// vqled-cli ports: the serial ports the system knows, one a line.
#include <cstdio>
#include <cstring>

#include "command.h"
#include "link/serial_ports.h"

namespace vqled::cli {
namespace {

constexpr const char* kUsage = "vqled-cli ports";

int RunPorts(int argc, char** argv) {
  if (argc > 1) {
    // ports takes no arguments: --help shows that, anything else is refused.
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
      std::printf("usage: %s\n", kUsage);
      return kExitOk;
    }
    std::fprintf(stderr, "vqled-cli ports: unexpected argument '%s'\nusage: %s\n", argv[1], kUsage);
    return kExitUsage;
  }
  const auto ports = ListSerialPorts();
  if (ports.empty()) {
    std::fprintf(stderr, "%s\n", NoPortNoticeFor(1).label13.c_str());
    return kExitFailure;
  }
  for (const SerialPortInfo& port : ports) {
    std::printf("%s%s%s\n", port.device.c_str(), port.description.empty() ? "" : "\t",
                port.description.c_str());
  }
  return kExitOk;
}

const CommandRegistration reg{"ports", "list the serial ports the system knows", &RunPorts};

}  // namespace
}  // namespace vqled::cli
