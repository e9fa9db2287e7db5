#include "ui/preview_scene.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "fresh_store.h"

namespace vqled {
namespace {

TEST(PreviewLampGridTest, WrapsWholeBoardsIntoTheWidth) {
  struct Case {
    int channels, blocks, width;
    int columns, rows;
  };
  const Case cases[] = {
      {72, 1, 1600, 60, 2},     // 1584 px hold 60 lamps: 5 boards of 12
      {1021, 1, 1600, 60, 18},  // the whole model in 18 rows
      {6, 1, 1600, 6, 1},       // fewer lamps than a board: one short row
      {72, 7, 1600, 12, 6},     // seven areas side by side: one board each
      {72, 20, 600, 12, 6},     // never narrower than a board
      {0, 1, 800, 1, 1},        // at least one lamp
      {5000, 1, 800, 24, 43},   // at most 1021 channels
      {36, 0, 2000, 36, 1},     // at least one block
  };
  for (const Case& c : cases) {
    const PreviewLampGrid grid = LayoutPreviewLamps(c.channels, c.blocks, c.width);
    EXPECT_EQ(grid.columns, c.columns) << c.channels << " in " << c.width;
    EXPECT_EQ(grid.rows, c.rows) << c.channels << " in " << c.width;
    EXPECT_LE(grid.columns * (grid.rows - 1), grid.channels - 1);
  }
}

TEST(PreviewLampGridTest, LampsOfBlocksNeverOverlapAndStayInside) {
  const PreviewLampGrid grid = LayoutPreviewLamps(30, 3, 900);  // 12 per row, 3 rows
  ASSERT_EQ(grid.columns, 12);
  EXPECT_EQ(grid.LampLeft(0, 0), 8 + 5);
  EXPECT_EQ(grid.LampTop(0), 8 + 20);
  EXPECT_EQ(grid.LampLeft(0, 13), grid.LampLeft(0, 1));
  EXPECT_EQ(grid.LampTop(13), grid.LampTop(0) + 32);
  // Block 1 starts past block 0's last column and the gap.
  EXPECT_EQ(grid.LampLeft(1, 0), grid.LampLeft(0, 11) + 26 + 20);
  EXPECT_LE(grid.LampLeft(2, 11) + PreviewLampGrid::kLampSize, grid.Width() - 8);
  EXPECT_LE(grid.LampTop(29) + PreviewLampGrid::kPitchY, grid.Height() - 8);
}

// Areas 0..2 of a store with 12 channels; the tests write frames and times.
class PreviewPlaybackTest : public ::testing::Test {
 protected:
  PreviewPlaybackTest() { PrepareFreshStore(*store, 12); }

  // Frames 1..n of area, frame f lasting lengths[f - 1] ms; channel 1 lit.
  void Frames(int area, std::initializer_list<int> lengths) {
    int column = kFirstFrameColumn;
    for (int ms : lengths) {
      store->Cell(area, kHeaderRows, column) = 100;
      store->frameTime[area].timeType[column] = FRAME_TIME_MS;
      store->frameTime[area].timeValue[column] = ms;
      ++column;
    }
  }

  std::unique_ptr<PatternStore> store = std::make_unique<PatternStore>();
  int64_t now = 1000;
  PreviewPlayback playback{[this] { return now; }};
};

TEST_F(PreviewPlaybackTest, FrameCountReadsTheAreaWithoutChangingTheStore) {
  Frames(1, {100, 100, 100});
  store->Cell(1, kHeaderRows + 11, kFirstFrameColumn + 6) = 1;  // frame 7, last channel
  auto before = std::make_unique<PatternStore>();
  std::memcpy(static_cast<void*>(before.get()), static_cast<const void*>(store.get()),
              sizeof(PatternStore));
  EXPECT_EQ(PreviewFrameCount(*store, 1), 7);
  EXPECT_EQ(PreviewFrameCount(*store, 0), 0);
  EXPECT_EQ(std::memcmp(static_cast<const void*>(before.get()),
                        static_cast<const void*>(store.get()), sizeof(PatternStore)),
            0);
}

TEST_F(PreviewPlaybackTest, AreasSideBySidePlayTogetherOnTheirOwnTimes) {
  Frames(0, {100, 300});
  Frames(1, {250, 250});
  playback.ShowAreas(0, 2);
  playback.Read(*store, true);
  playback.Play();
  now += 250;
  EXPECT_EQ(playback.Clock(0).Frame(), 1);
  EXPECT_EQ(playback.Clock(1).Frame(), 1);
  now += 200;  // 450 ms: area 0 wrapped to frame 0, area 1 still on frame 1
  EXPECT_EQ(playback.Clock(0).Frame(), 0);
  EXPECT_EQ(playback.Clock(1).Frame(), 1);
  playback.StepForward();  // both pause on their next frame
  EXPECT_FALSE(playback.Playing());
  EXPECT_EQ(playback.Clock(0).Frame(), 1);
  EXPECT_EQ(playback.Clock(1).Frame(), 0);
  playback.SeekFrame(5);  // past both areas' frames: their last
  EXPECT_EQ(playback.Clock(0).Frame(), 1);
  EXPECT_EQ(playback.Clock(1).Frame(), 1);
}

TEST_F(PreviewPlaybackTest, PlaysAsTheAreaSaysOrEndlessAndFollowsEdits) {
  Frames(2, {100, 100});
  store->playSettings[2].loopMode = LOOP_COUNT;
  store->playSettings[2].loopCount = 2;
  playback.ShowAreas(2, 1);
  playback.Read(*store, false);
  playback.SetSpeed(2.0);
  playback.Play();
  now += 200;  // 400 ms of the area at twice the speed: both plays over
  EXPECT_FALSE(playback.Playing());
  EXPECT_EQ(playback.Clock(0).PositionMs(), 400);
  playback.Read(*store, true);  // endless: plays on from where it stood
  playback.Play();
  now += 100;
  EXPECT_TRUE(playback.Playing());
  EXPECT_EQ(playback.Clock(0).Frame(), 0);
  // A frame written while playing lengthens the area at the next read.
  Frames(2, {100, 100, 1000});
  playback.Read(*store, true);
  EXPECT_EQ(playback.Timeline(0).frameCount, 3);
  EXPECT_EQ(playback.Timeline(0).DurationMs(), 1200);
}

TEST_F(PreviewPlaybackTest, ShowingOtherAreasKeepsTheClocksOfAreasStillShown) {
  Frames(0, {100, 100});
  Frames(1, {100, 100});
  playback.ShowAreas(0, 2);
  playback.Read(*store, true);
  playback.SetSpeed(9.0);  // taken as 4x
  playback.SeekFrame(1);
  playback.ShowAreas(1, 2);  // area 1 kept on its frame, area 2 new at its start
  ASSERT_EQ(playback.Count(), 2);
  EXPECT_EQ(playback.Area(0), 1);
  EXPECT_EQ(playback.Area(1), 2);
  EXPECT_EQ(playback.Clock(0).Frame(), 1);
  EXPECT_EQ(playback.Clock(1).PositionMs(), 0);
  EXPECT_EQ(playback.Clock(1).Speed(), 4.0);
}

}  // namespace
}  // namespace vqled
