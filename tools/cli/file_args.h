// The arguments of the file commands (info, export, image): one FILE and the
// options each command allows.
#pragma once

#include <cstddef>
#include <string>

namespace vqled::cli {

enum FileOption : unsigned {
  OPTION_JSON = 1 << 0,         // --json
  OPTION_AREA = 1 << 1,         // --area I
  OPTION_OUT = 1 << 2,          // --out PATH
  OPTION_MODEL = 1 << 3,        // --model VQ-Mnn
  OPTION_CONTROLLERS = 1 << 4,  // --controllers K
};

struct FileArgs {
  std::string file;
  bool json = false;
  int area = -1;  // -1: not given
  std::string out;
  int modelIndex = -1;  // -1: not given
  int controllerCount = 1;
};

// A decimal argument within low..high into value; false when it is not one.
bool ReadBoundedNumber(const char* text, int low, int high, int& value);

constexpr int kArgsParsed = -1;
// Reads argv[1..] for the options in allowed. Returns kArgsParsed when the
// command is to run, otherwise its exit status: 0 after --help (usage on
// stdout), 2 after a message and the usage on stderr.
int ParseFileArgs(int argc, char** argv, const char* usage, unsigned allowed, FileArgs& args);

// Writes bytes to path through a temporary file, or to stdout for an empty
// path. Returns the exit status, the reason on stderr.
int WriteOutput(const std::string& path, const void* data, size_t size);

}  // namespace vqled::cli
