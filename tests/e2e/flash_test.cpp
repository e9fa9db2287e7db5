// vqled-cli flash against virtual controllers on pseudo-terminals: units
// run at once and all pass, a unit that hangs up mid-transfer fails alone,
// the log holds one record per unit and attempt, the trigger settings of a
// Config.ini follow the download, and --watch over a folder of links starts
// the job once per unit while it stays plugged in.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "byte_text.h"
#include "cli_run.h"
#include "files/pattern_files.h"
#include "link/flash_station.h"
#include "model/model_catalogue.h"
#include "model/model_selection.h"
#include "scratch_dir.h"
#include "sim/sim_controller.h"

namespace vqled {
namespace {

using namespace std::chrono_literals;
using test::FromHex;
using test::ScratchDir;

constexpr int kModelVQM16 = 16;  // two areas

// An all-area file of VQ-M16 that lights channel 1 in the first frame of
// each area.
void WritePattern(const std::string& file) {
  auto store = std::make_unique<PatternStore>();
  ModelProfile profile;
  AreaControls controls;
  SelectModel(profile, *store, controls, kModelVQM16);
  for (int area = 0; area < kAreaCount; ++area) {
    ResetArea(*store, area);
    store->Cell(area, kHeaderRows, kFirstFrameColumn) = 100;
  }
  HeaderControls header;
  header.comboBox6Index = kModelVQM16;
  header.radioButton6 = true;
  auto image = std::make_unique<ImageBuffer>();
  const EncodeContext context{profile, header, *image};
  ASSERT_TRUE(SaveAllAreas(*store, context, file, nullptr).ok);
}

std::unique_ptr<SimController> StartSim(int hangUpAtFrame = 0) {
  SimOptions options;
  options.profile = CatalogueProfile(kModelVQM16);
  options.faults.hangUpAtFrame = hangUpAtFrame;
  auto sim = std::make_unique<SimController>(options);
  sim->Start();
  return sim;
}

bool Finished(const SimStats& stats) {
  return stats.finishes >= 1;
}

std::vector<nlohmann::json> ReadLog(const std::string& path) {
  std::vector<nlohmann::json> records;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) records.push_back(nlohmann::json::parse(line));
  return records;
}

class FlashTest : public ::testing::Test {
 protected:
  FlashTest() : pattern(dir.File("show.Aled")), log(dir.File("flash.jsonl")) {
    WritePattern(pattern);
  }
  ScratchDir dir{"flash"};
  std::string pattern;
  std::string log;

  std::string WriteConfig(const std::string& text) const {
    const std::string path = dir.File("Config.ini");
    std::ofstream(path) << text;
    return path;
  }
};

TEST_F(FlashTest, ThreeUnitsAllPassAndLeaveARecordEach) {
  std::vector<std::unique_ptr<SimController>> sims;
  std::vector<std::string> args{"flash", pattern, "--model", "VQ-M16", "--all", "--log", log};
  for (int i = 0; i < 3; ++i) {
    sims.push_back(StartSim());
    args.insert(args.end(), {"--port", sims.back()->DevicePath()});
  }
  const CliRun run = RunCli(args, true);
  ASSERT_EQ(run.status, 0) << run.err;
  const auto records = ReadLog(log);
  ASSERT_EQ(records.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    const SimController& sim = *sims[i];
    ASSERT_EQ(sim.Images().size(), 2u);
    EXPECT_EQ(sim.Stats().imagesStored, 2);
    EXPECT_TRUE(sim.WaitFor(Finished, 2s));  // the finish may still cross the line
    const nlohmann::json& record = records[i];
    EXPECT_EQ(record["result"], "passed");
    EXPECT_EQ(record["status"]["en"], "Send OK !!!!");
    EXPECT_EQ(record["areas"], nlohmann::json::array({1, 2}));
    // The log names what the controller stored.
    for (int area = 0; area < 2; ++area) {
      const std::vector<uint8_t> got = sim.Image(area)->bytes;
      char crc[9];
      std::snprintf(crc, sizeof crc, "%08x", Crc32(got.data(), got.size()));
      EXPECT_EQ(record["images"][area]["crc32"], crc);
      EXPECT_EQ(record["images"][area]["size"], got.size());
    }
  }
  EXPECT_TRUE(Contains(run.err, "PORT")) << run.err;  // the summary table
}

TEST_F(FlashTest, UnitThatHangsUpFailsAloneAndTheOthersFinish) {
  std::vector<std::unique_ptr<SimController>> sims;
  std::vector<std::string> args{"flash", pattern, "--model", "VQ-M16", "--all", "--log", log};
  for (int i = 0; i < 3; ++i) {
    sims.push_back(StartSim(i == 1 ? 4 : 0));  // probe, erase, blocks: frame 4 is a block
    args.insert(args.end(), {"--port", sims.back()->DevicePath()});
  }
  const CliRun run = RunCli(args, true);
  EXPECT_EQ(run.status, 1) << run.err;
  const auto records = ReadLog(log);
  ASSERT_EQ(records.size(), 3u);
  for (const nlohmann::json& record : records) {
    const bool hungUp = record["port"] == sims[1]->DevicePath();
    EXPECT_EQ(record["result"], hungUp ? "failed" : "passed") << record.dump();
    if (hungUp) {
      EXPECT_TRUE(Contains(record["status"]["en"], sims[1]->DevicePath())) << record.dump();
      EXPECT_FALSE(record["status"]["zh"].get<std::string>().empty());
    }
  }
  EXPECT_TRUE(sims[1]->Stats().hungUp);
  EXPECT_TRUE(sims[0]->WaitFor(Finished, 2s));
  EXPECT_TRUE(sims[2]->WaitFor(Finished, 2s));
}

TEST_F(FlashTest, ClockAndEndDateFollowTheDownload) {
  auto sim = StartSim();
  const CliRun run =
      RunCli({"flash", pattern, "--model", "VQ-M16", "--area", "1", "--clock", "--end-date",
              "2030-01-31", "--port", sim->DevicePath(), "--log", log});
  ASSERT_EQ(run.status, 0) << run.err;
  ASSERT_TRUE(sim->WaitFor([](const SimStats& s) { return s.endDatesSet >= 1; }, 2s));
  const SimReceived received = sim->Received();
  EXPECT_TRUE(received.hasClock);
  EXPECT_EQ(received.endDate[0], 30);
  EXPECT_EQ(received.endDate[1], 1);
  EXPECT_EQ(received.endDate[2], 31);
  ASSERT_TRUE(sim->Image(1).has_value());
  const auto records = ReadLog(log);
  ASSERT_EQ(records.size(), 3u);
  const char* steps[] = {"download", "clock", "end-date"};
  const char* texts[] = {"Send OK !!!!", "Syn Time Send OK !!!!", "Set End Date Send OK !!!!"};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(records[i]["step"], steps[i]);
    EXPECT_EQ(records[i]["status"]["en"], texts[i]);
    EXPECT_EQ(records[i]["result"], "passed");
  }
}

// Every unit gets the settings image of the Config.ini after its download,
// with the list rules applied as the window sends it; the log has a record
// of the step.
TEST_F(FlashTest, SettingsFollowTheDownloadOnEveryUnit) {
  const std::string config = WriteConfig(
      "[Config]\nHYTYPE=16\n[SETGroup]\nCheckBoAA=11\nCheckBoAB=12\nComboBox14=-1\n"
      "GroupC1=16\nGroupC2=16\nGroupD4=-7\nGroupE6=5\nGroupA3=3\nGroupE3=3\n");
  std::vector<std::unique_ptr<SimController>> sims;
  std::vector<std::string> args{"flash", pattern,      "--model", "VQ-M16", "--area",
                                "0",     "--settings", config,    "--log",  log};
  for (int i = 0; i < 2; ++i) {
    sims.push_back(StartSim());
    args.insert(args.end(), {"--port", sims.back()->DevicePath()});
  }
  const CliRun run = RunCli(args);
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<uint8_t> expected = FromHex(
      "AB 0BFF00FF 0000100000 0000000000 0300000000 0000000000 0000000000 0000000005 "
      "0000000000");
  for (const auto& sim : sims) {
    const auto settings = sim->Received().settings;
    ASSERT_TRUE(settings.has_value());
    EXPECT_EQ(settings->bytes, expected);
    EXPECT_TRUE(sim->Image(0).has_value());
  }
  const auto records = ReadLog(log);
  ASSERT_EQ(records.size(), 4u);
  for (const auto& sim : sims) {
    std::vector<std::string> steps;
    for (const nlohmann::json& record : records) {
      if (record["port"] != sim->DevicePath()) continue;
      steps.push_back(record["step"]);
      EXPECT_EQ(record["result"], "passed") << record.dump();
      EXPECT_EQ(record["status"]["en"], "Send OK !!!!");
    }
    EXPECT_EQ(steps, (std::vector<std::string>{"download", "settings"}));
  }
}

// A Config.ini that cannot be read or holds no number where a list index
// belongs stops the command before any unit starts, naming the file.
TEST_F(FlashTest, BadSettingsFileIsRefusedBeforeAnythingIsSent) {
  auto sim = StartSim();
  struct Case {
    std::string path;
    const char* reason;
  } const cases[] = {
      {dir.File("Confg.ini"), "No such file or directory"},
      {dir.path().string(), "not a regular file"},
      {WriteConfig("[SETGroup]\nGroupB2=two\n"), "GroupB2"},
  };
  for (const Case& c : cases) {
    const CliRun run = RunCli({"flash", pattern, "--model", "VQ-M16", "--all", "--settings", c.path,
                               "--port", sim->DevicePath(), "--log", log});
    EXPECT_EQ(run.status, 2) << c.path;
    EXPECT_TRUE(Contains(run.err, c.path)) << run.err;
    EXPECT_TRUE(Contains(run.err, c.reason)) << run.err;
  }
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(sim->Stats().frames, 0);
  EXPECT_TRUE(ReadLog(log).empty());
}

TEST_F(FlashTest, UnwritableLogIsRefusedBeforeAnythingIsSent) {
  auto sim = StartSim();
  const std::string bad = dir.File("no-such-folder/flash.jsonl");
  const CliRun run = RunCli(
      {"flash", pattern, "--model", "VQ-M16", "--all", "--port", sim->DevicePath(), "--log", bad});
  EXPECT_EQ(run.status, 2);
  EXPECT_TRUE(Contains(run.err, bad)) << run.err;
  EXPECT_TRUE(Contains(run.err, "No such file or directory")) << run.err;
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(sim->Stats().frames, 0);
}

TEST_F(FlashTest, BadArgumentsAreRefusedWithTheirReason) {
  struct Case {
    std::vector<std::string> args;
    const char* reason;
  } const cases[] = {
      {{"--model", "VQ-M99", "--all", "--port", "/dev/null"}, "unknown model 'VQ-M99'"},
      {{"--model", "VQ-M16", "--all"}, "one of --port, --all-ports, --watch, --virtual"},
      {{"--model", "VQ-M16", "--port", "/dev/null"}, "nothing to do"},
      {{"--model", "VQ-M16", "--all", "--port", "/dev/a", "--port", "/dev/a"},
       "port /dev/a is given twice"},
      {{"--model", "VQ-M16", "--all", "--virtual", "2", "--port", "/dev/a"}, "excludes"},
      {{"--model", "VQ-M16", "--all", "--virtual", "1", "--end-date", "2024-02-30"},
       "--end-date needs a date"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args{"flash", pattern};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CliRun run = RunCli(args);
    EXPECT_EQ(run.status, 2) << c.reason;
    EXPECT_TRUE(Contains(run.err, c.reason)) << run.err;
  }
}

TEST_F(FlashTest, VirtualControllersNeedNoPort) {
  const CliRun run = RunCli(
      {"flash", pattern, "--model", "VQ-M16", "--area", "1", "--virtual", "2", "--json"}, true);
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json summary = nlohmann::json::parse(run.err.substr(run.err.find("{\n")));
  EXPECT_EQ(summary["passed"], true);
  EXPECT_EQ(summary["units"].size(), 2u);
  EXPECT_EQ(summary["units"][0]["attempts"][0]["areas"], nlohmann::json::array({2}));
}

// vqled-cli running in the background until it is interrupted.
class Background {
 public:
  Background(const std::vector<std::string>& args, const std::string& out) {
    const std::string program = std::string(VQLED_BIN_DIR) + "/vqled-cli";
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
      const int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      dup2(fd, STDOUT_FILENO);
      dup2(fd, STDERR_FILENO);
      execv(program.c_str(), argv.data());
      _exit(127);
    }
  }
  ~Background() {
    if (pid_ > 0) kill(pid_, SIGKILL), waitpid(pid_, nullptr, 0);
  }
  // Interrupts the program and returns its exit status, -1 when it had not
  // ended within the deadline.
  int Interrupt(std::chrono::milliseconds deadline) {
    kill(pid_, SIGINT);
    const auto until = std::chrono::steady_clock::now() + deadline;
    int status = 0;
    while (std::chrono::steady_clock::now() < until) {
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      std::this_thread::sleep_for(20ms);
    }
    return -1;
  }

 private:
  pid_t pid_ = -1;
};

TEST_F(FlashTest, WatchStartsOncePerUnitWhileItStaysPlugged) {
  const std::string links = dir.File("by-id");
  std::filesystem::create_directory(links);
  auto first = StartSim();
  auto second = StartSim();
  std::filesystem::create_symlink(first->DevicePath(), links + "/usb-VQ_first-if00");
  Background flash(
      {"flash", pattern, "--model", "VQ-M16", "--all", "--watch", "--dir", links, "--log", log},
      dir.File("out.txt"));
  ASSERT_TRUE(first->WaitFor(Finished, 20s));
  const auto plugged = std::chrono::steady_clock::now();
  std::filesystem::create_symlink(second->DevicePath(), links + "/usb-VQ_second-if00");
  // Taken up within 2 s: its first probe comes a probe interval after the start.
  ASSERT_TRUE(second->WaitFor([](const SimStats& s) { return s.frames >= 1; }, 5s));
  EXPECT_LT(std::chrono::steady_clock::now() - plugged, 3500ms);
  ASSERT_TRUE(second->WaitFor(Finished, 20s));
  std::this_thread::sleep_for(1500ms);  // both stay plugged: neither starts again
  EXPECT_EQ(flash.Interrupt(10s), 0);
  EXPECT_EQ(first->Stats().finishes, 1);
  EXPECT_EQ(second->Stats().finishes, 1);
  const auto records = ReadLog(log);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0]["byId"], links + "/usb-VQ_first-if00");
  EXPECT_EQ(records[1]["byId"], links + "/usb-VQ_second-if00");
}

}  // namespace
}  // namespace vqled
