// Speed of the pattern document's whole-store operations and the resident
// memory of the store: measured here, never asserted in a test.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "model/area_settings.h"
#include "model/model_selection.h"

namespace vqled {
namespace {

constexpr int kModelVQM14 = 14;  // 360 channels, 4000 frames
constexpr size_t kClearedBytes =
    static_cast<size_t>(kAreaCount) * kResetRows * kColumnsPerArea * sizeof(int32_t);

struct Document {
  Document() {
    for (int a = 0; a < kAreaCount; ++a) ResetArea(store, a);
    SelectModel(profile, store, controls, kModelVQM14);
  }
  PatternStore store;
  ModelProfile profile;
  AreaControls controls;
};

// Every channel cell of every frame of one area lit.
void LightArea(PatternStore& store, int area, int channels, int columns) {
  for (int r = kHeaderRows; r < kHeaderRows + channels; ++r) {
    int32_t* row = store.Row(area, r);
    for (int c = kFirstFrameColumn; c < columns; ++c) row[c] = 255;
  }
}

double ResidentMegabytes() {
  long pages = 0, resident = 0;
  FILE* f = std::fopen("/proc/self/statm", "r");
  if (f == nullptr) return -1;
  const int read = std::fscanf(f, "%ld %ld", &pages, &resident);
  std::fclose(f);
  if (read != 2) return -1;
  return static_cast<double>(resident) * sysconf(_SC_PAGESIZE) / (1024.0 * 1024.0);
}

// Resident memory of the process once the store exists and all areas are clear;
// registered first, so no earlier benchmark has left memory behind.
void BM_ResidentAfterClearAll(benchmark::State& state) {
  double before = 0, after = 0;
  for (auto _ : state) {
    before = ResidentMegabytes();
    Document doc;
    ClearAllAreas(doc.store, doc.profile, doc.controls);
    after = ResidentMegabytes();
  }
  state.counters["resident_MB"] = after;
  state.counters["store_MB"] = after - before;
}
BENCHMARK(BM_ResidentAfterClearAll)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ComputeAreaLengthAllLit(benchmark::State& state) {
  auto doc = std::make_unique<Document>();
  LightArea(doc->store, 0, 360, doc->store.gridColumnCount);
  for (auto _ : state) benchmark::DoNotOptimize(ComputeAreaLength(doc->store, 0));
  state.counters["lastUsedColumn"] = doc->store.lastUsedColumn;
}
BENCHMARK(BM_ComputeAreaLengthAllLit);

// The longest scan: nothing lit, every cell of the model's rows and columns read.
void BM_ComputeAreaLengthEmpty(benchmark::State& state) {
  auto doc = std::make_unique<Document>();
  for (auto _ : state) benchmark::DoNotOptimize(ComputeAreaLength(doc->store, 0));
  state.SetBytesProcessed(state.iterations() * int64_t{doc->store.gridRowCount + 4} *
                          (doc->store.gridColumnCount + 1) * 4);
}
BENCHMARK(BM_ComputeAreaLengthEmpty);

// Clearing 20 areas that all hold a full VQ-M14 pattern.
void BM_ClearAllAreas(benchmark::State& state) {
  auto doc = std::make_unique<Document>();
  for (auto _ : state) {
    state.PauseTiming();
    for (int a = 0; a < kAreaCount; ++a) LightArea(doc->store, a, kResetRows - kHeaderRows, 4002);
    state.ResumeTiming();
    ClearAllAreas(doc->store, doc->profile, doc->controls);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kClearedBytes));
}
BENCHMARK(BM_ClearAllAreas)->Unit(benchmark::kMillisecond);

// The same number of bytes written with memset into resident memory.
void BM_MemsetReference(benchmark::State& state) {
  std::vector<unsigned char> bytes(kClearedBytes, 1);
  for (auto _ : state) {
    std::memset(bytes.data(), 0, bytes.size());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kClearedBytes));
}
BENCHMARK(BM_MemsetReference)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vqled
