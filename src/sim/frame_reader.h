// Splits the byte stream a host sends to a controller into frames. Every frame
// starts with 0xAA and ends with 0x55; there is no checksum and no escaping,
// so the reader goes by the length the frame announces:
//
// | Form      | Bytes                         | Carries                                    |
// |-----------|-------------------------------|--------------------------------------------|
// | counted   | AA CC n payload[n] 55         | commands of value kinds 1, 3, 4, 7 (n 2 or |
// |           |                               | 4), clock (n 7), end date (n 4, then three |
// |           |                               | 00 bytes after the 55), controller type (5)|
// | settings  | AA CD n payload[n] 55         | settings commands (n 1) and blocks (CF ..)  |
// | short     | AA BB n payload[n] 55         | commands and blocks of value kinds 0 and 2 |
// | sized     | AA LH LL data[LH LL] 55       | blocks of value kinds 1, 3, 4, 7           |
//
// A sized frame's length is 1 .. maxDataLength; an announced length of 0 or
// above it, or a byte other than 0x55 where the frame must end, makes the
// frame bad. Bytes outside a frame are garbage, reported in runs; the zero
// bytes that trail an end-date frame are swallowed. The reader is a pure state
// machine over bytes: whatever way a stream is split into reads, it yields the
// same events.
#pragma once

#include <cstdint>

namespace vqled {

constexpr uint8_t kFrameStart = 0xAA;
constexpr uint8_t kFrameEnd = 0x55;
constexpr int kMaxSizedData = 2043;    // a host builds its blocks in 2048 bytes
constexpr int kMaxFrameBytes = 65540;  // the longest sized frame: 3 + 65535 + 1
constexpr int kEndDateTrailer = 3;

enum FrameForm : uint8_t { FORM_COUNTED, FORM_SETTINGS, FORM_SHORT, FORM_SIZED };

enum ReaderEventKind : uint8_t {
  EVENT_NONE,    // nothing complete yet
  EVENT_FRAME,   // a whole frame: bytes[0] is 0xAA, bytes[length - 1] is 0x55
  EVENT_BAD,     // a frame that broke off; bytes are what it had, reason says why
  EVENT_GARBAGE  // bytes outside any frame
};

enum BadFrameReason : uint8_t {
  BAD_NONE,
  BAD_NO_END,     // the byte where the frame must end was not 0x55
  BAD_LENGTH,     // a sized frame announced 0 bytes or more than allowed
  BAD_INCOMPLETE  // the line went quiet or closed in the middle of a frame
};

struct ReaderEvent {
  ReaderEventKind kind = EVENT_NONE;
  FrameForm form = FORM_COUNTED;
  BadFrameReason reason = BAD_NONE;
  const uint8_t* bytes = nullptr;  // valid until the next call on the reader
  int length = 0;
};

class FrameReader {
 public:
  explicit FrameReader(int maxDataLength = kMaxSizedData);

  // Takes one byte; returns the event it completes, if any.
  ReaderEvent Push(uint8_t byte);
  // Ends what is pending: an unfinished frame (bad, incomplete) or a garbage run.
  ReaderEvent Flush();
  // Whether a frame has started and not yet ended.
  bool InFrame() const { return state_ != STATE_IDLE && state_ != STATE_TRAILER; }
  void SetMaxDataLength(int maxDataLength) { maxDataLength_ = maxDataLength; }

 private:
  enum State : uint8_t {
    STATE_IDLE,      // between frames (collecting garbage)
    STATE_FORM,      // after 0xAA
    STATE_LENGTH,    // after AA CC / AA CD / AA BB: the count byte
    STATE_SIZE_LOW,  // after AA LH: the low length byte
    STATE_BODY,      // payload or data
    STATE_END,       // expecting 0x55
    STATE_TRAILER    // swallowing the zero bytes after an end-date frame
  };

  void Recycle();
  ReaderEvent Idle(uint8_t byte);
  ReaderEvent Form(uint8_t byte);
  ReaderEvent End(uint8_t byte);
  ReaderEvent Take(ReaderEventKind kind, BadFrameReason reason);
  ReaderEvent BreakOff(uint8_t byte, BadFrameReason reason);
  void Append(uint8_t byte) { buffer_[length_++] = byte; }

  int maxDataLength_;
  State state_ = STATE_IDLE;
  FrameForm form_ = FORM_COUNTED;
  int length_ = 0;               // bytes in buffer_
  int remaining_ = 0;            // body bytes still to come
  int trailer_ = 0;              // trailing zero bytes still to swallow
  int pendingLength_ = 0;        // bytes of the event handed out last, removed on the next call
  bool restartPending_ = false;  // the 0xAA that ended the last event starts the next frame
  uint8_t buffer_[kMaxFrameBytes];
};

}  // namespace vqled
