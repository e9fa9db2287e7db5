// The download encoders on the largest area of each of their models, every
// channel of every frame lit: VQ-M03 (bit), VQ-M04 (timed bit), VQ-M00
// (step) and VQ-M12 (group).
#include <benchmark/benchmark.h>

#include <memory>

#include "files/download_image.h"
#include "model/grid_layout.h"
#include "model/model_selection.h"

namespace vqled {
namespace {

struct Bench {
  PatternStore store;
  ModelProfile profile;
  DownloadControls controls;
  std::unique_ptr<ImageBuffer> image = std::make_unique<ImageBuffer>();
};

// A store with the model applied and area 0 lit in full with `value`.
Bench& LitModel(int modelIndex, int32_t value) {
  static Bench bench;
  for (int a = 0; a < kAreaCount; ++a) ResetArea(bench.store, a);
  ApplyModelProfile(bench.profile, bench.store, modelIndex);
  LayoutGrid(bench.store, bench.profile, ShownChannelCount(bench.profile));
  for (int r = kHeaderRows; r < bench.store.gridRowCount; ++r) {
    for (int c = kFirstFrameColumn; c < bench.store.gridColumnCount; ++c)
      bench.store.Cell(0, r, c) = value;
  }
  return bench;
}

void Report(benchmark::State& state, const ImageBuffer& image) {
  state.SetBytesProcessed(state.iterations() * (image.imageLast + 1));
  state.counters["image_bytes"] = image.imageLast + 1;
}

void BM_BitImage_VQM03(benchmark::State& state) {
  Bench& b = LitModel(3, 255);
  for (auto _ : state) {
    EncodeBitImage(b.store, b.profile, b.controls, *b.image);
    benchmark::DoNotOptimize(b.image->entry[b.image->imageLast]);
  }
  Report(state, *b.image);
}
BENCHMARK(BM_BitImage_VQM03);

void BM_TimedBitImage_VQM04(benchmark::State& state) {
  Bench& b = LitModel(4, 255);
  for (auto _ : state) {
    EncodeTimedBitImage(b.store, 0, *b.image);
    benchmark::DoNotOptimize(b.image->entry[b.image->imageLast]);
  }
  Report(state, *b.image);
}
BENCHMARK(BM_TimedBitImage_VQM04);

void BM_StepImage_VQM00(benchmark::State& state) {
  Bench& b = LitModel(0, 100);
  for (auto _ : state) {
    EncodeStepImage(b.store, b.controls, *b.image);
    benchmark::DoNotOptimize(b.image->entry[b.image->imageLast]);
  }
  Report(state, *b.image);
}
BENCHMARK(BM_StepImage_VQM00);

void BM_GroupImage_VQM12(benchmark::State& state) {
  Bench& b = LitModel(12, 255);
  for (auto _ : state) {
    EncodeGroupImage(b.store, b.controls, 0, *b.image);
    benchmark::DoNotOptimize(b.image->entry[b.image->imageLast]);
  }
  Report(state, *b.image);
}
BENCHMARK(BM_GroupImage_VQM12);

}  // namespace
}  // namespace vqled
