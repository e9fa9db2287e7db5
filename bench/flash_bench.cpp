// The flashing station against in-process virtual controllers on
// pseudo-terminals:
// - an all-areas download to 8 controllers paced at 115200 baud against the
//   same download to one (parallel_ratio, wanted at most 1.2), and the same
//   with one of the 8 hanging up mid-transfer (it fails alone; 8 records);
// - the resident memory of 16 units at once (peak_rss_mb, wanted < 200);
// - a soak of 1000 downloads in one process, in rounds of 50 units: open
//   descriptors and resident memory after the first round and after the last.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "document/document.h"
#include "link/flash_port.h"
#include "link/flash_station.h"
#include "model/model_catalogue.h"
#include "sim/sim_controller.h"

namespace vqled {
namespace {

constexpr int kModel = 14;   // VQ-M14: 360 channels, two areas, 1024-byte blocks
constexpr int kFrames = 40;  // about 15 kB an area
constexpr int kBaud = 115200;

// The pattern in the document and the job's images of both areas.
struct Pattern {
  Document doc;
  FlashJob job;

  Pattern() {
    doc.ResetStartupAreas();
    doc.SelectModel(kModel, 1);
    const int channels = doc.profile().channelsPerController;
    for (int area = 0; area < 2; ++area) {
      for (int frame = 0; frame < kFrames; ++frame) {
        for (int channel = 1; channel <= channels; ++channel) {
          doc.store().Cell(area, channel + 2, kFirstFrameColumn + frame) =
              static_cast<int16_t>((frame + channel + area) % 256);
        }
      }
    }
    job.profile = doc.profile();
    job.allAreas = true;
    EncodeFlashImages(
        {0, 1}, [this](int a, ImageBuffer& image) { return doc.EncodeDownload(a, image); },
        job.images);
  }
};

int64_t WallMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

double ResidentMb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  }
  return 0;
}

double OpenDescriptors() {
  double count = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    (void)entry;
    ++count;
  }
  return count;
}

std::vector<std::unique_ptr<SimController>> StartSims(int count, int baud, int hangUpOne = 0) {
  std::vector<std::unique_ptr<SimController>> sims;
  for (int i = 0; i < count; ++i) {
    SimOptions options;
    options.profile = CatalogueProfile(kModel);
    options.baud = baud;
    options.logCapacity = 16;
    if (i == 0) options.faults.hangUpAtFrame = hangUpOne;
    sims.push_back(std::make_unique<SimController>(options));
    sims.back()->Start();
  }
  return sims;
}

struct RunResult {
  double seconds = 0;
  int passed = 0;
  int records = 0;
  double peakRssMb = 0;
};

RunResult RunStation(Pattern& pattern, const std::vector<std::unique_ptr<SimController>>& sims) {
  FlashStation station(
      pattern.job, pattern.doc.store(), [] { return std::make_unique<FlashSerialPort>(); },
      SteadyLoopClock(), WallMs);
  RunResult result;
  station.onAttemptEnded = [&](size_t, const FlashAttempt&) { ++result.records; };
  for (const auto& sim : sims) station.AddUnit({sim->DevicePath(), "", "", "", ""});
  const auto start = std::chrono::steady_clock::now();
  while (!station.Done()) {
    station.Step(200);
    result.peakRssMb = std::max(result.peakRssMb, ResidentMb());
  }
  result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  for (size_t i = 0; i < station.UnitCount(); ++i)
    result.passed += station.UnitResult(i) == FLASH_PASSED;
  return result;
}

void BM_EightUnitsAgainstOne(benchmark::State& state) {
  Pattern pattern;
  for (auto _ : state) {
    const RunResult one = RunStation(pattern, StartSims(1, kBaud));
    const RunResult eight = RunStation(pattern, StartSims(8, kBaud));
    const RunResult hung = RunStation(pattern, StartSims(8, kBaud, 6));  // frame 6: a block
    state.SetIterationTime(eight.seconds);
    state.counters["one_s"] = one.seconds;
    state.counters["eight_s"] = eight.seconds;
    state.counters["parallel_ratio"] = eight.seconds / one.seconds;
    state.counters["eight_passed"] = eight.passed;
    state.counters["hung_passed"] = hung.passed;
    state.counters["hung_records"] = hung.records;
  }
  state.counters["image_bytes"] =
      static_cast<double>(pattern.job.images[0].bytes.size() + pattern.job.images[1].bytes.size());
}
BENCHMARK(BM_EightUnitsAgainstOne)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

void BM_SixteenUnitsResident(benchmark::State& state) {
  Pattern pattern;
  for (auto _ : state) {
    const RunResult run = RunStation(pattern, StartSims(16, kBaud));
    state.SetIterationTime(run.seconds);
    state.counters["peak_rss_mb"] = run.peakRssMb;
    state.counters["passed"] = run.passed;
  }
}
BENCHMARK(BM_SixteenUnitsResident)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

// 20 rounds of 50 unpaced downloads of both areas.
void BM_SoakThousandDownloads(benchmark::State& state) {
  Pattern pattern;
  constexpr int kRounds = 20;
  constexpr int kUnits = 50;
  for (auto _ : state) {
    const auto sims = StartSims(kUnits, 0);
    int passed = RunStation(pattern, sims).passed;
    const double fdsBefore = OpenDescriptors();
    const double rssBefore = ResidentMb();
    double seconds = 0;
    for (int round = 1; round < kRounds; ++round) {
      const RunResult run = RunStation(pattern, sims);
      passed += run.passed;
      seconds += run.seconds;
    }
    state.SetIterationTime(seconds);
    state.counters["downloads_passed"] = passed;
    state.counters["fds_after_first_round"] = fdsBefore;
    state.counters["fds_after_last_round"] = OpenDescriptors();
    state.counters["rss_mb_after_first_round"] = rssBefore;
    state.counters["rss_mb_after_last_round"] = ResidentMb();
  }
}
BENCHMARK(BM_SoakThousandDownloads)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace vqled
