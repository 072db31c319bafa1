// Machine facts and system services: memory, disks, processor, display,
// operating system, account, time service, processes, locale and clock, and the
// program's own executable.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/result.h"

namespace platform {

struct MemoryStatus {
  std::uint64_t total_bytes = 0;      // ullTotalPhys
  std::uint64_t available_bytes = 0;  // ullAvailPhys
};

struct ProcessEntry {
  std::string exe_file;  // szExeFile as the snapshot reports it
  std::uint32_t process_id = 0;
  std::uint32_t threads = 0;  // cntThreads
};

// Outcome of OpenSCManager / OpenService / QueryServiceStatus.
struct ServiceStatus {
  enum class Outcome { kQueried, kNoManager, kServiceUnopenable, kQueryFailed };
  Outcome outcome = Outcome::kNoManager;
  std::uint32_t current_state = 0;  // dwCurrentState when queried
};

struct LocaleInfo {
  std::string language_native_name;          // LOCALE_SNATIVELANGNAME of the user default locale
  std::string decimal_separator;             // LOCALE_SDECIMAL
  std::string date_separator;                // LOCALE_SDATE
  std::string time_separator;                // LOCALE_STIME
  std::array<std::string, 7> weekday_names;  // full names, Sunday first
};

struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  int weekday = 0;  // 0 = Sunday
};

struct ScreenSize {
  int width = 0, height = 0;
};

// What a version resource holds, read with GetFileVersionInfo / VerQueryValue.
struct VersionInfo {
  std::optional<std::array<std::uint16_t, 4>> file_version;  // VS_FIXEDFILEINFO
  // \VarFileInfo\Translation, in order: (language, code page).
  std::vector<std::pair<std::uint16_t, std::uint16_t>> translations;
  // Strings of the table of the first translation, in stored order.
  std::vector<std::pair<std::string, std::string>> strings;

  // A string of the first translation's table, empty when absent.
  std::string String(std::string_view name) const;
  // file_version as "a.b.c.d"; empty when absent.
  std::string DottedFileVersion() const;
};

class Machine {
 public:
  virtual ~Machine() = default;

  virtual Result<MemoryStatus> QueryMemory() = 0;  // GlobalMemoryStatusEx
  virtual std::string ProcessorBrand() = 0;        // CPUID brand string, as stored
  virtual int PhysicalCores() = 0;                 // GetLogicalProcessorInformation
  // EnumDisplayDevices(NULL, 0): DeviceString; nullopt when device 0 does not exist.
  virtual std::optional<std::string> DisplayDevice0() = 0;
  virtual int MonitorCount() = 0;          // GetSystemMetrics(SM_CMONITORS)
  virtual ScreenSize PrimaryScreen() = 0;  // EnumDisplaySettings(ENUM_CURRENT_SETTINGS)
  virtual std::string ServicePack() = 0;   // OSVERSIONINFO szCSDVersion
  virtual bool IsWindowsXp64() = 0;
  virtual bool IsAdministrator() = 0;       // token groups hold S-1-5-32-544
  virtual std::string WindowsFolder() = 0;  // GetWindowsDirectory, no trailing backslash
  virtual ServiceStatus QueryService(std::string_view name) = 0;
  // CreateToolhelp32Snapshot / Process32First / Process32Next, every entry.
  virtual Result<std::vector<ProcessEntry>> SnapshotProcesses() = 0;
  virtual LocaleInfo UserLocale() = 0;
  virtual LocalTime Now() = 0;  // GetLocalTime
  // GetModuleFileName(NULL): the program's own executable.
  virtual std::string SelfExecutable() = 0;
  // The developer's build folder (no deletions happen when running from it),
  // with its trailing backslash.
  virtual std::string BuildFolder() = 0;
  // The version resource of an executable or library; nullopt when the file
  // has none (or cannot be read).
  virtual std::optional<VersionInfo> ReadVersionInfo(std::string_view path) = 0;
  // Claims the one running copy of the tool on this machine (a named mutex of
  // the user's session), held until the machine object is destroyed. True
  // when this run holds it, or when the claim cannot be made at all; false
  // when another run holds it.
  virtual bool ClaimSingleRun() = 0;
  // Where the new-version check fetches its version file from, when the
  // machine names another address than the program's own (the simulated
  // machine's facts); a real Windows names none.
  virtual std::optional<std::string> VersionUrlOverride() { return std::nullopt; }
};

}  // namespace platform
