// SerialComm: one serial port on a POSIX tty, opened exclusively at the line
// settings the caller gives, with a watch thread that tells the notification
// target while received bytes wait and that sends the queued output.
//
// Threads: Open, Close, Read, Write, Drain and QueueCount run on the caller's
// thread; the watch thread only counts waiting bytes, writes queued output
// and calls the notification target. Output is the one thing both touch; a
// lock guards it.
#pragma once

#include <termios.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "link/link_port.h"
#include "link/serial_line.h"
#include "link/serial_ports.h"
#include "link/serial_ring.h"

namespace vqled {

// Bits of the option word.
constexpr uint32_t EN_WATCH_THREAD = 0x01;   // run the watch thread
constexpr uint32_t EN_OVERLAPPED_IO = 0x02;  // reads wait 40 ms in total instead of 250

enum CommQueue { COMM_QUEUE_INPUT, COMM_QUEUE_OUTPUT };

// The time-out record: reads end 10 ms after the last byte once one came,
// or after the total constant; a write whose bytes cannot be queued waits at
// most multiplier × length + constant for the port to take them. With the
// watch thread (the window's and the CLI's port) no wait exceeds 100 ms, so
// the user-interface thread that reads and writes never stalls for longer.
struct CommTimeouts {
  uint32_t readIntervalTimeout;
  uint32_t readTotalTimeoutMultiplier;
  uint32_t readTotalTimeoutConstant;
  uint32_t writeTotalTimeoutMultiplier;
  uint32_t writeTotalTimeoutConstant;
};

class SerialComm : public LinkPort {
 public:
  static constexpr uint32_t kPortMax = kComPortMax;
  static constexpr uint32_t kNoPort = 0xFFFFFFFF;
  static constexpr uint32_t kQueueCountFailed = 0xFFFFFFFF;
  static constexpr uint32_t kBaudRate = 115200;
  static constexpr int kCloseWaitMs = 500;
  // How long Drain waits for the bytes written to leave: the finish frame
  // takes well under a millisecond at 115200 baud.
  static constexpr int kDrainWaitMs = 40;
  // Output the port has not taken yet; the largest frame is about 2050 bytes.
  static constexpr size_t kOutQueueSize = 65536;
  // Ports opened by device path carry numbers from here on, one per open, so
  // a notification of an earlier open never matches.
  static constexpr uint32_t kDevicePortBase = 0x10000;

  // devRoot is where the ttyS devices of port numbers live.
  explicit SerialComm(uint32_t option = EN_WATCH_THREAD | EN_OVERLAPPED_IO,
                      std::string devRoot = "/dev");
  ~SerialComm() override;
  SerialComm(const SerialComm&) = delete;
  SerialComm& operator=(const SerialComm&) = delete;

  // Stores the option word; the port must be closed.
  void SetOption(uint32_t option);
  void SetNotifyTarget(CommNotify notify) override;

  // Opens port dwPort (1..1024), the device /dev/ttyS(dwPort-1), with the
  // given line settings. Returns true; every failure raises CommError, and
  // the port is then closed.
  bool Open(uint32_t dwPort, uint32_t dwBaudRate = kBaudRate, uint8_t btParity = NOPARITY,
            uint8_t btByteSize = 8, uint8_t btStopBits = ONESTOPBIT);
  // Opens a "COMn" text as port n, any other text as a device path, at
  // 115200 8N1.
  void OpenDevice(const std::string& device) override;
  bool IsOpen() const override { return hComm_ >= 0; }
  uint32_t PortNumber() const override { return dwPort_; }
  const char* DeviceName() const { return szName_; }

  int Read(uint8_t* buffer, int length) override;
  int Write(const uint8_t* buffer, int length) override;
  void Drain() override;
  void Close(int waitMs = kCloseWaitMs) override;

  // Bytes waiting in the input queue, or not yet sent (ours and the
  // driver's); kQueueCountFailed when the port cannot tell.
  uint32_t QueueCount(CommQueue queue) const;
  uint32_t InCount() const { return dwInCount_; }
  uint32_t OutCount() const { return dwOutCount_; }

 private:
  using Clock = std::chrono::steady_clock;

  void RequireClosed() const;
  void OpenNamed(uint32_t dwBaudRate, uint8_t btParity, uint8_t btByteSize, uint8_t btStopBits);
  bool OpenPort();
  bool SetState(uint32_t dwBaudRate, uint8_t btParity, uint8_t btByteSize, uint8_t btStopBits);
  void SetupPort();
  void BeginThread();
  void StopThreads(int waitMs);

  void WatchLoop();
  bool ServeLine(bool bytesWaiting, Clock::time_point deadline);
  void NotifyReceive();
  void WakeWatch();
  void ConsumeWakes();

  // Output; every *Locked function runs with outMutex_ held.
  size_t FlushLocked();
  bool LineDrained(Clock::time_point deadline) const;
  bool AwaitOutputLocked(std::unique_lock<std::mutex>& lock, Clock::time_point deadline,
                         bool (SerialComm::*done)() const);
  bool OutRoomLocked() const { return outQueue_.Room() > 0 || bVanished_; }
  bool OutEmptyLocked() const { return outQueue_.Empty() || bVanished_; }
  void MarkVanishedLocked(int err);
  bool LineLost(int err);
  [[noreturn]] void RaiseVanished(const char* assertText);

  uint32_t dwOption_;
  int hComm_ = -1;
  uint32_t dwPort_ = kNoPort;
  char szName_[256] = {};
  termios dcb_{};
  CommTimeouts CO_{};
  uint32_t dwInCount_ = 0;
  uint32_t dwOutCount_ = 0;
  std::atomic<bool> bRunning_{false};
  std::thread hWatchThread_;
  int hWatchEvent_ = -1;
  std::mutex notifyMutex_;
  CommNotify hNotifyTarget_;

  mutable std::mutex outMutex_;
  std::condition_variable outChanged_;
  SerialRing<kOutQueueSize> outQueue_;
  bool bVanished_ = false;
  int vanishedError_ = 0;

  int lastError_ = 0;
  uint32_t deviceOpenCount_ = 0;
  std::string devRoot_;
};

}  // namespace vqled
