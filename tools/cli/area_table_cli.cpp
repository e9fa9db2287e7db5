#include "area_table_cli.h"

#include <cstdio>
#include <string_view>

#include "cli_options.h"
#include "cli_parse.h"
#include "command.h"
#include "files/area_table.h"
#include "output_file.h"

namespace vqled::cli {

void AddTableOptions(CLI::App& app, TableArgs& args) {
  SetUpCommandApp(app);
  AddFileArgument(app, args.file);
  AddModelOption(app, args.modelIndex)->required();
  AddAreaOption(app, args.area)->required();
  AddControllersOption(app, args.controllers);
  CLI::Option* csv = app.add_option("--csv", args.csv, "the area as CSV");
  CLI::Option* png = app.add_option("--png", args.png, "the area as PNG");
  csv->excludes(png);
  app.callback([csv, png] {
    if (csv->count() + png->count() != 1) throw CLI::RequiredError("--csv or --png");
  });
}

int LoadForTable(const TableArgs& args, Document& doc) {
  bool refused = false;
  const Outcome loaded =
      doc.LoadAsEditor(args.file, args.modelIndex, args.controllers, args.area, &refused);
  if (loaded.ok) return -1;
  std::fprintf(stderr, "%s\n", loaded.message.en.c_str());
  return refused ? kExitUsage : kExitFailure;
}

bool AsksForTable(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg.starts_with("--csv") || arg.starts_with("--png")) return true;
  }
  return false;
}

int RunTableExport(int argc, char** argv) {
  CLI::App app{
      "Writes one area of a pattern file as CSV (a header row of frame times, a row "
      "per channel) or as PNG (a grey pixel per cell, the frame times in a text chunk).",
      "vqled-cli export"};
  TableArgs args;
  AddTableOptions(app, args);
  if (const std::optional<int> status = ParseCommandLine(app, argc, argv)) return *status;
  Document doc;
  if (const int status = LoadForTable(args, doc); status >= 0) return status;
  const TableLimits limits = ModelTableLimits(doc.store());
  const AreaTable table = AreaToTable(doc.store(), args.area, limits.channels, limits.frames);
  if (!args.csv.empty()) {
    const std::string csv = WriteCsv(table);
    return WriteOutput(args.csv, csv.data(), csv.size());
  }
  std::vector<uint8_t> png;
  if (const Outcome encoded = WritePng(table, png); !encoded.ok) {
    std::fprintf(stderr, "%s: %s\n", args.file.c_str(), encoded.message.en.c_str());
    return kExitFailure;
  }
  return WriteOutput(args.png, png.data(), png.size());
}

}  // namespace vqled::cli
