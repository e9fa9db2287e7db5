#include "link/controller_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vqled {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(SettingsImage, UntouchedPanelSendsRowsAsZeroAndGlobalsAsFF) {
  SettingsPanel panel;
  DefaultTriggerRows(panel);
  uint8_t image[kSettingsImageLength];
  BuildSettingsImage(panel, image);
  Bytes expected(40, 0x00);
  expected[0] = 0xAB;
  expected[1] = expected[2] = expected[3] = expected[4] = 0xFF;
  EXPECT_EQ(Bytes(image, image + 40), expected);
}

TEST(SettingsImage, ListsLandInTheirBytes) {
  SettingsPanel panel;
  panel.comboBoxAA = 11;
  panel.comboBoxAB = 3;
  panel.comboBoxAC = 31;
  panel.comboBox14 = 1;
  for (int n = 0; n < kTriggerRows; ++n) {
    for (int list = 0; list < kTriggerLists; ++list) panel.row[n][list] = n * 10 + list + 1;
  }
  panel.row[2][4] = -1;  // ComBoxE3 unselected is defaulted to item 0
  DefaultTriggerRows(panel);
  uint8_t image[kSettingsImageLength];
  BuildSettingsImage(panel, image);
  const Bytes expected = {0xAB, 11, 3,  31, 1,  1,  2,  3,  4,  5,  11, 12, 13, 14,
                          15,   21, 22, 23, 24, 0,  31, 32, 33, 34, 35, 41, 42, 43,
                          44,   45, 51, 52, 53, 54, 55, 0,  0,  0,  0,  0};
  EXPECT_EQ(Bytes(image, image + 40), expected);
  EXPECT_EQ(panel.row[2][4], 0);
}

TEST(ReleaseRule, KeyModeFixesAndDisablesTheReleaseList) {
  SettingsPanel panel;
  for (auto& row : panel.row) row[4] = 5;
  panel.row[2][0] = 3;  // "按键模式(先闭后断)" in row 3
  panel.row[4][0] = 1;
  bool enabled[kTriggerRows] = {};
  ApplyReleaseRule(panel, enabled);
  EXPECT_EQ(panel.row[2][4], 0);
  EXPECT_FALSE(enabled[2]);
  EXPECT_EQ(panel.row[4][4], 5);
  EXPECT_TRUE(enabled[4]);

  panel.row[2][0] = 2;  // another condition: enabled again, its value kept
  panel.row[2][4] = 4;
  ApplyReleaseRule(panel, enabled);
  EXPECT_TRUE(enabled[2]);
  EXPECT_EQ(panel.row[2][4], 4);
}

TEST(DayCount, CalendarCases) {
  struct Case {
    LocalTime today, end;
    int days;
  } const cases[] = {
      {{2024, 2, 20}, {2024, 3, 1}, 10},      // across a leap day
      {{2023, 2, 20}, {2023, 3, 1}, 9},       // no leap day
      {{2024, 5, 5}, {2024, 5, 5}, 0},        // today
      {{2024, 5, 5}, {2024, 5, 4}, -1},       // yesterday
      {{2024, 12, 31}, {2025, 1, 1}, 1},      // across a year
      {{2000, 1, 1}, {2001, 1, 1}, 366},      // 2000 is a leap year
      {{2099, 12, 31}, {2100, 1, 1}, -36524}  // two-digit years in one century
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DayCount(c.today, c.end), c.days)
        << c.today.year << "-" << c.today.month << "-" << c.today.day << " to " << c.end.year << "-"
        << c.end.month << "-" << c.end.day;
  }
}

TEST(ClockText, IsZeroPadded) {
  char text[kClockTextCapacity + 1];
  EXPECT_EQ(FormatClockText({2024, 2, 5, 7, 8, 9}, text), 19);
  EXPECT_EQ(std::string(text), "2024-02-05 07:08:09");
}

}  // namespace
}  // namespace vqled
