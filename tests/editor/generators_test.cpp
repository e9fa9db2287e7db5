#include "editor/generators.h"

#include <string>
#include <vector>

#include "editor_fixture.h"

namespace vqled {
namespace {

class GeneratorsTest : public EditorTest {
 protected:
  std::vector<int32_t> Channel(int row, int firstColumn, int count) {
    std::vector<int32_t> values;
    for (int k = 0; k < count; ++k) values.push_back(At(row, firstColumn + k));
    return values;
  }
  std::vector<int32_t> Frame(int column, int firstRow, int count) {
    std::vector<int32_t> values;
    for (int m = 0; m < count; ++m) values.push_back(At(firstRow + m, column));
    return values;
  }
};

using Values = std::vector<int32_t>;

TEST_F(GeneratorsTest, RampDownChannelsStopsAtFullOrTheFirstControllersLastChannel) {
  ASSERT_TRUE(RampDownChannels(store, profile, {4, 3}, {"32", "+"}).ok);
  EXPECT_EQ(Frame(4, 3, 12), (Values{32, 64, 96, 128, 160, 192, 224, 255, 0, 0, 0, 0}));

  RampDownChannels(store, profile, {5, 12}, {"32", "+"});  // from channel 10
  EXPECT_EQ(Frame(5, 12, 4), (Values{32, 64, 96, 0}));

  RampDownChannels(store, profile, {6, 3}, {"100", "-"});
  EXPECT_EQ(Frame(6, 3, 5), (Values{155, 55, 0, 0, 0}));

  profile.controllerCount = 2;  // a later controller's channel gets nothing
  RampDownChannels(store, profile, {7, 16}, {"1", "+"});
  EXPECT_EQ(At(16, 7), 0);
}

TEST_F(GeneratorsTest, RampAlongFramesByKindAndDirection) {
  profile.valueKind = VALUE_KIND_STEP;
  ASSERT_TRUE(RampAlongFrames(store, profile, {2, 3}, {"10", "+"}).ok);
  EXPECT_EQ(Channel(3, 2, 11), (Values{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 0}));

  profile.valueKind = VALUE_KIND_BYTE;
  for (int column = 2; column < 2 + 260; ++column) At(4, column) = 9;
  RampAlongFrames(store, profile, {2, 4}, {"64", "-"});
  EXPECT_EQ(Channel(4, 2, 5), (Values{191, 127, 63, 0, 0}));
  EXPECT_EQ(At(4, 2 + 255), 0);  // the 256th cell
  EXPECT_EQ(At(4, 2 + 256), 9);
}

TEST_F(GeneratorsTest, RampWithStepZero) {
  for (int column = 2; column < 2 + 260; ++column) At(5, column) = 9;
  RampAlongFrames(store, profile, {2, 5}, {"0", "+"});
  EXPECT_EQ(At(5, 2 + 255), 0);
  EXPECT_EQ(At(5, 2 + 256), 9);
  RampAlongFrames(store, profile, {2, 6}, {"0", "-"});
  EXPECT_EQ(Channel(6, 2, 2), (Values{255, 0}));
}

TEST_F(GeneratorsTest, RampStepThatIsNoNumberWritesNothing) {
  for (const char* step : {"", "x", "99999999999"}) {
    EXPECT_FALSE(RampAlongFrames(store, profile, {2, 3}, {step, "+"}).ok);
    EXPECT_FALSE(RampDownChannels(store, profile, {2, 3}, {step, "+"}).ok);
  }
  EXPECT_EQ(At(3, 2), 0);
  // A huge step is limited at the first cell rather than overflowing.
  RampAlongFrames(store, profile, {2, 3}, {"2147483647", "+"});
  EXPECT_EQ(Channel(3, 2, 2), (Values{255, 0}));
}

TEST_F(GeneratorsTest, RampsStayInsideTheArea) {
  RampAlongFrames(store, profile, {kColumnsPerArea - 3, 3}, {"1", "+"});
  EXPECT_EQ(Channel(3, kColumnsPerArea - 3, 3), (Values{1, 2, 3}));
  EXPECT_EQ(At(4, 0), 0);
  profile.channelsPerController = 3068;
  RampDownChannels(store, profile, {2, kRowsPerArea - 2}, {"1", "+"});
  EXPECT_EQ(store.Cell(1, 0, 2), 0);
  EXPECT_EQ(At(kRowsPerArea - 1, 2), 2);
  EXPECT_TRUE(RampAlongFrames(store, profile, {-1, 3}, {"1", "+"}).ok);
}

TEST(Direction, OnlyPlusAndMinusStay) {
  for (auto [typed, kept] : {std::pair{"+", "+"}, {"-", "-"}, {"x", "+"}, {"", "+"}, {"--", "+"}}) {
    std::string text = typed;
    NormaliseDirectionText(text);
    EXPECT_EQ(text, kept);
  }
  EXPECT_EQ(FullValue(VALUE_KIND_STEP), 100);
  EXPECT_EQ(FullValue(VALUE_KIND_PERCENT_MARK), 100);
  EXPECT_EQ(FullValue(VALUE_KIND_BIT), 255);
  EXPECT_EQ(FullValue(VALUE_KIND_GROUP), 255);
}

TEST_F(GeneratorsTest, StackedRunLightsOneMoreChannelPerFrame) {
  At(5, 2) = 7;  // frame 1, channel 3 is not lit by frame 1 and keeps its value
  ASSERT_TRUE(FillStackedRun(store, {"1", "4", "1", "3"}, 200).ok);
  EXPECT_EQ(Frame(2, 3, 4), (Values{200, 0, 7, 0}));
  EXPECT_EQ(Frame(3, 3, 4), (Values{200, 200, 0, 0}));
  EXPECT_EQ(Frame(4, 3, 4), (Values{200, 200, 200, 0}));
  EXPECT_EQ(Frame(5, 3, 4), (Values{200, 200, 200, 0}));
  EXPECT_EQ(At(3, 6), 0);
}

// "流水" runs one channel per frame past the last channel field, down to the
// grid's last channel row: channel 12 of a 12-channel grid (row 14), or the
// last controller's last channel on a model with several.
TEST_F(GeneratorsTest, RunLightsOneChannelPerFrameDownToTheGridsLastChannel) {
  struct Case {
    const char* name;
    int controllers;
    RunFields fields;
    int firstRow;   // the row the run's first frame lights
    int litFrames;  // frames lit before the frame range or the grid ends
  } cases[] = {
      {"within the field", 1, {"1", "4", "1", "12"}, 3, 4},
      {"past the field", 1, {"10", "30", "1", "2"}, 3, 12},
      {"second controller", 2, {"1", "30", "20", "12"}, 22, 5},
      {"third controller, field 1", 3, {"3", "5", "30", "1"}, 32, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetArea(store, 0);
    store.gridRowCount = c.controllers * profile.channelsPerController + kHeaderRows;
    ASSERT_TRUE(FillRun(store, c.fields, 9).ok);
    const int firstColumn = std::stoi(std::string(c.fields.firstFrame)) + 1;
    // Rows around the run, frames one before to two past its lit cells: the
    // lit cells form the diagonal, every other cell stays 0.
    for (int column = firstColumn - 1; column <= firstColumn + c.litFrames + 1; ++column) {
      for (int row = c.firstRow - 1; row <= store.gridRowCount + 1; ++row) {
        const int k = column - firstColumn;
        const bool lit = k >= 0 && k < c.litFrames && row == c.firstRow + k;
        EXPECT_EQ(At(row, column), lit ? 9 : 0) << "row " << row << " column " << column;
      }
    }
  }
}

// A first channel past the grid's channels writes nothing and says so.
TEST_F(GeneratorsTest, RunFromPastTheGridsLastChannelIsReported) {
  store.gridRowCount = 2 * profile.channelsPerController + kHeaderRows;
  const Outcome outcome = FillRun(store, {"1", "4", "25", "12"}, 9);
  EXPECT_FALSE(outcome.ok);
  EXPECT_EQ(outcome.message.en,
            "Running light: first channel 25 lies past the last channel 24; nothing was written");
  EXPECT_EQ(outcome.message.zh, "流水: 起始列 25 在最后一路 24 之后, 没有写入");
  EXPECT_FALSE(AnyAreaHasContent(store));
}

TEST_F(GeneratorsTest, RunsWithFieldsBeyondTheAreaStayInside) {
  const int shownRows = store.gridRowCount;
  store.gridRowCount = kRowsPerArea;  // 1021 channels, as on VQ-M15
  ASSERT_TRUE(FillRun(store, {"1", "99999", "1", "99999"}, 3).ok);
  EXPECT_EQ(At(kRowsPerArea - 1, kRowsPerArea - 2), 3);
  store.gridRowCount = shownRows;
  ASSERT_TRUE(FillStackedRun(store, {"4000", "99999", "1018", "99999"}, 4).ok);
  EXPECT_EQ(At(kRowsPerArea - 1, kColumnsPerArea - 1), 4);
  EXPECT_EQ(store.Cell(1, 0, 0), 0);
  EXPECT_EQ(store.Cell(1, 1, 0), 0);

  // Fields that start past the area, even at the largest number they take,
  // or that end before it write nothing.
  ResetArea(store, 0);
  for (const RunFields& fields :
       {RunFields{"2147483647", "2147483647", "1", "3"},
        RunFields{"1", "4", "2147483647", "2147483647"}, RunFields{"-1", "-5", "1", "3"}}) {
    FillRun(store, fields, 6);
    ASSERT_TRUE(FillStackedRun(store, fields, 6).ok);
  }
  EXPECT_FALSE(AnyAreaHasContent(store));
}

TEST_F(GeneratorsTest, RunFieldsThatAreEmptyOrReversedWriteNothing) {
  for (const RunFields& fields : {RunFields{"", "4", "1", "3"}, RunFields{"1", "4", "1", "x"},
                                  RunFields{"5", "4", "1", "3"}}) {
    FillRun(store, fields, 9);
    FillStackedRun(store, fields, 9);
  }
  EXPECT_FALSE(FillRun(store, {"1", "", "1", "3"}, 9).ok);
  EXPECT_FALSE(FillStackedRun(store, {"1", "4", "", "3"}, 9).ok);
  FillStackedRun(store, {"1", "4", "3", "1"}, 9);  // first channel after the last
  for (int row = 2; row < 8; ++row)
    for (int column = 0; column < 8; ++column) EXPECT_EQ(At(row, column), 0);
}

TEST(RunDialogs, OpenWithEditCellAndTheModel) {
  ModelProfile profile;
  profile.channelsPerController = 12;
  const RunFieldValues stacked = StackedRunDialogValues({5, 7}, profile);
  EXPECT_EQ(stacked.firstFrame, 4);
  EXPECT_EQ(stacked.lastFrame, 12);
  EXPECT_EQ(stacked.firstChannel, 5);
  EXPECT_EQ(stacked.lastChannel, 12);
  const RunFieldValues run = RunDialogValues({5, 7}, profile, 1202);
  EXPECT_EQ(run.lastFrame, 1200);
  EXPECT_EQ(run.lastChannel, 12);
}

TEST(RunDialogs, ValueBoxFeedsTheEntryBox) {
  std::string box = "300";
  std::string entry = "12";
  ASSERT_TRUE(FeedEntryFromValueBox(box, entry).ok);
  EXPECT_EQ(box, "255");
  EXPECT_EQ(entry, "255");
  box = "077";
  FeedEntryFromValueBox(box, entry);
  EXPECT_EQ(box, "077");
  EXPECT_EQ(entry, "77");
  box = "";
  EXPECT_FALSE(FeedEntryFromValueBox(box, entry).ok);
  EXPECT_EQ(entry, "77");
}

}  // namespace
}  // namespace vqled
