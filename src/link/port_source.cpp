#include "link/port_source.h"

#include <poll.h>

#include <algorithm>
#include <chrono>

namespace vqled {
namespace {

bool Holds(const std::vector<PortRecord>& ports, const PortRecord& port) {
  return std::find(ports.begin(), ports.end(), port) != ports.end();
}

// Waits at most timeoutMs for fd to turn readable; a source without a
// descriptor just sleeps that long.
void WaitReadable(int fd, int timeoutMs) {
  pollfd watch{fd, POLLIN, 0};
  ::poll(&watch, fd >= 0 ? 1 : 0, timeoutMs);
}

}  // namespace

PortSource::~PortSource() = default;

std::vector<PortRecord> PortSource::StartWatch() {
  BeginWatch();
  known_ = List();
  return known_;
}

std::vector<PortChange> PortSource::WaitChanges(int timeoutMs) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    DrainWatch();
    std::vector<PortRecord> now = List();
    std::vector<PortChange> changes = DiffPorts(known_, now);
    known_ = std::move(now);
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (!changes.empty() || left <= 0) return changes;
    WaitReadable(WatchFd(), static_cast<int>(std::min<long long>(left, RescanMs())));
  }
}

std::vector<PortChange> DiffPorts(const std::vector<PortRecord>& before,
                                  const std::vector<PortRecord>& after) {
  std::vector<PortChange> changes;
  for (const PortRecord& port : before)
    if (!Holds(after, port)) changes.push_back({false, port});
  for (const PortRecord& port : after)
    if (!Holds(before, port)) changes.push_back({true, port});
  return changes;
}

}  // namespace vqled
