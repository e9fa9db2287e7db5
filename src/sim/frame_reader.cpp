#include "sim/frame_reader.h"

namespace vqled {

namespace {
constexpr uint8_t kCountedMark = 0xCC;
constexpr uint8_t kSettingsMark = 0xCD;
constexpr uint8_t kShortMark = 0xBB;
constexpr uint8_t kEndDateLength = 4;
constexpr uint8_t kEndDateCode = 0x5E;
}  // namespace

FrameReader::FrameReader(int maxDataLength) : maxDataLength_(maxDataLength) {}

// Drops the event handed out last and begins the frame whose 0xAA ended it.
void FrameReader::Recycle() {
  if (pendingLength_ > 0) {
    length_ = 0;
    pendingLength_ = 0;
  }
  if (restartPending_) {
    restartPending_ = false;
    Append(kFrameStart);
    state_ = STATE_FORM;
  }
}

ReaderEvent FrameReader::Take(ReaderEventKind kind, BadFrameReason reason) {
  pendingLength_ = length_;
  ReaderEvent event;
  event.kind = kind;
  event.form = form_;
  event.reason = reason;
  event.bytes = buffer_;
  event.length = length_;
  return event;
}

// A frame broke off at byte: the frame so far is bad; a 0xAA starts the next one.
ReaderEvent FrameReader::BreakOff(uint8_t byte, BadFrameReason reason) {
  if (byte == kFrameStart) {
    restartPending_ = true;
  } else {
    Append(byte);
  }
  state_ = STATE_IDLE;
  return Take(EVENT_BAD, reason);
}

ReaderEvent FrameReader::Idle(uint8_t byte) {
  if (byte == kFrameStart) {
    if (length_ > 0) {  // a garbage run ends where a frame starts
      restartPending_ = true;
      return Take(EVENT_GARBAGE, BAD_NONE);
    }
    Append(byte);
    state_ = STATE_FORM;
    return {};
  }
  Append(byte);
  return length_ == kMaxFrameBytes ? Take(EVENT_GARBAGE, BAD_NONE) : ReaderEvent{};
}

ReaderEvent FrameReader::Form(uint8_t byte) {
  if (byte == kFrameStart) {  // AA AA: the first was stray, the second starts a frame
    restartPending_ = true;
    state_ = STATE_IDLE;
    return Take(EVENT_GARBAGE, BAD_NONE);
  }
  Append(byte);
  switch (byte) {
    case kCountedMark:
      form_ = FORM_COUNTED;
      state_ = STATE_LENGTH;
      break;
    case kSettingsMark:
      form_ = FORM_SETTINGS;
      state_ = STATE_LENGTH;
      break;
    case kShortMark:
      form_ = FORM_SHORT;
      state_ = STATE_LENGTH;
      break;
    default:
      form_ = FORM_SIZED;
      state_ = STATE_SIZE_LOW;
      break;
  }
  return {};
}

ReaderEvent FrameReader::End(uint8_t byte) {
  if (byte != kFrameEnd) return BreakOff(byte, BAD_NO_END);
  Append(byte);
  const bool endDate =
      form_ == FORM_COUNTED && buffer_[2] == kEndDateLength && buffer_[3] == kEndDateCode;
  state_ = endDate ? STATE_TRAILER : STATE_IDLE;
  trailer_ = kEndDateTrailer;
  return Take(EVENT_FRAME, BAD_NONE);
}

ReaderEvent FrameReader::Push(uint8_t byte) {
  Recycle();
  switch (state_) {
    case STATE_TRAILER:
      if (byte == 0) {
        if (--trailer_ == 0) state_ = STATE_IDLE;
        return {};
      }
      state_ = STATE_IDLE;
      return Idle(byte);
    case STATE_IDLE:
      return Idle(byte);
    case STATE_FORM:
      return Form(byte);
    case STATE_LENGTH:
      Append(byte);
      remaining_ = byte;
      state_ = remaining_ > 0 ? STATE_BODY : STATE_END;
      return {};
    case STATE_SIZE_LOW: {
      Append(byte);
      remaining_ = buffer_[1] * 256 + byte;
      if (remaining_ == 0 || remaining_ > maxDataLength_) {
        state_ = STATE_IDLE;
        return Take(EVENT_BAD, BAD_LENGTH);
      }
      state_ = STATE_BODY;
      return {};
    }
    case STATE_BODY:
      Append(byte);
      if (--remaining_ == 0) state_ = STATE_END;
      return {};
    case STATE_END:
      return End(byte);
  }
  return {};
}

ReaderEvent FrameReader::Flush() {
  Recycle();
  if (InFrame()) {
    state_ = STATE_IDLE;
    return Take(EVENT_BAD, BAD_INCOMPLETE);
  }
  state_ = STATE_IDLE;
  return length_ > 0 ? Take(EVENT_GARBAGE, BAD_NONE) : ReaderEvent{};
}

}  // namespace vqled
