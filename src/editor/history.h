// The undo history of the pattern store. A step is one user action: what it
// changed of the cells, the frame times, the default times and the play
// settings, held as runs (area, row, first column, count) with one stored
// value per changed slot. Undo swaps the stored values with the store's
// current ones and the same swap redoes, so a step never holds a copy of the
// store, only what changed.
//
// A step is found by comparing: Begin takes a sparse snapshot of a scope
// (areas and rows of cells, plus those areas' times and settings; rows that
// are all zero cost nothing), End compares the store with it and keeps the
// differences. Every write inside the scope between the two is recorded,
// whichever function made it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "model/pattern_store.h"

namespace vqled {

// Which command made a step; the window names the step by it in its menu.
enum StepKind : int {
  STEP_CELL_CLICK = 0,      // a click on a cell
  STEP_VALUE_ENTRY,         // a value typed into HYEdit
  STEP_FRAME_TIME,          // TimeComb / TimeComb2
  STEP_DEFAULT_TIMES,       // time1..5, timeT1..5
  STEP_PLAY_SETTINGS,       // loop buttons, Edit6, the end boxes
  STEP_INSERT_COLUMN,       // N1
  STEP_DELETE_COLUMN,       // N2
  STEP_FILL_SELECTED,       // N4
  STEP_PASTE,               // N5
  STEP_CLEAR_SELECTED,      // N6
  STEP_RAMP_CHANNELS,       // N7
  STEP_RAMP_FRAMES,         // N8
  STEP_PASTE_CHANNEL,       // N10
  STEP_STACKED_RUN,         // Button7
  STEP_RUN,                 // Button8
  STEP_CLEAR_AREA,          // BitBtn10
  STEP_CLEAR_ALL,           // BitBtn3
  STEP_IMPORT_AREA,         // BitBtn9, .led
  STEP_IMPORT_ALL,          // BitBtn4, .Aled
  STEP_PERCENT_WRITE_BACK,  // percent values above 100 brought to 100 by painting
  STEP_IMPORT_TABLE,        // TableCsvIn / TablePngIn, CSV or PNG into the current area
  STEP_KIND_COUNT,
  // Not a step: what the start-up, a model switch or a language switch
  // writes is not recorded (Document::BeginStep).
  STEP_NONE = STEP_KIND_COUNT
};

// What a step may change: cells of rows [firstRow, firstRow + rowCount) of
// the areas [firstArea, firstArea + areaCount), every column, plus the frame
// times, default times and play settings of those areas. rowCount 0: times
// and settings only.
struct StepScope {
  int firstArea = 0;
  int areaCount = 1;
  int rowCount = 0;
  int firstRow = 0;
};

// The slots a run addresses: a row of cells, or one area's frame time values,
// frame time types, or settings (the five default times as value and unit,
// then loop mode, loop count, enabled and end mode).
enum HistoryPlane : uint8_t {
  PLANE_CELLS = 0,
  PLANE_TIME_VALUE = 1,
  PLANE_TIME_TYPE = 2,
  PLANE_SETTINGS = 3
};
constexpr int kSettingSlots = 2 * kDefaultTimeCount + 4;

// Consecutive slots of one row with a stored value each.
struct HistoryRun {
  uint8_t area;
  uint8_t plane;
  uint16_t row;
  uint16_t firstColumn;
  uint16_t count;
};
static_assert(sizeof(HistoryRun) == 8, "a run is eight bytes");

struct HistoryStep {
  StepKind kind = STEP_CELL_CLICK;
  int area = 0;  // the area current when the step was made
  std::vector<HistoryRun> runs;
  std::vector<int32_t> values;  // one per slot of the runs, in run order

  size_t Bytes() const;
  size_t ChangedSlots() const { return values.size(); }
};

class History {
 public:
  static constexpr size_t kDefaultBudget = size_t{256} << 20;

  // Takes the snapshot of scope that the next End compares with.
  void Begin(const PatternStore& store, const StepScope& scope);
  // The differences since Begin as a step of kind made in area; nothing when
  // nothing changed. A new step clears the redo list. merge: when the newest
  // step has the same kind and the same runs, the new one is folded into it
  // (keystrokes into one box make one step). Returns whether the store
  // changed.
  bool End(const PatternStore& store, StepKind kind, int area, bool merge = false);
  bool Open() const { return open_; }

  // Adds one slot's earlier value to the newest step, or makes a step of
  // kind when there is none to fold into (a change made by painting).
  void FoldCell(StepKind kind, int area, int row, int column, int32_t before);

  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  const HistoryStep* NextUndo() const { return undo_.empty() ? nullptr : &undo_.back(); }
  const HistoryStep* NextRedo() const { return redo_.empty() ? nullptr : &redo_.back(); }
  // Swap the newest step's values into the store and move it to the other
  // list; the step's area, or -1 when there is nothing to undo or redo.
  int Undo(PatternStore& store);
  int Redo(PatternStore& store);

  // The bytes the steps hold; the oldest steps go when they pass the budget
  // (the newest step always stays).
  size_t Bytes() const { return bytes_; }
  size_t Budget() const { return budget_; }
  void SetBudget(size_t bytes);
  size_t UndoCount() const { return undo_.size(); }
  size_t RedoCount() const { return redo_.size(); }
  void Clear();

 private:
  void Push(HistoryStep step);
  void DropOverBudget();
  void ReleaseSnapshot();

  std::deque<HistoryStep> undo_;
  std::deque<HistoryStep> redo_;
  size_t bytes_ = 0;
  size_t budget_ = kDefaultBudget;

  // The snapshot: per row of the scope the offset of its copy in
  // snapshotCells_, or kZeroRow; the times and settings of the scope's areas.
  static constexpr uint32_t kZeroRow = UINT32_MAX;
  bool open_ = false;
  StepScope scope_;
  std::vector<uint32_t> rowCopies_;
  std::vector<int32_t> snapshotCells_;
  std::vector<int32_t> snapshotTimes_;
  std::vector<HistoryRun> scratchRuns_;
  std::vector<int32_t> scratchValues_;
};

}  // namespace vqled
