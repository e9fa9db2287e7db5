// The on-screen preview of the current area: a row of 72 lamps stepped by a
// 100 ms timer, each frame shown for its own time. The player reads the store
// live at every step and changes nothing in it.
#pragma once

#include "model/pattern_store.h"
#include "model/shades.h"

namespace vqled {

constexpr int kPreviewLampCount = 72;
constexpr int kPreviewTickMs = 100;

struct PreviewPlayer {
  int previewOffset = 0;  // column previewOffset + 1 is being waited for
  int previewTicks = 0;
  int previewSubTicks = 0;
  int previewLength = 0;
  int previewUnit = 0;   // 0 = 100 ms ticks, 1 = seconds, 2 = minutes
  bool running = false;  // the state of Timer3
};

// The click of BitBtn1: stops a running preview, or starts one at frame 1 of
// the current area when the area is not empty. Returns whether it now runs.
bool TogglePreview(PreviewPlayer& player, PatternStore& store);

// One firing of Timer3. Returns true when a new frame was shown; shades then
// holds the brightnessShades index of each lamp (lamp k shows channel k + 1).
bool PreviewTick(PreviewPlayer& player, const PatternStore& store,
                 int (&shades)[kPreviewLampCount]);

}  // namespace vqled
