#include "platform/posix/faults.h"

namespace platform::posix {

namespace {

// In the order of FaultOperation.
constexpr std::array<std::string_view, kFaultOperationCount> kNames = {
    "CreateFile",           "ReadFile",          "WriteFile",
    "CreateDirectory",      "MoveFile",          "SHFileOperation",
    "DeleteFile",           "RegOpenKeyEx",      "RegCreateKeyEx",
    "RegQueryValueEx",      "RegSetValueEx",     "RegFlushKey",
    "GlobalMemoryStatusEx", "OpenSCManager",     "CreateToolhelp32Snapshot",
    "GetFileVersionInfo",   "URLDownloadToFile",
};

std::size_t IndexOf(FaultOperation operation) { return static_cast<std::size_t>(operation); }

}  // namespace

std::string_view FaultName(FaultOperation operation) { return kNames[IndexOf(operation)]; }

std::optional<FaultOperation> FaultNamed(std::string_view name) {
  for (std::size_t i = 0; i < kNames.size(); ++i) {
    if (kNames[i] == name) return static_cast<FaultOperation>(i);
  }
  return std::nullopt;
}

void FaultInjector::FailNth(FaultOperation operation, int nth) {
  std::lock_guard lock(mutex_);
  rules_[IndexOf(operation)] = Rule{nth, false};
}

void FaultInjector::FailAlways(FaultOperation operation) {
  std::lock_guard lock(mutex_);
  rules_[IndexOf(operation)] = Rule{0, true};
}

void FaultInjector::Clear(FaultOperation operation) {
  std::lock_guard lock(mutex_);
  rules_[IndexOf(operation)] = Rule{};
}

bool FaultInjector::ShouldFail(FaultOperation operation) {
  std::lock_guard lock(mutex_);
  Rule& rule = rules_[IndexOf(operation)];
  if (rule.always) return true;
  if (rule.countdown == 0) return false;
  return --rule.countdown == 0;
}

}  // namespace platform::posix
