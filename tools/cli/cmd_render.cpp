// vqled-cli render: a picture of one area of a pattern file as the preview
// shows it with the given model selected: an animated GIF with each frame for
// its time, or a PNG strip of all frames. Needs no display.
#include <cstdio>
#include <string>
#include <vector>

#include "cli_options.h"
#include "cli_parse.h"
#include "command.h"
#include "document/document.h"
#include "output_file.h"
#include "ui/area_render.h"

namespace vqled::cli {
namespace {

constexpr const char* kSummary = "write an animated GIF or a PNG strip of one area";

int RunRender(int argc, char** argv) {
  CLI::App app{kSummary, "vqled-cli render"};
  SetUpCommandApp(app);
  std::string file, gif, pngStrip;
  int modelIndex = -1, controllerCount = 1, area = -1, scale = kDefaultRenderScale;
  AddFileArgument(app, file);
  AddModelOption(app, modelIndex)->required();
  AddAreaOption(app, area)->required();
  app.add_option("--gif", gif, "write an animated GIF, each frame shown for its time")
      ->type_name("OUT");
  app.add_option("--png-strip", pngStrip, "write a PNG of all frames, one under the other")
      ->type_name("OUT");
  app.add_option("--scale", scale, "draw each lamp N times larger (default 2)")
      ->type_name("N")
      ->check(CLI::Range(kMinRenderScale, kMaxRenderScale));
  AddControllersOption(app, controllerCount);
  if (const auto status = ParseCommandLine(app, argc, argv)) return *status;
  if (gif.empty() == pngStrip.empty())
    return RefuseArguments(app, "give one of --gif OUT and --png-strip OUT");
  Document doc;
  bool refused = false;
  const Outcome loaded = doc.LoadAsEditor(file, modelIndex, controllerCount, area, &refused);
  if (!loaded.ok) {
    std::fprintf(stderr, "%s\n", loaded.message.en.c_str());
    return refused ? kExitUsage : kExitFailure;
  }
  PatternStore& store = doc.store();
  const int lastColumn = ComputeAreaLength(store, area);
  const AreaPicture picture{area, store.gridRowCount - kHeaderRows,
                            lastColumn - kFirstFrameColumn + 1,
                            PlaysOfArea(store.playSettings[area]), scale};
  std::vector<uint8_t> bytes;
  const Outcome made = gif.empty() ? RenderAreaPngStrip(store, picture, bytes)
                                   : RenderAreaGif(store, picture, bytes);
  if (!made.ok) {
    std::fprintf(stderr, "%s: %s\n", file.c_str(), made.message.en.c_str());
    return kExitUsage;
  }
  return WriteOutput(gif.empty() ? pngStrip : gif, bytes.data(), bytes.size());
}

const CommandRegistration reg{"render", kSummary, &RunRender};

}  // namespace
}  // namespace vqled::cli
