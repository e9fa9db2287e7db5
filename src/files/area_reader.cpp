#include "files/area_reader.h"

#include <algorithm>

#include "files/byte_tile.h"

namespace vqled {
namespace {

constexpr int kRecordHead = 3;
constexpr int kMaxFrames = kColumnsPerArea - kFirstFrameColumn;  // 4008
constexpr int kFrameBlock = 64;  // records per tile of the cell scattering
constexpr int kRowTile = 16;     // channel rows per tile

int Word(const uint8_t* at) {
  return at[0] * 256 + at[1];
}

// The default-time values that replace a 0 read from an image, per reader.
constexpr int32_t kZeroTimeReplacement[2][kDefaultTimeCount] = {
    {100, 500, 1000, 2000, 2500},   // resume reader
    {100, 1000, 1500, 2000, 2500},  // all-area import
};

void DecodeHeader(PatternStore& store, const ImageHeader& header, int area, AreaReader reader) {
  for (int k = 0; k < kDefaultTimeCount; ++k) {
    DefaultTime& time = store.defaultTime[area][k];
    time = header.defaultTime[k];
    if (time.value == 0 && reader != READER_SINGLE_AREA) {
      time.value = kZeroTimeReplacement[reader][k];
    }
  }
  PlaySettings& play = store.playSettings[area];
  play.enabled = header.enabled;
  play.loopMode = header.loopMode;
  play.loopCount = header.loopCount;
  if (reader == READER_RESUME) play.endMode = header.endMode;
}

#if defined(__SSE2__)
// Moves a square of 16 records by 16 channels: byte t of the record at
// at + c * record becomes cell rows[t][i + c].
void TakeCellTile(const uint8_t* at, size_t record, int32_t* const* rows, int i) {
  __m128i bytes[kByteTile], cells[kByteTile];
  for (int c = 0; c < kByteTile; ++c) {
    bytes[c] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + c * record));
  }
  TransposeByteTile(bytes, cells);
  const __m128i zero = _mm_setzero_si128();
  for (int t = 0; t < kByteTile; ++t) {
    const __m128i words0 = _mm_unpacklo_epi8(cells[t], zero);
    const __m128i words1 = _mm_unpackhi_epi8(cells[t], zero);
    auto* row = reinterpret_cast<__m128i*>(rows[t] + i);
    _mm_storeu_si128(row + 0, _mm_unpacklo_epi16(words0, zero));
    _mm_storeu_si128(row + 1, _mm_unpackhi_epi16(words0, zero));
    _mm_storeu_si128(row + 2, _mm_unpacklo_epi16(words1, zero));
    _mm_storeu_si128(row + 3, _mm_unpackhi_epi16(words1, zero));
  }
}
#endif

}  // namespace

ImageHeader ReadImageHeader(const uint8_t* data) {
  ImageHeader header;
  header.channels = Word(data);
  header.frames = Word(data + 2);
  for (int k = 0; k < kDefaultTimeCount; ++k) {
    header.defaultTime[k] = {Word(data + 4 + 3 * k), data[6 + 3 * k]};
  }
  header.enabled = data[19];
  header.loopMode = data[20];
  header.loopCount = Word(data + 21);
  header.endMode = data[23];
  header.controllerType = data[24];
  return header;
}

ImageExtent CheckAreaImage(const uint8_t* data, size_t size) {
  ImageExtent extent;
  extent.available = size;
  if (size < kImageHeaderBytes) {
    extent.fault = IMAGE_FAULT_SHORT_HEADER;
    extent.length = kImageHeaderBytes;
    return extent;
  }
  extent.channels = Word(data);
  extent.frames = Word(data + 2);
  extent.length =
      kImageHeaderBytes + static_cast<size_t>(extent.frames) * (kRecordHead + extent.channels);
  if (extent.frames > kMaxFrames) {
    extent.fault = IMAGE_FAULT_FRAMES;
  } else if (extent.length > size) {
    extent.fault = IMAGE_FAULT_SHORT_FRAMES;
  } else if (extent.channels > kMaxChannels) {
    extent.fault = IMAGE_FAULT_CHANNELS;
  }
  return extent;
}

size_t DecodeAreaImage(PatternStore& store, const uint8_t* data, size_t size, int area,
                       AreaReader reader) {
  const ImageExtent extent = CheckAreaImage(data, size);
  if (extent.fault != IMAGE_FAULT_NONE && extent.fault != IMAGE_FAULT_CHANNELS) return 0;
  DecodeHeader(store, ReadImageHeader(data), area, reader);
  // A wide image gives its first rows; each record still takes 3 + N bytes.
  const int channels = std::min(extent.channels, kMaxChannels);
  FrameTimes& times = store.frameTime[area];
  // Records are column-major and the store row-major: cells move in tiles of
  // kFrameBlock records by kRowTile rows that stay in the first-level cache.
  const uint8_t* records = data + kImageHeaderBytes;
  const size_t record = kRecordHead + static_cast<size_t>(extent.channels);
  for (int f = 0; f < extent.frames; ++f) {
    const uint8_t* at = records + f * record;
    times.timeValue[f + kFirstFrameColumn] = Word(at);
    times.timeType[f + kFirstFrameColumn] = at[2];
  }
  int32_t* rows[kRowTile];
  for (int first = 0; first < extent.frames; first += kFrameBlock) {
    const int count = std::min(kFrameBlock, extent.frames - first);
    for (int tileFirst = 0; tileFirst < channels; tileFirst += kRowTile) {
      const int tile = std::min(kRowTile, channels - tileFirst);
      for (int t = 0; t < tile; ++t) {
        rows[t] = store.Row(area, kHeaderRows + tileFirst + t) + kFirstFrameColumn + first;
      }
      const uint8_t* at = records + first * record + kRecordHead + tileFirst;
      int i = 0;
#if defined(__SSE2__)
      if (tile == kRowTile) {
        for (; i + kRowTile <= count; i += kRowTile) TakeCellTile(at + i * record, record, rows, i);
      }
#endif
      for (; i < count; ++i) {
        for (int t = 0; t < tile; ++t) rows[t][i] = at[i * record + t];
      }
    }
  }
  store.scanRowCount = channels;
  store.lastUsedColumn = extent.frames;
  return extent.length;
}

}  // namespace vqled
