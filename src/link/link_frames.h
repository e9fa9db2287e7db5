// The bytes the tool puts on the serial line to a controller: command frames,
// data blocks, the controller-type frame, and the hexadecimal rendering of the
// replies for the link log. Pure functions over caller-owned buffers.
#pragma once

#include <cstdint>

#include "model/model_profile.h"

namespace vqled {

// The kind of the running link transaction.
enum LinkMode : int { LINK_DOWNLOAD = 0, LINK_SETTINGS = 1, LINK_CLOCK = 2, LINK_END_DATE = 3 };

// Command codes, tool to controller.
enum CommandCode : uint8_t {
  CMD_PROBE_DOWNLOAD = 0x7F,
  CMD_PROBE_SETTINGS = 0x3F,
  CMD_PROBE_CLOCK = 0x4F,
  CMD_PROBE_END_DATE = 0x5F,
  CMD_ERASE = 0x9F,
  CMD_CLOCK_DATA = 0x4E,
  CMD_END_DATE_DATA = 0x5E,
  CMD_DATA_END_AE = 0xDF,
  CMD_DATA_END_AA = 0xDD,
  CMD_FINISH = 0xEE
};

// Reply codes, controller to tool (the first byte of a reply).
enum ReplyCode : uint8_t {
  RPL_PRESENT = 0x8F,
  RPL_PRESENT_M28 = 0x7E,
  RPL_CLOCK_READY = 0x4E,
  RPL_END_DATE_READY = 0x5E,
  RPL_PRESENT_ALT = 0x7F,
  RPL_ERASE_ACK = 0x9E,
  RPL_ERASED = 0x3C,
  RPL_BLOCK_ACK_AE = 0xAE,
  RPL_BLOCK_ACK_AA = 0xAA,
  RPL_CLOCK_SET = 0x4D,
  RPL_END_DATE_SET = 0x5D,
  RPL_SEND_ERROR = 0xFF,
  RPL_RECEIVE_ERROR = 0xFE,
  RPL_STORED = 0xDD,
  RPL_RETURN_ERROR = 0x55
};

constexpr int kCommandFrameCapacity = 11;
constexpr int kDataFrameCapacity = 2048;
constexpr int kMaxBlockSize = kDataFrameCapacity - 5;  // 2043
constexpr int kControllerTypeFrameLength = 9;
constexpr int kMaxReplyChunk = 64;
// RPL_PRESENT_M28 with the controller's block size, high byte first.
constexpr int kPresentM28Length = 3;
constexpr int kReplyHexCapacity = kMaxReplyChunk * 3 + 1;

// A calendar date and time of day as the controller takes them.
struct LocalTime {
  int year = 2000;  // full year; frames carry it within the century
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// What a command frame depends on besides its code and value.
struct FrameContext {
  int linkMode = LINK_DOWNLOAD;
  int valueKind = VALUE_KIND_BIT;
  bool longCommandFrames = false;
  uint8_t frameCountHigh = 0;  // of the canonical image built last
  uint8_t frameCountLow = 0;
  LocalTime now;      // the clock at sending, for the clock frame
  LocalTime endDate;  // the chosen end date, for the end-date frame
};

// Whether a value kind uses the short AA BB frames (the bit and step kinds).
inline bool UsesShortFrames(int valueKind) {
  return valueKind == VALUE_KIND_BIT || valueKind == VALUE_KIND_STEP;
}

// Builds the command frame for code and value into out; returns its length.
int BuildControllerFrame(const FrameContext& context, uint8_t code, int value,
                         uint8_t (&out)[kCommandFrameCapacity]);

// Builds the data frame carrying len bytes of data (len <= kMaxBlockSize) into
// out; returns its length (len + 5 for settings, len + 4 otherwise).
int BuildDataFrame(int linkMode, int valueKind, const uint8_t* data, int len,
                   uint8_t (&out)[kDataFrameCapacity]);

// Builds the controller-type frame: car controller or normal controller.
void BuildControllerTypeFrame(bool carController, uint8_t (&out)[kControllerTypeFrameLength]);

// Renders count reply bytes, up to the first zero byte, as "8F AE " (two
// upper-case hex digits and a blank each) into out; returns the text length.
int ReplyToHex(const uint8_t* bytes, int count, char (&out)[kReplyHexCapacity]);

}  // namespace vqled
