// Feeds arbitrary bytes to the table parsers: the first byte picks the form
// (tab text, block text, CSV, PNG); the rest is the input. A table that
// parses is also applied and pasted, so its sizes are held against the area.
#include "files/area_table.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static vqled::PatternStore store;
  if (size == 0) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  vqled::TableParse parse;
  switch (data[0] % 4) {
    case 0:
      parse = vqled::ParseTabText(text);
      break;
    case 1:
      parse = vqled::ParseBlockText(text);
      break;
    case 2:
      parse = vqled::ParseCsv(text);
      break;
    default:
      parse = vqled::ParsePng(data + 1, size - 1);
      break;
  }
  if (!parse.outcome.ok) return 0;
  vqled::PasteAreaTable(store, 0, data[0] % 7, data[0] % 5, parse.table);
  if (vqled::CheckTableFitsModel(parse.table, 1021, 4000).ok) {
    vqled::ApplyAreaTable(store, 1, parse.table, 1021, 4000);
  }
  return 0;
}
