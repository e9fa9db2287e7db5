// vqled-cli info: what a pattern file holds, area by area, as text or JSON.
#include <cstdio>
#include <string>
#include <vector>

#include "command.h"
#include "file_args.h"
#include "files/area_reader.h"
#include "files/file_io.h"
#include "files/pattern_files.h"

namespace vqled::cli {
namespace {

constexpr const char* kUsage = "vqled-cli info FILE [--json]";

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

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
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

void PrintJson(const std::string& file, PatternFileKind kind, const std::vector<uint8_t>& bytes,
               const ImageOffsets& images) {
  std::printf("{\"file\": %s, \"kind\": \"%s\"", JsonString(file).c_str(), KindName(kind));
  if (kind == FILE_SINGLE_AREA) {
    std::printf(", \"modelIndex\": %d, \"controllerCountIndex\": %d", bytes[0], bytes[1]);
  }
  std::printf(", \"areas\": [");
  for (int i = 0; i < images.count; ++i) {
    const ImageHeader h = ReadImageHeader(bytes.data() + images.offset[i]);
    std::printf("%s\n  {\"area\": %d, \"channels\": %d, \"frames\": %d, \"defaultTimes\": [",
                i == 0 ? "" : ",", i, h.channels, h.frames);
    for (int k = 0; k < kDefaultTimeCount; ++k) {
      std::printf("%s{\"value\": %d, \"unit\": \"%s\"}", k == 0 ? "" : ", ", h.defaultTime[k].value,
                  UnitName(h.defaultTime[k].unit).c_str());
    }
    std::printf("], \"enabled\": %d, \"loopMode\": %d, \"loopCount\": %d, \"endMode\": %d}",
                h.enabled, h.loopMode, h.loopCount, h.endMode);
  }
  std::printf("\n]}\n");
}

int RunInfo(int argc, char** argv) {
  FileArgs args;
  if (const int status = ParseFileArgs(argc, argv, kUsage, OPTION_JSON, args);
      status != kArgsParsed) {
    return status;
  }
  std::vector<uint8_t> bytes;
  if (const Outcome read = ReadWholeFile(args.file, bytes); !read.ok) {
    std::fprintf(stderr, "%s\n", read.message.en.c_str());
    return kExitFailure;
  }
  const PatternFileKind kind = PatternFileKindOf(args.file);
  ImageOffsets images;
  if (const Outcome located = LocateImages(bytes.data(), bytes.size(), kind, args.file, images);
      !located.ok) {
    std::fprintf(stderr, "%s\n", located.message.en.c_str());
    return kExitUsage;
  }
  (args.json ? PrintJson : PrintText)(args.file, kind, bytes, images);
  return kExitOk;
}

const CommandRegistration reg{"info", "show what a pattern file holds, area by area", &RunInfo};

}  // namespace
}  // namespace vqled::cli
