#include "platform/posix/simulated_machine.h"

#include <algorithm>
#include <cctype>
#include <ctime>
#include <iomanip>
#include <limits>
#include <set>
#include <sstream>
#include <system_error>
#include <thread>

#include "platform/codepage.h"
#include "platform/pe_version.h"
#include "platform/posix/faults.h"
#include "platform/posix/host_file.h"
#include "platform/posix/machine_facts.h"
#include "platform/text.h"

namespace platform::posix {

namespace {

// The version the program is built as (the project's version).
constexpr char kDefaultFileVersion[] = "8.36.0.0";
constexpr char kDefaultBuildFolder[] = "C:\\RemedorBuild\\";
constexpr char kDefaultWindowsFolder[] = "C:\\windows";
constexpr ScreenSize kDefaultScreen{1920, 1080};
// French, Windows-1252: what the program's own version resource names.
constexpr std::pair<std::uint16_t, std::uint16_t> kSelfTranslation{0x040C, 1252};

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

// A host file the simulation reads for itself; nothing when unreadable.
std::optional<std::string> ReadProcFile(const std::filesystem::path& path) {
  auto read = ReadHostFile(path, "ReadFile");
  return read ? *read : std::nullopt;
}

std::vector<std::string_view> SplitBlanks(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t at = 0;
  while (at < text.size()) {
    const auto start = text.find_first_not_of(" \t", at);
    if (start == std::string_view::npos) break;
    const auto end = std::min(text.find_first_of(" \t", start), text.size());
    words.push_back(text.substr(start, end - start));
    at = end;
  }
  return words;
}

// "/work/x" -> "Z:\work\x", as Wine shows host paths.
std::string ThroughDriveZ(const std::filesystem::path& host) {
  std::string path = "Z:" + host.generic_string();
  for (char& c : path) c = c == '/' ? '\\' : c;
  return path;
}

std::string DefaultSelfExecutable() {
  std::error_code error;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string("Z:\\remedor") : ThroughDriveZ(self);
}

std::optional<VersionInfo> SelfVersion(const std::optional<std::string>& text) {
  const std::string version = text.value_or(kDefaultFileVersion);
  if (Trim(version).empty()) return std::nullopt;
  VersionInfo info;
  info.translations.push_back(kSelfTranslation);
  info.strings = {
      {"FileVersion", version}, {"ProductName", "Remedor"}, {"ProductVersion", version}};
  std::array<std::uint16_t, 4> numbers{};
  std::size_t count = 0;
  std::string_view rest = version;
  for (; count < 4; ++count) {
    const auto dot = rest.find('.');
    const auto number = ParseWhole<std::uint16_t>(Trim(rest.substr(0, dot)));
    if (!number) break;
    numbers[count] = *number;
    if (dot == std::string_view::npos) {
      ++count;
      break;
    }
    rest.remove_prefix(dot + 1);
  }
  if (count == 4) info.file_version = numbers;
  return info;
}

std::optional<LocalTime> ParseLocalTime(std::string_view text) {
  std::tm tm{};
  std::istringstream in{std::string(Trim(text))};
  in >> std::get_time(&tm, "%Y-%m-%d %H:%M:%S");
  if (in.fail() || !(in >> std::ws).eof()) return std::nullopt;
  tm.tm_isdst = -1;
  std::tm normalised = tm;
  // timegm normalises the fields and fills in the weekday without a time zone.
  if (timegm(&normalised) == -1 || normalised.tm_mday != tm.tm_mday) return std::nullopt;
  return LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,        tm.tm_hour,
                   tm.tm_min,         tm.tm_sec,     normalised.tm_wday};
}

LocaleInfo ReadLocale(MachineFacts& facts) {
  LocaleInfo locale;
  locale.language_native_name = facts.Text("Locale", "LanguageName").value_or("Français");
  locale.decimal_separator = facts.Text("Locale", "DecimalSeparator").value_or(",");
  locale.date_separator = facts.Text("Locale", "DateSeparator").value_or("/");
  locale.time_separator = facts.Text("Locale", "TimeSeparator").value_or(":");
  locale.weekday_names = {"dimanche", "lundi", "mardi", "mercredi", "jeudi", "vendredi", "samedi"};
  if (const auto weekdays = facts.Text("Locale", "Weekdays")) {
    const auto names = SplitBlanks(*weekdays);
    if (names.size() != 7) {
      facts.Refuse("Locale", "Weekdays", "seven names separated by blanks, Sunday first");
    } else {
      for (std::size_t i = 0; i < 7; ++i) locale.weekday_names[i] = std::string(names[i]);
    }
  }
  return locale;
}

std::optional<MemoryStatus> ReadMemory(MachineFacts& facts) {
  constexpr auto kMax = std::numeric_limits<std::uint64_t>::max();
  const bool fail = facts.Flag("Memory", "Fail").value_or(false);
  const auto total = facts.Whole<std::uint64_t>("Memory", "Total", 0, kMax);
  const auto free = facts.Whole<std::uint64_t>("Memory", "Free", 0, total.value_or(kMax));
  if (fail) return std::nullopt;
  std::optional<MemoryStatus> memory;
  if (!total || !free) memory = host::Memory();
  if (!memory) memory = MemoryStatus{};
  if (total) memory->total_bytes = *total;
  if (free) memory->available_bytes = *free;
  return memory;
}

// "FREE TOTAL" (bytes) or "fail".
std::optional<std::optional<DiskSpace>> ParseDisk(std::string_view text) {
  if (EqualsIgnoreCase(text, "fail")) return std::optional<DiskSpace>();
  const auto words = SplitBlanks(text);
  if (words.size() != 2) return std::nullopt;
  const auto free = ParseWhole<std::uint64_t>(words[0]);
  const auto total = ParseWhole<std::uint64_t>(words[1]);
  if (!free || !total || *free > *total) return std::nullopt;
  return std::optional<DiskSpace>(DiskSpace{*free, *total});
}

// A service's state code (SERVICE_STOPPED 1 to SERVICE_PAUSED 7) or a failure.
std::optional<ServiceStatus> ParseService(std::string_view text) {
  using Outcome = ServiceStatus::Outcome;
  if (EqualsIgnoreCase(text, "unopenable")) return ServiceStatus{Outcome::kServiceUnopenable, 0};
  if (EqualsIgnoreCase(text, "nomanager")) return ServiceStatus{Outcome::kNoManager, 0};
  if (EqualsIgnoreCase(text, "queryfailed")) return ServiceStatus{Outcome::kQueryFailed, 0};
  if (const auto state = ParseWhole<std::uint32_t>(text); state && *state >= 1 && *state <= 7) {
    return ServiceStatus{Outcome::kQueried, *state};
  }
  return std::nullopt;
}

// A value that must not be empty when given.
std::optional<std::string> Named(MachineFacts& facts, std::string_view section,
                                 std::string_view key, std::string_view expected) {
  auto text = facts.Text(section, key);
  if (text && text->empty()) {
    facts.Refuse(section, key, expected);
    return std::nullopt;
  }
  return text;
}

std::string WithoutTrailingBackslash(std::string path) {
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}

std::string WithTrailingBackslash(std::string path) {
  if (path.empty() || path.back() != '\\') path.push_back('\\');
  return path;
}

}  // namespace

Result<std::unique_ptr<SimulatedMachine>> SimulatedMachine::Open(
    const std::filesystem::path& prefix, FileSystem& files, FaultInjector& faults) {
  std::unique_ptr<SimulatedMachine> machine(new SimulatedMachine(prefix, files, faults));
  const std::filesystem::path facts_file = prefix / kMachineFactsFile;
  auto bytes = ReadHostFile(facts_file, "ReadMachineFacts");
  if (!bytes) return bytes.error();
  if (*bytes) {
    auto facts = MachineFacts::Parse(**bytes, facts_file.string());
    if (!facts) return facts.error();
    machine->Read(*facts);
    if (facts->error()) return *facts->error();
  } else {
    MachineFacts none;
    machine->Read(none);
  }
  // The processes file is read at every snapshot; what stands in its place
  // is checked now, before anything runs.
  if (auto processes = ReadHostFile(machine->processes_file_, "CreateToolhelp32Snapshot");
      !processes) {
    return processes.error();
  }
  return machine;
}

SimulatedMachine::SimulatedMachine(const std::filesystem::path& prefix, FileSystem& files,
                                   FaultInjector& faults)
    : files_(files), processes_file_(prefix / kProcessesFile), faults_(faults) {}

void SimulatedMachine::Read(MachineFacts& facts) {
  constexpr int kMaxInt = std::numeric_limits<int>::max();
  const auto exe = Named(facts, "Self", "Exe", "a Windows path");
  self_exe_ = exe.value_or(DefaultSelfExecutable());
  self_version_ = SelfVersion(facts.Text("Self", "FileVersion"));
  // A machine that does not name the program's executable runs this very
  // binary from the host's build: its folder is then the build folder, so
  // that the single-use deletions never reach the host's own files.
  const std::string default_build_folder =
      exe ? std::string(kDefaultBuildFolder) : self_exe_.substr(0, self_exe_.rfind('\\') + 1);
  build_folder_ = WithTrailingBackslash(
      Named(facts, "Self", "BuildFolder", "a Windows path").value_or(default_build_folder));

  locale_ = ReadLocale(facts);
  if (const auto now = facts.Text("Clock", "Now")) {
    frozen_now_ = ParseLocalTime(*now);
    if (!frozen_now_) facts.Refuse("Clock", "Now", "a date and time \"YYYY-MM-DD hh:mm:ss\"");
  }

  processor_brand_ = facts.Text("Processor", "Brand").value_or(host::ProcessorBrand());
  physical_cores_ = facts.Whole<int>("Processor", "PhysicalCores", 1, 255)
                        .value_or(std::clamp(host::PhysicalCores(), 0, 255));
  memory_ = ReadMemory(facts);

  display_device0_ = facts.Text("Display", "Device0");
  monitors_ = facts.Whole<int>("Display", "Monitors", 0, kMaxInt).value_or(1);
  screen_.width = facts.Whole<int>("Display", "Width", 0, kMaxInt).value_or(kDefaultScreen.width);
  screen_.height =
      facts.Whole<int>("Display", "Height", 0, kMaxInt).value_or(kDefaultScreen.height);

  for (const std::string& key : facts.Keys("Disks")) {
    const auto disk = ParseDisk(facts.Text("Disks", key).value_or(""));
    if (key.size() != 1 || !std::isalpha(static_cast<unsigned char>(key[0])) || !disk) {
      facts.Refuse("Disks", key, "a drive letter given \"FREE TOTAL\" (bytes) or \"fail\"");
      continue;
    }
    disks_[static_cast<char>(std::toupper(static_cast<unsigned char>(key[0])))] = *disk;
  }

  windows_folder_ = WithoutTrailingBackslash(
      Named(facts, "Windows", "Folder", "a Windows path").value_or(kDefaultWindowsFolder));
  service_pack_ = facts.Text("Windows", "ServicePack").value_or("");
  xp64_ = facts.Flag("Windows", "Xp64").value_or(false);
  administrator_ = facts.Flag("Windows", "Administrator").value_or(true);

  for (const std::string& key : facts.Keys("Services")) {
    const auto status = ParseService(facts.Text("Services", key).value_or(""));
    if (!status) {
      facts.Refuse("Services", key,
                   "a state code from 1 to 7, \"unopenable\", \"nomanager\" or \"queryfailed\"");
      continue;
    }
    services_.emplace(UpperCase(key), *status);
  }

  if (const auto url = facts.Text("Network", "VersionURL"); url && !url->empty()) {
    version_url_ = *url;
  }

  for (const std::string& key : facts.Keys("Faults")) {
    const auto operation = FaultNamed(key);
    if (!operation) {
      facts.Refuse("Faults", key, "a fault of an operation platform/posix/faults.h names");
    } else if (const auto nth = facts.Whole<int>("Faults", key, 1, kMaxInt)) {
      fault_rules_.emplace_back(*operation, *nth);
    }
  }
}

Result<MemoryStatus> SimulatedMachine::QueryMemory() {
  if (!memory_ || faults_.ShouldFail(FaultOperation::kGlobalMemoryStatusEx)) {
    return MakeError(Errc::kIo, "GlobalMemoryStatusEx", "");
  }
  return *memory_;
}

ServiceStatus SimulatedMachine::QueryService(std::string_view name) {
  if (faults_.ShouldFail(FaultOperation::kOpenSCManager))
    return {ServiceStatus::Outcome::kNoManager, 0};
  const auto it = services_.find(UpperCase(name));
  // Wine installs no time service: the manager opens, the service does not.
  if (it == services_.end()) return {ServiceStatus::Outcome::kServiceUnopenable, 0};
  return it->second;
}

Result<std::vector<ProcessEntry>> SimulatedMachine::SnapshotProcesses() {
  if (faults_.ShouldFail(FaultOperation::kCreateToolhelp32Snapshot)) {
    return MakeError(Errc::kIo, "CreateToolhelp32Snapshot", "");
  }
  auto read = ReadHostFile(processes_file_, "CreateToolhelp32Snapshot");
  if (!read) return read.error();
  if (const std::optional<std::string>& text = *read) {
    constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
    std::string_view names = *text;
    if (names.starts_with(kUtf8Mark)) names.remove_prefix(kUtf8Mark.size());
    return ParseProcessesFile(names);
  }
  return host::Processes();
}

LocalTime SimulatedMachine::Now() {
  if (frozen_now_) return *frozen_now_;
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  return LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
                   tm.tm_min,         tm.tm_sec,     tm.tm_wday};
}

std::optional<VersionInfo> SimulatedMachine::ReadVersionInfo(std::string_view path) {
  if (faults_.ShouldFail(FaultOperation::kGetFileVersionInfo)) return std::nullopt;
  if (EqualsIgnoreCase(path, self_exe_)) return self_version_;
  const auto bytes = files_.ReadAll(path);
  if (!bytes) return std::nullopt;
  return ReadPeVersionInfo(*bytes);
}

// The processes file lies in the prefix folder: the machine whose copy is claimed.
bool SimulatedMachine::ClaimSingleRun() {
  return single_run_.TryLock(processes_file_.parent_path());
}

std::vector<ProcessEntry> ParseProcessesFile(std::string_view text) {
  std::vector<ProcessEntry> processes;
  std::uint32_t next_id = 4;
  for (const std::string& line : SplitLines(text)) {
    const std::string_view entry = Trim(line);
    const auto blank = entry.find_first_of(" \t");
    if (blank == std::string_view::npos) continue;
    const auto threads = ParseWhole<std::uint32_t>(entry.substr(0, blank));
    const std::string_view name = Trim(entry.substr(blank));
    if (!threads || name.empty()) continue;
    processes.push_back(ProcessEntry{std::string(name), next_id, *threads});
    next_id += 4;
  }
  return processes;
}

namespace host {

namespace {

// "key : value" lines of a /proc file.
std::vector<std::pair<std::string, std::string>> ProcFields(const char* file) {
  std::vector<std::pair<std::string, std::string>> fields;
  for (const std::string& line : SplitLines(ReadProcFile(file).value_or(std::string()))) {
    const auto colon = line.find(':');
    if (colon == std::string::npos) continue;
    fields.emplace_back(std::string(Trim(std::string_view(line).substr(0, colon))),
                        std::string(Trim(std::string_view(line).substr(colon + 1))));
  }
  return fields;
}

}  // namespace

std::string ProcessorBrand() {
  for (const auto& [key, value] : ProcFields("/proc/cpuinfo")) {
    if (key == "model name") return value;
  }
  return {};
}

int PhysicalCores() {
  std::set<std::pair<std::string, std::string>> cores;  // (physical id, core id)
  std::string package;
  for (const auto& [key, value] : ProcFields("/proc/cpuinfo")) {
    if (key == "physical id") package = value;
    if (key == "core id") cores.emplace(package, value);
  }
  if (!cores.empty()) return static_cast<int>(cores.size());
  return static_cast<int>(std::thread::hardware_concurrency());
}

std::optional<MemoryStatus> Memory() {
  std::optional<std::uint64_t> total, available;
  for (const auto& [key, value] : ProcFields("/proc/meminfo")) {
    const auto words = SplitBlanks(value);
    if (words.empty()) continue;
    const auto kib = ParseWhole<std::uint64_t>(words[0]);
    if (key == "MemTotal") total = kib;
    if (key == "MemAvailable") available = kib;
  }
  if (!total || !available) return std::nullopt;
  return MemoryStatus{*total * 1024, *available * 1024};
}

std::vector<ProcessEntry> Processes() {
  const auto processors = std::max(1u, std::thread::hardware_concurrency());
  std::vector<ProcessEntry> processes{{"[System Process]", 0, processors}};
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
    const std::string pid_text = entry.path().filename().string();
    const auto pid = ParseWhole<std::uint32_t>(pid_text);
    if (!pid) continue;
    // /proc/PID/stat: "pid (comm) state ppid ..."; the thread count is the
    // 18th field after the command.
    const auto stat = ReadProcFile(entry.path() / "stat");
    if (!stat) continue;
    const auto open = stat->find('(');
    const auto close = stat->rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open) continue;
    const auto fields = SplitBlanks(std::string_view(*stat).substr(close + 1));
    if (fields.size() < 18) continue;
    const auto threads = ParseWhole<std::uint32_t>(fields[17]);
    std::error_code link_error;
    const auto exe = std::filesystem::read_symlink(entry.path() / "exe", link_error);
    std::string name =
        link_error ? stat->substr(open + 1, close - open - 1) : exe.filename().string();
    processes.push_back(ProcessEntry{std::move(name), *pid, threads.value_or(1)});
  }
  return processes;
}

}  // namespace host

}  // namespace platform::posix
