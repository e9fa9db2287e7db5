// vqled-cli send: downloads the current area or all areas of a pattern file
// to a controller, as the window's "当前区发送" and "全区发送" do.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "command.h"
#include "files/download_image.h"
#include "files/pattern_files.h"
#include "link_driver.h"
#include "model/control_states.h"

namespace vqled::cli {
namespace {

constexpr const char* kUsage =
    "vqled-cli send FILE --port DEV --model VQ-Mnn [--controllers K] (--area I | --all)";

bool EndsWith(const std::string& text, const char* tail) {
  const size_t n = std::strlen(tail);
  return text.size() >= n && text.compare(text.size() - n, n, tail) == 0;
}

// A pattern file into the store: a ".led" file into the shown area, any
// other file (".Aled", a resume file) into all areas.
Outcome LoadPattern(PatternStore& store, const std::string& path) {
  if (EndsWith(path, ".led")) return ImportSingleArea(store, path);
  return ImportAllAreas(store, path);
}

bool ReadNumber(const char* text, int low, int high, int& value) {
  char* end = nullptr;
  const long n = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || n < low || n > high) return false;
  value = static_cast<int>(n);
  return true;
}

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
          if (!hasValue || !ReadNumber(v[++i], 0, kAreaCount - 1, area)) {
            error = "--area needs an area 0..19";
          }
        } else if (std::strcmp(v[i], "--controllers") == 0) {
          if (!hasValue || !ReadNumber(v[++i], 1, 20, args.controllerCount)) {
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
  PatternStore& store = *session.store;
  const int shownArea = all ? 0 : area;
  ShowAreaSettings(store, session.profile, session.controls, shownArea);
  const Outcome loaded = LoadPattern(store, file);
  if (!loaded.ok) {
    std::fprintf(stderr, "%s\n", loaded.message.en.c_str());
    return kExitUsage;
  }
  ShowAreaSettings(store, session.profile, session.controls, shownArea);
  HeaderControls header;
  header.comboBox6Index = args.modelIndex;
  header.comboBox13Visible =
      ResolveControlStates(args.modelIndex).Value("ComboBox13", CONTROL_SHOWN).value_or(false);
  header.radioButton6 = true;  // "普通控制器", checked at start
  const DownloadControls controls = DownloadControlsFromArea(session.controls, header);
  session.encode = [&](int sendArea, ImageBuffer& image) {
    return EncodeDownloadImage(store, session.profile, controls, sendArea, image);
  };
  if (all) {
    session.link->BitBtn5Click();
  } else {
    session.link->BitBtn7Click(store.playSettings[area].loopCount);
  }
  return session.host->RunUntilStopped(*session.link, "Send OK !!!!");
}

const CommandRegistration reg{"send", "download the current area or all areas of a pattern file",
                              &RunSend};

}  // namespace
}  // namespace vqled::cli
