#include "link/port_finder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>

#include <thread>

#include "link_folder.h"
#include "model/model_catalogue.h"
#include "serial_pty.h"

namespace vqled {
namespace {

using Bytes = std::vector<uint8_t>;

// The download probe of VQ-M07 (a byte-valued model): AA CC 02 7F 00 55.
const Bytes kProbeM07 = {0xAA, 0xCC, 0x02, 0x7F, 0x00, 0x55};

// A controller on the master side of a pseudo-terminal: it waits for the
// probe, answers with reply (nothing when empty; a hang-up when hangUp),
// and keeps every byte the search sent it.
class FakeController {
 public:
  explicit FakeController(Bytes reply, bool hangUp = false)
      : reply_(std::move(reply)), hangUp_(hangUp) {}
  ~FakeController() { Join(); }

  const std::string& Device() const { return pty_.SlavePath(); }
  PortRecord Record() const { return {Device(), "", "", "", ""}; }

  void Serve(size_t probeLength) {
    worker_ = std::thread([this, probeLength] {
      received_ = pty_.Receive(probeLength, 3000);
      if (hangUp_) return pty_.CloseMaster();
      if (!reply_.empty()) pty_.Send(reply_);
      // Whatever else came: a search sends nothing after its probe.
      const Bytes more = pty_.Receive(64, 200);
      received_.insert(received_.end(), more.begin(), more.end());
    });
  }

  // Every byte the search sent, once the controller is done.
  const Bytes& Received() {
    Join();
    return received_;
  }

 private:
  void Join() {
    if (worker_.joinable()) worker_.join();
  }

  test::Pty pty_;
  Bytes reply_;
  bool hangUp_;
  Bytes received_;
  std::thread worker_;
};

TEST(PortFinder, ProbeIsTheModelsDownloadProbeForArea0) {
  struct Case {
    const char* model;
    Bytes probe;
  };
  const Case cases[] = {
      {"VQ-M01", {0xAA, 0xBB, 0x01, 0x7F, 0x55}},                    // bit values: no value byte
      {"VQ-M07", kProbeM07},                                         // byte values
      {"VQ-M20", {0xAA, 0xCC, 0x04, 0x7F, 0x00, 0x00, 0x00, 0x55}},  // long command frames
  };
  for (const Case& c : cases) {
    uint8_t out[kCommandFrameCapacity];
    const int length = BuildFindProbe(ModelIndexByName(c.model), out);
    EXPECT_EQ(Bytes(out, out + length), c.probe) << c.model;

    // On the line the controller gets exactly that, and nothing after its reply.
    FakeController controller({RPL_PRESENT});
    controller.Serve(c.probe.size());
    const auto answers = FindControllers({controller.Record()}, ModelIndexByName(c.model));
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].result, FIND_ANSWERED) << c.model;
    EXPECT_EQ(controller.Received(), c.probe) << c.model;
  }
}

TEST(PortFinder, ProbesAllPortsAtOnceAndTellsWhatEachDid) {
  FakeController present({0x8F}), alternative({0x7F}), m28({0x7E, 0x01, 0xF4});
  FakeController silent({}), nonsense({0x55, 0x8F}), hangsUp({}, true);
  FakeController* controllers[] = {&present, &alternative, &m28, &silent, &nonsense, &hangsUp};
  std::vector<PortRecord> ports;
  for (FakeController* controller : controllers) {
    controller->Serve(kProbeM07.size());
    ports.push_back(controller->Record());
  }
  // A port another program holds, and one that does not exist.
  test::Pty held;
  const int holder = ::open(held.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(holder, 0);
  ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
  ports.push_back({held.SlavePath(), "", "", "", ""});
  test::ScratchDir scratch("finder");
  ports.push_back({scratch.File("ttyUSB-gone"), "", "", "", ""});
  ports.push_back({"/dev/null", "", "", "", ""});  // a character device, but no tty

  const std::vector<PortAnswer> answers = FindControllers(ports, ModelIndexByName("VQ-M07"));
  ::close(holder);

  ASSERT_EQ(answers.size(), ports.size());
  struct Expected {
    FindResult result;
    uint8_t reply;
    int blockSize;
    const char* why;  // a piece of the English reason
  };
  const Expected expected[] = {
      {FIND_ANSWERED, 0x8F, -1, ""},
      {FIND_ANSWERED, 0x7F, -1, ""},
      {FIND_ANSWERED, 0x7E, 500, ""},
      {FIND_SILENT, 0, -1, "did not answer within 2000 ms"},
      {FIND_OTHER_REPLY, 0x55, -1, "answered 55, which is no controller's reply"},
      {FIND_UNUSABLE, 0, -1, "was disconnected"},
      {FIND_UNUSABLE, 0, -1, "is in use by another program"},
      {FIND_UNUSABLE, 0, -1, "does not exist"},
      {FIND_UNUSABLE, 0, -1, "is not a serial port"},
  };
  for (size_t i = 0; i < answers.size(); ++i) {
    SCOPED_TRACE(ports[i].device);
    EXPECT_EQ(answers[i].port, ports[i]);
    EXPECT_EQ(answers[i].result, expected[i].result);
    EXPECT_EQ(answers[i].reply, expected[i].reply);
    EXPECT_EQ(answers[i].blockSize, expected[i].blockSize);
    EXPECT_NE(answers[i].why.en.find(expected[i].why), std::string::npos) << answers[i].why.en;
    if (expected[i].result != FIND_ANSWERED) {
      EXPECT_NE(answers[i].why.en.find(ports[i].device), std::string::npos) << answers[i].why.en;
      EXPECT_FALSE(answers[i].why.zh.empty());
    }
  }
  for (FakeController* controller : controllers)
    EXPECT_EQ(controller->Received(), kProbeM07) << controller->Device();
  EXPECT_EQ(FirstAnswered(answers), &answers[0]);
  EXPECT_EQ(DescribeAnswer(answers[2]).en,
            "VQ-M28 controller on " + m28.Device() + " (reply 7E, block size 500)");
}

TEST(PortFinder, FindsNothingAmongSilentPortsOrNoPorts) {
  FakeController silent({});
  silent.Serve(kProbeM07.size());
  const auto answers = FindControllers({silent.Record()}, ModelIndexByName("VQ-M07"), 300);
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(answers[0].result, FIND_SILENT);
  EXPECT_EQ(FirstAnswered(answers), nullptr);
  EXPECT_EQ(silent.Received(), kProbeM07);
  EXPECT_TRUE(FindControllers({}, ModelIndexByName("VQ-M07")).empty());
}

TEST(PortFinder, CandidatesAreTheSourcesPortsButAUartWithoutHardware) {
  EXPECT_TRUE(IsFindCandidate({"/dev/ttyUSB0", "", "", "", ""}));
  EXPECT_TRUE(IsFindCandidate({"/dev/ttyACM3", "", "", "", ""}));
  EXPECT_TRUE(IsFindCandidate({"/dev/pts/7", "", "", "", ""}));
  EXPECT_FALSE(IsFindCandidate({"/dev/ttyS987", "", "", "", ""}));

  test::LinkFolder folder("finder");
  test::Pty first, second;
  folder.Plug("usb-b", second);
  folder.Plug("usb-a", first);
  const auto source = MakeFolderPortSource(folder.Folder());
  const std::vector<PortRecord> candidates = FindCandidates(source->List());
  ASSERT_EQ(candidates.size(), 2u);
  EXPECT_EQ(candidates[0].device, first.SlavePath());
  EXPECT_EQ(candidates[1].device, second.SlavePath());
}

}  // namespace
}  // namespace vqled
