// vqled-cli render on pattern files: the animated GIF and the PNG strip of an
// area read back with giflib and libpng, and what it refuses.
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "cli_run.h"
#include "files/pattern_files.h"
#include "model/model_catalogue.h"
#include "model/model_selection.h"
#include "ui/lamp_colour.h"

namespace vqled {
namespace {

constexpr int kModelVQM14 = 14;  // 360 byte channels, areas 0 and 1

class RenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() /
          ("vqled-render-" + std::to_string(getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
    file = (dir / "show.Aled").string();
  }
  void TearDown() override { std::filesystem::remove_all(dir); }

  // A VQ-M14 file whose area 1 has three frames of 333, 333 and 334 ms,
  // loops three times and lights channel 300 with 128 in frame 2.
  void WriteShow() const {
    auto store = std::make_unique<PatternStore>();
    ModelProfile profile;
    AreaControls controls;
    SelectModel(profile, *store, controls, kModelVQM14);
    for (int area = 0; area < kAreaCount; ++area) ResetArea(*store, area);
    const int ms[] = {333, 333, 334};
    for (int f = 0; f < 3; ++f) {
      store->frameTime[1].timeType[f + 2] = FRAME_TIME_MS;
      store->frameTime[1].timeValue[f + 2] = ms[f];
      store->Cell(1, kHeaderRows, f + 2) = 1;  // channel 1 dimly lit throughout
    }
    store->Cell(1, 299 + kHeaderRows, 3) = 128;
    store->playSettings[1].loopMode = LOOP_COUNT;
    store->playSettings[1].loopCount = 3;
    HeaderControls header;
    header.comboBox6Index = kModelVQM14;
    header.radioButton6 = true;
    auto image = std::make_unique<ImageBuffer>();
    const EncodeContext context{profile, header, *image};
    ASSERT_TRUE(SaveAllAreas(*store, context, file, nullptr).ok);
  }

  std::filesystem::path dir;
  std::string file;
};

struct GifCloser {
  void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};

TEST_F(RenderTest, GifHasEachFrameForItsTimeInThePreviewsColours) {
  WriteShow();
  const std::string out = (dir / "show.gif").string();
  const CliRun run =
      RunCli({"render", file, "--model", "VQ-M14", "--area", "1", "--gif", out, "--scale", "1"});
  ASSERT_EQ(run.status, 0) << run.err;
  int error = 0;
  std::unique_ptr<GifFileType, GifCloser> gif(DGifOpenFileName(out.c_str(), &error));
  ASSERT_TRUE(gif) << GifErrorString(error);
  ASSERT_EQ(DGifSlurp(gif.get()), GIF_OK);
  EXPECT_EQ(gif->SWidth, 360);   // 36 lamps of 10 pixels
  EXPECT_EQ(gif->SHeight, 100);  // 10 rows
  ASSERT_EQ(gif->ImageCount, 3);
  const int delays[] = {33, 34, 33};  // 333, 666, 1000 ms rounded to 10 ms
  int sum = 0;
  for (int i = 0; i < 3; ++i) {
    GraphicsControlBlock control;
    ASSERT_EQ(DGifSavedExtensionToGCB(gif.get(), i, &control), GIF_OK);
    EXPECT_EQ(control.DelayTime, delays[i]) << i;
    sum += control.DelayTime;
  }
  EXPECT_EQ(sum * 10, 1000);
  // Lamp 299 (row 8, column 11) starts at (111, 81).
  const auto pixel = [&](int image, int x, int y) {
    const GifColorType& c =
        gif->SColorMap->Colors[gif->SavedImages[image].RasterBits[y * gif->SWidth + x]];
    return Rgb{c.Red, c.Green, c.Blue};
  };
  EXPECT_EQ(pixel(1, 111, 81), LampColour(128));
  EXPECT_EQ(pixel(1, 111, 81), (Rgb{255, 122, 122}));
  EXPECT_EQ(pixel(0, 111, 81), (Rgb{255, 255, 255}));
  EXPECT_EQ(pixel(2, 1, 1), (Rgb{255, 239, 239}));
}

TEST_F(RenderTest, PngStripHoldsAllFrames) {
  WriteShow();
  const std::string out = (dir / "strip.png").string();
  const CliRun run = RunCli(
      {"render", file, "--model", "VQ-M14", "--area", "1", "--png-strip", out, "--scale", "2"});
  ASSERT_EQ(run.status, 0) << run.err;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, out.c_str())) << image.message;
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr));
  EXPECT_EQ(image.width, 720u);
  EXPECT_EQ(image.height, 3u * 200 + 2 * 10);
  const uint8_t* lamp = &pixels[((162 + 210) * 720 + 222) * 3];  // lamp 299 in frame 2
  EXPECT_EQ((Rgb{lamp[0], lamp[1], lamp[2]}), (Rgb{255, 122, 122}));
}

// Bad arguments and files are refused with the reason and nothing written.
TEST_F(RenderTest, RefusalsNameTheReasonAndWriteNothing) {
  WriteShow();
  const std::string out = (dir / "out.gif").string();
  const std::string truncated = (dir / "cut.Aled").string();
  {
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::ofstream(truncated, std::ios::binary) << bytes.substr(0, 40);
  }
  const std::string missing = (dir / "none.Aled").string();
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string message;
  } const cases[] = {
      {{file, "--model", "VQ-M14", "--area", "1"}, 2, "give one of --gif OUT and --png-strip OUT"},
      {{file, "--model", "VQ-M14", "--area", "1", "--gif", out, "--png-strip", out},
       2,
       "give one of --gif OUT and --png-strip OUT"},
      {{file, "--model", "VQ-M14", "--area", "1", "--gif"}, 2, "--gif: 1 required OUT missing"},
      {{file, "--model", "VQ-M14", "--area", "1", "--gif", out, "--scale", "9"},
       2,
       "--scale: Value 9 not in range 1 to 8"},
      {{file, "--model", "VQ-M14", "--area", "1", "--gif", out, "--scale", "x"},
       2,
       "--scale: Value x not in range 1 to 8"},
      {{file, "--area", "1", "--gif", out}, 2, "--model is required"},
      {{file, "--model", "VQ-M14", "--gif", out}, 2, "--area is required"},
      {{file, "--model", "VQ-M14", "--area", "2", "--gif", out},
       2,
       "the model has no area 2 (areas 0..1)"},
      {{file, "--model", "VQ-M14", "--area", "0", "--gif", out},
       2,
       file + ": area 0 has no frames to picture"},
      {{truncated, "--model", "VQ-M14", "--area", "1", "--gif", out}, 2, truncated},
      {{missing, "--model", "VQ-M14", "--area", "1", "--gif", out}, 1, missing},
      {{file, "--model", "VQ-M14", "--area", "1", "--gif", (dir / "no" / "x.gif").string()},
       1,
       (dir / "no" / "x.gif").string()},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args{"render"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CliRun run = RunCli(args);
    EXPECT_EQ(run.status, c.status) << c.message << "\n" << run.err;
    EXPECT_TRUE(Contains(run.err, c.message)) << c.message << "\n" << run.err;
  }
  EXPECT_FALSE(std::filesystem::exists(out));
}

}  // namespace
}  // namespace vqled
