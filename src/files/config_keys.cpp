#include "files/config_keys.h"

#include <algorithm>
#include <cstring>

#include "model/control_registry.h"
#include "model/integer_text.h"

namespace vqled {

constexpr ConfigKey kConfigKeys[kConfigKeyCount] = {
    {"Config", "COM", CONFIG_TEXT, "COM1", "ComboBox5"},
    {"Config", "HYTYPE", CONFIG_INDEX, "0", "ComboBox6"},
    {"Config", "NUM", CONFIG_INDEX, "0", "ComboBox4"},
    {"Config", "TIME1", CONFIG_TEXT, "1000", "time1"},
    {"Config", "TIME2", CONFIG_TEXT, "800", "time2"},
    {"Config", "TIME3", CONFIG_TEXT, "600", "time3"},
    {"Config", "TIME4", CONFIG_TEXT, "400", "time4"},
    {"Config", "TIME5", CONFIG_TEXT, "200", "time5"},
    {"Config", "TIMETYPE1", CONFIG_INDEX, "0", "timeT1"},
    {"Config", "TIMETYPE2", CONFIG_INDEX, "0", "timeT2"},
    {"Config", "TIMETYPE3", CONFIG_INDEX, "0", "timeT3"},
    {"Config", "TIMETYPE4", CONFIG_INDEX, "0", "timeT4"},
    {"Config", "TIMETYPE5", CONFIG_INDEX, "0", "timeT5"},
    {"Group", "Group1", CONFIG_INDEX, "6", "ComBoxLEDN1"},
    {"Group", "Group2", CONFIG_INDEX, "0", "ComBoxLEDN2"},
    {"Group", "Group3", CONFIG_INDEX, "0", "ComBoxLEDN3"},
    {"Group", "Group4", CONFIG_INDEX, "0", "ComBoxLEDN4"},
    {"Group", "Group5", CONFIG_INDEX, "0", "ComBoxLEDN5"},
    {"Group", "Group6", CONFIG_INDEX, "0", "ComBoxLEDN6"},
    {"SETGroup", "GroupA1", CONFIG_INDEX, "0", "ComBoxA1"},
    {"SETGroup", "GroupA2", CONFIG_INDEX, "0", "ComBoxA2"},
    {"SETGroup", "GroupA3", CONFIG_INDEX, "0", "ComBoxA3"},
    {"SETGroup", "GroupA4", CONFIG_INDEX, "0", "ComBoxA4"},
    {"SETGroup", "GroupA5", CONFIG_INDEX, "0", "ComBoxA5"},
    {"SETGroup", "GroupA6", CONFIG_INDEX, "0", "ComBoxA6"},
    {"SETGroup", "GroupB1", CONFIG_INDEX, "0", "ComBoxB1"},
    {"SETGroup", "GroupB2", CONFIG_INDEX, "0", "ComBoxB2"},
    {"SETGroup", "GroupB3", CONFIG_INDEX, "0", "ComBoxB3"},
    {"SETGroup", "GroupB4", CONFIG_INDEX, "0", "ComBoxB4"},
    {"SETGroup", "GroupB5", CONFIG_INDEX, "0", "ComBoxB5"},
    {"SETGroup", "GroupB6", CONFIG_INDEX, "0", "ComBoxB6"},
    {"SETGroup", "GroupC1", CONFIG_INDEX, "0", "ComBoxC1"},
    {"SETGroup", "GroupC2", CONFIG_INDEX, "0", "ComBoxC2"},
    {"SETGroup", "GroupC3", CONFIG_INDEX, "0", "ComBoxC3"},
    {"SETGroup", "GroupC4", CONFIG_INDEX, "0", "ComBoxC4"},
    {"SETGroup", "GroupC5", CONFIG_INDEX, "0", "ComBoxC5"},
    {"SETGroup", "GroupC6", CONFIG_INDEX, "0", "ComBoxC6"},
    {"SETGroup", "GroupD1", CONFIG_INDEX, "0", "ComBoxD1"},
    {"SETGroup", "GroupD2", CONFIG_INDEX, "0", "ComBoxD2"},
    {"SETGroup", "GroupD3", CONFIG_INDEX, "0", "ComBoxD3"},
    {"SETGroup", "GroupD4", CONFIG_INDEX, "0", "ComBoxD4"},
    {"SETGroup", "GroupD5", CONFIG_INDEX, "0", "ComBoxD5"},
    {"SETGroup", "GroupD6", CONFIG_INDEX, "0", "ComBoxD6"},
    {"SETGroup", "GroupE1", CONFIG_INDEX, "0", "ComBoxE1"},
    {"SETGroup", "GroupE2", CONFIG_INDEX, "0", "ComBoxE2"},
    {"SETGroup", "GroupE3", CONFIG_INDEX, "0", "ComBoxE3"},
    {"SETGroup", "GroupE4", CONFIG_INDEX, "0", "ComBoxE4"},
    {"SETGroup", "GroupE5", CONFIG_INDEX, "0", "ComBoxE5"},
    {"SETGroup", "GroupE6", CONFIG_INDEX, "0", "ComBoxE6"},
    {"SETGroup", "CheckBoAA", CONFIG_INDEX, "0", "ComboBoxAA"},
    {"SETGroup", "CheckBoAB", CONFIG_INDEX, "0", "ComboBoxAB"},
    {"SETGroup", "CheckBoAC", CONFIG_INDEX, "0", "ComboBoxAC"},
    {"SETGroup", "ComboBox14", CONFIG_INDEX, "0", "ComboBox14"},
    {"Config", "Languages", CONFIG_INTEGER, "0", "savedLanguage"},
    {"Config", "Type", CONFIG_INDEX, nullptr, "ComboBox6"},
};

namespace {

constexpr bool AllRegistered() {
  for (const ConfigKey& key : kConfigKeys) {
    if (!IsRegisteredControl(key.control)) return false;
  }
  return true;
}
static_assert(AllRegistered(), "a Config.ini key feeds a control the registry does not hold");

}  // namespace

// COM, HYTYPE, NUM, TIME1, TIMETYPE1 .. TIME5, TIMETYPE5, Type, Languages,
// Group1..Group6, GroupA1..GroupE6, CheckBoAA, CheckBoAB, CheckBoAC, ComboBox14.
const int kConfigWriteOrder[kConfigWriteCount] = {
    0,  1,  2,  3,  8,  4,  9,  5,  10, 6,  11, 7,  12, 54, 53, 13, 14, 15, 16,
    17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35,
    36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52};

const ConfigKey* FindConfigKey(const char* section, const char* key) {
  for (int i = 0; i < kConfigKeyCount; ++i) {
    const ConfigKey& k = kConfigKeys[i];
    if (std::strcmp(k.section, section) == 0 && std::strcmp(k.key, key) == 0) return &k;
  }
  return nullptr;
}

std::string ReadConfigValue(const IniFile& ini, const ConfigKey& key) {
  return ini.ReadString(key.section, key.key, key.defaultValue != nullptr ? key.defaultValue : "");
}

Outcome ReadConfigNumber(const IniFile& ini, const ConfigKey& key, int32_t& value) {
  return ReadInteger(ReadConfigValue(ini, key), value);
}

void ConfigFaults::Add(const Text& fault) {
  lines_.zh += "\n" + fault.zh;
  lines_.en += "\n" + fault.en;
}

Text ConfigFaults::Message() const {
  const Text title = ReadConfigFailedText();
  return {title.zh + lines_.zh, title.en + lines_.en};
}

namespace {

// Adds that the key's value is no number and returns the default used instead.
std::string NotANumber(const ConfigKey& key, const std::string& value, const std::string& path,
                       ConfigFaults& faults) {
  const std::string written = std::string(key.key) + "=" + value;
  const std::string fallback = key.defaultValue != nullptr ? key.defaultValue : "0";
  faults.Add({path + " 中的 " + written + " 不是有效的整数值，已改用默认值 " + fallback,
              path + ": " + written + " is not a whole number; the default " + fallback +
                  " is used instead"});
  return fallback;
}

}  // namespace

std::string ReadConfigTextOrDefault(const IniFile& ini, const ConfigKey& key,
                                    const std::string& path, ConfigFaults& faults) {
  const std::string text = ReadConfigValue(ini, key);
  int32_t value = 0;
  const bool defaultTime = std::strncmp(key.key, "TIME", 4) == 0;
  if (!defaultTime || ParseInteger(text, value)) return text;
  return NotANumber(key, text, path, faults);
}

int32_t ReadConfigNumberOrDefault(const IniFile& ini, const ConfigKey& key, const std::string& path,
                                  ConfigFaults& faults) {
  int32_t value = 0;
  if (ReadConfigNumber(ini, key, value).ok) return value;
  ParseInteger(NotANumber(key, ReadConfigValue(ini, key), path, faults), value);
  return value;
}

int32_t LimitConfigIndex(const ConfigKey& key, int32_t index, int itemCount,
                         const std::string& path, ConfigFaults& faults) {
  const int32_t limited = std::clamp(index, 0, itemCount - 1);
  if (limited == index) return index;
  const std::string written = std::string(key.key) + "=" + std::to_string(index);
  const std::string range = "0.." + std::to_string(itemCount - 1);
  const std::string used = std::to_string(limited);
  faults.Add({path + " 中的 " + written + " 超出选项范围 " + range + "，已改用 " + used,
              path + ": " + written + " is outside the items " + range + "; " + used +
                  " is used instead"});
  return limited;
}

Text ReadConfigFailedText() {
  return {"Read config.ini err!", "Read config.ini err!"};
}

Text SaveConfigFailedText() {
  return {"保存config.ini失敗!", "Save config.ini Fall!"};
}

}  // namespace vqled
