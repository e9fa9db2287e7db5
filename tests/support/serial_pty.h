// A pseudo-terminal for the serial port tests: the slave side is the port
// SerialComm opens, the test plays the controller on the master side.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace vqled::test {

class Pty {
 public:
  Pty() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128] = {};
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
        ::ptsname_r(master_, name, sizeof name) != 0)
      throw std::runtime_error("no pseudo-terminal");
    slave_ = name;
  }
  ~Pty() { CloseMaster(); }
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;

  const std::string& SlavePath() const { return slave_; }

  // The slave's line settings, read through the master: a port opened
  // exclusively refuses a second open to anyone but root.
  termios SlaveSettings() const {
    termios settings{};
    if (::tcgetattr(master_, &settings) != 0) throw std::runtime_error("no pty settings");
    return settings;
  }

  void CloseMaster() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }

  void Send(const std::vector<uint8_t>& bytes) const {
    size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
      if (n <= 0) throw std::runtime_error("pty write failed");
      done += static_cast<size_t>(n);
    }
  }

  // Reads up to count bytes until they came or timeoutMs passed without one.
  std::vector<uint8_t> Receive(size_t count, int timeoutMs) const {
    std::vector<uint8_t> got;
    uint8_t buffer[4096];
    while (got.size() < count) {
      pollfd fd{master_, POLLIN, 0};
      if (::poll(&fd, 1, timeoutMs) <= 0) break;
      const size_t want = std::min(count - got.size(), sizeof buffer);
      const ssize_t n = ::read(master_, buffer, want);
      if (n <= 0) break;
      got.insert(got.end(), buffer, buffer + n);
    }
    return got;
  }

 private:
  int master_ = -1;
  std::string slave_;
};

inline std::vector<uint8_t> Sequence(size_t count, size_t from = 0) {
  std::vector<uint8_t> bytes(count);
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>((from + i) % 251);
  return bytes;
}

inline int64_t ElapsedMs(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               since)
      .count();
}

}  // namespace vqled::test
