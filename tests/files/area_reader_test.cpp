#include "files/area_reader.h"

#include <gtest/gtest.h>

#include <vector>

#include "files/pattern_files.h"
#include "fresh_store.h"

namespace vqled {
namespace {

using Bytes = std::vector<uint8_t>;

// An image of 2 channels and 2 frames, written out from the layout: default
// time 2 has the value 0, end mode 2.
const Bytes kImage = {
    0,    2,    0,    2,                                  // N 2, F 2
    0,    10,   1,    0,    0,    0, 0, 30, 2, 0, 40, 0,  // times 10 s, 0 ms, 30 min, 40 ms
    0x01, 0x2C, 1,                                        // time 5: 300 s
    0,    3,    0x01, 0x02, 2,    9, 0, 0,  0, 0, 0,      // disabled, play once, 258 loops, end 2
    0x11, 0x70, 1,    0xFF, 0x02,                         // column 2: 4464 ms, cells 255, 2
    0x00, 0x03, 0,    0x64, 0x00};                        // column 3: default time 3, cells 100, 0

Bytes Repeat(const Bytes& image, int times) {
  Bytes out;
  for (int i = 0; i < times; ++i) out.insert(out.end(), image.begin(), image.end());
  return out;
}

Bytes Cat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class AreaReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PrepareFreshStore(store, 8);
    for (int a = 0; a < kAreaCount; ++a) {
      store.playSettings[a].endMode = 1;
      store.Cell(a, 5, 2) = 77;  // channel 3: beyond the image's 2 channels
      store.Cell(a, 3, 4) = 55;  // column 4: beyond the image's 2 frames
    }
  }
  PatternStore store;
};

TEST_F(AreaReaderTest, DecodesTimesSettingsAndCells) {
  EXPECT_EQ(DecodeAreaImage(store, kImage.data(), kImage.size(), 4, READER_ALL_AREAS),
            kImage.size());
  const DefaultTime& t1 = store.defaultTime[4][0];
  const DefaultTime& t5 = store.defaultTime[4][4];
  EXPECT_EQ(t1.value, 10);
  EXPECT_EQ(t1.unit, 1);
  EXPECT_EQ(t5.value, 300);
  const PlaySettings& play = store.playSettings[4];
  EXPECT_EQ(play.enabled, 0);
  EXPECT_EQ(play.loopMode, 3);
  EXPECT_EQ(play.loopCount, 258);
  EXPECT_EQ(store.frameTime[4].timeValue[2], 4464);
  EXPECT_EQ(store.frameTime[4].timeType[2], 1);
  EXPECT_EQ(store.frameTime[4].timeValue[3], 3);
  EXPECT_EQ(store.frameTime[4].timeType[3], 0);
  EXPECT_EQ(store.Cell(4, 3, 2), 255);
  EXPECT_EQ(store.Cell(4, 4, 2), 2);
  EXPECT_EQ(store.Cell(4, 3, 3), 100);
  EXPECT_EQ(store.Cell(4, 4, 3), 0);
  EXPECT_EQ(store.Cell(4, 5, 2), 77);  // rows beyond N untouched
  EXPECT_EQ(store.Cell(4, 3, 4), 55);  // columns beyond F + 1 untouched
  EXPECT_EQ(store.scanRowCount, 2);
  EXPECT_EQ(store.lastUsedColumn, 2);
}

// Every cell of an image whose channel and frame counts the decoder's tiles do
// not divide evenly.
TEST_F(AreaReaderTest, WideImageFillsEveryCell) {
  constexpr int n = 40, f = 100;
  Bytes image(30, 0);
  image[1] = n, image[3] = f;
  auto cell = [](int frame, int ch) { return static_cast<uint8_t>(frame * 7 + ch * 13 + 1); };
  for (int i = 0; i < f; ++i) {
    image.insert(image.end(), {0, static_cast<uint8_t>(i), 1});
    for (int ch = 0; ch < n; ++ch) image.push_back(cell(i, ch));
  }
  ASSERT_EQ(DecodeAreaImage(store, image.data(), image.size(), 9, READER_RESUME), image.size());
  for (int i = 0; i < f; ++i) {
    ASSERT_EQ(store.frameTime[9].timeValue[i + 2], i);
    for (int ch = 0; ch < n; ++ch)
      ASSERT_EQ(store.Cell(9, ch + 3, i + 2), cell(i, ch)) << i << "," << ch;
  }
  EXPECT_EQ(store.Cell(9, 3, f + 2), 0);
  EXPECT_EQ(store.Cell(9, n + 3, 2), 0);
}

TEST_F(AreaReaderTest, ReadersDifferInZeroTimesAndEndMode) {
  struct Case {
    AreaReader reader;
    int32_t time2;
    int32_t endMode;
  } cases[] = {{READER_ALL_AREAS, 1000, 1}, {READER_SINGLE_AREA, 0, 1}, {READER_RESUME, 500, 2}};
  for (const Case& c : cases) {
    DecodeAreaImage(store, kImage.data(), kImage.size(), 0, c.reader);
    EXPECT_EQ(store.defaultTime[0][1].value, c.time2) << c.reader;
    EXPECT_EQ(store.playSettings[0].endMode, c.endMode) << c.reader;
  }
  Bytes zeros = kImage;
  for (int k = 0; k < 5; ++k) zeros[4 + 3 * k] = zeros[5 + 3 * k] = 0;
  DecodeAreaImage(store, zeros.data(), zeros.size(), 0, READER_RESUME);
  const int32_t resume[] = {100, 500, 1000, 2000, 2500};
  for (int k = 0; k < 5; ++k) EXPECT_EQ(store.defaultTime[0][k].value, resume[k]);
  DecodeAreaImage(store, zeros.data(), zeros.size(), 0, READER_ALL_AREAS);
  const int32_t import[] = {100, 1000, 1500, 2000, 2500};
  for (int k = 0; k < 5; ++k) EXPECT_EQ(store.defaultTime[0][k].value, import[k]);
}

TEST_F(AreaReaderTest, AllAreaFileFillsAreasInOrderAndIgnoresTrailingBytes) {
  Bytes file = Repeat(kImage, 20);
  file[(kImage.size()) * 19 + 30 + 3] = 0x42;  // area 19, channel 1 of column 2
  file.push_back(0xEE);
  ASSERT_TRUE(ReadAllAreaImages(store, file.data(), file.size(), READER_RESUME, "t").ok);
  EXPECT_EQ(store.Cell(0, 3, 2), 255);
  EXPECT_EQ(store.Cell(19, 3, 2), 0x42);
  EXPECT_EQ(store.playSettings[19].endMode, 2);
}

TEST_F(AreaReaderTest, SingleAreaFileClearsTheCurrentAreaAndSkipsTwoBytes) {
  store.currentArea = 6;
  store.Cell(6, 300, 9) = 1;  // inside the cleared rows 0..335
  store.Cell(6, 400, 9) = 1;  // beyond them
  Bytes file = {28, 3};
  file.insert(file.end(), kImage.begin(), kImage.end());
  ASSERT_TRUE(ReadSingleAreaFile(store, file.data(), file.size(), "a.led").ok);
  EXPECT_EQ(store.Cell(6, 300, 9), 0);
  EXPECT_EQ(store.Cell(6, 400, 9), 1);
  EXPECT_EQ(store.Cell(6, 5, 2), 0);  // cleared, not decoded
  EXPECT_EQ(store.Cell(6, 3, 2), 255);
  EXPECT_EQ(store.defaultTime[6][1].value, 0);
  EXPECT_EQ(store.Cell(5, 5, 2), 77);  // other areas untouched
}

// Every refusal leaves every area exactly as it was and names the file.
TEST_F(AreaReaderTest, BadFilesAreRefusedWithoutChangingAnyArea) {
  Bytes wide = kImage;
  wide[0] = 0x03, wide[1] = 0xFE;  // N 1022
  Bytes tall = kImage;
  tall[2] = 0x0F, tall[3] = 0xA9;  // F 4009
  const Bytes nineteen = Repeat(kImage, 19);
  struct Case {
    Bytes file;
    const char* reason;
  } cases[] = {
      {{}, "header of area 1 is cut short (0 of 30 bytes)"},
      {Cat(nineteen, Bytes(kImage.begin(), kImage.begin() + 29)),
       "header of area 20 is cut short (29 of 30 bytes)"},
      {Cat(nineteen, Bytes(kImage.begin(), kImage.end() - 1)),
       "area 20 announces 40 bytes but only 39 remain"},
      {nineteen, "header of area 20 is cut short (0 of 30 bytes)"},
      {Cat(wide, nineteen), "area 1 has 1022 channels"},
      {Cat(Repeat(kImage, 3), Cat(tall, Repeat(kImage, 16))), "area 4 has 4009 frames"},
  };
  for (const Case& c : cases) {
    const Outcome outcome =
        ReadAllAreaImages(store, c.file.data(), c.file.size(), READER_RESUME, "/x/p.Aled");
    EXPECT_FALSE(outcome.ok) << c.reason;
    EXPECT_NE(outcome.message.en.find("The file /x/p.Aled cannot be read: "), std::string::npos);
    EXPECT_NE(outcome.message.en.find(c.reason), std::string::npos) << outcome.message.en;
    EXPECT_NE(outcome.message.zh.find("/x/p.Aled"), std::string::npos);
  }
  for (int a = 0; a < kAreaCount; ++a) {
    ASSERT_EQ(store.Cell(a, 3, 2), 0) << a;
    ASSERT_EQ(store.defaultTime[a][1].value, 800) << a;
    ASSERT_EQ(store.playSettings[a].endMode, 1) << a;
  }
  for (const Bytes& bad : {Bytes{}, Bytes{1, 0}, Bytes{0, 0, 3, 254}}) {
    store.currentArea = 2;
    EXPECT_FALSE(ReadSingleAreaFile(store, bad.data(), bad.size(), "a.led").ok);
    EXPECT_EQ(store.Cell(2, 5, 2), 77);  // not even cleared
  }
}

}  // namespace
}  // namespace vqled
