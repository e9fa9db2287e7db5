// The play settings and default times of an area as the area band
// (GroupBox5 with TabControl1) and the default-time band (GroupBox3) show
// them, and the handlers that store what the user chooses there. The window
// fills AreaControls from its controls, calls one of these operations and
// shows the struct again; the operations keep the store and the controls in
// step exactly as the form's own handlers would.
#pragma once

#include <string>
#include <string_view>

#include "model/grid_layout.h"
#include "model/model_profile.h"
#include "model/pattern_store.h"
#include "model/text.h"

namespace vqled {

// The two end boxes of the end-of-play rule.
enum EndBox : int {
  END_BOX_ALL_OFF,   // CheckBox3 "完成后全灭", endMode 1
  END_BOX_NEXT_AREA  // CheckBox6 "所有完成后切换下一分区", endMode 2
};

// What the area controls show; the defaults are those of the form at start.
struct AreaControls {
  int loopButton = LOOP_FOREVER;  // the checked button: RadioButton4, 3, 2, 1 for 0, 1, 2, 3
  std::string edit6 = "0";        // the loop count
  bool checkBox2Checked = true;   // "启用"
  bool checkBox2Enabled = false;
  bool gridShown = true;  // StringGrid1
  bool checkBox3Checked = false;
  bool checkBox3Enabled = false;
  bool checkBox6Checked = false;
  bool checkBox6Enabled = false;
  int comboBox13Index = -1;  // -1: no item selected
  std::string timeText[kDefaultTimeCount] = {"1000", "800", "600", "400", "200"};  // time1..time5
  int timeUnitIndex[kDefaultTimeCount] = {};  // timeT1..timeT5, -1: no item selected
};

// What showing an area changes on the grid: in area modes 1 and 2 the grid
// is laid out for the area's own channel (and column) count.
struct AreaView {
  bool gridChanged = false;
  GridLayout grid;
};

// TabControl1Change's document side: makes area current and loads its
// settings into the controls, running the handlers the form's controls run
// when their state changes (a loop button that becomes checked stores its
// mode again and applies the end-box enabling; CheckBox2 becoming checked
// stores enabled 1). In area modes 1 and 2 sets channelsPerController (and
// channelLabelOffset) and gridRowCount for the area. An index outside 0..19
// shows area 0.
AreaView ShowAreaSettings(PatternStore& store, ModelProfile& profile, AreaControls& controls,
                          int area);

// RadioButton1Click .. RadioButton4Click: the button of loopMode becomes checked.
void ChooseLoopMode(PatternStore& store, const ModelProfile& profile, AreaControls& controls,
                    int loopMode);

// The enabling of CheckBox3 and CheckBox6 when the button of loopMode becomes
// checked: a counted or single loop enables both end boxes on the models whose
// row says so, and CheckBox3 on value kind 7; loop for ever and go on to the
// next area disable both.
void ApplyEndBoxEnabling(const ModelProfile& profile, int loopMode, AreaControls& controls);

// Edit6Change: loopCount of the current area := text as an integer; an
// empty or non-numeric text stores nothing and fails with the conversion error.
Outcome StoreLoopCount(PatternStore& store, std::string_view text);

// CheckBox2Click: the current area is enabled (and the grid shown) or not.
void StoreEnabled(PatternStore& store, AreaControls& controls, bool checked);

// CheckBox3Click, CheckBox6Click: the user changed box to checked. Checking a
// box unchecks the other and stores its end mode; unchecking stores 0.
void CheckEndBox(PatternStore& store, AreaControls& controls, EndBox box, bool checked);

// ComboBox13Change: endMode := the selected index (-1 when none).
void StoreEndListChoice(PatternStore& store, AreaControls& controls, int index);

// time1Change: an empty or "0" text of time1..time5 becomes "1" (in controls
// too), then each default time of the current area := (text, unit index).
// A text that is no integer keeps that default time as it was and fails with
// the conversion error of the first such text; the others are stored.
Outcome StoreDefaultTimes(PatternStore& store, AreaControls& controls);

// ComboBox8Change: items 0, 1, 2 give fadeCode 255, 2, 3; any other index
// (a typed text that matches no item) leaves it unchanged.
void ChooseFade(PatternStore& store, int item);

// Edit6KeyPress: whether a typed key reaches a number field (digits, backspace).
bool PassesNumericFilter(int key);

// BitBtn3Click: every area to the empty state, then the current area shown.
AreaView ClearAllAreas(PatternStore& store, ModelProfile& profile, AreaControls& controls);

// BitBtn10Click: the current area to the empty state; the controls stay as they are.
void ClearCurrentArea(PatternStore& store);

}  // namespace vqled
