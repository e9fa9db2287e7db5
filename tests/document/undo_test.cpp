// Undo and redo through the document: every operation that changes the store
// is one step, and walking all steps back and forth gives the same .Aled
// bytes as before and after them.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "document/document.h"
#include "scratch_dir.h"

namespace vqled {
namespace {

constexpr int kM14 = 14;  // VQ-M14: 360 channels, 4002 columns, area tabs

std::vector<char> Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class UndoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    doc.ResetStartupAreas();
    doc.SelectModel(kM14, 1);
  }

  std::vector<char> Saved(const char* name) {
    const std::string path = dir.File(name);
    const Outcome saved = doc.SaveAllAreas(path, nullptr);
    EXPECT_TRUE(saved.ok) << saved.message.en;
    return Bytes(path);
  }

  test::ScratchDir dir{"undo"};
  Document doc;
};

// The random edits: every operation of the document that writes the store,
// on cells spread over the grid and a few areas.
class RandomEdits {
 public:
  RandomEdits(Document& doc, const test::ScratchDir& dir) : doc_(doc), dir_(dir) {}

  void Run(int count) {
    for (int i = 0; i < count; ++i) One();
  }

 private:
  int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
  GridCell Cell() { return {Pick(kFirstFrameColumn, 300), Pick(kHeaderRows, 80)}; }
  std::string Number() { return std::to_string(Pick(0, 300)); }

  void One() {
    const GridCell cell = Cell();
    switch (Pick(0, 19)) {
      case 0:
      case 1:
        doc_.ToggleCell(cell, Pick(1, 255));
        break;
      case 2:
        doc_.StoreEntryNumber(cell, Pick(0, 9) == 0 ? "x1" : Number());
        break;
      case 3:
        doc_.PickTimeType(cell, Pick(0, 3));
        break;
      case 4:
        doc_.PickTimeValue(cell, Number());
        break;
      case 5: {
        const GridCellRect rect{cell.column, cell.row, cell.column + Pick(0, 30),
                                cell.row + Pick(0, 20)};
        doc_.CopySelection(rect, Pick(0, 1) == 1, Pick(0, 2) == 0, Pick(0, 255));
        break;
      }
      case 6:
        doc_.PasteClip(cell);
        break;
      case 7:
        (Pick(0, 1) ? doc_.InsertColumn(cell) : doc_.DeleteColumn(cell));
        break;
      case 8:
        doc_.CopyChannel(Cell());
        doc_.PasteChannel(cell);
        break;
      case 9: {
        const std::string step = std::to_string(Pick(1, 60));
        doc_.Ramp(cell, {step, Pick(0, 1) ? "+" : "-"}, Pick(0, 1) == 1);
        break;
      }
      case 10: {
        const std::string f[4] = {std::to_string(Pick(1, 200)), std::to_string(Pick(1, 260)),
                                  std::to_string(Pick(1, 40)), std::to_string(Pick(1, 70))};
        doc_.FillRun({f[0], f[1], f[2], f[3]}, Pick(0, 255), Pick(0, 1) == 1);
        break;
      }
      case 11:
        doc_.ChooseLoopMode(Pick(LOOP_NEXT_AREA, LOOP_ONCE));
        break;
      case 12:
        doc_.StoreLoopCount(Pick(0, 9) == 0 ? "-" : Number());
        break;
      case 13:
        doc_.StoreEnabled(Pick(0, 1) == 1);
        break;
      case 14:
        (Pick(0, 1)
             ? doc_.CheckEndBox(Pick(0, 1) ? END_BOX_ALL_OFF : END_BOX_NEXT_AREA, Pick(0, 1) == 1)
             : doc_.StoreEndListChoice(Pick(0, 2)));
        break;
      case 15:
        doc_.controls().timeText[Pick(0, kDefaultTimeCount - 1)] = Number();
        doc_.controls().timeUnitIndex[Pick(0, kDefaultTimeCount - 1)] = Pick(0, 2);
        doc_.StoreDefaultTimes();
        break;
      case 16:
        doc_.ShowArea(Pick(0, 3));
        break;
      default:
        Rare();
    }
  }

  // Clears and imports, now and then.
  void Rare() {
    switch (Pick(0, 150)) {
      case 0:
        doc_.ClearCurrentArea();
        break;
      case 1:
        doc_.ClearAllAreas();
        break;
      case 2:
        if (doc_.SaveCurrentArea(dir_.File("a.led"), 0, LoopCountEntry::FromText("3")).ok)
          haveLed_ = true;
        break;
      case 3:
        if (haveLed_) {
          ASSERT_TRUE(doc_.ImportSingleArea(dir_.File("a.led")).ok);
        }
        break;
      case 4:
        if (doc_.SaveAllAreas(dir_.File("all.Aled"), nullptr).ok) haveAled_ = true;
        break;
      case 5:
        if (haveAled_) {
          ASSERT_TRUE(doc_.ImportAllAreas(dir_.File("all.Aled")).ok);
        }
        break;
      default:
        break;
    }
  }

  Document& doc_;
  const test::ScratchDir& dir_;
  std::mt19937 rng_{20261210};
  bool haveLed_ = false;
  bool haveAled_ = false;
};

TEST_F(UndoTest, TenThousandEditsUndoToTheStartAndRedoToTheEnd) {
  doc.history().SetBudget(size_t{1} << 40);  // every step kept
  RandomEdits edits(doc, dir);
  edits.Run(200);
  doc.history().Clear();
  const std::vector<char> start = Saved("start.Aled");
  edits.Run(10000);
  const std::vector<char> end = Saved("end.Aled");
  ASSERT_NE(start, end);
  const size_t steps = doc.history().UndoCount();
  EXPECT_GT(steps, 5000u);

  while (doc.Undo() >= 0) {
  }
  EXPECT_EQ(doc.history().RedoCount(), steps);
  EXPECT_TRUE(Saved("undone.Aled") == start);
  while (doc.Redo() >= 0) {
  }
  EXPECT_TRUE(Saved("redone.Aled") == end);
}

// A step names its command and the area it was made in; one that changed
// nothing, or a refused number or file, is no step.
TEST_F(UndoTest, StepsNameTheirCommandAndRefusalsMakeNone) {
  doc.ShowArea(2);
  doc.ToggleCell({5, 4}, 9);
  EXPECT_TRUE(doc.StoreEntryNumber({5, 4}, "9").ok);  // the value it holds
  EXPECT_FALSE(doc.StoreEntryNumber({5, 4}, "abc").ok);
  EXPECT_FALSE(doc.ImportAllAreas(dir.File("missing.Aled")).ok);
  ASSERT_EQ(doc.history().UndoCount(), 1u);
  EXPECT_EQ(doc.history().NextUndo()->kind, STEP_CELL_CLICK);

  doc.ShowArea(0);
  doc.ClearAllAreas();
  EXPECT_EQ(doc.history().NextUndo()->kind, STEP_CLEAR_ALL);
  EXPECT_EQ(doc.Undo(), 0);
  EXPECT_EQ(doc.Undo(), 2);  // the click, made in area 2
  EXPECT_EQ(doc.store().Cell(2, 4, 5), 0);
  EXPECT_EQ(doc.Undo(), -1);
}

// Digits typed one by one into Edit6 make one step, undone to the count
// from before the first.
TEST_F(UndoTest, KeystrokesIntoOneBoxAreOneStep) {
  doc.ShowArea(1);
  doc.StoreLoopCount("7");
  doc.ToggleCell({3, 3}, 1);
  for (const char* typed : {"1", "12", "125"}) doc.StoreLoopCount(typed);
  EXPECT_EQ(doc.history().UndoCount(), 3u);
  doc.Undo();
  EXPECT_EQ(doc.store().playSettings[1].loopCount, 7);
}

// The area an undone step was made in is shown from the store: its loop
// mode, count and enabled setting, with nothing written.
TEST_F(UndoTest, TheRestoredAreaShowsItsSettings) {
  doc.ShowArea(3);
  doc.StoreLoopCount("42");
  doc.StoreEnabled(false);
  doc.ShowArea(0);
  doc.ChooseLoopMode(LOOP_ONCE);
  const size_t steps = doc.history().UndoCount();
  const int area = doc.Undo();  // area 0's loop mode
  EXPECT_EQ(area, 0);
  doc.ShowRestoredArea(doc.Undo());  // area 3's enabled setting
  EXPECT_EQ(doc.store().currentArea, 3);
  EXPECT_EQ(doc.controls().edit6, "42");
  EXPECT_TRUE(doc.controls().checkBox2Checked);
  doc.ShowRestoredArea(doc.Redo());
  EXPECT_FALSE(doc.controls().checkBox2Checked);
  EXPECT_EQ(doc.store().playSettings[3].enabled, 0);
  EXPECT_EQ(doc.history().UndoCount() + doc.history().RedoCount(), steps);
}

}  // namespace
}  // namespace vqled
