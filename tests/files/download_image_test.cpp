#include "files/download_image.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "download_fixture.h"
#include "model/model_selection.h"
#include "scratch_dir.h"

namespace vqled {
namespace {

// Each value kind reaches its own encoder; 0 and 2 always encode area 0.
TEST_F(DownloadTest, DispatchPicksTheEncoderOfTheValueKind) {
  Model(1, 0, 8, 100);
  Light(0, 1, 1, 255);  // area 0: one frame
  Light(2, 1, 2, 255);  // area 2: two frames
  store.playSettings[2].endMode = 2;
  struct Case {
    int valueKind;
    Bytes lead;  // the first four bytes
    int size;
    bool canonical;  // sets the frame-count bytes; end mode at offset 23
  };
  const Case cases[] = {
      {VALUE_KIND_BIT, {0x00, 0x00, 0x00, 0x01}, 10 + 2, false},
      {VALUE_KIND_TIMED_BIT, {0x00, 0x08, 0x00, 0x02}, 30 + 2 * 11, false},
      {VALUE_KIND_STEP, {0x00, 0x00, 0x00, 0x00}, 30 + 9, false},
      {VALUE_KIND_BYTE, {0x00, 0x08, 0x00, 0x02}, 30 + 2 * 11, true},
      {VALUE_KIND_GROUP, {0x00, 0x08, 0x00, 0x02}, 31 + 2 * 11, false},
      {VALUE_KIND_PERCENT_MARK, {0x00, 0x08, 0x00, 0x02}, 30 + 2 * 11, true},
  };
  for (const Case& c : cases) {
    profile.valueKind = c.valueKind;
    image->frameCountLow = 0x77;
    ASSERT_TRUE(EncodeDownloadImage(store, profile, controls, 2, *image).ok) << c.valueKind;
    const Bytes got = Image();
    ASSERT_EQ(static_cast<int>(got.size()), c.size) << c.valueKind;
    EXPECT_EQ(Bytes(got.begin(), got.begin() + 4), c.lead) << c.valueKind;
    EXPECT_EQ(image->frameCountLow, c.canonical ? 0x02 : 0x77) << c.valueKind;
    if (c.canonical) {
      EXPECT_EQ(got[23], 2) << c.valueKind;
    }
  }
}

TEST_F(DownloadTest, DispatchGivesEveryAreaOfVQM26TwentyEightChannels) {
  AreaControls shown;
  SelectModel(profile, store, shown, 26);  // area 1 shown: 8 channels
  Light(4, 1, 1, 0x01);
  Light(4, 28, 1, 0x1C);  // a row area 1 does not show
  ASSERT_TRUE(EncodeDownloadImage(store, profile, controls, 4, *image).ok);
  ASSERT_EQ(image->imageLast, 30 + 31 - 1);
  EXPECT_EQ(image->entry[1], 28);
  EXPECT_EQ(image->entry[30 + 3 + 27], 0x1C);
}

TEST_F(DownloadTest, DispatchRefusesWhatItCannotEncode) {
  Model(0, VALUE_KIND_STEP, 4, 1500);
  FillSentinel();
  for (int area : {-1, kAreaCount}) {
    const Outcome outcome = EncodeDownloadImage(store, profile, controls, area, *image);
    EXPECT_FALSE(outcome.ok) << area;
    EXPECT_FALSE(outcome.message.zh.empty() || outcome.message.en.empty());
  }
  profile.valueKind = 5;
  EXPECT_FALSE(EncodeDownloadImage(store, profile, controls, 0, *image).ok);
  ExpectSentinel();
}

// What the command-line tool does: show the area as the form would, then
// encode from the controls that shows.
TEST_F(DownloadTest, ControlsOfTheShownAreaFeedTheCompactHeader) {
  store.playSettings[0] = {LOOP_COUNT, 12, 1, 1};
  store.defaultTime[0][1] = {250, 2};
  store.defaultTime[0][2] = {7, 1};
  AreaControls shown;
  SelectModel(profile, store, shown, 0);  // VQ-M00, area 1 shown
  const DownloadControls fromArea = DownloadControlsFromArea(shown, {});
  EXPECT_FALSE(fromArea.checkBox4);
  ASSERT_TRUE(EncodeStepImage(store, fromArea, *image).ok);
  EXPECT_EQ(Image(), Concat({{0x01, 0x00, 0x0C, 0x00, 0x04, 0x00, 0xFF,  //
                              0x03, 0xE8, 0x01, 0x00, 0xFA, 0x03, 0x00, 0x07, 0x02, 0x01},
                             Bytes(13, 0x00)}));
}

// Runs a test in a fresh directory of its own and returns to where it was.
class DebugImageTest : public DownloadTest {
 protected:
  void SetUp() override {
    DownloadTest::SetUp();
    scratch = std::make_unique<test::ScratchCurrentDir>("debug");
    directory = scratch->path();
  }
  void TearDown() override { scratch.reset(); }
  static Bytes FileBytes(const char* name) {
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  std::unique_ptr<test::ScratchCurrentDir> scratch;
  std::filesystem::path directory;
};

TEST_F(DebugImageTest, TickedDebugBoxWritesExactlyTheImageBytes) {
  Model(1, VALUE_KIND_BIT, 8, 4000);
  Light(0, 2, 1, 3);
  ASSERT_TRUE(EncodeDownloadImage(store, profile, controls, 0, *image).ok);
  EXPECT_FALSE(std::filesystem::exists(kDebugImageFile));  // only with the box ticked

  std::ofstream(kDebugImageFile, std::ios::binary) << std::string(100, 'x');  // truncated
  controls.checkBox4 = true;
  ASSERT_TRUE(EncodeDownloadImage(store, profile, controls, 0, *image).ok);
  EXPECT_EQ(FileBytes(kDebugImageFile),
            (Bytes{0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x03, 0xE8, 0x03, 0x20, 0x02, 0x02}));
}

TEST_F(DebugImageTest, UnwritableDebugFileIsReportedByNameAndReason) {
  std::filesystem::create_directory(kDebugImageFile);  // unwritable even for root
  image->imageLast = 3;
  const Outcome outcome = WriteDebugImage(*image);
  ASSERT_FALSE(outcome.ok);
  const std::string path = (directory / kDebugImageFile).string();
  for (const std::string& text : {outcome.message.zh, outcome.message.en}) {
    EXPECT_NE(text.find(path), std::string::npos) << text;
    EXPECT_NE(text.find("directory"), std::string::npos) << text;
  }
}

}  // namespace
}  // namespace vqled
