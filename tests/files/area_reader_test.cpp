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

// Read whole or not at all (the command line's rule): every refusal leaves
// every area exactly as it was and names the file.
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
      {Cat(wide, nineteen), "area 1 announces 2080 bytes but only 800 remain"},  // cut first
      {Cat(Repeat(kImage, 3), Cat(tall, Repeat(kImage, 16))), "area 4 has 4009 frames"},
  };
  for (const Case& c : cases) {
    const Outcome outcome = ReadAllAreaImages(store, c.file.data(), c.file.size(), READER_RESUME,
                                              "/x/p.Aled", READ_WHOLE_FILE_ONLY);
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

// The leading whole areas of a cut or damaged file are read; the areas from
// the first that is not whole on keep their content, and the message names
// both. A file whose first image is not whole is refused.
TEST_F(AreaReaderTest, LeadingWholeAreasAreReadAndTheRestNamed) {
  const Bytes tall = {0, 2, 0x0F, 0xA9};  // N 2, F 4009: more frames than an area has
  struct Case {
    Bytes file;
    int read;
    const char* en;
  } cases[] = {
      {Cat(Repeat(kImage, 19), Bytes(kImage.begin(), kImage.end() - 3)), 19,
       "areas 1 to 19 were read; area 20 was not (area 20 announces 40 bytes but only 37 "
       "remain) and kept its content"},
      {Repeat(kImage, 1), 1,
       "area 1 was read; areas 2 to 20 were not (the header of area 2 is cut short (0 of 30 "
       "bytes)) and kept their content"},
      {Cat(Repeat(kImage, 3), Cat(tall, Bytes(26, 0))), 3,
       "areas 1 to 3 were read; areas 4 to 20 were not (area 4 has 4009 frames, more than the "
       "4008 an area holds) and kept their content"},
  };
  for (const Case& c : cases) {
    PrepareFreshStore(store, 8);
    const Outcome outcome =
        ReadAllAreaImages(store, c.file.data(), c.file.size(), READER_ALL_AREAS, "/x/p.Aled");
    EXPECT_TRUE(outcome.ok);
    EXPECT_EQ(outcome.message.en, "The file /x/p.Aled was read only in part: " + std::string(c.en));
    EXPECT_EQ(outcome.message.zh.rfind("文件 /x/p.Aled 只读入了一部分：", 0), 0u)
        << outcome.message.zh;
    for (int a = 0; a < kAreaCount; ++a) {
      EXPECT_EQ(store.Cell(a, 3, 2), a < c.read ? 255 : 0) << a;
      EXPECT_EQ(store.defaultTime[a][0].value, a < c.read ? 10 : 1000) << a;
    }
  }
  const Bytes cut(kImage.begin(), kImage.end() - 1);
  EXPECT_FALSE(ReadAllAreaImages(store, cut.data(), cut.size(), READER_RESUME, "t").ok);
}

// VQ-M15 files of other tools carry more channels than an area has: the
// first 1021 of each record are read, the rest skipped (the next image starts
// after the whole record), and the message names the channels left out.
TEST_F(AreaReaderTest, WideImageGivesItsFirst1021Channels) {
  Bytes wide = {0x03, 0xFF, 0, 2};  // N 1023, F 2
  wide.resize(30, 0);
  for (int frame = 0; frame < 2; ++frame) {
    wide.insert(wide.end(), {0, 50, 0});  // 50 ms
    Bytes cells(1023, 0);
    cells[0] = 0x11 + frame;     // channel 1
    cells[1020] = 0x30 + frame;  // channel 1021, the last an area holds
    cells[1021] = 0x22;          // channels 1022 and 1023: left out
    cells[1022] = 0x23;
    wide.insert(wide.end(), cells.begin(), cells.end());
  }
  const Bytes file = Cat(wide, Repeat(kImage, 19));
  const Outcome outcome =
      ReadAllAreaImages(store, file.data(), file.size(), READER_RESUME, "tempRGB.bin");
  EXPECT_TRUE(outcome.ok);
  EXPECT_EQ(outcome.message.en,
            "The file tempRGB.bin was read only in part: area 1 has 1023 channels: only the first "
            "1021 were read, channels 1022 to 1023 were left out");
  EXPECT_EQ(outcome.message.zh,
            "文件 tempRGB.bin 只读入了一部分：第 1 区有 1023 路，只读入前 1021 路，第 1022–1023 "
            "路未读入");
  EXPECT_EQ(store.Cell(0, 3, 2), 0x11);
  EXPECT_EQ(store.Cell(0, 3, 3), 0x12);
  EXPECT_EQ(store.Cell(0, 1023, 2), 0x30);
  EXPECT_EQ(store.Cell(0, 1023, 3), 0x31);
  EXPECT_EQ(store.frameTime[0].timeValue[3], 50);
  EXPECT_EQ(store.scanRowCount, 2);  // the last image read: area 20's
  EXPECT_EQ(store.Cell(1, 3, 2), 255);
  EXPECT_EQ(store.Cell(19, 4, 3), 0);
  EXPECT_EQ(store.defaultTime[19][0].value, 10);
  const Outcome strict =
      ReadAllAreaImages(store, file.data(), file.size(), READER_RESUME, "t", READ_WHOLE_FILE_ONLY);
  EXPECT_EQ(strict.message.en,
            "The file t cannot be read: area 1 has 1023 channels, more than the 1021 an area "
            "holds; no area was changed");
}

}  // namespace
}  // namespace vqled
