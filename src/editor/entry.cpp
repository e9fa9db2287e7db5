#include "editor/entry.h"

#include "model/integer_text.h"

namespace vqled {

const char* const kTimeTypeItems[kTimeTypeItemCount] = {"-", "ms", "s", "min"};

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Whether editCell names a column of the area (its frame time can be set).
bool EditColumnInArea(GridCell editCell) {
  return editCell.column >= 0 && editCell.column < kColumnsPerArea;
}

}  // namespace

FieldNumber ReadFieldNumber(std::string_view text) {
  FieldNumber number;
  number.ok = ParseInteger(Trimmed(text), number.value);
  if (!number.ok) {
    const std::string quoted(text);
    number.error = {"'" + quoted + "' 不是有效的整数值",
                    "'" + quoted + "' is not a valid integer value"};
  }
  return number;
}

bool ToggleEntryCell(PatternStore& store, GridCell cell, int boxNumber) {
  if (!PatternStore::InArea(cell.row, cell.column)) return false;
  int32_t& value = store.Cell(store.currentArea, cell.row, cell.column);
  const bool lit = value == 0;
  value = lit ? boxNumber : 0;
  return lit;
}

void EntryKeyReleased(std::string& text) {
  const FieldNumber number = ReadFieldNumber(text);
  if (number.ok && number.value > kEntryMaximum) text = kEntryInitialText;
}

void EntryTextChanged(std::string& text) {
  if (Trimmed(text).empty()) text = "1";
}

Outcome StoreEntryNumber(PatternStore& store, GridCell editCell, std::string_view text) {
  const FieldNumber number = ReadFieldNumber(text);
  if (!number.ok) return Outcome::Fail(number.error);
  if (PatternStore::InArea(editCell.row, editCell.column)) {
    store.Cell(store.currentArea, editCell.row, editCell.column) = number.value;
  }
  return Outcome::Ok();
}

void PickTimeType(PatternStore& store, GridCell editCell, int itemIndex) {
  if (!EditColumnInArea(editCell) || itemIndex < 0 || itemIndex >= kTimeTypeItemCount) return;
  store.frameTime[store.currentArea].timeType[editCell.column] = itemIndex;
}

void BuildTimeValueItems(int valueKind, int32_t timeType, TimeValueItems& items) {
  const int numbers = valueKind == VALUE_KIND_STEP ? 3 : kDefaultTimeCount;
  items.count = 0;
  for (int n = 1; n <= numbers; ++n) items.values[items.count++] = n;
  items.wide = timeType != FRAME_TIME_DEFAULT;
  if (!items.wide) return;
  for (int magnitude = 1000; magnitude >= 1; --magnitude) items.values[items.count++] = magnitude;
}

Outcome PickTimeValue(PatternStore& store, GridCell editCell, std::string_view itemText) {
  const FieldNumber number = ReadFieldNumber(itemText);
  if (!number.ok) return Outcome::Fail(number.error);
  if (EditColumnInArea(editCell)) {
    store.frameTime[store.currentArea].timeValue[editCell.column] = number.value;
  }
  return Outcome::Ok();
}

}  // namespace vqled
