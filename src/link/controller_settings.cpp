#include "link/controller_settings.h"

#include <cstdio>
#include <initializer_list>

namespace vqled {

void DefaultTriggerRows(SettingsPanel& panel) {
  for (auto& row : panel.row) {
    for (int& index : row) {
      if (index < 0) index = 0;
    }
  }
}

void ApplyReleaseRule(SettingsPanel& panel, bool (&releaseListEnabled)[kTriggerRows]) {
  for (int n = 0; n < kTriggerRows; ++n) {
    const bool keyMode = panel.row[n][0] == kKeyModeCondition;
    if (keyMode) panel.row[n][4] = 0;
    releaseListEnabled[n] = !keyMode;
  }
}

namespace {

// An index outside 0..items-1 becomes -1, as a list that is given it shows.
void KeepListed(int& index, int items) {
  if (index < 0 || index >= items) index = -1;
}

void KeepListedItems(SettingsPanel& panel) {
  KeepListed(panel.comboBoxAA, kComboBoxAAItems);
  KeepListed(panel.comboBoxAB, kComboBoxABItems);
  KeepListed(panel.comboBoxAC, kComboBoxACItems);
  KeepListed(panel.comboBox14, kComboBox14Items);
  for (int n = 0; n < kTriggerRows; ++n) {
    for (int list = 0; list < kTriggerLists; ++list) {
      KeepListed(panel.row[n][list],
                 n == 0 && list == 2 ? kComBoxC1Items : kTriggerListItems[list]);
    }
  }
}

}  // namespace

// The settings image; every entry is the low byte of an item index, so an
// unselected list (-1) gives 0xFF.
// clang-format off
//
// | Byte                     | Content                                                     |
// |--------------------------|-------------------------------------------------------------|
// | 0                        | AB                                                          |
// | 1                        | ComboBoxAA (trigger start/stop, start-up action)            |
// | 2                        | ComboBoxAB (start-up music)                                 |
// | 3                        | ComboBoxAC (volume)                                         |
// | 4                        | ComboBox14 (music loop)                                     |
// | 5 + 5(n-1) .. 9 + 5(n-1) | ComBoxAn, ComBoxBn, ComBoxCn, ComBoxDn, ComBoxEn (n = 1..6) |
// | 35 .. 39                 | 00                                                          |
// clang-format on
void BuildSettingsImage(SettingsPanel& panel, uint8_t (&out)[kSettingsImageLength]) {
  KeepListedItems(panel);
  DefaultTriggerRows(panel);
  bool releaseListEnabled[kTriggerRows];
  ApplyReleaseRule(panel, releaseListEnabled);
  int at = 0;
  out[at++] = 0xAB;
  for (int index : {panel.comboBoxAA, panel.comboBoxAB, panel.comboBoxAC, panel.comboBox14}) {
    out[at++] = static_cast<uint8_t>(index & 0xFF);
  }
  for (const auto& row : panel.row) {
    for (int index : row) out[at++] = static_cast<uint8_t>(index & 0xFF);
  }
  while (at < kSettingsImageLength) out[at++] = 0;
}

namespace {

// Days since 2000-03-01 of a Gregorian date (the year within the century
// placed in 2000..2099).
int DayNumber(const LocalTime& date) {
  int year = 2000 + ((date.year % 100) + 100) % 100;
  int month = date.month;
  if (month <= 2) {
    year -= 1;
    month += 12;
  }
  const int y = year - 2000;
  const int floorDiv4 = y >= 0 ? y / 4 : -((3 - y) / 4);
  const int floorDiv100 = y >= 0 ? y / 100 : -((99 - y) / 100);
  const int floorDiv400 = y >= 0 ? y / 400 : -((399 - y) / 400);
  return 365 * y + floorDiv4 - floorDiv100 + floorDiv400 + (153 * (month - 3) + 2) / 5 + date.day -
         1;
}

}  // namespace

int DayCount(const LocalTime& today, const LocalTime& endDate) {
  return DayNumber(endDate) - DayNumber(today);
}

int FormatClockText(const LocalTime& now, char (&out)[kClockTextCapacity + 1]) {
  const int length = std::snprintf(out, sizeof out, "%04d-%02d-%02d %02d:%02d:%02d", now.year,
                                   now.month, now.day, now.hour, now.minute, now.second);
  return length < static_cast<int>(sizeof out) ? length : static_cast<int>(sizeof out) - 1;
}

}  // namespace vqled
