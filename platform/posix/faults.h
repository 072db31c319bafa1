// Fault injection for the simulated machine: a test (or the machine's facts
// file, section [Faults]) makes a chosen call fail on purpose, so that failure
// paths are tested, not hoped for. Each platform instance owns its injector;
// the operations are a closed set, named as the platform calls are, and the
// error a fault produces names the same call.
#pragma once

#include <array>
#include <mutex>
#include <optional>
#include <string_view>

namespace platform::posix {

enum class FaultOperation {
  kCreateFile,
  kReadFile,
  kWriteFile,
  kCreateDirectory,
  kMoveFile,
  kSHFileOperation,
  kDeleteFile,
  kRegOpenKeyEx,
  kRegCreateKeyEx,
  kRegQueryValueEx,
  kRegSetValueEx,
  kRegFlushKey,
  kGlobalMemoryStatusEx,
  kOpenSCManager,
  kCreateToolhelp32Snapshot,
  kGetFileVersionInfo,
  kURLDownloadToFile,
};
inline constexpr std::size_t kFaultOperationCount =
    static_cast<std::size_t>(FaultOperation::kURLDownloadToFile) + 1;

// The platform call's name, as the injected error names it.
std::string_view FaultName(FaultOperation operation);
// The operation of exactly that name; nullopt for any other name.
std::optional<FaultOperation> FaultNamed(std::string_view name);

// Thread-safe: the background jobs call the platform too.
class FaultInjector {
 public:
  // The nth call (1-based, counted from now) of the operation fails; 0 clears.
  void FailNth(FaultOperation operation, int nth);
  // Every call of the operation from now on fails.
  void FailAlways(FaultOperation operation);
  void Clear(FaultOperation operation);
  // Counts this call; true when it must fail.
  bool ShouldFail(FaultOperation operation);

 private:
  struct Rule {
    int countdown = 0;  // fails when it reaches 1; 0 = inactive
    bool always = false;
  };
  std::mutex mutex_;
  std::array<Rule, kFaultOperationCount> rules_{};
};

// Arms one fault for a test's scope: it is cleared when the scope ends.
class ScopedFault {
 public:
  // nth 0: every call fails.
  ScopedFault(FaultInjector& faults, FaultOperation operation, int nth = 0)
      : faults_(faults), operation_(operation) {
    if (nth == 0) {
      faults_.FailAlways(operation);
    } else {
      faults_.FailNth(operation, nth);
    }
  }
  ~ScopedFault() { faults_.Clear(operation_); }
  ScopedFault(const ScopedFault&) = delete;
  ScopedFault& operator=(const ScopedFault&) = delete;

 private:
  FaultInjector& faults_;
  FaultOperation operation_;
};

}  // namespace platform::posix
