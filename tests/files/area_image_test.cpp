#include "files/area_image.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "fresh_store.h"
#include "model/model_selection.h"

namespace vqled {
namespace {

// Encodes areas of a fresh store whose grid shows 8 channels (Show changes it).
class AreaImageTest : public ::testing::Test {
 protected:
  void SetUp() override { PrepareFreshStore(store, 8); }
  void Show(int channels) { store.gridRowCount = channels + kHeaderRows; }
  std::vector<uint8_t> Encode(int area) {
    const Outcome outcome = EncodeAreaImage(store, profile, controls, area, *image);
    EXPECT_TRUE(outcome.ok) << outcome.message.en;
    return {image->entry, image->entry + image->imageLast + 1};
  }

  PatternStore store;
  ModelProfile profile;
  HeaderControls controls;
  std::unique_ptr<ImageBuffer> image = std::make_unique<ImageBuffer>();
};

// Header of an area in the empty state with the start-up default times.
std::vector<uint8_t> FreshHeader(uint8_t channels, uint8_t frames) {
  return {0,    channels, 0, frames,            // N, F
          0x03, 0xE8,     0, 0x03,   0x20, 0,   // 1000 ms, 800 ms
          0x02, 0x58,     0, 0x01,   0x90, 0,   // 600 ms, 400 ms
          0x00, 0xC8,     0,                    // 200 ms
          1,    1,        0, 0,      0,         // enabled, loop for ever, count 0, end 0
          0,    0,        0, 0,      0,    0};  // controller type, five zeros
}

TEST_F(AreaImageTest, EmptyAreaIsTheThirtyByteHeader) {
  EXPECT_EQ(Encode(0), FreshHeader(8, 0));
  EXPECT_EQ(image->frameCountHigh, 0);
  EXPECT_EQ(image->frameCountLow, 0);
}

TEST_F(AreaImageTest, LitCellInColumnOneGivesNoFrames) {
  store.Cell(0, 3, 1) = 255;
  EXPECT_EQ(Encode(0), FreshHeader(8, 0));
}

TEST_F(AreaImageTest, FramesCarryTimesAndOneByteCellsModulo256) {
  Show(2);
  PlaySettings& play = store.playSettings[3];
  play = {2, 0x1234, 0, 7};
  store.defaultTime[3][4] = {70000, 2};
  store.frameTime[3].timeValue[2] = 70000;
  store.frameTime[3].timeType[2] = 1;
  store.Cell(3, 3, 2) = 256;
  store.Cell(3, 4, 2) = 0x1FF;
  store.Cell(3, 4, 3) = 100;
  store.Cell(3, 5, 3) = 9;  // the row below the last channel lengthens but is not encoded
  const std::vector<uint8_t> expected = {
      0,    2,    0,    2,  // N 2, F 2 (last used column 3)
      0x03, 0xE8, 0,    0x03, 0x20, 0,    0x02, 0x58,
      0,    0x01, 0x90, 0,    0x11, 0x70, 2,  // 70000 % 65536, min
      0,    2,    0x12, 0x34, 7,    0,    0,    0,
      0,    0,    0,    0x11, 0x70, 1,    0x00, 0xFF,  // frame 0: 70000 ms, cells 256, 511
      0x00, 0x01, 0,    0x00, 100};                    // frame 1: default time 1
  EXPECT_EQ(Encode(3), expected);
  EXPECT_EQ(image->frameCountLow, 2);
}

TEST_F(AreaImageTest, ControllerTypeByte) {
  struct Case {
    HeaderControls controls;
    uint8_t expected;
  } cases[] = {
      {{false, 5, false, false}, 0}, {{false, 5, true, false}, 1},   {{false, 5, false, true}, 2},
      {{true, 21, true, false}, 21}, {{true, -1, false, true}, 255},
  };
  for (const Case& c : cases) {
    controls = c.controls;
    EXPECT_EQ(Encode(0)[24], c.expected);
  }
}

TEST_F(AreaImageTest, UniformChannelsModelAlwaysCarries28Channels) {
  profile.areaMode = AREA_MODE_CHANNELS;
  Show(8);
  store.Cell(1, 3, 2) = 1;   // the shown rows give the length
  store.Cell(1, 30, 2) = 5;  // channel 28
  store.Cell(1, 31, 2) = 6;  // channel 29: not carried
  const std::vector<uint8_t> bytes = Encode(1);
  ASSERT_EQ(bytes.size(), 30u + 31u);
  EXPECT_EQ(bytes[1], 28);
  EXPECT_EQ(bytes[30 + 3 + 27], 5);
}

TEST_F(AreaImageTest, UniformChannelsModelMeasuresAllOf28Channels) {
  profile.areaMode = AREA_MODE_CHANNELS;
  Show(8);                   // an area of 8 channels is shown
  store.Cell(8, 22, 3) = 7;  // channel 20 of another area, frame 2, nothing else lit
  const std::vector<uint8_t> bytes = Encode(8);
  ASSERT_EQ(bytes.size(), 30u + 2u * 31u);
  EXPECT_EQ(bytes[3], 2);
  EXPECT_EQ(bytes[30 + 31 + 3 + 19], 7);
}

TEST_F(AreaImageTest, GridModelGivesEachAreaItsOwnChannelCount) {
  profile.areaMode = AREA_MODE_GRID;
  for (int a = 0; a < kAreaCount; ++a) profile.areaChannels[a] = a < 10 ? 6 : 90;
  Show(6);                     // an area of 6 channels is shown
  store.Cell(12, 92, 2) = 77;  // channel 90 of area 12
  const std::vector<uint8_t> bytes = Encode(12);
  ASSERT_EQ(bytes.size(), 30u + 93u);
  EXPECT_EQ(bytes[1], 90);
  EXPECT_EQ(bytes[30 + 3 + 89], 77);
  EXPECT_EQ(Encode(2)[1], 6);
}

// Every channel byte of every record, over column blocks and row tiles whose
// sizes the area does not divide evenly; cell values above 255 and negative
// ones keep their low 8 bits.
TEST_F(AreaImageTest, WideAreaMatchesEveryCellAcrossTiles) {
  Show(300);
  auto value = [](int r, int c) { return (r * 131 + c * 7) % 700 - 200; };
  for (int r = 3; r < 303; ++r)
    for (int c = 2; c <= 4001; ++c) store.Cell(0, r, c) = value(r, c);
  store.Cell(0, 3, 4001) = 1;
  const std::vector<uint8_t> bytes = Encode(0);
  ASSERT_EQ(bytes.size(), 30u + 4000u * 303u);
  EXPECT_EQ(bytes[2], 4000 >> 8);
  EXPECT_EQ(bytes[3], 4000 & 0xFF);
  for (int c = 2; c <= 4001; ++c) {
    const size_t at = 30 + static_cast<size_t>(c - 2) * 303;
    ASSERT_EQ(bytes[at + 1], 1) << c;
    for (int r = 3; r < 303; ++r) {
      ASSERT_EQ(bytes[at + r], static_cast<uint8_t>(store.Cell(0, r, c))) << r << "," << c;
    }
  }
}

TEST_F(AreaImageTest, ImageLargerThanTheBufferIsRefusedUntouched) {
  Show(3068);  // 30 + 4000 * 3071 bytes would not fit
  store.Cell(0, 3, 4001) = 1;
  image->entry[0] = 0xAB;
  image->imageLast = 41;
  const Outcome outcome = EncodeAreaImage(store, profile, controls, 0, *image);
  EXPECT_FALSE(outcome.ok);
  EXPECT_NE(outcome.message.en.find("area 1"), std::string::npos);
  EXPECT_FALSE(outcome.message.zh.empty());
  EXPECT_EQ(image->entry[0], 0xAB);
  EXPECT_EQ(image->imageLast, 41);
}

TEST_F(AreaImageTest, ChannelsBeyondTheAreaRowsAreZero) {
  Show(1100);
  store.Cell(0, 3, 3) = 4;
  const std::vector<uint8_t> bytes = Encode(0);
  ASSERT_EQ(bytes.size(), 30u + 2u * 1103u);
  EXPECT_EQ(bytes[0] * 256 + bytes[1], 1100);
  for (size_t i = 30 + 3 + 1021; i < 30 + 1103; ++i) ASSERT_EQ(bytes[i], 0);
}

}  // namespace
}  // namespace vqled

namespace vqled {
namespace {

// The catalogue's VQ-M28 and VQ-M26 selected as the window selects them, with
// the first area shown.
class SelectedModelImageTest : public ::testing::Test {
 protected:
  std::vector<uint8_t> EncodeWithModel(int model, int area) {
    PrepareFreshStore(store, 8);
    SelectModel(profile, store, controls, model);
    store.Cell(area, 3, 2) = 1;
    store.Cell(area, 3 + 89, 3) = 9;  // channel 90, frame 2
    const Outcome outcome = EncodeAreaImage(store, profile, header, area, *image);
    EXPECT_TRUE(outcome.ok);
    return {image->entry, image->entry + image->imageLast + 1};
  }
  PatternStore store;
  ModelProfile profile;
  AreaControls controls;
  HeaderControls header;
  std::unique_ptr<ImageBuffer> image = std::make_unique<ImageBuffer>();
};

TEST_F(SelectedModelImageTest, EveryVQM28AreaCarriesItsOwnChannels) {
  const std::vector<uint8_t> colour = EncodeWithModel(28, 12);  // a 90-channel area, 6 shown
  EXPECT_EQ(store.currentArea, 0);
  ASSERT_EQ(colour.size(), 30u + 2u * 93u);
  EXPECT_EQ(colour[1], 90);
  EXPECT_EQ(colour[30 + 93 + 3 + 89], 9);
  EXPECT_EQ(EncodeWithModel(28, 4)[1], 6);
}

TEST_F(SelectedModelImageTest, VQM26AreasCarry28Channels) {
  const std::vector<uint8_t> bytes = EncodeWithModel(26, 12);
  EXPECT_EQ(bytes[1], 28);
  EXPECT_EQ(bytes.size(), 30u + 31u);  // channel 90 is neither carried nor measured
}

}  // namespace
}  // namespace vqled
