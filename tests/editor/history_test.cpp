#include "editor/history.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace vqled {
namespace {

constexpr int kRow = kHeaderRows + 1;

struct Stored {
  int plane;
  int area;
  int row;
  int first;
  std::vector<int32_t> values;
};

std::vector<Stored> Runs(const HistoryStep& step) {
  std::vector<Stored> out;
  size_t at = 0;
  for (const HistoryRun& run : step.runs) {
    out.push_back({run.plane,
                   run.area,
                   run.row,
                   run.firstColumn,
                   {step.values.begin() + at, step.values.begin() + at + run.count}});
    at += run.count;
  }
  return out;
}

bool operator==(const Stored& a, const Stored& b) {
  return a.plane == b.plane && a.area == b.area && a.row == b.row && a.first == b.first &&
         a.values == b.values;
}

class HistoryTest : public ::testing::Test {
 protected:
  std::unique_ptr<PatternStore> store = std::make_unique<PatternStore>();
  History history;

  void Step(StepKind kind, const StepScope& scope, void (*change)(PatternStore&)) {
    history.Begin(*store, scope);
    change(*store);
    history.End(*store, kind, scope.firstArea);
  }
};

// Changed cells become runs holding the values from before the step; one
// unchanged cell between two changes joins them, two do not.
TEST_F(HistoryTest, ChangedSlotsBecomeRunsWithTheirEarlierValues) {
  store->Cell(2, kRow, 5) = 9;
  store->Cell(2, kRow, 6) = 8;
  history.Begin(*store, {2, 1, kRow + 1});
  PatternStore& s = *store;
  s.Cell(2, kRow, 5) = 1;  // 9 -> 1
  s.Cell(2, kRow, 7) = 3;  // 0 -> 3, column 6 unchanged between
  s.Cell(2, kRow, 10) = 4;
  s.Cell(2, kRow, 11) = 5;
  s.Cell(2, 0, kColumnsPerArea - 1) = 6;
  s.frameTime[2].timeValue[3] = 250;
  s.frameTime[2].timeType[3] = FRAME_TIME_MS;
  s.defaultTime[2][1] = {7, TIME_UNIT_S};
  s.playSettings[2].loopCount = 12;
  ASSERT_TRUE(history.End(s, STEP_FILL_SELECTED, 2));

  const HistoryStep* step = history.NextUndo();
  ASSERT_NE(step, nullptr);
  EXPECT_EQ(step->kind, STEP_FILL_SELECTED);
  EXPECT_EQ(step->area, 2);
  const std::vector<Stored> expected = {
      {PLANE_CELLS, 2, 0, kColumnsPerArea - 1, {0}},
      {PLANE_CELLS, 2, kRow, 5, {9, 8, 0}},
      {PLANE_CELLS, 2, kRow, 10, {0, 0}},
      {PLANE_TIME_VALUE, 2, 0, 3, {0}},
      {PLANE_TIME_TYPE, 2, 0, 3, {0}},
      // default time 1 value and unit (slots 2, 3), loop count (slot 11)
      {PLANE_SETTINGS, 2, 0, 2, {0, 0}},
      {PLANE_SETTINGS, 2, 0, 11, {0}},
  };
  EXPECT_EQ(Runs(*step), expected);
}

TEST_F(HistoryTest, UndoAndRedoSwapTheValuesAndReportTheArea) {
  store->Cell(4, kRow, 2) = 50;
  Step(STEP_CLEAR_AREA, {4, 1, kRowsPerArea}, [](PatternStore& s) {
    s.Cell(4, kRow, 2) = 0;
    s.Cell(4, kRowsPerArea - 1, 3) = 7;
    s.playSettings[4].endMode = 3;
  });
  EXPECT_EQ(history.Undo(*store), 4);
  EXPECT_EQ(store->Cell(4, kRow, 2), 50);
  EXPECT_EQ(store->Cell(4, kRowsPerArea - 1, 3), 0);
  EXPECT_EQ(store->playSettings[4].endMode, 0);
  EXPECT_FALSE(history.CanUndo());
  EXPECT_EQ(history.Undo(*store), -1);
  EXPECT_EQ(history.Redo(*store), 4);
  EXPECT_EQ(store->Cell(4, kRow, 2), 0);
  EXPECT_EQ(store->Cell(4, kRowsPerArea - 1, 3), 7);
  EXPECT_EQ(store->playSettings[4].endMode, 3);
  EXPECT_EQ(history.Redo(*store), -1);
}

TEST_F(HistoryTest, NothingChangedMakesNoStepAndANewStepClearsRedo) {
  Step(STEP_CELL_CLICK, {0, 1, kRow + 1}, [](PatternStore& s) { s.Cell(0, kRow, 2) = 1; });
  Step(STEP_CELL_CLICK, {0, 1, kRow + 1}, [](PatternStore& s) { s.Cell(0, kRow, 3) = 1; });
  Step(STEP_PASTE, {0, 1, kRow + 1}, [](PatternStore&) {});
  EXPECT_EQ(history.UndoCount(), 2u);
  history.Undo(*store);
  EXPECT_EQ(history.RedoCount(), 1u);
  Step(STEP_CELL_CLICK, {0, 1, kRow + 1}, [](PatternStore&) {});
  EXPECT_EQ(history.RedoCount(), 1u);  // no change, redo kept
  Step(STEP_CELL_CLICK, {0, 1, kRow + 1}, [](PatternStore& s) { s.Cell(0, kRow, 9) = 1; });
  EXPECT_EQ(history.RedoCount(), 0u);
  EXPECT_EQ(history.UndoCount(), 2u);
}

// Keystrokes into one box fold into one step that undoes to the value before
// the first of them.
TEST_F(HistoryTest, MergedStepsKeepTheValueFromBeforeTheFirst) {
  store->playSettings[1].loopCount = 4;
  for (int count : {1, 12, 123}) {
    history.Begin(*store, {1, 1, 0});
    store->playSettings[1].loopCount = count;
    history.End(*store, STEP_PLAY_SETTINGS, 1, true);
  }
  EXPECT_EQ(history.UndoCount(), 1u);
  history.Undo(*store);
  EXPECT_EQ(store->playSettings[1].loopCount, 4);
  history.Redo(*store);
  EXPECT_EQ(store->playSettings[1].loopCount, 123);
}

TEST_F(HistoryTest, BytesFollowTheStepsAndTheBudgetDropsTheOldest) {
  for (int c = 2; c < 12; ++c) {
    history.Begin(*store, {0, 1, kRow + 1});
    store->Cell(0, kRow, c) = c;
    history.End(*store, STEP_CELL_CLICK, 0);
  }
  const size_t one = history.NextUndo()->Bytes();
  EXPECT_EQ(one, sizeof(HistoryStep) + sizeof(HistoryRun) + sizeof(int32_t));
  EXPECT_EQ(history.Bytes(), 10 * one);
  history.SetBudget(3 * one);
  EXPECT_EQ(history.UndoCount(), 3u);
  EXPECT_EQ(history.Bytes(), 3 * one);
  while (history.Undo(*store) >= 0) {
  }
  // The three newest clicks are undone, the older seven stay.
  for (int c = 2; c < 12; ++c) EXPECT_EQ(store->Cell(0, kRow, c), c < 9 ? c : 0) << c;
  history.SetBudget(0);  // the newest step stays whatever the budget
  EXPECT_EQ(history.UndoCount() + history.RedoCount(), 1u);
}

// A whole row changed costs one run head over its values.
TEST_F(HistoryTest, AFullRowIsOneRun) {
  for (int c = 0; c < kColumnsPerArea; ++c) store->Cell(3, kRow, c) = 1 + c % 255;
  Step(STEP_CLEAR_AREA, {3, 1, kResetRows}, [](PatternStore& s) { ResetArea(s, 3); });
  // The reset also sets every frame time to 1 and the loop mode and enabled.
  const std::vector<Stored> runs = Runs(*history.NextUndo());
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].plane, PLANE_CELLS);
  EXPECT_EQ(runs[0].values.size(), static_cast<size_t>(kColumnsPerArea));
  EXPECT_EQ(runs[1].plane, PLANE_TIME_VALUE);
  EXPECT_EQ(runs[1].values.size(), static_cast<size_t>(kColumnsPerArea));
  history.Undo(*store);
  for (int c = 0; c < kColumnsPerArea; ++c) ASSERT_EQ(store->Cell(3, kRow, c), 1 + c % 255);
}

TEST_F(HistoryTest, FoldedCellsJoinTheNewestStepOrMakeOne) {
  history.FoldCell(STEP_PERCENT_WRITE_BACK, 0, kRow, 4, 255);
  store->Cell(0, kRow, 4) = 100;
  ASSERT_EQ(history.UndoCount(), 1u);
  EXPECT_EQ(history.NextUndo()->kind, STEP_PERCENT_WRITE_BACK);

  Step(STEP_PASTE, {0, 1, kRow + 1}, [](PatternStore& s) { s.Cell(0, kRow, 5) = 200; });
  history.FoldCell(STEP_PERCENT_WRITE_BACK, 0, kRow, 5, 200);  // already held: from 0
  history.FoldCell(STEP_PERCENT_WRITE_BACK, 0, kRow, 6, 180);
  store->Cell(0, kRow, 5) = 100;
  store->Cell(0, kRow, 6) = 100;
  EXPECT_EQ(history.UndoCount(), 2u);
  history.Undo(*store);
  EXPECT_EQ(store->Cell(0, kRow, 5), 0);
  EXPECT_EQ(store->Cell(0, kRow, 6), 180);
  history.FoldCell(STEP_PERCENT_WRITE_BACK, 0, kRow, 6, 180);  // while redoing: no step
  EXPECT_EQ(history.UndoCount(), 1u);
  history.Redo(*store);
  EXPECT_EQ(store->Cell(0, kRow, 5), 100);
  EXPECT_EQ(store->Cell(0, kRow, 6), 100);
}

}  // namespace
}  // namespace vqled
