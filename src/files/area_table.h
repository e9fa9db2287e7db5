// A rectangle of an area as a table: rows are channels, columns frames, one
// number 0..255 per cell, optionally with the frame time of each column. The
// codecs move it between the store and the forms other programs read:
// tab-separated text (spreadsheets), the editor's own block text (blocks
// between two editor windows, with their frame times), CSV with a header row
// of frame times, and PNG (a grey pixel per cell, the frame times in a text
// chunk). Every parser reads the whole input into a table first and refuses
// malformed input with a message naming the row and column, so a refused
// input changes nothing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/pattern_store.h"
#include "model/text.h"

namespace vqled {

struct TableTime {
  int32_t timeValue = 1;
  int32_t timeType = FRAME_TIME_DEFAULT;
  bool operator==(const TableTime&) const = default;
};

struct AreaTable {
  int rows = 0;                  // channels
  int columns = 0;               // frames
  std::vector<int32_t> cells;    // rows * columns, row by row
  std::vector<TableTime> times;  // columns entries, or none (tab-separated text)

  int32_t& At(int row, int column) { return cells[static_cast<size_t>(row) * columns + column]; }
  int32_t At(int row, int column) const {
    return cells[static_cast<size_t>(row) * columns + column];
  }
  bool operator==(const AreaTable&) const = default;
};

struct TableParse {
  Outcome outcome;
  AreaTable table;
};

// The MIME type of the editor's own block text on the system clipboard.
inline constexpr const char* kBlockMimeType = "application/x-vqled-block";
// The keyword of the PNG text chunk that holds the frame times.
inline constexpr const char* kPngTimesKeyword = "vqled frame times";

// A frame time as the table files write it: "d3" (default time 3), "250ms",
// "2s", "1min"; a type outside those as "value:type".
std::string FormatTableTime(const TableTime& time);
bool ParseTableTime(std::string_view text, TableTime& time);

// Tab-separated text, a line per row, no frame times. A blank cell reads as 0.
std::string WriteTabText(const AreaTable& table);
TableParse ParseTabText(std::string_view text);

// The editor's block text: a "vqled-block 1" line, the size, the frame times
// and the rows of cells.
std::string WriteBlockText(const AreaTable& table);
TableParse ParseBlockText(std::string_view text);

// CSV: a header row of frame times, then a row per channel.
std::string WriteCsv(const AreaTable& table);
TableParse ParseCsv(std::string_view text);

// PNG: 8-bit grey, x = frame, y = channel, the frame times in a zTXt chunk.
// Writing fails for a cell outside 0..255, naming it.
Outcome WritePng(const AreaTable& table, std::vector<uint8_t>& png);
TableParse ParsePng(const uint8_t* data, size_t size);

// The channels and frames the grid shows on the model in force: what a
// table of an area covers at most.
struct TableLimits {
  int channels;
  int frames;
};
TableLimits ModelTableLimits(const PatternStore& store);

// The channels and frames of an area a table of it covers on a model with
// channels channel rows and frames frame columns: every channel, and the
// frames up to the last one with a lit cell or a time other than default
// time 1 (at least one frame).
AreaTable AreaToTable(const PatternStore& store, int area, int channels, int frames);

// Refuses a table larger than the model's channels and frames, naming both
// sizes; a table without frame times is refused too.
Outcome CheckTableFitsModel(const AreaTable& table, int channels, int frames);

// The area becomes the table: its channels and frames from channel 1, frame
// 1; cells of the model's channels and frames the table does not cover
// become 0 and their frame times default time 1. Play settings, default times
// and the header rows stay. Check the table with CheckTableFitsModel first.
void ApplyAreaTable(PatternStore& store, int area, const AreaTable& table, int channels,
                    int frames);

// Writes the table's cells with its top-left corner at (row, column) of the
// area, and its frame times, where it has them, into the frame columns it
// covers; whatever lies outside the area is left out.
void PasteAreaTable(PatternStore& store, int area, int row, int column, const AreaTable& table);

}  // namespace vqled
