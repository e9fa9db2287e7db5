// vqled-cli export: the .VQD export of one area of a pattern file, as the
// window's "生成花样文件" writes it. Without --model the area keeps the
// channel count the file gives it; with --model the file is read as the
// editor would with that model selected.
#include <cstdio>
#include <vector>

#include "area_table_cli.h"
#include "cli_options.h"
#include "cli_parse.h"
#include "command.h"
#include "document/document.h"
#include "files/file_io.h"
#include "files/pattern_files.h"

namespace vqled::cli {
namespace {

constexpr const char* kSummary = "write the .VQD export of one area of a pattern file";

struct FileArgs {
  std::string file;
  int area = -1;
  std::string out;
  int modelIndex = -1;  // -1: read the file in its own shape
  int controllerCount = 1;
};

// The file read into fresh areas, the grid showing area's own channel count
// and every frame column, area current.
Outcome LoadInFileShape(const std::string& file, int area, Document& doc, bool& refused) {
  refused = false;
  std::vector<uint8_t> bytes;
  if (Outcome read = ReadWholeFile(file, bytes); !read.ok) return read;
  refused = true;
  const PatternFileKind kind = PatternFileKindOf(file);
  ImageOffsets images;
  if (Outcome located = LocateImages(bytes.data(), bytes.size(), kind, file, images); !located.ok) {
    return located;
  }
  if (area >= images.count) {
    return Outcome::Fail({"文件只有一个分区", "the file holds only one area (area 0)"});
  }
  doc.ResetStartupAreas();
  doc.ShowStartupHeader(-1);
  PatternStore& store = doc.store();
  const AreaReader reader = kind == FILE_RESUME ? READER_RESUME
                            : images.count == 1 ? READER_SINGLE_AREA
                                                : READER_ALL_AREAS;
  for (int i = 0; i < images.count; ++i) {
    const size_t at = images.offset[i];
    DecodeAreaImage(store, bytes.data() + at, bytes.size() - at, i, reader);
  }
  store.gridRowCount = ReadImageHeader(bytes.data() + images.offset[area]).channels + kHeaderRows;
  store.gridColumnCount = kColumnsPerArea - 1;
  store.currentArea = area;
  return Outcome::Ok();
}

int RunExport(int argc, char** argv) {
  if (AsksForTable(argc, argv)) return RunTableExport(argc, argv);
  CLI::App app{kSummary, "vqled-cli export"};
  SetUpCommandApp(app);
  app.footer(
      "With --model, --area and --csv OUT or --png OUT it writes the area as CSV or PNG\n"
      "instead (vqled-cli export --csv OUT --help).");
  FileArgs args;
  AddFileArgument(app, args.file);
  AddAreaOption(app, args.area)->required();
  AddOutOption(app, args.out, "write the export to PATH")->required();
  AddModelOption(app, args.modelIndex)
      ->description("read the file as the editor does with this model selected");
  AddControllersOption(app, args.controllerCount)->needs("--model");
  if (const auto status = ParseCommandLine(app, argc, argv)) return *status;
  Document doc;
  bool refused = false;
  const Outcome loaded =
      args.modelIndex >= 0
          ? doc.LoadAsEditor(args.file, args.modelIndex, args.controllerCount, args.area, &refused)
          : LoadInFileShape(args.file, args.area, doc, refused);
  if (!loaded.ok) {
    std::fprintf(stderr, "%s\n", loaded.message.en.c_str());
    return refused ? kExitUsage : kExitFailure;
  }
  const LoopCountEntry loopCount =
      args.modelIndex >= 0
          ? LoopCountEntry::FromText(doc.controls().edit6)
          : LoopCountEntry::FromValue(doc.store().playSettings[args.area].loopCount);
  if (SaveRefusal none = doc.CheckContentToSave(SAVE_EXPORT); none.refused) {
    std::fprintf(stderr, "%s\n", none.text.en.c_str());
    return kExitUsage;
  }
  const Outcome written = doc.ExportCurrentArea(args.out, loopCount);
  if (!written.ok) {
    std::fprintf(stderr, "%s\n", written.message.en.c_str());
    return kExitFailure;
  }
  return kExitOk;
}

const CommandRegistration reg{"export", kSummary, &RunExport};

}  // namespace
}  // namespace vqled::cli
