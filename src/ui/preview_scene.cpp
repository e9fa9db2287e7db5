#include "ui/preview_scene.h"

#include <algorithm>
#include <utility>

namespace vqled {

int PreviewLampGrid::Width() const {
  return 2 * kMargin + blocks * BlockWidth() + (blocks - 1) * kBlockGap;
}

int PreviewLampGrid::Height() const {
  return 2 * kMargin + kCaptionHeight + rows * kPitchY;
}

int PreviewLampGrid::LampLeft(int block, int lamp) const {
  return BlockLeft(block) + lamp % columns * kPitchX + (kPitchX - kLampSize) / 2;
}

int PreviewLampGrid::LampTop(int lamp) const {
  return kMargin + kCaptionHeight + lamp / columns * kPitchY;
}

PreviewLampGrid LayoutPreviewLamps(int channels, int blocks, int width) {
  PreviewLampGrid grid;
  grid.channels = std::clamp(channels, 1, kMaxPreviewChannels);
  grid.blocks = std::max(blocks, 1);
  const int space =
      width - 2 * PreviewLampGrid::kMargin - (grid.blocks - 1) * PreviewLampGrid::kBlockGap;
  const int fit = std::max(space / grid.blocks / PreviewLampGrid::kPitchX, 0);
  const int boards = std::max(fit / kPreviewBoardLamps, 1);
  grid.columns = std::min(boards * kPreviewBoardLamps, grid.channels);
  grid.rows = (grid.channels + grid.columns - 1) / grid.columns;
  return grid;
}

int PreviewFrameCount(const PatternStore& store, int area) {
  return std::clamp(LastUsedColumn(store, area) - kFirstFrameColumn + 1, 0, kMaxPreviewFrames);
}

PreviewPlayback::PreviewPlayback(PreviewClock::TimeSource nowMs) : nowMs_(std::move(nowMs)) {}

void PreviewPlayback::ShowAreas(int first, int count) {
  std::vector<std::unique_ptr<AreaPlay>> shown;
  for (int area = first; area < first + count; ++area) {
    auto kept = std::find_if(shown_.begin(), shown_.end(),
                             [area](const auto& play) { return play && play->area == area; });
    if (kept != shown_.end()) {
      shown.push_back(std::move(*kept));
    } else {
      shown.push_back(std::make_unique<AreaPlay>(area, nowMs_));
      shown.back()->clock.SetSpeed(speed_);
    }
  }
  shown_ = std::move(shown);
}

void PreviewPlayback::Read(const PatternStore& store, bool endless) {
  for (auto& play : shown_) {
    BuildTimeline(store, play->area, PreviewFrameCount(store, play->area), play->timeline);
    play->clock.SetPlays(endless ? kEndlessPlays : PlaysOfArea(store.playSettings[play->area]));
  }
}

void PreviewPlayback::Play() {
  for (auto& play : shown_) play->clock.Play();
}

void PreviewPlayback::Pause() {
  for (auto& play : shown_) play->clock.Pause();
}

bool PreviewPlayback::Playing() const {
  return std::any_of(shown_.begin(), shown_.end(),
                     [](const auto& play) { return play->clock.Playing(); });
}

void PreviewPlayback::StepForward() {
  for (auto& play : shown_) play->clock.StepForward();
}

void PreviewPlayback::StepBack() {
  for (auto& play : shown_) play->clock.StepBack();
}

void PreviewPlayback::SeekFrame(int frame) {
  for (auto& play : shown_) play->clock.SeekFrame(frame);
}

void PreviewPlayback::SetSpeed(double speed) {
  speed_ = std::clamp(speed, kMinPreviewSpeed, kMaxPreviewSpeed);
  for (auto& play : shown_) play->clock.SetSpeed(speed_);
}

}  // namespace vqled
