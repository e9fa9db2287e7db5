#include "sim/sim_controller.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "host_bytes.h"
#include "model/model_catalogue.h"
#include "scratch_dir.h"
#include "sim/sim_options.h"

namespace vqled {
namespace {

using namespace std::chrono_literals;

// The host's end of the line, as small as a test needs: opens the slave
// exclusively and raw, as the serial port layer does, writes frames and reads
// replies with a short timeout.
class Host {
 public:
  explicit Host(const std::string& device) {
    fd_ = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0) throw std::runtime_error("cannot open " + device);
    ioctl(fd_, TIOCEXCL);
    termios settings{};
    tcgetattr(fd_, &settings);
    cfmakeraw(&settings);
    tcsetattr(fd_, TCSANOW, &settings);
  }
  ~Host() { Close(); }
  // Leaves exclusive mode first: a pty keeps it after the close, and the
  // next open by a user without privilege would fail as busy.
  void Close() {
    if (fd_ >= 0) {
      ioctl(fd_, TIOCNXCL);
      close(fd_);
    }
    fd_ = -1;
  }

  void Write(const Bytes& bytes) const {
    ASSERT_EQ(write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  // Reads until `want` bytes came or timeoutMs passed; hungUp tells whether the line dropped.
  Bytes Read(size_t want = 1, int timeoutMs = 1000) {
    Bytes got;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (got.size() < want) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          until - std::chrono::steady_clock::now());
      if (left.count() <= 0) break;
      pollfd in = {fd_, POLLIN, 0};
      if (poll(&in, 1, static_cast<int>(left.count())) <= 0) break;
      uint8_t chunk[256];
      const ssize_t count = read(fd_, chunk, sizeof chunk);
      if (count <= 0) {
        hungUp = (in.revents & POLLHUP) != 0 || count == 0 || errno == EIO;
        break;
      }
      got.insert(got.end(), chunk, chunk + count);
    }
    return got;
  }
  Bytes Exchange(const Bytes& frame, size_t want = 1) {
    Write(frame);
    return Read(want);
  }

  bool hungUp = false;

 private:
  int fd_ = -1;
};

SimOptions OptionsFor(const char* model) {
  SimOptions options;
  options.profile = CatalogueProfile(ModelIndexByName(model));
  return options;
}

// One area of a value-kind-3 model: probe, erase, a full and a short block, end, finish.
void DownloadArea(Host& host, uint8_t area, uint8_t fill) {
  EXPECT_EQ(host.Exchange(Cmd(0x7F, area)), Bytes{0x8F});
  EXPECT_EQ(host.Exchange(Cmd(0x9F, area)), Bytes{0x3C});
  EXPECT_EQ(host.Exchange(SizedBlock(Bytes(512, fill))), Bytes{0xAA});
  EXPECT_EQ(host.Exchange(SizedBlock(Bytes(10, fill))), Bytes{0xAA});
  EXPECT_EQ(host.Exchange(Cmd(0xDD, area)), Bytes{0xDD});
  host.Write(Cmd(0xEE, area));
}

TEST(SimController, ServesAreaAfterAreaWhileTheHostReopensThePort) {
  const test::ScratchDir scratch("sim-test");
  const std::filesystem::path& dir = scratch.path();
  SimOptions options = OptionsFor("VQ-M05");
  options.saveDir = (dir / "images").string();  // made by Start()
  SimController sim(options);
  const std::string device = sim.Start();
  ASSERT_EQ(device.rfind("/dev/pts/", 0), 0u);

  for (uint8_t area = 0; area < 3; ++area) {
    Host host(device);  // each area is a transaction of its own, on a freshly opened port
    DownloadArea(host, area, static_cast<uint8_t>(0x10 + area));
    host.Close();
    ASSERT_TRUE(sim.WaitFor([&](const SimStats& s) { return s.finishes == area + 1; }, 2s));
  }
  EXPECT_GE(sim.Stats().lineOpens, 1);
  const std::vector<SimImage> images = sim.Images();
  ASSERT_EQ(images.size(), 3u);
  for (const SimImage& image : images) {
    EXPECT_TRUE(image.complete);
    EXPECT_EQ(image.bytes, Bytes(522, static_cast<uint8_t>(0x10 + image.area)));
  }
  std::ifstream saved(dir / "images" / "area-02.bin", std::ios::binary);
  EXPECT_EQ(Bytes(std::istreambuf_iterator<char>(saved), {}), Bytes(522, 0x11));

  const std::vector<SimLogEntry> log = sim.FrameLog();
  ASSERT_FALSE(log.empty());
  bool probeLogged = false;
  for (const SimLogEntry& entry : log) {
    probeLogged |= entry.direction == LOG_FROM_HOST && entry.text == "AA CC 02 7F 00 55";
  }
  EXPECT_TRUE(probeLogged);
  EXPECT_EQ(sim.Stats().errors, 0);
  sim.Stop();
  EXPECT_FALSE(sim.Running());
}

TEST(SimController, FramesSplitAcrossWritesAndFramesLeftUnfinished) {
  SimOptions options = OptionsFor("VQ-M05");
  options.frameTimeoutMs = 60;
  SimController sim(options);
  Host host(sim.Start());
  host.Exchange(Cmd(0x7F, 0));
  host.Exchange(Cmd(0x9F, 0));
  const Bytes block = SizedBlock(Bytes(512, 0x42));
  host.Write(Bytes(block.begin(), block.begin() + 2));
  usleep(10000);
  host.Write(Bytes(block.begin() + 2, block.begin() + 300));
  usleep(10000);
  host.Write(Bytes(block.begin() + 300, block.end()));
  EXPECT_EQ(host.Read(), Bytes{0xAA});

  // Half a block, then silence: the controller drops it and says it received badly.
  host.Write(Bytes(block.begin(), block.begin() + 100));
  EXPECT_EQ(host.Read(1, 1000), Bytes{0xFE});
  EXPECT_EQ(sim.Stats().badFrames, 1);
  EXPECT_EQ(sim.Image(0)->bytes.size(), 512u);
}

TEST(SimController, TheLineIsRawForAHostThatSetsNoModeOfItsOwn) {
  SimController sim(OptionsFor("VQ-M05"));
  const int fd = open(sim.Start().c_str(), O_RDWR | O_NOCTTY);  // no cfmakeraw here
  ASSERT_GE(fd, 0);
  // Bytes a cooked line would turn into signals, newlines, flow control or erasing.
  const Bytes data = {0x03, 0x0A, 0x0D, 0x11, 0x13, 0x1A, 0x7F, 0x04, 0x15, 0x1C};
  Bytes frames = Cmd(0x7F, 0);
  for (const Bytes& frame : {Cmd(0x9F, 0), SizedBlock(Bytes(10, 0))}) {
    frames.insert(frames.end(), frame.begin(), frame.end());
  }
  std::copy(data.begin(), data.end(), frames.end() - 11);
  ASSERT_EQ(write(fd, frames.data(), frames.size()), static_cast<ssize_t>(frames.size()));
  ASSERT_TRUE(sim.WaitFor([](const SimStats& s) { return s.blocks == 1; }, 2s));
  EXPECT_EQ(sim.Image(0)->bytes, data);
  close(fd);
}

TEST(SimController, HangUpFaultDropsTheLineMidTransfer) {
  SimOptions options = OptionsFor("VQ-M05");
  options.faults.hangUpAtFrame = 3;
  SimController sim(options);
  Host host(sim.Start());
  host.Exchange(Cmd(0x7F, 0));
  host.Exchange(Cmd(0x9F, 0));
  host.Write(SizedBlock(Bytes(512, 0)));
  EXPECT_EQ(host.Read(1, 1000), Bytes{});
  EXPECT_TRUE(host.hungUp);
  EXPECT_TRUE(sim.WaitFor([](const SimStats& s) { return !s.serving; }, 2s));
  EXPECT_TRUE(sim.Stats().hungUp);
  EXPECT_FALSE(sim.Running());
}

TEST(SimController, SilentControllerAndExitAfterTheTransaction) {
  SimOptions silent = OptionsFor("VQ-M05");
  silent.faults.silent = true;
  SimController quiet(silent);
  Host host(quiet.Start());
  host.Write(Cmd(0x7F, 0));
  EXPECT_EQ(host.Read(1, 200), Bytes{});
  EXPECT_EQ(quiet.Stats().frames, 1);

  SimOptions once = OptionsFor("VQ-M05");
  once.exitAfter = 1;
  SimController sim(once);
  Host clock(sim.Start());
  EXPECT_EQ(clock.Exchange(Cmd(0x4F, 0)), Bytes{0x4E});
  EXPECT_EQ(clock.Exchange({0xAA, 0xCC, 0x07, 0x4E, 26, 12, 10, 11, 2, 3, 0x55}), Bytes{0x4D});
  EXPECT_TRUE(sim.Running());  // it waits for the host to close its port
  clock.Close();
  EXPECT_TRUE(sim.WaitFor([](const SimStats& s) { return !s.serving; }, 2s));
  EXPECT_EQ(sim.Received().clock[5], 3);
}

TEST(SimController, PacingHoldsARepliesUntilTheFrameHasCrossedTheLine) {
  SimOptions options = OptionsFor("VQ-M10");  // blocks of 2000
  options.baud = 115200;
  SimController sim(options);
  Host host(sim.Start());
  host.Exchange(Cmd(0x7F, 0));
  host.Exchange(Cmd(0x9F, 0));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(host.Exchange(SizedBlock(Bytes(2000, 1))), Bytes{0xAA});
  // 2004 bytes in and 1 out at 10 bits a byte: at least 174 ms.
  EXPECT_GE(std::chrono::steady_clock::now() - start, 174ms);
}

TEST(SimController, AReplyDueAfterTheHostClosedItsPortIsNotLeftForTheNextOpener) {
  SimOptions options = OptionsFor("VQ-M05");
  options.replyDelayMs = 100;
  SimController sim(options);
  const std::string device = sim.Start();
  {
    Host gone(device);
    gone.Write(Cmd(0x7F, 0));
  }
  usleep(200000);
  Host next(device);
  EXPECT_EQ(next.Read(1, 100), Bytes{});
  EXPECT_EQ(next.Exchange(Cmd(0x7F, 0)), Bytes{0x8F});
}

TEST(SimController, ServesAGivenTty) {
  // The test holds a pseudo-terminal's master as the host's end; the
  // controller serves the slave by path, as it would a serial device.
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  SimOptions options = OptionsFor("VQ-M01");
  options.tty = ptsname(master);
  SimController sim(options);
  EXPECT_EQ(sim.Start(), options.tty);
  const Bytes probe = {0xAA, 0xBB, 0x01, 0x7F, 0x55};
  ASSERT_EQ(write(master, probe.data(), probe.size()), 5);
  pollfd in = {master, POLLIN, 0};
  ASSERT_EQ(poll(&in, 1, 1000), 1);
  uint8_t reply = 0;
  EXPECT_EQ(read(master, &reply, 1), 1);
  EXPECT_EQ(reply, 0x8F);
  sim.Stop();
  close(master);
}

TEST(SimController, AnUnopenableTtyIsNamedInTheError) {
  SimOptions options = OptionsFor("VQ-M05");
  options.tty = "/dev/vqled-no-such-tty";
  SimController sim(options);
  try {
    sim.Start();
    FAIL() << "Start() opened a tty that does not exist";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find("/dev/vqled-no-such-tty"), std::string::npos);
  }
  EXPECT_FALSE(sim.Running());
}

}  // namespace
}  // namespace vqled
