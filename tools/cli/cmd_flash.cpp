// vqled-cli flash: downloads the same pattern file (and optionally the
// trigger settings of a Config.ini, the clock and the end date) to many
// controllers at once: the ports given, every USB serial port, each adapter
// plugged in while it watches, or built-in virtual controllers. A live line per unit, then a summary; exit 0 only when every
// unit passed.
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli_parse.h"
#include "command.h"
#include "document/document.h"
#include "flash_view.h"
#include "link/flash_log.h"
#include "link/flash_port.h"
#include "link/flash_station.h"
#include "link/port_source.h"
#include "link_driver.h"
#include "model/model_catalogue.h"
#include "settings_file.h"
#include "sim/sim_controller.h"

namespace vqled::cli {
namespace {

// How long one turn of the loop waits at most while watching, so that an
// adapter is taken up and an interrupt is noticed promptly.
constexpr int kWatchSliceMs = 200;
constexpr int kVirtualBaud = 115200;
constexpr int kMaxVirtual = 64;

volatile sig_atomic_t stopRequested = 0;

void OnStopSignal(int) {
  stopRequested = 1;
}

struct FlashArgs {
  std::string file;
  std::string model;
  int modelIndex = -1;
  int controllers = 1;
  std::vector<std::string> ports;
  bool allPorts = false;
  bool watch = false;
  std::string dir;
  int virtualCount = 0;
  int area = -1;
  bool all = false;
  std::string settings;
  bool clock = false;
  std::string endDate;
  int retries = 0;
  int jobs = 0;
  std::string log;
  bool json = false;
};

std::optional<int> ParseFlashArgs(int argc, char** argv, FlashArgs& a) {
  CLI::App app{"download a pattern file to many controllers at once", "vqled-cli flash"};
  app.add_option("FILE", a.file, "pattern file")->required();
  app.add_option("--model", a.model, "controller model VQ-M00 .. VQ-M28")->required();
  app.add_option("--controllers", a.controllers, "controllers on the line")
      ->check(CLI::Range(1, 20));
  auto* port = app.add_option("--port", a.ports, "a serial port (repeatable)");
  auto* allPorts = app.add_flag("--all-ports", a.allPorts, "every USB serial port");
  auto* watch =
      app.add_flag("--watch", a.watch, "each adapter present or plugged in, until interrupted");
  app.add_option("--dir", a.dir, "with --watch: the device links in FOLDER")->needs(watch);
  auto* virt = app.add_option("--virtual", a.virtualCount, "N built-in virtual controllers")
                   ->check(CLI::Range(1, kMaxVirtual));
  port->excludes(allPorts, watch, virt);
  allPorts->excludes(watch, virt);
  watch->excludes(virt);
  auto* area = app.add_option("--area", a.area, "download this area (0..19)")
                   ->check(CLI::Range(0, kAreaCount - 1));
  auto* all = app.add_flag("--all", a.all, "download all areas");
  area->excludes(all);
  app.add_option("--settings", a.settings, "then send the trigger settings of this Config.ini")
      ->type_name("Config.ini");
  app.add_flag("--clock", a.clock, "then set the controller's clock");
  app.add_option("--end-date", a.endDate, "then set the end date YYYY-MM-DD");
  app.add_option("--retries", a.retries, "run a failed area again up to N times")
      ->check(CLI::Range(0, 100));
  app.add_option("--jobs", a.jobs, "units in flight at most")->check(CLI::Range(1, 64));
  app.add_option("--log", a.log, "append one JSON record per unit and attempt to FILE.jsonl");
  app.add_flag("--json", a.json, "print the summary as JSON");
  if (auto done = ParseCommandLine(app, argc, argv)) return done;
  std::string error;
  a.modelIndex = ModelIndexByName(a.model);
  if (a.modelIndex < 0) error = "unknown model '" + a.model + "' (VQ-M00 .. VQ-M28)";
  if (error.empty() && a.ports.empty() && !a.allPorts && !a.watch && a.virtualCount == 0)
    error = "one of --port, --all-ports, --watch, --virtual is needed";
  if (error.empty() && a.area < 0 && !a.all && a.settings.empty() && !a.clock && a.endDate.empty())
    error = "nothing to do: give --area I or --all (and --settings, --clock, --end-date)";
  for (size_t i = 0; error.empty() && i < a.ports.size(); ++i) {
    // Two units on one port would fight over it: the second cannot open it.
    for (size_t j = i + 1; j < a.ports.size(); ++j) {
      if (a.ports[i] == a.ports[j]) error = "port " + a.ports[i] + " is given twice";
    }
  }
  if (error.empty()) return std::nullopt;
  std::fprintf(stderr, "vqled-cli flash: %s\nRun with --help for more information.\n",
               error.c_str());
  return kExitUsage;
}

// The unit a port record names while it stays plugged in.
std::string UnitKey(const PortRecord& port) {
  if (!port.byId.empty()) return port.byId;
  if (!port.serialNumber.empty()) return port.serialNumber;
  return port.device;
}

// The system's record of a port given by device or by-id path, so the log
// can name its adapter; the bare path when the system does not know it.
std::vector<PortRecord> GivenPorts(const std::vector<std::string>& paths) {
  std::vector<PortRecord> known;
  try {
    known = MakeSystemPortSource()->List();
  } catch (const std::runtime_error&) {
    // Without libudev the log names the ports by their paths only.
  }
  std::vector<PortRecord> ports;
  for (const std::string& path : paths) {
    PortRecord record;
    record.device = path;
    for (const PortRecord& k : known) {
      if (k.device == path || k.byId == path) record = k, record.device = path;
    }
    ports.push_back(record);
  }
  return ports;
}

std::vector<PortRecord> UsbSerialPorts(std::string& error) {
  std::vector<PortRecord> ports;
  try {
    for (const PortRecord& port : MakeSystemPortSource()->List()) {
      if (!port.usbId.empty()) ports.push_back(port);
    }
  } catch (const std::runtime_error& e) {
    error = std::string("cannot list the serial ports: ") + e.what();
  }
  if (error.empty() && ports.empty()) error = "no USB serial port is plugged in";
  return ports;
}

// Starts the virtual controllers, paced as a real line at 115200 baud.
std::vector<PortRecord> StartVirtual(int count, int modelIndex,
                                     std::vector<std::unique_ptr<SimController>>& sims) {
  std::vector<PortRecord> ports;
  for (int i = 0; i < count; ++i) {
    SimOptions options;
    options.profile = CatalogueProfile(modelIndex);
    options.baud = kVirtualBaud;
    options.logCapacity = 100;
    sims.push_back(std::make_unique<SimController>(options));
    PortRecord record;
    record.device = sims.back()->Start();
    record.description = "virtual controller " + std::to_string(i + 1);
    ports.push_back(record);
  }
  return ports;
}

int64_t WallMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

// Reads the file as the editor does and encodes each area to send once.
Outcome BuildJob(const FlashArgs& a, Document& doc, FlashJob& job, bool& refused) {
  doc.ResetStartupAreas();
  doc.SelectModel(a.modelIndex, a.controllers);
  const bool download = a.all || a.area >= 0;
  if (download) {
    const Outcome loaded =
        doc.LoadAsEditor(a.file, a.modelIndex, a.controllers, a.all ? 0 : a.area, &refused);
    if (!loaded.ok) return loaded;
  }
  job.profile = doc.profile();
  job.allAreas = a.all;
  job.area = a.all ? -1 : a.area;
  if (a.area >= 0) job.loopCount = doc.store().playSettings[a.area].loopCount;
  std::vector<int> areas;
  if (a.all) {
    for (int area = 0; area < std::max(job.profile.areaCount, 1); ++area) areas.push_back(area);
  } else if (a.area >= 0) {
    areas.push_back(a.area);
  }
  job.clock = a.clock;
  job.endDate = !a.endDate.empty();
  job.retries = a.retries;
  job.jobs = a.jobs;
  return EncodeFlashImages(
      areas, [&doc](int area, ImageBuffer& image) { return doc.EncodeDownload(area, image); },
      job.images);
}

// Watches for adapters until SIGINT or SIGTERM, starting the job on each
// unit once while it stays plugged in; then lets the units in flight finish.
void Watch(PortSource& source, FlashStation& station, FlashView& view) {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  std::set<std::string> plugged;
  auto take = [&](const PortRecord& port) {
    if (plugged.insert(UnitKey(port)).second) station.AddUnit(port);
  };
  for (const PortRecord& port : source.StartWatch()) take(port);
  while (!stopRequested) {
    station.Step(kWatchSliceMs, source.WatchFd());
    for (const PortChange& change : source.WaitChanges(0)) {
      if (change.added) {
        take(change.port);
      } else {
        plugged.erase(UnitKey(change.port));
      }
    }
    view.Update(station, SteadyLoopClock().NowMs());
  }
  while (!station.Done()) {
    station.Step(kWatchSliceMs);
    view.Update(station, SteadyLoopClock().NowMs());
  }
}

int RunFlash(int argc, char** argv) {
  FlashArgs a;
  if (auto done = ParseFlashArgs(argc, argv, a)) return *done;
  FlashJob job;
  if (!a.endDate.empty() && !ParseEndDate(a.endDate.c_str(), job.endDateValue)) {
    std::fprintf(stderr, "vqled-cli flash: --end-date needs a date YYYY-MM-DD in 2000..2099\n");
    return kExitUsage;
  }
  if (!a.settings.empty()) {
    // Read and checked once, before any unit starts: every unit gets the
    // same image, and a bad file sends nothing.
    const Outcome read = ReadSettingsFile(a.settings, job.settingsPanel);
    if (!read.ok) {
      std::fprintf(stderr, "vqled-cli flash: %s\n", read.message.en.c_str());
      return kExitUsage;
    }
    job.settings = true;
  }
  FlashLog log;
  if (!a.log.empty()) {
    const Outcome opened = log.Open(a.log);
    if (!opened.ok) {
      std::fprintf(stderr, "vqled-cli flash: %s\n", opened.message.en.c_str());
      return kExitUsage;
    }
  }
  Document doc;
  bool refused = false;
  const Outcome built = BuildJob(a, doc, job, refused);
  if (!built.ok) {
    std::fprintf(stderr, "vqled-cli flash: %s: %s\n", a.file.c_str(), built.message.en.c_str());
    return refused ? kExitUsage : kExitFailure;
  }
  std::string error;
  std::vector<PortRecord> ports;
  std::vector<std::unique_ptr<SimController>> sims;
  std::unique_ptr<PortSource> source;
  try {
    if (!a.ports.empty()) ports = GivenPorts(a.ports);
    if (a.allPorts) ports = UsbSerialPorts(error);
    if (a.virtualCount > 0) ports = StartVirtual(a.virtualCount, a.modelIndex, sims);
    if (a.watch) source = a.dir.empty() ? MakeSystemPortSource() : MakeFolderPortSource(a.dir);
  } catch (const std::runtime_error& e) {
    error = e.what();
  }
  if (!error.empty()) {
    std::fprintf(stderr, "vqled-cli flash: %s\n", error.c_str());
    return kExitFailure;
  }
  FlashStation station(
      std::move(job), doc.store(), [] { return std::make_unique<FlashSerialPort>(); },
      SteadyLoopClock(), WallMs);
  station.onAttemptEnded = [&](size_t unit, const FlashAttempt& attempt) {
    const Outcome written =
        log.Write(FlashLogRecord(station.UnitPort(unit), station.job(), attempt));
    if (!written.ok) std::fprintf(stderr, "vqled-cli flash: %s\n", written.message.en.c_str());
  };
  FlashView view(stderr, isatty(STDERR_FILENO) != 0);
  if (source) {
    Watch(*source, station, view);
  } else {
    for (const PortRecord& port : ports) station.AddUnit(port);
    while (!station.Done()) {
      station.Step(kWatchSliceMs);
      view.Update(station, SteadyLoopClock().NowMs());
    }
  }
  view.Update(station, SteadyLoopClock().NowMs(), true);
  if (a.json) {
    std::printf("%s\n", FlashSummaryJson(station).c_str());
  } else {
    PrintFlashSummary(stdout, station);
  }
  return station.AllPassed() ? kExitOk : kExitFailure;
}

const CommandRegistration reg{"flash", "download a pattern file to many controllers at once",
                              &RunFlash};

}  // namespace
}  // namespace vqled::cli
