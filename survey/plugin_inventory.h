// The plugin inventory, written after the copy of the game's INI file: the
// DLLs of the game's "Plugins" folder under readable names and the cheat-tool
// notice (the lines themselves are plugin_table's).
#pragma once

#include <string_view>

#include "analysis/report.h"
#include "platform/files.h"

namespace survey {

void WritePluginInventory(analysis::AnalysisReport& report, platform::FileSystem& files,
                          std::string_view install_folder);

}  // namespace survey
