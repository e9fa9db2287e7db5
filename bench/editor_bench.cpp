// The block commands of the pattern grid on full-size data: inserting and
// deleting a frame column (333 rows x 3500 cells moved) and copying the
// largest rectangle the clipboard holds (336 x 4000 cells).
#include <benchmark/benchmark.h>

#include <memory>

#include "editor/commands.h"
#include "model/pattern_store.h"

namespace {

struct LitArea {
  std::unique_ptr<vqled::PatternStore> store = std::make_unique<vqled::PatternStore>();
  std::unique_ptr<vqled::EditorClipboard> clip = std::make_unique<vqled::EditorClipboard>();
  LitArea() {
    for (int row = 0; row < vqled::kClipRows + 3; ++row)
      for (int column = 0; column < vqled::kColumnsPerArea; ++column)
        store->Cell(0, row, column) = (row + column) % 255 + 1;
  }
};

void BM_InsertColumn(benchmark::State& state) {
  LitArea area;
  for (auto _ : state) {
    vqled::InsertColumn(*area.store, {6, 3});
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_InsertColumn)->Unit(benchmark::kMillisecond);

void BM_DeleteColumn(benchmark::State& state) {
  LitArea area;
  for (auto _ : state) {
    vqled::DeleteColumn(*area.store, {6, 3});
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DeleteColumn)->Unit(benchmark::kMillisecond);

void BM_CopySelectionFullClipboard(benchmark::State& state) {
  LitArea area;
  // Columns 0 and 1 are skipped: 336 rows of 4000 frame cells from column 2.
  const vqled::GridCellRect rect{2, 3, 2 + vqled::kClipColumns - 1, 3 + vqled::kClipRows - 1};
  for (auto _ : state) {
    vqled::CopySelection(*area.store, *area.clip, rect, 0);
    benchmark::DoNotOptimize(area.clip->clipBuffer[335][3999]);
  }
}
BENCHMARK(BM_CopySelectionFullClipboard)->Unit(benchmark::kMillisecond);

}  // namespace
