// The catalogue of the 29 controller models and the row applied when no
// model is selected: one table that the window, the command-line tool and the
// virtual controller all read. A row holds what the model fixes (value kind,
// channels, frames, block size, areas and their tabs, command-frame form, the
// per-area shapes of VQ-M26 and VQ-M28) and which groups of controls it shows.
#pragma once

#include <cstdint>
#include <string_view>

#include "model/model_profile.h"

namespace vqled {

// The captions a model gives the tabs of TabControl1, tab i = area i.
struct TabCaptions {
  const char* const* captions;
  int count;
};

// The per-area shape of the models whose areas differ (area modes 1 and 2).
struct AreaShapes {
  int channels[kAreaCount];     // channel rows of each area
  int columns[kAreaCount];      // grid columns of each area (area mode 2)
  int labelOffset[kAreaCount];  // added to the shown channel numbers (area mode 1)
};

// Which default times a model offers: time1..time5 with timeT1..timeT5.
enum DefaultTimesShown : int8_t {
  TIMES_ALL,                   // 1..5
  TIMES_FIRST_THREE,           // 1..3
  TIMES_FIRST_TWO_FIXED_UNITS  // 1..2, with timeT1 and timeT2 disabled
};

// The pattern generators: Label11, ComboBox1, ComboBox3 and the popup items N7, N8.
enum GeneratorControls : int8_t {
  GENERATORS_OFF,            // hidden, popup items disabled
  GENERATORS_ON,             // shown, popup items enabled
  GENERATORS_SHOWN_DISABLED  // shown, popup items disabled
};

// How the end of play is chosen.
enum EndControls : int8_t {
  END_BOXES,              // CheckBox3, CheckBox6 and RadioButton4
  END_LIST,               // Label113 with ComboBox13; the end boxes hidden
  END_LIST_AND_CHECKBOX3  // Label113 with ComboBox13 and CheckBox3; CheckBox6, RadioButton4 hidden
};

// Single changes a row makes on top of its groups.
enum ControlExtra : uint16_t {
  EXTRA_CHECKBOX3_ENABLED = 1 << 0,
  EXTRA_CHECKBOX6_ENABLED = 1 << 1,
  EXTRA_RADIOBUTTON4_DISABLED = 1 << 2,
  EXTRA_LOOP_FOREVER_ONLY = 1 << 3,  // RadioButton1, RadioButton2 and Edit6 disabled
  EXTRA_TABS_DISABLED = 1 << 4,      // TabControl1 disabled
  EXTRA_GROUPBOX7_SHOWN = 1 << 5,    // the controller type panel
  EXTRA_BITBTN15_ENABLED = 1 << 6    // "设置", the trigger settings panel
};

struct ControlRow {
  DefaultTimesShown defaultTimes;
  bool fadeList;  // ComboBox8 shown
  GeneratorControls generators;
  bool areaButtons;  // BitBtn3, BitBtn4, BitBtn5, BitBtn6 enabled
  EndControls endControls;
  unsigned extras;  // ControlExtra bits
};

struct ModelRow {
  const char* name;  // the item of ComboBox6
  int valueKind;
  int channelsPerController;  // as the model declares it
  bool controllerList;        // ComboBox4 enabled: 1..20 controllers
  int gridColumns;            // 2 fixed columns + frame columns
  int blockSize;
  int areaCount;                   // areas of the all-areas download; 0 marks a single-area model
  bool tabStrip;                   // TabControl1 shown
  const TabCaptions* tabCaptions;  // nullptr keeps the captions the tabs have
  int columnWidth;                 // default width of the frame columns
  bool longCommandFrames;
  int areaMode;
  const AreaShapes* areaShapes;  // area modes 1 and 2 only
  bool endBoxesFollowLoop;       // a counted or single loop enables both end boxes
  ControlRow controls;
};

// The row of a model index 0..28; any other index gives the row for no item selected.
const ModelRow& CatalogueRow(int modelIndex);
// The index of the model named "VQ-Mnn", or -1 when no model has that name.
int ModelIndexByName(std::string_view name);
// The profile a model fixes (the fallback row's for an index outside 0..28):
// channelsPerController limited to the channel rows of an area,
// controllerCount limited to 1..20 where the model's ComboBox4 is enabled,
// otherwise 1. The editor applies it on a model change; the virtual
// controller emulates it.
ModelProfile CatalogueProfile(int modelIndex, int controllerCount = 1);
// Whether a model of the value kind downloads the canonical area image
// (VALUE_KIND_BYTE and VALUE_KIND_PERCENT_MARK); the other kinds have
// layouts of their own, without the canonical header's frame count.
bool HasCanonicalImage(int valueKind);

// The captions the form's tabs start with: 第1分区 .. 第7分区.
const TabCaptions& InitialTabCaptions();

}  // namespace vqled
