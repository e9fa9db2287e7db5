#include "link/serial_comm.h"

#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <termios.h>

#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <functional>
#include <future>
#include <mutex>
#include <optional>
#include <thread>

#include "scratch_dir.h"
#include "serial_pty.h"

namespace vqled {
namespace {

using test::ElapsedMs;
using test::Pty;
using test::Sequence;
using Clock = std::chrono::steady_clock;

constexpr const char* kOpenPortText = "COMM_ASSERT(OpenPort()) failed; SerialComm(337); ";

// Counts the receive notifications the watch thread delivers.
class NotifyRecorder {
 public:
  CommNotify Target() {
    return [this](uint32_t port) {
      std::lock_guard lock(mutex_);
      ++count_;
      lastPort_ = port;
      changed_.notify_all();
    };
  }
  int Count() {
    std::lock_guard lock(mutex_);
    return count_;
  }
  uint32_t LastPort() {
    std::lock_guard lock(mutex_);
    return lastPort_;
  }
  // Waits up to timeoutMs until at least count notifications came.
  bool WaitFor(int count, int timeoutMs) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return count_ >= count; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int count_ = 0;
  uint32_t lastPort_ = 0;
};

// A /dev of our own whose ttyS<n> is the slave of a pty, so that port
// numbers open it.
class FakeTtyS {
 public:
  FakeTtyS(const Pty& pty, const std::string& name) : root_("serial-dev") {
    std::filesystem::create_symlink(pty.SlavePath(), root_.path() / name);
  }
  std::string Root() const { return root_.path().string(); }

 private:
  test::ScratchDir root_;
};

class SerialCommTest : public ::testing::Test {
 protected:
  void SetUp() override {
    port.SetNotifyTarget(notes.Target());
    port.OpenDevice(pty.SlavePath());
  }

  // The CommError f raises; fails the test when it raises none.
  static CommError ErrorOf(const std::function<void()>& f) {
    try {
      f();
    } catch (const CommError& error) {
      return error;
    }
    ADD_FAILURE() << "no CommError";
    return CommError("");
  }

  Pty pty;
  NotifyRecorder notes;
  SerialComm port;
};

TEST_F(SerialCommTest, OpensRaw115200EightNoneOneWithoutFlowControl) {
  ASSERT_TRUE(port.IsOpen());
  const termios t = pty.SlaveSettings();
  EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B115200));
  EXPECT_EQ(::cfgetispeed(&t), static_cast<speed_t>(B115200));
  EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
  EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
  EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
  EXPECT_EQ(t.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP), 0u);
  EXPECT_EQ(t.c_oflag & OPOST, 0u);
}

TEST_F(SerialCommTest, OneByteThenSilenceReturnsAfterTheIntervalNotTheTotal) {
  pty.Send({0x8F});
  uint8_t buffer[64];
  const auto start = Clock::now();
  EXPECT_EQ(port.Read(buffer, 64), 1);
  EXPECT_LT(ElapsedMs(start), 250);
  EXPECT_EQ(buffer[0], 0x8F);
  EXPECT_EQ(port.InCount(), 1u);
}

TEST_F(SerialCommTest, MoreThanAskedComesInPiecesOfTheLengthAsked) {
  const std::vector<uint8_t> sent = Sequence(100);
  pty.Send(sent);
  ASSERT_TRUE(notes.WaitFor(1, 1000));
  std::vector<uint8_t> got(100);
  EXPECT_EQ(port.Read(got.data(), 64), 64);
  EXPECT_EQ(port.Read(got.data() + 64, 64), 36);
  EXPECT_EQ(got, sent);
  EXPECT_EQ(port.InCount(), 100u);
}

TEST_F(SerialCommTest, ReadOfZeroBytesReturnsAtOnce) {
  uint8_t buffer[1];
  const auto start = Clock::now();
  EXPECT_EQ(port.Read(buffer, 0), 0);
  EXPECT_LT(ElapsedMs(start), 50);
}

// Silence ends a read after the total time-out: 40 ms with EN_OVERLAPPED_IO (the user-interface
// thread never waits longer than 100 ms), 250 ms without.
TEST(SerialCommTimeout, SilenceEndsTheReadAfterTheTotalTimeOut) {
  struct Case {
    uint32_t option;
    int64_t totalMs;
  };
  for (const Case c : {Case{EN_WATCH_THREAD | EN_OVERLAPPED_IO, 40}, Case{EN_WATCH_THREAD, 250}}) {
    Pty pty;
    SerialComm port(c.option);
    port.OpenDevice(pty.SlavePath());
    uint8_t buffer[64];
    const auto start = Clock::now();
    EXPECT_EQ(port.Read(buffer, 64), 0) << c.option;
    const int64_t took = ElapsedMs(start);
    EXPECT_GE(took, c.totalMs - 5) << c.option;
    EXPECT_LT(took, c.totalMs + 100) << c.option;
  }
}

TEST_F(SerialCommTest, ManySmallWritesLeaveInCallOrder) {
  std::vector<uint8_t> expected;
  size_t total = 0;
  for (int i = 0; i < 3000; ++i) total += 1 + i % 7;
  std::vector<uint8_t> got;
  std::thread reader([&] { got = pty.Receive(total, 2000); });
  for (int i = 0; i < 3000; ++i) {
    const std::vector<uint8_t> piece = Sequence(1 + i % 7, expected.size());
    expected.insert(expected.end(), piece.begin(), piece.end());
    port.Write(piece.data(), static_cast<int>(piece.size()));
  }
  port.Drain();
  reader.join();
  EXPECT_EQ(got, expected);
  EXPECT_EQ(port.OutCount(), total);
  EXPECT_EQ(port.QueueCount(COMM_QUEUE_OUTPUT), 0u);
}

// Large writes return at once although the peer reads slowly; the queue
// holds what the port has not taken, and nothing is lost or reordered.
TEST_F(SerialCommTest, LargeWritesToASlowReaderArriveWholeAndInOrder) {
  const std::vector<uint8_t> expected = Sequence(2 * 30000);
  std::vector<uint8_t> got;
  // The reader starts only once both Writes returned: a Write that waited
  // for the reader would make it give up waiting.
  std::promise<void> writesReturned;
  bool readerGaveUpWaiting = false;
  std::thread reader([&, started = writesReturned.get_future()] {
    readerGaveUpWaiting = started.wait_for(std::chrono::seconds(5)) != std::future_status::ready;
    while (got.size() < expected.size()) {
      const std::vector<uint8_t> piece =
          pty.Receive(std::min<size_t>(1024, expected.size() - got.size()), 2000);
      if (piece.empty()) break;
      got.insert(got.end(), piece.begin(), piece.end());
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  port.Write(expected.data(), 30000);
  port.Write(expected.data() + 30000, 30000);
  writesReturned.set_value();
  EXPECT_GT(port.QueueCount(COMM_QUEUE_OUTPUT), 0u);
  reader.join();
  EXPECT_FALSE(readerGaveUpWaiting);
  EXPECT_EQ(port.QueueCount(COMM_QUEUE_OUTPUT), 0u);
  ASSERT_EQ(got.size(), expected.size());
  EXPECT_EQ(got, expected);
}

TEST_F(SerialCommTest, NotifiesAboutEveryTenMillisecondsWhileBytesWait) {
  pty.Send({1, 2, 3});
  ASSERT_TRUE(notes.WaitFor(1, 1000));
  const auto start = Clock::now();
  const int first = notes.Count();
  ASSERT_TRUE(notes.WaitFor(first + 4, 1000));
  EXPECT_GE(ElapsedMs(start), 30);  // four more take at least three intervals
  EXPECT_EQ(notes.LastPort(), port.PortNumber());

  uint8_t buffer[64];
  ASSERT_EQ(port.Read(buffer, 64), 3);
  std::this_thread::sleep_for(std::chrono::milliseconds(15));
  const int settled = notes.Count();
  std::this_thread::sleep_for(std::chrono::milliseconds(40));
  EXPECT_EQ(notes.Count(), settled) << "notified with no byte waiting";

  pty.Send({4});
  EXPECT_TRUE(notes.WaitFor(settled + 1, 1000));
}

TEST_F(SerialCommTest, CloseIsQuickAndEndsTheNotifications) {
  pty.Send({1});
  ASSERT_TRUE(notes.WaitFor(1, 1000));
  const auto start = Clock::now();
  port.Close();
  EXPECT_LT(ElapsedMs(start), 100);
  EXPECT_FALSE(port.IsOpen());
  const int atClose = notes.Count();
  std::this_thread::sleep_for(std::chrono::milliseconds(40));
  EXPECT_EQ(notes.Count(), atClose);
}

// The last frame of a transaction is drained, then the port closes: the
// frame must still reach the controller.
TEST_F(SerialCommTest, DrainedBytesSurviveTheCloseThatFollows) {
  const std::vector<uint8_t> finish = {0xAA, 0xBB, 0x01, 0xEE, 0x55};
  port.Write(finish.data(), static_cast<int>(finish.size()));
  port.Drain();
  port.Close();
  EXPECT_EQ(pty.Receive(finish.size(), 200), finish);
}

// A peer that never reads: the pty fills, then the queue. No write and no
// drain waits longer than 100 ms; each says the port stopped taking data,
// naming it, and Close still drops the rest at once.
TEST_F(SerialCommTest, PeerThatNeverReadsStallsWritesAndDrainWithinTheBound) {
  const std::vector<uint8_t> block = Sequence(2048);
  std::optional<CommError> stalled;
  int64_t longestMs = 0;
  for (int i = 0; i < 1000 && !stalled; ++i) {
    const auto start = Clock::now();
    try {
      port.Write(block.data(), static_cast<int>(block.size()));
    } catch (const CommError& error) {
      stalled = error;
    }
    longestMs = std::max(longestMs, ElapsedMs(start));
  }
  ASSERT_TRUE(stalled) << "the queue never filled";
  const auto start = Clock::now();
  const CommError drained = ErrorOf([&] { port.Drain(); });
  const int64_t drainMs = ElapsedMs(start);
  std::printf("longest write %lld ms, drain %lld ms\n", static_cast<long long>(longestMs),
              static_cast<long long>(drainMs));
  // The bounds are 40 ms each (the figures above); the test holds them far
  // below the seconds a stalled port used to take, with room for a machine
  // busy with other tests.
  EXPECT_LT(longestMs, 1000);
  EXPECT_LT(drainMs, 1000);
  for (const CommError& error : {*stalled, drained}) {
    EXPECT_NE(error.userMessage().en.find("Serial port " + pty.SlavePath() + " does not take"),
              std::string::npos)
        << error.userMessage().en;
    EXPECT_NE(error.userMessage().zh.find(pty.SlavePath()), std::string::npos);
  }
  const auto closing = Clock::now();
  port.Close();
  EXPECT_LT(ElapsedMs(closing), 400);  // below the 500 ms a close may wait for the watch thread
}

// Output nobody reads is dropped by Close, which does not wait for it.
TEST_F(SerialCommTest, CloseDropsUnsentOutputWithoutWaiting) {
  const std::vector<uint8_t> bytes = Sequence(60000);
  port.Write(bytes.data(), static_cast<int>(bytes.size()));
  ASSERT_GT(port.QueueCount(COMM_QUEUE_OUTPUT), 0u);
  const auto start = Clock::now();
  port.Close();
  EXPECT_LT(ElapsedMs(start), 100);
  EXPECT_LT(pty.Receive(bytes.size(), 50).size(), bytes.size());
}

// The failed open must leave the holder's port alone: its waiting bytes are
// still there to read.
TEST_F(SerialCommTest, SecondOpenOfAHeldPortFailsAsBusyAndEndsClosed) {
  pty.Send({0x8F, 0x9E});
  SerialComm second;
  const CommError error = ErrorOf([&] { second.OpenDevice(pty.SlavePath()); });
  // The exclusive mode refuses the open (EBUSY) to all but a privileged
  // user, whom the lock stops (EWOULDBLOCK).
  const auto refusal = [](int code) {
    return std::string(kOpenPortText) + "Code:" + std::to_string(code) + ";" + std::strerror(code);
  };
  const std::string text = error.what();
  EXPECT_TRUE(text == refusal(EBUSY) || text == refusal(EWOULDBLOCK)) << text;
  EXPECT_NE(error.userMessage().en.find("in use by another program"), std::string::npos);
  EXPECT_NE(error.userMessage().en.find(pty.SlavePath()), std::string::npos);
  EXPECT_NE(error.userMessage().zh.find(pty.SlavePath()), std::string::npos);
  EXPECT_FALSE(second.IsOpen());
  uint8_t buffer[64];
  EXPECT_EQ(port.Read(buffer, 64), 2);

  port.Close();
  second.OpenDevice(pty.SlavePath());
  EXPECT_TRUE(second.IsOpen());
}

// Misuse and bad port numbers raise the fixed texts, with no error code.
TEST_F(SerialCommTest, FixedTextsForMisuseAndPortRange) {
  const std::string range = "COMM_ASSERT(dwPort >= 1 && dwPort <= 1024) failed; SerialComm(332); ";
  SerialComm closed;
  struct Case {
    const char* what;
    std::function<void()> call;
    std::string text;
  };
  uint8_t byte = 0;
  const Case cases[] = {
      {"port 0", [&] { closed.Open(0); }, range},
      {"port 1025", [&] { closed.Open(1025); }, range},
      {"COM0", [&] { closed.OpenDevice("COM0"); }, range},
      {"COM1025", [&] { closed.OpenDevice("COM1025"); }, range},
      {"huge COM", [&] { closed.OpenDevice("COM99999999999999999999"); }, range},
      {"read closed", [&] { closed.Read(&byte, 1); },
       "COMM_ASSERT(IsOpen()) failed; SerialComm(418); "},
      {"read no buffer", [&] { port.Read(nullptr, 1); },
       "COMM_ASSERT(pBuffer) failed; SerialComm(478); "},
      {"write closed", [&] { closed.Write(&byte, 1); },
       "COMM_ASSERT(IsOpen()) failed; SerialComm(511); "},
      {"queue closed", [&] { closed.QueueCount(COMM_QUEUE_INPUT); },
       "COMM_ASSERT(IsOpen()) failed; SerialComm(982); "},
      {"open an open port", [&] { port.Open(5); },
       "COMM_ASSERT(!IsOpen()) failed; SerialComm(1708); "},
      {"option while open", [&] { port.SetOption(0); },
       "COMM_ASSERT(!IsOpen()) failed; SerialComm(210); "},
      {"no notify target", [&] { port.SetNotifyTarget(nullptr); },
       "COMM_ASSERT(::IsWindow(hWnd)) failed; SerialComm(250); "},
  };
  const uint32_t openNumber = port.PortNumber();
  for (const Case& c : cases) EXPECT_EQ(ErrorOf(c.call).what(), c.text) << c.what;
  EXPECT_FALSE(closed.IsOpen());
  EXPECT_TRUE(port.IsOpen());
  EXPECT_EQ(port.PortNumber(), openNumber);
  EXPECT_EQ(port.DeviceName(), pty.SlavePath());
  // The port is named as it was given, not as the limit a huge number is cut to.
  const struct {
    std::function<void()> call;
    std::string port;
  } named[] = {{[&] { closed.Open(0); }, "COM0"},
               {[&] { closed.OpenDevice("COM99999"); }, "COM99999"},
               {[&] { closed.OpenDevice("com1025"); }, "com1025"}};
  for (const auto& n : named) {
    const Text message = ErrorOf(n.call).userMessage();
    EXPECT_NE(message.en.find("Port " + n.port + " is not valid"), std::string::npos) << message.en;
    EXPECT_NE(message.zh.find("串口 " + n.port + " 无效"), std::string::npos) << message.zh;
  }
}

TEST(SerialCommOpen, MissingDeviceOrNotATtyFailsWithCodeAndReasonAndEndsClosed) {
  const test::ScratchDir dir("serial-open");
  const std::string plain = dir.File("serial_not_a_tty");
  ::close(::open(plain.c_str(), O_CREAT | O_WRONLY, 0600));
  struct Case {
    std::string device;
    int code;
    const char* reason;
  };
  for (const Case& c : {Case{"/dev/ttyUSB-missing", ENOENT, "does not exist"},
                        Case{plain, ENOTTY, "is not a serial port"}}) {
    SerialComm port;
    try {
      port.OpenDevice(c.device);
      ADD_FAILURE() << c.device << " opened";
    } catch (const CommError& error) {
      EXPECT_EQ(std::string(error.what()), std::string(kOpenPortText) +
                                               "Code:" + std::to_string(c.code) + ";" +
                                               std::strerror(c.code));
      EXPECT_NE(error.userMessage().en.find(c.reason), std::string::npos) << c.device;
      EXPECT_NE(error.userMessage().zh.find(c.device), std::string::npos) << c.device;
    }
    EXPECT_FALSE(port.IsOpen()) << c.device;
  }
  // The failed open released its lock: the file can be locked again.
  const int fd = ::open(plain.c_str(), O_RDONLY);
  EXPECT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
  ::close(fd);
}

// Settings the tty cannot make fail with the SetState text and leave the
// port closed.
TEST(SerialCommOpen, UnsupportedLineSettingsFailAndEndClosed) {
  Pty pty;
  const FakeTtyS dev(pty, "ttyS0");
  SerialComm port(EN_WATCH_THREAD | EN_OVERLAPPED_IO, dev.Root());
  const std::string setState =
      "COMM_ASSERT(SetState(dwBaudRate, btParity, btByteSize, btStopBits)) failed; "
      "SerialComm(340); Code:22;Invalid argument";
  try {
    port.Open(1, 12345);
    ADD_FAILURE() << "opened";
  } catch (const CommError& error) {
    EXPECT_EQ(error.what(), setState);
  }
  EXPECT_FALSE(port.IsOpen());
  port.Open(1);  // the failed open let the port go
  EXPECT_TRUE(port.IsOpen());
}

// Port n is /dev/ttyS(n-1), by number or as a "COMn" text; a device path
// gets a number of its own on every open.
TEST(SerialCommOpen, PortNumbersNameTtySDevices) {
  Pty pty;
  const FakeTtyS dev(pty, "ttyS2");
  SerialComm port(EN_WATCH_THREAD | EN_OVERLAPPED_IO, dev.Root());
  for (const std::function<void()>& open : std::initializer_list<std::function<void()>>{
           [&] { port.Open(3); }, [&] { port.OpenDevice("com3"); }}) {
    open();
    EXPECT_EQ(port.PortNumber(), 3u);
    EXPECT_EQ(port.DeviceName(), dev.Root() + "/ttyS2");
    pty.Send({0x7F});
    uint8_t byte = 0;
    EXPECT_EQ(port.Read(&byte, 1), 1);
    EXPECT_EQ(byte, 0x7F);
    port.Close();
  }
  port.OpenDevice(pty.SlavePath());
  const uint32_t first = port.PortNumber();
  port.Close();
  port.OpenDevice(pty.SlavePath());
  EXPECT_GE(first, SerialComm::kDevicePortBase);
  EXPECT_NE(port.PortNumber(), first);
}

TEST_F(SerialCommTest, VanishedDeviceRaisesOnReadAndNotifiesOnce) {
  std::thread unplug([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    pty.CloseMaster();
  });
  uint8_t buffer[64];
  const auto start = Clock::now();
  // A read ends after 40 ms of silence: reads follow one another, as the
  // notifications would, until the unplugging is seen.
  const CommError error = ErrorOf([&] {
    while (port.Read(buffer, 64) == 0 && ElapsedMs(start) < 1000) {
    }
  });
  unplug.join();
  EXPECT_LT(ElapsedMs(start), 400);
  EXPECT_EQ(
      std::string(error.what())
          .rfind("COMM_ASSERT(::GetOverlappedResult(hComm_, &RO_, &dwReadResult, TRUE)) failed; "
                 "SerialComm(433); Code:",
                 0),
      0u)
      << error.what();
  EXPECT_NE(error.userMessage().en.find("disconnected"), std::string::npos);
  EXPECT_NE(error.userMessage().en.find(pty.SlavePath()), std::string::npos);
  ASSERT_TRUE(notes.WaitFor(1, 1000));
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(notes.Count(), 1);

  const uint8_t frame[] = {0xAA, 0x55};
  EXPECT_NE(ErrorOf([&] { port.Write(frame, 2); }).userMessage().en.find("disconnected"),
            std::string::npos);
  EXPECT_NE(ErrorOf([&] { port.Read(buffer, 64); }).userMessage().en.find("disconnected"),
            std::string::npos);
  port.Close();
  EXPECT_FALSE(port.IsOpen());
}

// A write to a device that has just gone is reported, not taken as sent.
TEST_F(SerialCommTest, WriteToAVanishedDeviceRaises) {
  pty.CloseMaster();
  const uint8_t probe[] = {0xAA, 0xBB, 0x01, 0x7F, 0x55};
  const CommError error = ErrorOf([&] { port.Write(probe, 5); });
  EXPECT_EQ(std::string(error.what())
                .rfind("COMM_ASSERT(::GetLastError() == ERROR_IO_PENDING) failed; SerialComm(524); "
                       "Code:",
                       0),
            0u)
      << error.what();
  EXPECT_NE(error.userMessage().zh.find(pty.SlavePath()), std::string::npos);
  EXPECT_EQ(port.OutCount(), 0u);
}

// Without the watch thread, writes complete in the call and nothing notifies.
TEST(SerialCommOpen, WithoutWatchThreadWritesSynchronouslyAndNeverNotifies) {
  Pty pty;
  NotifyRecorder notes;
  SerialComm port(EN_OVERLAPPED_IO);
  port.SetNotifyTarget(notes.Target());
  port.OpenDevice(pty.SlavePath());
  const std::vector<uint8_t> sent = Sequence(200);
  EXPECT_EQ(port.Write(sent.data(), 200), 200);
  EXPECT_EQ(pty.Receive(200, 500), sent);
  pty.Send({9});
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(notes.Count(), 0);
  EXPECT_EQ(port.QueueCount(COMM_QUEUE_INPUT), 1u);
}

}  // namespace
}  // namespace vqled
