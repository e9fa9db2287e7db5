// vqled-cli send: downloads the current area or all areas of a pattern file
// to a controller, as the window's "当前区发送" and "全区发送" do.
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>

#include "cli_options.h"
#include "cli_parse.h"
#include "command.h"
#include "link_driver.h"
#include "model/model_catalogue.h"

namespace vqled::cli {
namespace {

constexpr const char* kSummary = "download the current area or all areas of a pattern file";

struct SendArgs {
  LinkArgs link;
  std::string file;
  int area = -1;  // -1: all areas
  bool json = false;
};

// What was sent where and how it ended, for scripts.
void PrintReport(const SendArgs& args, int status) {
  nlohmann::ordered_json report{{"file", args.file},
                                {"port", args.link.port},
                                {"model", CatalogueRow(args.link.modelIndex).name},
                                {"controllers", args.link.controllerCount}};
  report["all"] = args.area < 0;
  if (args.area >= 0) report["area"] = args.area;
  report["result"] = status == kExitOk ? "ok" : "failed";
  std::printf("%s\n", report.dump(2).c_str());
}

int RunSend(int argc, char** argv) {
  CLI::App app{kSummary, "vqled-cli send"};
  SetUpCommandApp(app);
  SendArgs args;
  bool all = false;
  AddFileArgument(app, args.file);
  AddLinkOptions(app, args.link, true);
  AddControllersOption(app, args.link.controllerCount);
  CLI::Option* areaOption = AddAreaOption(app, args.area)->description("send this area");
  app.add_flag("--all", all, "send all areas")->excludes(areaOption);
  AddJsonOption(app, args.json)
      ->description("write what was sent and the result as JSON on stdout");
  if (const auto status = ParseCommandLine(app, argc, argv)) return *status;
  if (!all && args.area < 0) return RefuseArguments(app, "one of --area and --all is needed");
  LinkSession session(args.link);
  Document& doc = session.doc;
  bool refused = false;
  const Outcome loaded = doc.LoadAsEditor(args.file, args.link.modelIndex,
                                          args.link.controllerCount, all ? 0 : args.area, &refused);
  if (!loaded.ok) {
    std::fprintf(stderr, "%s\n", loaded.message.en.c_str());
    return refused ? kExitUsage : kExitFailure;
  }
  session.encode = [&doc](int sendArea, ImageBuffer& image) {
    return doc.EncodeDownload(sendArea, image);
  };
  if (all) {
    session.link->BitBtn5Click();
  } else {
    session.link->BitBtn7Click(doc.store().playSettings[args.area].loopCount);
  }
  const int status = session.host->RunUntilStopped(*session.link, "Send OK !!!!");
  if (args.json) PrintReport(args, status);
  return status;
}

const CommandRegistration reg{"send", kSummary, &RunSend};

}  // namespace
}  // namespace vqled::cli
