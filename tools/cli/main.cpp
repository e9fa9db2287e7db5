// vqled-cli: the engine without a window, for scripts and production lines.
#include <cstdio>
#include <cstring>

#include "command.h"
#include "vqled_version.h"

namespace vqled::cli {
namespace {

constexpr int kMaxCommands = 32;
Command commands[kMaxCommands];
int commandCount = 0;

void PrintUsage(FILE* out) {
  std::fprintf(out,
               "usage: vqled-cli COMMAND [ARGS...]\n"
               "       vqled-cli --help | --version\n"
               "Programs stand-alone LED light-sequence controllers without the editor window.\n\n"
               "commands:\n");
  for (int i = 0; i < commandCount; ++i)
    std::fprintf(out, "  %-16s %s\n", commands[i].name, commands[i].summary);
  std::fprintf(out, "\nRun 'vqled-cli COMMAND --help' for a command's arguments.\n");
}

}  // namespace

CommandRegistration::CommandRegistration(const char* name, const char* summary, CommandFn run) {
  if (commandCount < kMaxCommands) commands[commandCount++] = Command{name, summary, run};
}

const Command* FindCommand(std::string_view name) {
  for (int i = 0; i < commandCount; ++i)
    if (name == commands[i].name) return &commands[i];
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
