// The pattern generators of the grid's popup menu: the two ramps ("一行变化"
// along the frames of a channel, "一列变化" down the channels of a frame) and
// the two running-light templates ("流水叠加", "流水"). They start from
// editCell and write the current area only; every run stops at the area's
// last row and column.
#pragma once

#include <string>
#include <string_view>

#include "editor/selection.h"
#include "model/model_profile.h"
#include "model/pattern_store.h"
#include "model/text.h"

namespace vqled {

// The full-on value of a ramp: 100 on the percent kinds 2 and 7, else 255.
int FullValue(int valueKind);

// ComboBox3 after a change of its text: "+" and "-" stay, anything else is "+".
void NormaliseDirectionText(std::string& text);

// The ramp controls as the window reads them: ComboBox1's text (the step)
// and ComboBox3's text (the direction, "-" steps down, anything else up).
struct RampControls {
  std::string_view stepText;
  std::string_view directionText;
};

// "一列变化": steps from editCell down the channels of its frame column, up
// to the last channel of the first controller, stopping at the first cell
// that reaches full or 0. A step text that is no number writes nothing.
Outcome RampDownChannels(PatternStore& store, const ModelProfile& profile, GridCell editCell,
                         const RampControls& controls);
// "一行变化": steps from editCell along its channel, at most full + 1 cells;
// an upward ramp ends at the first cell that reaches full.
Outcome RampAlongFrames(PatternStore& store, const ModelProfile& profile, GridCell editCell,
                        const RampControls& controls);

// The number fields of a running-light dialog, as texts.
struct RunFields {
  std::string_view firstFrame;
  std::string_view lastFrame;
  std::string_view firstChannel;
  std::string_view lastChannel;
};

// What the dialogs show when they open, as numbers.
struct RunFieldValues {
  int firstFrame;
  int lastFrame;
  int firstChannel;
  int lastChannel;
};
// "流水叠加" (GroupBox8): editCell's frame and channel, both ends channelsPerController.
RunFieldValues StackedRunDialogValues(GridCell editCell, const ModelProfile& profile);
// "流水" (GroupBox9): editCell's frame and channel, the model's last frame,
// channelsPerController.
RunFieldValues RunDialogValues(GridCell editCell, const ModelProfile& profile, int gridColumnCount);

// OK of "流水叠加": the i-th frame of the range lights the first i channels
// of the channel range with value (the number of HYEdit). A field that is
// no number writes nothing and returns the conversion error.
Outcome FillStackedRun(PatternStore& store, const RunFields& fields, int value);
// OK of "流水": one channel per frame, from the first channel down to the
// grid's last channel row (gridRowCount - 1), whatever the last channel
// field says. A first channel past that row writes nothing and returns a
// message that says so.
Outcome FillRun(PatternStore& store, const RunFields& fields, int value);

// A dialog's value box (Edit1, Edit11) after a change or key release: a
// number of 256 or more becomes "255", and HYEdit's text takes its number.
// A text that is no number leaves HYEdit as it is and returns the error.
Outcome FeedEntryFromValueBox(std::string& boxText, std::string& entryText);

}  // namespace vqled
