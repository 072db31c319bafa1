// The machine facts of the simulated Windows machine (a folder in Wine's
// prefix layout). Each fact comes from the facts file "remedor-machine.ini" at
// the prefix's root when it names it, else from the host running the
// simulation, else from a fixed default:
//
//   [Self]       Exe (Windows path; default: this binary seen through drive Z:),
//                FileVersion (a.b.c.d; empty: no version information; default:
//                the project's version), BuildFolder (default C:\RemedorBuild\;
//                the default executable's own folder when Exe is not given, so
//                that the program's single-use deletions spare the host's files)
//   [Locale]     LanguageName, DecimalSeparator, DateSeparator, TimeSeparator,
//                Weekdays (seven names, Sunday first, blank-separated);
//                defaults: a French Windows ("Français", ",", "/", ":")
//   [Clock]      Now (local time "YYYY-MM-DD hh:mm:ss", frozen; default: host clock)
//   [Processor]  Brand, PhysicalCores (host: /proc/cpuinfo)
//   [Memory]     Total, Free (bytes), Fail=1 (the query fails) (host: /proc/meminfo)
//   [Display]    Device0 (absent: no display device 0), Monitors (default 1),
//                Width, Height (default 1920 x 1080)
//   [Disks]      C=FREE TOTAL (bytes) or C=fail, one key per drive letter
//                (default: the host volume under the drive's folder)
//   [Windows]    Folder (default C:\windows), ServicePack (default none),
//                Xp64 (0/1, default 0), Administrator (0/1, default 1, as Wine)
//   [Services]   NAME=state code (1 stopped, 4 running, ...), "unopenable" (the
//                manager opens, the service does not), "nomanager" or
//                "queryfailed"; a service not named cannot be opened (Wine
//                installs no time service)
//   [Network]    VersionURL (overrides the new-version check's address)
//   [Faults]     OPERATION=N: the Nth call of that platform operation fails (one of
//                platform/posix/faults.h; any other name is an error)
//
// The facts file follows the profile-string rules (Windows-1252 unless it
// starts with a byte-order mark) and is the machine's description: a value
// given but not of its key's kind, an unknown section or key, or a file that
// is not one of these (machine_facts.h) stops the machine from opening, with
// a message naming the file, the section and the key. An absent key keeps its
// default. Running processes come from
// "remedor-processes.txt" beside it when it exists (UTF-8; one process a line:
// thread count, a blank, the executable name as the snapshot reports it), else
// from the host's /proc, headed by the "[System Process]" entry a Windows
// snapshot starts with.
//
// Not simulated: the locale of the host, the host's display, services other
// than those named. The version information of the program itself is
// [Self] FileVersion; that of any other file is read from its PE image.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/machine.h"
#include "platform/posix/faults.h"
#include "platform/posix/folder_lock.h"

namespace platform::posix {

class MachineFacts;

inline constexpr char kMachineFactsFile[] = "remedor-machine.ini";
inline constexpr char kProcessesFile[] = "remedor-processes.txt";

class SimulatedMachine final : public Machine {
 public:
  // Reads the facts once; a missing facts file means the host and the defaults.
  // A wrong facts file, or a facts or processes file that cannot be read (a
  // folder in its place), fails naming it. Version resources of files are
  // read through `files`.
  // Its calls fail where `faults` says.
  static Result<std::unique_ptr<SimulatedMachine>> Open(const std::filesystem::path& prefix,
                                                        FileSystem& files, FaultInjector& faults);

  Result<MemoryStatus> QueryMemory() override;
  std::string ProcessorBrand() override { return processor_brand_; }
  int PhysicalCores() override { return physical_cores_; }
  std::optional<std::string> DisplayDevice0() override { return display_device0_; }
  int MonitorCount() override { return monitors_; }
  ScreenSize PrimaryScreen() override { return screen_; }
  std::string ServicePack() override { return service_pack_; }
  bool IsWindowsXp64() override { return xp64_; }
  bool IsAdministrator() override { return administrator_; }
  std::string WindowsFolder() override { return windows_folder_; }
  ServiceStatus QueryService(std::string_view name) override;
  Result<std::vector<ProcessEntry>> SnapshotProcesses() override;
  LocaleInfo UserLocale() override { return locale_; }
  LocalTime Now() override;
  std::string SelfExecutable() override { return self_exe_; }
  std::string BuildFolder() override { return build_folder_; }
  std::optional<VersionInfo> ReadVersionInfo(std::string_view path) override;
  std::optional<std::string> VersionUrlOverride() override { return version_url_; }
  // The prefix folder is locked (platform/posix/folder_lock.h).
  bool ClaimSingleRun() override;

  // [Disks]: the space each named drive reports; nullopt: the query fails.
  const std::map<char, std::optional<DiskSpace>>& DiskOverrides() const { return disks_; }
  // [Faults]: (operation, N), for the fault injector.
  const std::vector<std::pair<FaultOperation, int>>& FaultRules() const { return fault_rules_; }

 private:
  SimulatedMachine(const std::filesystem::path& prefix, FileSystem& files, FaultInjector& faults);
  // Takes every fact; a wrong value is refused on `facts`.
  void Read(MachineFacts& facts);

  FileSystem& files_;
  std::filesystem::path processes_file_;
  FolderLock single_run_;

  std::string self_exe_;
  std::optional<VersionInfo> self_version_;
  std::string build_folder_;
  LocaleInfo locale_;
  std::optional<LocalTime> frozen_now_;
  std::string processor_brand_;
  int physical_cores_ = 0;
  std::optional<MemoryStatus> memory_;  // nullopt: [Memory] Fail=1
  std::optional<std::string> display_device0_;
  int monitors_ = 1;
  ScreenSize screen_;
  std::map<char, std::optional<DiskSpace>> disks_;
  std::string windows_folder_;
  std::string service_pack_;
  bool xp64_ = false;
  bool administrator_ = true;
  std::map<std::string, ServiceStatus> services_;  // by upper-case name
  std::optional<std::string> version_url_;
  FaultInjector& faults_;
  std::vector<std::pair<FaultOperation, int>> fault_rules_;
};

// Host facts, also used where the facts file is silent.
namespace host {
std::string ProcessorBrand();
int PhysicalCores();
std::optional<MemoryStatus> Memory();
std::vector<ProcessEntry> Processes();
}  // namespace host

// The processes file's lines; malformed lines are skipped.
std::vector<ProcessEntry> ParseProcessesFile(std::string_view text);

}  // namespace platform::posix
