#include "link/flash_loop.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>

#include "link/controller_link.h"

namespace vqled {
namespace {

class SteadyClock : public LoopClock {
 public:
  int64_t NowMs() override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
};

// The most links one turn of the loop waits on.
constexpr size_t kMaxPolledLinks = 64;

}  // namespace

LoopClock& SteadyLoopClock() {
  static SteadyClock clock;
  return clock;
}

LocalTime SystemLocalTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
          local.tm_hour,        local.tm_min,     local.tm_sec};
}

PolledLinkHost::PolledLinkHost(std::string portText, LoopClock& clock)
    : portText_(std::move(portText)), clock_(clock), lastEventMs_(clock.NowMs()) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
    wakeRead_ = fds[0];
    wakeWrite_ = fds[1];
  }
}

PolledLinkHost::~PolledLinkHost() {
  if (wakeRead_ >= 0) close(wakeRead_);
  if (wakeWrite_ >= 0) close(wakeWrite_);
}

void PolledLinkHost::StartTimer(LinkTimer timer, int intervalMs) {
  Timer& t = Slot(timer);
  t.running = true;
  t.intervalMs = intervalMs;
  t.dueMs = clock_.NowMs() + intervalMs;
}

void PolledLinkHost::StopTimer(LinkTimer timer) {
  Slot(timer).running = false;
}

// Watch thread: a write to the wake pipe is all it does.
void PolledLinkHost::PostReceive(uint32_t port) {
  if (wakeWrite_ < 0) return;
  const ssize_t ignored = write(wakeWrite_, &port, sizeof port);
  (void)ignored;  // a full pipe already holds a wake-up
}

int PolledLinkHost::MsUntilNextTimer() const {
  int64_t wait = kIdleLimitMs;
  const int64_t now = clock_.NowMs();
  for (const Timer& t : timers_) {
    if (t.running) wait = std::min(wait, std::max<int64_t>(t.dueMs - now, 0));
  }
  return static_cast<int>(wait);
}

void PolledLinkHost::Service(ControllerLink& link) {
  uint32_t port = 0;
  while (!stopped_ && read(wakeRead_, &port, sizeof port) == sizeof port) {
    lastEventMs_ = clock_.NowMs();
    link.OnCommReceive(port);
  }
  for (int slot = 0; slot < 2 && !stopped_; ++slot) {
    Timer& t = timers_[slot];
    if (!t.running || clock_.NowMs() < t.dueMs) continue;
    t.dueMs += t.intervalMs;
    if (slot == 0) {
      link.Timer1Timer();
    } else {
      link.Timer5Timer();
    }
  }
}

bool PolledLinkHost::Finished() const {
  if (stopped_) return true;
  const bool timing = timers_[0].running || timers_[1].running;
  return !timing && clock_.NowMs() - lastEventMs_ > kIdleLimitMs;
}

void PolledLinkHost::Rearm() {
  stopped_ = false;
  lastEventMs_ = clock_.NowMs();
}

bool PollLinks(std::span<const PolledLink> links, int maxWaitMs, int extraFd) {
  pollfd fds[kMaxPolledLinks + 1];
  const size_t count = std::min(links.size(), kMaxPolledLinks);
  int wait = maxWaitMs;
  for (size_t i = 0; i < count; ++i) {
    fds[i] = {links[i].host->WakeFd(), POLLIN, 0};
    wait = std::min(wait, links[i].host->MsUntilNextTimer() + 1);
  }
  fds[count] = {extraFd, POLLIN, 0};  // a negative descriptor is ignored
  const int ready = poll(fds, count + 1, std::max(wait, 0));
  for (size_t i = 0; i < count; ++i) links[i].host->Service(*links[i].link);
  return ready > 0 && extraFd >= 0 && (fds[count].revents & POLLIN) != 0;
}

}  // namespace vqled
