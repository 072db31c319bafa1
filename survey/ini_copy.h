// Survey row 37: the game's INI file copied into both views of the report,
// so that helpers on the forum see the player's settings as they are.
#pragma once

#include <string_view>

#include "analysis/report.h"
#include "platform/files.h"

namespace survey {

// The header and an empty line, then every line of
// <install_folder>RichardBurnsRally.ini (to the screen view, then to the
// forum view); a missing, empty or unreadable file gives the two error lines
// instead. NUL characters are left out of the copied lines: every reader of
// the report (the list box, the clipboard, the results file) would cut the
// line there.
void WriteIniCopy(analysis::AnalysisReport& report, platform::FileSystem& files,
                  std::string_view install_folder);

}  // namespace survey
