#include "model/model_selection.h"

#include <algorithm>

#include "model/integer_text.h"

namespace vqled {
namespace {

// The control states that the area controls hold as well.
void ShowControlStates(const ControlStates& states, AreaControls& controls) {
  controls.loopButton = LOOP_FOREVER;  // RadioButton3 shown checked, nothing stored
  controls.gridShown = *states.Value("StringGrid1", CONTROL_SHOWN);
  controls.checkBox3Enabled = *states.Value("CheckBox3", CONTROL_ENABLED);
  controls.checkBox6Enabled = *states.Value("CheckBox6", CONTROL_ENABLED);
}

}  // namespace

ProfileChange ApplyModelProfile(ModelProfile& profile, PatternStore& store, int modelIndex,
                                int controllerCount) {
  const ModelRow& row = CatalogueRow(modelIndex);
  profile = CatalogueProfile(modelIndex, controllerCount);
  store.gridColumnCount = row.gridColumns;
  store.currentArea = 0;

  ProfileChange change;
  change.channelsPerController = profile.channelsPerController;
  change.tabCaptions = row.tabCaptions;
  const bool listed = modelIndex >= 0 && modelIndex < kModelCount;
  change.controllerCountReset = listed && !row.controllerList;
  change.controls = ResolveControlStates(modelIndex);
  return change;
}

Outcome ReadControllerCount(std::string_view text, int& count) {
  int32_t value = 0;
  Outcome outcome = ReadInteger(text, value);
  if (outcome.ok) count = std::clamp(value, 1, kMaxControllers);
  return outcome;
}

ModelSelection SelectModel(ModelProfile& profile, PatternStore& store, AreaControls& controls,
                           int modelIndex, int controllerCount) {
  ModelSelection selection;
  selection.change = ApplyModelProfile(profile, store, modelIndex, controllerCount);
  ShowControlStates(selection.change.controls, controls);
  selection.grid = LayoutGrid(store, profile, ShownChannelCount(profile));
  selection.area = ShowAreaSettings(store, profile, controls, 0);
  return selection;
}

ControllerCountChange ChangeControllerCount(ModelProfile& profile, PatternStore& store,
                                            AreaControls& controls, int controllerCount) {
  ControllerCountChange result;
  result.change = ApplyModelProfile(profile, store, profile.modelIndex, controllerCount);
  ShowControlStates(result.change.controls, controls);
  result.grid = LayoutGrid(store, profile, ShownChannelCount(profile));
  return result;
}

}  // namespace vqled
