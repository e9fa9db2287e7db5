#include "files/area_image.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "files/byte_tile.h"

namespace vqled {
namespace {

constexpr int kHeaderBytes = 30;
constexpr int kRecordHead = 3;    // time value (2) and time type (1) before the channel bytes
constexpr int kColumnBlock = 64;  // frames per tile of the record gathering
constexpr int kRowTile = 16;      // channel rows per tile

void PutWord(uint8_t* at, int32_t value) {
  at[0] = static_cast<uint8_t>(value >> 8);
  at[1] = static_cast<uint8_t>(value);
}

// The channel rows an area's image carries: those the grid shows, 28 on every
// area of VQ-M26, and each area's own count on VQ-M28 (so the 90-channel areas
// are not cut to the 6 channels of the area shown).
int ImageChannels(const PatternStore& store, const ModelProfile& profile, int area) {
  switch (profile.areaMode) {
    case AREA_MODE_CHANNELS:
      return 28;
    case AREA_MODE_GRID:
      return std::max(profile.areaChannels[area], 0);
    default:
      return ScannedChannels(store);
  }
}

// ComputeAreaLength of the area. On the models whose areas have channel counts
// of their own (VQ-M26, VQ-M28) an area is measured over the channel rows its
// image carries, not those of the area shown, so that lit cells in channel 20
// of a VQ-M26 area, or in the rows of a 90-channel VQ-M28 area, count while an
// area with fewer channels is on screen.
int MeasureArea(PatternStore& store, const ModelProfile& profile, int area) {
  if (profile.areaMode == AREA_MODE_UNIFORM) return ComputeAreaLength(store, area);
  const int shownRows = store.gridRowCount;
  store.gridRowCount = ImageChannels(store, profile, area) + kHeaderRows;
  const int last = ComputeAreaLength(store, area);
  store.gridRowCount = shownRows;
  return last;
}

uint8_t ControllerTypeByte(const HeaderControls& controls) {
  if (controls.comboBox13Visible) return static_cast<uint8_t>(controls.comboBox6Index);
  if (controls.radioButton5) return 1;
  if (controls.radioButton6) return 2;
  return 0;
}

void PutHeader(const PatternStore& store, const HeaderControls& controls, int area, int channels,
               int frames, uint8_t* out) {
  PutWord(out + 0, channels);
  PutWord(out + 2, frames);
  for (int k = 0; k < kDefaultTimeCount; ++k) {
    const DefaultTime& time = store.defaultTime[area][k];
    PutWord(out + 4 + 3 * k, time.value);
    out[6 + 3 * k] = static_cast<uint8_t>(time.unit);
  }
  const PlaySettings& play = store.playSettings[area];
  out[19] = static_cast<uint8_t>(play.enabled);
  out[20] = static_cast<uint8_t>(play.loopMode);
  PutWord(out + 21, play.loopCount);
  out[23] = static_cast<uint8_t>(play.endMode);
  out[24] = ControllerTypeByte(controls);
  std::memset(out + 25, 0, 5);
}

// Cells of a channel row past the area's rows: they hold nothing.
const int32_t kNoCells[kColumnsPerArea] = {};

#if defined(__SSE2__)
// Moves a square of 16 rows by 16 columns: the low bytes of rows[t][i + c]
// become byte t of record c at out + c * record.
void PutCellTile(const int32_t* const* rows, int i, uint8_t* out, size_t record) {
  const __m128i low = _mm_set1_epi32(0xFF);
  __m128i bytes[kByteTile], records[kByteTile];
  for (int t = 0; t < kByteTile; ++t) {
    const auto* cells = reinterpret_cast<const __m128i*>(rows[t] + i);
    const __m128i a = _mm_and_si128(_mm_loadu_si128(cells + 0), low);
    const __m128i b = _mm_and_si128(_mm_loadu_si128(cells + 1), low);
    const __m128i c = _mm_and_si128(_mm_loadu_si128(cells + 2), low);
    const __m128i d = _mm_and_si128(_mm_loadu_si128(cells + 3), low);
    bytes[t] = _mm_packus_epi16(_mm_packs_epi32(a, b), _mm_packs_epi32(c, d));
  }
  TransposeByteTile(bytes, records);
  for (int c = 0; c < kByteTile; ++c) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + c * record), records[c]);
  }
}
#endif

// Writes the records of columns first..last. The store keeps an area row by
// row while a record holds one column, so the channel bytes are moved in
// tiles of kColumnBlock columns by kRowTile rows: the tile's cells and its
// record bytes both stay in the first-level cache while they are moved.
void PutRecordBlock(const PatternStore& store, int area, int channels, int first, int last,
                    uint8_t* out) {
  const size_t record = kRecordHead + channels;
  const FrameTimes& times = store.frameTime[area];
  const int count = last - first + 1;
  for (int i = 0; i < count; ++i) {
    uint8_t* at = out + i * record;
    PutWord(at, times.timeValue[first + i]);
    at[2] = static_cast<uint8_t>(times.timeType[first + i]);
  }
  const int32_t* rows[kRowTile];
  for (int tileFirst = 0; tileFirst < channels; tileFirst += kRowTile) {
    const int tile = std::min(kRowTile, channels - tileFirst);
    for (int t = 0; t < tile; ++t) {
      const int row = kHeaderRows + tileFirst + t;
      rows[t] = (row < kRowsPerArea ? store.Row(area, row) : kNoCells) + first;
    }
    int i = 0;
#if defined(__SSE2__)
    if (tile == kRowTile) {
      for (; i + kRowTile <= count; i += kRowTile) {
        PutCellTile(rows, i, out + i * record + kRecordHead + tileFirst, record);
      }
    }
#endif
    for (; i < count; ++i) {
      uint8_t* at = out + i * record + kRecordHead + tileFirst;
      for (int t = 0; t < tile; ++t) at[t] = static_cast<uint8_t>(rows[t][i]);
    }
  }
}

Outcome TooLarge(int area, long long bytes) {
  const std::string n = std::to_string(area + 1);
  const std::string b = std::to_string(bytes);
  const std::string cap = std::to_string(kImageCapacity);
  return Outcome::Fail({"分区 " + n + " 的图像有 " + b + " 字节，超出图像缓冲区的 " + cap + " 字节",
                        "The image of area " + n + " needs " + b + " bytes, more than the " + cap +
                            " bytes of the image buffer"});
}

}  // namespace

// Canonical area image (N channels, F frames; 16-bit fields high byte first,
// 1-byte fields the low 8 bits of the value):
//
//   offset  size  field
//   0       2     channel count N
//   2       2     frame count F (last used column - 1, 0 for an empty area)
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
//   23      1     end mode
//   24      1     controller-type byte: the model index while ComboBox13 is
//                 visible, else 1 car-light (RadioButton5), 2 normal
//                 (RadioButton6), 0 neither
//   25      5     zero
//   30 + f * (3 + N), for frame f = 0 .. F - 1 (column f + 2):
//     +0    2     time value
//     +2    1     time type (0 default-time number, 1 ms, 2 s, 3 min)
//     +3    N     cell of channel 1 .. N (rows 3 .. N + 2)
Outcome EncodeAreaImage(PatternStore& store, const ModelProfile& profile,
                        const HeaderControls& controls, int area, ImageBuffer& image) {
  const int last = MeasureArea(store, profile, area);
  const int channels = ImageChannels(store, profile, area);
  const int frames = last > 0 ? last - 1 : 0;
  const long long bytes = kHeaderBytes + static_cast<long long>(frames) * (kRecordHead + channels);
  if (bytes > kImageCapacity) return TooLarge(area, bytes);

  uint8_t* out = image.entry;
  PutHeader(store, controls, area, channels, frames, out);
  const int record = kRecordHead + channels;
  for (int first = kFirstFrameColumn; first <= last; first += kColumnBlock) {
    const int blockLast = std::min(last, first + kColumnBlock - 1);
    PutRecordBlock(store, area, channels, first, blockLast,
                   out + kHeaderBytes + static_cast<size_t>(first - kFirstFrameColumn) * record);
  }
  image.imageLast = static_cast<int>(bytes) - 1;
  image.frameCountHigh = out[2];
  image.frameCountLow = out[3];
  return Outcome::Ok();
}

}  // namespace vqled
