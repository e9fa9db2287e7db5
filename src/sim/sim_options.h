// The command line of vqled-sim: its options and the usage text.
#pragma once

#include <string>

#include "model/text.h"
#include "sim/sim_controller.h"

namespace vqled {

// The options text printed by --help.
const char* SimUsage();

// Fills options from the arguments (argv[0] is the program). --help sets
// showHelp. A bad or missing option gives the reason in both variants.
Outcome ParseSimOptions(int argc, char** argv, SimOptions& options, bool& showHelp);

}  // namespace vqled
