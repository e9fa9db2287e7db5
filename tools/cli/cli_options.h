// The options the commands share, added to each command's own CLI::App, and
// the refusals a command makes after parsing, worded like CLI11's own.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

#include "link_driver.h"

namespace vqled::cli {

// Names the app "vqled-cli NAME" in its usage and has every refusal printed
// as "vqled-cli NAME: reason" with a pointer to --help.
void SetUpCommandApp(CLI::App& app);

// Prints reason as the app prints its refusals; returns kExitUsage.
int RefuseArguments(const CLI::App& app, const std::string& reason);

// FILE: the pattern file a command reads.
CLI::Option* AddFileArgument(CLI::App& app, std::string& file);
// --model VQ-Mnn, checked against the catalogue; sets modelIndex.
CLI::Option* AddModelOption(CLI::App& app, int& modelIndex);
// --area I, an area 0..19.
CLI::Option* AddAreaOption(CLI::App& app, int& area);
// --controllers K, the controller count of a model with several.
CLI::Option* AddControllersOption(CLI::App& app, int& count);
// --out PATH, a path that is not empty.
CLI::Option* AddOutOption(CLI::App& app, std::string& out, const std::string& description);
// --json: the report as JSON on stdout.
CLI::Option* AddJsonOption(CLI::App& app, bool& json);
// --port DEV, always needed, and --model, needed with needModel.
void AddLinkOptions(CLI::App& app, LinkArgs& args, bool needModel);

}  // namespace vqled::cli
