#include "sim/host_frame.h"

namespace vqled {

namespace {

constexpr uint8_t kSettingsBlockMark = 0xCF;
constexpr uint8_t kClockCode = 0x4E;
constexpr uint8_t kEndDateCode = 0x5E;
constexpr uint8_t kControllerTypeMark[4] = {0xAA, 0xBB, 0xCC, 0xDD};
constexpr int kEndDateFields = 3;
// Upper bounds of YY MO DD HH MI SS; month and day start at 1.
constexpr uint8_t kClockMax[kClockFields] = {99, 12, 31, 23, 59, 59};

HostFrame Malformed(HostFrame frame, const char* problem) {
  frame.kind = HOST_MALFORMED;
  frame.problem = problem;
  return frame;
}

HostFrame Command(HostFrame frame, CommandForm form, const uint8_t* payload) {
  frame.kind = HOST_COMMAND;
  frame.commandForm = form;
  frame.code = payload[0];
  if (form == COMMAND_VALUE || form == COMMAND_LONG) frame.value = payload[1];
  if (form == COMMAND_LONG) frame.frameCount = payload[2] * 256 + payload[3];
  return frame;
}

HostFrame Block(HostFrame frame, const uint8_t* data, int length) {
  frame.kind = HOST_BLOCK;
  frame.data = data;
  frame.dataLength = length;
  return frame;
}

HostFrame ClockFields(HostFrame frame, HostFrameKind kind, const uint8_t* fields, int count) {
  for (int i = 0; i < count; ++i) {
    const bool fromOne = i == 1 || i == 2;
    if (fields[i] > kClockMax[i] || (fromOne && fields[i] == 0)) {
      return Malformed(
          frame, kind == HOST_CLOCK ? "clock field out of range" : "end date field out of range");
    }
    frame.clock[i] = fields[i];
  }
  frame.kind = kind;
  return frame;
}

HostFrame Counted(HostFrame frame, const uint8_t* payload, int count) {
  switch (count) {
    case 2:
      return Command(frame, COMMAND_VALUE, payload);
    case 4:
      if (payload[0] == kEndDateCode) {
        return ClockFields(frame, HOST_END_DATE, payload + 1, kEndDateFields);
      }
      return Command(frame, COMMAND_LONG, payload);
    case 5:
      for (int i = 0; i < 4; ++i) {
        if (payload[i] != kControllerTypeMark[i]) {
          return Malformed(frame, "five-byte frame without AA BB CC DD");
        }
      }
      frame.kind = HOST_CONTROLLER_TYPE;
      frame.controllerType = payload[4];
      return frame;
    case 7:
      if (payload[0] != kClockCode) return Malformed(frame, "seven-byte frame without code 4E");
      return ClockFields(frame, HOST_CLOCK, payload + 1, kClockFields);
    default:
      return Malformed(frame, "no command frame has this count");
  }
}

}  // namespace

HostFrame DecodeHostFrame(FrameForm form, const uint8_t* bytes, int length) {
  HostFrame frame;
  frame.form = form;
  if (form == FORM_SIZED) return Block(frame, bytes + 3, length - 4);
  const uint8_t* payload = bytes + 3;
  const int count = bytes[2];
  if (count == 0) return Malformed(frame, "empty frame");
  switch (form) {
    case FORM_COUNTED:
      return Counted(frame, payload, count);
    case FORM_SETTINGS:
      if (count == 1) return Command(frame, COMMAND_SETTINGS, payload);
      if (payload[0] != kSettingsBlockMark) return Malformed(frame, "settings block without CF");
      return Block(frame, payload + 1, count - 1);
    case FORM_SHORT:
      if (count >= 2) return Block(frame, payload, count);
      frame.couldBeBlock = true;
      return Command(frame, COMMAND_SHORT, payload);
    case FORM_SIZED:
      break;
  }
  return Malformed(frame, "unknown form");
}

}  // namespace vqled
