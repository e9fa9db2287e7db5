// The group image of the byte-brightness model VQ-M12.

#include "files/download_common.h"
#include "files/download_image.h"

namespace vqled {
namespace {

constexpr int kGroupHeaderBytes = 31;
constexpr int kRecordHead = 3;  // time value (2) and time type (1)
constexpr int kDurationUnitMs = 20;

}  // namespace

// Group image (VQ-M12), N channels (the channel rows the grid shows), F frames
// (last used column - 1, 0 for an empty area), D the area's play time in ms:
//
//   offset  size  field
//   0       2     channel count N
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
//   23      1     channels of light group 1, ComboBox9's item (FF: none selected)
//   24      1     channels of light group 2, ComboBox10's item
//   25      1     channels of light group 3, ComboBox11's item
//   26      1     channels of light group 4, ComboBox12's item
//   27      4     D / 20, the play time in units of 20 ms, 32-bit
//   31 + f * (3 + N), for frame f = 0 .. F - 1 (column f + 2):
//     +0    2     time value
//     +2    1     time type (0 default-time number, 1 ms, 2 s, 3 min)
//     +3    N     cell of channel 1 .. N, one byte each
Outcome EncodeGroupImage(PatternStore& store, const DownloadControls& controls, int area,
                         ImageBuffer& image) {
  const int last = ComputeAreaLength(store, area);
  const int channels = ScannedChannels(store);
  const int frames = download::FrameColumns(last);
  const int64_t bytes = kGroupHeaderBytes + int64_t{frames} * (kRecordHead + channels);
  if (Outcome fits = download::CheckImageSize(bytes, area); !fits.ok) return fits;

  download::ImageWriter out(image);
  download::WriteAreaSettings(out, store, area, channels, frames);
  for (int index : {controls.comboBox9Index, controls.comboBox10Index, controls.comboBox11Index,
                    controls.comboBox12Index}) {
    out.Byte(index);
  }
  out.Long(store.areaDurationMs / kDurationUnitMs);
  const FrameTimes& times = store.frameTime[area];
  for (int c = kFirstFrameColumn; c <= last; ++c) {
    out.Word(times.timeValue[c]);
    out.Byte(times.timeType[c]);
    out.ChannelCells(store, area, c, channels);
  }
  out.Finish();
  return Outcome::Ok();
}

}  // namespace vqled
