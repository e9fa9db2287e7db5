#include "ui/lamp_colour.h"

#include <algorithm>

namespace vqled {

Rgb LampColour(int32_t value) {
  return ShadeColour(BrightnessShadeIndex(value));
}

Rgb ShadeColour(int shade) {
  return brightnessShades[std::clamp(shade, 0, kBrightnessShadeCount - 1)];
}

}  // namespace vqled
