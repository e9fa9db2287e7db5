#include "ui/preview_clock.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <utility>

namespace vqled {

int PreviewTimeline::FrameAt(int64_t ms) const {
  const int64_t duration = DurationMs();
  if (duration <= 0) return 0;
  const int64_t inside = std::clamp<int64_t>(ms, 0, duration - 1);
  return static_cast<int>(std::upper_bound(endMs, endMs + frameCount, inside) - endMs);
}

void BuildTimeline(const PatternStore& store, int area, int frameCount, PreviewTimeline& timeline) {
  timeline.frameCount = std::clamp(frameCount, 0, kMaxPreviewFrames);
  int64_t end = 0;
  for (int f = 0; f < timeline.frameCount; ++f) {
    end += std::max<int64_t>(FrameDurationMs(store, area, f + kFirstFrameColumn), 0);
    timeline.endMs[f] = end;
  }
}

int PlaysOfArea(const PlaySettings& settings) {
  switch (settings.loopMode) {
    case LOOP_NEXT_AREA:
    case LOOP_ONCE:
      return 1;
    case LOOP_COUNT:
      return std::max(settings.loopCount, 1);
    default:
      return kEndlessPlays;
  }
}

PreviewClock::PreviewClock(const PreviewTimeline& timeline, TimeSource nowMs)
    : timeline_(timeline), nowMs_(std::move(nowMs)), anchorNow_(nowMs_()) {}

void PreviewClock::Play() {
  MoveTo(Ended() ? 0 : PositionMs());
  playing_ = true;
}

void PreviewClock::Pause() {
  MoveTo(PositionMs());
  playing_ = false;
}

void PreviewClock::StepForward() {
  Pause();
  if (timeline_.frameCount == 0) return;
  const int64_t pass = Pass();
  const int64_t duration = timeline_.DurationMs();
  if (const int next = FirstTimedFrame(Frame() + 1, 1); next >= 0) {
    MoveTo(pass * duration + timeline_.StartMs(next));
  } else if (plays_ == kEndlessPlays || pass + 1 < plays_) {
    if (const int first = FirstTimedFrame(0, 1); first >= 0)
      MoveTo((pass + 1) * duration + timeline_.StartMs(first));
  }
}

void PreviewClock::StepBack() {
  Pause();
  if (timeline_.frameCount == 0) return;
  const int64_t pass = Pass();
  const int64_t duration = timeline_.DurationMs();
  if (const int previous = FirstTimedFrame(Frame() - 1, -1); previous >= 0) {
    MoveTo(pass * duration + timeline_.StartMs(previous));
  } else if (pass > 0) {
    const int last = FirstTimedFrame(timeline_.frameCount - 1, -1);
    MoveTo((pass - 1) * duration + timeline_.StartMs(last));
  }
}

void PreviewClock::SeekFrame(int frame) {
  if (timeline_.frameCount == 0) return;
  const int shown = std::clamp(frame, 0, timeline_.frameCount - 1);
  MoveTo(Pass() * timeline_.DurationMs() + timeline_.StartMs(shown));
}

void PreviewClock::SetSpeed(double speed) {
  MoveTo(PositionMs());
  speed_ = std::isnan(speed) ? 1.0 : std::clamp(speed, kMinPreviewSpeed, kMaxPreviewSpeed);
}

void PreviewClock::SetPlays(int plays) {
  const int64_t position = PositionMs();
  plays_ = std::max(plays, kEndlessPlays);
  MoveTo(position);  // kept within the new end
}

int64_t PreviewClock::PositionMs() const {
  int64_t position = anchorPosition_;
  if (playing_) position += std::llround(static_cast<double>(nowMs_() - anchorNow_) * speed_);
  return std::min(position, EndMs());
}

bool PreviewClock::Ended() const {
  return plays_ != kEndlessPlays && PositionMs() >= EndMs();
}

int PreviewClock::Frame() const {
  const int64_t duration = timeline_.DurationMs();
  if (duration <= 0) return 0;
  if (Ended()) return timeline_.FrameAt(duration);
  return timeline_.FrameAt(PositionMs() % duration);
}

int64_t PreviewClock::Pass() const {
  const int64_t duration = timeline_.DurationMs();
  if (duration <= 0) return 0;
  return std::min(PositionMs(), EndMs() - 1) / duration;
}

int64_t PreviewClock::EndMs() const {
  constexpr int64_t kNever = std::numeric_limits<int64_t>::max();
  const int64_t duration = timeline_.DurationMs();
  if (plays_ == kEndlessPlays || duration > kNever / plays_) return kNever;
  return duration * plays_;
}

void PreviewClock::MoveTo(int64_t position) {
  anchorPosition_ = std::clamp<int64_t>(position, 0, EndMs());
  anchorNow_ = nowMs_();
}

int PreviewClock::FirstTimedFrame(int from, int step) const {
  for (int f = from; f >= 0 && f < timeline_.frameCount; f += step)
    if (timeline_.LengthMs(f) > 0) return f;
  return -1;
}

int64_t SteadyNowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace vqled
