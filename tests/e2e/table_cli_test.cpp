// vqled-cli export --csv/--png and import: an area through a table and back
// into a pattern file, and malformed tables refused with nothing written.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "cli_run.h"
#include "document/document.h"
#include "model/model_catalogue.h"

namespace vqled {
namespace {

class TableCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() /
          ("vqled-table-cli-" + std::to_string(getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
    aled = Path("start.Aled");
    // VQ-M07 (9 channels, 7 areas): area 2 holds a small pattern
    // with frame times of every type.
    auto doc = std::make_unique<Document>();
    doc->ResetStartupAreas();
    doc->SelectModel(ModelIndexByName("VQ-M07"), 1);
    PatternStore& store = doc->store();
    for (int f = 0; f < 12; ++f) {
      store.Cell(2, 3 + f % 8, 2 + f) = 20 * f + 7;
      store.frameTime[2].timeValue[2 + f] = f + 1;
      store.frameTime[2].timeType[2 + f] = f % 4;
    }
    store.Cell(0, 3, 2) = 255;
    ASSERT_TRUE(doc->SaveAllAreas(aled, nullptr).ok);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }

  std::string Path(const char* name) const { return (dir / name).string(); }
  std::string Write(const char* name, const std::string& text) const {
    std::ofstream(Path(name), std::ios::binary) << text;
    return Path(name);
  }
  std::string Read(const std::string& path) const {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  std::filesystem::path dir;
  std::string aled;
};

TEST_F(TableCliTest, CsvAndPngRoundTripsAreIdentical) {
  const std::string csv = Path("area2.csv");
  CliRun run = RunCli({"export", aled, "--model", "VQ-M07", "--area", "2", "--csv", csv});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string text = Read(csv);
  // The header of frame times as written, then channel 1 with frames 1 and 9 lit.
  EXPECT_EQ(text.substr(0, text.find('\n')), "d1,2ms,3s,4min,d5,6ms,7s,8min,d9,10ms,11s,12min");
  EXPECT_EQ(text.substr(text.find('\n') + 1, 26), "7,0,0,0,0,0,0,0,167,0,0,0\n");

  // Import into area 2 of the file it came from: the pattern file is unchanged.
  run = RunCli({"import", aled, "--model", "VQ-M07", "--area", "2", "--csv", csv, "--out",
                Path("back.Aled")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Read(Path("back.Aled")), Read(aled));

  // PNG: export, import into area 5 of the file, export area 5 again as CSV.
  const std::string png = Path("area2.png");
  run = RunCli({"export", aled, "--model", "VQ-M07", "--area", "2", "--png", png});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Read(png).substr(1, 3), "PNG");
  run = RunCli({"import", aled, "--model", "VQ-M07", "--area", "5", "--png", png, "--out",
                Path("moved.Aled")});
  ASSERT_EQ(run.status, 0) << run.err;
  run = RunCli({"export", Path("moved.Aled"), "--model", "VQ-M07", "--area", "5", "--csv",
                Path("area5.csv")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Read(Path("area5.csv")), text);
}

TEST_F(TableCliTest, MalformedTablesAreRefusedAndNothingIsWritten) {
  std::string wide = "d1";
  for (int f = 1; f < 4001; ++f) wide += ",d1";
  std::string wideRow = "0";
  for (int f = 1; f < 4001; ++f) wideRow += ",0";
  const struct {
    const char* name;
    std::vector<std::string> table;  // the table option and its file
    const char* message;
  } cases[] = {
      {"bad cell", {"--csv", Write("bad.csv", "d1,d1\n1,2\n3,x\n")}, "row 3, column 2: \"x\""},
      {"above 255", {"--csv", Write("big.csv", "d1\n256\n")}, "row 2, column 1: \"256\""},
      {"ragged", {"--csv", Write("ragged.csv", "d1,d1\n1\n")}, "row 2 has 1 columns"},
      {"too many frames",
       {"--csv", Write("wide.csv", wide + "\n" + wideRow + "\n")},
       "this model has"},
      {"truncated png", {"--png", Write("cut.png", "\x89PNG\r\n\x1a\n\x00\x00")}, "PNG"},
      {"no table option", {}, "--csv or --png"},
      {"both table options", {"--csv", Path("a.csv"), "--png", Path("a.png")}, "excludes"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args{"import", aled, "--model", "VQ-M07",
                                  "--area", "2",  "--out",   Path("out.Aled")};
    args.insert(args.end(), c.table.begin(), c.table.end());
    const CliRun run = RunCli(args);
    EXPECT_EQ(run.status, 2) << c.name << ": " << run.err;
    EXPECT_TRUE(Contains(run.err, c.message)) << c.name << ": " << run.err;
    EXPECT_FALSE(std::filesystem::exists(Path("out.Aled"))) << c.name;
  }
  const CliRun missing = RunCli({"import", aled, "--model", "VQ-M07", "--area", "2", "--csv",
                                 Path("none.csv"), "--out", Path("out.Aled")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_TRUE(Contains(missing.err, "none.csv")) << missing.err;
  EXPECT_FALSE(std::filesystem::exists(Path("out.Aled")));
}

}  // namespace
}  // namespace vqled
