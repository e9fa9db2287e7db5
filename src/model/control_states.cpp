#include "model/control_states.h"

#include <algorithm>
#include <iterator>
#include <string_view>

#include "model/control_registry.h"
#include "model/model_catalogue.h"

namespace vqled {
namespace {

constexpr bool ON = true;
constexpr bool OFF = false;

// The common states every application sets first.
// clang-format off
constexpr ControlSetting kCommon[] = {
    {"GroupBox4", CONTROL_ENABLED, ON},   {"GroupBox5", CONTROL_ENABLED, ON},
    {"TabControl1", CONTROL_ENABLED, ON}, {"timeT1", CONTROL_ENABLED, ON},
    {"timeT2", CONTROL_ENABLED, ON},      {"BitBtn3", CONTROL_ENABLED, ON},
    {"BitBtn4", CONTROL_ENABLED, ON},     {"BitBtn5", CONTROL_ENABLED, ON},
    {"BitBtn6", CONTROL_ENABLED, ON},     {"RadioButton1", CONTROL_ENABLED, ON},
    {"RadioButton2", CONTROL_ENABLED, ON}, {"RadioButton4", CONTROL_ENABLED, ON},
    {"Edit6", CONTROL_ENABLED, ON},
    {"ComboBox4", CONTROL_ENABLED, OFF},  {"N7", CONTROL_ENABLED, OFF},
    {"N8", CONTROL_ENABLED, OFF},         {"CheckBox3", CONTROL_ENABLED, OFF},
    {"CheckBox6", CONTROL_ENABLED, OFF},  {"BitBtn15", CONTROL_ENABLED, OFF},
    {"StringGrid1", CONTROL_SHOWN, ON},   {"time3", CONTROL_SHOWN, ON},
    {"time4", CONTROL_SHOWN, ON},         {"time5", CONTROL_SHOWN, ON},
    {"timeT3", CONTROL_SHOWN, ON},        {"timeT4", CONTROL_SHOWN, ON},
    {"timeT5", CONTROL_SHOWN, ON},        {"RadioButton4", CONTROL_SHOWN, ON},
    {"CheckBox3", CONTROL_SHOWN, ON},     {"CheckBox6", CONTROL_SHOWN, ON},
    {"TabControl1", CONTROL_SHOWN, OFF},  {"Label11", CONTROL_SHOWN, OFF},
    {"ComboBox1", CONTROL_SHOWN, OFF},    {"ComboBox3", CONTROL_SHOWN, OFF},
    {"ComboBox8", CONTROL_SHOWN, OFF},    {"GroupBox6", CONTROL_SHOWN, OFF},
    {"GroupBox7", CONTROL_SHOWN, OFF},    {"Button3", CONTROL_SHOWN, OFF},
    {"Button4", CONTROL_SHOWN, OFF},      {"Label100", CONTROL_SHOWN, OFF},
    {"Label101", CONTROL_SHOWN, OFF},     {"Label113", CONTROL_SHOWN, OFF},
    {"ComboBox13", CONTROL_SHOWN, OFF},
    {"RadioButton3", CONTROL_CHECKED, ON},  // a display default: stores nothing
};

// The changes of the catalogue's control groups.
constexpr ControlSetting kFirstThreeTimes[] = {
    {"time4", CONTROL_SHOWN, OFF}, {"time5", CONTROL_SHOWN, OFF},
    {"timeT4", CONTROL_SHOWN, OFF}, {"timeT5", CONTROL_SHOWN, OFF}};
constexpr ControlSetting kFirstTwoTimes[] = {
    {"time3", CONTROL_SHOWN, OFF},  {"time4", CONTROL_SHOWN, OFF},  {"time5", CONTROL_SHOWN, OFF},
    {"timeT3", CONTROL_SHOWN, OFF}, {"timeT4", CONTROL_SHOWN, OFF}, {"timeT5", CONTROL_SHOWN, OFF},
    {"timeT1", CONTROL_ENABLED, OFF}, {"timeT2", CONTROL_ENABLED, OFF}};
constexpr ControlSetting kFadeList[] = {{"ComboBox8", CONTROL_SHOWN, ON}};
constexpr ControlSetting kGeneratorsShown[] = {
    {"Label11", CONTROL_SHOWN, ON}, {"ComboBox1", CONTROL_SHOWN, ON},
    {"ComboBox3", CONTROL_SHOWN, ON}};
constexpr ControlSetting kGeneratorItems[] = {{"N7", CONTROL_ENABLED, ON},
                                              {"N8", CONTROL_ENABLED, ON}};
constexpr ControlSetting kAreaButtonsOff[] = {
    {"BitBtn3", CONTROL_ENABLED, OFF}, {"BitBtn4", CONTROL_ENABLED, OFF},
    {"BitBtn5", CONTROL_ENABLED, OFF}, {"BitBtn6", CONTROL_ENABLED, OFF}};
constexpr ControlSetting kEndList[] = {
    {"Label113", CONTROL_SHOWN, ON}, {"ComboBox13", CONTROL_SHOWN, ON}};
constexpr ControlSetting kEndBoxesHidden[] = {
    {"CheckBox3", CONTROL_SHOWN, OFF}, {"CheckBox6", CONTROL_SHOWN, OFF},
    {"RadioButton4", CONTROL_SHOWN, OFF}};
constexpr ControlSetting kEndBoxesButFirstHidden[] = {
    {"CheckBox6", CONTROL_SHOWN, OFF}, {"RadioButton4", CONTROL_SHOWN, OFF}};
constexpr ControlSetting kCheckBox3On[] = {{"CheckBox3", CONTROL_ENABLED, ON}};
constexpr ControlSetting kCheckBox6On[] = {{"CheckBox6", CONTROL_ENABLED, ON}};
constexpr ControlSetting kRadioButton4Off[] = {{"RadioButton4", CONTROL_ENABLED, OFF}};
constexpr ControlSetting kLoopForeverOnly[] = {
    {"RadioButton1", CONTROL_ENABLED, OFF}, {"RadioButton2", CONTROL_ENABLED, OFF},
    {"Edit6", CONTROL_ENABLED, OFF}};
constexpr ControlSetting kTabsOff[] = {{"TabControl1", CONTROL_ENABLED, OFF}};
constexpr ControlSetting kGroupBox7On[] = {{"GroupBox7", CONTROL_SHOWN, ON}};
constexpr ControlSetting kBitBtn15On[] = {{"BitBtn15", CONTROL_ENABLED, ON}};
constexpr ControlSetting kControllerList[] = {{"ComboBox4", CONTROL_ENABLED, ON}};
constexpr ControlSetting kTabStrip[] = {{"TabControl1", CONTROL_SHOWN, ON}};
// clang-format on

static_assert(std::size(kCommon) == kControlSettingCount);

constexpr bool AllRegistered() {
  for (const ControlSetting& s : kCommon) {
    if (!IsRegisteredControl(s.control)) return false;
  }
  return true;
}
static_assert(AllRegistered(), "a control state names a control the registry does not hold");

constexpr int IndexOf(const char* control, ControlProperty property) {
  for (int i = 0; i < kControlSettingCount; ++i) {
    if (kCommon[i].property == property && std::string_view(kCommon[i].control) == control) {
      return i;
    }
  }
  return -1;
}

// Every group changes only states the common list holds.
template <size_t N>
constexpr bool AllKnown(const ControlSetting (&group)[N]) {
  for (const ControlSetting& s : group) {
    if (IndexOf(s.control, s.property) < 0) return false;
  }
  return true;
}
static_assert(AllKnown(kFirstThreeTimes) && AllKnown(kFirstTwoTimes) && AllKnown(kFadeList) &&
              AllKnown(kGeneratorsShown) && AllKnown(kGeneratorItems) &&
              AllKnown(kAreaButtonsOff) && AllKnown(kEndList) && AllKnown(kEndBoxesHidden) &&
              AllKnown(kEndBoxesButFirstHidden) && AllKnown(kCheckBox3On) &&
              AllKnown(kCheckBox6On) && AllKnown(kRadioButton4Off) && AllKnown(kLoopForeverOnly) &&
              AllKnown(kTabsOff) && AllKnown(kGroupBox7On) && AllKnown(kBitBtn15On) &&
              AllKnown(kControllerList) && AllKnown(kTabStrip));

template <size_t N>
void Apply(ControlStates& states, const ControlSetting (&group)[N], bool when) {
  if (!when) return;
  for (const ControlSetting& s : group) {
    states.settings[IndexOf(s.control, s.property)].value = s.value;
  }
}

void ApplyDefaultTimes(ControlStates& states, DefaultTimesShown times) {
  Apply(states, kFirstThreeTimes, times == TIMES_FIRST_THREE);
  Apply(states, kFirstTwoTimes, times == TIMES_FIRST_TWO_FIXED_UNITS);
}

void ApplyGenerators(ControlStates& states, GeneratorControls generators) {
  Apply(states, kGeneratorsShown, generators != GENERATORS_OFF);
  Apply(states, kGeneratorItems, generators == GENERATORS_ON);
}

void ApplyEndControls(ControlStates& states, EndControls end) {
  Apply(states, kEndList, end != END_BOXES);
  Apply(states, kEndBoxesHidden, end == END_LIST);
  Apply(states, kEndBoxesButFirstHidden, end == END_LIST_AND_CHECKBOX3);
}

void ApplyExtras(ControlStates& states, unsigned extras) {
  Apply(states, kCheckBox3On, extras & EXTRA_CHECKBOX3_ENABLED);
  Apply(states, kCheckBox6On, extras & EXTRA_CHECKBOX6_ENABLED);
  Apply(states, kRadioButton4Off, extras & EXTRA_RADIOBUTTON4_DISABLED);
  Apply(states, kLoopForeverOnly, extras & EXTRA_LOOP_FOREVER_ONLY);
  Apply(states, kTabsOff, extras & EXTRA_TABS_DISABLED);
  Apply(states, kGroupBox7On, extras & EXTRA_GROUPBOX7_SHOWN);
  Apply(states, kBitBtn15On, extras & EXTRA_BITBTN15_ENABLED);
}

}  // namespace

std::optional<bool> ControlStates::Value(const char* control, ControlProperty property) const {
  const int i = IndexOf(control, property);
  if (i < 0) return std::nullopt;
  return settings[i].value;
}

ControlStates ResolveControlStates(int modelIndex) {
  ControlStates states;
  std::copy(std::begin(kCommon), std::end(kCommon), states.settings);
  const ModelRow& row = CatalogueRow(modelIndex);
  const ControlRow& controls = row.controls;
  ApplyDefaultTimes(states, controls.defaultTimes);
  Apply(states, kFadeList, controls.fadeList);
  ApplyGenerators(states, controls.generators);
  Apply(states, kAreaButtonsOff, !controls.areaButtons);
  ApplyEndControls(states, controls.endControls);
  ApplyExtras(states, controls.extras);
  Apply(states, kControllerList, row.controllerList);
  Apply(states, kTabStrip, row.tabStrip);
  return states;
}

}  // namespace vqled
