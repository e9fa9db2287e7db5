// The pattern document: 20 areas of 1024 rows x 4010 columns of 32-bit cells,
// with a frame time per column, five default times and the play settings of
// each area. A grid coordinate (row, column) is a store coordinate: rows 0..2
// are the header rows, channel k is row k + 2, frame f is column f + 1.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vqled {

constexpr int kAreaCount = 20;
constexpr int kRowsPerArea = 1024;
constexpr int kColumnsPerArea = 4010;
constexpr int kHeaderRows = 3;
constexpr int kMaxChannels = kRowsPerArea - kHeaderRows;  // 1021
constexpr int kFirstFrameColumn = 2;
constexpr int kDefaultTimeCount = 5;
constexpr int kResetRows = 336;  // ResetArea clears rows 0..335 only

// Units of a default time.
enum TimeUnit : int32_t { TIME_UNIT_MS = 0, TIME_UNIT_S = 1, TIME_UNIT_MIN = 2 };
// Types of a frame time: 0 names a default time, 1..3 give ms, s, min.
enum FrameTimeType : int32_t {
  FRAME_TIME_DEFAULT = 0,
  FRAME_TIME_MS = 1,
  FRAME_TIME_S = 2,
  FRAME_TIME_MIN = 3
};
enum LoopMode : int32_t { LOOP_NEXT_AREA = 0, LOOP_FOREVER = 1, LOOP_COUNT = 2, LOOP_ONCE = 3 };

struct DefaultTime {
  int32_t value;
  int32_t unit;
};

struct PlaySettings {
  int32_t loopMode;
  int32_t loopCount;
  int32_t enabled;
  int32_t endMode;
};

struct FrameTimes {
  int32_t timeValue[kColumnsPerArea];
  int32_t timeType[kColumnsPerArea];
};

class PatternStore {
 public:
  PatternStore();
  ~PatternStore();
  PatternStore(const PatternStore&) = delete;
  PatternStore& operator=(const PatternStore&) = delete;

  // The cells of one row of an area: kColumnsPerArea entries.
  int32_t* Row(int area, int row) {
    return cells_ + (static_cast<size_t>(area) * kRowsPerArea + row) * kColumnsPerArea;
  }
  const int32_t* Row(int area, int row) const {
    return cells_ + (static_cast<size_t>(area) * kRowsPerArea + row) * kColumnsPerArea;
  }
  int32_t& Cell(int area, int row, int column) { return Row(area, row)[column]; }
  int32_t Cell(int area, int row, int column) const { return Row(area, row)[column]; }
  // Whether (row, column) lies inside an area; every caller with outside
  // coordinates checks this before touching a cell.
  static bool InArea(int row, int column) {
    return row >= 0 && row < kRowsPerArea && column >= 0 && column < kColumnsPerArea;
  }

  DefaultTime defaultTime[kAreaCount][kDefaultTimeCount] = {};
  PlaySettings playSettings[kAreaCount] = {};
  FrameTimes frameTime[kAreaCount] = {};

  int currentArea = 0;
  int lastUsedColumn = 0;
  int scanRowCount = 0;
  int gridRowCount = 0;     // shown channel count + 3, written by LayoutGrid
  int gridColumnCount = 0;  // the model's grid columns, written by ApplyModelProfile
  int areaDurationMs = 0;
  int fadeCode = 255;

 private:
  int32_t* cells_;  // kAreaCount * kRowsPerArea * kColumnsPerArea, zero pages mapped lazily
};

// Puts one area into the empty state: cells of rows 0..335 zero, every
// column's time default time 1, loop for ever, loop count 0, enabled.
// endMode, the default times and rows 336..1023 stay as they are.
void ResetArea(PatternStore& store, int area);

// The last column of the area with a cell other than 0 in the header rows,
// the channel rows of the grid or the four rows past them (0 when there is
// none); reads the store and changes nothing in it.
int LastUsedColumn(const PatternStore& store, int area);

// Returns LastUsedColumn of the area and sets
// lastUsedColumn, scanRowCount (= gridRowCount) and areaDurationMs (play time of
// frames up to the last used column, saturated at the 32-bit signed maximum).
int ComputeAreaLength(PatternStore& store, int area);

// True when some area has a length above 0; stops at the first such area.
bool AnyAreaHasContent(PatternStore& store);

// The play time of one column's frame in ms, 0 for codes outside the lists.
int64_t FrameDurationMs(const PatternStore& store, int area, int column);

}  // namespace vqled
