#include "model/pattern_store.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <limits>
#include <new>

namespace vqled {
namespace {

constexpr size_t kCellBytes =
    static_cast<size_t>(kAreaCount) * kRowsPerArea * kColumnsPerArea * sizeof(int32_t);

// Anonymous memory reads as zero and becomes resident only where it is written.
int32_t* MapCells() {
  void* p = mmap(nullptr, kCellBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) throw std::bad_alloc();
  return static_cast<int32_t*>(p);
}

// Zeroes a run of cells. Whole pages inside the run are handed back to the
// system, which maps them as zero again on the next touch, so clearing costs
// no resident memory; the partial pages at both ends are written.
void ZeroCells(int32_t* first, size_t count) {
  const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  auto* begin = reinterpret_cast<unsigned char*>(first);
  unsigned char* end = begin + count * sizeof(int32_t);
  auto* pageBegin = reinterpret_cast<unsigned char*>(
      (reinterpret_cast<uintptr_t>(begin) + page - 1) & ~(uintptr_t{page} - 1));
  auto* pageEnd =
      reinterpret_cast<unsigned char*>(reinterpret_cast<uintptr_t>(end) & ~(uintptr_t{page} - 1));
  if (pageBegin >= pageEnd || madvise(pageBegin, pageEnd - pageBegin, MADV_DONTNEED) != 0) {
    std::memset(begin, 0, end - begin);
    return;
  }
  std::memset(begin, 0, pageBegin - begin);
  std::memset(pageEnd, 0, end - pageEnd);
}

}  // namespace

PatternStore::PatternStore() : cells_(MapCells()) {}

PatternStore::~PatternStore() {
  munmap(cells_, kCellBytes);
}

void ResetArea(PatternStore& store, int area) {
  ZeroCells(store.Row(area, 0), static_cast<size_t>(kResetRows) * kColumnsPerArea);
  FrameTimes& times = store.frameTime[area];
  std::fill(std::begin(times.timeValue), std::end(times.timeValue), 1);
  std::fill(std::begin(times.timeType), std::end(times.timeType), int32_t{FRAME_TIME_DEFAULT});
  PlaySettings& play = store.playSettings[area];
  play.loopMode = LOOP_FOREVER;
  play.loopCount = 0;
  play.enabled = 1;
}

int64_t FrameDurationMs(const PatternStore& store, int area, int column) {
  const int32_t value = store.frameTime[area].timeValue[column];
  switch (store.frameTime[area].timeType[column]) {
    case FRAME_TIME_DEFAULT: {
      if (value < 1 || value > kDefaultTimeCount) return 0;  // names no default time
      const DefaultTime& d = store.defaultTime[area][value - 1];
      switch (d.unit) {
        case TIME_UNIT_MS:
          return d.value;
        case TIME_UNIT_S:
          return int64_t{d.value} * 1000;
        case TIME_UNIT_MIN:
          return int64_t{d.value} * 60000;
        default:
          return 0;
      }
    }
    case FRAME_TIME_MS:
      return value;
    case FRAME_TIME_S:
      return int64_t{value} * 1000;
    case FRAME_TIME_MIN:
      return int64_t{value} * 60000;
    default:
      return 0;
  }
}

int LastUsedColumn(const PatternStore& store, int area) {
  // The scan covers the header rows, the channel rows and four rows past them,
  // and one column past the grid's last; it never leaves the area.
  const int lastRow = std::min(store.gridRowCount + 3, kRowsPerArea - 1);
  const int lastColumn = std::min(store.gridColumnCount, kColumnsPerArea - 1);
  int used = 0;
  for (int r = 0; r <= lastRow; ++r) {
    const int32_t* row = store.Row(area, r);
    for (int c = lastColumn; c > used; --c) {
      if (row[c] != 0) {
        used = c;
        break;
      }
    }
  }
  return used;
}

int ComputeAreaLength(PatternStore& store, int area) {
  store.scanRowCount = store.gridRowCount;
  const int used = LastUsedColumn(store, area);
  int64_t total = 0;
  for (int c = kFirstFrameColumn; c <= used; ++c) total += FrameDurationMs(store, area, c);
  constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
  constexpr int64_t kMin = std::numeric_limits<int32_t>::min();
  store.lastUsedColumn = used;
  store.areaDurationMs = static_cast<int>(std::clamp(total, kMin, kMax));
  return used;
}

bool AnyAreaHasContent(PatternStore& store) {
  for (int a = 0; a < kAreaCount; ++a) {
    if (ComputeAreaLength(store, a) > 0) return true;
  }
  return false;
}

}  // namespace vqled
