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

}  // namespace
}  // namespace vqled
