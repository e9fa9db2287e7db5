// The commands of vqled-cli. Each command file registers itself with a static
// CommandRegistration, so the dispatcher needs no list of its own.
#pragma once

#include <string_view>

namespace vqled::cli {

// Exit statuses shared by every command.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;  // bad arguments or a refused file; nothing written

using CommandFn = int (*)(int argc, char** argv);  // argv[0] is the command name

struct Command {
  const char* name;
  const char* summary;
  CommandFn run;
};

struct CommandRegistration {
  CommandRegistration(const char* name, const char* summary, CommandFn run);
};

// The registered command of that name, or nullptr.
const Command* FindCommand(std::string_view name);

}  // namespace vqled::cli
