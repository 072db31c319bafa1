// The help panel's text: what this version analyses and repairs, in French
// (40 lines) and in English (38 lines), ending with the executables it knows.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "analysis/report.h"

namespace analysis {

std::vector<std::string> HelpLines(UiLanguage set, std::string_view supported_update);

}  // namespace analysis
