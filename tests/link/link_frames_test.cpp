#include "link/link_frames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vqled {
namespace {

using Bytes = std::vector<uint8_t>;

struct CommandCase {
  const char* name;
  int linkMode;
  int valueKind;
  bool longFrames;
  uint8_t code;
  int value;
  Bytes expected;
};

TEST(ControllerFrame, EachModeAndFamilyGivesItsBytes) {
  const CommandCase cases[] = {
      {"settings", LINK_SETTINGS, 3, false, 0x3F, 5, {0xAA, 0xCD, 0x01, 0x3F, 0x55}},
      {"settings ignores long frames",
       LINK_SETTINGS,
       7,
       true,
       0xEE,
       5,
       {0xAA, 0xCD, 0x01, 0xEE, 0x55}},
      {"canonical kind 3", LINK_DOWNLOAD, 3, false, 0x7F, 6, {0xAA, 0xCC, 0x02, 0x7F, 0x06, 0x55}},
      {"timed bit kind 1", LINK_DOWNLOAD, 1, false, 0x9F, 0, {0xAA, 0xCC, 0x02, 0x9F, 0x00, 0x55}},
      {"value byte is the low byte",
       LINK_DOWNLOAD,
       4,
       false,
       0xDF,
       0x1234,
       {0xAA, 0xCC, 0x02, 0xDF, 0x34, 0x55}},
      {"VQ-M20/M24 long frames",
       LINK_DOWNLOAD,
       7,
       true,
       0x9F,
       3,
       {0xAA, 0xCC, 0x04, 0x9F, 0x03, 0x01, 0x2C, 0x55}},
      {"bit kind 0 has no value byte",
       LINK_DOWNLOAD,
       0,
       false,
       0x7F,
       9,
       {0xAA, 0xBB, 0x01, 0x7F, 0x55}},
      {"step kind 2 has no value byte",
       LINK_DOWNLOAD,
       2,
       true,
       0xEE,
       9,
       {0xAA, 0xBB, 0x01, 0xEE, 0x55}},
      {"clock probe follows the family",
       LINK_CLOCK,
       0,
       false,
       0x4F,
       0,
       {0xAA, 0xBB, 0x01, 0x4F, 0x55}},
      {"clock frame",
       LINK_CLOCK,
       3,
       false,
       0x4E,
       0,
       {0xAA, 0xCC, 0x07, 0x4E, 24, 2, 20, 13, 45, 59, 0x55}},
      {"end-date frame",
       LINK_END_DATE,
       0,
       true,
       0x5E,
       0,
       {0xAA, 0xCC, 0x04, 0x5E, 25, 12, 31, 0x55, 0x00, 0x00, 0x00}},
  };
  for (const CommandCase& c : cases) {
    FrameContext context;
    context.linkMode = c.linkMode;
    context.valueKind = c.valueKind;
    context.longCommandFrames = c.longFrames;
    context.frameCountHigh = 0x01;
    context.frameCountLow = 0x2C;
    context.now = {2024, 2, 20, 13, 45, 59};
    context.endDate = {2025, 12, 31, 0, 0, 0};
    uint8_t out[kCommandFrameCapacity];
    const int length = BuildControllerFrame(context, c.code, c.value, out);
    EXPECT_EQ(Bytes(out, out + length), c.expected) << c.name;
  }
}

TEST(DataFrame, LengthFieldFollowsModeAndFamily) {
  const uint8_t data[300] = {0x11, 0x22, 0x33};
  uint8_t out[kDataFrameCapacity];

  int n = BuildDataFrame(LINK_DOWNLOAD, 3, data, 3, out);
  EXPECT_EQ(Bytes(out, out + n), (Bytes{0xAA, 0x00, 0x03, 0x11, 0x22, 0x33, 0x55}));

  n = BuildDataFrame(LINK_DOWNLOAD, 2, data, 3, out);
  EXPECT_EQ(Bytes(out, out + n), (Bytes{0xAA, 0xBB, 0x03, 0x11, 0x22, 0x33, 0x55}));

  n = BuildDataFrame(LINK_SETTINGS, 0, data, 3, out);
  EXPECT_EQ(Bytes(out, out + n), (Bytes{0xAA, 0xCD, 0x04, 0xCF, 0x11, 0x22, 0x33, 0x55}));

  // 300 bytes: 16-bit length 01 2C; the short family keeps only 2C; the
  // settings form counts len + 1 modulo 256.
  n = BuildDataFrame(LINK_DOWNLOAD, 7, data, 300, out);
  ASSERT_EQ(n, 304);
  EXPECT_EQ(Bytes(out, out + 4), (Bytes{0xAA, 0x01, 0x2C, 0x11}));
  EXPECT_EQ(out[303], 0x55);
  BuildDataFrame(LINK_DOWNLOAD, 0, data, 300, out);
  EXPECT_EQ(Bytes(out, out + 3), (Bytes{0xAA, 0xBB, 0x2C}));
  BuildDataFrame(LINK_SETTINGS, 3, data, 255, out);
  EXPECT_EQ(Bytes(out, out + 4), (Bytes{0xAA, 0xCD, 0x00, 0xCF}));
}

TEST(DataFrame, LargestBlockFillsTheFrameBuffer) {
  static uint8_t data[kMaxBlockSize];
  data[kMaxBlockSize - 1] = 0x77;
  uint8_t out[kDataFrameCapacity];
  const int n = BuildDataFrame(LINK_SETTINGS, 3, data, kMaxBlockSize, out);
  EXPECT_EQ(n, kDataFrameCapacity);  // the settings form has five framing bytes
  EXPECT_EQ(out[n - 2], 0x77);
  EXPECT_EQ(out[n - 1], 0x55);
}

TEST(ControllerTypeFrame, CarAndNormalController) {
  uint8_t out[kControllerTypeFrameLength];
  BuildControllerTypeFrame(true, out);
  EXPECT_EQ(Bytes(out, out + 9), (Bytes{0xAA, 0xCC, 0x05, 0xAA, 0xBB, 0xCC, 0xDD, 0xFF, 0x55}));
  BuildControllerTypeFrame(false, out);
  EXPECT_EQ(Bytes(out, out + 9), (Bytes{0xAA, 0xCC, 0x05, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0x55}));
}

TEST(ReplyToHex, RendersUpToTheFirstZeroByte) {
  char out[kReplyHexCapacity];
  const uint8_t reply[] = {0x8F, 0x0A, 0xFF, 0x00, 0xAE};
  EXPECT_EQ(ReplyToHex(reply, 5, out), 9);
  EXPECT_EQ(std::string(out), "8F 0A FF ");
  EXPECT_EQ(ReplyToHex(reply, 0, out), 0);
  EXPECT_EQ(std::string(out), "");
  uint8_t full[kMaxReplyChunk];
  for (auto& b : full) b = 0xAB;
  EXPECT_EQ(ReplyToHex(full, kMaxReplyChunk, out), kMaxReplyChunk * 3);
}

}  // namespace
}  // namespace vqled
