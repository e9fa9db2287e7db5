// What a frame from the host means, read from its bytes alone:
//
// | Form     | Bytes                                   | Meaning                            |
// |----------|-----------------------------------------|------------------------------------|
// | counted  | AA CC 02 code value 55                  | command (value kinds 1, 3, 4, 7)   |
// | counted  | AA CC 04 code value FH FL 55            | long command (VQ-M20, VQ-M24)      |
// | counted  | AA CC 04 5E YY MO DD 55 (+ 00 00 00)    | end date                           |
// | counted  | AA CC 07 4E YY MO DD HH MI SS 55        | clock                              |
// | counted  | AA CC 05 AA BB CC DD X 55               | controller type (X FF car, EE not) |
// | settings | AA CD 01 code 55                        | settings command                   |
// | settings | AA CD N CF data[N - 1] 55               | settings block                     |
// | short    | AA BB 01 code 55                        | command (value kinds 0, 2) -- or a |
// |          |                                         | block of one byte, see couldBeBlock|
// | short    | AA BB LL data[LL] 55, LL >= 2           | block (value kinds 0, 2)           |
// | sized    | AA LH LL data[LH LL] 55                 | block (value kinds 1, 3, 4, 7)     |
//
// Clock fields are plain numbers: year within the century 0..99, month 1..12,
// day 1..31, hour 0..23, minute and second 0..59; the end date has the first
// three. A frame that fits none of the rows is malformed.
#pragma once

#include <cstdint>

#include "sim/frame_reader.h"

namespace vqled {

enum HostFrameKind : uint8_t {
  HOST_COMMAND,
  HOST_BLOCK,
  HOST_CLOCK,
  HOST_END_DATE,
  HOST_CONTROLLER_TYPE,
  HOST_MALFORMED
};

enum CommandForm : uint8_t {
  COMMAND_SHORT,    // AA BB 01 code 55: no value byte
  COMMAND_VALUE,    // AA CC 02 code value 55
  COMMAND_LONG,     // AA CC 04 code value FH FL 55
  COMMAND_SETTINGS  // AA CD 01 code 55
};

constexpr int kClockFields = 6;  // YY MO DD HH MI SS

struct HostFrame {
  HostFrameKind kind = HOST_MALFORMED;
  FrameForm form = FORM_COUNTED;
  CommandForm commandForm = COMMAND_SHORT;
  uint8_t code = 0;
  int value = -1;                 // the value byte; -1 where the form has none
  int frameCount = -1;            // FH FL of a long command; -1 otherwise
  bool couldBeBlock = false;      // AA BB 01 x 55 is also a one-byte block holding x
  const uint8_t* data = nullptr;  // a block's data, inside the reader's buffer
  int dataLength = 0;
  uint8_t clock[kClockFields] = {};  // clock: all six; end date: the first three
  uint8_t controllerType = 0;
  const char* problem = nullptr;  // why a frame is malformed
};

HostFrame DecodeHostFrame(FrameForm form, const uint8_t* bytes, int length);

}  // namespace vqled
