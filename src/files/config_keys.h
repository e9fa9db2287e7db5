// The keys of Config.ini as data: section, key, value form, the default when
// the key is missing, the control it feeds, and the orders in which the form
// reads and writes them. LoadConfig and SaveConfig walk these tables; the
// controller settings read the SETGroup keys from them.
#pragma once

#include <cstdint>
#include <string>

#include "files/ini_file.h"
#include "model/text.h"

namespace vqled {

enum ConfigForm : int {
  CONFIG_TEXT = 0,    // a control's text, unchanged
  CONFIG_INDEX = 1,   // a list control's item index in decimal, -1 for no selection
  CONFIG_INTEGER = 2  // a number (Languages)
};

struct ConfigKey {
  const char* section;
  const char* key;
  ConfigForm form;
  const char* defaultValue;  // nullptr for a key that is written only (Type)
  const char* control;       // the control or variable it feeds
};

// Every key in the order LoadConfig reads them; Type, written only, last.
constexpr int kConfigKeyCount = 55;
extern const ConfigKey kConfigKeys[kConfigKeyCount];
// LoadConfig applies the model (ComboBox6Change) after reading this many keys
// (COM, HYTYPE, NUM, TIME1..TIME5, TIMETYPE1..TIMETYPE5).
constexpr int kConfigKeysBeforeModel = 13;
// The keys LoadConfig reads: all but Type.
constexpr int kConfigReadCount = kConfigKeyCount - 1;

// SaveConfig's order, as indexes into kConfigKeys. SaveConfig adjusts
// ComboBox6 between HYTYPE..TIMETYPE5 and Type.
constexpr int kConfigWriteCount = kConfigKeyCount;
extern const int kConfigWriteOrder[kConfigWriteCount];
// Type is written after this many keys of the write order.
constexpr int kConfigWritesBeforeType = 13;

// The key of section and name, or nullptr.
const ConfigKey* FindConfigKey(const char* section, const char* key);

// A key's value with its default.
std::string ReadConfigValue(const IniFile& ini, const ConfigKey& key);
// An index or integer key's value converted, or the conversion error.
Outcome ReadConfigNumber(const IniFile& ini, const ConfigKey& key, int32_t& value);

// What went wrong while loading Config.ini, gathered for the one message that
// reports it after the load has applied everything it could.
class ConfigFaults {
 public:
  void Add(const Text& fault);
  bool empty() const { return lines_.empty(); }
  // "Read config.ini err!" followed by one line per fault.
  Text Message() const;

 private:
  Text lines_;
};

// A text key's value as the load applies it: the file's text, or, for a
// default time (TIME1..TIME5) whose text is no number, the key's default,
// which is added to faults naming the file at path, the key and the value.
std::string ReadConfigTextOrDefault(const IniFile& ini, const ConfigKey& key,
                                    const std::string& path, ConfigFaults& faults);
// An index or integer key's value as the load applies it: the file's number,
// or the key's default where the file's value is no number, which is added to
// faults naming the file at path, the key and the value.
int32_t ReadConfigNumberOrDefault(const IniFile& ini, const ConfigKey& key, const std::string& path,
                                  ConfigFaults& faults);

// An index for a list of itemCount items that must hold a selection (the
// controller count, whose text is read as a number): an index outside the
// items becomes the nearest item, added to faults.
int32_t LimitConfigIndex(const ConfigKey& key, int32_t index, int itemCount,
                         const std::string& path, ConfigFaults& faults);

// The form's messages of a failed load and a failed save of Config.ini.
Text ReadConfigFailedText();  // text and caption alike, every language
Text SaveConfigFailedText();

}  // namespace vqled
