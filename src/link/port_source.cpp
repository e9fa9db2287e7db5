#include "link/port_source.h"

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace vqled {
namespace {

bool Holds(const std::vector<PortRecord>& ports, const PortRecord& port) {
  return std::find(ports.begin(), ports.end(), port) != ports.end();
}

// Waits at most timeoutMs for fd to turn readable; a source without a
// descriptor just sleeps that long.
bool WaitReadable(int fd, int timeoutMs) {
  pollfd watch{fd, POLLIN, 0};
  return ::poll(&watch, fd >= 0 ? 1 : 0, timeoutMs) > 0;
}

int MsUntil(std::chrono::steady_clock::time_point when) {
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(when - std::chrono::steady_clock::now())
          .count();
  return static_cast<int>(std::clamp<long long>(ms, 0, INT32_MAX));
}

}  // namespace

PortSource::~PortSource() = default;

std::vector<PortRecord> PortSource::StartWatch() {
  BeginWatch();
  known_ = List();
  lastScan_ = std::chrono::steady_clock::now();
  return known_;
}

std::vector<PortChange> PortSource::WaitChanges(int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  const auto msToRescan = [this] {
    return MsUntil(lastScan_ + std::chrono::milliseconds(RescanMs()));
  };
  bool notified = WaitReadable(WatchFd(), 0);
  for (;;) {
    // The ports are listed again when the watch tells of a change, and at
    // the latest every RescanMs, not on every call.
    if (notified || msToRescan() == 0) {
      DrainWatch();
      std::vector<PortRecord> now = List();
      std::vector<PortChange> changes = DiffPorts(known_, now);
      known_ = std::move(now);
      lastScan_ = std::chrono::steady_clock::now();
      if (!changes.empty()) return changes;
    }
    const int left = MsUntil(deadline);
    if (left == 0) return {};
    notified = WaitReadable(WatchFd(), std::min(left, msToRescan()));
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
