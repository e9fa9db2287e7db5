// The controller's side of the protocol for one model, as a pure state machine
// over the host's frames: no line, no clock. It answers each frame as a
// controller does, checks that the frame's form fits the model and the moment
// of the transaction, keeps the received images, and applies the injected
// faults. SimController drives it from the line.
//
// Replies, by what the host sent:
//
// | Host sends                               | Controller answers                         |
// |------------------------------------------|--------------------------------------------|
// | download probe 7F                        | present (8F, or 7F); on VQ-M28 7E BH BL    |
// | settings probe 3F                        | present (8F, or 7F)                        |
// | clock probe 4F / end-date probe 5F       | 4E / 5E                                    |
// | erase 9F (value = area)                  | 3C (or 9E); a new image for the area       |
// | data block k                             | AA (or AE); FE when its length is wrong    |
// | end of data DD or DF                     | DD: the image is stored                    |
// | finish EE, controller type               | nothing                                    |
// | clock / end date frame                   | 4D / 5D                                    |
// | a frame that does not fit                | FE while blocks are due, otherwise nothing |
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "link/link_frames.h"
#include "model/model_profile.h"
#include "sim/host_frame.h"

namespace vqled {

// Which codes the controller answers with where it has a choice.
struct SimReplies {
  uint8_t present = RPL_PRESENT;        // to a download or settings probe: 8F or 7F
  uint8_t erased = RPL_ERASED;          // to an erase: 3C or 9E
  uint8_t blockAck = RPL_BLOCK_ACK_AA;  // to a block: AA or AE
  int reportedBlockSize = -1;           // the block size a 7E reply carries; -1: the model's
};

// Faults to inject. Frames count from 1 over the whole run, blocks from 0 in
// each image.
struct SimFaults {
  bool silent = false;       // answer nothing at all
  int silentAfterFrame = 0;  // answer the first N frames only (0: no limit)
  int blockFaultIndex = -1;  // answer this block (once) with blockFaultReply, dropping it
  uint8_t blockFaultReply = RPL_RECEIVE_ERROR;  // FE, FF or 55
  bool wrongModel = false;                      // answer download probes with 7E whatever the model
  int garbageAtFrame = 0;                       // answer frame N with garbage instead of its reply
  int hangUpAtFrame = 0;  // hang up the line when frame N comes, without answering
};

// The bytes of one image as the controller received them.
struct SimImage {
  int area = 0;           // 0..19; -1 for the settings image
  bool complete = false;  // the end of data came
  int frameCount = -1;    // FH FL of the erase command on long-command models
  std::vector<uint8_t> bytes;
};

struct SimReceived {
  std::optional<SimImage> settings;  // the settings image
  bool hasClock = false;
  uint8_t clock[kClockFields] = {};  // YY MO DD HH MI SS
  bool hasEndDate = false;
  uint8_t endDate[3] = {};  // YY MO DD
  int controllerType = -1;  // X of the controller-type frame
};

struct SimStats {
  int frames = 0;       // well-formed frames received
  int badFrames = 0;    // frames that broke off
  int garbageRuns = 0;  // runs of bytes outside any frame
  int errors = 0;       // frames that do not fit the model or the transaction
  int replies = 0;
  int blocks = 0;        // blocks taken into an image
  int imagesStored = 0;  // ends of data answered with DD
  int finishes = 0;      // finish commands
  int clocksSet = 0;
  int endDatesSet = 0;
  int controllerTypes = 0;
  int transactionsEnded = 0;  // finishes, clocks, end dates and controller types
  int lineOpens = 0;          // times the host was seen to open the line (a close and a
                              // reopen quicker than the controller looks count once)
  bool hungUp = false;        // a hang-up fault closed the line
  bool serving = false;
};

constexpr int kMaxReplyBytes = 16;
constexpr int kNothingStored = -2;

struct SimReply {
  uint8_t bytes[kMaxReplyBytes] = {};
  int count = 0;
  bool hangUp = false;          // close the line instead of answering
  int stored = kNothingStored;  // the image the frame completed: an area, or -1 for settings
};

constexpr int kNoteCapacity = 160;

class ControllerSession {
 public:
  ControllerSession(const ModelProfile& profile, const SimReplies& replies,
                    const SimFaults& faults);

  SimReply OnFrame(const HostFrame& frame);
  SimReply OnBadFrame(BadFrameReason reason);
  void OnGarbage();
  // The host closed the line: whatever transaction ran is over.
  void OnLineClosed();

  // What the last call made of its input, for the frame log ("" for nothing).
  const char* Note() const { return note_; }
  // The longest block the controller takes: the model's, or what a 7E reply said.
  int BlockSize() const { return blockSize_; }
  std::optional<SimImage> Image(int area) const;
  const SimReceived& Received() const { return received_; }
  SimStats& Stats() { return stats_; }
  const SimStats& Stats() const { return stats_; }

 private:
  enum Phase : uint8_t { PHASE_IDLE, PHASE_PRESENT, PHASE_BLOCKS, PHASE_DATA_ENDED };

  SimReply Act(const HostFrame& frame);
  SimReply Command(const HostFrame& frame);
  SimReply Probe(const HostFrame& frame);
  SimReply Erase(const HostFrame& frame);
  SimReply Block(const HostFrame& frame);
  SimReply DataEnd(const HostFrame& frame);
  SimReply Finish();
  SimReply Clock(const HostFrame& frame);
  SimReply ControllerType(const HostFrame& frame);
  SimReply Error(const char* what);
  bool FormFits(const HostFrame& frame) const;
  bool TakesAsBlock(const HostFrame& frame) const;
  SimImage* Target();
  SimReply EndTransaction(uint8_t code);
  void SetNote(const char* format, ...) __attribute__((format(printf, 2, 3)));

  ModelProfile profile_;
  SimReplies replies_;
  SimFaults faults_;
  int blockSize_;
  Phase phase_ = PHASE_IDLE;
  bool settingsTarget_ = false;  // the transaction carries the settings image
  int area_ = 0;                 // the area being received
  int blockIndex_ = 0;           // blocks taken into the current image
  bool lastBlockShort_ = false;  // the block taken last was shorter than the block size
  bool blockFaultFired_ = false;
  std::optional<SimImage> images_[kAreaCount];
  SimReceived received_;
  SimStats stats_;
  char note_[kNoteCapacity] = {};
};

// "AA CC 02 7F 00 55": bytes as upper-case hex pairs separated by blanks,
// written into out (capacity at least 3 * count + 1).
void BytesToHex(const uint8_t* bytes, int count, char* out);

}  // namespace vqled
