#include "link/controller_link.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "link/serial_ports.h"

namespace vqled {
namespace {

Text Same(const char* text) {
  return {text, text};
}
Text Number(int value) {
  return Same(std::to_string(value).c_str());
}

const Text kOneSend{"當前區發送", "one send"};
const Text kNotFound{"沒有檢測到控制器，請確認硬體連接", "Not Find pls check connt"};
const Text kErrCaption{"出錯", "ERR"};

// The port number a "COMn" text names, or the text itself: a device path, or
// a port outside 1 to 1024 as the user typed it.
std::string PortLogLine(std::string_view portText) {
  uint32_t number = 0;
  return ParseComNumber(portText, &number) && ComNumberInRange(number) ? std::to_string(number)
                                                                       : std::string(portText);
}

}  // namespace

ControllerLink::ControllerLink(LinkHost host, std::unique_ptr<LinkPort> port, PatternStore& store,
                               ModelProfile& profile, ImageBuffer& image, DownloadEncoder encoder)
    : host_(host),
      port_(std::move(port)),
      store_(store),
      profile_(profile),
      image_(image),
      encoder_(std::move(encoder)) {}

ControllerLink::~ControllerLink() {
  try {
    if (port_->IsOpen()) port_->Close(kCloseWaitMs);
  } catch (const CommError&) {
    // Nothing to report to at destruction; the port layer has closed the device.
  }
}

template <typename Step>
void ControllerLink::Guarded(Step step) {
  try {
    step();
  } catch (const CommError& error) {
    FailOnPortError(error);
  }
}

// ---- Starters -------------------------------------------------------------

void ControllerLink::BitBtn5Click() {
  Guarded([&] {
    host_.status.SetStatus({"全區發送", "All Send"});
    allAreasMode_ = true;
    sendArea_ = 0;
    StartAreaDownload(0);
  });
}

void ControllerLink::BitBtn7Click(const std::function<int()>& readEdit6) {
  host_.status.SetStatus(kOneSend);
  const int loopCount = readEdit6();
  allAreasMode_ = false;
  Guarded([&] {
    store_.playSettings[store_.currentArea].loopCount = loopCount;
    StartAreaDownload(store_.currentArea);
  });
}

void ControllerLink::BitBtn7Click(int loopCount) {
  BitBtn7Click([loopCount] { return loopCount; });
}

void ControllerLink::StartAreaDownload(int area) {
  host_.busy.SetControlEnabled(CONTROL_EDITING_GROUPS, false);
  host_.status.SetAreaLabel(Number(area));
  ComputeAreaLength(store_, area);
  host_.status.SetStatus(Number(area));
  sendArea_ = area;
  linkMode_ = LINK_DOWNLOAD;
  OpenControllerPort();
  host_.status.SetLastReply("");
  if (!port_->IsOpen()) {
    host_.busy.SetControlEnabled(CONTROL_EDITING_GROUPS, true);
    host_.busy.LinkStopped();
    return;
  }
  host_.status.SetStatus(kOneSend);
  const Outcome built = encoder_(area, image_);
  if (!built.ok) {
    // The editing controls are already disabled and the port is open: give
    // both back before telling the user why nothing was sent.
    FailTransaction(built.message);
    return;
  }
  host_.status.ClearLog();
  AwaitReplies();
  host_.status.SetStatus(kOneSend);
  if (host_.settings.DebugImageWanted()) {
    replyExpected_ = false;
    GiveControlsBack();  // the image went to the debug file; the port stays open
    host_.busy.LinkStopped();
    return;
  }
  StartProbing();
  host_.busy.SetControlEnabled(CONTROL_BITBTN7, false);
  host_.busy.SetControlEnabled(CONTROL_COMBOBOX5, false);
}

void ControllerLink::StartProbing() {
  host_.timers.StartTimer(TIMER_1, kDownloadProbeIntervalMs);
  host_.status.SetStatus({"开始处理花样", "start send...."});
  probeCount_ = 0;
}

void ControllerLink::Button5Click(SettingsPanel& panel) {
  Guarded([&] {
    uint8_t settings[kSettingsImageLength];
    BuildSettingsImage(panel, settings);
    std::memcpy(image_.entry, settings, sizeof settings);
    image_.imageLast = kSettingsImageLength - 1;
    host_.settings.SaveConfig();
    StartSettingsTransaction(LINK_SETTINGS);
  });
}

void ControllerLink::BitBtn18Click() {
  Guarded([&] { StartSettingsTransaction(LINK_CLOCK); });
}

void ControllerLink::BitBtn19Click() {
  // Label138 compared as text: a count starting with "-" is below "0".
  if (std::strcmp(dayCountText_, "0") >= 0) {
    Guarded([&] { StartSettingsTransaction(LINK_END_DATE); });
    return;
  }
  host_.status.ShowMessage(Same("间隔天数小于0天不符合大于等于0天的要求！"), Same("error"));
  host_.busy.LinkStopped();
}

void ControllerLink::StartSettingsTransaction(int mode) {
  OpenControllerPort();
  if (!port_->IsOpen()) {
    host_.busy.LinkStopped();
    return;
  }
  linkMode_ = mode;
  host_.busy.SetControlEnabled(CONTROL_BITBTN7, false);
  host_.busy.SetControlEnabled(CONTROL_COMBOBOX5, false);
  host_.timers.StartTimer(TIMER_1, kSettingsProbeIntervalMs);
  AwaitReplies();
}

// The transaction state of a start: every reply of the transaction is still
// to come, and nothing of an earlier transaction's replies is held.
void ControllerLink::AwaitReplies() {
  awaitingErase_ = true;
  replyExpected_ = true;
  lastBlockSent_ = false;
  awaitingPresence_ = true;
  blockIndex_ = 0;
  prevBlockIndex_ = 0;
  dataEndSent_ = false;
  heldCount_ = 0;
}

void ControllerLink::BitBtn16Click(bool carController) {
  Guarded([&] {
    OpenControllerPort();
    if (!port_->IsOpen()) {
      host_.busy.LinkStopped();
      return;
    }
    uint8_t frame[kControllerTypeFrameLength];
    BuildControllerTypeFrame(carController, frame);
    WriteFrame(frame, kControllerTypeFrameLength);
    port_->Drain();
    ClosePort();
    host_.busy.SetLinkLamp(false);
    host_.status.SetStatus(Same("setup send ok "));
    host_.busy.LinkStopped();
  });
}

void ControllerLink::DataTimeTimer() {
  const LocalTime now = host_.clock.LocalNow();
  char clock[kClockTextCapacity + 1];
  FormatClockText(now, clock);
  host_.status.SetClockText(clock);
  std::snprintf(dayCountText_, sizeof dayCountText_, "%d", DayCount(now, host_.settings.EndDate()));
  host_.status.SetDayCount(dayCountText_);
}

// ---- Port -----------------------------------------------------------------

void ControllerLink::OpenControllerPort() {
  if (port_->IsOpen()) {
    ClosePort();
    if (port_->IsOpen()) return;
  }
  host_.status.ClearLog();
  port_->SetNotifyTarget([this](uint32_t port) { host_.timers.PostReceive(port); });
  const std::string device(host_.settings.PortText());
  host_.status.AddLogLine(PortLogLine(device));
  host_.busy.SetLinkLamp(true);
  host_.progress.SetProgress(1);
  try {
    port_->OpenDevice(device);
  } catch (const CommError& error) {
    host_.progress.SetProgress(0);
    host_.busy.SetLinkLamp(false);
    Text text{"打开串口出错，确认是否占用或重复打开该串口", "open serial port err "};
    const Text& detail = error.userMessage();
    if (!detail.empty()) {
      text.zh += "：" + detail.zh;
      text.en += detail.en;
    }
    host_.status.ShowMessage(text, {"串口出错", "serial port"});
  }
}

// Close purges what has not left the port; a frame that must reach the
// controller (the finish, the controller type) is drained before this.
void ControllerLink::ClosePort() {
  if (!port_->IsOpen()) return;
  try {
    port_->Close(kCloseWaitMs);
  } catch (const CommError&) {
    // Close releases the device in any case.
  }
}

void ControllerLink::WriteFrame(const uint8_t* bytes, int length) {
  port_->Write(bytes, length);
}

void ControllerLink::OnCommReceive(uint32_t port) {
  Guarded([&] {
    if (!port_->IsOpen() || port != port_->PortNumber()) return;
    uint8_t chunk[kMaxReplyChunk + 1] = {};
    int count = port_->Read(chunk, kMaxReplyChunk);
    if (count < 0) count = 0;
    if (count > kMaxReplyChunk) count = kMaxReplyChunk;
    chunk[count] = 0;
    HandleReply(chunk, count);
  });
}

// ---- Frames ---------------------------------------------------------------

void ControllerLink::SendCommand(uint8_t code, int value) {
  if (!port_->IsOpen()) return;
  FrameContext context;
  context.linkMode = linkMode_;
  context.valueKind = profile_.valueKind;
  context.longCommandFrames = profile_.longCommandFrames;
  context.frameCountHigh = image_.frameCountHigh;
  context.frameCountLow = image_.frameCountLow;
  if (linkMode_ == LINK_CLOCK && code == CMD_CLOCK_DATA) context.now = host_.clock.LocalNow();
  if (linkMode_ == LINK_END_DATE && code == CMD_END_DATE_DATA)
    context.endDate = host_.settings.EndDate();
  uint8_t frame[kCommandFrameCapacity];
  WriteFrame(frame, BuildControllerFrame(context, code, value, frame));
}

void ControllerLink::SendBlock(int k) {
  const int blockSize = profile_.blockSize;
  if (blockSize < 1 || blockSize > kMaxBlockSize) {
    FailTransaction({"数据块大小 " + std::to_string(blockSize) + " 无效（应为 1 到 2043）",
                     "block size " + std::to_string(blockSize) + " is outside 1 to 2043"});
    return;
  }
  replyExpected_ = false;
  const int64_t first = static_cast<int64_t>(k) * blockSize;
  const int imageLast = image_.imageLast;
  int len = blockSize;
  lastBlockSent_ = imageLast < first + blockSize;
  if (lastBlockSent_) len = imageLast - first + 1 > 0 ? static_cast<int>(imageLast - first + 1) : 0;
  if (port_->IsOpen()) {
    uint8_t frame[kDataFrameCapacity];
    WriteFrame(frame,
               BuildDataFrame(linkMode_, profile_.valueKind, image_.entry + first, len, frame));
  }
  replyExpected_ = true;
  const int64_t sent = (first + blockSize) * 100;
  host_.progress.SetProgress(
      imageLast > 0 && sent / imageLast < 100 ? static_cast<int>(sent / imageLast) : 100);
}

// ---- Replies --------------------------------------------------------------

void ControllerLink::HandleReply(const uint8_t* bytes, int count) {
  char hex[kReplyHexCapacity];
  ReplyToHex(bytes, count, hex);
  host_.status.AddLogLine(hex);
  host_.status.SetLastReply(hex);
  if (!replyExpected_ || count <= 0) return;
  Guarded([&] {
    if (heldCount_ > 0) {
      CompletePresentM28(bytes, count);
    } else {
      ActOnReply(bytes, count);
    }
  });
}

void ControllerLink::ActOnReply(const uint8_t* bytes, int count) {
  const uint8_t code = bytes[0];
  switch (code) {
    case RPL_PRESENT:
      if (awaitingPresence_)
        OnPresent({"检测到控制器 删除原花样", "cheked del old run"}, CMD_ERASE);
      break;
    case RPL_PRESENT_ALT:
      if (awaitingPresence_) OnPresent(Same("connt ok !"), CMD_ERASE);
      break;
    case RPL_PRESENT_M28:
      if (count < kPresentM28Length) {
        HoldPresentM28(bytes, count);
      } else {
        OnPresentM28(bytes);
      }
      break;
    case RPL_CLOCK_READY:
    case RPL_END_DATE_READY:
      if (awaitingPresence_) OnPresent({"检测到控制器 正在发送时钟数据...", "cheked OK"}, code);
      break;
    case RPL_ERASE_ACK:
    case RPL_ERASED:
      if (awaitingErase_) OnEraseReply(code == RPL_ERASED);
      break;
    case RPL_BLOCK_ACK_AE:
    case RPL_BLOCK_ACK_AA:
      OnBlockAck(code);
      break;
    case RPL_CLOCK_SET:
      OnDateStored(Same("Syn Time Send OK !!!!"));
      break;
    case RPL_END_DATE_SET:
      OnDateStored(Same("Set End Date Send OK !!!!"));
      break;
    case RPL_SEND_ERROR:
      OnSendError();
      break;
    case RPL_RECEIVE_ERROR:
      OnReceiveError();
      break;
    case RPL_STORED:
      OnStored();
      break;
    case RPL_RETURN_ERROR:
      OnReturnError();
      break;
    default:
      break;  // only logged
  }
}

// A probe was answered: stop probing and send the next command of the
// transaction (the erase, or the clock or end-date frame).
void ControllerLink::OnPresent(const Text& status, uint8_t nextCode) {
  host_.timers.StopTimer(TIMER_1);
  probeCount_ = 0;
  awaitingPresence_ = false;
  host_.status.SetStatus(status);
  SendCommand(nextCode, nextCode == CMD_ERASE ? sendArea_ : 0);
  ArmWatchdog();
}

// A read ended inside an RPL_PRESENT_M28 reply: the controller has answered,
// so probing stops, and the rest of the reply is awaited under the watchdog.
void ControllerLink::HoldPresentM28(const uint8_t* bytes, int count) {
  std::memcpy(held_, bytes, static_cast<size_t>(count));
  heldCount_ = count;
  host_.timers.StopTimer(TIMER_1);
  ArmWatchdog();
}

// The next read continues the held reply; once its three bytes are there
// it is acted on, and the rest of the read belongs to it.
void ControllerLink::CompletePresentM28(const uint8_t* bytes, int count) {
  const int taken = std::min(count, kPresentM28Length - heldCount_);
  std::memcpy(held_ + heldCount_, bytes, static_cast<size_t>(taken));
  heldCount_ += taken;
  if (heldCount_ < kPresentM28Length) return;
  heldCount_ = 0;
  OnPresentM28(held_);
}

// reply holds the three bytes of RPL_PRESENT_M28.
void ControllerLink::OnPresentM28(const uint8_t* reply) {
  if (profile_.modelIndex != kModelVQM28) {
    host_.status.SetStatus(Same("控制器型号错误请重新发送！"));
    host_.settings.SwitchToModelVQM28();
    host_.busy.SetControlEnabled(CONTROL_COMBOBOX5, true);
    host_.progress.SetProgress(0);
    host_.timers.StopTimer(TIMER_1);
    host_.timers.StopTimer(TIMER_5);
    host_.busy.SetControlEnabled(CONTROL_BITBTN7, true);
    host_.busy.SetControlEnabled(CONTROL_BITBTN5, true);
    host_.busy.LinkStopped();
    return;
  }
  const int reported = reply[1] * 256 + reply[2];
  if (reported < 1 || reported > kMaxBlockSize) {
    // A data frame holds at most 2043 image bytes, and a block of 0 would
    // never end the image: refuse rather than send frames that cannot work.
    const std::string n = std::to_string(reported);
    FailTransaction(
        {"控制器报告的数据块大小 " + n + " 无效（应为 1 到 2043），未发送",
         "the controller reported a block size of " + n + ", outside 1 to 2043; nothing was sent"});
    return;
  }
  profile_.blockSize = reported;
  host_.timers.StopTimer(TIMER_1);
  watchdogStamp_ = host_.clock.NowSeconds();
  awaitingPresence_ = false;
  host_.timers.StartTimer(TIMER_5, kWatchdogIntervalMs);
  host_.status.SetStatus(Same("连接成功准备檫除原花样分区！"));
  SendCommand(CMD_ERASE, sendArea_);
}

void ControllerLink::OnEraseReply(bool erased) {
  host_.progress.SetProgress(14);
  if (!erased) {
    ArmWatchdog();
    if (blockIndex_ == 0) SendBlock(0);
    return;
  }
  awaitingErase_ = false;
  if (blockIndex_ == 0) SendBlock(0);
  host_.status.SetStatus({"删除原花样成功", "del old run ,setart send"});
  ArmWatchdog();
}

void ControllerLink::OnBlockAck(uint8_t code) {
  host_.status.SetStatus(Number(blockIndex_));
  watchdogStamp_ = host_.clock.NowSeconds();
  if (lastBlockSent_) {
    SendCommand(code == RPL_BLOCK_ACK_AE ? CMD_DATA_END_AE : CMD_DATA_END_AA, sendArea_);
    dataEndSent_ = true;
  } else {
    prevBlockIndex_ = blockIndex_;
    ++blockIndex_;
    SendBlock(blockIndex_);
  }
  host_.timers.StartTimer(TIMER_5, kWatchdogIntervalMs);
}

void ControllerLink::OnDateStored(const Text& status) {
  host_.progress.SetProgress(100);
  host_.busy.SetLinkLamp(false);
  host_.status.SetStatus(status);
  EndTransaction();
}

void ControllerLink::OnSendError() {
  host_.status.SetStatus({"FF  花样发送出错，请重新发送", "send err pls resend"});
  host_.busy.SetControlEnabled(CONTROL_COMBOBOX5, true);
  host_.progress.SetProgress(0);
  host_.timers.StopTimer(TIMER_5);
  host_.busy.SetLinkLamp(false);
  blockIndex_ = 0;
  host_.busy.SetControlEnabled(CONTROL_EDITING_GROUPS, true);
  ArmWatchdog();
}

void ControllerLink::OnReceiveError() {
  host_.status.SetStatus({"下位机接收错误重发中...", "send err pls resending..."});
  host_.status.SetStatus(Number(prevBlockIndex_));
  watchdogStamp_ = host_.clock.NowSeconds();
  // Only a pattern download starts its area again; a settings transaction
  // waits for the watchdog.
  if (allAreasMode_ && linkMode_ == LINK_DOWNLOAD) {
    host_.timers.StopTimer(TIMER_5);
    StartAreaDownload(sendArea_);
    if (!port_->IsOpen()) return;  // the restart could not open the port and has ended
  }
  host_.timers.StartTimer(TIMER_5, kWatchdogIntervalMs);
}

// Before the end-of-data command went out the controller cannot have stored
// the area: such a reply is only logged, and the transaction goes on.
void ControllerLink::OnStored() {
  if (!dataEndSent_) return;
  blockIndex_ = 0;
  if (allAreasMode_ && linkMode_ == LINK_DOWNLOAD && sendArea_ < profile_.areaCount - 1) {
    ++sendArea_;
    host_.timers.StopTimer(TIMER_5);
    StartAreaDownload(sendArea_);
    return;
  }
  SendCommand(CMD_FINISH, sendArea_);
  // A port that does not send the finish ends the transaction with its
  // stalled-port message instead of the success text.
  port_->Drain();
  host_.progress.SetProgress(100);
  host_.busy.SetLinkLamp(false);
  host_.status.SetStatus(Same("Send OK !!!!"));
  EndTransaction();
}

void ControllerLink::OnReturnError() {
  ClosePort();
  host_.status.ShowMessage({"控制器返回错误", "the controller returned an error"},
                           Same("返回出错"));
}

// ---- Timers ---------------------------------------------------------------

void ControllerLink::Timer1Timer() {
  Guarded([&] {
    ++probeCount_;
    uint8_t probe = CMD_PROBE_DOWNLOAD;
    if (linkMode_ == LINK_SETTINGS) probe = CMD_PROBE_SETTINGS;
    if (linkMode_ == LINK_CLOCK) probe = CMD_PROBE_CLOCK;
    if (linkMode_ == LINK_END_DATE) probe = CMD_PROBE_END_DATE;
    SendCommand(probe, sendArea_);
    host_.status.SetStatus(
        {"超时开启" + std::to_string(probeCount_), "open timeout" + std::to_string(probeCount_)});
    if (probeCount_ > kMaxProbes) GiveUpProbing();
  });
}

void ControllerLink::GiveUpProbing() {
  host_.timers.StopTimer(TIMER_1);
  replyExpected_ = false;
  probeCount_ = 0;
  ClosePort();
  host_.status.ShowMessage(kNotFound, kErrCaption);
  EndTransaction();
  host_.status.SetStatus(kNotFound);
}

void ControllerLink::ArmWatchdog() {
  watchdogStamp_ = host_.clock.NowSeconds();
  host_.timers.StartTimer(TIMER_5, kWatchdogIntervalMs);
}

void ControllerLink::Timer5Timer() {
  Guarded([&] {
    if (host_.clock.NowSeconds() - watchdogStamp_ <= kWatchdogLimitSeconds) return;
    host_.timers.StopTimer(TIMER_5);
    host_.busy.SetControlEnabled(CONTROL_COMBOBOX5, true);
    host_.busy.SetControlEnabled(CONTROL_BITBTN5, true);
    if (heldCount_ > 0) {
      FailIncompleteReply();
      return;
    }
    host_.status.SetStatus(Same("send  timeout。Pls Re send！"));
    EndTransaction();
  });
}

// An RPL_PRESENT_M28 reply whose block size never came: nothing can be sent
// without it, and a guess would cut the image into the wrong blocks.
void ControllerLink::FailIncompleteReply() {
  char hex[kReplyHexCapacity];
  ReplyToHex(held_, heldCount_, hex);
  std::string reply(hex);
  if (!reply.empty() && reply.back() == ' ') reply.pop_back();
  FailTransaction(
      {"控制器的应答 " + reply + " 不完整，缺少数据块大小，未发送",
       "the controller's reply " + reply + " ended before its block size came; nothing was sent"});
}

// ---- Ending ---------------------------------------------------------------

// The window as it is between transactions: lamp white, progress 0, port
// list, BitBtn7 and the editing groups enabled, no watchdog.
void ControllerLink::GiveControlsBack() {
  host_.busy.SetLinkLamp(false);
  host_.progress.SetProgress(0);
  host_.busy.SetControlEnabled(CONTROL_COMBOBOX5, true);
  host_.busy.SetControlEnabled(CONTROL_BITBTN7, true);
  host_.timers.StopTimer(TIMER_5);
  host_.busy.SetControlEnabled(CONTROL_EDITING_GROUPS, true);
}

// Probing stops too: a transaction that ended while it still probed (a
// time-out after a restarted area, a stray end reply) must not go on to
// report the controller missing.
void ControllerLink::EndTransaction() {
  host_.timers.StopTimer(TIMER_1);
  GiveControlsBack();
  ClosePort();
  host_.busy.LinkStopped();
}

// Ends the transaction at once with a message: nothing more goes out, the
// controls come back and the port closes.
void ControllerLink::FailTransaction(const Text& message) {
  host_.timers.StopTimer(TIMER_1);
  replyExpected_ = false;
  awaitingPresence_ = false;
  probeCount_ = 0;
  host_.status.SetStatus(message);
  host_.status.ShowMessage(message, kErrCaption);
  EndTransaction();
}

// The port layer's own message names the port; its bare assertion text gets
// the port's name in front.
void ControllerLink::FailOnPortError(const CommError& error) {
  if (!error.userMessage().empty()) {
    FailTransaction(error.userMessage());
    return;
  }
  const std::string device(host_.settings.PortText());
  FailTransaction({"串口 " + device + " 出错：" + error.what(),
                   "serial port " + device + " failed: " + error.what()});
}

}  // namespace vqled
