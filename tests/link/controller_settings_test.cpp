#include "link/controller_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "byte_text.h"

namespace vqled {
namespace {

using Bytes = std::vector<uint8_t>;

using test::FromHex;

// The panel as the lists show it or Config.ini holds it: ComboBoxAA,
// ComboBoxAB, ComboBoxAC, ComboBox14, then per trigger row its A B C D E list.
SettingsPanel PanelOf(const std::vector<int>& lists) {
  SettingsPanel panel;
  panel.comboBoxAA = lists[0];
  panel.comboBoxAB = lists[1];
  panel.comboBoxAC = lists[2];
  panel.comboBox14 = lists[3];
  for (int n = 0; n < kTriggerRows; ++n) {
    for (int list = 0; list < kTriggerLists; ++list) panel.row[n][list] = lists[4 + 5 * n + list];
  }
  return panel;
}

TEST(SettingsImage, BuiltAsButton5ClickSendsIt) {
  std::vector<int> keyMode(34, 0);
  keyMode[4 + 10] = 3;  // ComBoxA3 "按键模式(先闭后断)"
  keyMode[4 + 14] = 3;  // ComBoxE3 "停止所有", which the release rule replaces
  std::vector<int> outside(34, 0);
  outside[2] = 99;      // ComboBoxAC has 32 items
  outside[4 + 1] = 50;  // ComBoxB1 has 12
  std::vector<int> edges(34, 0);
  edges[0] = 11;       // ComboBoxAA's last item
  edges[1] = 12;       // one past ComboBoxAB's last
  edges[3] = -1;       // ComboBox14 unselected
  edges[4 + 2] = 16;   // ComBoxC1's seventeenth, empty item
  edges[4 + 7] = 16;   // ComBoxC2 has only 16 items
  edges[4 + 18] = -7;  // ComBoxD4
  edges[4 + 29] = 5;   // ComBoxE6's last item
  struct Case {
    const char* name;
    std::vector<int> lists;
    std::string image;
  } const cases[] = {
      {"untouched", std::vector<int>(34, -1),
       "AB FFFFFFFF 0000000000 0000000000 0000000000 0000000000 0000000000 0000000000 "
       "0000000000"},
      {"chosen",
       {11, 11, 31, 2, 1, 10, 16, 3, 5, 2, 11, 15, 0, 1, 2, 0, 0,
        1,  4,  0,  9, 1, 2,  3,  0, 0, 0, 0,  0,  0, 1, 2, 3, 4},
       "AB 0B0B1F02 010A100305 020B0F0001 0200000104 0009010203 0000000000 0001020304 "
       "0000000000"},
      {"key mode", keyMode,
       "AB 00000000 0000000000 0000000000 0300000000 0000000000 0000000000 0000000000 "
       "0000000000"},
      {"outside the lists", outside,
       "AB 0000FF00 0000000000 0000000000 0000000000 0000000000 0000000000 0000000000 "
       "0000000000"},
      {"list edges", edges,
       "AB 0BFF00FF 0000100000 0000000000 0000000000 0000000000 0000000000 0000000005 "
       "0000000000"},
  };
  for (const Case& c : cases) {
    SettingsPanel panel = PanelOf(c.lists);
    uint8_t image[kSettingsImageLength];
    BuildSettingsImage(panel, image);
    EXPECT_EQ(Bytes(image, image + 40), FromHex(c.image)) << c.name;
    // The panel is left as it was sent, so the window can show it.
    const int shown[4] = {panel.comboBoxAA, panel.comboBoxAB, panel.comboBoxAC, panel.comboBox14};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(image[1 + i], shown[i] & 0xFF) << c.name << " " << i;
    for (int n = 0; n < kTriggerRows; ++n) {
      for (int list = 0; list < kTriggerLists; ++list) {
        EXPECT_EQ(image[5 + 5 * n + list], panel.row[n][list]) << c.name << " " << n << list;
      }
    }
  }
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
