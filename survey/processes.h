// The running processes as the survey, the gates and the analysis see them:
// the sorted process list with thread counts, the test whether an executable
// runs, and the survey's count lines: plain on screen (row 14), coloured by
// its size in the forum view (row 35), each from its own refresh.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/machine.h"

namespace survey {

// One line per process of the snapshot, the idle process ("[System Process]")
// left out: "explorer.exe ( 32 )", sorted without regard to letter case. An
// empty list when the snapshot cannot be taken.
std::vector<std::string> ListProcesses(platform::Machine& machine);

// RefreshProcesses: the process list replaced by a fresh one; its length.
int RefreshProcesses(platform::Machine& machine, std::vector<std::string>& process_list);

// A fresh snapshot holds a process whose executable file name, without its
// folder, equals exe_name in upper case. No when the snapshot fails.
bool IsProcessRunning(platform::Machine& machine, std::string_view exe_name);

std::string ProcessCountScreenLine(int count);
// Green up to 55, orange from 56 to 69, red from 70.
std::string ProcessCountForumLine(int count);

}  // namespace survey
