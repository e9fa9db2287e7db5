// A recording host and a scripted port for driving the controller link in
// tests: timers run only when the test fires them, the clock moves only when
// the test sets it, and every frame written is kept (or handed to a checker).
// Both reset to their fresh state keeping what their lists have allocated, so
// a fuzz target can reuse them for every input.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "link/link_host.h"
#include "link/link_port.h"

namespace vqled::test {

using Bytes = std::vector<uint8_t>;

// Empties `used` and hands its allocation to `fresh`, which is about to
// replace it.
template <typename List>
void KeepCapacity(List& used, List& fresh) {
  used.clear();
  fresh.swap(used);
}

struct PortScript {
  bool failOpen = false;
  Text openUserMessage;
  bool failWrite = false;  // Write throws, as for a vanished device
  bool failRead = false;
  bool failDrain = false;      // Drain throws, as for a port that stopped sending
  std::vector<Bytes> written;  // one entry per Write call without checkFrame
  // When set, each frame written goes to it in place of `written`.
  std::function<void(const uint8_t* frame, int length)> checkFrame;
  int checkedFrames = 0;
  std::vector<int> drainedAfter;  // the write count at each Drain
  std::vector<int> closedAfter;   // the write count at each Close
  std::deque<Bytes> pendingReads;
  std::string device;
  int opens = 0;
  CommNotify notify;

  int WriteCount() const { return static_cast<int>(written.size()) + checkedFrames; }

  // Back to a fresh script (nothing fails, nothing recorded); checkFrame
  // stays, and the lists keep their capacity.
  void Reset() {
    failOpen = failWrite = failRead = failDrain = false;
    openUserMessage = {};
    written.clear();
    checkedFrames = 0;
    drainedAfter.clear();
    closedAfter.clear();
    pendingReads.clear();
    device.clear();
    opens = 0;
    notify = nullptr;
  }
};

class FakePort : public LinkPort {
 public:
  explicit FakePort(PortScript& script) : s_(script) {}
  void SetNotifyTarget(CommNotify notify) override { s_.notify = std::move(notify); }
  void OpenDevice(const std::string& device) override {
    s_.device = device;
    if (s_.failOpen)
      throw CommError("COMM_ASSERT(OpenPort()) failed; SerialComm(337); ", s_.openUserMessage);
    ++s_.opens;
    open_ = true;
  }
  bool IsOpen() const override { return open_; }
  uint32_t PortNumber() const override { return 7; }
  int Read(uint8_t* buffer, int length) override {
    if (s_.failRead) throw CommError("COMM_ASSERT(IsOpen()) failed; SerialComm(418); ");
    if (s_.pendingReads.empty()) return 0;
    Bytes next = s_.pendingReads.front();
    s_.pendingReads.pop_front();
    int n = 0;
    for (; n < length && n < static_cast<int>(next.size()); ++n) buffer[n] = next[n];
    return n;
  }
  int Write(const uint8_t* buffer, int length) override {
    if (s_.failWrite) {
      throw CommError("COMM_ASSERT(IsOpen()) failed; SerialComm(511); ",
                      {"设备已断开", "the device has gone"});
    }
    if (s_.checkFrame) {
      s_.checkFrame(buffer, length);
      ++s_.checkedFrames;
    } else {
      s_.written.emplace_back(buffer, buffer + length);
    }
    return length;
  }
  void Drain() override {
    if (s_.failDrain) {
      throw CommError("COMM_ASSERT(::GetLastError() == ERROR_IO_PENDING) failed; SerialComm(524); ",
                      {"串口不再接收数据", "the port does not take the data"});
    }
    s_.drainedAfter.push_back(s_.WriteCount());
  }
  void Close(int) override {
    if (open_) s_.closedAfter.push_back(s_.WriteCount());
    open_ = false;
  }

 private:
  PortScript& s_;
  bool open_ = false;
};

struct TimerState {
  bool running = false;
  int intervalMs = 0;
};

class FakeHost : public FullLinkHost {
 public:
  void SetStatus(const Text& text) override { Record(statuses, text); }
  void SetAreaLabel(const Text& text) override { areaLabel = text.en; }
  void SetLastReply(std::string_view text) override { lastReply = text; }
  void ClearLog() override { log.clear(); }
  void AddLogLine(std::string_view line) override { Record(log, line); }
  void SetProgress(int position) override { Record(progress, position); }
  void SetLinkLamp(bool busy) override { lampBusy = busy; }
  void SetControlEnabled(LinkControl control, bool enabled) override {
    controlEnabled[control] = enabled;
  }
  void ShowMessage(const Text& text, const Text& caption) override {
    Record(messages, text);
    Record(captions, caption);
  }
  void StartTimer(LinkTimer timer, int intervalMs) override {
    timers[Slot(timer)] = {true, intervalMs};
  }
  void StopTimer(LinkTimer timer) override { timers[Slot(timer)].running = false; }
  void SetClockText(std::string_view text) override { clockText = text; }
  void SetDayCount(std::string_view text) override { dayCount = text; }
  void SwitchToModelVQM28() override { ++modelSwitches; }
  std::string_view PortText() override { return portText; }
  LocalTime LocalNow() override { return now; }
  int64_t NowSeconds() override { return seconds; }
  LocalTime EndDate() override { return endDate; }
  bool DebugImageWanted() override { return debugImage; }
  void SaveConfig() override { ++configSaves; }
  void PostReceive(uint32_t port) override { Record(posted, port); }
  void LinkStopped() override { ++stops; }

  static int Slot(LinkTimer timer) { return timer == TIMER_1 ? 0 : 1; }
  const TimerState& Timer1() const { return timers[0]; }
  const TimerState& Timer5() const { return timers[1]; }
  const Text& Status() const { return statuses.back(); }
  bool HasStatus(const std::string& en) const {
    for (const Text& t : statuses) {
      if (t.en == en) return true;
    }
    return false;
  }

  // Back to a fresh host; historyKept stays, the lists keep their capacity.
  void Reset() {
    FakeHost fresh;
    fresh.historyKept = historyKept;
    KeepCapacity(statuses, fresh.statuses);
    KeepCapacity(log, fresh.log);
    KeepCapacity(progress, fresh.progress);
    KeepCapacity(messages, fresh.messages);
    KeepCapacity(captions, fresh.captions);
    KeepCapacity(posted, fresh.posted);
    *this = std::move(fresh);
  }

  // False: each list below holds only its latest entry, overwritten in place
  // so its strings keep their allocation.
  bool historyKept = true;
  std::vector<Text> statuses;
  std::string areaLabel;
  std::string lastReply;
  std::vector<std::string> log;
  std::vector<int> progress;
  bool lampBusy = false;
  bool controlEnabled[4] = {true, true, true, true};
  std::vector<Text> messages;
  std::vector<Text> captions;
  TimerState timers[2];
  std::string clockText;
  std::string dayCount;
  int modelSwitches = 0;
  std::string portText = "COM8";
  LocalTime now{2024, 2, 20, 13, 45, 59};
  int64_t seconds = 1000;
  LocalTime endDate{2024, 3, 1, 0, 0, 0};
  bool debugImage = false;
  int configSaves = 0;
  std::vector<uint32_t> posted;
  int stops = 0;

 private:
  template <typename T, typename Value>
  void Record(std::vector<T>& history, const Value& value) {
    if (historyKept || history.empty()) {
      history.emplace_back(value);
    } else {
      history.back() = value;
    }
  }
};

}  // namespace vqled::test
