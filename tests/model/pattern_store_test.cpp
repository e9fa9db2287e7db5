#include "model/pattern_store.h"

#include <gtest/gtest.h>

namespace vqled {
namespace {

class PatternStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int a = 0; a < kAreaCount; ++a) {
      ResetArea(store, a);
      for (int n = 0; n < kDefaultTimeCount; ++n) store.defaultTime[a][n] = {1000 - 200 * n, 0};
    }
    store.gridRowCount = 8 + 3;
    store.gridColumnCount = 4000;
  }
  PatternStore store;
};

TEST_F(PatternStoreTest, FreshAreasHaveNoLengthAndNoContent) {
  EXPECT_EQ(ComputeAreaLength(store, 0), 0);
  EXPECT_EQ(store.areaDurationMs, 0);
  EXPECT_FALSE(AnyAreaHasContent(store));
}

TEST_F(PatternStoreTest, OneLitCellGivesLengthAndDefaultTimeDuration) {
  store.Cell(0, 3, 4) = 255;
  EXPECT_EQ(ComputeAreaLength(store, 0), 4);
  EXPECT_EQ(store.lastUsedColumn, 4);
  EXPECT_EQ(store.scanRowCount, 11);
  EXPECT_EQ(store.areaDurationMs, 3000);
  EXPECT_TRUE(AnyAreaHasContent(store));
}

TEST_F(PatternStoreTest, FrameTimeTypesAddTheirUnits) {
  struct Case {
    int type, value, unitOfDefault3;
    int64_t ms;
  } cases[] = {{1, 2, 0, 2},      {2, 2, 0, 2000},     {3, 2, 0, 120000},
               {0, 3, 1, 600000}, {0, 3, 2, 36000000}, {0, 6, 0, 0},
               {0, 0, 0, 0},      {4, 9, 0, 0},        {0, 3, 7, 0}};
  for (const Case& c : cases) {
    store.frameTime[1].timeType[2] = c.type;
    store.frameTime[1].timeValue[2] = c.value;
    store.defaultTime[1][2] = {600, c.unitOfDefault3};
    EXPECT_EQ(FrameDurationMs(store, 1, 2), c.ms) << c.type << " " << c.value;
  }
}

TEST_F(PatternStoreTest, ScanReachesFourRowsBelowAndOneColumnPast) {
  store.Cell(2, 11 + 3, 10) = 1;  // the fourth row past the last channel row
  EXPECT_EQ(ComputeAreaLength(store, 2), 10);
  store.Cell(2, 11 + 3, 10) = 0;
  store.Cell(2, 11 + 4, 10) = 1;  // five rows below: not scanned
  EXPECT_EQ(ComputeAreaLength(store, 2), 0);
  store.Cell(2, 3, 4000) = 1;  // column gridColumnCount still counts
  EXPECT_EQ(ComputeAreaLength(store, 2), 4000);
  store.Cell(2, 3, 4001) = 1;
  EXPECT_EQ(ComputeAreaLength(store, 2), 4000);
}

TEST_F(PatternStoreTest, ScanStaysInsideTheAreaForTheLargestGrid) {
  store.gridRowCount = kRowsPerArea;
  store.gridColumnCount = kColumnsPerArea + 50;
  store.Cell(3, 0, 0) = 1;  // first cell of the next area must not count
  store.Cell(2, kRowsPerArea - 1, kColumnsPerArea - 1) = 1;
  EXPECT_EQ(ComputeAreaLength(store, 1), 0);
  EXPECT_EQ(ComputeAreaLength(store, 2), kColumnsPerArea - 1);
}

TEST_F(PatternStoreTest, LongDurationsSaturate) {
  for (int c = 2; c < 4000; ++c) {
    store.frameTime[0].timeType[c] = FRAME_TIME_MIN;
    store.frameTime[0].timeValue[c] = 1000000;
  }
  store.Cell(0, 3, 3999) = 255;
  ComputeAreaLength(store, 0);
  EXPECT_EQ(store.areaDurationMs, 2147483647);
}

TEST_F(PatternStoreTest, ResetKeepsRowsFrom336EndModeAndDefaultTimes) {
  store.Cell(0, 335, 7) = 9;
  store.Cell(0, 336, 7) = 9;
  store.playSettings[0] = {2, 5, 0, 2};
  store.defaultTime[0][4] = {77, 2};
  store.frameTime[0].timeType[9] = 3;
  ResetArea(store, 0);
  EXPECT_EQ(store.Cell(0, 335, 7), 0);
  EXPECT_EQ(store.Cell(0, 336, 7), 9);
  EXPECT_EQ(store.playSettings[0].loopMode, 1);
  EXPECT_EQ(store.playSettings[0].loopCount, 0);
  EXPECT_EQ(store.playSettings[0].enabled, 1);
  EXPECT_EQ(store.playSettings[0].endMode, 2);
  EXPECT_EQ(store.defaultTime[0][4].value, 77);
  EXPECT_EQ(store.frameTime[0].timeType[9], 0);
  EXPECT_EQ(store.frameTime[0].timeValue[9], 1);
}

}  // namespace
}  // namespace vqled
