#include "ui/captions.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace vqled {
namespace {

// Applies a language's column the way the window does: a missing caption
// leaves the shown one alone.
void Apply(std::string (&shown)[kCaptionRowCount], Language language) {
  for (int i = 0; i < kCaptionRowCount; ++i)
    if (const char* text = kCaptionRows[i].caption[language]) shown[i] = text;
}

int RowOf(const char* control) {
  for (int i = 0; i < kCaptionRowCount; ++i)
    if (std::strcmp(kCaptionRows[i].control, control) == 0) return i;
  return -1;
}

TEST(CaptionsTest, EveryRowNamesAControl) {
  for (const CaptionRow& row : kCaptionRows) ASSERT_NE(row.control, nullptr);
  EXPECT_EQ(std::string(kCaptionRows[RowOf("ile1")].caption[LANGUAGE_ENGLISH]), "Flow");
}

TEST(CaptionsTest, TraditionalAfterEnglishKeepsTheDashedCaptionsEnglish) {
  std::string shown[kCaptionRowCount];
  Apply(shown, LANGUAGE_ENGLISH);
  Apply(shown, LANGUAGE_TRADITIONAL);
  EXPECT_EQ(shown[RowOf("Form2")], "Rogrammable LED Controller--VQ-LED_v3.47（ALL）");
  EXPECT_EQ(shown[RowOf("Label11")], "Change settings");
  EXPECT_EQ(shown[RowOf("Label13")], "Welcome to use programmable logic controller");
  EXPECT_EQ(shown[RowOf("BitBtn1")], "preview");
  EXPECT_EQ(shown[RowOf("N8")], "Line changes");
  EXPECT_EQ(shown[RowOf("ile1")], "Flow");
  EXPECT_EQ(shown[RowOf("N6")], "刪除選中");
  EXPECT_EQ(shown[RowOf("Label80")], "分區：");
  EXPECT_EQ(shown[RowOf("RadioButton4")], "完成後跳到下壹分區");
}

TEST(CaptionsTest, SwitchesSetTheLanguageValues) {
  LanguageMode mode;
  EXPECT_EQ(mode.textVariant, 1);
  EXPECT_EQ(mode.savedLanguage, 0);
  SelectLanguage(mode, LANGUAGE_ENGLISH);
  EXPECT_EQ(mode.textVariant, 1);
  EXPECT_EQ(mode.savedLanguage, 1);
  SelectLanguage(mode, LANGUAGE_SIMPLIFIED);
  EXPECT_EQ(mode.textVariant, 0);
  EXPECT_EQ(mode.savedLanguage, 0);
  SelectLanguage(mode, LANGUAGE_TRADITIONAL);  // a restart comes up in Simplified Chinese
  EXPECT_EQ(mode.textVariant, 1);
  EXPECT_EQ(mode.savedLanguage, 0);
  EXPECT_EQ(StartupLanguage(mode.savedLanguage), LANGUAGE_SIMPLIFIED);
  EXPECT_EQ(StartupLanguage(1), LANGUAGE_ENGLISH);
}

}  // namespace
}  // namespace vqled
