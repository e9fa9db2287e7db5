#include "model/model_selection.h"

#include <gtest/gtest.h>

#include <string>

namespace vqled {
namespace {

class ModelSelectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int a = 0; a < kAreaCount; ++a) ResetArea(store, a);
  }
  ModelSelection Select(int model, int count = 1) {
    return SelectModel(profile, store, controls, model, count);
  }
  PatternStore store;
  ModelProfile profile;
  AreaControls controls;
};

TEST_F(ModelSelectionTest, ControllerCountMultipliesTheChannelRows) {
  const ModelSelection s = Select(5, 4);  // VQ-M05, 3 channels per controller
  EXPECT_EQ(s.change.channelsPerController, 3);
  EXPECT_EQ(profile.controllerCount, 4);
  EXPECT_EQ(store.gridRowCount, 15);
  EXPECT_EQ(s.grid.rowCount, 15);
  EXPECT_EQ(s.grid.columnCount, 4002);
  ASSERT_NE(s.change.tabCaptions, nullptr);
  EXPECT_EQ(s.change.tabCaptions->count, 7);
  EXPECT_FALSE(s.change.controllerCountReset);
  EXPECT_FALSE(s.area.gridChanged);
}

TEST_F(ModelSelectionTest, SingleAreaBitModel) {
  const ModelSelection s = Select(1, 6);  // VQ-M01 has no count list: the count is 1
  EXPECT_EQ(profile.controllerCount, 1);
  EXPECT_EQ(profile.areaCount, 0);
  EXPECT_EQ(profile.valueKind, VALUE_KIND_BIT);
  EXPECT_EQ(store.gridColumnCount, 4000);
  EXPECT_EQ(store.gridRowCount, 8 + 3);
  EXPECT_EQ(s.grid.defaultColumnWidth, 18);
  EXPECT_EQ(s.change.tabCaptions, nullptr);  // the tabs keep their captions
  EXPECT_TRUE(s.change.controllerCountReset);
  EXPECT_EQ(s.change.controls.Value("TabControl1", CONTROL_SHOWN), false);
  EXPECT_EQ(s.change.controls.Value("ComboBox8", CONTROL_SHOWN), true);
}

TEST_F(ModelSelectionTest, GridLayoutNumbers) {
  const GridLayout g = Select(14).grid;  // VQ-M14
  EXPECT_EQ(g.rowCount, 363);
  EXPECT_EQ(g.defaultRowHeight, 15);
  EXPECT_EQ(g.row0Height, 15);
  EXPECT_EQ(g.column0Width, 60);
  EXPECT_EQ(g.column1Width, 5);
  EXPECT_EQ(g.defaultColumnWidth, 25);
  EXPECT_EQ(g.fontSize, 8);
  EXPECT_EQ(g.gridLineWidth, 1);
}

TEST_F(ModelSelectionTest, HiddenTabStripStillGetsItsCaptions) {
  const ModelSelection s = Select(11);  // VQ-M11
  ASSERT_NE(s.change.tabCaptions, nullptr);
  EXPECT_EQ(s.change.tabCaptions->count, 10);
  EXPECT_EQ(s.change.controls.Value("TabControl1", CONTROL_SHOWN), false);
  EXPECT_EQ(profile.areaCount, 10);
}

TEST_F(ModelSelectionTest, ColourAreaOfVQM28HasItsOwnShape) {
  const ModelSelection s = Select(28);
  EXPECT_STREQ(s.change.tabCaptions->captions[0], "单1区");
  EXPECT_EQ(profile.areaCount, 19);
  EXPECT_TRUE(s.area.gridChanged);
  EXPECT_EQ(s.area.grid.rowCount, 6 + 3);
  EXPECT_EQ(s.area.grid.columnCount, 332);
  const AreaView colour = ShowAreaSettings(store, profile, controls, 10);  // "彩1区"
  EXPECT_EQ(store.currentArea, 10);
  EXPECT_EQ(profile.channelsPerController, 90);
  EXPECT_EQ(store.gridRowCount, 93);
  EXPECT_EQ(colour.grid.columnCount, 108);
  EXPECT_EQ(store.gridColumnCount, 332);  // the model's count stays
}

TEST_F(ModelSelectionTest, VQM26AreasShowTheirChannelsAndNumbers) {
  Select(26);
  const AreaView third = ShowAreaSettings(store, profile, controls, 2);  // "3刹车区一"
  EXPECT_EQ(third.grid.rowCount, 20 + 3);
  EXPECT_EQ(third.grid.columnCount, 1002);
  EXPECT_EQ(profile.channelLabelOffset, 8);  // channels 9..28
  ShowAreaSettings(store, profile, controls, 8);
  EXPECT_EQ(store.gridRowCount, 28 + 3);
  EXPECT_EQ(profile.channelLabelOffset, 0);
  Select(27);  // the next model starts without an offset
  EXPECT_EQ(profile.channelLabelOffset, 0);
  EXPECT_EQ(profile.areaMode, AREA_MODE_UNIFORM);
}

TEST_F(ModelSelectionTest, SwitchingModelsKeepsEveryCell) {
  Select(4);  // 32 channels
  store.Cell(0, 30 + 2, 5) = 255;
  store.Cell(0, 30 + 2, 4001) = 3;
  store.playSettings[3] = {LOOP_COUNT, 9, 0, 2};
  store.defaultTime[3][4] = {77, TIME_UNIT_MIN};
  Select(0);                                  // 4 channels, 1500 columns
  EXPECT_EQ(ComputeAreaLength(store, 0), 0);  // channel 30 is not shown
  Select(4);
  EXPECT_EQ(store.Cell(0, 32, 5), 255);
  EXPECT_EQ(store.Cell(0, 32, 4001), 3);
  EXPECT_EQ(store.playSettings[3].loopMode, LOOP_COUNT);
  EXPECT_EQ(store.playSettings[3].loopCount, 9);
  EXPECT_EQ(store.playSettings[3].enabled, 0);
  EXPECT_EQ(store.playSettings[3].endMode, 2);
  EXPECT_EQ(store.defaultTime[3][4].value, 77);
  EXPECT_EQ(ComputeAreaLength(store, 0), 4001);
}

TEST_F(ModelSelectionTest, FallbackProfileForNoSelection) {
  Select(28);
  profile.blockSize = 64;  // as a VQ-M28 controller may report
  const ModelSelection s = Select(-1);
  EXPECT_EQ(profile.valueKind, VALUE_KIND_STEP);
  EXPECT_EQ(s.change.channelsPerController, 4);
  EXPECT_EQ(store.gridColumnCount, 4002);
  EXPECT_EQ(profile.blockSize, 70);
  EXPECT_EQ(profile.areaMode, AREA_MODE_UNIFORM);
  EXPECT_EQ(s.change.tabCaptions, nullptr);
  EXPECT_FALSE(s.change.controllerCountReset);  // ComboBox4's selection is left alone
  EXPECT_EQ(s.change.controls.Value("TabControl1", CONTROL_SHOWN), false);
  EXPECT_EQ(Select(28).change.channelsPerController, 6);
  EXPECT_EQ(profile.blockSize, 500);  // the model's block size again
}

TEST_F(ModelSelectionTest, CountChangeMakesAreaOneCurrentAndKeepsTheControls) {
  Select(7);  // VQ-M07, 9 channels per controller
  store.playSettings[3] = {LOOP_COUNT, 12, 1, 1};
  store.defaultTime[3][0] = {333, TIME_UNIT_S};
  ShowAreaSettings(store, profile, controls, 3);
  const ControllerCountChange c = ChangeControllerCount(profile, store, controls, 3);
  EXPECT_EQ(store.currentArea, 0);
  EXPECT_EQ(store.gridRowCount, 27 + 3);
  EXPECT_EQ(c.grid.rowCount, 30);
  EXPECT_EQ(controls.edit6, "12");  // still area 4's settings
  EXPECT_EQ(controls.timeText[0], "333");
  EXPECT_TRUE(controls.checkBox3Checked);
  EXPECT_EQ(controls.loopButton, LOOP_FOREVER);  // the display default of a profile
  EXPECT_EQ(store.playSettings[3].loopMode, LOOP_COUNT);
  EXPECT_EQ(store.playSettings[0].loopMode, LOOP_FOREVER);
}

TEST_F(ModelSelectionTest, ChannelRowsStayInsideAnArea) {
  Select(15);  // VQ-M15 declares 3068 channels
  EXPECT_EQ(profile.channelsPerController, kMaxChannels);
  EXPECT_EQ(store.gridRowCount, kRowsPerArea);
  Select(22, 20);  // 18 x 20 controllers
  EXPECT_EQ(store.gridRowCount, 360 + 3);
  Select(22, 25);
  EXPECT_EQ(profile.controllerCount, 20);
  Select(22, 0);
  EXPECT_EQ(profile.controllerCount, 1);
  profile.controllerCount = 1000;
  EXPECT_EQ(ShownChannelCount(profile), kMaxChannels);
  EXPECT_EQ(LayoutGrid(store, profile, -4).rowCount, 3);
}

TEST_F(ModelSelectionTest, ControllerCountText) {
  struct Case {
    const char* text;
    bool ok;
    int count;
  } cases[] = {{"4", true, 4}, {"20", true, 20}, {"99", true, 20}, {"0", true, 1},
               {"", false, 7}, {"x", false, 7},  {"3a", false, 7}};
  for (const Case& c : cases) {
    int count = 7;
    const Outcome outcome = ReadControllerCount(c.text, count);
    EXPECT_EQ(outcome.ok, c.ok) << c.text;
    EXPECT_EQ(count, c.count) << c.text;
    EXPECT_EQ(outcome.message.empty(), c.ok) << c.text;
  }
}

}  // namespace
}  // namespace vqled
