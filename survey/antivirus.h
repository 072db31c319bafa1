// Recognising a running antivirus from the process list (survey row 23).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace survey {

// The line of the first entry of the process list, in list order, whose
// upper-cased text cut at its first "." is a known antivirus process; nullopt
// when none is.
std::optional<std::string> AntivirusLine(const std::vector<std::string>& process_list);

}  // namespace survey
