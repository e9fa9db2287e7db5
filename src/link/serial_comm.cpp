#include "link/serial_comm.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "link/serial_errors.h"
#include "link/serial_line.h"
#include "link/serial_ports.h"

namespace vqled {
namespace {

using std::chrono::milliseconds;

constexpr const char* kAssertNotifyTarget =
    "COMM_ASSERT(::IsWindow(hWnd)) failed; SerialComm(250); ";
constexpr const char* kAssertOptionClosed = "COMM_ASSERT(!IsOpen()) failed; SerialComm(210); ";
constexpr const char* kAssertPortRange =
    "COMM_ASSERT(dwPort >= 1 && dwPort <= 1024) failed; SerialComm(332); ";
constexpr const char* kAssertOpenPort = "COMM_ASSERT(OpenPort()) failed; SerialComm(337); ";
constexpr const char* kAssertPortClosed = "COMM_ASSERT(!IsOpen()) failed; SerialComm(1708); ";
constexpr const char* kAssertSetState =
    "COMM_ASSERT(SetState(dwBaudRate, btParity, btByteSize, btStopBits)) failed; "
    "SerialComm(340); ";
constexpr const char* kAssertPurge =
    "COMM_ASSERT(::PurgeComm(hComm_, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | "
    "PURGE_RXCLEAR)) failed; SerialComm(1750); ";
constexpr const char* kAssertNoThread =
    "COMM_ASSERT(!hWatchThread_ && !hReadThread_ && !hWriteThread_) failed; SerialComm(652); ";
constexpr const char* kAssertThreadStarted =
    "COMM_ASSERT(hWatchThread_ != NULL) failed; SerialComm(691); ";
constexpr const char* kAssertReadBuffer = "COMM_ASSERT(pBuffer) failed; SerialComm(478); ";
constexpr const char* kAssertReadOpen = "COMM_ASSERT(IsOpen()) failed; SerialComm(418); ";
constexpr const char* kAssertReadWait =
    "COMM_ASSERT(::GetLastError() == ERROR_IO_PENDING) failed; SerialComm(431); ";
constexpr const char* kAssertReadResult =
    "COMM_ASSERT(::GetOverlappedResult(hComm_, &RO_, &dwReadResult, TRUE)) failed; "
    "SerialComm(433); ";
constexpr const char* kAssertWriteOpen = "COMM_ASSERT(IsOpen()) failed; SerialComm(511); ";
constexpr const char* kAssertWriteResult =
    "COMM_ASSERT(::GetLastError() == ERROR_IO_PENDING) failed; SerialComm(524); ";
constexpr const char* kAssertQueueOpen = "COMM_ASSERT(IsOpen()) failed; SerialComm(982); ";
constexpr const char* kAssertWatchEvent =
    "COMM_ASSERT(hWatchEvent_ != NULL) failed; SerialComm(1660); ";

// Read time-outs in ms: between bytes, and in total with and without
// EN_OVERLAPPED_IO; the write time-outs of a queue that does not drain, with
// EN_OVERLAPPED_IO (the caller only queues) and without (the caller sends).
// With EN_OVERLAPPED_IO a read that keeps finding bytes or none, and a write
// that finds the queue full, give up after 40 ms each: the caller is the
// user-interface thread, and one reply handled (a read, then a block or the
// finish written and drained) stays within 100 ms.
constexpr uint32_t kReadIntervalMs = 10;
constexpr uint32_t kReadTotalMs = 40;
constexpr uint32_t kReadTotalPlainMs = 250;
constexpr uint32_t kWriteQueueMs = 40;
constexpr uint32_t kWriteTotalPlainMs = 10000;
constexpr auto kDrainPoll = milliseconds(1);
constexpr auto kNotifyInterval = milliseconds(10);

// Waits for events on fds until deadline (time_point::max(): no limit);
// returns poll's result (0 at the deadline, -1 with errno on a failure other
// than an interruption).
int PollUntil(pollfd* fds, nfds_t count, std::chrono::steady_clock::time_point deadline) {
  for (;;) {
    timespec wait{};
    const timespec* limit = nullptr;
    if (deadline != std::chrono::steady_clock::time_point::max()) {
      const auto left = deadline - std::chrono::steady_clock::now();
      if (left <= std::chrono::steady_clock::duration::zero()) return 0;
      const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
      wait = {static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
      limit = &wait;
    }
    const int ready = ::ppoll(fds, count, limit, nullptr);
    if (ready >= 0 || errno != EINTR) return ready;
  }
}

}  // namespace

SerialComm::SerialComm(uint32_t option, std::string devRoot)
    : dwOption_(option), devRoot_(std::move(devRoot)) {
  hWatchEvent_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (hWatchEvent_ < 0) RaiseComm(kAssertWatchEvent, errno);
}

SerialComm::~SerialComm() {
  Close(kCloseWaitMs);
  ::close(hWatchEvent_);
}

void SerialComm::SetOption(uint32_t option) {
  if (IsOpen()) RaiseComm(kAssertOptionClosed, 0);
  dwOption_ = option;
}

void SerialComm::SetNotifyTarget(CommNotify notify) {
  if (!notify) RaiseComm(kAssertNotifyTarget, 0);
  std::lock_guard lock(notifyMutex_);
  hNotifyTarget_ = std::move(notify);
}

void SerialComm::RequireClosed() const {
  if (IsOpen()) RaiseComm(kAssertPortClosed, 0);
}

bool SerialComm::Open(uint32_t dwPort, uint32_t dwBaudRate, uint8_t btParity, uint8_t btByteSize,
                      uint8_t btStopBits) {
  if (!ComNumberInRange(dwPort))
    RaiseComm(kAssertPortRange, 0, PortRangeMessage("COM" + std::to_string(dwPort)));
  // An open port keeps its number and name: they tag its notifications.
  RequireClosed();
  dwPort_ = dwPort;
  std::snprintf(szName_, sizeof szName_, "%s/ttyS%u", devRoot_.c_str(), dwPort - 1);
  OpenNamed(dwBaudRate, btParity, btByteSize, btStopBits);
  return true;
}

void SerialComm::OpenDevice(const std::string& device) {
  uint32_t number = 0;
  if (ParseComNumber(device, &number)) {
    // A number too large to hold is named as typed, not as the limit it was cut to.
    if (!ComNumberInRange(number)) RaiseComm(kAssertPortRange, 0, PortRangeMessage(device));
    Open(number);
    return;
  }
  RequireClosed();
  if (device.empty() || device.size() >= sizeof szName_)
    RaiseComm(kAssertOpenPort, device.empty() ? ENOENT : ENAMETOOLONG,
              PortOpenMessage(device, device.empty() ? ENOENT : ENAMETOOLONG));
  dwPort_ = kDevicePortBase + (deviceOpenCount_++ % kDevicePortBase);
  std::snprintf(szName_, sizeof szName_, "%s", device.c_str());
  OpenNamed(kBaudRate, NOPARITY, 8, ONESTOPBIT);
}

// The steps of Open after the name is known; a failing step leaves the port
// closed.
void SerialComm::OpenNamed(uint32_t dwBaudRate, uint8_t btParity, uint8_t btByteSize,
                           uint8_t btStopBits) {
  try {
    if (!OpenPort()) RaiseComm(kAssertOpenPort, lastError_, PortOpenMessage(szName_, lastError_));
    if (!SetState(dwBaudRate, btParity, btByteSize, btStopBits))
      RaiseComm(kAssertSetState, lastError_, PortOpenMessage(szName_, lastError_));
    SetupPort();
    if (dwOption_ & EN_WATCH_THREAD) BeginThread();
  } catch (const CommError&) {
    Close(kCloseWaitMs);
    throw;
  }
}

// Opens the device for reading and writing, without becoming its controlling
// terminal, and keeps other programs out: the flock holds against every
// program that locks the port (root included), TIOCEXCL against any other
// open by a user without privilege. A port it cannot have is let go at once,
// untouched: purging it would take bytes from the program that holds it.
bool SerialComm::OpenPort() {
  const int fd = ::open(szName_, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ioctl(fd, TIOCEXCL) != 0) {
    lastError_ = errno;
    if (fd >= 0) ::close(fd);
    return false;
  }
  hComm_ = fd;
  return true;
}

// The port's line settings replaced by raw bytes at the given speed, byte
// size, parity and stop bits (MakeLineSettings).
bool SerialComm::SetState(uint32_t dwBaudRate, uint8_t btParity, uint8_t btByteSize,
                          uint8_t btStopBits) {
  if (::tcgetattr(hComm_, &dcb_) != 0) {
    lastError_ = errno;
    return false;
  }
  if (!MakeLineSettings(&dcb_, dwBaudRate, btParity, btByteSize, btStopBits)) {
    lastError_ = EINVAL;
    return false;
  }
  if (::tcsetattr(hComm_, TCSANOW, &dcb_) != 0) {
    lastError_ = errno;
    return false;
  }
  return true;
}

// The time-outs Read and Write keep to, and both directions purged.
void SerialComm::SetupPort() {
  const bool overlapped = dwOption_ & EN_OVERLAPPED_IO;
  CO_ = {kReadIntervalMs, 0, overlapped ? kReadTotalMs : kReadTotalPlainMs, 0,
         overlapped ? kWriteQueueMs : kWriteTotalPlainMs};
  if (::tcflush(hComm_, TCIOFLUSH) != 0)
    RaiseComm(kAssertPurge, errno, PortOpenMessage(szName_, errno));
  std::lock_guard lock(outMutex_);
  outQueue_.Clear();
  bVanished_ = false;
  vanishedError_ = 0;
}

void SerialComm::BeginThread() {
  if (hWatchThread_.joinable()) RaiseComm(kAssertNoThread, 0);
  bRunning_ = true;
  try {
    hWatchThread_ = std::thread(&SerialComm::WatchLoop, this);
  } catch (const std::system_error& failure) {
    bRunning_ = false;
    RaiseComm(kAssertThreadStarted, failure.code().value(),
              PortOpenMessage(szName_, failure.code().value()));
  }
}

void SerialComm::StopThreads(int /*waitMs*/) {
  // The watch loop waits only in poll, which the wake-up event ends at once,
  // so the thread is joined rather than ended by force.
  if (!hWatchThread_.joinable()) return;
  bRunning_ = false;
  WakeWatch();
  hWatchThread_.join();
}

void SerialComm::Close(int waitMs) {
  if (!IsOpen()) return;
  StopThreads(waitMs);
  // Purge the unread input and whatever output has not left yet. Output the
  // driver has already sent is left alone: on a pseudo-terminal a purge of
  // the output also drops bytes the peer has not read yet, such as the
  // finish frame that Drain has just seen out.
  bool unsent = false;
  {
    std::lock_guard lock(outMutex_);
    unsent = !outQueue_.Empty();
    outQueue_.Clear();
    outChanged_.notify_all();
  }
  int driverQueue = 0;
  if (::ioctl(hComm_, TIOCOUTQ, &driverQueue) != 0 || driverQueue > 0) unsent = true;
  ::tcflush(hComm_, unsent ? TCIOFLUSH : TCIFLUSH);
  ::ioctl(hComm_, TIOCNXCL);
  ::close(hComm_);  // releases the flock
  hComm_ = -1;
}

void SerialComm::WakeWatch() {
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = ::write(hWatchEvent_, &one, sizeof one);
}

void SerialComm::ConsumeWakes() {
  uint64_t wakes = 0;
  [[maybe_unused]] const ssize_t got = ::read(hWatchEvent_, &wakes, sizeof wakes);
}

void SerialComm::NotifyReceive() {
  std::lock_guard lock(notifyMutex_);
  if (hNotifyTarget_) hNotifyTarget_(dwPort_);
}

// While received bytes wait, a notification about every 10 ms; queued output
// goes out as the port takes it. A hung-up or failed device is notified once
// and ends the loop; Read and Write then report it.
void SerialComm::WatchLoop() {
  Clock::time_point nextNotify{};
  while (bRunning_) {
    int waiting = 0;
    if (::ioctl(hComm_, FIONREAD, &waiting) != 0) waiting = 0;
    Clock::time_point deadline = Clock::time_point::max();
    if (waiting > 0) {
      const Clock::time_point now = Clock::now();
      if (now >= nextNotify) {
        NotifyReceive();
        nextNotify = now + kNotifyInterval;
      }
      deadline = nextNotify;
    }
    if (!ServeLine(waiting > 0, deadline)) {
      NotifyReceive();
      return;
    }
  }
}

// Waits until deadline for the wake-up event or the port (for bytes to
// arrive unless some already wait, for room while output is queued), then
// writes what the port takes. Returns false once the device is gone.
bool SerialComm::ServeLine(bool bytesWaiting, Clock::time_point deadline) {
  short events = bytesWaiting ? 0 : POLLIN;
  {
    std::lock_guard lock(outMutex_);
    if (!outQueue_.Empty()) events |= POLLOUT;
  }
  pollfd fds[2] = {{hWatchEvent_, POLLIN, 0}, {hComm_, events, 0}};
  const int ready = PollUntil(fds, 2, deadline);
  const int err = errno;
  if (fds[0].revents & POLLIN) ConsumeWakes();
  std::lock_guard lock(outMutex_);
  if (ready < 0) MarkVanishedLocked(err);
  if (fds[1].revents & POLLOUT) FlushLocked();
  if (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) MarkVanishedLocked(EIO);
  return !bVanished_;
}

void SerialComm::MarkVanishedLocked(int err) {
  if (!bVanished_) vanishedError_ = err;
  bVanished_ = true;
  outQueue_.Clear();  // nothing queued can leave any more
  outChanged_.notify_all();
}

void SerialComm::RaiseVanished(const char* assertText) {
  int err = EIO;
  {
    std::lock_guard lock(outMutex_);
    if (vanishedError_ != 0) err = vanishedError_;
  }
  RaiseComm(assertText, err, PortVanishedMessage(szName_));
}

// Writes queued output until the port takes no more; returns how many bytes
// left the queue. A device that refuses bytes for good is marked vanished.
size_t SerialComm::FlushLocked() {
  size_t sent = 0;
  while (!outQueue_.Empty()) {
    const ssize_t written = ::write(hComm_, outQueue_.Front(), outQueue_.FrontLength());
    if (written > 0) {
      outQueue_.Pop(static_cast<size_t>(written));
      sent += static_cast<size_t>(written);
      continue;
    }
    if (written < 0 && errno == EINTR) continue;
    if (written < 0 && errno != EAGAIN) MarkVanishedLocked(errno);
    break;
  }
  if (sent > 0) outChanged_.notify_all();
  return sent;
}

// Waits until (this->*done)() holds or deadline passes: with the watch
// thread, for it to move the queue; without, by writing whenever the port
// takes bytes. Returns whether done holds.
bool SerialComm::AwaitOutputLocked(std::unique_lock<std::mutex>& lock, Clock::time_point deadline,
                                   bool (SerialComm::*done)() const) {
  while (!(this->*done)()) {
    if (hWatchThread_.joinable()) {
      WakeWatch();
      if (!outChanged_.wait_until(lock, deadline, [&] { return (this->*done)(); })) return false;
      continue;
    }
    pollfd fd{hComm_, POLLOUT, 0};
    const int ready = PollUntil(&fd, 1, deadline);
    if (ready == 0) return false;
    if (ready < 0 || (fd.revents & (POLLHUP | POLLERR | POLLNVAL))) MarkVanishedLocked(EIO);
    FlushLocked();
  }
  return true;
}

// Whether the device is gone, after a read that failed with err: any error
// but "nothing to read yet" marks it so.
bool SerialComm::LineLost(int err) {
  std::lock_guard lock(outMutex_);
  if (err != EAGAIN) MarkVanishedLocked(err);
  return bVanished_;
}

int SerialComm::Read(uint8_t* buffer, int length) {
  if (!buffer) RaiseComm(kAssertReadBuffer, 0);
  if (!IsOpen()) RaiseComm(kAssertReadOpen, 0);
  if (length <= 0) return 0;
  const Clock::time_point start = Clock::now();
  const Clock::time_point total =
      start + milliseconds(CO_.readTotalTimeoutMultiplier * static_cast<uint32_t>(length) +
                           CO_.readTotalTimeoutConstant);
  Clock::time_point deadline = total;
  int got = 0;
  while (got < length) {
    const ssize_t count = ::read(hComm_, buffer + got, static_cast<size_t>(length - got));
    if (count > 0) {
      got += static_cast<int>(count);
      deadline = std::min(total, Clock::now() + milliseconds(CO_.readIntervalTimeout));
      continue;
    }
    const int err = count == 0 ? EIO : errno;
    if (err == EINTR) continue;
    if (LineLost(err)) {
      if (got > 0) break;  // the bytes that came are the caller's; the next Read reports
      RaiseVanished(kAssertReadResult);
    }
    pollfd fd{hComm_, POLLIN, 0};
    const int ready = PollUntil(&fd, 1, deadline);
    if (ready == 0) break;
    if (ready < 0) RaiseComm(kAssertReadWait, errno, PortVanishedMessage(szName_));
    // An error on the line with nothing to read would wake this loop at once
    // for the rest of the read: the device is gone.
    if ((fd.revents & (POLLHUP | POLLERR | POLLNVAL)) && !(fd.revents & POLLIN)) LineLost(EIO);
  }
  dwInCount_ += static_cast<uint32_t>(got);
  return got;
}

int SerialComm::Write(const uint8_t* buffer, int length) {
  if (!IsOpen()) RaiseComm(kAssertWriteOpen, 0);
  if (!buffer || length <= 0) return 0;
  const Clock::time_point deadline =
      Clock::now() + milliseconds(CO_.writeTotalTimeoutMultiplier * static_cast<uint32_t>(length) +
                                  CO_.writeTotalTimeoutConstant);
  std::unique_lock lock(outMutex_);
  const size_t queuedBefore = outQueue_.Size();
  size_t taken = 0;
  size_t sent = 0;
  for (;;) {
    taken += outQueue_.Push(buffer + taken, static_cast<size_t>(length) - taken);
    sent += FlushLocked();
    if (bVanished_) {
      lock.unlock();
      RaiseVanished(kAssertWriteResult);
    }
    if (taken == static_cast<size_t>(length)) break;
    if (!AwaitOutputLocked(lock, deadline, &SerialComm::OutRoomLocked)) {
      lock.unlock();
      RaiseComm(kAssertWriteResult, ETIMEDOUT, PortStalledMessage(szName_));
    }
  }
  if (hWatchThread_.joinable())
    WakeWatch();
  else if (!AwaitOutputLocked(lock, deadline, &SerialComm::OutEmptyLocked)) {
    lock.unlock();
    RaiseComm(kAssertWriteResult, ETIMEDOUT, PortStalledMessage(szName_));
  }
  dwOutCount_ += static_cast<uint32_t>(length);
  return sent > queuedBefore ? static_cast<int>(sent - queuedBefore) : 0;
}

// Waits at most kDrainWaitMs for our queue, then the driver's, to empty. A
// port that does not send them in that time (a peer that stopped reading, an
// adapter held by flow control) raises the stalled-port error; a vanished one
// has nothing left to wait for.
void SerialComm::Drain() {
  if (!IsOpen()) return;
  const Clock::time_point deadline = Clock::now() + milliseconds(kDrainWaitMs);
  {
    std::unique_lock lock(outMutex_);
    const bool queued = AwaitOutputLocked(lock, deadline, &SerialComm::OutEmptyLocked);
    if (bVanished_) return;
    if (!queued) {
      lock.unlock();
      RaiseComm(kAssertWriteResult, ETIMEDOUT, PortStalledMessage(szName_));
    }
  }
  if (!LineDrained(deadline)) RaiseComm(kAssertWriteResult, ETIMEDOUT, PortStalledMessage(szName_));
}

// tcdrain without its unlimited wait: the driver's output queue, then the
// transmitter where the driver can tell (TIOCSERGETLSR), polled until empty
// or the deadline.
bool SerialComm::LineDrained(Clock::time_point deadline) const {
  for (;;) {
    int queued = 0;
    if (::ioctl(hComm_, TIOCOUTQ, &queued) != 0) queued = 0;
    unsigned int lineStatus = TIOCSER_TEMT;
    if (::ioctl(hComm_, TIOCSERGETLSR, &lineStatus) != 0) lineStatus = TIOCSER_TEMT;
    if (queued == 0 && (lineStatus & TIOCSER_TEMT)) return true;
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kDrainPoll);
  }
}

uint32_t SerialComm::QueueCount(CommQueue queue) const {
  if (!IsOpen()) RaiseComm(kAssertQueueOpen, 0);
  int count = 0;
  if (::ioctl(hComm_, queue == COMM_QUEUE_INPUT ? FIONREAD : TIOCOUTQ, &count) != 0)
    return kQueueCountFailed;
  if (queue == COMM_QUEUE_OUTPUT) {
    std::lock_guard lock(outMutex_);
    count += static_cast<int>(outQueue_.Size());
  }
  return static_cast<uint32_t>(count);
}

}  // namespace vqled
