// The rules of the three floating entry controls of the grid: the value entry
// box HYEdit and the time lists TimeComb (time type) and TimeComb2 (time
// value). The window places and shows the controls; these functions decide
// what a typed text becomes and what gets stored. All writes go to the
// current area at editCell.
#pragma once

#include <string>
#include <string_view>

#include "editor/selection.h"
#include "model/model_profile.h"
#include "model/pattern_store.h"
#include "model/text.h"

namespace vqled {

// A number field read as an integer. A text that is no integer (empty,
// letters, out of range) gives ok false and the conversion error's text.
struct FieldNumber {
  bool ok = false;
  int value = 0;
  Text error;
};
FieldNumber ReadFieldNumber(std::string_view text);

constexpr const char* kEntryInitialText = "255";
// The largest number the value boxes keep; more turns the text into "255".
constexpr int kEntryMaximum = 255;

// OpenValueEntry's toggle of cell (column, row): an empty cell takes the box's
// number, a lit one becomes 0. Returns clickLitCell (true when it lit it).
// Outside the area nothing is stored and false is returned.
bool ToggleEntryCell(PatternStore& store, GridCell cell, int boxNumber);

// After every key release in the box: a number of 256 or more becomes "255".
void EntryKeyReleased(std::string& text);
// After every change of the box's text: a blank text becomes "1".
void EntryTextChanged(std::string& text);
// Enter in the box, or the pointer leaving it while clickLitCell is set:
// stores the box's number into editCell. A text that is no number stores
// nothing and returns the conversion error; so does an editCell outside the
// area (nothing stored, no error).
Outcome StoreEntryNumber(PatternStore& store, GridCell editCell, std::string_view text);

// TimeComb's items, index = the frame time type they store.
constexpr int kTimeTypeItemCount = 4;
extern const char* const kTimeTypeItems[kTimeTypeItemCount];
// A choice in TimeComb: the column of editCell takes the item's index as type.
void PickTimeType(PatternStore& store, GridCell editCell, int itemIndex);

// TimeComb2's items: "1".."3" on VALUE_KIND_STEP, otherwise "1".."5", followed
// by "1000" down to "1" when the column's time type is not 0.
constexpr int kMaxTimeValueItems = 5 + 1000;
struct TimeValueItems {
  int count = 0;
  int values[kMaxTimeValueItems];
  bool wide = false;  // magnitudes appended: the list is 20 pixels wider
};
void BuildTimeValueItems(int valueKind, int32_t timeType, TimeValueItems& items);
// A choice in TimeComb2: the column of editCell takes the chosen text as value.
Outcome PickTimeValue(PatternStore& store, GridCell editCell, std::string_view itemText);

}  // namespace vqled
