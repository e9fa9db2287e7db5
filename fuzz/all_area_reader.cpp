// Feeds arbitrary bytes to the readers of tempRGB.bin and .Aled files. The
// first byte picks the reader (even: resume, odd: all-area import); the rest
// is the file.
#include <cstddef>
#include <cstdint>

#include "files/pattern_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static vqled::PatternStore store;
  if (size == 0) return 0;
  const vqled::AreaReader reader =
      data[0] % 2 == 0 ? vqled::READER_RESUME : vqled::READER_ALL_AREAS;
  vqled::ReadAllAreaImages(store, data + 1, size - 1, reader, "fuzz.Aled");
  return 0;
}
