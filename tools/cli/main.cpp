// vqled-cli: the engine without a window, for scripts and production lines.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "command.h"
#include "vqled_version.h"

namespace vqled::cli {
namespace {

// The registered commands. A function's static, so that it exists before the
// first registration whatever order the files' statics are made in.
std::vector<Command>& Commands() {
  static std::vector<Command> commands;
  return commands;
}

void PrintUsage(FILE* out) {
  std::fprintf(out,
               "usage: vqled-cli COMMAND [ARGS...]\n"
               "       vqled-cli --help | --version\n"
               "Programs stand-alone LED light-sequence controllers without the editor window.\n\n"
               "commands:\n");
  std::vector<Command> sorted = Commands();
  std::sort(sorted.begin(), sorted.end(),
            [](const Command& a, const Command& b) { return std::strcmp(a.name, b.name) < 0; });
  for (const Command& command : sorted)
    std::fprintf(out, "  %-16s %s\n", command.name, command.summary);
  std::fprintf(out, "\nRun 'vqled-cli COMMAND --help' for a command's arguments.\n");
}

}  // namespace

CommandRegistration::CommandRegistration(const char* name, const char* summary, CommandFn run) {
  Commands().push_back(Command{name, summary, run});
}

const Command* FindCommand(std::string_view name) {
  for (const Command& command : Commands())
    if (name == command.name) return &command;
  return nullptr;
}

}  // namespace vqled::cli

int main(int argc, char** argv) {
  using namespace vqled::cli;
  if (vqled::PrintVersionIfAsked("vqled-cli", argc, argv)) return kExitOk;
  if (argc < 2) {
    PrintUsage(stderr);
    return kExitUsage;
  }
  if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    PrintUsage(stdout);
    return kExitOk;
  }
  const Command* command = FindCommand(argv[1]);
  if (command == nullptr) {
    std::fprintf(stderr, "vqled-cli: unknown command '%s'\n", argv[1]);
    PrintUsage(stderr);
    return kExitUsage;
  }
  return command->run(argc - 1, argv + 1);
}
