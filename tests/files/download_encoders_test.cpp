#include <gtest/gtest.h>

#include <vector>

#include "download_fixture.h"

namespace vqled {
namespace {

// --- bit image (VQ-M01 .. VQ-M03) ---

TEST_F(DownloadTest, BitImagePacksTwoBitsPerChannelInGroupsOfEight) {
  Model(2, VALUE_KIND_BIT, 12, 2300);  // VQ-M02: two groups
  controls.time1Text = "100";
  controls.time2Text = "200";
  Light(0, 1, 1, 255);  // on
  Light(0, 2, 1, 3);    // fade in
  Light(0, 9, 1, 2);    // fade out
  Light(0, 1, 2, 100);  // 100 is on, like 255
  Light(0, 8, 2, 255);
  Light(0, 3, 2, 7);    // other non-zero values are on, as the grid draws them
  Light(0, 4, 2, 256);  // the whole value counts, not its low byte
  Light(0, 5, 2, 258);
  Light(0, 10, 2, 3);
  ASSERT_TRUE(EncodeBitImage(store, profile, controls, *image).ok);
  EXPECT_EQ(Image(), (Bytes{0x00, 0x00, 0x00, 0x02, 0x00, 0x02, 0x00, 0x64, 0x00, 0xC8,  //
                            0x02, 0x03, 0x01, 0x00,                                      //
                            0x00, 0x9D, 0x02, 0x02}));
}

TEST_F(DownloadTest, BitImageScansOnlyTheShownGridAndWrapsSixteenBitFields) {
  Model(3, VALUE_KIND_BIT, 16, 2300);             // VQ-M03
  store.Cell(0, store.gridRowCount, 2) = 255;     // the row below the last channel
  store.Cell(0, 3, store.gridColumnCount) = 255;  // the column past the grid's last
  controls.edit6Text = "70000";
  controls.time1Text = "65537";
  controls.time2Text = "-2";
  ASSERT_TRUE(EncodeBitImage(store, profile, controls, *image).ok);
  // No lit cell in the shown grid: the unguarded frame count L - 1 is FF FF.
  EXPECT_EQ(Image(), (Bytes{0x00, 0x11, 0x70, 0x02, 0xFF, 0xFF, 0x00, 0x01, 0xFF, 0xFE}));

  Light(0, 16, 0, 255);  // column 1 lies in the grid but holds no frame
  ASSERT_TRUE(EncodeBitImage(store, profile, controls, *image).ok);
  EXPECT_EQ(Image(), (Bytes{0x00, 0x11, 0x70, 0x02, 0x00, 0x00, 0x00, 0x01, 0xFF, 0xFE}));
}

// The loop-mode byte of both compact layouts, and the layouts without it.
TEST_F(DownloadTest, CompactLayoutsLeadWithTheLoopModeCodeOrLeaveItOut) {
  struct Case {
    bool once, counted, endless;
    Bytes lead;  // what precedes the loop count
  };
  const Case cases[] = {{false, false, true, {0x00}},
                        {false, true, false, {0x01}},
                        {true, false, false, {0x02}},
                        {true, true, true, {0x00}},
                        {false, false, false, {}}};
  for (const Case& c : cases) {
    controls.radioButton1 = c.once;
    controls.radioButton2 = c.counted;
    controls.radioButton3 = c.endless;
    controls.edit6Text = "3";

    Model(1, VALUE_KIND_BIT, 8, 4000);  // VQ-M01: one group
    Light(0, 8, 1, 255);
    ASSERT_TRUE(EncodeBitImage(store, profile, controls, *image).ok);
    EXPECT_EQ(Image(), Concat({c.lead,
                               {0x00, 0x03, 0x01, 0x00, 0x01, 0x03, 0xE8, 0x03, 0x20,  //
                                0x00, 0x80}}));

    Model(0, VALUE_KIND_STEP, 4, 1500);  // VQ-M00
    Light(0, 8, 1, 0);
    Light(0, 2, 1, 40);
    ASSERT_TRUE(EncodeStepImage(store, controls, *image).ok);
    EXPECT_EQ(Image(), Concat({c.lead,
                               {0x00, 0x03, 0x00, 0x04, 0x00, 0x01, 0x03, 0xE8, 0x01, 0x03, 0x20,
                                0x01, 0x02, 0x58, 0x01, 0x00},
                               Bytes(13, 0x00),
                               {0x01, 0x00, 0x28, 0x00, 0x00}}));
    Light(0, 2, 1, 0);
  }
}

TEST_F(DownloadTest, CompactLayoutsRefuseNumberTextsThatDoNotConvert) {
  struct Case {
    std::string DownloadControls::*field;
    const char* text;
    const char* control;
    bool bitReadsIt;
  };
  const Case cases[] = {{&DownloadControls::edit6Text, "", "Edit6", true},
                        {&DownloadControls::edit6Text, "1 2", "Edit6", true},
                        {&DownloadControls::time1Text, "abc", "time1", true},
                        {&DownloadControls::time2Text, "99999999999", "time2", true},
                        {&DownloadControls::time3Text, "x", "time3", false}};
  Light(0, 1, 1, 255);
  for (const Case& c : cases) {
    DownloadControls typed = controls;
    typed.*c.field = c.text;
    FillSentinel();
    Model(1, VALUE_KIND_BIT, 8, 4000);
    const Outcome bit = EncodeBitImage(store, profile, typed, *image);
    EXPECT_EQ(bit.ok, !c.bitReadsIt) << c.control << " '" << c.text << "'";
    if (c.bitReadsIt) ExpectSentinel();

    FillSentinel();
    Model(0, VALUE_KIND_STEP, 4, 1500);
    const Outcome step = EncodeStepImage(store, typed, *image);
    ASSERT_FALSE(step.ok) << c.control << " '" << c.text << "'";
    EXPECT_NE(step.message.en.find(c.control), std::string::npos) << step.message.en;
    EXPECT_NE(step.message.zh.find(c.control), std::string::npos) << step.message.zh;
    ExpectSentinel();
  }
}

// --- step image (VQ-M00, VQ-M06) ---

TEST_F(DownloadTest, StepImageCarriesTimeNumbersAndOneByteCells) {
  Model(0, VALUE_KIND_STEP, 4, 1500);
  controls.radioButton3 = false;
  controls.radioButton2 = true;
  controls.edit6Text = "5";
  controls.time1Text = "100";
  controls.time2Text = "2";
  controls.time3Text = "1";
  controls.timeT2Index = 1;
  controls.timeT3Index = 2;
  controls.checkBox3 = true;
  FrameTimes& times = store.frameTime[0];
  times.timeValue[2] = 3;
  times.timeValue[3] = 258;  // sent as its low byte
  Light(0, 1, 1, 100);
  Light(0, 2, 1, 300);  // 300 % 256
  Light(0, 4, 1, 1);
  Light(0, 3, 2, 50);
  Light(0, 5, 3, 9);  // below the last channel: lengthens the area, is not sent
  ASSERT_TRUE(EncodeStepImage(store, controls, *image).ok);
  EXPECT_EQ(Image(), Concat({{0x01, 0x00, 0x05, 0x00, 0x04, 0x00, 0x03,  //
                              0x00, 0x64, 0x01, 0x00, 0x02, 0x02, 0x00, 0x01, 0x03, 0x01},
                             Bytes(13, 0x00),
                             {0x03, 0x64, 0x2C, 0x00, 0x01,  //
                              0x02, 0x00, 0x00, 0x32, 0x00,  //
                              0x01, 0x00, 0x00, 0x00, 0x00}}));
}

TEST_F(DownloadTest, StepImageOfAnEmptyAreaSendsFrameCount00FF) {
  Model(6, VALUE_KIND_STEP, 6, 1000);  // VQ-M06
  // Measurements left by a file reader are not trusted: the encoder measures area 0.
  store.lastUsedColumn = 60000;
  store.scanRowCount = 1000;
  ASSERT_TRUE(EncodeStepImage(store, controls, *image).ok);
  EXPECT_EQ(Image(), Concat({{0x00, 0x00, 0x00, 0x00, 0x06, 0x00, 0xFF,  //
                              0x03, 0xE8, 0x01, 0x03, 0x20, 0x01, 0x02, 0x58, 0x01, 0x00},
                             Bytes(13, 0x00)}));

  Light(0, 1, 0, 255);  // only column 1 lit: length 1, no frame
  ASSERT_TRUE(EncodeStepImage(store, controls, *image).ok);
  ASSERT_EQ(image->imageLast, 29);
  EXPECT_EQ(image->entry[5], 0x00);
  EXPECT_EQ(image->entry[6], 0x00);
}

// --- timed bit image (VQ-M04) ---

TEST_F(DownloadTest, TimedBitImageSendsThirtyTwoChannelsPerFrame) {
  Model(4, VALUE_KIND_TIMED_BIT, 32, 4002);
  store.playSettings[3] = {LOOP_COUNT, 0x0102, 0, 2};  // end mode 2 is not sent
  store.defaultTime[3][1] = {70000, 1};
  store.frameTime[3].timeValue[2] = 500;
  store.frameTime[3].timeType[2] = FRAME_TIME_MS;
  Light(3, 1, 1, 2);
  Light(3, 17, 1, 3);
  Light(3, 32, 1, 255);
  const Bytes frame = {0x01, 0xF4, 0x01, 0x01, 0x00, 0x00, 0x00, 0x01, 0x01, 0x00, 0x80};
  const Bytes settings = {0x03, 0xE8, 0x00, 0x11, 0x70, 0x01, 0x02, 0x58, 0x00, 0x01,
                          0x90, 0x00, 0x00, 0xC8, 0x00, 0x00, 0x02, 0x01, 0x02};
  ASSERT_TRUE(EncodeTimedBitImage(store, 3, *image).ok);
  EXPECT_EQ(Image(), Concat({{0x00, 0x20, 0x00, 0x01}, settings, Bytes(7, 0x00), frame}));

  Model(4, VALUE_KIND_TIMED_BIT, 8, 4002);  // the record stays 11 bytes for any count
  ASSERT_TRUE(EncodeTimedBitImage(store, 3, *image).ok);
  EXPECT_EQ(Image(), Concat({{0x00, 0x08, 0x00, 0x01}, settings, Bytes(7, 0x00), frame}));
}

TEST_F(DownloadTest, TimedBitImageOfAnEmptyAreaIsItsHeader) {
  Model(4, VALUE_KIND_TIMED_BIT, 32, 4002);
  ASSERT_TRUE(EncodeTimedBitImage(store, 0, *image).ok);
  ASSERT_EQ(image->imageLast, 29);
  EXPECT_EQ(image->entry[2], 0x00);  // frame count guarded: 0, not FF FF
  EXPECT_EQ(image->entry[3], 0x00);
}

// --- group image (VQ-M12) ---

TEST_F(DownloadTest, GroupImageCarriesTheLightGroupsAndThePlayTime) {
  Model(12, VALUE_KIND_GROUP, 12, 502);
  FrameTimes& times = store.frameTime[1];
  for (int c = 2; c <= 11; ++c) {
    times.timeValue[c] = 1;
    times.timeType[c] = FRAME_TIME_S;
  }
  Light(1, 12, 10, 0x1FF);  // ten frames of 1 s: 10000 ms = 500 units of 20 ms
  ASSERT_TRUE(EncodeGroupImage(store, controls, 1, *image).ok);
  Bytes expected = {0x00, 0x0C, 0x00, 0x0A, 0x03, 0xE8, 0x00, 0x03, 0x20, 0x00, 0x02,
                    0x58, 0x00, 0x01, 0x90, 0x00, 0x00, 0xC8, 0x00, 0x01, 0x01, 0x00,
                    0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x01, 0xF4};
  for (int f = 0; f < 10; ++f) {
    expected.insert(expected.end(), {0x00, 0x01, 0x02});
    expected.insert(expected.end(), 12, 0x00);
  }
  expected.back() = 0xFF;
  EXPECT_EQ(Image(), expected);
}

// --- size limits ---

TEST_F(DownloadTest, ImagesLargerThanTheBufferAreRefusedBeforeAnyByte) {
  Model(15, VALUE_KIND_STEP, 3068, 4002);  // 4000 frames of 3069 or 3071 bytes
  Light(0, 1, 4000, 255);
  FillSentinel();
  const Outcome step = EncodeStepImage(store, controls, *image);
  ASSERT_FALSE(step.ok);
  EXPECT_NE(step.message.en.find("12276030"), std::string::npos) << step.message.en;
  ExpectSentinel();

  const Outcome group = EncodeGroupImage(store, controls, 0, *image);
  ASSERT_FALSE(group.ok);
  EXPECT_NE(group.message.zh.find("12284031"), std::string::npos) << group.message.zh;
  ExpectSentinel();
}

TEST_F(DownloadTest, ChannelsPastTheAreasRowsAreSentAsZero) {
  Model(15, VALUE_KIND_GROUP, 2400, 4002);  // 9.6 MB: fits
  Light(19, 1021, 4000, 77);                // the last row of the last area
  ASSERT_TRUE(EncodeGroupImage(store, controls, 19, *image).ok);
  const int record = 3 + 2400;
  ASSERT_EQ(image->imageLast, 31 + 4000 * record - 1);
  const uint8_t* last = image->entry + 31 + 3999 * record;
  EXPECT_EQ(last[3 + 1020], 77);
  EXPECT_EQ(Bytes(last + 3 + 1021, last + record), Bytes(2400 - 1021, 0x00));
}

}  // namespace
}  // namespace vqled
