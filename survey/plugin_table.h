// The plugin inventory's lines: the known plugins of the game's "Plugins"
// folder under readable names, the unknown ones marked, the cheat tool.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/report.h"

namespace survey {

// The label of a known plugin file name (compared whole, without regard to
// letter case), e.g. "- FixUp ( " for "FIXUP.DLL"; nullopt for an unknown one.
std::optional<std::string_view> KnownPluginLabel(std::string_view file_name);

// How the plugin folder was found.
enum class PluginFolder { kListed, kMissing, kUnreadable };

// The listing's lines: a rule, the title, then one line per plugin in the
// given order; or, for an empty listing, a missing or an unreadable folder,
// one line beginning with a space (a problem of the report).
void WritePluginLines(analysis::AnalysisReport& report, PluginFolder folder,
                      const std::vector<std::string>& plugin_names);

// The notice for the cheat tool found in the game folder.
void WriteCheatToolNotice(analysis::AnalysisReport& report);

}  // namespace survey
