// Machine facts and system services over the real API.
#pragma once

#include "platform/machine.h"

namespace platform::win32 {

// The developer's build folder: running from it deletes nothing. The same
// path as the simulated machine's.
inline constexpr char kBuildFolder[] = "C:\\RemedorBuild\\";

class Win32Machine final : public Machine {
 public:
  Win32Machine() = default;
  ~Win32Machine() override;
  Win32Machine(const Win32Machine&) = delete;
  Win32Machine& operator=(const Win32Machine&) = delete;

  Result<MemoryStatus> QueryMemory() override;
  std::string ProcessorBrand() override;
  int PhysicalCores() override;
  std::optional<std::string> DisplayDevice0() override;
  int MonitorCount() override;
  ScreenSize PrimaryScreen() override;
  std::string ServicePack() override;
  bool IsWindowsXp64() override;
  bool IsAdministrator() override;
  std::string WindowsFolder() override;
  ServiceStatus QueryService(std::string_view name) override;
  Result<std::vector<ProcessEntry>> SnapshotProcesses() override;
  LocaleInfo UserLocale() override;
  LocalTime Now() override;
  std::string SelfExecutable() override;
  std::string BuildFolder() override;
  std::optional<VersionInfo> ReadVersionInfo(std::string_view path) override;
  // A real Windows names no other address for the version file.
  std::optional<std::string> VersionUrlOverride() override { return std::nullopt; }
  bool ClaimSingleRun() override;

 private:
  void* single_run_ = nullptr;  // the mutex's HANDLE once claimed
};

}  // namespace platform::win32
