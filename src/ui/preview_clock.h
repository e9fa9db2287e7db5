// The timing of the preview window: an area's frames laid on a time line of
// their exact times in ms, and a clock that plays it from a monotonic time
// source at a chosen speed. The frame shown at any moment follows from the
// time elapsed alone, so a slow repaint skips frames and never stretches the
// area's time.
#pragma once

#include <cstdint>
#include <functional>

#include "model/pattern_store.h"

namespace vqled {

constexpr int kMaxPreviewFrames = kColumnsPerArea - kFirstFrameColumn;  // 4008

// Frames 0..frameCount-1 of an area (frame f is column f + 2): frame f is
// shown from StartMs(f) up to endMs[f]. A frame of no time (or a time code
// outside the lists) starts and ends at once and is never shown in play.
struct PreviewTimeline {
  int frameCount = 0;
  int64_t endMs[kMaxPreviewFrames] = {};

  int64_t DurationMs() const { return frameCount > 0 ? endMs[frameCount - 1] : 0; }
  int64_t StartMs(int frame) const { return frame > 0 ? endMs[frame - 1] : 0; }
  int64_t LengthMs(int frame) const { return endMs[frame] - StartMs(frame); }
  // The frame shown at ms into one play (0 <= ms < DurationMs()); the last
  // frame at or past the end, frame 0 when there are no frames.
  int FrameAt(int64_t ms) const;
};

// Lays frames 1..frameCount of the area (columns 2..frameCount + 1, limited
// to the area) on the time line with FrameDurationMs; a negative time counts
// as none. Reads the store and changes nothing in it.
void BuildTimeline(const PatternStore& store, int area, int frameCount, PreviewTimeline& timeline);

// How often an area plays by its play settings: once for "next area" and
// "once", loopCount times (at least once) for "loop n times", otherwise
// (loop for ever, or a code outside the list) kEndlessPlays.
constexpr int kEndlessPlays = 0;
int PlaysOfArea(const PlaySettings& settings);

constexpr double kMinPreviewSpeed = 0.25;
constexpr double kMaxPreviewSpeed = 4.0;

// Plays a time line. The clock keeps a position in ms since the start of the
// first play (across the repeats); while it plays, the position advances by
// the time source's elapsed ms times the speed. It reads the time line live,
// so the caller may rebuild it while playing.
class PreviewClock {
 public:
  using TimeSource = std::function<int64_t()>;  // monotonic ms

  PreviewClock(const PreviewTimeline& timeline, TimeSource nowMs);

  void Play();  // from the start again when the plays are over
  void Pause();
  bool Playing() const { return playing_ && !Ended(); }

  // Pause and show the next (previous) frame that has a time, going on into
  // the next (back into the previous) play where there is one.
  void StepForward();
  void StepBack();
  // Show the start of frame in the current play; playing goes on from there.
  void SeekFrame(int frame);

  // A speed outside 0.25..4 is taken as the nearest end.
  void SetSpeed(double speed);
  double Speed() const { return speed_; }
  // kEndlessPlays or a count of plays (1 or more).
  void SetPlays(int plays);
  int Plays() const { return plays_; }

  int64_t PositionMs() const;
  bool Ended() const;
  int Frame() const;     // the frame shown now
  int64_t Pass() const;  // the play (0-based) the position lies in

 private:
  int64_t EndMs() const;  // where the plays are over; INT64_MAX for endless
  void MoveTo(int64_t position);
  int FirstTimedFrame(int from, int step) const;

  const PreviewTimeline& timeline_;
  TimeSource nowMs_;
  bool playing_ = false;
  double speed_ = 1.0;
  int plays_ = kEndlessPlays;
  int64_t anchorPosition_ = 0;  // position at anchorNow_
  int64_t anchorNow_ = 0;
};

// A monotonic time source: ms of the system's steady clock.
int64_t SteadyNowMs();

}  // namespace vqled
