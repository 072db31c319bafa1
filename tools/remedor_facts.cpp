// remedor-facts: writes the facts of the machine it runs on as a facts file and
// a processes file (see platform/posix/simulated_machine.h), so that a
// simulated machine can stand in for this one. Built by both builds; the Wine
// agreement test runs the Windows one under wine64 to give the native run the
// facts the Windows build sees.
//
//   remedor-facts FACTS_FILE PROCESSES_FILE TOOL_EXE [SERVICE...]
//
// TOOL_EXE is the tool's executable the facts describe ([Self]); each SERVICE
// is asked of the service manager. The clock is left to run.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/arguments.h"
#include "platform/platform.h"

namespace {

std::string Join(const auto& words) {
  std::string text;
  for (const std::string& word : words) text += (text.empty() ? "" : " ") + word;
  return text;
}

std::string ServiceFact(const platform::ServiceStatus& status) {
  using Outcome = platform::ServiceStatus::Outcome;
  switch (status.outcome) {
    case Outcome::kQueried:
      return std::to_string(status.current_state);
    case Outcome::kNoManager:
      return "nomanager";
    case Outcome::kServiceUnopenable:
      return "unopenable";
    case Outcome::kQueryFailed:
      break;
  }
  return "queryfailed";
}

bool WriteFile(platform::Platform& os, const std::string& path, const std::string& bytes) {
  auto file = os.files().OpenFile(path, platform::OpenMode::kCreateAlways, 0);
  const bool written = file && (*file)->Write(bytes.data(), bytes.size());
  if (!written) std::fprintf(stderr, "remedor-facts: cannot write %s\n", path.c_str());
  return written;
}

// One line a process, as the snapshot lists them: its thread count, a blank,
// its name (UTF-8).
bool WriteProcesses(platform::Platform& os, const std::string& path) {
  const auto processes = os.machine().SnapshotProcesses();
  if (!processes) {
    std::fprintf(stderr, "remedor-facts: %s\n", processes.error().Message().c_str());
    return false;
  }
  std::string text;
  for (const platform::ProcessEntry& process : *processes) {
    text += std::to_string(process.threads) + " " + process.exe_file + "\n";
  }
  return WriteFile(os, path, text);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args = platform::ProgramArguments(argc, argv);
  if (args.size() < 3) {
    std::fprintf(stderr, "usage: remedor-facts FACTS_FILE PROCESSES_FILE TOOL_EXE [SERVICE...]\n");
    return 2;
  }
  auto opened = platform::OpenPlatform({});
  if (!opened) {
    std::fprintf(stderr, "remedor-facts: %s\n", opened.error().Message().c_str());
    return 2;
  }
  platform::Platform& os = **opened;
  platform::Machine& machine = os.machine();
  const std::string &file = args[0], &processes_file = args[1], &exe = args[2];
  // The profile functions keep a file's encoding: begun with a UTF-8
  // byte-order mark, it holds names outside Windows-1252 (a Cyrillic folder).
  bool written = WriteFile(os, file, "\xEF\xBB\xBF");
  const auto put = [&](const char* section, const std::string& key, const std::string& value) {
    // The profile functions trim a value's blanks unless it is quoted (the
    // processor's brand string is padded).
    const bool padded = !value.empty() && (value.front() == ' ' || value.back() == ' ');
    written =
        os.profile().WriteString(section, key, padded ? '"' + value + '"' : value, file).ok() &&
        written;
  };

  put("Self", "Exe", exe);
  const auto version = machine.ReadVersionInfo(exe);
  put("Self", "FileVersion", version ? version->DottedFileVersion() : "");
  put("Self", "BuildFolder", machine.BuildFolder());

  const platform::LocaleInfo locale = machine.UserLocale();
  put("Locale", "LanguageName", locale.language_native_name);
  put("Locale", "DecimalSeparator", locale.decimal_separator);
  put("Locale", "DateSeparator", locale.date_separator);
  put("Locale", "TimeSeparator", locale.time_separator);
  put("Locale", "Weekdays", Join(locale.weekday_names));

  put("Processor", "Brand", machine.ProcessorBrand());
  put("Processor", "PhysicalCores", std::to_string(machine.PhysicalCores()));

  if (const auto memory = machine.QueryMemory()) {
    put("Memory", "Total", std::to_string(memory->total_bytes));
    put("Memory", "Free", std::to_string(memory->available_bytes));
  } else {
    put("Memory", "Fail", "1");
  }

  if (const auto device = machine.DisplayDevice0()) put("Display", "Device0", *device);
  put("Display", "Monitors", std::to_string(machine.MonitorCount()));
  const platform::ScreenSize screen = machine.PrimaryScreen();
  put("Display", "Width", std::to_string(screen.width));
  put("Display", "Height", std::to_string(screen.height));

  for (char drive = 'A'; drive <= 'Z'; ++drive) {
    const std::string root = std::string(1, drive) + ":\\";
    if (!os.files().IsFixedDrive(root)) continue;
    const auto space = os.files().GetDiskFreeSpace(root);
    put("Disks", std::string(1, drive),
        space ? std::to_string(space->free_bytes) + " " + std::to_string(space->total_bytes)
              : "fail");
  }

  put("Windows", "Folder", machine.WindowsFolder());
  put("Windows", "ServicePack", machine.ServicePack());
  put("Windows", "Xp64", machine.IsWindowsXp64() ? "1" : "0");
  put("Windows", "Administrator", machine.IsAdministrator() ? "1" : "0");

  for (std::size_t i = 3; i < args.size(); ++i) {
    put("Services", args[i], ServiceFact(machine.QueryService(args[i])));
  }

  if (!written) {
    std::fprintf(stderr, "remedor-facts: cannot write %s\n", file.c_str());
    return 1;
  }
  return WriteProcesses(os, processes_file) ? 0 : 1;
}
