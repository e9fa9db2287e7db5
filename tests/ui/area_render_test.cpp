#include "ui/area_render.h"

#include <gif_lib.h>
#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <memory>

#include "ui/lamp_colour.h"

namespace vqled {
namespace {

struct GifReader {
  const std::vector<uint8_t>* bytes;
  size_t at = 0;
};

int ReadGifBytes(GifFileType* gif, GifByteType* out, int length) {
  auto* reader = static_cast<GifReader*>(gif->UserData);
  const size_t n = std::min<size_t>(length, reader->bytes->size() - reader->at);
  std::memcpy(out, reader->bytes->data() + reader->at, n);
  reader->at += n;
  return static_cast<int>(n);
}

struct GifDeleter {
  void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};
using Gif = std::unique_ptr<GifFileType, GifDeleter>;

// The whole GIF read back with giflib; null when giflib refuses it.
Gif ReadGif(const std::vector<uint8_t>& bytes) {
  GifReader reader{&bytes};
  int error = 0;
  Gif gif(DGifOpen(&reader, ReadGifBytes, &error));
  if (!gif || DGifSlurp(gif.get()) != GIF_OK) return nullptr;
  return gif;
}

int DelayOf(GifFileType* gif, int image) {
  GraphicsControlBlock control;
  if (DGifSavedExtensionToGCB(gif, image, &control) != GIF_OK) return -1;
  return control.DelayTime;
}

Rgb GifPixel(GifFileType* gif, int image, int x, int y) {
  const GifByteType entry = gif->SavedImages[image].RasterBits[y * gif->SWidth + x];
  const GifColorType& c = gif->SColorMap->Colors[entry];
  return {c.Red, c.Green, c.Blue};
}

// The repeat count of the NETSCAPE2.0 block, -1 without one.
int RepeatsOf(GifFileType* gif) {
  const SavedImage& first = gif->SavedImages[0];
  for (int i = 0; i + 1 < first.ExtensionBlockCount; ++i) {
    const ExtensionBlock& block = first.ExtensionBlocks[i];
    if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
        std::memcmp(block.Bytes, "NETSCAPE2.0", 11) == 0) {
      const GifByteType* loop = first.ExtensionBlocks[i + 1].Bytes;
      return loop[1] | loop[2] << 8;
    }
  }
  return -1;
}

// Area 2 with 40 channels (two rows of lamps) and four frames of 125 ms, then
// one of default time 3 = 2 s: 2.5 s in all, none of it whole 10 ms steps
// frame by frame.
class AreaRenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetArea(*store, 2);
    store->defaultTime[2][2] = {2, TIME_UNIT_S};
    for (int column = 2; column <= 5; ++column) {
      store->frameTime[2].timeType[column] = FRAME_TIME_MS;
      store->frameTime[2].timeValue[column] = 125;
    }
    store->frameTime[2].timeValue[6] = 3;
    store->Cell(2, 37 + kHeaderRows, 3) = 200;  // lamp 37 (channel 38) in frame 2
    store->Cell(2, 0 + kHeaderRows, 6) = 5;     // lamp 0 in frame 5
    store->Cell(2, 40 + kHeaderRows, 3) = 255;  // channel 41: no lamp
  }
  std::unique_ptr<PatternStore> store = std::make_unique<PatternStore>();
  AreaPicture picture{2, 40, 5, 1, 2};
};

TEST_F(AreaRenderTest, GifHasAFramePerFrameWithCarriedDelaysAndLampColours) {
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(RenderAreaGif(*store, picture, bytes).ok);
  Gif gif = ReadGif(bytes);
  ASSERT_TRUE(gif);
  EXPECT_EQ(gif->SWidth, 720);  // 36 lamps of 20 pixels
  EXPECT_EQ(gif->SHeight, 40);  // two rows
  ASSERT_EQ(gif->ImageCount, 5);
  const int delays[] = {13, 12, 13, 12, 200};
  int sum = 0;
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(DelayOf(gif.get(), i), delays[i]) << i;
    sum += DelayOf(gif.get(), i);
  }
  EXPECT_EQ(sum * 10, 2500);
  EXPECT_EQ(RepeatsOf(gif.get()), -1);  // plays once
  // Lamp 37's square starts at (22, 22), 16 pixels wide.
  const Rgb shade12{255, 50, 50};
  EXPECT_EQ(LampColour(200), shade12);
  EXPECT_EQ(GifPixel(gif.get(), 1, 22, 22), shade12);
  EXPECT_EQ(GifPixel(gif.get(), 1, 37, 37), shade12);
  EXPECT_EQ(GifPixel(gif.get(), 0, 22, 22), (Rgb{255, 255, 255}));  // unlit
  EXPECT_EQ(GifPixel(gif.get(), 1, 21, 22), kRenderBackground);
  EXPECT_EQ(GifPixel(gif.get(), 1, 38, 22), kRenderBackground);
  EXPECT_EQ(GifPixel(gif.get(), 4, 2, 2), (Rgb{255, 239, 239}));  // a value below 16
}

TEST_F(AreaRenderTest, GifRepeatsAsTheAreaPlays) {
  struct Case {
    int plays, repeats;
  } const cases[] = {{kEndlessPlays, 0}, {3, 2}, {70000, 0xFFFF}};
  for (const Case& c : cases) {
    picture.plays = c.plays;
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(RenderAreaGif(*store, picture, bytes).ok);
    Gif gif = ReadGif(bytes);
    ASSERT_TRUE(gif);
    EXPECT_EQ(RepeatsOf(gif.get()), c.repeats) << c.plays;
  }
}

TEST_F(AreaRenderTest, GifDelaysAddUpToTheDurationWithinTenMs) {
  auto timeline = std::make_unique<PreviewTimeline>();
  int64_t end = 0;
  for (int f = 0; f < 1000; ++f) timeline->endMs[f] = end += 1 + f * 7 % 23;
  timeline->frameCount = 1000;
  int64_t sum = 0;
  for (int f = 0; f < 1000; ++f) sum += GifDelayCs(*timeline, f);
  EXPECT_LE(std::abs(sum * 10 - timeline->DurationMs()), 5);
}

TEST_F(AreaRenderTest, RefusedPicturesLeaveNothing) {
  std::vector<uint8_t> bytes{1, 2, 3};
  store->frameTime[2].timeType[4] = FRAME_TIME_MIN;
  store->frameTime[2].timeValue[4] = 11;  // 660 s: more than a GIF delay holds
  Outcome made = RenderAreaGif(*store, picture, bytes);
  EXPECT_FALSE(made.ok);
  EXPECT_EQ(made.message.en,
            "frame 3 of area 2 lasts 660000 ms, longer than a GIF frame can "
            "(655350 ms)");
  EXPECT_FALSE(made.message.zh.empty());
  EXPECT_TRUE(bytes.empty());
  store->frameTime[2].timeValue[4] = 10;  // 600 s fits
  EXPECT_TRUE(RenderAreaGif(*store, picture, bytes).ok);
  picture.frameCount = 0;
  bytes = {1};
  made = RenderAreaGif(*store, picture, bytes);
  EXPECT_EQ(made.message.en, "area 2 has no frames to picture");
  EXPECT_TRUE(bytes.empty());
  bytes = {1};
  EXPECT_FALSE(RenderAreaPngStrip(*store, picture, bytes).ok);
  EXPECT_TRUE(bytes.empty());
}

TEST_F(AreaRenderTest, PngStripShowsAllFramesTopToBottom) {
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(RenderAreaPngStrip(*store, picture, bytes).ok);
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()));
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr));
  EXPECT_EQ(image.width, 720u);
  EXPECT_EQ(image.height, 240u);  // five frames of 40 rows, 10 rows between them
  auto at = [&](int x, int y) {
    const uint8_t* p = &pixels[(static_cast<size_t>(y) * image.width + x) * 3];
    return Rgb{p[0], p[1], p[2]};
  };
  EXPECT_EQ(at(22, 22 + 50), (Rgb{255, 50, 50}));  // lamp 37 in frame 2
  EXPECT_EQ(at(22, 22), (Rgb{255, 255, 255}));
  EXPECT_EQ(at(2, 2 + 200), (Rgb{255, 239, 239}));  // lamp 0 in frame 5
  EXPECT_EQ(at(2, 45), kRenderBackground);          // between frames 1 and 2
  EXPECT_EQ(at(0, 0), kRenderBackground);
}

TEST(LampLayoutTest, ChannelsWrapIntoRowsOfThirtySix) {
  struct Case {
    int channels, scale, columns, rows, width, height;
  } const cases[] = {{8, 1, 8, 1, 80, 10},           {36, 2, 36, 1, 720, 20},
                     {37, 1, 36, 2, 360, 20},        {1021, 1, 36, 29, 360, 290},
                     {5000, 99, 36, 29, 2880, 2320}, {0, 0, 1, 1, 10, 10}};
  for (const Case& c : cases) {
    const LampLayout layout = LayoutLamps(c.channels, c.scale);
    EXPECT_EQ(layout.columns, c.columns) << c.channels;
    EXPECT_EQ(layout.rows, c.rows) << c.channels;
    EXPECT_EQ(layout.width, c.width) << c.channels;
    EXPECT_EQ(layout.height, c.height) << c.channels;
  }
}

TEST(LampColourTest, StripShadesForEveryValue) {
  struct Case {
    int32_t value;
    Rgb colour;
  } const cases[] = {{0, {255, 255, 255}},  {2, {255, 239, 239}},   {15, {255, 239, 239}},
                     {16, {255, 239, 239}}, {100, {255, 153, 153}}, {200, {255, 50, 50}},
                     {255, {255, 0, 0}},    {100000, {255, 0, 0}},  {-7, {255, 239, 239}}};
  for (const Case& c : cases) EXPECT_EQ(LampColour(c.value), c.colour) << c.value;
}

}  // namespace
}  // namespace vqled
