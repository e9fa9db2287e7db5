// vqled-cli info: what a pattern file holds, area by area, as text or JSON.
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli_options.h"
#include "cli_parse.h"
#include "command.h"
#include "files/area_reader.h"
#include "files/file_io.h"
#include "files/pattern_files.h"

namespace vqled::cli {
namespace {

constexpr const char* kSummary = "show what a pattern file holds, area by area";

const char* KindName(PatternFileKind kind) {
  switch (kind) {
    case FILE_RESUME:
      return "resume";
    case FILE_SINGLE_AREA:
      return "single-area";
    case FILE_EXPORT:
      return "export";
    default:
      return "all-area";
  }
}

std::string UnitName(int unit) {
  switch (unit) {
    case TIME_UNIT_MS:
      return "ms";
    case TIME_UNIT_S:
      return "s";
    case TIME_UNIT_MIN:
      return "min";
    default:
      return "unit " + std::to_string(unit);
  }
}

void PrintText(const std::string& file, PatternFileKind kind, const std::vector<uint8_t>& bytes,
               const ImageOffsets& images) {
  std::printf("%s: %s file, %d area image%s\n", file.c_str(), KindName(kind), images.count,
              images.count == 1 ? "" : "s");
  if (kind == FILE_SINGLE_AREA) {
    std::printf("saved with model index %d, controller count index %d\n", bytes[0], bytes[1]);
  }
  for (int i = 0; i < images.count; ++i) {
    const ImageHeader h = ReadImageHeader(bytes.data() + images.offset[i]);
    std::printf("area %d: channels %d, frames %d, times", i, h.channels, h.frames);
    for (const DefaultTime& t : h.defaultTime) {
      std::printf(" %d %s", t.value, UnitName(t.unit).c_str());
    }
    std::printf(", enabled %d, loop mode %d, loop count %d, end mode %d\n", h.enabled, h.loopMode,
                h.loopCount, h.endMode);
  }
}

// The keys in the order the text shows them.
void PrintJson(const std::string& file, PatternFileKind kind, const std::vector<uint8_t>& bytes,
               const ImageOffsets& images) {
  nlohmann::ordered_json report{{"file", file}, {"kind", KindName(kind)}};
  if (kind == FILE_SINGLE_AREA) {
    report["modelIndex"] = bytes[0];
    report["controllerCountIndex"] = bytes[1];
  }
  nlohmann::ordered_json areas = nlohmann::ordered_json::array();
  for (int i = 0; i < images.count; ++i) {
    const ImageHeader h = ReadImageHeader(bytes.data() + images.offset[i]);
    nlohmann::ordered_json times = nlohmann::ordered_json::array();
    for (const DefaultTime& t : h.defaultTime)
      times.push_back({{"value", t.value}, {"unit", UnitName(t.unit)}});
    areas.push_back({{"area", i},
                     {"channels", h.channels},
                     {"frames", h.frames},
                     {"defaultTimes", std::move(times)},
                     {"enabled", h.enabled},
                     {"loopMode", h.loopMode},
                     {"loopCount", h.loopCount},
                     {"endMode", h.endMode}});
  }
  report["areas"] = std::move(areas);
  std::printf("%s\n", report.dump(2).c_str());
}

int RunInfo(int argc, char** argv) {
  CLI::App app{kSummary, "vqled-cli info"};
  SetUpCommandApp(app);
  std::string file;
  bool json = false;
  AddFileArgument(app, file);
  AddJsonOption(app, json);
  if (const auto status = ParseCommandLine(app, argc, argv)) return *status;
  std::vector<uint8_t> bytes;
  if (const Outcome read = ReadWholeFile(file, bytes); !read.ok) {
    std::fprintf(stderr, "%s\n", read.message.en.c_str());
    return kExitFailure;
  }
  const PatternFileKind kind = PatternFileKindOf(file);
  ImageOffsets images;
  if (const Outcome located = LocateImages(bytes.data(), bytes.size(), kind, file, images);
      !located.ok) {
    std::fprintf(stderr, "%s\n", located.message.en.c_str());
    return kExitUsage;
  }
  (json ? PrintJson : PrintText)(file, kind, bytes, images);
  return kExitOk;
}

const CommandRegistration reg{"info", kSummary, &RunInfo};

}  // namespace
}  // namespace vqled::cli
