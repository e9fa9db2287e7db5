// vqled-cli render: a picture of one area of a pattern file as the preview
// shows it with the given model selected: an animated GIF with each frame for
// its time, or a PNG strip of all frames. Needs no display.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "command.h"
#include "document/document.h"
#include "file_args.h"
#include "ui/area_render.h"

namespace vqled::cli {
namespace {

constexpr const char* kUsage =
    "vqled-cli render FILE --model VQ-Mnn --area I (--gif OUT | --png-strip OUT) [--scale N] "
    "[--controllers K]";

struct RenderArgs {
  std::string gif;
  std::string pngStrip;
  int scale = kDefaultRenderScale;
};

// Takes --gif, --png-strip and --scale out of argv, leaving the options the
// file commands share in rest. Returns an error text, empty when all is well.
std::string TakeRenderOptions(int argc, char** argv, RenderArgs& args, std::vector<char*>& rest) {
  for (int i = 0; i < argc; ++i) {
    const char* option = argv[i];
    const bool gif = std::strcmp(option, "--gif") == 0;
    const bool png = std::strcmp(option, "--png-strip") == 0;
    const bool scale = std::strcmp(option, "--scale") == 0;
    if (!gif && !png && !scale) {
      rest.push_back(argv[i]);
      continue;
    }
    const char* value = i + 1 < argc ? argv[++i] : nullptr;
    if (scale) {
      if (value == nullptr ||
          !ReadBoundedNumber(value, kMinRenderScale, kMaxRenderScale, args.scale))
        return "--scale needs a scale 1..8";
    } else if (value == nullptr || *value == '\0') {
      return std::string(option) + " needs a path";
    } else {
      (gif ? args.gif : args.pngStrip) = value;
    }
  }
  if (args.gif.empty() == args.pngStrip.empty()) return "give one of --gif OUT and --png-strip OUT";
  return {};
}

int RunRender(int argc, char** argv) {
  RenderArgs render;
  std::vector<char*> rest;
  const std::string error = TakeRenderOptions(argc, argv, render, rest);
  FileArgs args;
  if (const int status = ParseFileArgs(static_cast<int>(rest.size()), rest.data(), kUsage,
                                       OPTION_AREA | OPTION_MODEL | OPTION_CONTROLLERS, args);
      status != kArgsParsed) {
    return status;
  }
  if (error.empty() && (args.modelIndex < 0 || args.area < 0)) {
    std::fprintf(stderr, "vqled-cli render: --model and --area are needed\nusage: %s\n", kUsage);
    return kExitUsage;
  }
  if (!error.empty()) {
    std::fprintf(stderr, "vqled-cli render: %s\nusage: %s\n", error.c_str(), kUsage);
    return kExitUsage;
  }
  Document doc;
  bool refused = false;
  const Outcome loaded =
      doc.LoadAsEditor(args.file, args.modelIndex, args.controllerCount, args.area, &refused);
  if (!loaded.ok) {
    std::fprintf(stderr, "%s\n", loaded.message.en.c_str());
    return refused ? kExitUsage : kExitFailure;
  }
  PatternStore& store = doc.store();
  const int lastColumn = ComputeAreaLength(store, args.area);
  const AreaPicture picture{args.area, store.gridRowCount - kHeaderRows,
                            lastColumn - kFirstFrameColumn + 1,
                            PlaysOfArea(store.playSettings[args.area]), render.scale};
  std::vector<uint8_t> bytes;
  const Outcome made = render.gif.empty() ? RenderAreaPngStrip(store, picture, bytes)
                                          : RenderAreaGif(store, picture, bytes);
  if (!made.ok) {
    std::fprintf(stderr, "%s: %s\n", args.file.c_str(), made.message.en.c_str());
    return kExitUsage;
  }
  return WriteOutput(render.gif.empty() ? render.pngStrip : render.gif, bytes.data(), bytes.size());
}

const CommandRegistration reg{"render", "write an animated GIF or a PNG strip of one area",
                              &RunRender};

}  // namespace
}  // namespace vqled::cli
