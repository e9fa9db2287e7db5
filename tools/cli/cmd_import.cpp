// vqled-cli import: one area of a pattern file replaced by a CSV or PNG table,
// written as a pattern file of all areas. A malformed table, or one larger
// than the model's channels and frames, is refused and nothing is written.
#include <cstdio>

#include "area_table_cli.h"
#include "cli_parse.h"
#include "command.h"
#include "files/area_table.h"
#include "files/file_io.h"

namespace vqled::cli {
namespace {

// The table file read and parsed; the exit status after a message naming the
// file, or -1.
int ReadTable(const TableArgs& args, TableParse& parse) {
  const std::string& path = args.csv.empty() ? args.png : args.csv;
  std::vector<uint8_t> bytes;
  if (const Outcome read = ReadWholeFile(path, bytes); !read.ok) {
    std::fprintf(stderr, "%s\n", read.message.en.c_str());
    return kExitFailure;
  }
  parse =
      args.csv.empty()
          ? ParsePng(bytes.data(), bytes.size())
          : ParseCsv(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  if (parse.outcome.ok) return -1;
  std::fprintf(stderr, "%s: %s\n", path.c_str(), parse.outcome.message.en.c_str());
  return kExitUsage;
}

int RunImport(int argc, char** argv) {
  CLI::App app{
      "Replaces one area of a pattern file by a CSV or PNG table (as export --csv/--png "
      "writes them) and writes the pattern file of all areas to --out.",
      "vqled-cli import"};
  TableArgs args;
  std::string out;
  AddTableOptions(app, args);
  app.add_option("--out", out, "the .Aled file written")->required();
  if (const std::optional<int> status = ParseCommandLine(app, argc, argv)) return *status;
  TableParse parse;
  if (const int status = ReadTable(args, parse); status >= 0) return status;
  Document doc;
  if (const int status = LoadForTable(args, doc); status >= 0) return status;
  const TableLimits limits = ModelTableLimits(doc.store());
  if (const Outcome fits = CheckTableFitsModel(parse.table, limits.channels, limits.frames);
      !fits.ok) {
    std::fprintf(stderr, "%s: %s\n", (args.csv.empty() ? args.png : args.csv).c_str(),
                 fits.message.en.c_str());
    return kExitUsage;
  }
  ApplyAreaTable(doc.store(), args.area, parse.table, limits.channels, limits.frames);
  if (const Outcome written = doc.SaveAllAreas(out, nullptr); !written.ok) {
    std::fprintf(stderr, "%s\n", written.message.en.c_str());
    return kExitFailure;
  }
  return kExitOk;
}

const CommandRegistration reg{"import", "replace one area of a pattern file by a CSV or PNG table",
                              &RunImport};

}  // namespace
}  // namespace vqled::cli
