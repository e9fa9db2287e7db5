// Speed of the canonical image codec and of the all-area pattern file on the
// largest everyday area: VQ-M14, 360 channels x 4000 frames, every cell lit.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "files/area_image.h"
#include "files/area_reader.h"
#include "files/pattern_files.h"

namespace vqled {
namespace {

constexpr int kChannels = 360;
constexpr int kFrames = 4000;

struct LitStore {
  PatternStore store;
  ModelProfile profile;
  HeaderControls controls;
  std::unique_ptr<ImageBuffer> image = std::make_unique<ImageBuffer>();

  LitStore() {
    store.gridRowCount = kChannels + kHeaderRows;
    store.gridColumnCount = kFrames + kFirstFrameColumn;
    for (int a = 0; a < kAreaCount; ++a) {
      ResetArea(store, a);
      for (int r = kHeaderRows; r < kHeaderRows + kChannels; ++r) {
        int32_t* row = store.Row(a, r);
        for (int c = kFirstFrameColumn; c < kFirstFrameColumn + kFrames; ++c)
          row[c] = (r + c) % 255 + 1;
      }
    }
  }
};

LitStore& Lit() {
  static LitStore lit;
  return lit;
}

void BM_EncodeAreaImage(benchmark::State& state) {
  LitStore& lit = Lit();
  for (auto _ : state) {
    EncodeAreaImage(lit.store, lit.profile, lit.controls, 0, *lit.image);
    benchmark::DoNotOptimize(lit.image->entry[lit.image->imageLast]);
  }
  state.SetBytesProcessed(state.iterations() * (lit.image->imageLast + 1));
}
BENCHMARK(BM_EncodeAreaImage)->Unit(benchmark::kMillisecond);

void BM_DecodeAreaImage(benchmark::State& state) {
  LitStore& lit = Lit();
  EncodeAreaImage(lit.store, lit.profile, lit.controls, 0, *lit.image);
  const size_t size = static_cast<size_t>(lit.image->imageLast) + 1;
  for (auto _ : state) {
    DecodeAreaImage(lit.store, lit.image->entry, size, 1, READER_ALL_AREAS);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_DecodeAreaImage)->Unit(benchmark::kMillisecond);

// The largest image an area holds: 1021 channels x 4008 frames.
void BM_EncodeLargestAreaImage(benchmark::State& state) {
  static PatternStore store;
  ModelProfile profile;
  HeaderControls controls;
  auto image = std::make_unique<ImageBuffer>();
  store.gridRowCount = kRowsPerArea;
  store.gridColumnCount = kColumnsPerArea - 1;
  for (int r = kHeaderRows; r < kRowsPerArea; ++r) {
    int32_t* row = store.Row(0, r);
    for (int c = kFirstFrameColumn; c < kColumnsPerArea; ++c) row[c] = (r ^ c) | 1;
  }
  for (auto _ : state) {
    EncodeAreaImage(store, profile, controls, 0, *image);
    benchmark::DoNotOptimize(image->entry[image->imageLast]);
  }
  state.SetBytesProcessed(state.iterations() * (image->imageLast + 1));
}
BENCHMARK(BM_EncodeLargestAreaImage)->Unit(benchmark::kMillisecond);

std::string AledPath() {
  return "/tmp/vqled-bench-" + std::to_string(getpid()) + ".Aled";
}

void BM_SaveAllAreas(benchmark::State& state) {
  LitStore& lit = Lit();
  const EncodeContext context{lit.profile, lit.controls, *lit.image};
  const std::string path = AledPath();
  for (auto _ : state) SaveAllAreas(lit.store, context, path, nullptr);
  unlink(path.c_str());
}
BENCHMARK(BM_SaveAllAreas)->Unit(benchmark::kMillisecond);

void BM_ImportAllAreas(benchmark::State& state) {
  LitStore& lit = Lit();
  const EncodeContext context{lit.profile, lit.controls, *lit.image};
  const std::string path = AledPath();
  SaveAllAreas(lit.store, context, path, nullptr);
  for (auto _ : state) ImportAllAreas(lit.store, path);
  unlink(path.c_str());
}
BENCHMARK(BM_ImportAllAreas)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vqled
