#include "sim/sim_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vqled {
namespace {

Outcome Parse(std::vector<std::string> args, SimOptions& options, bool& help) {
  args.insert(args.begin(), "vqled-sim");
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  return ParseSimOptions(static_cast<int>(argv.size()), argv.data(), options, help);
}

TEST(SimOptions, ModelRepliesFaultsAndExits) {
  SimOptions options;
  bool help = true;
  const Outcome outcome =
      Parse({"--model", "VQ-M28", "--baud", "115200", "--block-size", "100", "--ack", "AE",
             "--erase-reply", "9e", "--block-fault", "3:FF", "--hang-up-at", "9",
             "--exit-after-download", "--save-dir", "/tmp/images", "--log", "/tmp/sim.log"},
            options, help);
  ASSERT_TRUE(outcome.ok) << outcome.message.en;
  EXPECT_FALSE(help);
  EXPECT_EQ(options.profile.modelIndex, 28);
  EXPECT_EQ(options.profile.valueKind, 3);
  EXPECT_EQ(options.profile.blockSize, 500);
  EXPECT_EQ(options.baud, 115200);
  EXPECT_EQ(options.replies.reportedBlockSize, 100);
  EXPECT_EQ(options.replies.blockAck, 0xAE);
  EXPECT_EQ(options.replies.erased, 0x9E);
  EXPECT_EQ(options.faults.blockFaultIndex, 3);
  EXPECT_EQ(options.faults.blockFaultReply, 0xFF);
  EXPECT_EQ(options.faults.hangUpAtFrame, 9);
  EXPECT_EQ(options.exitAfter, 1);
  EXPECT_EQ(options.saveDir, "/tmp/images");
  EXPECT_EQ(options.logPath, "/tmp/sim.log");
  EXPECT_FALSE(options.logToStderr);  // the log file takes the place of stderr

  SimOptions vq20;
  ASSERT_TRUE(Parse({"--model", "VQ-M20"}, vq20, help).ok);
  EXPECT_TRUE(vq20.profile.longCommandFrames);
  EXPECT_TRUE(vq20.logToStderr);
  ASSERT_TRUE(Parse({"--help"}, vq20, help).ok);
  EXPECT_TRUE(help);
}

TEST(SimOptions, BadArgumentsAreNamed) {
  struct Case {
    std::vector<std::string> args;
    const char* named;
  };
  const Case cases[] = {
      {{}, "--model"},
      {{"--model", "VQ-M29"}, "VQ-M29"},
      {{"--model", "VQ-M05", "--speed", "9600"}, "--speed"},
      {{"--model", "VQ-M05", "--baud"}, "--baud"},
      {{"--model", "VQ-M05", "--baud", "fast"}, "fast"},
      {{"--model", "VQ-M05", "--ack", "8F"}, "8F"},
      {{"--model", "VQ-M05", "--block-fault", "3"}, "--block-fault"},
      {{"--model", "VQ-M05", "--block-fault", "3:AA"}, "3:AA"},
  };
  for (const Case& c : cases) {
    SimOptions options;
    bool help = false;
    const Outcome outcome = Parse(c.args, options, help);
    EXPECT_FALSE(outcome.ok) << c.named;
    EXPECT_NE(outcome.message.en.find(c.named), std::string::npos) << outcome.message.en;
    EXPECT_NE(outcome.message.zh.find(c.named), std::string::npos) << outcome.message.zh;
  }
}

// --help documents every fault the parser takes, under "faults", each with
// what it does.
TEST(SimOptions, HelpDescribesEveryFault) {
  const std::string usage = SimUsage();
  const size_t faults = usage.find("\nfaults");
  ASSERT_NE(faults, std::string::npos) << usage;
  for (const char* option : {"--silent ", "--silent-after N ", "--block-fault K:CODE ",
                             "--wrong-model ", "--garbage-at N ", "--hang-up-at N "}) {
    const size_t at = usage.find(std::string("\n  ") + option, faults);
    ASSERT_NE(at, std::string::npos) << option;
    const size_t lineEnd = usage.find('\n', at + 1);
    EXPECT_GT(lineEnd - at, 30u) << option << " has no description";
  }
}

}  // namespace
}  // namespace vqled
