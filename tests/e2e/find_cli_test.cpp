// vqled-cli find over a folder of links: virtual controllers answer, a
// silent port does not, and each controller hears only the probe.
#include <gtest/gtest.h>

#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli_run.h"
#include "link_folder.h"
#include "model/model_catalogue.h"
#include "sim/sim_controller.h"

namespace vqled {
namespace {

std::unique_ptr<SimController> StartController(const char* model, SimReplies replies = {}) {
  SimOptions options;
  options.profile = CatalogueProfile(ModelIndexByName(model));
  options.replies = replies;
  auto sim = std::make_unique<SimController>(options);
  sim->Start();
  return sim;
}

// What the controller heard from the host, frame by frame.
std::vector<std::string> HostFrames(const SimController& sim) {
  std::vector<std::string> frames;
  for (const SimLogEntry& entry : sim.FrameLog())
    if (entry.direction == LOG_FROM_HOST) frames.push_back(entry.text);
  return frames;
}

TEST(E2eFind, ReportsTheControllersOfAFolderAndSendsOnlyTheProbe) {
  test::LinkFolder folder("find-cli");
  test::Pty silent;
  auto present = StartController("VQ-M07");
  SimReplies alternative;
  alternative.present = RPL_PRESENT_ALT;
  auto second = StartController("VQ-M07", alternative);
  folder.Plug("usb-a-silent", silent);
  folder.Plug("usb-b-present", present->DevicePath());
  folder.Plug("usb-c-second", second->DevicePath());

  CliRun run = RunCli({"find", "--model", "VQ-M07", "--dir", folder.Folder()}, true);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.err, "Controller on " + present->DevicePath() + " (reply 8F)"))
      << run.err;
  EXPECT_TRUE(Contains(run.err, "Controller on " + second->DevicePath() + " (reply 7F)"))
      << run.err;
  EXPECT_TRUE(Contains(run.err, silent.SlavePath() + " did not answer within 2000 ms")) << run.err;
  EXPECT_EQ(silent.Receive(64, 100), (std::vector<uint8_t>{0xAA, 0xCC, 0x02, 0x7F, 0x00, 0x55}));
  for (const auto* sim : {present.get(), second.get()})
    EXPECT_EQ(HostFrames(*sim), std::vector<std::string>{"AA CC 02 7F 00 55"});

  run = RunCli({"find", "--model", "VQ-M07", "--dir", folder.Folder(), "--json"}, true);
  EXPECT_EQ(run.status, 0) << run.err;
  const nlohmann::json report = nlohmann::json::parse(run.err);
  EXPECT_EQ(report["model"], "VQ-M07");
  EXPECT_EQ(report["found"], nlohmann::json::array({present->DevicePath(), second->DevicePath()}));
  ASSERT_EQ(report["ports"].size(), 3u);
  EXPECT_EQ(report["ports"][0]["result"], "silent");
  EXPECT_EQ(report["ports"][0]["byId"], folder.Link("usb-a-silent"));
  EXPECT_EQ(report["ports"][1]["reply"], "8F");
  EXPECT_EQ(report["ports"][2]["reply"], "7F");
}

TEST(E2eFind, AVQM28AnswersWithItsBlockSize) {
  test::LinkFolder folder("find-cli");
  auto m28 = StartController("VQ-M28");
  folder.Plug("usb-m28", m28->DevicePath());
  const CliRun run =
      RunCli({"find", "--model", "VQ-M07", "--dir", folder.Folder(), "--json"}, true);
  EXPECT_EQ(run.status, 0) << run.err;
  const nlohmann::json port = nlohmann::json::parse(run.err)["ports"][0];
  EXPECT_EQ(port["reply"], "7E");
  EXPECT_EQ(port["blockSize"], CatalogueProfile(kModelVQM28).blockSize);
}

TEST(E2eFind, ExitsOneWhenNoneAnswersAndTwoOnBadArguments) {
  test::LinkFolder folder("find-cli");
  folder.Make();
  CliRun run = RunCli({"find", "--model", "VQ-M07", "--dir", folder.Folder()});
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_TRUE(Contains(run.err, "no controller answered on 0 serial ports")) << run.err;

  test::Pty silent;
  folder.Plug("usb-silent", silent);
  run = RunCli({"find", "--model", "VQ-M07", "--dir", folder.Folder()});
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_TRUE(Contains(run.err, "no controller answered on 1 serial port\n")) << run.err;

  const std::vector<std::vector<std::string>> bad = {
      {"find", "--model", "VQ-M99", "--dir", folder.Folder()},
      {"find", "--dir", folder.Folder()},
      {"find", "--model", "VQ-M07", "--dir", folder.Folder() + "/missing"},
      {"find", "--model", "VQ-M07", "--erase"},
  };
  for (const auto& args : bad) {
    run = RunCli(args);
    EXPECT_EQ(run.status, 2) << args[1] << " " << run.err;
  }
  EXPECT_TRUE(Contains(RunCli(bad[0]).err, "unknown model 'VQ-M99'"));
  EXPECT_EQ(silent.Receive(64, 100).size(), 6u);  // one probe from the run that searched
}

}  // namespace
}  // namespace vqled
