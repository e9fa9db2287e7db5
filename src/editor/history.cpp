#include "editor/history.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace vqled {
namespace {

// A snapshot buffer above this is handed back after its step, so one large
// step (clearing every area) does not keep its copy for the whole run.
constexpr size_t kKeptSnapshotCells = size_t{8} << 20;

bool AllZero(const int32_t* slots, int count) {
  int32_t any = 0;
  for (int i = 0; i < count; ++i) any |= slots[i];
  return any == 0;
}

void GatherSettings(const PatternStore& store, int area, int32_t* out) {
  for (int k = 0; k < kDefaultTimeCount; ++k) {
    out[2 * k] = store.defaultTime[area][k].value;
    out[2 * k + 1] = store.defaultTime[area][k].unit;
  }
  const PlaySettings& play = store.playSettings[area];
  int32_t* rest = out + 2 * kDefaultTimeCount;
  rest[0] = play.loopMode;
  rest[1] = play.loopCount;
  rest[2] = play.enabled;
  rest[3] = play.endMode;
}

void ScatterSettings(PatternStore& store, int area, const int32_t* in) {
  for (int k = 0; k < kDefaultTimeCount; ++k) {
    store.defaultTime[area][k].value = in[2 * k];
    store.defaultTime[area][k].unit = in[2 * k + 1];
  }
  PlaySettings& play = store.playSettings[area];
  const int32_t* rest = in + 2 * kDefaultTimeCount;
  play.loopMode = rest[0];
  play.loopCount = rest[1];
  play.enabled = rest[2];
  play.endMode = rest[3];
}

// The slots of a run's row in the store; settings are gathered into a copy.
int32_t* PlaneRow(PatternStore& store, const HistoryRun& run) {
  switch (run.plane) {
    case PLANE_CELLS:
      return store.Row(run.area, run.row);
    case PLANE_TIME_VALUE:
      return store.frameTime[run.area].timeValue;
    case PLANE_TIME_TYPE:
      return store.frameTime[run.area].timeType;
    default:
      return nullptr;
  }
}

// Appends the runs where current differs from before (nullptr: all zero),
// with before's values. A single unchanged slot between two changed ones
// joins the runs: its value costs less than a run's head.
void DiffRow(const int32_t* before, const int32_t* current, int count, HistoryRun head,
             std::vector<HistoryRun>& runs, std::vector<int32_t>& values) {
  if (before == nullptr ? AllZero(current, count)
                        : std::memcmp(before, current, sizeof(int32_t) * count) == 0)
    return;
  auto old = [before](int i) { return before == nullptr ? 0 : before[i]; };
  int i = 0;
  while (i < count) {
    if (old(i) == current[i]) {
      ++i;
      continue;
    }
    const int first = i;
    while (i < count && (old(i) != current[i] || (i + 1 < count && old(i + 1) != current[i + 1])))
      ++i;
    head.firstColumn = static_cast<uint16_t>(first);
    head.count = static_cast<uint16_t>(i - first);
    runs.push_back(head);
    if (before == nullptr) {
      values.insert(values.end(), i - first, 0);
    } else {
      values.insert(values.end(), before + first, before + i);
    }
  }
}

bool SameRuns(const std::vector<HistoryRun>& a, const std::vector<HistoryRun>& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](const HistoryRun& x, const HistoryRun& y) {
           return x.area == y.area && x.plane == y.plane && x.row == y.row &&
                  x.firstColumn == y.firstColumn && x.count == y.count;
         });
}

// Exchanges the step's values with the store's: the store gets the values
// the step held, the step the store's.
void SwapIntoStore(PatternStore& store, HistoryStep& step) {
  int32_t* value = step.values.data();
  for (const HistoryRun& run : step.runs) {
    int32_t settings[kSettingSlots];
    int32_t* row = PlaneRow(store, run);
    if (row == nullptr) {
      GatherSettings(store, run.area, settings);
      row = settings;
    }
    std::swap_ranges(value, value + run.count, row + run.firstColumn);
    if (run.plane == PLANE_SETTINGS) ScatterSettings(store, run.area, settings);
    value += run.count;
  }
}

}  // namespace

size_t HistoryStep::Bytes() const {
  return sizeof(HistoryStep) + runs.capacity() * sizeof(HistoryRun) +
         values.capacity() * sizeof(int32_t);
}

void History::Begin(const PatternStore& store, const StepScope& scope) {
  open_ = true;
  scope_ = scope;
  rowCopies_.clear();
  snapshotCells_.clear();
  snapshotTimes_.clear();
  // Room for every row of the scope: address space only, the copies touch
  // what they fill; no copying as the buffer grows.
  const size_t scopeCells = static_cast<size_t>(scope.areaCount) * scope.rowCount * kColumnsPerArea;
  snapshotCells_.reserve(scopeCells);
  scratchValues_.reserve(scopeCells + static_cast<size_t>(scope.areaCount) * 3 * kColumnsPerArea);
  for (int a = scope.firstArea; a < scope.firstArea + scope.areaCount; ++a) {
    for (int r = scope.firstRow; r < scope.firstRow + scope.rowCount; ++r) {
      const int32_t* row = store.Row(a, r);
      if (AllZero(row, kColumnsPerArea)) {
        rowCopies_.push_back(kZeroRow);
        continue;
      }
      rowCopies_.push_back(static_cast<uint32_t>(snapshotCells_.size()));
      snapshotCells_.insert(snapshotCells_.end(), row, row + kColumnsPerArea);
    }
    const FrameTimes& times = store.frameTime[a];
    snapshotTimes_.insert(snapshotTimes_.end(), times.timeValue, times.timeValue + kColumnsPerArea);
    snapshotTimes_.insert(snapshotTimes_.end(), times.timeType, times.timeType + kColumnsPerArea);
    int32_t settings[kSettingSlots];
    GatherSettings(store, a, settings);
    snapshotTimes_.insert(snapshotTimes_.end(), settings, settings + kSettingSlots);
  }
}

bool History::End(const PatternStore& store, StepKind kind, int area, bool merge) {
  if (!open_) return false;
  open_ = false;
  scratchRuns_.clear();
  scratchValues_.clear();
  const int32_t* times = snapshotTimes_.data();
  size_t copy = 0;
  for (int a = scope_.firstArea; a < scope_.firstArea + scope_.areaCount; ++a) {
    HistoryRun head{static_cast<uint8_t>(a), PLANE_CELLS, 0, 0, 0};
    for (int r = scope_.firstRow; r < scope_.firstRow + scope_.rowCount; ++r, ++copy) {
      head.row = static_cast<uint16_t>(r);
      const uint32_t at = rowCopies_[copy];
      DiffRow(at == kZeroRow ? nullptr : snapshotCells_.data() + at, store.Row(a, r),
              kColumnsPerArea, head, scratchRuns_, scratchValues_);
    }
    head.row = 0;
    head.plane = PLANE_TIME_VALUE;
    DiffRow(times, store.frameTime[a].timeValue, kColumnsPerArea, head, scratchRuns_,
            scratchValues_);
    head.plane = PLANE_TIME_TYPE;
    DiffRow(times + kColumnsPerArea, store.frameTime[a].timeType, kColumnsPerArea, head,
            scratchRuns_, scratchValues_);
    head.plane = PLANE_SETTINGS;
    int32_t settings[kSettingSlots];
    GatherSettings(store, a, settings);
    DiffRow(times + 2 * kColumnsPerArea, settings, kSettingSlots, head, scratchRuns_,
            scratchValues_);
    times += 2 * kColumnsPerArea + kSettingSlots;
  }
  const bool changed = !scratchRuns_.empty();
  // A repeat of the newest step's runs: that step holds the values from
  // before both already.
  const bool merged = changed && merge && redo_.empty() && !undo_.empty() &&
                      undo_.back().kind == kind && undo_.back().area == area &&
                      SameRuns(undo_.back().runs, scratchRuns_);
  if (changed && !merged) {
    HistoryStep step;
    step.kind = kind;
    step.area = area;
    step.runs.assign(scratchRuns_.begin(), scratchRuns_.end());
    step.values.assign(scratchValues_.begin(), scratchValues_.end());
    Push(std::move(step));
  }
  ReleaseSnapshot();
  return changed;
}

void History::FoldCell(StepKind kind, int area, int row, int column, int32_t before) {
  // After an undo the change belongs to the steps being walked: their swaps
  // carry it.
  if (!redo_.empty()) return;
  const HistoryRun cell{static_cast<uint8_t>(area), PLANE_CELLS, static_cast<uint16_t>(row),
                        static_cast<uint16_t>(column), 1};
  if (undo_.empty()) {
    HistoryStep step;
    step.kind = kind;
    step.area = area;
    step.runs.push_back(cell);
    step.values.push_back(before);
    Push(std::move(step));
    return;
  }
  HistoryStep& newest = undo_.back();
  for (const HistoryRun& run : newest.runs) {
    if (run.plane == PLANE_CELLS && run.area == cell.area && run.row == cell.row &&
        column >= run.firstColumn && column < run.firstColumn + run.count)
      return;  // the step holds the value from before it already
  }
  bytes_ -= newest.Bytes();
  newest.runs.push_back(cell);
  newest.values.push_back(before);
  bytes_ += newest.Bytes();
  DropOverBudget();
}

int History::Undo(PatternStore& store) {
  if (undo_.empty()) return -1;
  SwapIntoStore(store, undo_.back());
  redo_.push_back(std::move(undo_.back()));
  undo_.pop_back();
  return redo_.back().area;
}

int History::Redo(PatternStore& store) {
  if (redo_.empty()) return -1;
  SwapIntoStore(store, redo_.back());
  undo_.push_back(std::move(redo_.back()));
  redo_.pop_back();
  return undo_.back().area;
}

void History::SetBudget(size_t bytes) {
  budget_ = bytes;
  DropOverBudget();
}

void History::Clear() {
  undo_.clear();
  redo_.clear();
  bytes_ = 0;
}

void History::Push(HistoryStep step) {
  for (const HistoryStep& dropped : redo_) bytes_ -= dropped.Bytes();
  redo_.clear();
  bytes_ += step.Bytes();
  undo_.push_back(std::move(step));
  DropOverBudget();
}

void History::DropOverBudget() {
  while (bytes_ > budget_ && undo_.size() + redo_.size() > 1) {
    std::deque<HistoryStep>& oldest = undo_.size() > 1 || redo_.empty() ? undo_ : redo_;
    bytes_ -= oldest.front().Bytes();
    oldest.pop_front();
  }
}

void History::ReleaseSnapshot() {
  if (snapshotCells_.capacity() > kKeptSnapshotCells) std::vector<int32_t>().swap(snapshotCells_);
  if (scratchValues_.capacity() > kKeptSnapshotCells) std::vector<int32_t>().swap(scratchValues_);
}

}  // namespace vqled
