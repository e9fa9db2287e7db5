// vqled-cli against the virtual controller and on files: the settings image
// it sends for a Config.ini, and the current-area commands on every tab of a
// model.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "byte_text.h"
#include "cli_run.h"
#include "files/pattern_files.h"
#include "model/model_catalogue.h"
#include "model/model_selection.h"
#include "sim/sim_controller.h"
#include "sim/sim_options.h"

namespace vqled {
namespace {

using Bytes = std::vector<uint8_t>;

using test::FromHex;

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() /
          ("vqled-cli-" + std::to_string(getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }

  std::string Write(const char* name, const std::string& text) const {
    const std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  Bytes Read(const char* name) const {
    std::ifstream in(dir / name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  std::filesystem::path dir;
};

std::unique_ptr<SimController> StartSim(int model, std::string& device) {
  SimOptions options;
  options.profile = CatalogueProfile(model);
  auto sim = std::make_unique<SimController>(options);
  device = sim->Start();
  return sim;
}

// The settings image for a Config.ini is the one the window sends after
// loading it: an index outside its list is no selection, and the release rule
// has run.
TEST_F(CliTest, SettingsSendWhatTheWindowSends) {
  struct Case {
    const char* name;
    const char* setGroup;
    const char* image;
  } const cases[] = {
      {"key mode", "GroupA3=3\nGroupE3=3\n",
       "AB 00000000 0000000000 0000000000 0300000000 0000000000 0000000000 0000000000 "
       "0000000000"},
      {"outside the lists", "CheckBoAC=99\nGroupB1=50\n",
       "AB 0000FF00 0000000000 0000000000 0000000000 0000000000 0000000000 0000000000 "
       "0000000000"},
      {"list edges",
       "CheckBoAA=11\nCheckBoAB=12\nComboBox14=-1\nGroupC1=16\nGroupC2=16\nGroupD4=-7\n"
       "GroupE6=5\n",
       "AB 0BFF00FF 0000100000 0000000000 0000000000 0000000000 0000000000 0000000005 "
       "0000000000"},
  };
  for (const Case& c : cases) {
    std::string device;
    auto sim = StartSim(kModelVQM28, device);
    const std::string config =
        Write("Config.ini", std::string("[Config]\nHYTYPE=28\n[SETGroup]\n") + c.setGroup);
    const CliRun run =
        RunCli({"settings", "--port", device, "--model", "VQ-M28", "--config", config});
    EXPECT_EQ(run.status, 0) << c.name << "\n" << run.err;
    const auto settings = sim->Received().settings;
    ASSERT_TRUE(settings.has_value()) << c.name;
    EXPECT_EQ(settings->bytes, FromHex(c.image)) << c.name;
  }
}

// A --config that cannot be read stops the command before the port is
// opened, naming the file.
TEST_F(CliTest, SettingsRefuseAConfigThatCannotBeRead) {
  std::string device;
  auto sim = StartSim(kModelVQM28, device);
  const std::string missing = (dir / "Confg.ini").string();
  CliRun run = RunCli({"settings", "--port", device, "--model", "VQ-M28", "--config", missing});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(Contains(run.err, missing)) << run.err;
  run = RunCli({"settings", "--port", device, "--model", "VQ-M28", "--config", dir.string()});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(Contains(run.err, dir.string())) << run.err;
  EXPECT_EQ(sim->Stats().frames, 0);
  EXPECT_FALSE(sim->Received().settings.has_value());
}

// An all-area file of VQ-M28 whose last area, "彩10区", lights channel 1 in
// its first frame.
void WriteLastAreaPattern(const std::string& file) {
  auto store = std::make_unique<PatternStore>();
  ModelProfile profile;
  AreaControls controls;
  SelectModel(profile, *store, controls, kModelVQM28);
  for (int area = 0; area < kAreaCount; ++area) ResetArea(*store, area);
  store->Cell(19, kHeaderRows, kFirstFrameColumn) = 100;
  HeaderControls header;
  header.comboBox6Index = kModelVQM28;
  header.radioButton6 = true;
  auto image = std::make_unique<ImageBuffer>();
  const EncodeContext context{profile, header, *image};
  ASSERT_TRUE(SaveAllAreas(*store, context, file, nullptr).ok);
}

// VQ-M28's twentieth tab is an area the editor edits and downloads, though the
// all-areas download ends before it: image, export and send take it.
TEST_F(CliTest, CurrentAreaCommandsTakeEveryTabOfTheModel) {
  const std::string file = (dir / "m28.Aled").string();
  WriteLastAreaPattern(file);
  // 90 channels, one frame; the import's default times for the zero ones
  // (100, 1000, 1500, 2000, 2500 ms); enabled, loop for ever, the model's
  // index as the controller-type byte; the frame takes default time 1 and
  // channel 1 is 0x64.
  const Bytes expected = [] {
    Bytes bytes = FromHex(
        "005A 0001 0064 00 03E8 00 05DC 00 07D0 00 09C4 00 01 01 0000 00 1C 0000000000"
        "0001 00 64");
    bytes.resize(30 + 3 + 90, 0);
    return bytes;
  }();
  const std::string out = (dir / "area19.bin").string();
  CliRun run = RunCli({"image", file, "--model", "VQ-M28", "--area", "19", "--out", out});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Read("area19.bin"), expected);

  const std::string vqd = (dir / "area19.VQD").string();
  run = RunCli({"export", file, "--model", "VQ-M28", "--area", "19", "--out", vqd});
  ASSERT_EQ(run.status, 0) << run.err;
  const Bytes exported = Read("area19.VQD");
  ASSERT_GE(exported.size(), expected.size());
  EXPECT_EQ(Bytes(exported.end() - static_cast<long>(expected.size()), exported.end()), expected);

  std::string device;
  auto sim = StartSim(kModelVQM28, device);
  run = RunCli({"send", file, "--port", device, "--model", "VQ-M28", "--area", "19"});
  EXPECT_EQ(run.status, 0) << run.err;
  const auto received = sim->Image(19);
  ASSERT_TRUE(received.has_value());
  EXPECT_TRUE(received->complete);
  EXPECT_EQ(received->bytes, expected);
}

// Past a model's last tab the area is refused, naming the areas it has.
TEST_F(CliTest, AreaPastTheModelsTabsIsRefused) {
  const std::string file = (dir / "m28.Aled").string();
  WriteLastAreaPattern(file);
  struct Case {
    const char* model;
    const char* area;
    const char* message;
  } const cases[] = {
      {"VQ-M00", "1", "the model has no area 1 (areas 0..0)"},
      {"VQ-M05", "7", "the model has no area 7 (areas 0..6)"},
      {"VQ-M16", "2", "the model has no area 2 (areas 0..1)"},
  };
  for (const Case& c : cases) {
    for (const char* command : {"image", "export"}) {
      const CliRun run = RunCli(
          {command, file, "--model", c.model, "--area", c.area, "--out", (dir / "out").string()});
      EXPECT_EQ(run.status, 2) << command << " " << c.model;
      EXPECT_TRUE(Contains(run.err, c.message)) << command << " " << c.model << "\n" << run.err;
    }
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "out"));
  const CliRun run = RunCli({"image", file, "--model", "VQ-M28", "--area", "20"});
  EXPECT_EQ(run.status, 2);
  EXPECT_TRUE(Contains(run.err, "--area: Value 20 not in range 0 to 19")) << run.err;
}

// Every command answers --help with its usage and options on stdout; the
// command list names them all.
TEST_F(CliTest, HelpOfEveryCommandNamesItsOptions) {
  struct Case {
    const char* command;
    std::vector<std::string> options;
  } const cases[] = {
      {"info", {"FILE", "--json"}},
      {"export", {"FILE", "--area", "--out", "--model", "--controllers"}},
      {"image", {"FILE", "--model", "--controllers", "--area", "--out"}},
      {"render", {"FILE", "--model", "--area", "--gif", "--png-strip", "--scale", "--controllers"}},
      {"send", {"FILE", "--port", "--model", "--controllers", "--area", "--all", "--json"}},
      {"settings", {"--port", "--model", "--config"}},
      {"clock", {"--port", "--model"}},
      {"end-date", {"--port", "--model", "--date"}},
      {"controller-type", {"--port", "--car", "--normal"}},
      {"ports", {"--watch", "--dir", "--json"}},
  };
  const CliRun list = RunCli({"--help"});
  EXPECT_EQ(list.status, 0);
  for (const Case& c : cases) {
    EXPECT_TRUE(Contains(list.out, std::string("\n  ") + c.command + " ")) << c.command;
    const CliRun run = RunCli({c.command, "--help"});
    EXPECT_EQ(run.status, 0) << c.command << "\n" << run.err;
    EXPECT_TRUE(Contains(run.out, std::string("Usage: vqled-cli ") + c.command)) << run.out;
    for (const std::string& option : c.options)
      EXPECT_TRUE(Contains(run.out, option)) << c.command << " " << option << "\n" << run.out;
  }
}

// A value outside its range, no number, an unknown model or option is
// refused with exit status 2, the message naming the option, and nothing
// written.
TEST_F(CliTest, BadValuesAndUnknownOptionsAreRefusedNamingTheOption) {
  const std::string file = (dir / "m28.Aled").string();
  WriteLastAreaPattern(file);
  const std::string out = (dir / "out").string();
  struct Case {
    std::vector<std::string> args;
    std::string message;
  } const cases[] = {
      {{"image", file, "--model", "VQ-M28", "--controllers", "21", "--out", out},
       "--controllers: Value 21 not in range 1 to 20"},
      {{"image", file, "--model", "VQ-M28", "--controllers", "0", "--out", out},
       "--controllers: Value 0 not in range 1 to 20"},
      {{"export", file, "--area", "-1", "--out", out}, "--area: Value -1 not in range 0 to 19"},
      {{"export", file, "--area", "1x", "--out", out}, "--area"},
      {{"send", file, "--port", out, "--model", "VQ-M28", "--area", "two"}, "--area"},
      {{"render", file, "--model", "VQ-M28", "--area", "0", "--gif", out, "--scale", "0"},
       "--scale: Value 0 not in range 1 to 8"},
      {{"image", file, "--model", "VQ-M29", "--out", out},
       "--model: unknown model 'VQ-M29' (VQ-M00 .. VQ-M28)"},
      {{"clock", "--port", out, "--model", "vq-m28"}, "unknown model 'vq-m28'"},
      {{"info", file, "--bogus"}, "--bogus"},
      {{"export", file, "--area", "0", "--out", out, "--controllers", "2"},
       "--controllers requires --model"},
      {{"send", file, "--port", out, "--model", "VQ-M28"}, "one of --area and --all is needed"},
      {{"send", file, "--port", out, "--model", "VQ-M28", "--area", "0", "--all"},
       "--area excludes --all"},
  };
  for (const Case& c : cases) {
    const CliRun run = RunCli(c.args);
    EXPECT_EQ(run.status, 2) << c.message << "\n" << run.err;
    EXPECT_TRUE(Contains(run.err, "vqled-cli " + c.args[0] + ": ")) << run.err;
    EXPECT_TRUE(Contains(run.err, c.message)) << c.message << "\n" << run.err;
    EXPECT_TRUE(run.out.empty()) << run.out;
  }
  EXPECT_FALSE(std::filesystem::exists(out));
}

// info --json and send --json write one JSON document on stdout with the
// keys the README lists; ports --json an array of ports.
TEST_F(CliTest, JsonReportsParseAndHoldTheirKeys) {
  const std::string file = (dir / "m28.Aled").string();
  WriteLastAreaPattern(file);
  CliRun run = RunCli({"info", file, "--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json info = nlohmann::json::parse(run.out);
  EXPECT_EQ(info["file"], file);
  EXPECT_EQ(info["kind"], "all-area");
  ASSERT_EQ(info["areas"].size(), 20u);
  const nlohmann::json& last = info["areas"][19];
  EXPECT_EQ(last["area"], 19);
  EXPECT_EQ(last["channels"], 90);
  EXPECT_EQ(last["frames"], 1);
  ASSERT_EQ(last["defaultTimes"].size(), 5u);
  EXPECT_EQ(last["defaultTimes"][0], (nlohmann::json{{"value", 0}, {"unit", "ms"}}));
  for (const char* key : {"enabled", "loopMode", "loopCount", "endMode"})
    EXPECT_TRUE(last[key].is_number()) << key;

  std::string device;
  auto sim = StartSim(kModelVQM28, device);
  run = RunCli({"send", file, "--port", device, "--model", "VQ-M28", "--area", "19", "--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(nlohmann::json::parse(run.out), (nlohmann::json{{"file", file},
                                                            {"port", device},
                                                            {"model", "VQ-M28"},
                                                            {"controllers", 1},
                                                            {"all", false},
                                                            {"area", 19},
                                                            {"result", "ok"}}));
  sim.reset();  // the controller is gone: the download fails
  run = RunCli({"send", file, "--port", device, "--model", "VQ-M28", "--all", "--json"});
  EXPECT_EQ(run.status, 1) << run.err;
  const nlohmann::json failed = nlohmann::json::parse(run.out);
  EXPECT_EQ(failed["all"], true);
  EXPECT_FALSE(failed.contains("area"));
  EXPECT_EQ(failed["result"], "failed");

  run = RunCli({"ports", "--json"});
  EXPECT_EQ(run.status, nlohmann::json::parse(run.out).empty() ? 1 : 0) << run.err;
  for (const nlohmann::json& port : nlohmann::json::parse(run.out))
    EXPECT_TRUE(port["device"].is_string()) << port;
}

}  // namespace
}  // namespace vqled
