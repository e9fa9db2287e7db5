#include "sim/sim_line.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace vqled {

namespace {

std::runtime_error LineError(const std::string& what, const std::string& device) {
  return std::runtime_error(what + " " + device + ": " + std::strerror(errno));
}

bool MakeRaw(int fd) {
  termios settings{};
  if (tcgetattr(fd, &settings) != 0) return false;
  cfmakeraw(&settings);
  settings.c_cflag |= CLOCAL | CREAD;
  cfsetispeed(&settings, B115200);
  cfsetospeed(&settings, B115200);
  return tcsetattr(fd, TCSANOW, &settings) == 0;
}

}  // namespace

SimLine::SimLine() : wakeFd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

SimLine::~SimLine() {
  HangUp();
  if (wakeFd_ >= 0) close(wakeFd_);
}

std::string SimLine::OpenPseudoTerminal() {
  const int master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (master < 0) throw LineError("cannot open a pseudo-terminal", "/dev/ptmx");
  char name[128];
  if (grantpt(master) != 0 || unlockpt(master) != 0 || ptsname_r(master, name, sizeof name) != 0) {
    close(master);
    throw LineError("cannot unlock the pseudo-terminal", "/dev/ptmx");
  }
  // The slave starts cooked, with echo and newline mapping. Mode calls on a
  // master set its slave's mode: make it raw, so that a host that sets no
  // mode of its own still gets every byte as sent.
  if (!MakeRaw(master)) {
    close(master);
    throw LineError("cannot set raw mode on", name);
  }
  fd_ = master;
  return name;
}

void SimLine::OpenTty(const std::string& path) {
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) throw LineError("cannot open", path);
  if (!MakeRaw(fd)) {
    close(fd);
    throw LineError("cannot set raw mode on", path);
  }
  fd_ = fd;
}

LineWait SimLine::Wait(int timeoutMs) {
  if (fd_ < 0) return LINE_FAILED;
  pollfd fds[2] = {{fd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
  const int ready = poll(fds, 2, timeoutMs);
  if (ready < 0) return errno == EINTR ? LINE_QUIET : LINE_FAILED;
  if (fds[1].revents & POLLIN) {
    uint64_t count = 0;
    const ssize_t drained = read(wakeFd_, &count, sizeof count);
    (void)drained;  // nothing to do when another wait drained it first
    return LINE_WOKEN;
  }
  if (fds[0].revents & POLLIN) return LINE_DATA;  // bytes may still wait after a hang-up
  if (fds[0].revents & POLLHUP) return LINE_HOST_CLOSED;
  if (fds[0].revents & (POLLERR | POLLNVAL)) return LINE_FAILED;
  return LINE_QUIET;
}

bool SimLine::Sleep(int timeoutMs) {
  pollfd fds[1] = {{wakeFd_, POLLIN, 0}};
  return poll(fds, 1, timeoutMs) == 0;
}

int SimLine::Read(uint8_t* bytes, int capacity) {
  const ssize_t count = read(fd_, bytes, capacity);
  if (count > 0) return static_cast<int>(count);
  if (count < 0 && (errno == EAGAIN || errno == EINTR)) return 0;
  return -1;  // EIO: no host holds the slave
}

bool SimLine::HostHolds() const {
  pollfd line = {fd_, 0, 0};
  return fd_ >= 0 && poll(&line, 1, 0) >= 0 && (line.revents & (POLLHUP | POLLERR | POLLNVAL)) == 0;
}

bool SimLine::Write(const uint8_t* bytes, int count) {
  int done = 0;
  while (done < count) {
    const ssize_t written = write(fd_, bytes + done, count - done);
    if (written > 0) {
      done += static_cast<int>(written);
      continue;
    }
    if (written < 0 && errno == EINTR) continue;
    if (written < 0 && errno == EAGAIN) {
      pollfd out = {fd_, POLLOUT, 0};
      if (poll(&out, 1, 100) <= 0 || (out.revents & (POLLHUP | POLLERR))) return false;
      continue;
    }
    return false;
  }
  return true;
}

void SimLine::HangUp() {
  if (fd_ < 0) return;
  close(fd_);
  fd_ = -1;
}

void SimLine::Wake() {
  const uint64_t one = 1;
  if (write(wakeFd_, &one, sizeof one) < 0) return;  // already signalled: the counter is set
}

}  // namespace vqled
