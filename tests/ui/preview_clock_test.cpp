#include "ui/preview_clock.h"

#include <gtest/gtest.h>

#include <memory>

namespace vqled {
namespace {

// A time line of the given frame lengths in ms, played by a clock whose time
// the test moves.
class PreviewClockTest : public ::testing::Test {
 protected:
  void Lay(std::initializer_list<int64_t> lengths) {
    timeline->frameCount = 0;
    int64_t end = 0;
    for (int64_t length : lengths) timeline->endMs[timeline->frameCount++] = end += length;
  }
  void Advance(int64_t ms) { now += ms; }

  std::unique_ptr<PreviewTimeline> timeline = std::make_unique<PreviewTimeline>();
  int64_t now = 5000;  // the source's epoch is no start of play
  PreviewClock clock{*timeline, [this] { return now; }};
};

TEST_F(PreviewClockTest, SixtySecondAreaEndsAtSixtySecondsWithEachFrameOnItsTime) {
  Lay({250, 50, 59700});  // neither time is a multiple of 100 ms
  clock.SetPlays(1);
  clock.Play();
  EXPECT_EQ(clock.Frame(), 0);
  Advance(249);
  EXPECT_EQ(clock.Frame(), 0);
  Advance(1);
  EXPECT_EQ(clock.Frame(), 1);
  Advance(50);
  EXPECT_EQ(clock.Frame(), 2);
  Advance(59699);
  EXPECT_FALSE(clock.Ended());
  EXPECT_TRUE(clock.Playing());
  Advance(1);
  EXPECT_TRUE(clock.Ended());
  EXPECT_FALSE(clock.Playing());
  EXPECT_EQ(clock.PositionMs(), 60000);
  Advance(10000);  // stays on the last frame at the end
  EXPECT_EQ(clock.PositionMs(), 60000);
  EXPECT_EQ(clock.Frame(), 2);
}

TEST_F(PreviewClockTest, LateLookSkipsFramesAndNeverStretchesTime) {
  Lay({100, 100, 100, 100});
  clock.Play();
  Advance(350);  // a repaint that came late shows frame 3, skipping 1 and 2
  EXPECT_EQ(clock.Frame(), 3);
  EXPECT_EQ(clock.PositionMs(), 350);
}

TEST_F(PreviewClockTest, FramesOfNoTimeAreSkippedInPlay) {
  Lay({100, 0, 100});
  clock.Play();
  Advance(100);
  EXPECT_EQ(clock.Frame(), 2);
  clock.StepBack();
  EXPECT_EQ(clock.Frame(), 0);
  clock.StepForward();
  EXPECT_EQ(clock.Frame(), 2);
}

TEST_F(PreviewClockTest, SpeedScalesTimeFromTheMomentItChanges) {
  Lay({1000, 1000, 1000, 1000});
  clock.Play();
  Advance(500);
  clock.SetSpeed(4);
  Advance(500);  // 2000 ms of pattern
  EXPECT_EQ(clock.PositionMs(), 2500);
  EXPECT_EQ(clock.Frame(), 2);
  clock.SetSpeed(0.25);
  Advance(1000);
  EXPECT_EQ(clock.PositionMs(), 2750);
  struct Case {
    double asked, taken;
  } const cases[] = {{0.1, 0.25}, {10, 4}, {-1, 0.25}, {0.5, 0.5}, {2, 2}};
  for (const Case& c : cases) {
    clock.SetSpeed(c.asked);
    EXPECT_EQ(clock.Speed(), c.taken) << c.asked;
  }
}

TEST_F(PreviewClockTest, PauseHoldsThePositionAndPlayGoesOn) {
  Lay({1000, 1000});
  clock.Play();
  Advance(700);
  clock.Pause();
  EXPECT_FALSE(clock.Playing());
  Advance(5000);
  EXPECT_EQ(clock.PositionMs(), 700);
  clock.Play();
  Advance(400);
  EXPECT_EQ(clock.PositionMs(), 1100);
  EXPECT_EQ(clock.Frame(), 1);
}

TEST_F(PreviewClockTest, StepsPauseAndCrossIntoTheNeighbouringPlay) {
  Lay({300, 200, 500});
  clock.SetPlays(2);
  clock.Play();
  Advance(350);
  clock.StepForward();
  EXPECT_FALSE(clock.Playing());
  EXPECT_EQ(clock.Frame(), 2);
  EXPECT_EQ(clock.PositionMs(), 500);
  clock.StepForward();  // into the second play
  EXPECT_EQ(clock.Pass(), 1);
  EXPECT_EQ(clock.Frame(), 0);
  EXPECT_EQ(clock.PositionMs(), 1000);
  clock.StepBack();  // back into the first
  EXPECT_EQ(clock.Pass(), 0);
  EXPECT_EQ(clock.Frame(), 2);
  clock.SeekFrame(0);
  clock.StepBack();  // nothing before the first frame of the first play
  EXPECT_EQ(clock.PositionMs(), 0);
  clock.SeekFrame(99);  // beyond the frames: the last one
  EXPECT_EQ(clock.Frame(), 2);
  clock.StepForward();
  clock.StepForward();
  clock.StepForward();
  clock.StepForward();  // nothing after the last frame of the last play
  EXPECT_EQ(clock.Pass(), 1);
  EXPECT_EQ(clock.Frame(), 2);
}

TEST_F(PreviewClockTest, LoopsAsThePlaysSay) {
  Lay({400, 600});
  clock.SetPlays(3);
  clock.Play();
  Advance(2500);
  EXPECT_EQ(clock.Pass(), 2);
  EXPECT_EQ(clock.Frame(), 1);
  Advance(500);
  EXPECT_TRUE(clock.Ended());
  clock.Play();  // once over, play starts again
  EXPECT_EQ(clock.PositionMs(), 0);
  clock.SetPlays(kEndlessPlays);
  Advance(1000000 + 100);
  EXPECT_FALSE(clock.Ended());
  EXPECT_EQ(clock.Frame(), 0);
  EXPECT_EQ(clock.Pass(), 1000);
}

TEST_F(PreviewClockTest, NoFramesOrNoTimeShowsTheFirstFrame) {
  clock.Play();
  Advance(100);
  clock.StepForward();
  clock.SeekFrame(3);
  EXPECT_EQ(clock.Frame(), 0);
  Lay({0, 0});
  clock.SetPlays(1);
  clock.Play();
  EXPECT_TRUE(clock.Ended());
  EXPECT_EQ(clock.Frame(), 0);
}

TEST(PreviewTimelineTest, BuiltFromFrameTimesAndDefaultTimes) {
  auto store = std::make_unique<PatternStore>();
  ResetArea(*store, 4);
  store->defaultTime[4][0] = {1000, TIME_UNIT_MS};
  store->defaultTime[4][2] = {3, TIME_UNIT_S};
  struct Frame {
    int32_t type, value;
  } const frames[] = {{FRAME_TIME_DEFAULT, 1}, {FRAME_TIME_DEFAULT, 3}, {FRAME_TIME_MS, 250},
                      {FRAME_TIME_MIN, 1},     {FRAME_TIME_MS, -40},    {7, 100},
                      {FRAME_TIME_DEFAULT, 9}, {FRAME_TIME_S, 2}};
  for (int f = 0; f < 8; ++f) {
    store->frameTime[4].timeType[f + 2] = frames[f].type;
    store->frameTime[4].timeValue[f + 2] = frames[f].value;
  }
  auto timeline = std::make_unique<PreviewTimeline>();
  BuildTimeline(*store, 4, 8, *timeline);
  const int64_t ends[] = {1000, 4000, 4250, 64250, 64250, 64250, 64250, 66250};
  ASSERT_EQ(timeline->frameCount, 8);
  for (int f = 0; f < 8; ++f) EXPECT_EQ(timeline->endMs[f], ends[f]) << f;
  EXPECT_EQ(timeline->FrameAt(64250), 7);  // frames 4..6 have no time
  BuildTimeline(*store, 4, 99999, *timeline);
  EXPECT_EQ(timeline->frameCount, kMaxPreviewFrames);
}

TEST(PreviewTimelineTest, PlaysFollowTheAreaLoopMode) {
  struct Case {
    PlaySettings settings;
    int plays;
  } const cases[] = {{{LOOP_NEXT_AREA, 5, 1, 0}, 1}, {{LOOP_FOREVER, 5, 1, 0}, kEndlessPlays},
                     {{LOOP_COUNT, 5, 1, 0}, 5},     {{LOOP_COUNT, 0, 1, 0}, 1},
                     {{LOOP_COUNT, -3, 1, 0}, 1},    {{LOOP_ONCE, 5, 1, 0}, 1},
                     {{9, 5, 1, 0}, kEndlessPlays}};
  for (const Case& c : cases)
    EXPECT_EQ(PlaysOfArea(c.settings), c.plays)
        << c.settings.loopMode << " " << c.settings.loopCount;
}

}  // namespace
}  // namespace vqled
