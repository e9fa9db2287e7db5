#include "file_args.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "command.h"
#include "files/file_io.h"
#include "link_driver.h"

namespace vqled::cli {
bool ReadBoundedNumber(const char* text, int low, int high, int& value) {
  char* end = nullptr;
  const long n = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || n < low || n > high) return false;
  value = static_cast<int>(n);
  return true;
}

namespace {

// Takes the option at argv[i] (and its value); false with error set when it
// is unknown or its value is bad.
bool TakeOption(int argc, char** argv, int& i, unsigned allowed, FileArgs& args,
                std::string& error) {
  const char* option = argv[i];
  auto is = [&](const char* name, FileOption flag) {
    return (allowed & flag) != 0 && std::strcmp(option, name) == 0;
  };
  if (is("--json", OPTION_JSON)) {
    args.json = true;
    return true;
  }
  const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
  bool ok = value != nullptr;
  if (is("--area", OPTION_AREA)) {
    ok = ok && ReadBoundedNumber(value, 0, 19, args.area);
    if (!ok) error = "--area needs an area 0..19";
  } else if (is("--out", OPTION_OUT)) {
    ok = ok && *value != '\0';
    if (ok) args.out = value;
    if (!ok) error = "--out needs a path";
  } else if (is("--model", OPTION_MODEL)) {
    ok = ok && (args.modelIndex = ModelIndexByName(value)) >= 0;
    if (!ok) error = std::string("unknown model '") + (value ? value : "") + "' (VQ-M00 .. VQ-M28)";
  } else if (is("--controllers", OPTION_CONTROLLERS)) {
    ok = ok && ReadBoundedNumber(value, 1, 20, args.controllerCount);
    if (!ok) error = "--controllers needs a count 1..20";
  } else {
    error = std::string("unknown option '") + option + "'";
    return false;
  }
  ++i;
  return ok;
}

}  // namespace

int ParseFileArgs(int argc, char** argv, const char* usage, unsigned allowed, FileArgs& args) {
  std::string error;
  for (int i = 1; i < argc && error.empty(); ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::printf("usage: %s\n", usage);
      return kExitOk;
    }
    if (argv[i][0] != '-' || argv[i][1] == '\0') {
      if (args.file.empty()) {
        args.file = argv[i];
      } else {
        error = std::string("unexpected argument '") + argv[i] + "'";
      }
      continue;
    }
    TakeOption(argc, argv, i, allowed, args, error);
  }
  if (error.empty() && args.file.empty()) error = "FILE is needed";
  if (error.empty()) return kArgsParsed;
  std::fprintf(stderr, "vqled-cli %s: %s\nusage: %s\n", argv[0], error.c_str(), usage);
  return kExitUsage;
}

int WriteOutput(const std::string& path, const void* data, size_t size) {
  if (path.empty()) {
    if (std::fwrite(data, 1, size, stdout) != size || std::fflush(stdout) != 0) {
      std::fprintf(stderr, "%s\n", WriteFailure("stdout", std::strerror(errno)).en.c_str());
      return kExitFailure;
    }
    return kExitOk;
  }
  SafeFileWriter file(path);
  Outcome written = file.Open();
  if (written.ok) {
    file.Write(data, size);
    written = file.Commit();
  }
  if (written.ok) return kExitOk;
  std::fprintf(stderr, "%s\n", written.message.en.c_str());
  return kExitFailure;
}

}  // namespace vqled::cli
