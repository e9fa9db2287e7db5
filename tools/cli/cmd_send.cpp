// vqled-cli send: downloads the current area or all areas of a pattern file
// to a controller, as the window's "当前区发送" and "全区发送" do.
#include <cstdio>
#include <cstring>
#include <string>

#include "command.h"
#include "file_args.h"
#include "link_driver.h"

namespace vqled::cli {
namespace {

constexpr const char* kUsage =
    "vqled-cli send FILE --port DEV --model VQ-Mnn [--controllers K] (--area I | --all)";

int RunSend(int argc, char** argv) {
  LinkArgs args;
  std::string file;
  int area = -1;
  bool all = false;
  const int parsed = ParseLinkArgs(
      argc, argv, kUsage, true, args, [&](int n, char** v, int& i, std::string& error) {
        const bool hasValue = i + 1 < n;
        if (std::strcmp(v[i], "--all") == 0) {
          all = true;
        } else if (std::strcmp(v[i], "--area") == 0) {
          if (!hasValue || !ReadBoundedNumber(v[++i], 0, kAreaCount - 1, area)) {
            error = "--area needs an area 0..19";
          }
        } else if (std::strcmp(v[i], "--controllers") == 0) {
          if (!hasValue || !ReadBoundedNumber(v[++i], 1, 20, args.controllerCount)) {
            error = "--controllers needs a count 1..20";
          }
        } else if (v[i][0] != '-' && file.empty()) {
          file = v[i];
        } else {
          return false;
        }
        return true;
      });
  if (parsed != kProceed) return parsed;
  if (file.empty() || all == (area >= 0)) {
    std::fprintf(stderr, "vqled-cli send: FILE and one of --area, --all are needed\nusage: %s\n",
                 kUsage);
    return kExitUsage;
  }
  LinkSession session(args);
  Document& doc = session.doc;
  bool refused = false;
  const Outcome loaded =
      doc.LoadAsEditor(file, args.modelIndex, args.controllerCount, all ? 0 : area, &refused);
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
    session.link->BitBtn7Click(doc.store().playSettings[area].loopCount);
  }
  return session.host->RunUntilStopped(*session.link, "Send OK !!!!");
}

const CommandRegistration reg{"send", "download the current area or all areas of a pattern file",
                              &RunSend};

}  // namespace
}  // namespace vqled::cli
