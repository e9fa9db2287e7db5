// Parses arbitrary text as Config.ini, reads and writes keys, and checks that
// a written key reads back and that the document parses to the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "files/config_keys.h"
#include "files/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  vqled::IniFile ini;
  ini.Parse(text);
  // Every eighth key, from one the first byte picks: each key is read by some
  // inputs, and no input pays for all of them.
  constexpr int kKeyStride = 8;
  const int firstKey = size > 0 ? data[0] % kKeyStride : 0;
  for (int i = firstKey; i < vqled::kConfigKeyCount; i += kKeyStride) {
    int32_t value = 0;
    vqled::ReadConfigNumber(ini, vqled::kConfigKeys[i], value);
  }
  ini.WriteString("SETGroup", "GroupA1", "7");
  ini.WriteString("Config", "COM", "/dev/ttyUSB0");
  if (ini.ReadString("SETGroup", "GroupA1", "") != "7") std::abort();
  if (ini.ReadString("Config", "COM", "") != "/dev/ttyUSB0") std::abort();
  const std::string once = ini.Serialize();
  vqled::IniFile again;
  again.Parse(once);
  if (again.Serialize() != once) std::abort();
  return 0;
}
