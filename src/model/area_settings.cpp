#include "model/area_settings.h"

#include "model/integer_text.h"
#include "model/model_catalogue.h"

namespace vqled {
namespace {

constexpr int32_t kFadeCodes[] = {255, 2, 3};  // ComboBox8: "无渐变", "渐灭", "渐亮"
constexpr int kEndModeCount = 3;
constexpr int kTimeUnitCount = 3;

bool IsLoopMode(int code) {
  return code >= LOOP_NEXT_AREA && code <= LOOP_ONCE;
}

void ShowLoopMode(PatternStore& store, const ModelProfile& profile, AreaControls& controls,
                  const PlaySettings& play) {
  if (!IsLoopMode(play.loopMode)) return;  // codes from files the buttons cannot show
  controls.edit6 = std::to_string(play.loopCount);
  if (controls.loopButton != play.loopMode) ChooseLoopMode(store, profile, controls, play.loopMode);
}

// Shows the stored end mode; runs neither box's rule.
void ShowEndMode(AreaControls& controls, int endMode) {
  if (endMode >= 0 && endMode < kEndModeCount) {
    controls.checkBox3Checked = endMode == 1;
    controls.checkBox6Checked = endMode == 2;
    controls.comboBox13Index = endMode;
  } else {
    controls.comboBox13Index = -1;
  }
}

void ShowDefaultTimes(const PatternStore& store, AreaControls& controls, int area) {
  for (int k = 0; k < kDefaultTimeCount; ++k) {
    const DefaultTime& time = store.defaultTime[area][k];
    controls.timeText[k] = std::to_string(time.value);
    controls.timeUnitIndex[k] = time.unit >= 0 && time.unit < kTimeUnitCount ? time.unit : -1;
  }
}

AreaView ShowAreaShape(PatternStore& store, ModelProfile& profile, int area) {
  AreaView view;
  if (profile.areaMode != AREA_MODE_CHANNELS && profile.areaMode != AREA_MODE_GRID) return view;
  profile.channelsPerController = profile.areaChannels[area];
  view.gridChanged = true;
  view.grid = LayoutGrid(store, profile, profile.channelsPerController);
  if (profile.areaMode == AREA_MODE_CHANNELS) {
    profile.channelLabelOffset = profile.areaLabelOffsets[area];
  } else {
    view.grid.columnCount = profile.areaColumns[area];  // gridColumnCount stays the model's
  }
  return view;
}

}  // namespace

AreaView ShowAreaSettings(PatternStore& store, ModelProfile& profile, AreaControls& controls,
                          int area) {
  if (area < 0 || area >= kAreaCount) area = 0;
  store.currentArea = area;
  const PlaySettings& play = store.playSettings[area];
  ShowLoopMode(store, profile, controls, play);
  if (!controls.checkBox2Checked) StoreEnabled(store, controls, true);
  controls.gridShown = true;
  controls.checkBox2Enabled = area != 0;  // the first area cannot be disabled
  ShowEndMode(controls, play.endMode);
  ShowDefaultTimes(store, controls, area);
  return ShowAreaShape(store, profile, area);
}

void ChooseLoopMode(PatternStore& store, const ModelProfile& profile, AreaControls& controls,
                    int loopMode) {
  store.playSettings[store.currentArea].loopMode = loopMode;
  controls.loopButton = loopMode;
  ApplyEndBoxEnabling(profile, loopMode, controls);
}

void ApplyEndBoxEnabling(const ModelProfile& profile, int loopMode, AreaControls& controls) {
  if (loopMode == LOOP_ONCE || loopMode == LOOP_COUNT) {
    if (CatalogueRow(profile.modelIndex).endBoxesFollowLoop) {
      controls.checkBox3Enabled = true;
      controls.checkBox6Enabled = true;
    }
    if (profile.valueKind == VALUE_KIND_PERCENT_MARK) controls.checkBox3Enabled = true;
  } else if (loopMode == LOOP_FOREVER || loopMode == LOOP_NEXT_AREA) {
    controls.checkBox3Enabled = false;
    controls.checkBox6Enabled = false;
  }
}

Outcome StoreLoopCount(PatternStore& store, std::string_view text) {
  return ReadInteger(text, store.playSettings[store.currentArea].loopCount);
}

void StoreEnabled(PatternStore& store, AreaControls& controls, bool checked) {
  store.playSettings[store.currentArea].enabled = checked ? 1 : 0;
  controls.checkBox2Checked = checked;
  controls.gridShown = checked;
}

void CheckEndBox(PatternStore& store, AreaControls& controls, EndBox box, bool checked) {
  bool& own = box == END_BOX_ALL_OFF ? controls.checkBox3Checked : controls.checkBox6Checked;
  bool& other = box == END_BOX_ALL_OFF ? controls.checkBox6Checked : controls.checkBox3Checked;
  own = checked;
  if (checked) other = false;  // without running the other box's rule
  store.playSettings[store.currentArea].endMode = !checked ? 0 : box == END_BOX_ALL_OFF ? 1 : 2;
}

void StoreEndListChoice(PatternStore& store, AreaControls& controls, int index) {
  controls.comboBox13Index = index;
  store.playSettings[store.currentArea].endMode = index;
}

Outcome StoreDefaultTimes(PatternStore& store, AreaControls& controls) {
  Outcome outcome;
  for (int k = 0; k < kDefaultTimeCount; ++k) {
    std::string& text = controls.timeText[k];
    if (text.empty() || text == "0") text.assign(1, '1');  // a default time never shows empty or 0
    int32_t value = 0;
    if (ParseInteger(text, value)) {
      store.defaultTime[store.currentArea][k] = {value, controls.timeUnitIndex[k]};
    } else if (outcome.ok) {
      outcome = Outcome::Fail(ConversionError(text));
    }
  }
  return outcome;
}

void ChooseFade(PatternStore& store, int item) {
  if (item >= 0 && item < static_cast<int>(std::size(kFadeCodes)))
    store.fadeCode = kFadeCodes[item];
}

bool PassesNumericFilter(int key) {
  return (key >= '0' && key <= '9') || key == 8;
}

AreaView ClearAllAreas(PatternStore& store, ModelProfile& profile, AreaControls& controls) {
  for (int a = 0; a < kAreaCount; ++a) ResetArea(store, a);
  return ShowAreaSettings(store, profile, controls, store.currentArea);
}

void ClearCurrentArea(PatternStore& store) {
  ResetArea(store, store.currentArea);
}

}  // namespace vqled
