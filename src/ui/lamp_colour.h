// What colour a preview lamp shows: the strip's rule, shared by the preview
// window and the pictures vqled-cli renders, so all three agree.
#pragma once

#include <cstdint>

#include "model/shades.h"

namespace vqled {

// The fill of a lamp whose channel holds value in the frame shown: the
// brightnessShades entry of the value, for every ValueKind alike (a percent
// value of 100 shows shade 6, an on/off cell of 255 shade 15, the fade marks
// 2 and 3 shade 1), as the strip colours its lamps.
Rgb LampColour(int32_t value);

// The fill of a lamp given as its brightnessShades index, as PreviewTick
// hands the strip its frames: LampColour(value) is
// ShadeColour(BrightnessShadeIndex(value)). An index outside the shades
// shows the nearest end.
Rgb ShadeColour(int shade);

}  // namespace vqled
