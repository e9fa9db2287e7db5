// The two on/off layouts: the compact bit image of VQ-M01 .. VQ-M03 and the
// timed bit image of VQ-M04. Both carry each channel as two bits.
#include <algorithm>

#include "files/download_common.h"
#include "files/download_image.h"

namespace vqled {
namespace {

using download::ImageWriter;

constexpr int kBitHeaderBytes = 10;  // 9 without the loop-mode byte
constexpr int kTimedHeaderBytes = 30;
constexpr int kTimedGroups = 4;  // channels 1 .. 32, whatever the channel count says
constexpr int kTimedFrameBytes = 3 + 2 * kTimedGroups;

// Two-bit channel code, bit p of byte A and of byte B for the channel at
// position p of its group of eight:
//
//   cell                 A  B
//   0                    0  0   off
//   100, 255             0  1   on
//   2                    1  0   fade out
//   3                    1  1   fade in
//   any other non-zero   0  1   on, as the grid draws it (a lit box)
//
// Writes byte A, then byte B of the group of channels 8g + 1 .. 8g + 8
// (rows 8g + 3 .. 8g + 10) in one column.
void WriteChannelGroup(ImageWriter& out, const PatternStore& store, int area, int group,
                       int column) {
  int a = 0;
  int b = 0;
  for (int p = 0; p < 8; ++p) {
    const int32_t cell = store.Cell(area, kHeaderRows + 8 * group + p, column);
    if (cell == 2 || cell == 3) a |= 1 << p;
    if (cell != 0 && cell != 2) b |= 1 << p;
  }
  out.Byte(a);
  out.Byte(b);
}

// The last column of area 0 holding a lit cell, over the rows and columns the
// grid shows (a narrower scan than ComputeAreaLength); 0 when none is lit.
int LastShownColumn(const PatternStore& store) {
  const int rows = std::min(store.gridRowCount, kRowsPerArea);
  const int columns = std::min(store.gridColumnCount, kColumnsPerArea);
  int last = 0;
  for (int r = 0; r < rows; ++r) {
    const int32_t* row = store.Row(0, r);
    for (int c = columns - 1; c > last; --c) {
      if (row[c] != 0) {
        last = c;
        break;
      }
    }
  }
  return last;
}

}  // namespace

// Bit image of area 0 (VQ-M01 .. VQ-M03), G groups of eight channels (1 on
// VQ-M01, 2 on VQ-M02 and VQ-M03), L the last lit column of the shown grid:
//
//   offset  size  field
//   0       1     loop-mode code: 0 RadioButton3, 1 RadioButton2, 2 RadioButton1;
//                 left out when none of the three is set, and every later
//                 offset moves down by one
//   1       2     loop count, Edit6
//   3       1     G
//   4       2     frame count L - 1, unguarded: FF FF for an area with no lit cell
//   6       2     default time 1, time1
//   8       2     default time 2, time2
//   10 + f * 2G, for frame f = 0 .. L - 2 (column f + 2):
//     +2g   1     byte A of group g (g = 0 .. G - 1)
//     +2g+1 1     byte B of group g
//
// No frame carries a time: these models play every frame for default time 1
// or 2 and have no units.
Outcome EncodeBitImage(PatternStore& store, const ModelProfile& profile,
                       const DownloadControls& controls, ImageBuffer& image) {
  download::CompactNumbers numbers;
  if (Outcome read = download::ReadCompactNumbers(controls, 2, numbers); !read.ok) return read;
  const int groups = profile.modelIndex == 1 ? 1 : 2;
  const int last = LastShownColumn(store);
  const int loopCode = download::CompactLoopCode(controls);
  const int64_t bytes =
      kBitHeaderBytes - (loopCode < 0 ? 1 : 0) + int64_t{download::FrameColumns(last)} * 2 * groups;
  if (Outcome fits = download::CheckImageSize(bytes, 0); !fits.ok) return fits;

  ImageWriter out(image);
  if (loopCode >= 0) out.Byte(loopCode);
  out.Word(numbers.loopCount);
  out.Byte(groups);
  out.Word(last - 1);
  out.Word(numbers.time[0]);
  out.Word(numbers.time[1]);
  for (int c = kFirstFrameColumn; c <= last; ++c) {
    for (int g = 0; g < groups; ++g) WriteChannelGroup(out, store, 0, g, c);
  }
  out.Finish();
  return Outcome::Ok();
}

// Timed bit image (VQ-M04), N channels, F frames (last used column - 1, 0 for
// an empty area):
//
//   offset  size  field
//   0       2     channel count N (the channel rows the grid shows)
//   2       2     frame count F
//   4       2     default time 1 value
//   6       1     default time 1 unit (0 ms, 1 s, 2 min)
//   7       2     default time 2 value
//   9       1     default time 2 unit
//   10      2     default time 3 value
//   12      1     default time 3 unit
//   13      2     default time 4 value
//   15      1     default time 4 unit
//   16      2     default time 5 value
//   18      1     default time 5 unit
//   19      1     enabled
//   20      1     loop mode
//   21      2     loop count
//   23      7     zero
//   30 + f * 11, for frame f = 0 .. F - 1 (column f + 2):
//     +0    2     time value
//     +2    1     time type (0 default-time number, 1 ms, 2 s, 3 min)
//     +3    1     byte A of channels 1 .. 8
//     +4    1     byte B of channels 1 .. 8
//     +5    2     bytes A, B of channels 9 .. 16
//     +7    2     bytes A, B of channels 17 .. 24
//     +9    2     bytes A, B of channels 25 .. 32
Outcome EncodeTimedBitImage(PatternStore& store, int area, ImageBuffer& image) {
  const int last = ComputeAreaLength(store, area);
  const int frames = download::FrameColumns(last);
  static_assert(kTimedHeaderBytes + int64_t{kColumnsPerArea} * kTimedFrameBytes <= kImageCapacity,
                "a timed bit image always fits the buffer");
  ImageWriter out(image);
  download::WriteAreaSettings(out, store, area, ScannedChannels(store), frames);
  out.Zeros(kTimedHeaderBytes - 23);
  const FrameTimes& times = store.frameTime[area];
  for (int c = kFirstFrameColumn; c <= last; ++c) {
    out.Word(times.timeValue[c]);
    out.Byte(times.timeType[c]);
    for (int g = 0; g < kTimedGroups; ++g) WriteChannelGroup(out, store, area, g, c);
  }
  out.Finish();
  return Outcome::Ok();
}

}  // namespace vqled
