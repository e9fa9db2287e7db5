#include "ui/preview_player.h"

#include <gtest/gtest.h>

#include <vector>

namespace vqled {
namespace {

class PreviewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetArea(store, 0);
    for (int n = 0; n < kDefaultTimeCount; ++n) store.defaultTime[0][n] = {1000 - 200 * n, 0};
    store.gridRowCount = 8 + 3;
    store.gridColumnCount = 4002;
  }
  // Runs the timer for the given number of ticks and returns the ticks
  // (1-based) at which a frame was shown, with the lamp 0 shade of each.
  std::vector<std::pair<int, int>> Run(int ticks) {
    std::vector<std::pair<int, int>> shown;
    for (int t = 1; t <= ticks; ++t)
      if (PreviewTick(player, store, shades)) shown.push_back({t, shades[0]});
    return shown;
  }
  void LightFrames(int count) {
    for (int f = 1; f <= count; ++f) store.Cell(0, 3, f + 1) = 255;
  }
  PatternStore store;
  PreviewPlayer player;
  int shades[kPreviewLampCount] = {};
};

TEST_F(PreviewTest, EmptyAreaDoesNotStart) {
  EXPECT_FALSE(TogglePreview(player, store));
  EXPECT_FALSE(player.running);
}

TEST_F(PreviewTest, ThreeFramesOfOneSecondThenColumnOneThenFrameOneAgain) {
  store.Cell(0, 3, 2) = 16;
  store.Cell(0, 3, 3) = 32;
  store.Cell(0, 3, 4) = 48;
  ASSERT_TRUE(TogglePreview(player, store));
  const auto shown = Run(41);
  // Frame 1 at once, frame 2 after 1 s, frame 3 after 1 s, then the wait of
  // column 1 (default time 1 = 1 s) and frame 1 again.
  ASSERT_EQ(shown.size(), 5u);
  EXPECT_EQ(shown[0], std::make_pair(1, 1));
  EXPECT_EQ(shown[1], std::make_pair(11, 2));
  EXPECT_EQ(shown[2], std::make_pair(21, 3));
  EXPECT_EQ(shown[3], std::make_pair(31, 1));
  EXPECT_EQ(shown[4], std::make_pair(41, 2));
}

TEST_F(PreviewTest, FrameTimesInTicks) {
  struct Case {
    int type, value, defaultUnit, ticks;
  } cases[] = {{1, 250, 0, 2}, {1, 50, 0, 1}, {2, 2, 0, 20},
               {3, 1, 0, 600}, {0, 3, 1, 30}, {2, 0, 0, 1}};
  for (const Case& c : cases) {
    player = PreviewPlayer{};
    LightFrames(3);
    store.frameTime[0].timeType[2] = c.type;
    store.frameTime[0].timeValue[2] = c.value;
    store.defaultTime[0][2] = {3, c.defaultUnit};
    ASSERT_TRUE(TogglePreview(player, store));
    const auto shown = Run(c.ticks + 1);
    ASSERT_GE(shown.size(), 2u) << c.type << "/" << c.value;
    EXPECT_EQ(shown[1].first - shown[0].first, c.ticks) << c.type << "/" << c.value;
  }
}

TEST_F(PreviewTest, SecondClickStopsAndKeepsTheLamps) {
  LightFrames(2);
  ASSERT_TRUE(TogglePreview(player, store));
  Run(1);
  EXPECT_EQ(shades[0], 15);
  EXPECT_FALSE(TogglePreview(player, store));
  EXPECT_EQ(shades[0], 15);
}

TEST_F(PreviewTest, LampShadesFollowTheCellValues) {
  store.Cell(0, 3 + 4, 2) = 200;   // channel 5
  store.Cell(0, 3 + 71, 2) = 100;  // channel 72: second lamp row
  store.Cell(0, 3 + 1, 2) = 3;
  ASSERT_TRUE(TogglePreview(player, store));
  ASSERT_EQ(Run(1).size(), 1u);
  EXPECT_EQ(shades[4], 12);
  EXPECT_EQ(shades[71], 6);
  EXPECT_EQ(shades[1], 1);
  EXPECT_EQ(shades[0], 0);
  EXPECT_EQ(BrightnessShadeIndex(255), 15);
  EXPECT_EQ(BrightnessShadeIndex(300), 16);
  EXPECT_EQ(BrightnessShadeIndex(-5), 1);
}

TEST_F(PreviewTest, StaleLastUsedColumnNeverLeavesTheArea) {
  LightFrames(1);
  ASSERT_TRUE(TogglePreview(player, store));
  store.lastUsedColumn = 100000;  // as if another operation left it behind
  for (int c = 0; c < kColumnsPerArea; ++c) store.frameTime[0].timeType[c] = FRAME_TIME_MS;
  Run(5000);
  EXPECT_LT(player.previewOffset + 2, kColumnsPerArea);
}

}  // namespace
}  // namespace vqled
