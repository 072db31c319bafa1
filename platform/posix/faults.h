// Fault injection for the simulated machine: a test (or the machine's facts
// file, section [Faults]) makes a chosen call fail on purpose, so that failure
// paths are tested, not hoped for. Operations are named as the platform calls
// are: "MoveFile", "DeleteSilently", "RegSetValueEx", "ReadFile", "WriteFile",
// "CreateFile", "CreateDirectory", "RegCreateKeyEx", ...
#pragma once

#include <string>
#include <string_view>

namespace platform::posix {

class FaultInjector {
 public:
  // The nth call (1-based, counted from now) of the operation fails; 0 clears.
  void FailNth(std::string_view operation, int nth);
  // Every call of the operation from now on fails.
  void FailAlways(std::string_view operation);
  void Clear();
  // Counts this call; true when it must fail.
  bool ShouldFail(std::string_view operation);
};

// The process's one injector, consulted by every part of the backend.
FaultInjector& Faults();

}  // namespace platform::posix
