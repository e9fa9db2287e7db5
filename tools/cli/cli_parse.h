// Parsing a command's arguments with CLI11: every command builds a CLI::App
// for its own options and hands it the arguments here, so --help, the usage
// texts and the exit statuses are the same for all commands.
#pragma once

#include <CLI/CLI.hpp>
#include <optional>

#include "command.h"

namespace vqled::cli {

// Parses the command's arguments (argv[0] is the command name). Returns the
// status to end with when parsing ends the command: kExitOk after --help (the
// help on stdout), kExitUsage after a bad argument (CLI11's message on
// stderr); nothing when the command should run.
inline std::optional<int> ParseCommandLine(CLI::App& app, int argc, char** argv) {
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e) == 0 ? kExitOk : kExitUsage;
  }
  return std::nullopt;
}

}  // namespace vqled::cli
