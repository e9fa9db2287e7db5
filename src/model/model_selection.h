// Applying a controller model: the profile values, the grid layout and the
// control states a model brings, and the document side of the model list
// ComboBox6 and the controller-count list ComboBox4. Applying a profile
// never changes the cells, times or settings of any area.
#pragma once

#include <string_view>

#include "model/area_settings.h"
#include "model/control_states.h"
#include "model/grid_layout.h"
#include "model/model_catalogue.h"
#include "model/model_profile.h"
#include "model/pattern_store.h"
#include "model/text.h"

namespace vqled {

// What a window does beyond the profile after an application.
struct ProfileChange {
  int channelsPerController = 0;
  const TabCaptions* tabCaptions = nullptr;  // the new tabs of TabControl1; nullptr keeps them
  bool controllerCountReset = false;         // ComboBox4 selects its first item "1"
  ControlStates controls;                    // the final control states of the model
};

// Sets every profile value of the model's catalogue row (the fallback row
// for an index outside 0..28), gridColumnCount, and makes area 0 current
// (the first tab selected). channelsPerController is limited to the channel
// rows of an area; controllerCount is controllerCount limited to 1..20 where
// the model's ComboBox4 is enabled, otherwise 1.
ProfileChange ApplyModelProfile(ModelProfile& profile, PatternStore& store, int modelIndex,
                                int controllerCount = 1);

// ComboBox4's text as a controller count, limited to 1..20; an empty or
// non-numeric text fails with the conversion error and leaves count as it was.
Outcome ReadControllerCount(std::string_view text, int& count);

struct ModelSelection {
  ProfileChange change;
  GridLayout grid;  // laid out for all controllers
  AreaView area;    // area 1 shown; its own layout in area modes 1 and 2
};

// ComboBox6Change's document side: applies the model, lays the grid out for
// controllerCount x channelsPerController channels and shows area 1.
ModelSelection SelectModel(ModelProfile& profile, PatternStore& store, AreaControls& controls,
                           int modelIndex, int controllerCount = 1);

struct ControllerCountChange {
  ProfileChange change;
  GridLayout grid;
};

// ComboBox4Change's document side: re-applies the model in force with the
// new count (area 1 becomes current) and lays the grid out for all
// controllers. The area settings controls are not reloaded.
ControllerCountChange ChangeControllerCount(ModelProfile& profile, PatternStore& store,
                                            AreaControls& controls, int controllerCount);

}  // namespace vqled
