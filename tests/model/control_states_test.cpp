#include "model/control_states.h"

#include <gtest/gtest.h>

#include <string>

#include "model/model_profile.h"

namespace vqled {
namespace {

constexpr bool ON = true;
constexpr bool OFF = false;

TEST(ControlStatesTest, ModelsChangeTheCommonStatesByTheirRow) {
  struct Case {
    int model;
    const char* control;
    ControlProperty property;
    bool value;
  } cases[] = {
      // VQ-M00: three default times, generators on, area buttons off, CheckBox3 usable.
      {0, "time3", CONTROL_SHOWN, ON},
      {0, "time4", CONTROL_SHOWN, OFF},
      {0, "timeT5", CONTROL_SHOWN, OFF},
      {0, "N7", CONTROL_ENABLED, ON},
      {0, "BitBtn5", CONTROL_ENABLED, OFF},
      {0, "CheckBox3", CONTROL_ENABLED, ON},
      {0, "CheckBox6", CONTROL_ENABLED, OFF},
      {0, "TabControl1", CONTROL_ENABLED, OFF},
      // VQ-M01: two default times with fixed units, fade list, no generators.
      {1, "time3", CONTROL_SHOWN, OFF},
      {1, "timeT1", CONTROL_ENABLED, OFF},
      {1, "timeT2", CONTROL_ENABLED, OFF},
      {1, "ComboBox8", CONTROL_SHOWN, ON},
      {1, "Label11", CONTROL_SHOWN, OFF},
      {1, "N8", CONTROL_ENABLED, OFF},
      {1, "TabControl1", CONTROL_SHOWN, OFF},
      {1, "BitBtn3", CONTROL_ENABLED, OFF},
      // VQ-M05: controller count list, tabs shown.
      {5, "ComboBox4", CONTROL_ENABLED, ON},
      {5, "TabControl1", CONTROL_SHOWN, ON},
      {5, "TabControl1", CONTROL_ENABLED, ON},
      {5, "ComboBox8", CONTROL_SHOWN, OFF},
      // VQ-M11: count list, but the tab strip stays hidden.
      {11, "TabControl1", CONTROL_SHOWN, OFF},
      {11, "ComboBox4", CONTROL_ENABLED, ON},
      // VQ-M12: only "无限循环" can be chosen.
      {12, "RadioButton1", CONTROL_ENABLED, OFF},
      {12, "RadioButton2", CONTROL_ENABLED, OFF},
      {12, "Edit6", CONTROL_ENABLED, OFF},
      {12, "RadioButton4", CONTROL_ENABLED, OFF},
      {12, "CheckBox3", CONTROL_ENABLED, ON},
      {12, "CheckBox6", CONTROL_ENABLED, ON},
      // VQ-M13: the controller type panel.
      {13, "GroupBox7", CONTROL_SHOWN, ON},
      {13, "CheckBox6", CONTROL_ENABLED, ON},
      // VQ-M21: end list with CheckBox3, fade list.
      {21, "ComboBox13", CONTROL_SHOWN, ON},
      {21, "Label113", CONTROL_SHOWN, ON},
      {21, "CheckBox3", CONTROL_SHOWN, ON},
      {21, "CheckBox3", CONTROL_ENABLED, ON},
      {21, "CheckBox6", CONTROL_SHOWN, OFF},
      {21, "RadioButton4", CONTROL_SHOWN, OFF},
      {21, "ComboBox8", CONTROL_SHOWN, ON},
      // VQ-M25: trigger settings, no "go on to the next area".
      {25, "BitBtn15", CONTROL_ENABLED, ON},
      {25, "RadioButton4", CONTROL_ENABLED, OFF},
      {25, "RadioButton4", CONTROL_SHOWN, ON},
      {25, "ComboBox13", CONTROL_SHOWN, OFF},
      // VQ-M28: end list, end boxes hidden, trigger settings.
      {28, "CheckBox3", CONTROL_SHOWN, OFF},
      {28, "CheckBox6", CONTROL_SHOWN, OFF},
      {28, "RadioButton4", CONTROL_SHOWN, OFF},
      {28, "BitBtn15", CONTROL_ENABLED, ON},
      {28, "GroupBox7", CONTROL_SHOWN, OFF},
      // No item selected: generators shown but their popup items disabled.
      {-1, "Label11", CONTROL_SHOWN, ON},
      {-1, "ComboBox3", CONTROL_SHOWN, ON},
      {-1, "N7", CONTROL_ENABLED, OFF},
      {-1, "TabControl1", CONTROL_ENABLED, OFF},
      {-1, "BitBtn6", CONTROL_ENABLED, ON},
      {-1, "ComboBox4", CONTROL_ENABLED, OFF},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ResolveControlStates(c.model).Value(c.control, c.property), c.value)
        << "model " << c.model << " " << c.control << " " << int{c.property};
  }
}

TEST(ControlStatesTest, EveryModelSetsTheSameControlsOnceWithTheLoopDisplayDefault) {
  for (int model = -1; model < kModelCount; ++model) {
    const ControlStates states = ResolveControlStates(model);
    int count = 0;
    for (const ControlSetting& s : states) {
      ++count;
      for (const ControlSetting* t = &s + 1; t != states.end(); ++t) {
        EXPECT_FALSE(t->property == s.property && std::string(t->control) == s.control)
            << s.control;
      }
    }
    EXPECT_EQ(count, kControlSettingCount);
    EXPECT_EQ(states.Value("RadioButton3", CONTROL_CHECKED), ON) << model;
    EXPECT_EQ(states.Value("StringGrid1", CONTROL_SHOWN), ON) << model;
    EXPECT_EQ(states.Value("GroupBox6", CONTROL_SHOWN), OFF) << model;
  }
  EXPECT_FALSE(ResolveControlStates(5).Value("StringGrid1", CONTROL_ENABLED).has_value());
  EXPECT_FALSE(ResolveControlStates(5).Value("NoSuchControl", CONTROL_SHOWN).has_value());
}

}  // namespace
}  // namespace vqled
