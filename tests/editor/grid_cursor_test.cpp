#include "editor/grid_cursor.h"

#include "editor_fixture.h"

namespace vqled {
namespace {

// The fixture's grid: 12 channel rows (rows 3..14) and columns 2..4001.
class GridCursorTest : public EditorTest {
 protected:
  GridCursorTest() { store.gridColumnCount = 40; }  // frames in columns 2..39

  GridCell Move(CursorMove move, bool extend = false, int pageRows = 5) {
    MoveCursor(cursor, store, move, extend, pageRows);
    return cursor.cell;
  }
  void Put(int column, int row) { cursor.cell = cursor.anchor = {column, row}; }

  GridCursor cursor;
};

TEST_F(GridCursorTest, StepsStopAtTheFrameColumnsAndTheRowsBelowTheFrameNumbers) {
  struct Case {
    GridCell from;
    CursorMove move;
    GridCell to;
  };
  const Case cases[] = {
      {{2, 3}, MOVE_LEFT, {2, 3}},     // no move onto the colour marks
      {{5, 3}, MOVE_LEFT, {4, 3}},     //
      {{39, 3}, MOVE_RIGHT, {39, 3}},  // the model's last frame
      {{2, 3}, MOVE_UP, {2, 2}},       // the time type row
      {{2, 1}, MOVE_UP, {2, 1}},       // never onto the frame numbers
      {{2, 14}, MOVE_DOWN, {2, 14}},   // the last shown channel
      {{7, 4}, MOVE_PAGE_DOWN, {7, 9}}, {{7, 12}, MOVE_PAGE_DOWN, {7, 14}},
      {{7, 4}, MOVE_PAGE_UP, {7, 1}},   {{7, 4}, MOVE_HOME, {2, 4}},
      {{7, 9}, MOVE_FIRST, {2, 3}},
  };
  for (const Case& c : cases) {
    Put(c.from.column, c.from.row);
    EXPECT_EQ(Move(c.move), c.to) << c.from.column << "," << c.from.row << " move " << c.move;
    EXPECT_EQ(cursor.anchor, cursor.cell);
  }
}

TEST_F(GridCursorTest, CtrlMovesReachTheUsedRangeEndsThenTheGridEnds) {
  At(5, 9) = 1;    // channel 3, frame 8
  At(8, 20) = 40;  // channel 6, frame 19
  At(15, 30) = 7;  // a row the grid does not show
  EXPECT_EQ(FindUsedRange(store).lastColumn, 20);
  EXPECT_EQ(FindUsedRange(store).lastRow, 8);
  Put(4, 4);
  EXPECT_EQ(Move(MOVE_USED_RIGHT), (GridCell{20, 4}));
  EXPECT_EQ(Move(MOVE_USED_RIGHT), (GridCell{39, 4}));
  EXPECT_EQ(Move(MOVE_USED_LEFT), (GridCell{2, 4}));
  EXPECT_EQ(Move(MOVE_USED_DOWN), (GridCell{2, 8}));
  EXPECT_EQ(Move(MOVE_USED_DOWN), (GridCell{2, 14}));
  EXPECT_EQ(Move(MOVE_USED_UP), (GridCell{2, 3}));
  EXPECT_EQ(Move(MOVE_USED_UP), (GridCell{2, 1}));
  EXPECT_EQ(Move(MOVE_END), (GridCell{20, 1}));
  EXPECT_EQ(Move(MOVE_LAST_USED), (GridCell{20, 8}));
}

TEST_F(GridCursorTest, AnEmptyAreaHasItsUsedRangeAtFrameOneChannelOne) {
  At(2, 9) = 3;  // a time-row cell is no channel's
  const UsedRange used = FindUsedRange(store);
  EXPECT_TRUE(used.empty);
  Put(9, 9);
  EXPECT_EQ(Move(MOVE_END), (GridCell{2, 9}));
  EXPECT_EQ(Move(MOVE_LAST_USED), (GridCell{2, 3}));
  EXPECT_EQ(Move(MOVE_USED_RIGHT), (GridCell{39, 3}));
}

TEST_F(GridCursorTest, ShiftExtendsFromTheAnchorOverChannelRowsOnly) {
  Put(4, 5);
  Move(MOVE_RIGHT, true);
  Move(MOVE_RIGHT, true);
  Move(MOVE_DOWN, true);
  EXPECT_EQ(cursor.anchor, (GridCell{4, 5}));
  EXPECT_EQ(CursorSelection(cursor), (GridCellRect{4, 5, 6, 6}));
  for (int i = 0; i < 5; ++i) Move(MOVE_UP, true);  // stops at channel 1
  EXPECT_EQ(CursorSelection(cursor), (GridCellRect{4, 3, 6, 5}));
  Move(MOVE_USED_LEFT, true);
  EXPECT_EQ(CursorSelection(cursor), (GridCellRect{2, 3, 4, 5}));
  Move(MOVE_DOWN);  // a plain move drops the range
  EXPECT_EQ(CursorSelection(cursor), (GridCellRect{2, 4, 2, 4}));
  Put(4, 1);  // extending from a time row starts at channel 1
  Move(MOVE_DOWN, true);
  EXPECT_EQ(CursorSelection(cursor), (GridCellRect{4, 3, 4, 3}));
}

TEST_F(GridCursorTest, ClampFollowsASmallerGrid) {
  cursor.anchor = {30, 10};
  cursor.cell = {35, 14};
  store.gridColumnCount = 20;
  store.gridRowCount = 3 + 4;
  ClampCursor(cursor, store);
  EXPECT_EQ(CursorSelection(cursor), (GridCellRect{19, 6, 19, 6}));
  EXPECT_TRUE(IsCursorCell(store, {19, 1}));
  for (GridCell outside :
       {GridCell{1, 3}, GridCell{2, 0}, GridCell{20, 3}, GridCell{2, 7}, GridCell{-1, -1}}) {
    EXPECT_FALSE(IsCursorCell(store, outside)) << outside.column << "," << outside.row;
  }
  store.gridColumnCount = 0;  // no model laid out yet
  store.gridRowCount = 0;
  Put(9, 9);
  Move(MOVE_LAST_USED);
  EXPECT_EQ(cursor.cell, (GridCell{2, 1}));
}

}  // namespace
}  // namespace vqled
