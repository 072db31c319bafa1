#include "platform/posix/simulated_machine.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <ctime>
#include <fstream>
#include <iomanip>
#include <iterator>
#include <set>
#include <sstream>
#include <system_error>
#include <thread>

#include "platform/codepage.h"
#include "platform/pe_version.h"
#include "platform/posix/faults.h"
#include "platform/profile_rules.h"
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

std::optional<std::string> ReadHostFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

template <class Number>
std::optional<Number> ParseNumber(std::string_view text) {
  text = Trim(text);
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
    return std::nullopt;
  }
  return value;
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

// The facts file: a key given (even empty) or not given at all.
class Facts {
 public:
  explicit Facts(std::string bytes) : bytes_(std::move(bytes)) {}

  std::optional<std::string> Get(std::string_view section, std::string_view key) const {
    // A fallback no facts file holds tells an absent key from an empty one.
    constexpr std::string_view kAbsent = "\x01";
    // Read as the W function reads: a UTF-8 facts file may name any folder.
    std::string value =
        LookupProfileString(bytes_, section, key, kAbsent, kBufferSize, ProfileApi::kWide);
    if (value == kAbsent) return std::nullopt;
    return value;
  }
  std::string Get(std::string_view section, std::string_view key, std::string fallback) const {
    return Get(section, key).value_or(std::move(fallback));
  }
  template <class Number>
  std::optional<Number> Numeric(std::string_view section, std::string_view key) const {
    const auto text = Get(section, key);
    return text ? ParseNumber<Number>(*text) : std::nullopt;
  }
  bool Flag(std::string_view section, std::string_view key, bool fallback) const {
    const auto value = Numeric<int>(section, key);
    return value ? *value != 0 : fallback;
  }
  // The keys of a section. Every "name=" of the file is a candidate; the
  // profile rules decide which of them the section holds.
  std::vector<std::string> Keys(std::string_view section) const {
    std::vector<std::string> keys;
    for (const std::string& line : SplitLines(Cp1252ToUtf8(bytes_))) {
      const auto equals = line.find('=');
      if (equals == std::string::npos) continue;
      std::string key(Trim(std::string_view(line).substr(0, equals)));
      const bool seen = std::any_of(keys.begin(), keys.end(), [&](const std::string& known) {
        return EqualsIgnoreCase(known, key);
      });
      if (!key.empty() && !seen && Get(section, key)) keys.push_back(std::move(key));
    }
    return keys;
  }

 private:
  static constexpr std::size_t kBufferSize = 4096;
  std::string bytes_;
};

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
    const auto number = ParseNumber<std::uint16_t>(rest.substr(0, dot));
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
  if (in.fail()) return std::nullopt;
  tm.tm_isdst = -1;
  std::tm normalised = tm;
  // timegm normalises the fields and fills in the weekday without a time zone.
  if (timegm(&normalised) == -1 || normalised.tm_mday != tm.tm_mday) return std::nullopt;
  return LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,        tm.tm_hour,
                   tm.tm_min,         tm.tm_sec,     normalised.tm_wday};
}

LocaleInfo ReadLocale(const Facts& facts) {
  LocaleInfo locale;
  locale.language_native_name = facts.Get("Locale", "LanguageName", "Français");
  locale.decimal_separator = facts.Get("Locale", "DecimalSeparator", ",");
  locale.date_separator = facts.Get("Locale", "DateSeparator", "/");
  locale.time_separator = facts.Get("Locale", "TimeSeparator", ":");
  locale.weekday_names = {"dimanche", "lundi", "mardi", "mercredi", "jeudi", "vendredi", "samedi"};
  if (const auto weekdays = facts.Get("Locale", "Weekdays")) {
    const auto names = SplitBlanks(*weekdays);
    if (names.size() == 7) {
      for (std::size_t i = 0; i < 7; ++i) locale.weekday_names[i] = std::string(names[i]);
    }
  }
  return locale;
}

std::optional<MemoryStatus> ReadMemory(const Facts& facts) {
  if (facts.Flag("Memory", "Fail", false)) return std::nullopt;
  const auto total = facts.Numeric<std::uint64_t>("Memory", "Total");
  const auto free = facts.Numeric<std::uint64_t>("Memory", "Free");
  std::optional<MemoryStatus> memory;
  if (!total || !free) memory = host::Memory();
  if (!memory) memory = MemoryStatus{};
  if (total) memory->total_bytes = *total;
  if (free) memory->available_bytes = *free;
  return memory;
}

// "FREE TOTAL" or "fail"; nullopt for anything else (the host answers).
std::optional<std::optional<DiskSpace>> ParseDisk(std::string_view text) {
  if (EqualsIgnoreCase(Trim(text), "fail")) return std::optional<DiskSpace>();
  const auto words = SplitBlanks(text);
  if (words.size() != 2) return std::nullopt;
  const auto free = ParseNumber<std::uint64_t>(words[0]);
  const auto total = ParseNumber<std::uint64_t>(words[1]);
  if (!free || !total) return std::nullopt;
  return std::optional<DiskSpace>(DiskSpace{*free, *total});
}

std::optional<ServiceStatus> ParseService(std::string_view text) {
  using Outcome = ServiceStatus::Outcome;
  text = Trim(text);
  if (EqualsIgnoreCase(text, "unopenable")) return ServiceStatus{Outcome::kServiceUnopenable, 0};
  if (EqualsIgnoreCase(text, "nomanager")) return ServiceStatus{Outcome::kNoManager, 0};
  if (EqualsIgnoreCase(text, "queryfailed")) return ServiceStatus{Outcome::kQueryFailed, 0};
  if (const auto state = ParseNumber<std::uint32_t>(text)) {
    return ServiceStatus{Outcome::kQueried, *state};
  }
  return std::nullopt;
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

SimulatedMachine::SimulatedMachine(const std::filesystem::path& prefix, FileSystem& files,
                                   FaultInjector& faults)
    : files_(files),
      processes_file_(prefix / kProcessesFile),
      faults_(faults),
      facts_file_(prefix / kMachineFactsFile) {
  const Facts facts(ReadHostFile(facts_file_).value_or(std::string()));

  const auto exe = facts.Get("Self", "Exe");
  self_exe_ = exe.value_or(DefaultSelfExecutable());
  self_version_ = SelfVersion(facts.Get("Self", "FileVersion"));
  // A machine that does not name the program's executable runs this very
  // binary from the host's build: its folder is then the build folder, so
  // that the single-use deletions never reach the host's own files.
  const std::string default_build_folder =
      exe ? std::string(kDefaultBuildFolder) : self_exe_.substr(0, self_exe_.rfind('\\') + 1);
  build_folder_ = WithTrailingBackslash(facts.Get("Self", "BuildFolder", default_build_folder));

  locale_ = ReadLocale(facts);
  if (const auto now = facts.Get("Clock", "Now")) frozen_now_ = ParseLocalTime(*now);

  processor_brand_ = facts.Get("Processor", "Brand").value_or(host::ProcessorBrand());
  physical_cores_ = std::clamp(
      facts.Numeric<int>("Processor", "PhysicalCores").value_or(host::PhysicalCores()), 0, 255);
  memory_ = ReadMemory(facts);

  display_device0_ = facts.Get("Display", "Device0");
  monitors_ = facts.Numeric<int>("Display", "Monitors").value_or(1);
  screen_.width = facts.Numeric<int>("Display", "Width").value_or(kDefaultScreen.width);
  screen_.height = facts.Numeric<int>("Display", "Height").value_or(kDefaultScreen.height);

  for (const std::string& key : facts.Keys("Disks")) {
    if (key.size() != 1 || !std::isalpha(static_cast<unsigned char>(key[0]))) continue;
    if (const auto disk = ParseDisk(facts.Get("Disks", key, ""))) {
      disks_[static_cast<char>(std::toupper(static_cast<unsigned char>(key[0])))] = *disk;
    }
  }

  windows_folder_ = WithoutTrailingBackslash(facts.Get("Windows", "Folder", kDefaultWindowsFolder));
  service_pack_ = facts.Get("Windows", "ServicePack", "");
  xp64_ = facts.Flag("Windows", "Xp64", false);
  administrator_ = facts.Flag("Windows", "Administrator", true);

  for (const std::string& key : facts.Keys("Services")) {
    if (const auto status = ParseService(facts.Get("Services", key, ""))) {
      services_.emplace(UpperCase(key), *status);
    }
  }

  if (const auto url = facts.Get("Network", "VersionURL"); url && !Trim(*url).empty()) {
    version_url_ = std::string(Trim(*url));
  }

  for (const std::string& key : facts.Keys("Faults")) {
    const auto operation = FaultNamed(key);
    if (!operation) {
      if (!unknown_fault_) unknown_fault_ = key;
    } else if (const auto nth = facts.Numeric<int>("Faults", key); nth && *nth > 0) {
      fault_rules_.emplace_back(*operation, *nth);
    }
  }
}

Result<std::vector<std::pair<FaultOperation, int>>> SimulatedMachine::FaultRules() const {
  if (unknown_fault_) {
    return MakeError(Errc::kInvalidData, "OpenPlatform", facts_file_.string(), 0,
                     "[Faults] " + *unknown_fault_ + ": no platform operation of that name");
  }
  return fault_rules_;
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
  if (const auto text = ReadHostFile(processes_file_)) {
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
    const auto threads = ParseNumber<std::uint32_t>(entry.substr(0, blank));
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
  for (const std::string& line : SplitLines(ReadHostFile(file).value_or(std::string()))) {
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
    const auto kib = ParseNumber<std::uint64_t>(words[0]);
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
    const auto pid = ParseNumber<std::uint32_t>(pid_text);
    if (!pid) continue;
    // /proc/PID/stat: "pid (comm) state ppid ..."; the thread count is the
    // 18th field after the command.
    const auto stat = ReadHostFile(entry.path() / "stat");
    if (!stat) continue;
    const auto open = stat->find('(');
    const auto close = stat->rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open) continue;
    const auto fields = SplitBlanks(std::string_view(*stat).substr(close + 1));
    if (fields.size() < 18) continue;
    const auto threads = ParseNumber<std::uint32_t>(fields[17]);
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
