// Feeds arbitrary bytes to the .led reader. The first byte picks the current
// area; the rest is the file.
#include <cstddef>
#include <cstdint>

#include "files/pattern_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static vqled::PatternStore store;
  if (size == 0) return 0;
  store.currentArea = data[0] % vqled::kAreaCount;
  vqled::ReadSingleAreaFile(store, data + 1, size - 1, "fuzz.led");
  return 0;
}
