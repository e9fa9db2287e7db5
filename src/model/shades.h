// The red brightness shades of byte values, shared by the grid and the preview
// lamps: entry 0 is off, entry 1 any value below 16, otherwise value / 16.
#pragma once

#include <algorithm>
#include <cstdint>

namespace vqled {

struct Rgb {
  uint8_t red;
  uint8_t green;
  uint8_t blue;
  bool operator==(const Rgb&) const = default;
};

constexpr int kBrightnessShadeCount = 17;

// The shade of each entry, white for off to full red.
extern const Rgb brightnessShades[kBrightnessShadeCount];

// The brightnessShades entry of a cell value, kept inside the table for
// values above 271.
constexpr int BrightnessShadeIndex(int value) {
  if (value == 0) return 0;
  if (value < 16) return 1;
  return std::min(value / 16, kBrightnessShadeCount - 1);
}

}  // namespace vqled
