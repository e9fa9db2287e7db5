// The controller link over a real serial port (a pseudo-terminal) with the
// test playing a controller that misbehaves in time: one that splits its
// VQ-M28 presence reply across reads, and one that acknowledges every block
// but never reads. The test thread is the user-interface thread: it runs
// the link's handlers as the window would and times each of them.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>
#include <thread>

#include "link/controller_link.h"
#include "link/serial_comm.h"
#include "link_fakes.h"
#include "serial_pty.h"

namespace vqled {
namespace {

using test::Bytes;
using test::ElapsedMs;
using test::Pty;
using Clock = std::chrono::steady_clock;

// The recording host, with the receive notification made safe to post from
// the watch thread.
class PostingHost : public test::FakeHost {
 public:
  void PostReceive(uint32_t) override { posts.fetch_add(1); }
  std::atomic<int> posts{0};
};

class LinkDeadlineTest : public ::testing::Test {
 protected:
  LinkDeadlineTest() : image(std::make_unique<ImageBuffer>()) {
    profile.modelIndex = kModelVQM28;
    profile.valueKind = VALUE_KIND_BYTE;
    profile.blockSize = 2000;
    profile.areaCount = 1;
    host.portText = pty.SlavePath();
    link = std::make_unique<ControllerLink>(host, std::make_unique<SerialComm>(), store, profile,
                                            *image, [this](int, ImageBuffer& buffer) {
                                              for (int i = 0; i < imageLength; ++i)
                                                buffer.entry[i] = static_cast<uint8_t>(i);
                                              buffer.imageLast = imageLength - 1;
                                              return Outcome::Ok();
                                            });
  }

  // Runs posted receive notifications on this thread until done() holds or
  // limitMs pass; keeps the longest time one handler took.
  bool Pump(const std::function<bool()>& done, int limitMs) {
    const auto start = Clock::now();
    while (!done()) {
      if (ElapsedMs(start) > limitMs) return false;
      if (host.posts.exchange(0) == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        continue;
      }
      const auto call = Clock::now();
      link->OnCommReceive(link->port().PortNumber());
      longestHandlerMs = std::max(longestHandlerMs, ElapsedMs(call));
    }
    return true;
  }

  Pty pty;
  PatternStore store;
  ModelProfile profile;
  std::unique_ptr<ImageBuffer> image;
  PostingHost host;
  std::unique_ptr<ControllerLink> link;
  int imageLength = 600;
  int64_t longestHandlerMs = 0;
};

// "7E 01", then the "2C" 40 ms later, long after the read of the first two
// bytes has ended: the blocks are of 300 bytes, not 256.
TEST_F(LinkDeadlineTest, PresenceReplySplitAcrossReadsGivesTheWholeBlockSize) {
  link->BitBtn7Click(0);
  link->Timer1Timer();
  EXPECT_EQ(pty.Receive(6, 1000), (Bytes{0xAA, 0xCC, 0x02, 0x7F, 0x00, 0x55}));
  pty.Send({0x7E, 0x01});
  std::this_thread::sleep_for(std::chrono::milliseconds(40));
  pty.Send({0x2C});
  ASSERT_TRUE(Pump([&] { return profile.blockSize != 2000; }, 2000));
  EXPECT_EQ(profile.blockSize, 300);
  EXPECT_EQ(pty.Receive(6, 1000), (Bytes{0xAA, 0xCC, 0x02, 0x9F, 0x00, 0x55}));
  pty.Send({0x3C});
  ASSERT_TRUE(Pump([&] { return !link->awaitingErase(); }, 2000));
  const Bytes block = pty.Receive(304, 1000);
  ASSERT_EQ(block.size(), 304u);
  EXPECT_EQ(Bytes(block.begin(), block.begin() + 3), (Bytes{0xAA, 0x01, 0x2C}));
  EXPECT_EQ(block.back(), 0x55);
}

// Acknowledgements keep coming while nothing is read: the blocks fill the
// line and the port's queue, and the transaction ends with a message naming
// the port. No handler holds the user-interface thread for 100 ms.
TEST_F(LinkDeadlineTest, ControllerThatAcknowledgesButNeverReadsEndsWithoutFreezing) {
  imageLength = 2000 * 400;
  link->BitBtn7Click(0);
  link->Timer1Timer();
  EXPECT_EQ(pty.Receive(6, 1000).size(), 6u);
  pty.Send({0x8F});
  ASSERT_TRUE(Pump([&] { return !link->awaitingPresence(); }, 2000));
  EXPECT_EQ(pty.Receive(6, 1000).size(), 6u);  // the erase; from here on nothing is read
  std::atomic<bool> stop{false};
  std::thread controller([&] {
    try {
      pty.Send({0x3C});
      while (!stop) {
        pty.Send({0xAE});
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
      }
    } catch (const std::runtime_error&) {
      // The line went away with the port's close: nothing left to answer.
    }
  });
  const auto start = Clock::now();
  const bool ended = Pump([&] { return !host.messages.empty(); }, 8000);
  const int64_t tookMs = ElapsedMs(start);
  stop = true;
  controller.join();
  ASSERT_TRUE(ended) << "still sending after 8 s, at block " << link->blockIndex();
  std::printf("ended after %lld ms at block %d; longest handler %lld ms\n",
              static_cast<long long>(tookMs), link->blockIndex(),
              static_cast<long long>(longestHandlerMs));
  // A read and a write of 40 ms at most (the figure above): the test holds the
  // longest handler far below the 11 s a stalled port used to freeze the
  // window for, with room for a machine busy with other tests.
  EXPECT_LT(longestHandlerMs, 1000);
  EXPECT_NE(host.messages[0].en.find("Serial port " + pty.SlavePath() + " does not take"),
            std::string::npos)
      << host.messages[0].en;
  EXPECT_NE(host.messages[0].zh.find(pty.SlavePath()), std::string::npos);
  EXPECT_FALSE(link->port().IsOpen());
  EXPECT_FALSE(host.HasStatus("Send OK !!!!"));
}

}  // namespace
}  // namespace vqled
