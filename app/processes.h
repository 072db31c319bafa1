// The running processes as the survey and the analysis see them: the sorted
// process list with thread counts, and the test whether an executable runs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/machine.h"

namespace app {

// One line per process of the snapshot, the idle process ("[System Process]")
// left out: "explorer.exe ( 32 )", sorted without regard to letter case. An
// empty list when the snapshot cannot be taken.
std::vector<std::string> ListProcesses(platform::Machine& machine);

// A fresh snapshot holds a process whose executable file name, without its
// folder, equals exe_name in upper case. No when the snapshot fails.
bool IsProcessRunning(platform::Machine& machine, std::string_view exe_name);

}  // namespace app
