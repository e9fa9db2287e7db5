// The trigger and music settings of a Config.ini, read once for the commands
// that send them (settings, flash --settings).
#pragma once

#include <string>

#include "link/controller_settings.h"
#include "model/text.h"

namespace vqled::cli {

// Fills panel with the item indexes of the SETGroup keys of the Config.ini at
// path, as LoadConfig hands them to the settings panel's lists; an empty path
// gives the keys' defaults. A file that cannot be read or a key that holds no
// number fails with a message naming the file.
Outcome ReadSettingsFile(const std::string& path, SettingsPanel& panel);

}  // namespace vqled::cli
