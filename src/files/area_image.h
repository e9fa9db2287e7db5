// The byte image of one area, in the single image buffer that every encoder
// fills from index 0 and that the file writers and the download read.
#pragma once

#include <cstdint>

#include "model/model_profile.h"
#include "model/pattern_store.h"
#include "model/text.h"

namespace vqled {

constexpr int kImageCapacity = 9999900;

// The image buffer: one entry per image byte (already cut to its low 8 bits),
// meaningful up to imageLast. The frame-count bytes are those of the canonical
// image built last; the long command frames carry them.
struct ImageBuffer {
  uint8_t entry[kImageCapacity];
  int imageLast = -1;
  uint8_t frameCountHigh = 0;
  uint8_t frameCountLow = 0;
};

// The controls the canonical header's controller-type byte reads, as the
// form shows them at the moment of encoding.
struct HeaderControls {
  bool comboBox13Visible = false;  // the end list of the models that have one
  int comboBox6Index = -1;         // the selected model
  bool radioButton5 = false;       // "车灯控制器"
  bool radioButton6 = false;       // "普通控制器"
};

// The channel rows the last ComputeAreaLength scanned: the channels an image
// of the grid as shown carries.
inline int ScannedChannels(const PatternStore& store) {
  return store.scanRowCount > kHeaderRows ? store.scanRowCount - kHeaderRows : 0;
}

// Builds the canonical image of an area into the buffer (runs
// ComputeAreaLength first). Refuses, writing nothing past the buffer, an image
// that would not fit it.
Outcome EncodeAreaImage(PatternStore& store, const ModelProfile& profile,
                        const HeaderControls& controls, int area, ImageBuffer& image);

}  // namespace vqled
