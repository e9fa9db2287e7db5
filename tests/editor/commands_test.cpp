#include "editor/commands.h"

#include "editor_fixture.h"

namespace vqled {
namespace {

class CommandsTest : public EditorTest {
 protected:
  CommandsTest() : clipOwner_(std::make_unique<EditorClipboard>()), clip(*clipOwner_) {}
  // Values 1..n over a block, row by row.
  void FillNumbered(int top, int left, int rows, int columns) {
    for (int m = 0; m < rows; ++m)
      for (int k = 0; k < columns; ++k) At(top + m, left + k) = m * columns + k + 1;
  }

 private:
  std::unique_ptr<EditorClipboard> clipOwner_;

 protected:
  EditorClipboard& clip;
};

TEST_F(CommandsTest, CopyAndPasteARectangle) {
  FillNumbered(4, 3, 2, 3);  // three frames, two channels
  CopySelection(store, clip, {3, 4, 5, 5}, 0);
  EXPECT_EQ(clip.clipLastColumn, 2);
  EXPECT_EQ(clip.clipLastRow, 1);
  store.currentArea = 2;  // the clipboard is shared by the areas
  PasteClip(store, clip, {10, 8});
  for (int m = 0; m < 2; ++m)
    for (int k = 0; k < 3; ++k) EXPECT_EQ(At(8 + m, 10 + k), m * 3 + k + 1);
  EXPECT_EQ(At(8, 13), 0);
  EXPECT_EQ(At(10, 10), 0);
}

TEST_F(CommandsTest, SingleCellCopyUsesClipValueOnly) {
  clip.clipBuffer[0][0] = 9;
  At(5, 5) = 120;
  CopySelection(store, clip, {5, 5, 5, 5}, 0);
  EXPECT_EQ(clip.clipValue, 120);
  EXPECT_EQ(clip.clipBuffer[0][0], 9);
  PasteClip(store, clip, {7, 6});
  EXPECT_EQ(At(6, 7), 120);
  EXPECT_EQ(At(6, 8), 0);

  clip.fillAfterCopy = true;  // filling a single cell does nothing
  CopySelection(store, clip, {5, 5, 5, 5}, 77);
  EXPECT_EQ(At(5, 5), 120);
  EXPECT_FALSE(clip.fillAfterCopy);
  clip.clearAfterCopy = true;
  CopySelection(store, clip, {5, 5, 5, 5}, 0);
  EXPECT_EQ(At(5, 5), 0);
  EXPECT_FALSE(clip.clearAfterCopy);
}

TEST_F(CommandsTest, DeleteSelectedKeepsTheValuesForAPaste) {
  FillNumbered(4, 3, 2, 2);
  clip.clearAfterCopy = true;
  CopySelection(store, clip, {3, 4, 4, 5}, 0);
  EXPECT_FALSE(clip.clearAfterCopy);
  for (int row : {4, 5})
    for (int column : {3, 4}) EXPECT_EQ(At(row, column), 0);
  PasteClip(store, clip, {20, 10});
  EXPECT_EQ(At(10, 20), 1);
  EXPECT_EQ(At(11, 21), 4);
}

TEST_F(CommandsTest, FillSelectedLeavesTheCaptionColumns) {
  At(4, 0) = 5;
  clip.fillAfterCopy = true;
  CopySelection(store, clip, {0, 3, 4, 4}, 77);
  for (int row : {3, 4}) {
    EXPECT_EQ(At(row, 1), 0);
    for (int column = 2; column <= 4; ++column) EXPECT_EQ(At(row, column), 77);
  }
  EXPECT_EQ(At(4, 0), 5);
  EXPECT_EQ(At(5, 2), 0);
  EXPECT_FALSE(clip.fillAfterCopy);
}

TEST_F(CommandsTest, RectangleFromTheCaptionColumnCopiesZerosInFront) {
  At(3, 2) = 50;
  At(3, 0) = 8;  // never copied
  clip.clipBuffer[0][0] = 99;
  CopySelection(store, clip, {0, 3, 2, 3}, 0);
  EXPECT_EQ(clip.clipBuffer[0][0], 0);
  EXPECT_EQ(clip.clipBuffer[0][2], 50);
  At(6, 10) = 1;
  At(6, 11) = 1;
  PasteClip(store, clip, {10, 6});
  EXPECT_EQ(At(6, 10), 0);
  EXPECT_EQ(At(6, 11), 0);
  EXPECT_EQ(At(6, 12), 50);
}

TEST_F(CommandsTest, TallRectangleCopiesTheFirstRowsItHoldsAndFillsAll) {
  clip.fillAfterCopy = true;
  CopySelection(store, clip, {2, 3, 3, 3 + 399}, 6);
  EXPECT_EQ(clip.clipLastRow, kClipRows - 1);
  EXPECT_EQ(At(3 + 399, 3), 6);
  At(3 + 335, 2) = 44;
  At(3 + 336, 2) = 45;
  CopySelection(store, clip, {2, 3, 2, 3 + 399}, 0);
  EXPECT_EQ(clip.clipBuffer[335][0], 44);
  PasteClip(store, clip, {20, 3});
  EXPECT_EQ(At(3 + 335, 20), 44);
  EXPECT_EQ(At(3 + 336, 20), 0);
}

TEST_F(CommandsTest, PasteStopsAtTheEdgeOfTheArea) {
  FillNumbered(3, 2, 10, 20);
  CopySelection(store, clip, {2, 3, 21, 12}, 0);
  PasteClip(store, clip, {kColumnsPerArea - 5, kRowsPerArea - 4});
  EXPECT_EQ(At(kRowsPerArea - 4, kColumnsPerArea - 5), 1);
  EXPECT_EQ(At(kRowsPerArea - 1, kColumnsPerArea - 1), 3 * 20 + 5);
  EXPECT_EQ(store.Cell(1, 0, 0), 0);  // the next area starts right after
  EXPECT_EQ(store.Cell(0, kRowsPerArea - 3, 0), 0);
}

TEST_F(CommandsTest, CopyOfARectangleReachingPastTheAreaStaysInside) {
  store.Cell(1, 0, 0) = 5;
  clip.clearAfterCopy = true;
  CopySelection(store, clip,
                {kColumnsPerArea - 3, kRowsPerArea - 2, kColumnsPerArea + 7, kRowsPerArea + 7}, 0);
  EXPECT_EQ(store.Cell(1, 0, 0), 5);
}

TEST_F(CommandsTest, CommandsOnACellOfMinusOneDoNothing) {
  FillNumbered(3, 2, 3, 3);
  CopySelection(store, clip, {2, 3, 4, 5}, 0);
  clip.clearAfterCopy = true;
  CopySelection(store, clip, {-1, 3, 4, 5}, 0);
  EXPECT_FALSE(clip.clearAfterCopy);
  CopySelection(store, clip, {4, 5, 2, 3}, 0);  // ends out of order: no rectangle
  EXPECT_EQ(clip.clipLastColumn, 2);
  EXPECT_EQ(At(3, 2), 1);
  for (GridCell cell : {GridCell{-1, 4}, GridCell{4, -1}}) {
    PasteClip(store, clip, cell);
    InsertColumn(store, cell);
    DeleteColumn(store, cell);
    PasteChannel(store, clip, cell, store.gridColumnCount);
    CopyChannel(store, clip, cell, store.gridColumnCount);
  }
  EXPECT_EQ(At(3, 2), 1);
  EXPECT_EQ(At(5, 4), 9);
  EXPECT_EQ(clip.clipBuffer[0][0], 1);
}

TEST_F(CommandsTest, InsertColumnShiftsCellsButNotFrameTimes) {
  for (int column = 2; column <= 3502; ++column) At(4, column) = column;
  At(kShiftLastRow + 1, 6) = 1;  // rows past 334 stay
  store.frameTime[0].timeValue[7] = 3;
  InsertColumn(store, {6, 4});
  EXPECT_EQ(At(4, 5), 5);
  EXPECT_EQ(At(4, 6), 0);
  EXPECT_EQ(At(4, 7), 6);
  EXPECT_EQ(At(4, 3500), 3499);  // the old column 3500 is lost
  EXPECT_EQ(At(4, 3501), 3501);
  EXPECT_EQ(At(kShiftLastRow + 1, 6), 1);
  EXPECT_EQ(store.frameTime[0].timeValue[7], 3);
}

TEST_F(CommandsTest, DeleteColumnShiftsLeftAndEmptiesColumn3501) {
  for (int column = 2; column <= 3502; ++column) At(2, column) = column;
  DeleteColumn(store, {6, 4});
  EXPECT_EQ(At(2, 5), 5);
  EXPECT_EQ(At(2, 6), 7);
  EXPECT_EQ(At(2, 3500), 3501);
  EXPECT_EQ(At(2, 3501), 0);
  EXPECT_EQ(At(2, 3502), 3502);

  // Past the moved columns a delete empties that column only.
  At(3, 3501) = 8;
  At(3, 3800) = 9;
  DeleteColumn(store, {3800, 3});
  EXPECT_EQ(At(3, 3800), 0);
  EXPECT_EQ(At(3, 3501), 8);
  InsertColumn(store, {3900, 3});
  EXPECT_EQ(At(3, 3501), 8);
}

TEST_F(CommandsTest, CopyChannelAndPasteDuplicateTheChannel) {
  for (int column = 2; column < store.gridColumnCount; ++column) At(5, column) = column % 250 + 1;
  CopyChannel(store, clip, {2, 5}, store.gridColumnCount);
  PasteChannel(store, clip, {2, 9}, store.gridColumnCount);
  for (int column = 2; column < store.gridColumnCount; ++column)
    ASSERT_EQ(At(9, column), column % 250 + 1) << column;
  EXPECT_EQ(At(9, store.gridColumnCount), 0);

  // A channel copied from a later column pastes its own length, then what was there.
  CopyChannel(store, clip, {store.gridColumnCount - 2, 5}, store.gridColumnCount);
  PasteChannel(store, clip, {2, 10}, store.gridColumnCount);
  EXPECT_EQ(At(10, 2), At(5, store.gridColumnCount - 2));
  EXPECT_EQ(At(10, 4), At(5, 4));
}

TEST_F(CommandsTest, ChannelCopyOnAWideGridStaysInTheClipboardAndArea) {
  At(5, kColumnsPerArea - 1) = 4;
  CopyChannel(store, clip, {0, 5}, 9999);
  EXPECT_EQ(clip.clipBuffer[0][kClipColumns - 1], At(5, kClipColumns - 1));
  PasteChannel(store, clip, {kColumnsPerArea - 1, 6}, 9999);
  EXPECT_EQ(At(6, kColumnsPerArea - 1), 0);
  EXPECT_EQ(At(7, 0), 0);
}

}  // namespace
}  // namespace vqled
