// A real download of a 100 kB canonical image by vqled-cli over a
// pseudo-terminal to the virtual controller paced at 115200 baud. Reports the
// achieved image bytes per second against the wire limit (11,520 bytes/s at
// ten bits a byte) and the download time against the protocol's own floor:
// the 1 s until the first probe, the wire time of every frame and reply, and
// the 10 ms read gap that ends the reading of each reply.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "files/download_image.h"
#include "files/pattern_files.h"
#include "model/model_catalogue.h"
#include "model/model_selection.h"
#include "sim/sim_controller.h"
#include "sim/sim_options.h"

extern char** environ;

namespace vqled {
namespace {

constexpr int kModel = 14;    // VQ-M14: 360 channels, canonical images, 1024-byte blocks
constexpr int kFrames = 276;  // 276 frames of 363 bytes: an image of about 100 kB
constexpr double kBaud = 115200;
constexpr double kWireBytesPerSecond = kBaud / 10;
constexpr double kFirstProbeS = 1.0;
constexpr double kReadGapS = 0.010;
constexpr int kCommandFrameBytes = 6;  // AA CC 02 code value 55

std::string CliPath() {
  return (std::filesystem::canonical("/proc/self/exe").parent_path() / "vqled-cli").string();
}

// Writes the pattern file and returns an image of the length the download sends.
std::vector<uint8_t> WritePattern(const std::string& path) {
  auto store = std::make_unique<PatternStore>();
  ModelProfile profile;
  AreaControls controls;
  SelectModel(profile, *store, controls, kModel);
  for (int area = 0; area < kAreaCount; ++area) ResetArea(*store, area);
  for (int frame = 0; frame < kFrames; ++frame) {
    for (int channel = 1; channel <= profile.channelsPerController; ++channel) {
      store->Cell(0, channel + 2, kFirstFrameColumn + frame) = (frame + channel) % 256;
    }
  }
  HeaderControls header;
  header.comboBox6Index = kModel;
  header.radioButton6 = true;
  auto image = std::make_unique<ImageBuffer>();
  SaveAllAreas(*store, EncodeContext{profile, header, *image}, path, nullptr);
  ShowAreaSettings(*store, profile, controls, 0);
  EncodeDownloadImage(*store, profile, DownloadControlsFromArea(controls, header), 0, *image);
  return {image->entry, image->entry + image->imageLast + 1};
}

// The protocol's floor for an image of imageBytes in blocks of blockSize.
double FloorSeconds(int imageBytes, int blockSize) {
  const int blocks = (imageBytes + blockSize - 1) / blockSize;
  const int replies = 2 + blocks + 1;  // probe, erase, each block, end of data
  const double frameBytes = 4.0 * kCommandFrameBytes + imageBytes + 4.0 * blocks;
  return kFirstProbeS + (frameBytes + replies) / kWireBytesPerSecond + replies * kReadGapS;
}

int RunCli(const std::vector<std::string>& args) {
  const std::string program = CliPath();
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void BM_Download100kBAt115200(benchmark::State& state) {
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("vqled-bench-" + std::to_string(getpid()) + ".Aled"))
                               .string();
  const std::vector<uint8_t> expected = WritePattern(path);
  const int blockSize = CatalogueProfile(kModel).blockSize;
  double seconds = 0;
  for (auto _ : state) {
    SimOptions options;
    options.profile = CatalogueProfile(kModel);
    options.baud = static_cast<int>(kBaud);
    SimController sim(options);
    const std::string device = sim.Start();
    const auto start = std::chrono::steady_clock::now();
    const int status = RunCli({"send", path, "--port", device, "--model", "VQ-M14", "--area", "0"});
    const auto end = std::chrono::steady_clock::now();
    seconds = std::chrono::duration<double>(end - start).count();
    state.SetIterationTime(seconds);
    const auto received = sim.Image(0);
    // The end-to-end tests compare the bytes; here the whole image must arrive.
    if (status != 0 || !received || !received->complete ||
        received->bytes.size() != expected.size()) {
      state.SkipWithError("the download failed or the controller received another length");
      break;
    }
  }
  std::filesystem::remove(path);
  const double floor = FloorSeconds(static_cast<int>(expected.size()), blockSize);
  state.counters["image_bytes"] = static_cast<double>(expected.size());
  state.counters["bytes_per_s"] = static_cast<double>(expected.size()) / seconds;
  state.counters["of_wire_limit"] =
      static_cast<double>(expected.size()) / seconds / kWireBytesPerSecond;
  state.counters["floor_s"] = floor;
  state.counters["over_floor"] = seconds / floor - 1.0;
}
BENCHMARK(BM_Download100kBAt115200)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace vqled
