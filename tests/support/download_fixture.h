// A store, a profile, the form's download controls and an image buffer, set
// up as the form has them after start-up: every area empty with the default
// times 1000, 800, 600, 400 and 200 ms, the controls as the form starts.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <vector>

#include "files/download_image.h"
#include "fresh_store.h"

namespace vqled {

using Bytes = std::vector<uint8_t>;

inline Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

class DownloadTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetToStartupAreas(store); }
  // Selects a model as ApplyModelProfile and LayoutGrid leave it.
  void Model(int modelIndex, int valueKind, int channels, int gridColumns) {
    profile.modelIndex = modelIndex;
    profile.valueKind = valueKind;
    profile.channelsPerController = channels;
    store.gridRowCount = channels + kHeaderRows;
    store.gridColumnCount = gridColumns;
  }
  // Sets channel `channel` (1-based) of frame `frame` (1-based) of an area.
  void Light(int area, int channel, int frame, int32_t value) {
    store.Cell(area, channel + 2, frame + 1) = value;
  }
  std::vector<uint8_t> Image() const { return {image->entry, image->entry + image->imageLast + 1}; }
  // Marks the buffer so that a refused encoding can be seen to leave it alone.
  void FillSentinel() {
    for (int i = 0; i < 64; ++i) image->entry[i] = 0xA5;
    image->imageLast = 63;
  }
  void ExpectSentinel() const {
    EXPECT_EQ(image->imageLast, 63);
    EXPECT_EQ(Image(), std::vector<uint8_t>(64, 0xA5));
  }

  PatternStore store;
  ModelProfile profile;
  DownloadControls controls;
  std::unique_ptr<ImageBuffer> image = std::make_unique<ImageBuffer>();
};

}  // namespace vqled
