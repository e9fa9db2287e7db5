#include "sim/controller_session.h"

#include <cstdarg>
#include <cstdio>

#include "model/model_catalogue.h"

namespace vqled {

namespace {

// Bytes that are no reply code, sent by the garbage fault.
constexpr uint8_t kGarbage[] = {0x13, 0x37, 0xC0, 0x01, 0x2A, 0x99, 0x6B, 0x00};
constexpr int kFrameCountHigh = 2;  // offsets of F in a canonical image header
constexpr int kFrameCountLow = 3;

SimReply Reply(uint8_t code) {
  SimReply reply;
  reply.bytes[0] = code;
  reply.count = 1;
  return reply;
}

const char* CodeName(uint8_t code) {
  switch (code) {
    case CMD_PROBE_DOWNLOAD:
      return "download probe";
    case CMD_PROBE_SETTINGS:
      return "settings probe";
    case CMD_PROBE_CLOCK:
      return "clock probe";
    case CMD_PROBE_END_DATE:
      return "end-date probe";
    case CMD_ERASE:
      return "erase";
    case CMD_DATA_END_AA:
    case CMD_DATA_END_AE:
      return "end of data";
    case CMD_FINISH:
      return "finish";
    default:
      return "unknown command";
  }
}

bool IsDataEnd(uint8_t code) {
  return code == CMD_DATA_END_AA || code == CMD_DATA_END_AE;
}

}  // namespace

void BytesToHex(const uint8_t* bytes, int count, char* out) {
  static const char kDigits[] = "0123456789ABCDEF";
  for (int i = 0; i < count; ++i) {
    *out++ = kDigits[bytes[i] >> 4];
    *out++ = kDigits[bytes[i] & 0x0F];
    if (i + 1 < count) *out++ = ' ';
  }
  *out = '\0';
}

ControllerSession::ControllerSession(const ModelProfile& profile, const SimReplies& replies,
                                     const SimFaults& faults)
    : profile_(profile), replies_(replies), faults_(faults), blockSize_(profile.blockSize) {}

void ControllerSession::SetNote(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vsnprintf(note_, sizeof note_, format, args);
  va_end(args);
}

std::optional<SimImage> ControllerSession::Image(int area) const {
  if (area < 0 || area >= kAreaCount) return std::nullopt;
  return images_[area];
}

SimReply ControllerSession::OnFrame(const HostFrame& frame) {
  const int number = ++stats_.frames;
  if (faults_.hangUpAtFrame == number) {
    SetNote("frame %d: hanging up the line", number);
    SimReply reply;
    reply.hangUp = true;
    return reply;
  }
  SimReply reply = Act(frame);
  const bool silent =
      faults_.silent || (faults_.silentAfterFrame > 0 && number > faults_.silentAfterFrame);
  if (silent) {
    reply.count = 0;
  } else if (faults_.garbageAtFrame == number) {
    reply.count = static_cast<int>(sizeof kGarbage);
    for (int i = 0; i < reply.count; ++i) reply.bytes[i] = kGarbage[i];
  }
  stats_.replies += reply.count > 0 ? 1 : 0;
  return reply;
}

SimReply ControllerSession::OnBadFrame(BadFrameReason reason) {
  ++stats_.badFrames;
  static const char* const kReasons[] = {"", "no 55 where the frame ends",
                                         "length 0 or above the largest block",
                                         "line quiet or closed inside the frame"};
  return Error(kReasons[reason]);
}

void ControllerSession::OnGarbage() {
  ++stats_.garbageRuns;
  SetNote("bytes outside any frame");
}

void ControllerSession::OnLineClosed() {
  if (phase_ == PHASE_BLOCKS && settingsTarget_) {
    SetNote("host closed the line during the blocks of the settings image");
  } else if (phase_ == PHASE_BLOCKS) {
    SetNote("host closed the line during the blocks of area %d", area_ + 1);
  } else {
    SetNote("host closed the line");
  }
  phase_ = PHASE_IDLE;
}

// Logs a frame that does not fit; a controller waiting for blocks says it
// received one badly.
SimReply ControllerSession::Error(const char* what) {
  ++stats_.errors;
  SetNote("error: %s", what);
  if (phase_ == PHASE_BLOCKS) return Reply(RPL_RECEIVE_ERROR);
  return {};
}

// The frame families of the model: AA BB on value kinds 0 and 2, AA CC 02 or
// (VQ-M20, VQ-M24) AA CC 04 commands and AA LH LL blocks on the others; AA CD
// settings frames, clock, end date and controller type on every model.
bool ControllerSession::FormFits(const HostFrame& frame) const {
  const bool shortKind = UsesShortFrames(profile_.valueKind);
  if (frame.kind == HOST_BLOCK) {
    if (frame.form == FORM_SETTINGS) return true;
    return shortKind == (frame.form == FORM_SHORT);
  }
  if (frame.kind != HOST_COMMAND) return true;
  switch (frame.commandForm) {
    case COMMAND_SHORT:
      return shortKind;
    case COMMAND_VALUE:
      return !shortKind && !profile_.longCommandFrames;
    case COMMAND_LONG:
      return !shortKind && profile_.longCommandFrames;
    case COMMAND_SETTINGS:
      return true;
  }
  return false;
}

// AA BB 01 x 55 is both a command and a one-byte block. While blocks are due
// and the last block was a full one, it is the end of data when x is DD or DF
// and a block otherwise; after a short block only commands can follow.
bool ControllerSession::TakesAsBlock(const HostFrame& frame) const {
  return frame.couldBeBlock && phase_ == PHASE_BLOCKS && !lastBlockShort_ && !IsDataEnd(frame.code);
}

SimReply ControllerSession::Act(const HostFrame& frame) {
  if (frame.kind == HOST_MALFORMED) return Error(frame.problem);
  if (!FormFits(frame)) return Error("frame form does not fit the model");
  switch (frame.kind) {
    case HOST_COMMAND:
      return TakesAsBlock(frame) ? Block(frame) : Command(frame);
    case HOST_BLOCK:
      return Block(frame);
    case HOST_CLOCK:
    case HOST_END_DATE:
      return Clock(frame);
    case HOST_CONTROLLER_TYPE:
      return ControllerType(frame);
    case HOST_MALFORMED:
      break;
  }
  return {};
}

SimReply ControllerSession::Command(const HostFrame& frame) {
  const bool probe = frame.code == CMD_PROBE_DOWNLOAD || frame.code == CMD_PROBE_SETTINGS ||
                     frame.code == CMD_PROBE_CLOCK || frame.code == CMD_PROBE_END_DATE;
  if (!probe && settingsTarget_ != (frame.commandForm == COMMAND_SETTINGS)) {
    return Error("command form does not fit the probe that began the transaction");
  }
  switch (frame.code) {
    case CMD_PROBE_DOWNLOAD:
    case CMD_PROBE_SETTINGS:
    case CMD_PROBE_CLOCK:
    case CMD_PROBE_END_DATE:
      return Probe(frame);
    case CMD_ERASE:
      return Erase(frame);
    case CMD_DATA_END_AA:
    case CMD_DATA_END_AE:
      return DataEnd(frame);
    case CMD_FINISH:
      return Finish();
    default:
      return Error("unknown command code");
  }
}

SimReply ControllerSession::Probe(const HostFrame& frame) {
  phase_ = PHASE_PRESENT;
  settingsTarget_ = frame.commandForm == COMMAND_SETTINGS;
  if (frame.code == CMD_PROBE_CLOCK || frame.code == CMD_PROBE_END_DATE) {
    SetNote("%s", CodeName(frame.code));
    return Reply(frame.code == CMD_PROBE_CLOCK ? RPL_CLOCK_READY : RPL_END_DATE_READY);
  }
  const bool reportsSize = frame.code == CMD_PROBE_DOWNLOAD &&
                           (profile_.modelIndex == kModelVQM28 || faults_.wrongModel);
  if (!reportsSize) {
    SetNote("%s (area %d)", CodeName(frame.code), frame.value);
    return Reply(replies_.present);
  }
  blockSize_ = replies_.reportedBlockSize >= 0 ? replies_.reportedBlockSize : profile_.blockSize;
  SetNote("%s (area %d): VQ-M28 with block size %d", CodeName(frame.code), frame.value, blockSize_);
  SimReply reply = Reply(RPL_PRESENT_M28);
  reply.bytes[1] = static_cast<uint8_t>(blockSize_ >> 8);
  reply.bytes[2] = static_cast<uint8_t>(blockSize_);
  reply.count = 3;
  return reply;
}

SimImage* ControllerSession::Target() {
  std::optional<SimImage>& slot = settingsTarget_ ? received_.settings : images_[area_];
  return slot ? &*slot : nullptr;
}

SimReply ControllerSession::Erase(const HostFrame& frame) {
  const int area = frame.value < 0 ? 0 : frame.value;
  if (!settingsTarget_ && area >= kAreaCount) return Error("erase of an area beyond 20");
  const bool probed = phase_ == PHASE_PRESENT;
  if (!probed) ++stats_.errors;
  area_ = settingsTarget_ ? -1 : area;
  std::optional<SimImage>& slot = settingsTarget_ ? received_.settings : images_[area];
  if (!slot) slot.emplace();
  slot->area = area_;
  slot->complete = false;
  slot->frameCount = frame.frameCount;
  slot->bytes.clear();
  phase_ = PHASE_BLOCKS;
  blockIndex_ = 0;
  lastBlockShort_ = false;
  const char* unprobed = probed ? "" : " (error: without a probe)";
  if (settingsTarget_) {
    SetNote("erase of the settings%s", unprobed);
  } else {
    SetNote("erase of area %d%s", area + 1, unprobed);
  }
  return Reply(replies_.erased);
}

SimReply ControllerSession::Block(const HostFrame& frame) {
  if (phase_ != PHASE_BLOCKS) return Error("block without an erase");
  if (settingsTarget_ != (frame.form == FORM_SETTINGS)) {
    return Error("block form does not fit the transaction");
  }
  const int length = frame.couldBeBlock ? 1 : frame.dataLength;
  const uint8_t* data = frame.couldBeBlock ? &frame.code : frame.data;
  if (lastBlockShort_) return Error("block after the last block");
  if (length > blockSize_) return Error("block longer than the block size");
  if (faults_.blockFaultIndex == blockIndex_ && !blockFaultFired_) {
    blockFaultFired_ = true;
    SetNote("block %d: %d bytes, answered %02X as asked", blockIndex_, length,
            faults_.blockFaultReply);
    return Reply(faults_.blockFaultReply);
  }
  Target()->bytes.insert(Target()->bytes.end(), data, data + length);
  SetNote("block %d: %d bytes", blockIndex_, length);
  ++blockIndex_;
  ++stats_.blocks;
  lastBlockShort_ = length < blockSize_;
  return Reply(replies_.blockAck);
}

SimReply ControllerSession::DataEnd(const HostFrame& frame) {
  if (phase_ != PHASE_BLOCKS || blockIndex_ == 0) return Error("end of data without blocks");
  SimImage& image = *Target();
  if (!settingsTarget_ && frame.value >= 0 && frame.value != area_) {
    return Error("end of data names another area than the erase");
  }
  const uint8_t expected =
      replies_.blockAck == RPL_BLOCK_ACK_AE ? CMD_DATA_END_AE : CMD_DATA_END_AA;
  if (frame.code != expected) return Error("end-of-data code does not follow the block ack");
  if (frame.frameCount >= 0 && HasCanonicalImage(profile_.valueKind) &&
      static_cast<int>(image.bytes.size()) > kFrameCountLow &&
      frame.frameCount != image.bytes[kFrameCountHigh] * 256 + image.bytes[kFrameCountLow]) {
    return Error("frame count of the command differs from the image's");
  }
  image.complete = true;
  phase_ = PHASE_DATA_ENDED;
  ++stats_.imagesStored;
  if (settingsTarget_) {
    SetNote("settings image stored: %zu bytes", image.bytes.size());
  } else {
    SetNote("area %d stored: %zu bytes in %d blocks", area_ + 1, image.bytes.size(), blockIndex_);
  }
  SimReply reply = Reply(RPL_STORED);
  reply.stored = area_;
  return reply;
}

SimReply ControllerSession::EndTransaction(uint8_t code) {
  phase_ = PHASE_IDLE;
  ++stats_.transactionsEnded;
  if (code == 0) return {};
  return Reply(code);
}

SimReply ControllerSession::Finish() {
  if (phase_ != PHASE_DATA_ENDED) return Error("finish before the data was stored");
  ++stats_.finishes;
  SetNote("finish");
  return EndTransaction(0);
}

SimReply ControllerSession::Clock(const HostFrame& frame) {
  if (frame.kind == HOST_CLOCK) {
    received_.hasClock = true;
    for (int i = 0; i < kClockFields; ++i) received_.clock[i] = frame.clock[i];
    ++stats_.clocksSet;
    SetNote("clock 20%02d-%02d-%02d %02d:%02d:%02d", frame.clock[0], frame.clock[1], frame.clock[2],
            frame.clock[3], frame.clock[4], frame.clock[5]);
    return EndTransaction(RPL_CLOCK_SET);
  }
  received_.hasEndDate = true;
  for (int i = 0; i < 3; ++i) received_.endDate[i] = frame.clock[i];
  ++stats_.endDatesSet;
  SetNote("end date 20%02d-%02d-%02d", frame.clock[0], frame.clock[1], frame.clock[2]);
  return EndTransaction(RPL_END_DATE_SET);
}

SimReply ControllerSession::ControllerType(const HostFrame& frame) {
  received_.controllerType = frame.controllerType;
  ++stats_.controllerTypes;
  SetNote("controller type %02X (%s)", frame.controllerType,
          frame.controllerType == 0xFF   ? "car-light controller"
          : frame.controllerType == 0xEE ? "normal controller"
                                         : "unknown type");
  return EndTransaction(0);
}

}  // namespace vqled
