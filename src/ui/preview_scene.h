// What the preview window shows: every channel of the model as a lamp with
// its number, wrapped into rows of whole boards, for one area or for all
// areas side by side; and which frame each shown area has reached, played
// from a monotonic clock on the area's exact frame times.
#pragma once

#include <memory>
#include <vector>

#include "model/pattern_store.h"
#include "ui/preview_clock.h"

namespace vqled {

constexpr int kMaxPreviewChannels = 1021;
constexpr int kPreviewBoardLamps = 12;

// Where the lamps lie, in pixels of the window's lamp view.
struct PreviewLampGrid {
  static constexpr int kLampSize = 16;
  static constexpr int kPitchX = 26;         // lamp to lamp along a row
  static constexpr int kPitchY = 32;         // a lamp and its number below it
  static constexpr int kNumberHeight = 12;   // the channel number under a lamp
  static constexpr int kCaptionHeight = 20;  // the area's name over its block
  static constexpr int kBlockGap = 20;       // between two areas' blocks
  static constexpr int kMargin = 8;

  int channels = 0;  // lamps of each block; lamp k shows channel k + 1
  int blocks = 0;    // areas side by side
  int columns = 0;   // lamps per row of a block
  int rows = 0;

  int BlockWidth() const { return columns * kPitchX; }
  int BlockLeft(int block) const { return kMargin + block * (BlockWidth() + kBlockGap); }
  int Width() const;
  int Height() const;
  int LampLeft(int block, int lamp) const;
  int LampTop(int lamp) const;
};

// channels limited to 1..1021 and blocks to 1 or more. A row holds as many
// whole boards of 12 lamps as fit into width pixels beside the other blocks
// (at least one board, or every channel when there are fewer than 12).
PreviewLampGrid LayoutPreviewLamps(int channels, int blocks, int width);

// The frames of an area the preview plays: frames 1..n up to the last used
// column; 0 for an empty area. Changes nothing in the store.
int PreviewFrameCount(const PatternStore& store, int area);

// The shown areas, each with its time line and clock. Every command acts on
// all of them alike, so areas shown side by side play together; each area
// keeps its own frame times and plays.
class PreviewPlayback {
 public:
  explicit PreviewPlayback(PreviewClock::TimeSource nowMs);

  // Shows areas first..first + count - 1. An area already shown keeps its
  // clock; a newly shown one starts paused at its first frame.
  void ShowAreas(int first, int count);
  // Reads the frames and frame times of the shown areas from the store again
  // and how often they play: endless, or as each area's play settings say.
  void Read(const PatternStore& store, bool endless);

  int Count() const { return static_cast<int>(shown_.size()); }
  int Area(int slot) const { return shown_[slot]->area; }
  const PreviewTimeline& Timeline(int slot) const { return shown_[slot]->timeline; }
  const PreviewClock& Clock(int slot) const { return shown_[slot]->clock; }

  void Play();
  void Pause();
  bool Playing() const;  // some shown area still plays
  void StepForward();
  void StepBack();
  void SeekFrame(int frame);  // frame limited to each area's frames
  void SetSpeed(double speed);

 private:
  struct AreaPlay {
    AreaPlay(int shownArea, const PreviewClock::TimeSource& nowMs)
        : area(shownArea), clock(timeline, nowMs) {}
    int area;
    PreviewTimeline timeline;
    PreviewClock clock;
  };

  PreviewClock::TimeSource nowMs_;
  double speed_ = 1.0;
  std::vector<std::unique_ptr<AreaPlay>> shown_;
};

}  // namespace vqled
