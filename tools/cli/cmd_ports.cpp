// vqled-cli ports: the serial ports the system knows, one a line; with
// --watch the ports that appear and go, until interrupted.
#include <signal.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "command.h"
#include "link/port_source.h"
#include "link/serial_ports.h"

namespace vqled::cli {
namespace {

constexpr const char* kUsage = "vqled-cli ports [--watch [--dir FOLDER]]";
constexpr const char* kHelp =
    "  --watch       print the ports present as '+ PORT', then '+ PORT' for each port\n"
    "                that appears and '- PORT' for each that goes, until interrupted\n"
    "  --dir FOLDER  watch the device links in FOLDER (as /dev/serial/by-id) in\n"
    "                place of the system's ports\n";

// How long one wait for changes lasts, so that an interrupt ends the watch
// promptly.
constexpr int kWatchSliceMs = 200;

volatile sig_atomic_t stopRequested = 0;

void OnStopSignal(int) {
  stopRequested = 1;
}

struct PortsArgs {
  bool watch = false;
  const char* folder = nullptr;
};

int UsageError(const std::string& message) {
  std::fprintf(stderr, "vqled-cli ports: %s\nusage: %s\n", message.c_str(), kUsage);
  return kExitUsage;
}

// Parses argv into args; returns -1 to go on, else the exit status.
int ParsePortsArgs(int argc, char** argv, PortsArgs* args) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::printf("usage: %s\n%s", kUsage, kHelp);
      return kExitOk;
    }
    if (std::strcmp(argv[i], "--watch") == 0) {
      args->watch = true;
    } else if (std::strcmp(argv[i], "--dir") == 0) {
      if (i + 1 >= argc) return UsageError("--dir needs a folder");
      args->folder = argv[++i];
    } else {
      return UsageError(std::string("unexpected argument '") + argv[i] + "'");
    }
  }
  if (args->folder != nullptr && !args->watch) return UsageError("--dir goes with --watch");
  return -1;
}

// "+ /dev/ttyUSB0\tdescription\tusb 1a86:7523\tserial N\t/dev/serial/by-id/...",
// each field only when known.
void PrintChange(bool added, const PortRecord& port) {
  std::string line = std::string(added ? "+ " : "- ") + port.device;
  if (!port.description.empty()) line += "\t" + port.description;
  if (!port.usbId.empty()) line += "\tusb " + port.usbId;
  if (!port.serialNumber.empty()) line += "\tserial " + port.serialNumber;
  if (!port.byId.empty()) line += "\t" + port.byId;
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

int WatchPorts(const char* folder) {
  std::unique_ptr<PortSource> source;
  if (folder != nullptr) {
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec))
      return UsageError(std::string("cannot watch ") + folder + ": it is no folder");
    source = MakeFolderPortSource(folder);
  } else {
    try {
      source = MakeSystemPortSource();
    } catch (const std::runtime_error& e) {
      std::fprintf(stderr, "vqled-cli ports: cannot watch the serial ports: %s\n", e.what());
      return kExitFailure;
    }
  }
  CatchStopSignals();
  for (const PortRecord& port : source->StartWatch()) PrintChange(true, port);
  while (!stopRequested) {
    for (const PortChange& change : source->WaitChanges(kWatchSliceMs))
      PrintChange(change.added, change.port);
  }
  return kExitOk;
}

int ListPorts() {
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

int RunPorts(int argc, char** argv) {
  PortsArgs args;
  if (const int status = ParsePortsArgs(argc, argv, &args); status >= 0) return status;
  return args.watch ? WatchPorts(args.folder) : ListPorts();
}

const CommandRegistration reg{"ports", "list the serial ports the system knows, or watch them",
                              &RunPorts};

}  // namespace
}  // namespace vqled::cli
