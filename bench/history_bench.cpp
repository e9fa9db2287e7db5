// The undo history on full data: undoing "清除全部" over 20 lit areas, the
// bytes that step holds against the bytes of the cells and times it changed,
// making that step, and what one cell click's step costs on a lit VQ-M14
// area (the document's click, which compares one row, and the window's click
// handler, which compares the grid's rows).
#include <benchmark/benchmark.h>

#include <memory>

#include "document/document.h"
#include "editor/entry.h"

namespace {

using namespace vqled;

constexpr int kM14 = 14;  // 360 channels, 4002 columns

// A VQ-M14 document whose 20 areas have every cell of the rows a clear
// empties lit and every frame time set, so clearing changes all of them.
struct LitDocument {
  std::unique_ptr<Document> doc = std::make_unique<Document>();
  int64_t changedSlots = 0;
  LitDocument() {
    doc->ResetStartupAreas();
    doc->SelectModel(kM14, 1);
    PatternStore& store = doc->store();
    for (int a = 0; a < kAreaCount; ++a) {
      for (int row = 0; row < kResetRows; ++row)
        for (int column = 0; column < kColumnsPerArea; ++column)
          store.Cell(a, row, column) = (row + column) % 255 + 1;
      for (int column = 0; column < kColumnsPerArea; ++column)
        store.frameTime[a].timeValue[column] = 5;
      store.playSettings[a].loopMode = LOOP_ONCE;
    }
    changedSlots =
        int64_t{kAreaCount} * (int64_t{kResetRows} * kColumnsPerArea + kColumnsPerArea + 1);
  }
};

void BM_UndoClearAll(benchmark::State& state) {
  LitDocument lit;
  lit.doc->ClearAllAreas();
  const HistoryStep& step = *lit.doc->history().NextUndo();
  state.counters["step_bytes_per_changed_byte"] =
      static_cast<double>(step.Bytes()) / (4.0 * static_cast<double>(lit.changedSlots));
  state.counters["step_MB"] = static_cast<double>(step.Bytes()) / (1 << 20);
  for (auto _ : state) {
    lit.doc->Undo();
    benchmark::ClobberMemory();
    state.PauseTiming();
    lit.doc->Redo();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_UndoClearAll)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ClearAllStep(benchmark::State& state) {
  LitDocument lit;
  for (auto _ : state) {
    lit.doc->ClearAllAreas();
    benchmark::ClobberMemory();
    state.PauseTiming();
    lit.doc->Undo();
    lit.doc->history().Clear();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ClearAllStep)->Unit(benchmark::kMillisecond)->UseRealTime();

// One lit area: 360 channels x 4002 frames.
struct LitArea {
  std::unique_ptr<Document> doc = std::make_unique<Document>();
  LitArea() {
    doc->ResetStartupAreas();
    doc->SelectModel(kM14, 1);
    for (int row = 0; row < doc->store().gridRowCount; ++row)
      for (int column = 0; column < kColumnsPerArea; ++column)
        doc->store().Cell(0, row, column) = (row + column) % 255 + 1;
  }
};

void BM_CellClickStepOneRow(benchmark::State& state) {
  LitArea lit;
  for (auto _ : state) {
    lit.doc->ToggleCell({100, 200}, 7);
    benchmark::ClobberMemory();
  }
  state.counters["steps"] = static_cast<double>(lit.doc->history().UndoCount());
}
BENCHMARK(BM_CellClickStepOneRow)->Unit(benchmark::kMicrosecond);

void BM_CellClickStepGridRows(benchmark::State& state) {
  LitArea lit;
  for (auto _ : state) {
    StepGuard step(*lit.doc, STEP_CELL_CLICK);
    ToggleEntryCell(lit.doc->store(), {100, 200}, 7);
  }
  state.counters["step_bytes"] = static_cast<double>(lit.doc->history().NextUndo()->Bytes());
}
BENCHMARK(BM_CellClickStepGridRows)->Unit(benchmark::kMicrosecond);

}  // namespace
