#include "editor/selection.h"

#include "editor_fixture.h"

namespace vqled {
namespace {

class SelectionTest : public EditorTest {
 protected:
  // A press on one cell and a release on another, as the form reports them.
  ReleaseResult Drag(GridCell from, GridCell to, PointerButton button = BUTTON_LEFT) {
    PressOnGrid(pointer, from);
    return ReleaseOnGrid(store, profile, pointer, button, to);
  }
  ReleaseResult Click(GridCell cell, PointerButton button = BUTTON_LEFT) {
    return Drag(cell, cell, button);
  }

  EditorPointer pointer;
};

TEST_F(SelectionTest, DragOpensTheMenuForTheRectangleWithEitherButton) {
  for (PointerButton button : {BUTTON_LEFT, BUTTON_RIGHT, BUTTON_OTHER}) {
    // Channel 2, frame 3 to channel 4, frame 1.
    const ReleaseResult result = Drag({4, 4}, {2, 6}, button);
    EXPECT_EQ(result.action, RELEASE_OPEN_MENU);
    EXPECT_FALSE(result.addColumnEnabled);
    EXPECT_FALSE(result.deleteColumnEnabled);
    EXPECT_TRUE(result.fillSelectedEnabled);
    EXPECT_TRUE(result.setsMenuStates);
    EXPECT_FALSE(result.makeCurrentCell);
    EXPECT_EQ(SelectionRect(pointer), (GridCellRect{2, 4, 4, 6}));
    EXPECT_EQ(pointer.editCell, (GridCell{2, 6}));
  }
  EXPECT_EQ(At(6, 2), 0);  // a drag toggles nothing
}

TEST_F(SelectionTest, RightClickOpensTheMenuOnTheCell) {
  const ReleaseResult result = Click({5, 7}, BUTTON_RIGHT);
  EXPECT_EQ(result.action, RELEASE_OPEN_MENU);
  EXPECT_TRUE(result.addColumnEnabled);
  EXPECT_TRUE(result.deleteColumnEnabled);
  EXPECT_FALSE(result.fillSelectedEnabled);
  EXPECT_TRUE(result.makeCurrentCell);
  EXPECT_EQ(SelectionRect(pointer), (GridCellRect{5, 7, 5, 7}));
}

// Step 6.3 runs on every release on a channel row, also where no menu opens:
// after a drag, a left click gives the single-cell states back for a menu
// opened later from the value box. Releases elsewhere leave them.
TEST_F(SelectionTest, EveryReleaseOnAChannelRowSetsTheSingleCellMenuStates) {
  Drag({4, 4}, {2, 6});
  for (int kind : {VALUE_KIND_BIT, VALUE_KIND_BYTE}) {
    profile.valueKind = kind;
    for (PointerButton button : {BUTTON_LEFT, BUTTON_OTHER}) {
      const ReleaseResult result = Click({3, 5}, button);
      EXPECT_TRUE(result.setsMenuStates);
      EXPECT_TRUE(result.addColumnEnabled && result.deleteColumnEnabled &&
                  !result.fillSelectedEnabled);
    }
  }
  for (GridCell cell : {GridCell{3, 1}, GridCell{3, 2}, GridCell{1, 5}, GridCell{-1, 5}}) {
    EXPECT_FALSE(Click(cell).setsMenuStates);
  }
}

TEST_F(SelectionTest, LeftClickTogglesOnOffCellsWithTheFadeCode) {
  for (int kind : {VALUE_KIND_BIT, VALUE_KIND_TIMED_BIT}) {
    profile.valueKind = kind;
    EXPECT_EQ(Click({3, 4}).action, RELEASE_CELL_TOGGLED);
    EXPECT_EQ(At(4, 3), 255);
    Click({3, 4});
    EXPECT_EQ(At(4, 3), 0);
  }
  store.fadeCode = 3;
  Click({3, 4});
  EXPECT_EQ(At(4, 3), 3);
  EXPECT_EQ(Click({3, 4}, BUTTON_OTHER).action, RELEASE_NOTHING);
  EXPECT_EQ(At(4, 3), 3);
}

TEST_F(SelectionTest, LeftClickOpensTheValueEntryOnBrightnessKinds) {
  for (int kind : {VALUE_KIND_STEP, VALUE_KIND_BYTE, VALUE_KIND_GROUP, VALUE_KIND_PERCENT_MARK}) {
    profile.valueKind = kind;
    EXPECT_EQ(Click({3, 4}).action, RELEASE_OPEN_VALUE_ENTRY) << kind;
    EXPECT_EQ(At(4, 3), 0);  // the entry box does the toggle
  }
}

TEST_F(SelectionTest, TimeRowsOpenTheListsTheModelAllows) {
  struct Case {
    int valueKind;
    ReleaseAction row1;
    ReleaseAction row2;
  } cases[] = {
      {VALUE_KIND_BIT, RELEASE_NOTHING, RELEASE_NOTHING},
      {VALUE_KIND_TIMED_BIT, RELEASE_OPEN_TIME_VALUES, RELEASE_OPEN_TIME_TYPES},
      {VALUE_KIND_STEP, RELEASE_OPEN_TIME_VALUES, RELEASE_NOTHING},
      {VALUE_KIND_BYTE, RELEASE_OPEN_TIME_VALUES, RELEASE_OPEN_TIME_TYPES},
      {VALUE_KIND_PERCENT_MARK, RELEASE_OPEN_TIME_VALUES, RELEASE_OPEN_TIME_TYPES},
  };
  for (const Case& c : cases) {
    profile.valueKind = c.valueKind;
    EXPECT_EQ(Click({6, 1}).action, c.row1) << c.valueKind;
    EXPECT_EQ(Click({6, 2}, BUTTON_RIGHT).action, c.row2) << c.valueKind;
    EXPECT_EQ(pointer.editCell, (GridCell{6, 2}));
  }
}

TEST_F(SelectionTest, ReleaseOutsideTheFrameCellsOnlyMovesEditCell) {
  Click({5, 5});
  for (GridCell cell : {GridCell{0, 5}, GridCell{1, 5}, GridCell{5, 0}, GridCell{-1, 5},
                        GridCell{5, -1}, GridCell{-1, -1}}) {
    EXPECT_EQ(Click(cell, BUTTON_RIGHT).action, RELEASE_NOTHING);
    EXPECT_EQ(pointer.editCell, cell);
    EXPECT_EQ(pointer.releaseCell, (GridCell{5, 5}));
  }
}

TEST_F(SelectionTest, DragFromTheFrameNumberRowReachesTheHeaderRows) {
  Drag({3, 0}, {5, 6});
  EXPECT_EQ(SelectionRect(pointer), (GridCellRect{3, 0, 5, 6}));
}

TEST(HoverLabel, FollowsTheSavedLanguage) {
  EXPECT_EQ(HoverLabelText(0, {13, 7}), "   第 5 路   第12步");
  EXPECT_EQ(HoverLabelText(1, {13, 7}), "   No. 5 Num   No. 12step");
  EXPECT_EQ(HoverLabelText(0, {-1, 0}), "   第 -2 路   第-2步");
  EXPECT_EQ(HoverLabelLeft(100, 137), 45);
}

}  // namespace
}  // namespace vqled
