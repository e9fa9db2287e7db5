#include "files/area_table.h"

#include <gtest/gtest.h>

#include <memory>

#include "fresh_store.h"

namespace vqled {
namespace {

// 2 channels x 3 frames: {0, 128, 255}, {7, 8, 9}; times d1, 250ms, 2s.
AreaTable SmallTable() {
  AreaTable table;
  table.rows = 2;
  table.columns = 3;
  table.cells = {0, 128, 255, 7, 8, 9};
  table.times = {{1, FRAME_TIME_DEFAULT}, {250, FRAME_TIME_MS}, {2, FRAME_TIME_S}};
  return table;
}

// A 3 x 2 grey PNG written out by hand: IHDR, a tEXt chunk
// "vqled frame times" = "d1,250ms,2s", IDAT of rows {0,128,255} {7,8,9}, IEND.
const uint8_t kSmallPng[] = {
    0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44,
    0x52, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x02, 0x08, 0x00, 0x00, 0x00, 0x00, 0xB8,
    0x1F, 0x39, 0xC6, 0x00, 0x00, 0x00, 0x1D, 0x74, 0x45, 0x58, 0x74, 0x76, 0x71, 0x6C, 0x65,
    0x64, 0x20, 0x66, 0x72, 0x61, 0x6D, 0x65, 0x20, 0x74, 0x69, 0x6D, 0x65, 0x73, 0x00, 0x64,
    0x31, 0x2C, 0x32, 0x35, 0x30, 0x6D, 0x73, 0x2C, 0x32, 0x73, 0x2E, 0x4B, 0xF9, 0xA3, 0x00,
    0x00, 0x00, 0x10, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0x60, 0x68, 0xF8, 0xCF, 0xC0,
    0xCE, 0xC1, 0x09, 0x00, 0x08, 0x31, 0x01, 0x98, 0x1E, 0xAD, 0x67, 0xBE, 0x00, 0x00, 0x00,
    0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82,
};
constexpr size_t kTextChunkAt = 33;  // offset of the tEXt chunk's length
constexpr size_t kTextChunkSize = 12 + 0x1D;

TEST(AreaTableText, WritesTheFormsOfTheSmallTable) {
  const AreaTable table = SmallTable();
  EXPECT_EQ(WriteTabText(table), "0\t128\t255\n7\t8\t9\n");
  EXPECT_EQ(WriteCsv(table), "d1,250ms,2s\n0,128,255\n7,8,9\n");
  EXPECT_EQ(WriteBlockText(table), "vqled-block 1\n2 3\nd1 250ms 2s\n0 128 255\n7 8 9\n");
}

TEST(AreaTableText, ReadsWhatSpreadsheetsWrite) {
  // LibreOffice's block: CRLF line ends, a blank cell; Excel's CSV: a UTF-8
  // mark and quoted fields.
  TableParse tab = ParseTabText("0\t128\t255\r\n7\t\t9\r\n");
  ASSERT_TRUE(tab.outcome.ok) << tab.outcome.message.en;
  EXPECT_EQ(tab.table.rows, 2);
  EXPECT_EQ(tab.table.columns, 3);
  EXPECT_EQ(tab.table.cells, (std::vector<int32_t>{0, 128, 255, 7, 0, 9}));
  EXPECT_TRUE(tab.table.times.empty());

  TableParse csv = ParseCsv("\xEF\xBB\xBF\"d1\",250ms,2s\r\n0,\"128\",255\r\n7,8,9");
  ASSERT_TRUE(csv.outcome.ok) << csv.outcome.message.en;
  EXPECT_EQ(csv.table, SmallTable());

  TableParse block = ParseBlockText("vqled-block 1\n2 3\nd1 250ms 2s\n0 128 255\n7 8 9\n");
  ASSERT_TRUE(block.outcome.ok) << block.outcome.message.en;
  EXPECT_EQ(block.table, SmallTable());
}

TEST(AreaTableText, FrameTimesOfEveryType) {
  const struct {
    const char* text;
    TableTime time;
  } cases[] = {{"d3", {3, FRAME_TIME_DEFAULT}},
               {"1000ms", {1000, FRAME_TIME_MS}},
               {"2s", {2, FRAME_TIME_S}},
               {"5min", {5, FRAME_TIME_MIN}},
               {"7:9", {7, 9}},
               {"-4ms", {-4, FRAME_TIME_MS}}};
  for (const auto& c : cases) {
    TableTime time;
    ASSERT_TRUE(ParseTableTime(c.text, time)) << c.text;
    EXPECT_EQ(time, c.time) << c.text;
    EXPECT_EQ(FormatTableTime(c.time), c.text);
  }
  for (const char* bad : {"", "d", "ms", "12", "3h", "1.5s", "x:1"}) {
    TableTime time;
    EXPECT_FALSE(ParseTableTime(bad, time)) << bad;
  }
}

TEST(AreaTableText, MalformedInputIsRefusedNamingRowAndColumn) {
  const struct {
    const char* name;
    TableParse parse;
    const char* message;
  } cases[] = {
      {"tab, not a number", ParseTabText("1\t2\n3\tx\n"), "row 2, column 2: \"x\""},
      {"tab, above 255", ParseTabText("1\t256\n"), "row 1, column 2: \"256\""},
      {"tab, negative", ParseTabText("-1\n"), "row 1, column 1: \"-1\""},
      {"tab, ragged", ParseTabText("1\t2\n3\n"), "row 2 has 1 columns where 2"},
      {"tab, empty", ParseTabText(""), "empty"},
      {"csv, bad cell", ParseCsv("d1,d1\n1,2\n3,4.5\n"), "row 3, column 2: \"4.5\""},
      {"csv, bad time", ParseCsv("d1,3h\n1,2\n"), "row 1, column 2: \"3h\" is no frame time"},
      {"csv, ragged", ParseCsv("d1,d1\n1,2,3\n"), "row 2 has 3 columns"},
      {"csv, header only", ParseCsv("d1,d1\n"), "needs a row of frame times"},
      {"block, no magic", ParseBlockText("0\t1\n"), "no block"},
      {"block, rows short", ParseBlockText("vqled-block 1\n2 1\nd1\n5\n"), "should have 2 rows"},
      {"block, bad cell", ParseBlockText("vqled-block 1\n1 2\nd1 d1\n5 z\n"),
       "row 4, column 2: \"z\""},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(c.parse.outcome.ok) << c.name;
    EXPECT_NE(c.parse.outcome.message.en.find(c.message), std::string::npos)
        << c.name << ": " << c.parse.outcome.message.en;
    EXPECT_FALSE(c.parse.outcome.message.zh.empty()) << c.name;
  }
}

TEST(AreaTableText, RefusesATableLargerThanAnArea) {
  std::string wide(kColumnsPerArea, '\t');  // kColumnsPerArea + 1 blank cells
  const TableParse parse = ParseTabText(wide + "\n");
  EXPECT_FALSE(parse.outcome.ok);
  EXPECT_NE(parse.outcome.message.en.find("larger than an area"), std::string::npos);
}

TEST(AreaTablePng, DecodesAWrittenOutPicture) {
  const TableParse parse = ParsePng(kSmallPng, sizeof kSmallPng);
  ASSERT_TRUE(parse.outcome.ok) << parse.outcome.message.en;
  EXPECT_EQ(parse.table, SmallTable());
}

TEST(AreaTablePng, EncodesGreyPixelsOfTheTableSize) {
  std::vector<uint8_t> png;
  ASSERT_TRUE(WritePng(SmallTable(), png).ok);
  // Signature, then IHDR: width 3, height 2, 8 bits, grey, no interlace.
  const uint8_t head[] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00,
                          0x00, 0x0D, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00, 0x00, 0x03,
                          0x00, 0x00, 0x00, 0x02, 0x08, 0x00, 0x00, 0x00, 0x00};
  ASSERT_GE(png.size(), sizeof head);
  EXPECT_TRUE(std::equal(std::begin(head), std::end(head), png.begin()));
  const std::string bytes(png.begin(), png.end());
  EXPECT_NE(bytes.find(std::string("zTXt") + kPngTimesKeyword), std::string::npos);
  const TableParse back = ParsePng(png.data(), png.size());
  ASSERT_TRUE(back.outcome.ok) << back.outcome.message.en;
  EXPECT_EQ(back.table, SmallTable());

  AreaTable bad = SmallTable();
  bad.At(1, 2) = 300;
  const Outcome refused = WritePng(bad, png);
  EXPECT_FALSE(refused.ok);
  EXPECT_NE(refused.message.en.find("channel 2, frame 3 holds 300"), std::string::npos);
}

TEST(AreaTablePng, MalformedPicturesAreRefused) {
  std::vector<uint8_t> noChunk(kSmallPng, kSmallPng + kTextChunkAt);
  noChunk.insert(noChunk.end(), kSmallPng + kTextChunkAt + kTextChunkSize, std::end(kSmallPng));
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* message;
  } cases[] = {
      {"truncated", {kSmallPng, kSmallPng + 90}, "cannot be read"},
      {"no signature", {kSmallPng + 1, std::end(kSmallPng)}, "PNG signature"},
      {"no frame times", noChunk, "no \"vqled frame times\" text chunk"},
      {"empty", {}, "PNG signature"},
  };
  for (const auto& c : cases) {
    const TableParse parse = ParsePng(c.bytes.data(), c.bytes.size());
    EXPECT_FALSE(parse.outcome.ok) << c.name;
    EXPECT_NE(parse.outcome.message.en.find(c.message), std::string::npos)
        << c.name << ": " << parse.outcome.message.en;
  }
}

class AreaTableStore : public ::testing::Test {
 protected:
  void SetUp() override { PrepareFreshStore(store, 8); }
  std::unique_ptr<PatternStore> owned = std::make_unique<PatternStore>();
  PatternStore& store = *owned;
};

TEST_F(AreaTableStore, AnAreaCoversEveryChannelToItsLastUsedFrame) {
  store.Cell(2, 3, 2) = 255;                       // channel 1, frame 1
  store.Cell(2, 5, 4) = 40;                        // channel 3, frame 3
  store.frameTime[2].timeType[6] = FRAME_TIME_MS;  // frame 5 has a time of its own
  store.frameTime[2].timeValue[6] = 300;
  store.Cell(2, 3 + 8, 9) = 99;  // below the model's channels: left out
  const AreaTable table = AreaToTable(store, 2, 8, 4000);
  EXPECT_EQ(table.rows, 8);
  EXPECT_EQ(table.columns, 5);
  EXPECT_EQ(table.At(0, 0), 255);
  EXPECT_EQ(table.At(2, 2), 40);
  EXPECT_EQ(table.times[4], (TableTime{300, FRAME_TIME_MS}));
  EXPECT_EQ(table.times[0], (TableTime{1, FRAME_TIME_DEFAULT}));

  const AreaTable empty = AreaToTable(store, 0, 8, 4000);
  EXPECT_EQ(empty.columns, 1);
  EXPECT_EQ(empty.cells, std::vector<int32_t>(8, 0));
}

TEST_F(AreaTableStore, RoundTripsGiveIdenticalCellsAndTimes) {
  for (int ch = 0; ch < 8; ++ch) {
    for (int f = 0; f < 40; ++f) store.Cell(1, ch + 3, f + 2) = (ch * 37 + f * 11) % 256;
  }
  for (int f = 0; f < 40; ++f) {
    store.frameTime[1].timeValue[f + 2] = f % 7 + 1;
    store.frameTime[1].timeType[f + 2] = f % 4;
  }
  const AreaTable table = AreaToTable(store, 1, 8, 4000);
  std::vector<uint8_t> png;
  ASSERT_TRUE(WritePng(table, png).ok);
  const std::string csv = WriteCsv(table);
  for (const TableParse& parse :
       {ParseCsv(csv), ParsePng(png.data(), png.size()), ParseBlockText(WriteBlockText(table))}) {
    ASSERT_TRUE(parse.outcome.ok) << parse.outcome.message.en;
    ASSERT_TRUE(CheckTableFitsModel(parse.table, 8, 4000).ok);
    auto other = std::make_unique<PatternStore>();
    PrepareFreshStore(*other, 8);
    ApplyAreaTable(*other, 4, parse.table, 8, 4000);
    EXPECT_EQ(AreaToTable(*other, 4, 8, 4000), table);
  }
}

TEST_F(AreaTableStore, ApplyReplacesTheModelsPartOfTheArea) {
  store.Cell(0, 3, 2) = 11;   // inside the table: overwritten
  store.Cell(0, 9, 30) = 12;  // channel 7, frame 29: outside the table, cleared
  store.frameTime[0].timeType[30] = FRAME_TIME_S;  // reset to default time 1
  store.Cell(0, 1, 5) = 13;                        // a header row: kept
  store.Cell(0, 3 + 8, 2) = 14;                    // past the model's channels: kept
  store.playSettings[0].loopCount = 6;
  ApplyAreaTable(store, 0, SmallTable(), 8, 100);
  EXPECT_EQ(store.Cell(0, 3, 2), 0);
  EXPECT_EQ(store.Cell(0, 3, 4), 255);
  EXPECT_EQ(store.Cell(0, 4, 2), 7);
  EXPECT_EQ(store.frameTime[0].timeValue[3], 250);
  EXPECT_EQ(store.frameTime[0].timeType[3], FRAME_TIME_MS);
  EXPECT_EQ(store.Cell(0, 9, 30), 0);
  EXPECT_EQ(store.frameTime[0].timeType[30], FRAME_TIME_DEFAULT);
  EXPECT_EQ(store.Cell(0, 1, 5), 13);
  EXPECT_EQ(store.Cell(0, 11, 2), 14);
  EXPECT_EQ(store.playSettings[0].loopCount, 6);

  const Outcome tooBig = CheckTableFitsModel(SmallTable(), 1, 100);
  EXPECT_FALSE(tooBig.ok);
  EXPECT_NE(tooBig.message.en.find("this model has 1 channels and 100 frames"), std::string::npos);
  AreaTable noTimes = SmallTable();
  noTimes.times.clear();
  EXPECT_FALSE(CheckTableFitsModel(noTimes, 8, 100).ok);
}

TEST_F(AreaTableStore, PasteStaysInsideTheArea) {
  PasteAreaTable(store, 3, 5, 7, SmallTable());
  EXPECT_EQ(store.Cell(3, 5, 8), 128);
  EXPECT_EQ(store.Cell(3, 6, 9), 9);
  EXPECT_EQ(store.frameTime[3].timeValue[8], 250);
  EXPECT_EQ(store.frameTime[3].timeType[9], FRAME_TIME_S);

  // At the area's last row and column: one cell fits, nothing of area 4 changes.
  PasteAreaTable(store, 3, kRowsPerArea - 1, kColumnsPerArea - 1, SmallTable());
  EXPECT_EQ(store.Cell(3, kRowsPerArea - 1, kColumnsPerArea - 1), 0);
  EXPECT_EQ(store.Cell(4, 0, 0), 0);
  EXPECT_EQ(store.Cell(4, 0, 1), 0);
  AreaTable lit = SmallTable();
  lit.At(0, 0) = 5;
  PasteAreaTable(store, 3, kRowsPerArea - 1, kColumnsPerArea - 1, lit);
  EXPECT_EQ(store.Cell(3, kRowsPerArea - 1, kColumnsPerArea - 1), 5);
  EXPECT_EQ(store.Cell(4, 0, 0), 0);

  // Cells only from tab text; no time goes into the caption columns.
  AreaTable cellsOnly = SmallTable();
  cellsOnly.times.clear();
  PasteAreaTable(store, 3, 10, 0, cellsOnly);
  EXPECT_EQ(store.Cell(3, 10, 1), 128);
  EXPECT_EQ(store.frameTime[3].timeType[1], FRAME_TIME_DEFAULT);
  PasteAreaTable(store, 3, 10, 0, SmallTable());
  EXPECT_EQ(store.frameTime[3].timeValue[1], 1);
  EXPECT_EQ(store.frameTime[3].timeValue[2], 2);
  EXPECT_EQ(store.frameTime[3].timeType[2], FRAME_TIME_S);
}

}  // namespace
}  // namespace vqled
