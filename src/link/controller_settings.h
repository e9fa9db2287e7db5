// The controller settings the tool sends besides light patterns: the 40-byte
// trigger and music settings image, and the day count of the countdown end
// date shown beside the clock.
#pragma once

#include <cstdint>

#include "link/link_frames.h"

namespace vqled {

constexpr int kTriggerRows = 6;
constexpr int kTriggerLists = 5;  // the A, B, C, D and E lists of a row
constexpr int kSettingsImageLength = 40;
constexpr int kClockTextCapacity = 20;
constexpr int kKeyModeCondition = 3;

// The item indexes of the settings panel's lists (-1 when nothing is selected),
// as the panel shows them at the moment of sending.
struct SettingsPanel {
  int comboBoxAA = -1;  // trigger start/stop and start-up action
  int comboBoxAB = -1;  // start-up music
  int comboBoxAC = -1;  // volume
  int comboBox14 = -1;  // music loop
  // row[n][0..4] = ComBoxA(n+1), ComBoxB(n+1), ComBoxC(n+1), ComBoxD(n+1), ComBoxE(n+1)
  int row[kTriggerRows][kTriggerLists] = {{-1, -1, -1, -1, -1}, {-1, -1, -1, -1, -1},
                                          {-1, -1, -1, -1, -1}, {-1, -1, -1, -1, -1},
                                          {-1, -1, -1, -1, -1}, {-1, -1, -1, -1, -1}};
};

// The number of items of each list of the panel, as the form holds them.
constexpr int kTriggerListItems[kTriggerLists] = {4, 12, 16, 4, 6};  // A .. E
constexpr int kComBoxC1Items = 17;                                   // one empty item more
constexpr int kComboBoxAAItems = 12;
constexpr int kComboBoxABItems = 12;
constexpr int kComboBoxACItems = 32;
constexpr int kComboBox14Items = 3;

// Selects item 0 in every trigger-row list with nothing selected; the four
// global lists are left as they are.
void DefaultTriggerRows(SettingsPanel& panel);

// The release rule of ComBoxA1Change .. ComBoxA6Change: a row whose trigger
// condition is key mode (item 3, "按键模式(先闭后断)") gets item 0 in its E
// list, and that list is disabled; every other row's E list is enabled with
// its selection kept.
void ApplyReleaseRule(SettingsPanel& panel, bool (&releaseListEnabled)[kTriggerRows]);

// Button5Click's settings image from the item indexes the panel's lists show
// or Config.ini holds, for the window and vqled-cli alike: an index outside
// its list's items is no selection (as a list shows it), the row lists with
// nothing selected take item 0, the release rule runs, and panel is left as
// it was sent. An unselected global list goes out as 0xFF.
void BuildSettingsImage(SettingsPanel& panel, uint8_t (&out)[kSettingsImageLength]);

// Days from today to the end date (negative when it is past), both dates
// taken with their two-digit years in one century.
int DayCount(const LocalTime& today, const LocalTime& endDate);

// "yyyy-MM-dd hh:nn:ss" of a moment; returns the text length (19).
int FormatClockText(const LocalTime& now, char (&out)[kClockTextCapacity + 1]);

}  // namespace vqled
