#include "link/link_frames.h"

namespace vqled {
namespace {

constexpr uint8_t kFrameStart = 0xAA;
constexpr uint8_t kFrameEnd = 0x55;

uint8_t Low(int value) {
  return static_cast<uint8_t>(value & 0xFF);
}
uint8_t WithinCentury(int year) {
  return Low(year % 100);
}

}  // namespace

// Command frames. The third byte counts the bytes between it and the closing
// 0x55; YY is the year within the century, all date and time bytes plain
// numbers (not BCD).
// clang-format off
//
// | Case                             | 0  | 1  | 2  | 3    | 4     | 5  | 6  | 7  | 8  | 9  | 10 |
// |----------------------------------|----|----|----|------|-------|----|----|----|----|----|----|
// | settings transaction             | AA | CD | 01 | code | 55    |    |    |    |    |    |    |
// | clock transaction, code 0x4E     | AA | CC | 07 | 4E   | YY    | MO | DD | HH | MI | SS | 55 |
// | end-date transaction, code 0x5E  | AA | CC | 04 | 5E   | YY    | MO | DD | 55 | 00 | 00 | 00 |
// | value kind 1/3/4/7, long frames  | AA | CC | 04 | code | value | FH | FL | 55 |    |    |    |
// | value kind 1/3/4/7               | AA | CC | 02 | code | value | 55 |    |    |    |    |    |
// | value kind 0/2 (no value byte)   | AA | BB | 01 | code | 55    |    |    |    |    |    |    |
// clang-format on
//
// FH FL are the frame-count bytes of the canonical image built last; the
// end-date frame carries three zero bytes after its 0x55.
int BuildControllerFrame(const FrameContext& context, uint8_t code, int value,
                         uint8_t (&out)[kCommandFrameCapacity]) {
  out[0] = kFrameStart;
  if (context.linkMode == LINK_SETTINGS) {
    out[1] = 0xCD, out[2] = 0x01, out[3] = code, out[4] = kFrameEnd;
    return 5;
  }
  if (context.linkMode == LINK_CLOCK && code == CMD_CLOCK_DATA) {
    const LocalTime& t = context.now;
    out[1] = 0xCC, out[2] = 0x07, out[3] = code;
    out[4] = WithinCentury(t.year), out[5] = Low(t.month), out[6] = Low(t.day);
    out[7] = Low(t.hour), out[8] = Low(t.minute), out[9] = Low(t.second), out[10] = kFrameEnd;
    return 11;
  }
  if (context.linkMode == LINK_END_DATE && code == CMD_END_DATE_DATA) {
    const LocalTime& d = context.endDate;
    out[1] = 0xCC, out[2] = 0x04, out[3] = code;
    out[4] = WithinCentury(d.year), out[5] = Low(d.month), out[6] = Low(d.day);
    out[7] = kFrameEnd, out[8] = 0, out[9] = 0, out[10] = 0;
    return 11;
  }
  if (UsesShortFrames(context.valueKind)) {
    out[1] = 0xBB, out[2] = 0x01, out[3] = code, out[4] = kFrameEnd;
    return 5;
  }
  out[1] = 0xCC, out[3] = code, out[4] = Low(value);
  if (context.longCommandFrames) {
    out[2] = 0x04, out[5] = context.frameCountHigh, out[6] = context.frameCountLow;
    out[7] = kFrameEnd;
    return 8;
  }
  out[2] = 0x02, out[5] = kFrameEnd;
  return 6;
}

// Data frames: one block of len image bytes.
//
// | Case                  | 0  | 1  | 2  | 3          | 4 ..            | last |
// |-----------------------|----|----|----|------------|-----------------|------|
// | settings transaction  | AA | CD | N  | CF         | data (len)      | 55   |
// | value kind 1/3/4/7    | AA | LH | LL | data (len) |                 | 55   |
// | value kind 0/2        | AA | BB | LL | data (len) |                 | 55   |
//
// N = (len + 1) mod 256; LH LL = len as a 16-bit number, high byte first;
// LL alone = len mod 256.
int BuildDataFrame(int linkMode, int valueKind, const uint8_t* data, int len,
                   uint8_t (&out)[kDataFrameCapacity]) {
  int at = 0;
  out[at++] = kFrameStart;
  if (linkMode == LINK_SETTINGS) {
    out[at++] = 0xCD, out[at++] = Low(len + 1), out[at++] = 0xCF;
  } else if (UsesShortFrames(valueKind)) {
    out[at++] = 0xBB, out[at++] = Low(len);
  } else {
    out[at++] = Low(len >> 8), out[at++] = Low(len);
  }
  for (int i = 0; i < len; ++i) out[at++] = data[i];
  out[at++] = kFrameEnd;
  return at;
}

// The controller-type frame (no reply is awaited):
//
// | 0  | 1  | 2  | 3  | 4  | 5  | 6  | 7 | 8  |
// |----|----|----|----|----|----|----|---|----|
// | AA | CC | 05 | AA | BB | CC | DD | X | 55 |
//
// X = FF for a car-light controller, EE for a normal one.
void BuildControllerTypeFrame(bool carController, uint8_t (&out)[kControllerTypeFrameLength]) {
  const uint8_t frame[kControllerTypeFrameLength] = {
      kFrameStart, 0xCC, 0x05, 0xAA,
      0xBB,        0xCC, 0xDD, carController ? uint8_t{0xFF} : uint8_t{0xEE},
      kFrameEnd};
  for (int i = 0; i < kControllerTypeFrameLength; ++i) out[i] = frame[i];
}

int ReplyToHex(const uint8_t* bytes, int count, char (&out)[kReplyHexCapacity]) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  int at = 0;
  for (int i = 0; i < count && i < kMaxReplyChunk && bytes[i] != 0; ++i) {
    out[at++] = kDigits[bytes[i] >> 4];
    out[at++] = kDigits[bytes[i] & 0x0F];
    out[at++] = ' ';
  }
  out[at] = '\0';
  return at;
}

}  // namespace vqled
