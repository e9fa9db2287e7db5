// vqled-cli image: the bytes a download of one area would send, built from a
// pattern file as the editor would build them with the given model selected.
#include <cstdio>

#include "cli_options.h"
#include "cli_parse.h"
#include "command.h"
#include "document/document.h"
#include "output_file.h"

namespace vqled::cli {
namespace {

constexpr const char* kSummary = "write the download image of one area of a pattern file";

int RunImage(int argc, char** argv) {
  CLI::App app{kSummary, "vqled-cli image"};
  SetUpCommandApp(app);
  std::string file, out;
  int modelIndex = -1, controllerCount = 1, area = 0;
  AddFileArgument(app, file);
  AddModelOption(app, modelIndex)->required();
  AddControllersOption(app, controllerCount);
  AddAreaOption(app, area)->description("the area, counted from 0 (default 0)");
  AddOutOption(app, out, "write the image to PATH (default stdout)");
  if (const auto status = ParseCommandLine(app, argc, argv)) return *status;
  Document doc;
  bool refused = false;
  const Outcome loaded = doc.LoadAsEditor(file, modelIndex, controllerCount, area, &refused);
  if (!loaded.ok) {
    std::fprintf(stderr, "%s\n", loaded.message.en.c_str());
    return refused ? kExitUsage : kExitFailure;
  }
  if (const Outcome built = doc.BuildCurrentAreaDownload(); !built.ok) {
    std::fprintf(stderr, "%s\n", built.message.en.c_str());
    return kExitUsage;
  }
  const ImageBuffer& image = doc.image();
  return WriteOutput(out, image.entry, static_cast<size_t>(image.imageLast) + 1);
}

const CommandRegistration reg{"image", kSummary, &RunImage};

}  // namespace
}  // namespace vqled::cli
