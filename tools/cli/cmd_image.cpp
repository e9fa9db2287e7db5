// vqled-cli image: the bytes a download of one area would send, built from a
// pattern file as the editor would build them with the given model selected.
#include <cstdio>

#include "command.h"
#include "document/document.h"
#include "file_args.h"

namespace vqled::cli {
namespace {

constexpr const char* kUsage =
    "vqled-cli image FILE --model VQ-Mnn [--controllers K] [--area I] [--out PATH]";

int RunImage(int argc, char** argv) {
  FileArgs args;
  if (const int status = ParseFileArgs(
          argc, argv, kUsage, OPTION_AREA | OPTION_OUT | OPTION_MODEL | OPTION_CONTROLLERS, args);
      status != kArgsParsed) {
    return status;
  }
  if (args.modelIndex < 0) {
    std::fprintf(stderr, "vqled-cli image: --model is needed\nusage: %s\n", kUsage);
    return kExitUsage;
  }
  Document doc;
  bool refused = false;
  const Outcome loaded = doc.LoadAsEditor(args.file, args.modelIndex, args.controllerCount,
                                          args.area < 0 ? 0 : args.area, &refused);
  if (!loaded.ok) {
    std::fprintf(stderr, "%s\n", loaded.message.en.c_str());
    return refused ? kExitUsage : kExitFailure;
  }
  if (const Outcome built = doc.BuildCurrentAreaDownload(); !built.ok) {
    std::fprintf(stderr, "%s\n", built.message.en.c_str());
    return kExitUsage;
  }
  const ImageBuffer& image = doc.image();
  return WriteOutput(args.out, image.entry, static_cast<size_t>(image.imageLast) + 1);
}

const CommandRegistration reg{"image", "write the download image of one area of a pattern file",
                              &RunImage};

}  // namespace
}  // namespace vqled::cli
