// The flashing station with scripted controllers on fake ports and a clock
// the test moves: units run side by side in one loop, a faulty unit fails
// alone, a failed area is sent again from its probe, the settings step
// follows the download, and every attempt leaves a log record.
#include "link/flash_station.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "fresh_store.h"
#include "link/flash_log.h"
#include "link/flash_port.h"
#include "link_fakes.h"
#include "model/model_catalogue.h"
#include "serial_pty.h"

namespace vqled {
namespace {

using test::Bytes;
using test::FakePort;
using test::PortScript;

constexpr int kModelVQM16 = 16;  // two areas, block size 70, AA CC 02 command frames

class FakeClock : public LoopClock {
 public:
  int64_t NowMs() override { return now; }
  int64_t now = 1'000'000;
};

// A controller behind a fake port: answers probe (of a download or of the
// settings), erase, blocks and end of data as a controller does, with the
// faults a test asks for.
struct ScriptedController {
  PortScript script;
  bool silent = false;
  int sendErrorAtBlock = -1;  // answer this block (counted over the run) with 0xFF
  int hangUpAtBlock = -1;     // the port vanishes when this block is written
  int blocks = 0;
  std::vector<int> erasedAreas;
  int settingsProbes = 0;
  Bytes lastBlock;  // the last data frame written

  ScriptedController() {
    script.checkFrame = [this](const uint8_t* frame, int length) { Answer(frame, length); };
  }

  void Answer(const uint8_t* frame, int length) {
    // The download's AA CC 02 commands, and the settings' AA CD 01 ones.
    const bool settings = length == 5 && frame[1] == 0xCD && frame[2] == 0x01;
    const bool command = settings || (length == 6 && frame[1] == 0xCC && frame[2] == 0x02);
    const bool settingsBlock = length > 3 && frame[1] == 0xCD && !settings;
    uint8_t reply = 0;
    if (command && frame[3] == CMD_PROBE_DOWNLOAD) reply = RPL_PRESENT;
    if (command && frame[3] == CMD_PROBE_SETTINGS) {
      reply = RPL_PRESENT;
      ++settingsProbes;
    }
    if (command && frame[3] == CMD_ERASE) {
      reply = RPL_ERASED;
      erasedAreas.push_back(frame[4]);
    }
    if (command && (frame[3] == CMD_DATA_END_AA || frame[3] == CMD_DATA_END_AE)) reply = RPL_STORED;
    if (!command) {
      lastBlock.assign(frame, frame + length);
      const int block = blocks++;
      if (block == hangUpAtBlock) {
        script.failWrite = script.failRead = true;
        script.notify(7);  // the watch thread reports the hang-up
        return;
      }
      reply = block == sendErrorAtBlock ? RPL_SEND_ERROR
              : settingsBlock           ? RPL_BLOCK_ACK_AE
                                        : RPL_BLOCK_ACK_AA;
    }
    if (silent || reply == 0 || script.failRead) return;
    script.pendingReads.push_back(Bytes{reply});
    script.notify(7);
  }
};

class FlashStationTest : public ::testing::Test {
 protected:
  FlashStationTest() : store_(std::make_unique<PatternStore>()) {
    ResetToStartupAreas(*store_);
    job_.profile = CatalogueProfile(kModelVQM16);
    job_.allAreas = true;
    for (int area = 0; area < 2; ++area) {
      FlashImage image;
      image.area = area;
      image.bytes.assign(150, static_cast<uint8_t>(area + 1));  // three blocks of 70
      image.crc32 = Crc32(image.bytes.data(), image.bytes.size());
      job_.images.push_back(image);
    }
  }

  // A station whose units take the controllers in start order.
  std::unique_ptr<FlashStation> MakeStation(size_t units) {
    controllers_.resize(units);
    for (auto& c : controllers_) c = std::make_unique<ScriptedController>();
    auto station = std::make_unique<FlashStation>(
        job_, *store_,
        [this]() { return std::make_unique<FakePort>(controllers_[nextPort_++]->script); }, clock_,
        [this]() { return clock_.now; });
    for (size_t i = 0; i < units; ++i)
      station->AddUnit({"/dev/ttyUSB" + std::to_string(i), "", "", "", ""});
    return station;
  }

  // Turns the loop, moving the clock 50 ms a turn, until the station is done.
  void Run(FlashStation& station) {
    for (int turn = 0; turn < 10000 && !station.Done(); ++turn) {
      station.Step(0);
      clock_.now += 50;
    }
    ASSERT_TRUE(station.Done());
  }

  std::unique_ptr<PatternStore> store_;
  FlashJob job_;
  FakeClock clock_;
  std::vector<std::unique_ptr<ScriptedController>> controllers_;
  size_t nextPort_ = 0;
};

TEST(FlashCrc, MatchesTheCheckValue) {
  const uint8_t digits[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  EXPECT_EQ(Crc32(digits, sizeof digits), 0xCBF43926u);
  EXPECT_EQ(Crc32(digits, 0), 0u);
}

// A unit's port hands over what waits and never waits itself; a line that
// hung up is still reported.
TEST(FlashSerialPort, ReadsOnlyWhatWaitsAndReportsAHangUp) {
  test::Pty pty;
  FlashSerialPort port;
  port.OpenDevice(pty.SlavePath());
  uint8_t bytes[kMaxReplyChunk] = {};
  EXPECT_EQ(port.Read(bytes, kMaxReplyChunk), 0);
  pty.Send({0xAE, 0x7E, 0x04});
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (port.QueueCount(COMM_QUEUE_INPUT) < 3 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ASSERT_EQ(port.Read(bytes, kMaxReplyChunk), 3);
  EXPECT_EQ(Bytes(bytes, bytes + 3), (Bytes{0xAE, 0x7E, 0x04}));
  pty.CloseMaster();
  EXPECT_THROW(port.Read(bytes, kMaxReplyChunk), CommError);
}

TEST_F(FlashStationTest, UnitsRunSideBySideAndAllPass) {
  auto station = MakeStation(3);
  station->Step(0);
  // All three are probing at once, before any has finished.
  for (size_t i = 0; i < 3; ++i) EXPECT_EQ(station->UnitResult(i), FLASH_RUNNING);
  Run(*station);
  EXPECT_TRUE(station->AllPassed());
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(controllers_[i]->erasedAreas, (std::vector<int>{0, 1}));
    EXPECT_EQ(controllers_[i]->blocks, 6);
    ASSERT_EQ(station->UnitAttempts(i).size(), 1u);
    EXPECT_EQ(station->UnitAttempts(i)[0].blocks, 6);
    EXPECT_EQ(station->UnitAttempts(i)[0].status.en, "Send OK !!!!");
    EXPECT_EQ(station->UnitProgress(i).percent, 100);
  }
}

TEST_F(FlashStationTest, FaultyUnitsFailAloneWithTheirMessages) {
  struct Case {
    const char* name;
    void (*fault)(ScriptedController&);
    const char* status;
  };
  const Case cases[] = {
      {"silent", [](ScriptedController& c) { c.silent = true; }, "Not Find pls check connt"},
      {"hang-up", [](ScriptedController& c) { c.hangUpAtBlock = 4; },
       "serial port /dev/ttyUSB1 failed: COMM_ASSERT(IsOpen()) failed; SerialComm(418); "},
      {"0xFF", [](ScriptedController& c) { c.sendErrorAtBlock = 1; },
       "send  timeout。Pls Re send！"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    nextPort_ = 0;
    auto station = MakeStation(3);
    c.fault(*controllers_[1]);
    Run(*station);
    EXPECT_EQ(station->UnitResult(0), FLASH_PASSED);
    EXPECT_EQ(station->UnitResult(1), FLASH_FAILED);
    EXPECT_EQ(station->UnitResult(2), FLASH_PASSED);
    EXPECT_EQ(station->UnitAttempts(1).back().status.en, c.status);
    EXPECT_FALSE(station->AllPassed());
  }
}

TEST_F(FlashStationTest, RetrySendsTheFailedAreaAgainFromItsProbe) {
  job_.retries = 2;
  auto station = MakeStation(1);
  controllers_[0]->sendErrorAtBlock = 4;  // the second block of area 2
  Run(*station);
  ASSERT_EQ(station->UnitResult(0), FLASH_PASSED);
  // Area 1 once; area 2 erased on the failed attempt and again on the retry.
  EXPECT_EQ(controllers_[0]->erasedAreas, (std::vector<int>{0, 1, 1}));
  const auto& attempts = station->UnitAttempts(0);
  ASSERT_EQ(attempts.size(), 2u);
  EXPECT_FALSE(attempts[0].passed);
  EXPECT_EQ(attempts[0].areas, (std::vector<int>{0, 1}));
  EXPECT_TRUE(attempts[1].passed);
  EXPECT_EQ(attempts[1].retry, 1);
  EXPECT_EQ(attempts[1].areas, (std::vector<int>{1}));
  EXPECT_EQ(attempts[1].blocks, 3);
}

TEST_F(FlashStationTest, UnitFailsOnlyAfterItsRetries) {
  job_.retries = 2;
  auto station = MakeStation(1);
  controllers_[0]->silent = true;
  Run(*station);
  EXPECT_EQ(station->UnitResult(0), FLASH_FAILED);
  EXPECT_EQ(station->UnitAttempts(0).size(), 3u);
}

// The settings step runs after the download as its own attempt; a unit whose
// settings fail is retried as for the other steps, and fails alone once its
// retries are spent.
TEST_F(FlashStationTest, SettingsFollowTheDownloadAndFailAlone) {
  job_.settings = true;
  job_.settingsPanel.comboBoxAC = 20;
  for (int retries : {1, 0}) {
    SCOPED_TRACE(retries);
    job_.retries = retries;
    nextPort_ = 0;
    auto station = MakeStation(2);
    controllers_[1]->sendErrorAtBlock = 6;  // the settings block, after the six of the download
    Run(*station);
    EXPECT_EQ(station->UnitResult(0), FLASH_PASSED);
    EXPECT_EQ(station->UnitResult(1), retries > 0 ? FLASH_PASSED : FLASH_FAILED);
    EXPECT_EQ(controllers_[0]->settingsProbes, 1);
    EXPECT_EQ(controllers_[1]->settingsProbes, 1 + retries);
    const auto& passed = station->UnitAttempts(0);
    ASSERT_EQ(passed.size(), 2u);
    EXPECT_EQ(passed[1].step, "settings");
    EXPECT_TRUE(passed[1].passed);
    EXPECT_EQ(passed[1].status.en, "Send OK !!!!");
    const auto& failing = station->UnitAttempts(1);
    ASSERT_EQ(failing.size(), 2u + retries);
    EXPECT_EQ(failing[1].step, "settings");
    EXPECT_FALSE(failing[1].passed);
    EXPECT_EQ(failing[1].status.en, "send  timeout。Pls Re send！");
    EXPECT_EQ(failing.back().retry, retries);
  }
  // The settings frame carries the panel's image: AB, the four global
  // lists (only the volume selected), the trigger rows at item 0.
  Bytes frame = {0xAA, 0xCD, 0x29, 0xCF, 0xAB, 0xFF, 0xFF, 20, 0xFF};
  frame.resize(4 + kSettingsImageLength, 0x00);
  frame.push_back(0x55);
  EXPECT_EQ(controllers_[0]->lastBlock, frame);
}

TEST_F(FlashStationTest, JobsBoundTheUnitsInFlight) {
  job_.jobs = 2;
  auto station = MakeStation(5);
  int most = 0;
  for (int turn = 0; turn < 10000 && !station->Done(); ++turn) {
    station->Step(0);
    clock_.now += 50;
    int running = 0;
    for (size_t i = 0; i < 5; ++i) running += station->UnitResult(i) == FLASH_RUNNING;
    most = std::max(most, running);
  }
  EXPECT_TRUE(station->AllPassed());
  EXPECT_EQ(most, 2);
}

TEST_F(FlashStationTest, LogHasOneRecordPerUnitAndAttempt) {
  job_.retries = 1;
  auto station = MakeStation(2);
  controllers_[1]->sendErrorAtBlock = 0;
  std::vector<std::string> lines;
  station->onAttemptEnded = [&](size_t unit, const FlashAttempt& attempt) {
    lines.push_back(FlashLogRecord(station->UnitPort(unit), station->job(), attempt));
  };
  Run(*station);
  ASSERT_EQ(lines.size(), 3u);  // unit 1 once, unit 2 failed and retried
  int failed = 0;
  for (const std::string& line : lines) {
    const nlohmann::json record = nlohmann::json::parse(line);
    EXPECT_EQ(record["model"], "VQ-M16");
    EXPECT_TRUE(record["serialNumber"].is_null());
    EXPECT_EQ(record["start"].get<std::string>().size(), 24u);  // 1970-01-01T00:16:40.000Z
    if (record["result"] == "failed") {
      ++failed;
      EXPECT_EQ(record["port"], "/dev/ttyUSB1");
      EXPECT_EQ(record["retry"], 0);
      EXPECT_EQ(record["status"]["zh"], "send  timeout。Pls Re send！");
      continue;
    }
    EXPECT_EQ(record["result"], "passed");
    EXPECT_EQ(record["status"]["en"], "Send OK !!!!");
    EXPECT_EQ(record["areas"], nlohmann::json::array({1, 2}));
    EXPECT_EQ(record["blocks"], 6);
    // 150 bytes of 0x01 (area 1) and of 0x02 (area 2).
    EXPECT_EQ(record["images"][0],
              nlohmann::json({{"area", 1}, {"size", 150}, {"crc32", "ffd1c83c"}}));
  }
  EXPECT_EQ(failed, 1);
  EXPECT_EQ(IsoTime(1'000'000), "1970-01-01T00:16:40.000Z");
}

}  // namespace
}  // namespace vqled
