#include "model/area_settings.h"

#include <gtest/gtest.h>

#include <string>

#include "model/model_selection.h"

namespace vqled {
namespace {

class AreaSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int a = 0; a < kAreaCount; ++a) {
      ResetArea(store, a);
      for (int k = 0; k < kDefaultTimeCount; ++k) store.defaultTime[a][k] = {1000 - 200 * k, 0};
    }
    SelectModel(profile, store, controls, 5);  // VQ-M05, seven areas
  }
  void Show(int area) { ShowAreaSettings(store, profile, controls, area); }
  PatternStore store;
  ModelProfile profile;
  AreaControls controls;
};

TEST_F(AreaSettingsTest, FirstAreaCannotBeDisabled) {
  Show(0);
  EXPECT_FALSE(controls.checkBox2Enabled);
  Show(1);
  EXPECT_TRUE(controls.checkBox2Enabled);
}

TEST_F(AreaSettingsTest, ShowingAnAreaStoresEnabledOnlyWhenTheBoxWasUnchecked) {
  store.playSettings[3].enabled = 0;  // area 4 disabled by a file
  Show(2);
  StoreEnabled(store, controls, false);  // the user disables area 3
  EXPECT_FALSE(controls.gridShown);
  Show(3);  // the box goes from unchecked to checked: area 4 is stored enabled
  EXPECT_EQ(store.playSettings[3].enabled, 1);
  EXPECT_TRUE(controls.gridShown);
  Show(2);  // the box was checked already: area 3 keeps its 0
  EXPECT_EQ(store.playSettings[2].enabled, 0);
  EXPECT_TRUE(controls.checkBox2Checked);
}

TEST_F(AreaSettingsTest, ShownEndModeChangesNoStoredMode) {
  store.playSettings[1].endMode = 2;
  store.playSettings[4].endMode = 1;
  Show(1);
  EXPECT_TRUE(controls.checkBox6Checked);
  EXPECT_FALSE(controls.checkBox3Checked);
  EXPECT_EQ(controls.comboBox13Index, 2);
  Show(4);
  EXPECT_TRUE(controls.checkBox3Checked);
  EXPECT_FALSE(controls.checkBox6Checked);
  EXPECT_EQ(store.playSettings[1].endMode, 2);
  EXPECT_EQ(store.playSettings[4].endMode, 1);
}

TEST_F(AreaSettingsTest, EndOfPlayRuleKeepsOneBoxChecked) {
  Show(1);
  CheckEndBox(store, controls, END_BOX_NEXT_AREA, true);
  EXPECT_EQ(store.playSettings[1].endMode, 2);
  CheckEndBox(store, controls, END_BOX_ALL_OFF, true);
  EXPECT_TRUE(controls.checkBox3Checked);
  EXPECT_FALSE(controls.checkBox6Checked);
  EXPECT_EQ(store.playSettings[1].endMode, 1);
  CheckEndBox(store, controls, END_BOX_ALL_OFF, false);
  EXPECT_EQ(store.playSettings[1].endMode, 0);
  StoreEndListChoice(store, controls, -1);
  EXPECT_EQ(store.playSettings[1].endMode, -1);
}

TEST_F(AreaSettingsTest, CodesFromFilesOutsideTheListsLeaveTheControls) {
  Show(1);
  CheckEndBox(store, controls, END_BOX_ALL_OFF, true);
  ChooseLoopMode(store, profile, controls, LOOP_ONCE);
  controls.edit6 = "5";
  store.playSettings[2] = {9, 44, 1, 7};
  store.defaultTime[2][1] = {50, 4};
  Show(2);
  EXPECT_EQ(controls.loopButton, LOOP_ONCE);
  EXPECT_EQ(controls.edit6, "5");
  EXPECT_TRUE(controls.checkBox3Checked);
  EXPECT_EQ(controls.comboBox13Index, -1);
  EXPECT_EQ(controls.timeText[1], "50");
  EXPECT_EQ(controls.timeUnitIndex[1], -1);
  EXPECT_EQ(store.playSettings[2].loopMode, 9);
  EXPECT_EQ(store.playSettings[2].endMode, 7);
}

TEST_F(AreaSettingsTest, DefaultTimeTexts) {
  struct Case {
    const char* text;
    int unit;
    const char* shown;
    int32_t value;
    bool ok;
  } cases[] = {{"250", 1, "250", 250, true},  {"", 0, "1", 1, true},
               {"0", 2, "1", 1, true},        {"-5", 0, "-5", -5, true},
               {"+7", 0, "+7", 7, true},      {"abc", 1, "abc", 600, false},
               {"12x", 1, "12x", 600, false}, {" 3", 1, " 3", 600, false}};
  Show(3);
  for (const Case& c : cases) {
    store.defaultTime[3][2] = {600, TIME_UNIT_MS};
    controls.timeText[2] = c.text;
    controls.timeUnitIndex[2] = c.unit;
    const Outcome outcome = StoreDefaultTimes(store, controls);
    EXPECT_EQ(outcome.ok, c.ok) << c.text;
    EXPECT_EQ(controls.timeText[2], c.shown) << c.text;
    EXPECT_EQ(store.defaultTime[3][2].value, c.value) << c.text;
    EXPECT_EQ(store.defaultTime[3][2].unit, c.ok ? c.unit : TIME_UNIT_MS) << c.text;
    EXPECT_EQ(store.defaultTime[3][0].value, 1000) << c.text;  // the others are stored
  }
}

TEST_F(AreaSettingsTest, BadDefaultTimeNamesItsTextAndKeepsTheRest) {
  Show(1);
  controls.timeText[0] = "9";
  controls.timeText[3] = "x1";
  controls.timeText[4] = "";
  controls.timeUnitIndex[4] = 1;
  const Outcome outcome = StoreDefaultTimes(store, controls);
  EXPECT_FALSE(outcome.ok);
  EXPECT_NE(outcome.message.en.find("'x1'"), std::string::npos);
  EXPECT_NE(outcome.message.zh.find("x1"), std::string::npos);
  EXPECT_EQ(store.defaultTime[1][0].value, 9);
  EXPECT_EQ(store.defaultTime[1][3].value, 400);
  EXPECT_EQ(store.defaultTime[1][4].value, 1);
  EXPECT_EQ(store.defaultTime[1][4].unit, TIME_UNIT_S);
  EXPECT_EQ(store.defaultTime[0][0].value, 1000);  // another area is untouched
}

TEST_F(AreaSettingsTest, LoopCountText) {
  Show(2);
  EXPECT_TRUE(StoreLoopCount(store, "12").ok);
  EXPECT_EQ(store.playSettings[2].loopCount, 12);
  for (const char* bad : {"", "1 2", "9999999999", "abc"}) {
    const Outcome outcome = StoreLoopCount(store, bad);
    EXPECT_FALSE(outcome.ok) << bad;
    EXPECT_FALSE(outcome.message.zh.empty());
    EXPECT_EQ(store.playSettings[2].loopCount, 12) << bad;
  }
}

TEST_F(AreaSettingsTest, EndBoxEnablingFollowsTheLoopMode) {
  struct Case {
    int model, loopMode;
    bool box3, box6;  // from both disabled
  } cases[] = {{13, LOOP_ONCE, true, true},       {13, LOOP_COUNT, true, true},
               {10, LOOP_ONCE, true, true},       {16, LOOP_COUNT, true, false},
               {5, LOOP_ONCE, false, false},      {13, LOOP_FOREVER, false, false},
               {13, LOOP_NEXT_AREA, false, false}};
  for (const Case& c : cases) {
    SelectModel(profile, store, controls, c.model);
    controls.checkBox3Enabled = controls.checkBox6Enabled = false;
    ChooseLoopMode(store, profile, controls, c.loopMode);
    EXPECT_EQ(controls.checkBox3Enabled, c.box3) << c.model << " " << c.loopMode;
    EXPECT_EQ(controls.checkBox6Enabled, c.box6) << c.model << " " << c.loopMode;
    EXPECT_EQ(store.playSettings[0].loopMode, c.loopMode);
  }
  SelectModel(profile, store, controls, 13);
  ChooseLoopMode(store, profile, controls, LOOP_ONCE);
  EXPECT_TRUE(controls.checkBox6Enabled);
  ChooseLoopMode(store, profile, controls, LOOP_FOREVER);  // "无限循环" disables both
  EXPECT_FALSE(controls.checkBox3Enabled);
  EXPECT_FALSE(controls.checkBox6Enabled);
}

TEST_F(AreaSettingsTest, ShowingTheCheckedLoopButtonLeavesTheModelsEnabling) {
  SelectModel(profile, store, controls, 12);  // VQ-M12 enables both end boxes
  EXPECT_TRUE(controls.checkBox3Enabled);     // area 1 loops for ever: button already checked
  EXPECT_TRUE(controls.checkBox6Enabled);
  store.playSettings[0].loopMode = LOOP_NEXT_AREA;
  SelectModel(profile, store, controls, 12);  // now the button changes and the rule runs
  EXPECT_FALSE(controls.checkBox3Enabled);
  EXPECT_EQ(controls.loopButton, LOOP_NEXT_AREA);
}

TEST_F(AreaSettingsTest, ClearCurrentAreaLeavesTheControls) {
  Show(2);
  ChooseLoopMode(store, profile, controls, LOOP_ONCE);
  store.Cell(2, 3, 9) = 255;
  ClearCurrentArea(store);
  EXPECT_EQ(store.playSettings[2].loopMode, LOOP_FOREVER);
  EXPECT_EQ(store.Cell(2, 3, 9), 0);
  EXPECT_EQ(controls.loopButton, LOOP_ONCE);  // until the area is shown again
  Show(2);
  EXPECT_EQ(controls.loopButton, LOOP_FOREVER);
}

TEST_F(AreaSettingsTest, ClearAllAreasResetsEveryAreaAndShowsTheCurrentOne) {
  Show(4);
  for (int a = 0; a < kAreaCount; ++a) {
    store.Cell(a, 3, 100) = 7;
    store.Cell(a, kResetRows, 5) = 8;
    store.playSettings[a] = {LOOP_ONCE, 5, 0, 2};
    store.frameTime[a].timeType[50] = FRAME_TIME_S;
  }
  store.defaultTime[4][0] = {42, TIME_UNIT_S};
  const AreaView view = ClearAllAreas(store, profile, controls);
  EXPECT_FALSE(view.gridChanged);
  for (int a = 0; a < kAreaCount; ++a) {
    EXPECT_EQ(store.Cell(a, 3, 100), 0) << a;
    EXPECT_EQ(store.Cell(a, kResetRows, 5), 8) << a;
    EXPECT_EQ(store.frameTime[a].timeType[50], FRAME_TIME_DEFAULT) << a;
    EXPECT_EQ(store.playSettings[a].loopMode, LOOP_FOREVER) << a;
    EXPECT_EQ(store.playSettings[a].enabled, 1) << a;
    EXPECT_EQ(store.playSettings[a].endMode, 2) << a;
  }
  EXPECT_EQ(store.currentArea, 4);
  EXPECT_EQ(controls.loopButton, LOOP_FOREVER);
  EXPECT_EQ(controls.edit6, "0");
  EXPECT_TRUE(controls.checkBox6Checked);
  EXPECT_EQ(controls.timeText[0], "42");
  EXPECT_EQ(controls.timeUnitIndex[0], TIME_UNIT_S);
}

TEST_F(AreaSettingsTest, FadeItemsAndNumericKeys) {
  ChooseFade(store, 1);
  EXPECT_EQ(store.fadeCode, 2);
  ChooseFade(store, -1);  // typed text matching no item
  EXPECT_EQ(store.fadeCode, 2);
  ChooseFade(store, 2);
  EXPECT_EQ(store.fadeCode, 3);
  ChooseFade(store, 0);
  EXPECT_EQ(store.fadeCode, 255);
  ChooseFade(store, 3);
  EXPECT_EQ(store.fadeCode, 255);
  for (int key : {int{'0'}, int{'5'}, int{'9'}, 8}) EXPECT_TRUE(PassesNumericFilter(key)) << key;
  for (int key : {int{'a'}, int{'-'}, int{' '}, int{'/'}, int{':'}, 127, 0})
    EXPECT_FALSE(PassesNumericFilter(key)) << key;
}

TEST_F(AreaSettingsTest, AreaIndexOutsideTheStoreShowsTheFirstArea) {
  Show(3);
  Show(20);
  EXPECT_EQ(store.currentArea, 0);
  Show(-1);
  EXPECT_EQ(store.currentArea, 0);
}

}  // namespace
}  // namespace vqled
