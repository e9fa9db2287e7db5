// vqled-cli ports: the serial ports the system knows, one a line.
#include <cstdio>

#include "command.h"
#include "link/serial_ports.h"

namespace vqled::cli {
namespace {

int RunPorts(int, char**) {
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
