#include "link/port_source.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "link/serial_ports.h"
#include "link_folder.h"

namespace vqled {
namespace {

namespace fs = std::filesystem;

// Long enough for any loaded machine; a change normally shows within one rescan.
constexpr int kChangeDeadlineMs = 5000;

using test::LinkFolder;

PortRecord Linked(const LinkFolder& folder, const std::string& name, const test::Pty& pty) {
  return {pty.SlavePath(), folder.Link(name), "", "", ""};
}

TEST(FolderPortSource, ListsLinksToDevicesInNameOrderSkippingDanglingLinksAndFiles) {
  LinkFolder folder;
  test::Pty first, second;
  folder.Plug("usb-b-port0", second);
  folder.Plug("usb-a-port0", first);
  fs::create_symlink(folder.Folder() + "/nowhere", folder.Link("usb-gone"));
  std::ofstream(folder.Link("notes.txt")) << "not a port\n";

  const std::vector<PortRecord> expected = {Linked(folder, "usb-a-port0", first),
                                            Linked(folder, "usb-b-port0", second)};
  EXPECT_EQ(MakeFolderPortSource(folder.Folder())->List(), expected);
  EXPECT_TRUE(MakeFolderPortSource(folder.Folder() + "/missing")->List().empty());
}

TEST(FolderPortSource, TellsPlugUnplugAndAVanishedDeviceOnce) {
  LinkFolder folder;
  test::Pty present, plugged;
  folder.Plug("usb-present", present);
  auto source = MakeFolderPortSource(folder.Folder());
  ASSERT_EQ(source->StartWatch(), std::vector<PortRecord>{Linked(folder, "usb-present", present)});
  EXPECT_GE(source->WatchFd(), 0);

  folder.Plug("usb-plugged", plugged);
  std::vector<PortChange> changes = source->WaitChanges(kChangeDeadlineMs);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_TRUE(changes[0].added);
  EXPECT_EQ(changes[0].port, Linked(folder, "usb-plugged", plugged));

  folder.Unplug("usb-plugged");
  changes = source->WaitChanges(kChangeDeadlineMs);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_FALSE(changes[0].added);
  EXPECT_EQ(changes[0].port, Linked(folder, "usb-plugged", plugged));

  // The device goes while its link stays: no folder event, the rescan sees it.
  const PortRecord gone = Linked(folder, "usb-present", present);
  present.CloseMaster();
  changes = source->WaitChanges(kChangeDeadlineMs);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_FALSE(changes[0].added);
  EXPECT_EQ(changes[0].port, gone);

  // Nothing more happens: the wait ends at its deadline with no change.
  EXPECT_TRUE(source->WaitChanges(50).empty());
}

TEST(FolderPortSource, WatchesAFolderMadeAfterTheWatchStartedAndMadeAgain) {
  LinkFolder folder;
  test::Pty pty;
  auto source = MakeFolderPortSource(folder.Folder());
  EXPECT_TRUE(source->StartWatch().empty());

  folder.Plug("usb-first", pty);
  std::vector<PortChange> changes = source->WaitChanges(kChangeDeadlineMs);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_TRUE(changes[0].added);

  // The system removes the by-id folder with its last adapter.
  fs::remove_all(folder.Folder());
  changes = source->WaitChanges(kChangeDeadlineMs);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_FALSE(changes[0].added);

  folder.Plug("usb-again", pty);
  changes = source->WaitChanges(kChangeDeadlineMs);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_TRUE(changes[0].added);
  EXPECT_EQ(changes[0].port, Linked(folder, "usb-again", pty));
}

// A source whose notifications come through a pipe the test writes to, and
// which counts its listings.
class PipeSource : public PortSource {
 public:
  PipeSource() {
    if (pipe2(fds_, O_NONBLOCK | O_CLOEXEC) != 0) throw std::runtime_error("no pipe");
  }
  ~PipeSource() override {
    close(fds_[0]);
    close(fds_[1]);
  }
  std::vector<PortRecord> List() override {
    ++listings;
    return ports;
  }
  int WatchFd() const override { return fds_[0]; }
  int RescanMs() const override { return 60000; }
  void Notify() { ASSERT_EQ(write(fds_[1], "x", 1), 1); }

  std::vector<PortRecord> ports;
  int listings = 0;

 protected:
  void BeginWatch() override {}
  void DrainWatch() override {
    char buffer[16];
    while (read(fds_[0], buffer, sizeof buffer) > 0) {
    }
  }

 private:
  int fds_[2];
};

TEST(PortSourceWatch, ListsAgainOnlyWhenNotifiedOrDue) {
  PipeSource source;
  source.ports = {{"/dev/ttyUSB0", "", "", "", ""}};
  source.StartWatch();
  for (int i = 0; i < 20; ++i) EXPECT_TRUE(source.WaitChanges(0).empty());
  EXPECT_TRUE(source.WaitChanges(20).empty());
  EXPECT_EQ(source.listings, 1);

  source.Notify();  // a notification without a change: one listing, no change
  EXPECT_TRUE(source.WaitChanges(0).empty());
  EXPECT_EQ(source.listings, 2);

  source.ports.push_back({"/dev/ttyUSB1", "", "", "", ""});
  source.Notify();
  const std::vector<PortChange> changes = source.WaitChanges(0);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].port.device, "/dev/ttyUSB1");
  EXPECT_EQ(source.listings, 3);
}

TEST(DiffPorts, TellsRemovalsThenAdditionsAndAChangedRecordAsBoth) {
  const PortRecord a{"/dev/ttyUSB0", "/dev/serial/by-id/usb-a", "1a86:7523", "A1", "CH340"};
  const PortRecord b{"/dev/ttyUSB1", "", "", "", ""};
  const PortRecord c{"/dev/ttyACM0", "", "", "", ""};
  PortRecord aOther = a;
  aOther.serialNumber = "A2";  // another adapter on the same node

  struct Case {
    std::vector<PortRecord> before, after;
    std::vector<PortChange> changes;
  };
  const Case cases[] = {
      {{}, {}, {}},
      {{a, b}, {a, b}, {}},
      {{}, {a, b}, {{true, a}, {true, b}}},
      {{a, b}, {b}, {{false, a}}},
      {{a, b}, {b, c}, {{false, a}, {true, c}}},
      {{a}, {aOther}, {{false, a}, {true, aOther}}},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const std::vector<PortChange> got = DiffPorts(cases[i].before, cases[i].after);
    ASSERT_EQ(got.size(), cases[i].changes.size()) << i;
    for (size_t k = 0; k < got.size(); ++k) {
      EXPECT_EQ(got[k].added, cases[i].changes[k].added) << i << "/" << k;
      EXPECT_EQ(got[k].port, cases[i].changes[k].port) << i << "/" << k;
    }
  }
}

// The machine may have no serial adapter at all: the source must list and
// watch without failing, and show only ports the port list would show.
TEST(SystemPortSource, ListsAndWatchesWhateverTheMachineHas) {
  std::unique_ptr<PortSource> source;
  try {
    source = MakeSystemPortSource();
  } catch (const std::runtime_error& e) {
    GTEST_SKIP() << e.what();
  }
  const std::vector<PortRecord> ports = source->StartWatch();
  for (const PortRecord& port : ports) {
    ASSERT_EQ(port.device.rfind("/dev/", 0), 0u) << port.device;
    EXPECT_TRUE(IsListedSerialName({}, fs::path(port.device).filename().string())) << port.device;
    if (!port.byId.empty()) {
      EXPECT_EQ(port.byId.rfind("/dev/serial/by-id/", 0), 0u) << port.byId;
    }
  }
  EXPECT_EQ(source->List(), ports);
  EXPECT_GT(source->RescanMs(), 0);
  EXPECT_LE(source->RescanMs(), 2000);  // a plugged adapter shows within 2 s
  EXPECT_TRUE(source->WaitChanges(0).empty());
}

}  // namespace
}  // namespace vqled
