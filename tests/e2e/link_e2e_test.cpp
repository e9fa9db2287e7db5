// Real downloads and settings transactions: vqled-cli over a pseudo-terminal
// against the virtual controller, which keeps what it receives.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cli_run.h"
#include "files/download_image.h"
#include "files/pattern_files.h"
#include "model/control_states.h"
#include "model/model_catalogue.h"
#include "model/model_selection.h"
#include "scratch_dir.h"
#include "sim/sim_controller.h"
#include "sim/sim_options.h"

namespace vqled {
namespace {

// The last lines of the simulator's frame log, for failure messages.
std::string LogTail(const SimController& sim) {
  const std::vector<SimLogEntry> log = sim.FrameLog();
  std::string tail;
  for (size_t i = log.size() > 12 ? log.size() - 12 : 0; i < log.size(); ++i) {
    tail += (log[i].direction == LOG_FROM_HOST ? "<< "
             : log[i].direction == LOG_TO_HOST ? ">> "
                                               : "   ") +
            log[i].text + "\n";
  }
  return tail;
}

// A simulator of one model on its own pseudo-terminal.
struct Sim {
  explicit Sim(int model, SimFaults faults = {}) {
    SimOptions options;
    options.profile = CatalogueProfile(model);
    options.faults = faults;
    controller = std::make_unique<SimController>(options);
    device = controller->Start();
  }
  std::unique_ptr<SimController> controller;
  std::string device;
};

// A document with a few lit cells in every area, saved as an all-area file;
// the expected images are encoded from that file as the command line reads it.
class E2eLink : public ::testing::Test {
 protected:
  void SetUp() override { file = (dir / "pattern.Aled").string(); }

  void WritePattern(int model) {
    auto store = std::make_unique<PatternStore>();
    ModelProfile profile;
    AreaControls controls;
    SelectModel(profile, *store, controls, model);
    for (int area = 0; area < kAreaCount; ++area) {
      ResetArea(*store, area);
      for (int frame = 0; frame < 3 + area; ++frame) {
        store->Cell(area, 3 + frame % 3, kFirstFrameColumn + frame) = 100;
      }
    }
    HeaderControls header;
    header.comboBox6Index = model;
    header.radioButton6 = true;
    auto image = std::make_unique<ImageBuffer>();
    const EncodeContext context{profile, header, *image};
    ASSERT_TRUE(SaveAllAreas(*store, context, file, nullptr).ok);
  }

  std::vector<uint8_t> ExpectedImage(int model, int shownArea, int area) {
    auto store = std::make_unique<PatternStore>();
    ModelProfile profile;
    AreaControls controls;
    SelectModel(profile, *store, controls, model);
    ShowAreaSettings(*store, profile, controls, shownArea);
    EXPECT_TRUE(ImportAllAreas(*store, file).ok);
    ShowAreaSettings(*store, profile, controls, shownArea);
    HeaderControls header;
    header.comboBox6Index = model;
    header.comboBox13Visible =
        ResolveControlStates(model).Value("ComboBox13", CONTROL_SHOWN).value_or(false);
    header.radioButton6 = true;
    auto image = std::make_unique<ImageBuffer>();
    EXPECT_TRUE(EncodeDownloadImage(*store, profile, DownloadControlsFromArea(controls, header),
                                    area, *image)
                    .ok);
    return {image->entry, image->entry + image->imageLast + 1};
  }

  test::ScratchDir scratch{"e2e"};
  const std::filesystem::path& dir = scratch.path();
  std::string file;
};

TEST_F(E2eLink, CurrentAreaDownloadOfEveryFamily) {
  struct Case {
    const char* model;
    int index;
    int area;
  } const cases[] = {
      {"VQ-M01", 1, 0},    // value kind 0, AA BB frames
      {"VQ-M04", 4, 2},    // value kind 1
      {"VQ-M00", 0, 0},    // value kind 2
      {"VQ-M05", 5, 3},    // value kind 3
      {"VQ-M12", 12, 1},   // value kind 4
      {"VQ-M16", 16, 1},   // value kind 7
      {"VQ-M20", 20, 4},   // long command frames
      {"VQ-M28", 28, 12},  // the controller reports its block size
  };
  for (const Case& c : cases) {
    WritePattern(c.index);
    Sim sim(c.index);
    const CliRun run = RunCli(
        {"send", file, "--port", sim.device, "--model", c.model, "--area", std::to_string(c.area)});
    EXPECT_EQ(run.status, 0) << c.model << "\n" << run.err;
    EXPECT_TRUE(Contains(run.err, "Send OK !!!!")) << c.model;
    const auto received = sim.controller->Image(c.area);
    ASSERT_TRUE(received.has_value()) << c.model;
    EXPECT_TRUE(received->complete) << c.model;
    EXPECT_EQ(received->bytes, ExpectedImage(c.index, c.area, c.area)) << c.model;
    EXPECT_EQ(sim.controller->Stats().errors, 0) << c.model;
  }
}

TEST_F(E2eLink, AllAreasDownloadStoresEveryAreaOfTheModel) {
  struct Case {
    const char* model;
    int index;
    int areas;
  } const cases[] = {{"VQ-M16", 16, 2}, {"VQ-M21", 21, 2}, {"VQ-M00", 0, 1}};
  for (const Case& c : cases) {
    WritePattern(c.index);
    Sim sim(c.index);
    const CliRun run = RunCli({"send", file, "--port", sim.device, "--model", c.model, "--all"});
    EXPECT_EQ(run.status, 0) << c.model << "\n" << run.err;
    for (int area = 0; area < c.areas; ++area) {
      const auto received = sim.controller->Image(area);
      ASSERT_TRUE(received.has_value()) << c.model << " area " << area;
      EXPECT_EQ(received->bytes, ExpectedImage(c.index, 0, area)) << c.model << " area " << area;
    }
    EXPECT_EQ(sim.controller->Stats().imagesStored, c.areas) << c.model;
    EXPECT_TRUE(sim.controller->WaitFor([](const SimStats& s) { return s.finishes >= 1; },
                                        std::chrono::milliseconds(1000)))
        << c.model << "\n"
        << LogTail(*sim.controller);  // the finish goes out after the last reply
  }
}

TEST_F(E2eLink, SettingsClockEndDateAndControllerType) {
  Sim sim(28);
  const std::string config = (dir / "Config.ini").string();
  FILE* ini = std::fopen(config.c_str(), "w");
  ASSERT_NE(ini, nullptr);
  std::fputs("[SETGroup]\nGroupA1=3\nGroupB6=11\nCheckBoAC=20\n", ini);
  std::fclose(ini);
  CliRun run = RunCli({"settings", "--port", sim.device, "--model", "VQ-M28", "--config", config});
  EXPECT_EQ(run.status, 0) << run.err;
  const auto settings = sim.controller->Received().settings;
  ASSERT_TRUE(settings.has_value());
  std::vector<uint8_t> expected(40, 0);
  expected[0] = 0xAB;
  expected[3] = 20;   // volume
  expected[5] = 3;    // ComBoxA1
  expected[31] = 11;  // ComBoxB6
  EXPECT_EQ(settings->bytes, expected);

  run = RunCli({"clock", "--port", sim.device, "--model", "VQ-M28"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(sim.controller->Received().hasClock);

  run = RunCli({"end-date", "--port", sim.device, "--model", "VQ-M28", "--date", "2098-07-09"});
  EXPECT_EQ(run.status, 0) << run.err;
  const SimReceived received = sim.controller->Received();
  ASSERT_TRUE(received.hasEndDate);
  EXPECT_EQ(std::vector<uint8_t>(received.endDate, received.endDate + 3),
            (std::vector<uint8_t>{98, 7, 9}));

  run = RunCli({"end-date", "--port", sim.device, "--model", "VQ-M28", "--date", "2001-01-01"});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(Contains(run.err, "间隔天数小于0天不符合大于等于0天的要求！"));

  run = RunCli({"controller-type", "--port", sim.device, "--car"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(sim.controller->WaitFor([](const SimStats& s) { return s.controllerTypes >= 1; },
                                      std::chrono::milliseconds(1000)));
  EXPECT_EQ(sim.controller->Received().controllerType, 0xFF);
}

TEST_F(E2eLink, ControllerFaultsEndInTheirMessages) {
  WritePattern(5);
  struct Case {
    const char* name;
    SimFaults faults;
    const char* message;
  };
  std::vector<Case> cases;
  SimFaults f;
  f.silentAfterFrame = 2;  // answers probe and erase, then goes silent
  cases.push_back({"silent mid-transfer", f, "send  timeout。Pls Re send！"});
  f = {};
  f.blockFaultIndex = 0;
  f.blockFaultReply = RPL_SEND_ERROR;
  cases.push_back({"send error", f, "send err pls resend"});
  f.blockFaultReply = RPL_RETURN_ERROR;
  cases.push_back({"return error", f, "返回出错"});
  f = {};
  f.wrongModel = true;
  cases.push_back({"wrong model", f, "控制器型号错误请重新发送！"});
  f = {};
  f.garbageAtFrame = 3;  // nonsense instead of the first block's acknowledgement
  cases.push_back({"garbage reply", f, "send  timeout。Pls Re send！"});
  f = {};
  f.hangUpAtFrame = 3;
  cases.push_back({"line hung up", f, "disconnected"});  // the port layer names the port
  for (const Case& c : cases) {
    Sim sim(5, c.faults);
    const CliRun run =
        RunCli({"send", file, "--port", sim.device, "--model", "VQ-M05", "--area", "0"});
    EXPECT_EQ(run.status, 1) << c.name << "\n" << run.err;
    EXPECT_TRUE(Contains(run.err, c.message)) << c.name << "\n" << run.err;
  }
}

TEST_F(E2eLink, SilentControllerIsGivenUpAfterElevenProbes) {
  SimFaults silent;
  silent.silent = true;
  Sim sim(28, silent);
  const CliRun run = RunCli({"clock", "--port", sim.device, "--model", "VQ-M28"});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(Contains(run.err, "Not Find pls check connt")) << run.err;
  EXPECT_TRUE(Contains(run.err, "open timeout11")) << run.err;
}

TEST_F(E2eLink, ReceiveErrorInAllAreasModeSendsTheAreaAgain) {
  WritePattern(16);
  SimFaults f;
  f.blockFaultIndex = 0;  // once, in the first image
  Sim sim(16, f);
  const CliRun run = RunCli({"send", file, "--port", sim.device, "--model", "VQ-M16", "--all"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.err, "send err pls resending...")) << run.err;
  for (int area = 0; area < 2; ++area) {
    const auto received = sim.controller->Image(area);
    ASSERT_TRUE(received.has_value());
    EXPECT_EQ(received->bytes, ExpectedImage(16, 0, area));
  }
}

// Dates the end-date frame cannot carry, or that do not exist, are refused
// before any port is opened; a leap day of a leap year is taken.
TEST(E2eCli, EndDateOutsideTheCenturyOrTheCalendarIsRefused) {
  for (const char* date : {"2099-02-29", "2100-02-28", "1999-12-31", "2098-04-31", "2098-13-01"}) {
    const CliRun run =
        RunCli({"end-date", "--port", "/nonexistent/tty", "--model", "VQ-M28", "--date", date});
    EXPECT_EQ(run.status, 2) << date << "\n" << run.err;
    EXPECT_TRUE(Contains(run.err, "--date: needs a date")) << date << "\n" << run.err;
  }
  const CliRun run = RunCli(
      {"end-date", "--port", "/nonexistent/tty", "--model", "VQ-M28", "--date", "2096-02-29"});
  EXPECT_EQ(run.status, 1) << run.err;  // parsed; the port then cannot be opened
  EXPECT_FALSE(Contains(run.err, "--date: needs a date")) << run.err;
}

// ports --help shows its usage instead of the port list, and anything else
// is refused before a port is looked at.
TEST(E2eCli, PortsHelpAndStrayArgument) {
  CliRun run = RunCli({"ports", "--help"}, true);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.err, "Usage: vqled-cli ports [OPTIONS]\n")) << run.err;
  EXPECT_TRUE(Contains(run.err, "--dir FOLDER")) << run.err;
  run = RunCli({"ports", "--all"}, true);
  EXPECT_EQ(run.status, 2) << run.err;
  EXPECT_TRUE(Contains(run.err, "The following argument was not expected: --all")) << run.err;
}

}  // namespace
}  // namespace vqled
