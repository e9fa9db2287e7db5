#include "ui/lamp_colour.h"

namespace vqled {

Rgb LampColour(int32_t value) {
  return brightnessShades[BrightnessShadeIndex(value)];
}

}  // namespace vqled
