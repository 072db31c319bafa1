// The tool-help process snapshot, its functions looked up at run time in
// kernel32 (CreateToolhelp32Snapshot, Process32FirstW, Process32NextW).
#pragma once

#include <vector>

#include "platform/machine.h"

namespace platform::win32 {

Result<std::vector<ProcessEntry>> SnapshotProcessList();

}  // namespace platform::win32
