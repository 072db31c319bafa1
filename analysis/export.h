// Taking the report out of the tool: the results file, and the plain-text
// copy of the report box for the clipboard.
#pragma once

#include <string>
#include <string_view>

#include "analysis/report.h"
#include "platform/files.h"
#include "platform/machine.h"

namespace analysis {

inline constexpr char kResultsFileName[] = "ListeDesFichiersManquants.txt";

// Writes the report box's lines, each ended by CR LF in the results file's
// code page, to kResultsFileName in `own_folder` (with its backslash). Before
// any report line it writes a short file in the current folder instead (the
// game folder once the start-up has listed it). Raises FileCreateError,
// carrying the platform's error, when the file cannot be written.
void WriteResultsFile(platform::FileSystem& files, platform::Machine& machine,
                      const AnalysisReport& report, std::string_view own_folder);

}  // namespace analysis
