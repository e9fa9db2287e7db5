// The command line of vqled-sim and the model profile it shares with the
// editor's built-in virtual controller.
#pragma once

#include <string>

#include "model/model_catalogue.h"
#include "model/text.h"
#include "sim/sim_controller.h"

namespace vqled {

// The profile values a controller of that model works with (from the catalogue).
ModelProfile SimModelProfile(int modelIndex);

// The options text printed by --help.
const char* SimUsage();

// Fills options from the arguments (argv[0] is the program). --help sets
// showHelp. A bad or missing option gives the reason in both variants.
Outcome ParseSimOptions(int argc, char** argv, SimOptions& options, bool& showHelp);

}  // namespace vqled
