#include "editor/generators.h"

#include <algorithm>
#include <cstdint>

#include "editor/entry.h"

namespace vqled {

namespace {

constexpr int kPercentFull = 100;
constexpr int kByteFull = 255;

// The state of a ramp: the value and its step, in 64 bits so that a huge
// typed step cannot overflow.
struct Ramp {
  int64_t value;
  int64_t step;
  int64_t full;
  // Takes one step; returns false when the value had to be limited to 0 or full.
  bool Step() {
    value += step;
    if (value > full) {
      value = full;
      return false;
    }
    if (value < 0) {
      value = 0;
      return false;
    }
    return true;
  }
};

// Reads the ramp controls. False when nothing is to be written: a step that
// is no number (outcome holds the error) or an editCell outside the area.
bool StartRamp(const ModelProfile& profile, const RampControls& controls, GridCell editCell,
               Ramp& ramp, Outcome& outcome) {
  const FieldNumber step = ReadFieldNumber(controls.stepText);
  if (!step.ok) {
    outcome = Outcome::Fail(step.error);
    return false;
  }
  if (!PatternStore::InArea(editCell.row, editCell.column)) return false;
  const bool down = controls.directionText == "-";
  ramp.full = FullValue(profile.valueKind);
  ramp.value = down ? ramp.full : 0;
  ramp.step = down ? -static_cast<int64_t>(step.value) : step.value;
  return true;
}

struct RunRange {
  int firstColumn;
  int lastColumn;
  int firstRow;
  int lastRow;
};

// A field's number plus its offset, limited to low..high (computed in 64 bits:
// the largest number a field takes must not wrap round).
int ToAreaIndex(int number, int offset, int low, int high) {
  return static_cast<int>(std::clamp(int64_t{number} + offset, int64_t{low}, int64_t{high}));
}

bool ReadRunRange(const RunFields& fields, RunRange& range, Outcome& outcome) {
  const FieldNumber numbers[4] = {
      ReadFieldNumber(fields.firstFrame), ReadFieldNumber(fields.lastFrame),
      ReadFieldNumber(fields.firstChannel), ReadFieldNumber(fields.lastChannel)};
  for (const FieldNumber& number : numbers) {
    if (!number.ok) {
      outcome = Outcome::Fail(number.error);
      return false;
    }
  }
  // Frame f is column f + 1 and channel k row k + 2; the run stays inside the
  // area, and a first frame or channel past its end leaves the run empty.
  range.firstColumn = ToAreaIndex(numbers[0].value, 1, 0, kColumnsPerArea);
  range.lastColumn = ToAreaIndex(numbers[1].value, 1, -1, kColumnsPerArea - 1);
  range.firstRow = ToAreaIndex(numbers[2].value, 2, 0, kRowsPerArea);
  range.lastRow = ToAreaIndex(numbers[3].value, 2, -1, kRowsPerArea - 1);
  return true;
}

}  // namespace

int FullValue(int valueKind) {
  return valueKind == VALUE_KIND_STEP || valueKind == VALUE_KIND_PERCENT_MARK ? kPercentFull
                                                                              : kByteFull;
}

void NormaliseDirectionText(std::string& text) {
  if (text != "+" && text != "-") text = "+";
}

Outcome RampDownChannels(PatternStore& store, const ModelProfile& profile, GridCell editCell,
                         const RampControls& controls) {
  Outcome outcome;
  Ramp ramp{};
  if (!StartRamp(profile, controls, editCell, ramp, outcome)) return outcome;
  const int lastRow = std::min(profile.channelsPerController + kHeaderRows - 1, kRowsPerArea - 1);
  for (int row = editCell.row; row <= lastRow; ++row) {
    const bool goesOn = ramp.Step();
    store.Cell(store.currentArea, row, editCell.column) = static_cast<int32_t>(ramp.value);
    if (!goesOn) break;
  }
  return outcome;
}

Outcome RampAlongFrames(PatternStore& store, const ModelProfile& profile, GridCell editCell,
                        const RampControls& controls) {
  Outcome outcome;
  Ramp ramp{};
  if (!StartRamp(profile, controls, editCell, ramp, outcome)) return outcome;
  int32_t* cells = store.Row(store.currentArea, editCell.row);
  const int64_t lastColumn =
      std::min(static_cast<int64_t>(editCell.column) + ramp.full, int64_t{kColumnsPerArea - 1});
  for (int column = editCell.column; column <= lastColumn; ++column) {
    ramp.Step();
    cells[column] = static_cast<int32_t>(ramp.value);
    if (ramp.value == ramp.full) break;
  }
  return outcome;
}

RunFieldValues StackedRunDialogValues(GridCell editCell, const ModelProfile& profile) {
  return {editCell.column - 1, profile.channelsPerController, editCell.row - 2,
          profile.channelsPerController};
}

RunFieldValues RunDialogValues(GridCell editCell, const ModelProfile& profile,
                               int gridColumnCount) {
  return {editCell.column - 1, gridColumnCount - 2, editCell.row - 2,
          profile.channelsPerController};
}

Outcome FillStackedRun(PatternStore& store, const RunFields& fields, int value) {
  Outcome outcome;
  RunRange range{};
  if (!ReadRunRange(fields, range, outcome)) return outcome;
  for (int column = range.firstColumn; column <= range.lastColumn; ++column) {
    const int64_t lit = static_cast<int64_t>(column) - range.firstColumn + 1;
    const int64_t lastLitRow = std::min<int64_t>(range.firstRow + lit - 1, range.lastRow);
    for (int row = range.firstRow; row <= lastLitRow; ++row) {
      store.Cell(store.currentArea, row, column) = value;
    }
  }
  return outcome;
}

Outcome FillRun(PatternStore& store, const RunFields& fields, int value) {
  Outcome outcome;
  RunRange range{};
  if (!ReadRunRange(fields, range, outcome)) return outcome;
  // The last channel field does not bound the run: it goes on down to the
  // grid's last channel row, that of the last controller on models with
  // several, and never leaves the area.
  const int lastRow = std::min(store.gridRowCount - 1, kRowsPerArea - 1);
  if (range.firstColumn <= range.lastColumn && range.firstRow > lastRow) {
    const std::string first(fields.firstChannel);
    const std::string last = std::to_string(lastRow - kHeaderRows + 1);
    return Outcome::Fail({"流水: 起始列 " + first + " 在最后一路 " + last + " 之后, 没有写入",
                          "Running light: first channel " + first + " lies past the last channel " +
                              last + "; nothing was written"});
  }
  int row = range.firstRow;
  for (int column = range.firstColumn; column <= range.lastColumn && row <= lastRow;
       ++column, ++row) {
    store.Cell(store.currentArea, row, column) = value;
  }
  return outcome;
}

Outcome FeedEntryFromValueBox(std::string& boxText, std::string& entryText) {
  FieldNumber number = ReadFieldNumber(boxText);
  if (!number.ok) return Outcome::Fail(number.error);
  if (number.value > kEntryMaximum) {
    boxText = kEntryInitialText;
    number.value = kEntryMaximum;
  }
  entryText = std::to_string(number.value);
  return Outcome::Ok();
}

}  // namespace vqled
