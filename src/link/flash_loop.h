// Running controller links from a poll loop instead of a window: a host part
// that keeps the two link timers as due times on a loop clock, turns the
// port's receive notifications into wake-ups of the loop, and marks when the
// link has stopped; and one turn of a loop over any number of such links.
// vqled-cli runs one link through it, the flashing station many at once.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "link/link_host.h"

namespace vqled {

class ControllerLink;

// Milliseconds on a clock the calendar never moves: the steady clock in the
// programs, a clock the test sets in the tests.
class LoopClock {
 public:
  virtual ~LoopClock() = default;
  virtual int64_t NowMs() = 0;
};

// The process's steady clock.
LoopClock& SteadyLoopClock();

// The system's local date and time.
LocalTime SystemLocalTime();

// The loop's part of a link host: timers, wake-ups, the clock and the stop.
// What the link shows (status, progress, messages) stays for the subclass.
class PolledLinkHost : public FullLinkHost {
 public:
  // With no timer running and nothing received for this long, a link has
  // nothing left to wait for (a transaction that closed its port without
  // ending, as after the controller's return error).
  static constexpr int kIdleLimitMs = 5000;

  PolledLinkHost(std::string portText, LoopClock& clock);
  ~PolledLinkHost() override;
  PolledLinkHost(const PolledLinkHost&) = delete;
  PolledLinkHost& operator=(const PolledLinkHost&) = delete;

  void StartTimer(LinkTimer timer, int intervalMs) override;
  void StopTimer(LinkTimer timer) override;
  void PostReceive(uint32_t port) override;
  void LinkStopped() override { stopped_ = true; }
  std::string_view PortText() override { return portText_; }
  LocalTime LocalNow() override { return SystemLocalTime(); }
  int64_t NowSeconds() override { return clock_.NowMs() / 1000; }

  // The descriptor that turns readable when a receive was posted.
  int WakeFd() const { return wakeRead_; }
  // Milliseconds until the next timer is due (0 when one is overdue), or
  // kIdleLimitMs when none runs.
  int MsUntilNextTimer() const;
  // Delivers the posted receives and fires the due timers into link.
  void Service(ControllerLink& link);
  // Whether the link stopped driving its transaction, or has been idle past
  // kIdleLimitMs.
  bool Finished() const;
  // Ready for the next transaction of the same link.
  void Rearm();

  LoopClock& clock() const { return clock_; }

 private:
  struct Timer {
    bool running = false;
    int intervalMs = 0;
    int64_t dueMs = 0;
  };
  Timer& Slot(LinkTimer timer) { return timer == TIMER_1 ? timers_[0] : timers_[1]; }

  std::string portText_;
  LoopClock& clock_;
  Timer timers_[2];
  int wakeRead_ = -1;
  int wakeWrite_ = -1;
  bool stopped_ = false;
  int64_t lastEventMs_ = 0;
};

// One link in a poll loop.
struct PolledLink {
  PolledLinkHost* host;
  ControllerLink* link;
};

// One turn of the loop: waits until a receive is posted for one of links, or
// the next of their timers is due, or maxWaitMs passes, or extraFd (when not
// -1) turns readable; then services every link. Returns whether extraFd is
// readable.
bool PollLinks(std::span<const PolledLink> links, int maxWaitMs, int extraFd = -1);

}  // namespace vqled
