// The table forms of one area on the command line: export --csv/--png writes
// an area of a pattern file as CSV or PNG, import reads one into an area and
// writes the pattern file of all areas. Both read the pattern file as the
// editor does with the given model selected.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

#include "document/document.h"

namespace vqled::cli {

struct TableArgs {
  std::string file;
  int modelIndex = -1;
  int area = 0;
  int controllers = 1;
  std::string csv;
  std::string png;
};

// FILE, --model, --area, --controllers and the two table options (exactly
// one of them) on app.
void AddTableOptions(CLI::App& app, TableArgs& args);

// The pattern file read as the editor reads it with the model selected and
// the area current; the exit status after a message on stderr, or -1.
int LoadForTable(const TableArgs& args, Document& doc);

// Whether the export's arguments ask for a table (--csv or --png).
bool AsksForTable(int argc, char** argv);

// vqled-cli export FILE --model M --area I (--csv OUT | --png OUT).
int RunTableExport(int argc, char** argv);

}  // namespace vqled::cli
