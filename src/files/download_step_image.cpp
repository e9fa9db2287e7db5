// The compact step image of the percent-brightness models VQ-M00 and VQ-M06.

#include "files/download_common.h"
#include "files/download_image.h"

namespace vqled {
namespace {

constexpr int kStepHeaderBytes = 30;  // 29 without the loop-mode byte
constexpr int kStepZeroBytes = 13;

// The frame count of the step image: high byte the quotient of L - 1 by 256
// (truncated toward zero), low byte its low 8 bits. For an area with a lit
// cell that is the 16-bit value; an empty area sends 00 FF, as the
// controllers of these models have always received it.
void WriteStepFrameCount(download::ImageWriter& out, int lastColumn) {
  out.Byte((lastColumn - 1) / 256);
  out.Byte(lastColumn - 1);
}

}  // namespace

// Step image of area 0 (VQ-M00, VQ-M06), N channels (the channel rows the grid
// shows), L the last used column:
//
//   offset  size  field
//   0       1     loop-mode code: 0 RadioButton3, 1 RadioButton2, 2 RadioButton1;
//                 left out when none of the three is set, and every later
//                 offset moves down by one
//   1       2     loop count, Edit6
//   3       2     channel count N
//   5       2     frame count L - 1, unguarded: 00 FF for an area with no lit cell
//   7       2     default time 1, time1
//   9       1     unit of time 1, timeT1's item + 1 (1 ms, 2 s, 3 min)
//   10      2     default time 2, time2
//   12      1     unit of time 2, timeT2's item + 1
//   13      2     default time 3, time3
//   15      1     unit of time 3, timeT3's item + 1
//   16      1     1 when CheckBox3 (all lamps off when done) is ticked, else 0
//   17      13    zero
//   30 + f * (1 + N), for frame f = 0 .. L - 2 (column f + 2):
//     +0    1     time value (a default-time number 1 .. 3 on these models)
//     +1    N     cell of channel 1 .. N, one byte each
//
// The area is measured here, so the frames always match area 0's cells.
Outcome EncodeStepImage(PatternStore& store, const DownloadControls& controls, ImageBuffer& image) {
  download::CompactNumbers numbers;
  if (Outcome read = download::ReadCompactNumbers(controls, 3, numbers); !read.ok) return read;
  const int last = ComputeAreaLength(store, 0);
  const int channels = ScannedChannels(store);
  const int loopCode = download::CompactLoopCode(controls);
  const int64_t bytes = kStepHeaderBytes - (loopCode < 0 ? 1 : 0) +
                        int64_t{download::FrameColumns(last)} * (1 + channels);
  if (Outcome fits = download::CheckImageSize(bytes, 0); !fits.ok) return fits;

  download::ImageWriter out(image);
  if (loopCode >= 0) out.Byte(loopCode);
  out.Word(numbers.loopCount);
  out.Word(channels);
  WriteStepFrameCount(out, last);
  const int units[] = {controls.timeT1Index, controls.timeT2Index, controls.timeT3Index};
  for (int k = 0; k < 3; ++k) {
    out.Word(numbers.time[k]);
    out.Byte(units[k] + 1);
  }
  out.Byte(controls.checkBox3 ? 1 : 0);
  out.Zeros(kStepZeroBytes);
  const FrameTimes& times = store.frameTime[0];
  for (int c = kFirstFrameColumn; c <= last; ++c) {
    out.Byte(times.timeValue[c]);
    out.ChannelCells(store, 0, c, channels);
  }
  out.Finish();
  return Outcome::Ok();
}

}  // namespace vqled
