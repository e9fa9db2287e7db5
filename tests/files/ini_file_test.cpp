#include "files/ini_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "files/config_keys.h"
#include "scratch_dir.h"

namespace vqled {
namespace {

TEST(IniFile, ReadsWithPrivateProfileRules) {
  IniFile ini;
  ini.Parse(
      "top=1\n"
      "; a comment\n"
      "[config]\n"
      "  com = COM3  \n"
      "NAME=\"quoted value\"\n"
      "COM=second\n"
      "empty=\n"
      "[Other]\n"
      "COM=other\n"
      "[Config]\n"
      "late=ignored\n");
  EXPECT_EQ(ini.ReadString("Config", "COM", "COM1"), "COM3");
  EXPECT_EQ(ini.ReadString("CONFIG", "name", ""), "quoted value");
  EXPECT_EQ(ini.ReadString("Config", "empty", "d"), "");
  EXPECT_EQ(ini.ReadString("Config", "late", "d"), "d");  // the first section counts
  EXPECT_EQ(ini.ReadString("Config", "top", "d"), "d");   // before any section
  EXPECT_EQ(ini.ReadString("Config", "; a comment", "d"), "d");
  EXPECT_EQ(ini.ReadString("Missing", "COM", "COM1"), "COM1");
}

TEST(IniFile, WritingKeepsEveryOtherLineAndTheLineEnding) {
  IniFile ini;
  ini.Parse(
      "; kept\r\n"
      "[Config]\r\n"
      "COM=COM1\r\n"
      "HYTYPE=3\r\n"
      "\r\n"
      "[Group]\r\n"
      "Group1=6");
  ini.WriteString("config", "com", "/dev/ttyUSB0");
  ini.WriteString("Config", "NUM", "2");
  ini.WriteString("Group", "Group2", "1");
  ini.WriteString("SETGroup", "GroupA1", "4");
  EXPECT_EQ(ini.Serialize(),
            "; kept\r\n"
            "[Config]\r\n"
            "com=/dev/ttyUSB0\r\n"
            "HYTYPE=3\r\n"
            "NUM=2\r\n"
            "\r\n"
            "[Group]\r\n"
            "Group1=6\r\n"
            "Group2=1\r\n"
            "[SETGroup]\r\n"
            "GroupA1=4\r\n");
}

TEST(IniFile, NewDocumentUsesLineFeeds) {
  IniFile ini;
  ini.WriteString("Config", "COM", "COM1");
  ini.WriteString("Config", "Languages", "0");
  EXPECT_EQ(ini.Serialize(), "[Config]\nCOM=COM1\nLanguages=0\n");
}

TEST(IniFile, MissingFileGivesDefaultsAndSaveRoundTrips) {
  const test::ScratchDir dir("ini");
  const std::string path = dir.File("Config.ini");
  IniFile ini;
  ASSERT_TRUE(ini.Load(path).ok);
  EXPECT_EQ(ini.ReadString("Config", "COM", "COM1"), "COM1");
  ini.WriteString("Config", "COM", "COM7");
  ASSERT_TRUE(ini.Save(path).ok);
  IniFile back;
  ASSERT_TRUE(back.Load(path).ok);
  EXPECT_EQ(back.ReadString("Config", "COM", ""), "COM7");
  EXPECT_FALSE(ini.Save(dir.File("no/Config.ini")).ok);
}

TEST(ConfigKeys, DefaultsOnAMissingFile) {
  IniFile ini;
  struct Case {
    const char* section;
    const char* key;
    const char* value;
  } cases[] = {{"Config", "COM", "COM1"},      {"Config", "HYTYPE", "0"},
               {"Config", "TIME1", "1000"},    {"Config", "TIME5", "200"},
               {"Config", "TIMETYPE3", "0"},   {"Group", "Group1", "6"},
               {"Group", "Group2", "0"},       {"SETGroup", "GroupE6", "0"},
               {"SETGroup", "CheckBoAC", "0"}, {"Config", "Languages", "0"}};
  for (const Case& c : cases) {
    const ConfigKey* key = FindConfigKey(c.section, c.key);
    ASSERT_NE(key, nullptr) << c.key;
    EXPECT_EQ(ReadConfigValue(ini, *key), c.value) << c.key;
  }
}

TEST(ConfigKeys, ReadAndWriteOrders) {
  std::ostringstream read, written;
  for (int i = 0; i < kConfigReadCount; ++i) read << kConfigKeys[i].key << ' ';
  for (int i = 0; i < kConfigWriteCount; ++i)
    written << kConfigKeys[kConfigWriteOrder[i]].key << ' ';
  const std::string groups =
      "Group1 Group2 Group3 Group4 Group5 Group6 "
      "GroupA1 GroupA2 GroupA3 GroupA4 GroupA5 GroupA6 GroupB1 GroupB2 GroupB3 GroupB4 GroupB5 "
      "GroupB6 GroupC1 GroupC2 GroupC3 GroupC4 GroupC5 GroupC6 GroupD1 GroupD2 GroupD3 GroupD4 "
      "GroupD5 GroupD6 GroupE1 GroupE2 GroupE3 GroupE4 GroupE5 GroupE6 "
      "CheckBoAA CheckBoAB CheckBoAC ComboBox14 ";
  EXPECT_EQ(read.str(),
            "COM HYTYPE NUM TIME1 TIME2 TIME3 TIME4 TIME5 TIMETYPE1 TIMETYPE2 TIMETYPE3 TIMETYPE4 "
            "TIMETYPE5 " +
                groups + "Languages ");
  EXPECT_EQ(written.str(),
            "COM HYTYPE NUM TIME1 TIMETYPE1 TIME2 TIMETYPE2 TIME3 TIMETYPE3 TIME4 TIMETYPE4 TIME5 "
            "TIMETYPE5 Type Languages " +
                groups);
  EXPECT_STREQ(kConfigKeys[kConfigKeysBeforeModel].key, "Group1");
  EXPECT_STREQ(kConfigKeys[kConfigWriteOrder[kConfigWritesBeforeType]].key, "Type");
}

TEST(ConfigKeys, NonNumericIndexIsAConversionError) {
  IniFile ini;
  ini.Parse("[Config]\r\nTIMETYPE3=abc\r\nTIMETYPE2=2\r\n");
  int32_t value = -5;
  EXPECT_TRUE(ReadConfigNumber(ini, *FindConfigKey("Config", "TIMETYPE2"), value).ok);
  EXPECT_EQ(value, 2);
  EXPECT_FALSE(ReadConfigNumber(ini, *FindConfigKey("Config", "TIMETYPE3"), value).ok);
  EXPECT_EQ(ReadConfigFailedText().en, "Read config.ini err!");
  EXPECT_EQ(SaveConfigFailedText().zh, "保存config.ini失敗!");
}

// A value the load cannot apply as written gives way to the key's default (or
// the nearest item of the controller count), and the one message names the
// file, the key and the value in both text variants.
TEST(ConfigKeys, FaultsNameTheFileKeyAndValueAndGiveTheValueApplied) {
  IniFile ini;
  ini.Parse("[Config]\nTIME2=fast\nTIME3=\nHYTYPE=x7\nNUM=25\nCOM=port 9\n[Group]\nGroup1=2\n");
  const std::string path = "/home/u/Config.ini";
  ConfigFaults faults;
  EXPECT_EQ(ReadConfigTextOrDefault(ini, *FindConfigKey("Config", "COM"), path, faults), "port 9");
  EXPECT_EQ(ReadConfigNumberOrDefault(ini, *FindConfigKey("Group", "Group1"), path, faults), 2);
  const ConfigKey& num = *FindConfigKey("Config", "NUM");
  EXPECT_EQ(LimitConfigIndex(num, 19, 20, path, faults), 19);
  EXPECT_EQ(LimitConfigIndex(num, 0, 20, path, faults), 0);
  EXPECT_TRUE(faults.empty());

  EXPECT_EQ(ReadConfigTextOrDefault(ini, *FindConfigKey("Config", "TIME2"), path, faults), "800");
  EXPECT_EQ(ReadConfigTextOrDefault(ini, *FindConfigKey("Config", "TIME3"), path, faults), "600");
  EXPECT_EQ(ReadConfigNumberOrDefault(ini, *FindConfigKey("Config", "HYTYPE"), path, faults), 0);
  EXPECT_EQ(LimitConfigIndex(num, 25, 20, path, faults), 19);
  EXPECT_EQ(LimitConfigIndex(num, -1, 20, path, faults), 0);
  const Text message = faults.Message();
  EXPECT_EQ(
      message.en,
      "Read config.ini err!\n"
      "/home/u/Config.ini: TIME2=fast is not a whole number; the default 800 is used instead\n"
      "/home/u/Config.ini: TIME3= is not a whole number; the default 600 is used instead\n"
      "/home/u/Config.ini: HYTYPE=x7 is not a whole number; the default 0 is used instead\n"
      "/home/u/Config.ini: NUM=25 is outside the items 0..19; 19 is used instead\n"
      "/home/u/Config.ini: NUM=-1 is outside the items 0..19; 0 is used instead");
  EXPECT_EQ(message.zh,
            "Read config.ini err!\n"
            "/home/u/Config.ini 中的 TIME2=fast 不是有效的整数值，已改用默认值 800\n"
            "/home/u/Config.ini 中的 TIME3= 不是有效的整数值，已改用默认值 600\n"
            "/home/u/Config.ini 中的 HYTYPE=x7 不是有效的整数值，已改用默认值 0\n"
            "/home/u/Config.ini 中的 NUM=25 超出选项范围 0..19，已改用 19\n"
            "/home/u/Config.ini 中的 NUM=-1 超出选项范围 0..19，已改用 0");
}

}  // namespace
}  // namespace vqled
