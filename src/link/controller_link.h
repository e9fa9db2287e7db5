// The controller link: the reply-driven transactions that download areas and
// send the settings, clock, end date and controller type to a controller over
// one serial port. It owns the transaction state and the port; everything the
// user sees goes through the host's roles.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "files/area_image.h"
#include "link/controller_settings.h"
#include "link/link_frames.h"
#include "link/link_host.h"
#include "link/link_port.h"
#include "model/model_profile.h"
#include "model/pattern_store.h"
#include "model/text.h"

namespace vqled {

constexpr int kDownloadProbeIntervalMs = 1000;
constexpr int kSettingsProbeIntervalMs = 500;
constexpr int kWatchdogIntervalMs = 1000;
constexpr int kWatchdogLimitSeconds = 3;
constexpr int kMaxProbes = 10;  // the eleventh probe gives up
constexpr int kCloseWaitMs = 500;

// Builds the download image of an area into the buffer for the selected model
// and sets its imageLast (EncodeDownloadImage with the form's encoder inputs).
using DownloadEncoder = std::function<Outcome(int area, ImageBuffer& image)>;

class ControllerLink {
 public:
  // store, profile and image are the window's own; the link reads the model
  // and the areas from them, may replace profile.blockSize (VQ-M28) and sends
  // image[0..imageLast].
  ControllerLink(LinkHost host, std::unique_ptr<LinkPort> port, PatternStore& store,
                 ModelProfile& profile, ImageBuffer& image, DownloadEncoder encoder);
  ControllerLink(const ControllerLink&) = delete;
  ControllerLink& operator=(const ControllerLink&) = delete;
  ~ControllerLink();

  // Window events.
  void BitBtn5Click();  // all areas
  // Current area: the status says so before readEdit6 reads the loop count,
  // which may raise the conversion error of a text that is no number.
  void BitBtn7Click(const std::function<int()>& readEdit6);
  void BitBtn7Click(int loopCount);         // Edit6's integer already read
  void Button5Click(SettingsPanel& panel);  // defaults the trigger rows in panel
  void BitBtn18Click();                     // clock
  void BitBtn19Click();                     // end date, after the day-count check
  void BitBtn16Click(bool carController);   // controller type
  void DataTimeTimer();
  void Timer1Timer();
  void Timer5Timer();
  // The posted receive notification for port number `port`.
  void OnCommReceive(uint32_t port);

  // Transaction steps, public for the window and for tests.
  void OpenControllerPort();
  void SendCommand(uint8_t code, int value);
  void SendBlock(int k);
  void HandleReply(const uint8_t* bytes, int count);
  void ArmWatchdog();
  void EndTransaction();
  void StartAreaDownload(int area);
  void StartProbing();
  void StartSettingsTransaction(int mode);

  LinkPort& port() { return *port_; }

  // True while a transaction may still send from the image buffer: the port
  // is open and a reply is awaited. The window refuses what would change the
  // image or the areas being sent meanwhile.
  bool Busy() const { return port_->IsOpen() && replyExpected_; }

  // Transaction state, as the link drives it.
  int linkMode() const { return linkMode_; }
  int sendArea() const { return sendArea_; }
  bool replyExpected() const { return replyExpected_; }
  bool awaitingPresence() const { return awaitingPresence_; }
  bool awaitingErase() const { return awaitingErase_; }
  bool lastBlockSent() const { return lastBlockSent_; }
  bool allAreasMode() const { return allAreasMode_; }
  int blockIndex() const { return blockIndex_; }
  int prevBlockIndex() const { return prevBlockIndex_; }
  int probeCount() const { return probeCount_; }
  int64_t watchdogStamp() const { return watchdogStamp_; }
  bool dataEndSent() const { return dataEndSent_; }
  const char* dayCountText() const { return dayCountText_; }  // Label138 as last shown

 private:
  void ActOnReply(const uint8_t* bytes, int count);
  void OnPresent(const Text& status, uint8_t nextCode);
  void HoldPresentM28(const uint8_t* bytes, int count);
  void CompletePresentM28(const uint8_t* bytes, int count);
  void OnPresentM28(const uint8_t* reply);
  void OnEraseReply(bool erased);
  void OnBlockAck(uint8_t code);
  void OnStored();
  void OnDateStored(const Text& status);
  void OnSendError();
  void OnReceiveError();
  void OnReturnError();
  void GiveUpProbing();
  void AwaitReplies();
  void FailIncompleteReply();
  void GiveControlsBack();
  void FailTransaction(const Text& message);
  void FailOnPortError(const CommError& error);
  void ClosePort();
  void WriteFrame(const uint8_t* bytes, int length);
  template <typename Step>
  void Guarded(Step step);

  LinkHost host_;
  int linkMode_ = LINK_DOWNLOAD;
  int sendArea_ = 0;
  bool replyExpected_ = false;
  bool awaitingPresence_ = false;
  bool awaitingErase_ = false;
  bool lastBlockSent_ = false;
  bool allAreasMode_ = false;
  int blockIndex_ = 0;
  int prevBlockIndex_ = 0;
  int probeCount_ = 0;
  int64_t watchdogStamp_ = 0;
  // The end-of-data command has gone out: only now does RPL_STORED mean the
  // area was stored.
  bool dataEndSent_ = false;
  char dayCountText_[16] = "00";
  std::unique_ptr<LinkPort> port_;
  PatternStore& store_;
  ModelProfile& profile_;
  ImageBuffer& image_;
  DownloadEncoder encoder_;
  // The first bytes of an RPL_PRESENT_M28 reply whose block size is still to
  // come in a later read; heldCount_ 0 when none is held.
  uint8_t held_[kPresentM28Length] = {};
  int heldCount_ = 0;
};

}  // namespace vqled
