#include "sim/frame_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host_bytes.h"
#include "sim/host_frame.h"

namespace vqled {
namespace {

struct Seen {
  ReaderEventKind kind;
  FrameForm form;
  BadFrameReason reason;
  Bytes bytes;
};

// Feeds the stream byte by byte, as any split into reads reaches the reader,
// and collects every event, flushing at the end.
std::vector<Seen> Read(const Bytes& stream, int maxData = kMaxSizedData) {
  FrameReader reader(maxData);
  std::vector<Seen> seen;
  auto keep = [&](const ReaderEvent& event) {
    if (event.kind == EVENT_NONE) return;
    seen.push_back(
        {event.kind, event.form, event.reason, Bytes(event.bytes, event.bytes + event.length)});
  };
  for (uint8_t byte : stream) keep(reader.Push(byte));
  keep(reader.Flush());
  return seen;
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

struct GoodFrame {
  const char* what;
  Bytes bytes;
  FrameForm form;
};

const GoodFrame kGoodFrames[] = {
    {"probe, value kinds 1 3 4 7", {0xAA, 0xCC, 0x02, 0x7F, 0x03, 0x55}, FORM_COUNTED},
    {"long erase with frame count", {0xAA, 0xCC, 0x04, 0x9F, 0x01, 0x0B, 0xB8, 0x55}, FORM_COUNTED},
    {"clock", {0xAA, 0xCC, 0x07, 0x4E, 24, 2, 20, 13, 5, 59, 0x55}, FORM_COUNTED},
    {"controller type", {0xAA, 0xCC, 0x05, 0xAA, 0xBB, 0xCC, 0xDD, 0xFF, 0x55}, FORM_COUNTED},
    {"settings command", {0xAA, 0xCD, 0x01, 0x3F, 0x55}, FORM_SETTINGS},
    {"settings block", {0xAA, 0xCD, 0x03, 0xCF, 0xAB, 0x55, 0x55}, FORM_SETTINGS},
    {"short command, value kinds 0 2", {0xAA, 0xBB, 0x01, 0x9F, 0x55}, FORM_SHORT},
    {"short block holding AA and 55", {0xAA, 0xBB, 0x03, 0xAA, 0x55, 0x00, 0x55}, FORM_SHORT},
    {"sized block", {0xAA, 0x00, 0x02, 0xAA, 0xCC, 0x55}, FORM_SIZED},
};

TEST(FrameReader, ReadsEveryFormWholeAndInOneStream) {
  Bytes stream;
  for (const GoodFrame& frame : kGoodFrames) {
    SCOPED_TRACE(frame.what);
    const std::vector<Seen> seen = Read(frame.bytes);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].kind, EVENT_FRAME);
    EXPECT_EQ(seen[0].form, frame.form);
    EXPECT_EQ(seen[0].bytes, frame.bytes);
    stream.insert(stream.end(), frame.bytes.begin(), frame.bytes.end());
  }
  const std::vector<Seen> seen = Read(stream);
  ASSERT_EQ(seen.size(), std::size(kGoodFrames));
  for (size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i].bytes, kGoodFrames[i].bytes);
}

TEST(FrameReader, SizedBlockOfTheLargestLengthAndOneBeyond) {
  Bytes block = {0xAA, 0x07, 0xFB};  // 2043 bytes
  block.insert(block.end(), 2043, 0x55);
  block.push_back(0x55);
  std::vector<Seen> seen = Read(block);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].kind, EVENT_FRAME);
  EXPECT_EQ(seen[0].bytes.size(), 2047u);

  seen = Read({0xAA, 0x07, 0xFC, 0x01, 0x55});  // 2044 announced
  ASSERT_GE(seen.size(), 1u);
  EXPECT_EQ(seen[0].kind, EVENT_BAD);
  EXPECT_EQ(seen[0].reason, BAD_LENGTH);
  EXPECT_EQ(seen[0].bytes, (Bytes{0xAA, 0x07, 0xFC}));

  seen = Read({0xAA, 0x07, 0xFC, 0x01}, 3000);  // a controller that reported a larger block
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].reason, BAD_INCOMPLETE);
}

TEST(FrameReader, BrokenFramesAreReportedAndTheNextFrameStillRead) {
  const Bytes probe = {0xAA, 0xCC, 0x02, 0x7F, 0x00, 0x55};
  struct Case {
    const char* what;
    Bytes stream;
    BadFrameReason reason;
    Bytes bad;
  };
  const Case cases[] = {
      {"count one short: the 55 lands where the value should",
       Join({{0xAA, 0xCC, 0x03, 0x7F, 0x00, 0x55, 0x10}, probe}),
       BAD_NO_END,
       {0xAA, 0xCC, 0x03, 0x7F, 0x00, 0x55, 0x10}},
      {"a new frame where the 55 should be",
       Join({{0xAA, 0xCC, 0x02, 0x7F, 0x00}, probe}),
       BAD_NO_END,
       {0xAA, 0xCC, 0x02, 0x7F, 0x00}},
      {"sized block of length 0",
       Join({{0xAA, 0x00, 0x00}, probe}),
       BAD_LENGTH,
       {0xAA, 0x00, 0x00}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<Seen> seen = Read(c.stream);
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen[0].kind, EVENT_BAD);
    EXPECT_EQ(seen[0].reason, c.reason);
    EXPECT_EQ(seen[0].bytes, c.bad);
    EXPECT_EQ(seen.back().kind, EVENT_FRAME);
    EXPECT_EQ(seen.back().bytes, probe);
  }
}

TEST(FrameReader, GarbageRunsEndWhereAFrameStarts) {
  const Bytes erase = {0xAA, 0xBB, 0x01, 0x9F, 0x55};
  std::vector<Seen> seen = Read(Join({{0x00, 0x13, 0x55}, erase, {0x7E}}));
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].kind, EVENT_GARBAGE);
  EXPECT_EQ(seen[0].bytes, (Bytes{0x00, 0x13, 0x55}));
  EXPECT_EQ(seen[1].bytes, erase);
  EXPECT_EQ(seen[2].kind, EVENT_GARBAGE);
  EXPECT_EQ(seen[2].bytes, (Bytes{0x7E}));

  // A stray AA before a frame: AA AA could start no frame, so the second starts one.
  seen = Read(Join({{0xAA}, erase}));
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].kind, EVENT_GARBAGE);
  EXPECT_EQ(seen[1].bytes, erase);
}

TEST(FrameReader, EndDateTrailerIsSwallowedAndAMissingOneHarmless) {
  const Bytes endDate = {0xAA, 0xCC, 0x04, 0x5E, 24, 3, 1, 0x55};
  const Bytes probe = {0xAA, 0xCC, 0x02, 0x5F, 0x00, 0x55};
  std::vector<Seen> seen = Read(Join({endDate, {0x00, 0x00, 0x00}, probe}));
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].bytes, endDate);
  EXPECT_EQ(seen[1].bytes, probe);

  seen = Read(Join({endDate, probe}));
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].bytes, probe);

  // Only three zero bytes belong to it; a fourth is garbage.
  seen = Read(Join({endDate, {0x00, 0x00, 0x00, 0x00}}));
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].kind, EVENT_GARBAGE);
}

TEST(FrameReader, FlushEndsAnUnfinishedFrame) {
  FrameReader reader;
  for (uint8_t byte : Bytes{0xAA, 0x01, 0xF4, 0x01, 0x02}) reader.Push(byte);
  EXPECT_TRUE(reader.InFrame());
  const ReaderEvent event = reader.Flush();
  EXPECT_EQ(event.kind, EVENT_BAD);
  EXPECT_EQ(event.reason, BAD_INCOMPLETE);
  EXPECT_EQ(event.length, 5);
  EXPECT_FALSE(reader.InFrame());
  EXPECT_EQ(reader.Flush().kind, EVENT_NONE);
}

struct DecodeCase {
  const char* what;
  Bytes bytes;
  FrameForm form;
  HostFrameKind kind;
  int code;
  int value;
  int frameCount;
};

TEST(HostFrame, DecodesEveryRow) {
  const DecodeCase cases[] = {
      {"command", {0xAA, 0xCC, 0x02, 0x9F, 0x05, 0x55}, FORM_COUNTED, HOST_COMMAND, 0x9F, 5, -1},
      {"long command",
       {0xAA, 0xCC, 0x04, 0xDD, 0x02, 0x0B, 0xB8, 0x55},
       FORM_COUNTED,
       HOST_COMMAND,
       0xDD,
       2,
       3000},
      {"short command", {0xAA, 0xBB, 0x01, 0xEE, 0x55}, FORM_SHORT, HOST_COMMAND, 0xEE, -1, -1},
      {"settings command",
       {0xAA, 0xCD, 0x01, 0x9F, 0x55},
       FORM_SETTINGS,
       HOST_COMMAND,
       0x9F,
       -1,
       -1},
      {"end date",
       {0xAA, 0xCC, 0x04, 0x5E, 24, 3, 1, 0x55},
       FORM_COUNTED,
       HOST_END_DATE,
       0,
       -1,
       -1},
      {"clock",
       {0xAA, 0xCC, 0x07, 0x4E, 99, 12, 31, 23, 59, 59, 0x55},
       FORM_COUNTED,
       HOST_CLOCK,
       0,
       -1,
       -1},
      {"controller type",
       {0xAA, 0xCC, 0x05, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0x55},
       FORM_COUNTED,
       HOST_CONTROLLER_TYPE,
       0,
       -1,
       -1},
      {"clock month 13",
       {0xAA, 0xCC, 0x07, 0x4E, 24, 13, 1, 0, 0, 0, 0x55},
       FORM_COUNTED,
       HOST_MALFORMED,
       0,
       -1,
       -1},
      {"end date day 0",
       {0xAA, 0xCC, 0x04, 0x5E, 24, 3, 0, 0x55},
       FORM_COUNTED,
       HOST_MALFORMED,
       0,
       -1,
       -1},
      {"five bytes without the mark",
       {0xAA, 0xCC, 0x05, 0xAA, 0xBB, 0xCC, 0xDE, 0xEE, 0x55},
       FORM_COUNTED,
       HOST_MALFORMED,
       0,
       -1,
       -1},
      {"count 3",
       {0xAA, 0xCC, 0x03, 0x7F, 0x00, 0x00, 0x55},
       FORM_COUNTED,
       HOST_MALFORMED,
       0,
       -1,
       -1},
      {"empty", {0xAA, 0xBB, 0x00, 0x55}, FORM_SHORT, HOST_MALFORMED, 0, -1, -1},
      {"settings block without CF",
       {0xAA, 0xCD, 0x02, 0xCE, 0x01, 0x55},
       FORM_SETTINGS,
       HOST_MALFORMED,
       0,
       -1,
       -1},
  };
  for (const DecodeCase& c : cases) {
    SCOPED_TRACE(c.what);
    const HostFrame frame =
        DecodeHostFrame(c.form, c.bytes.data(), static_cast<int>(c.bytes.size()));
    EXPECT_EQ(frame.kind, c.kind);
    if (c.kind == HOST_MALFORMED) {
      EXPECT_NE(frame.problem, nullptr);
      continue;
    }
    if (c.kind == HOST_COMMAND) {
      EXPECT_EQ(frame.code, c.code);
    }
    EXPECT_EQ(frame.value, c.value);
    EXPECT_EQ(frame.frameCount, c.frameCount);
  }
}

TEST(HostFrame, BlocksCarryTheirDataAndTheOneByteShortFrameIsAmbiguous) {
  const Bytes settings = {0xAA, 0xCD, 0x04, 0xCF, 0xAB, 0x01, 0x02, 0x55};
  HostFrame frame = DecodeHostFrame(FORM_SETTINGS, settings.data(), 8);
  ASSERT_EQ(frame.kind, HOST_BLOCK);
  EXPECT_EQ(Bytes(frame.data, frame.data + frame.dataLength), (Bytes{0xAB, 0x01, 0x02}));

  const Bytes sized = {0xAA, 0x00, 0x03, 0x10, 0x20, 0x30, 0x55};
  frame = DecodeHostFrame(FORM_SIZED, sized.data(), 7);
  ASSERT_EQ(frame.kind, HOST_BLOCK);
  EXPECT_EQ(Bytes(frame.data, frame.data + frame.dataLength), (Bytes{0x10, 0x20, 0x30}));

  const Bytes shortOne = {0xAA, 0xBB, 0x01, 0xDD, 0x55};
  frame = DecodeHostFrame(FORM_SHORT, shortOne.data(), 5);
  EXPECT_EQ(frame.kind, HOST_COMMAND);
  EXPECT_TRUE(frame.couldBeBlock);

  const Bytes clock = {0xAA, 0xCC, 0x07, 0x4E, 24, 2, 20, 13, 5, 9, 0x55};
  frame = DecodeHostFrame(FORM_COUNTED, clock.data(), 11);
  EXPECT_EQ(Bytes(frame.clock, frame.clock + kClockFields), (Bytes{24, 2, 20, 13, 5, 9}));
}

}  // namespace
}  // namespace vqled
