// vqled-cli ports: the serial ports the system knows, one a line; with
// --watch the ports that appear and go, until interrupted.
#include <signal.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <utility>

#include "cli_options.h"
#include "cli_parse.h"
#include "command.h"
#include "link/port_source.h"
#include "link/serial_ports.h"

namespace vqled::cli {
namespace {

constexpr const char* kSummary = "list the serial ports the system knows, or watch them";

// How long one wait for changes lasts, so that an interrupt ends the watch
// promptly.
constexpr int kWatchSliceMs = 200;

volatile sig_atomic_t stopRequested = 0;

void OnStopSignal(int) {
  stopRequested = 1;
}

struct PortsArgs {
  bool watch = false;
  std::string folder;
  bool json = false;
};

// "+ /dev/ttyUSB0\tdescription\tusb 1a86:7523\tserial N\t/dev/serial/by-id/...",
// each field only when known.
// With --json one object a line: {"event": "added"|"removed", "device": ...,
// "description", "usbId", "serialNumber", "byId"}, each field only when known.
void PrintChange(bool added, const PortRecord& port, bool json) {
  if (json) {
    nlohmann::ordered_json line{{"event", added ? "added" : "removed"}, {"device", port.device}};
    const std::pair<const char*, const std::string*> fields[] = {
        {"description", &port.description},
        {"usbId", &port.usbId},
        {"serialNumber", &port.serialNumber},
        {"byId", &port.byId}};
    for (const auto& [key, value] : fields)
      if (!value->empty()) line[key] = *value;
    std::printf("%s\n", line.dump().c_str());
    std::fflush(stdout);
    return;
  }
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

int WatchPorts(const CLI::App& app, const PortsArgs& args) {
  std::unique_ptr<PortSource> source;
  if (!args.folder.empty()) {
    std::error_code ec;
    if (!std::filesystem::is_directory(args.folder, ec))
      return RefuseArguments(app, "cannot watch " + args.folder + ": it is no folder");
    source = MakeFolderPortSource(args.folder);
  } else {
    try {
      source = MakeSystemPortSource();
    } catch (const std::runtime_error& e) {
      std::fprintf(stderr, "vqled-cli ports: cannot watch the serial ports: %s\n", e.what());
      return kExitFailure;
    }
  }
  CatchStopSignals();
  for (const PortRecord& port : source->StartWatch()) PrintChange(true, port, args.json);
  while (!stopRequested) {
    for (const PortChange& change : source->WaitChanges(kWatchSliceMs))
      PrintChange(change.added, change.port, args.json);
  }
  return kExitOk;
}

// With --json an array of {"device": ..., "description": ...}, the
// description only when known; [] when there is none.
int ListPorts(bool json) {
  const auto ports = ListSerialPorts();
  if (json) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const SerialPortInfo& port : ports) {
      nlohmann::ordered_json entry{{"device", port.device}};
      if (!port.description.empty()) entry["description"] = port.description;
      list.push_back(std::move(entry));
    }
    std::printf("%s\n", list.dump(2).c_str());
  }
  if (ports.empty()) {
    std::fprintf(stderr, "%s\n", NoPortNoticeFor(1).label13.c_str());
    return kExitFailure;
  }
  if (json) return kExitOk;
  for (const SerialPortInfo& port : ports) {
    std::printf("%s%s%s\n", port.device.c_str(), port.description.empty() ? "" : "\t",
                port.description.c_str());
  }
  return kExitOk;
}

int RunPorts(int argc, char** argv) {
  CLI::App app{kSummary, "vqled-cli ports"};
  SetUpCommandApp(app);
  PortsArgs args;
  CLI::Option* watch = app.add_flag(
      "--watch", args.watch,
      "print the ports present as '+ PORT', then '+ PORT' for each port that appears and "
      "'- PORT' for each that goes, until interrupted");
  app.add_option("--dir", args.folder,
                 "watch the device links in FOLDER (as /dev/serial/by-id) in place of the "
                 "system's ports")
      ->type_name("FOLDER")
      ->needs(watch);
  AddJsonOption(app, args.json)
      ->description("write the ports as JSON: an array, or with --watch one object a line");
  if (const auto status = ParseCommandLine(app, argc, argv)) return *status;
  return args.watch ? WatchPorts(app, args) : ListPorts(args.json);
}

const CommandRegistration reg{"ports", kSummary, &RunPorts};

}  // namespace
}  // namespace vqled::cli
