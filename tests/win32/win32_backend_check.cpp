// Runs the Win32 backend against the real API (under wine64 in the tests) and
// prints what it answered, one "key=value" line each, in UTF-8. The native test
// tests/wine/win32_backend_test.cpp prepares the fixtures, runs one command and
// checks the lines and what the command left in the prefix.
//
//   win32_backend_check registry TAG       keys below Software\TAG
//   win32_backend_check files FOLDER       FOLDER prepared by the test
//   win32_backend_check types FOLDER NAME  existence from listings, FOLDER and
//                                          syswow64\NAME prepared by the test
//   win32_backend_check profile FOLDER     FOLDER\Été\réglages.ini prepared by the test
//   win32_backend_check version FILE       the version resource of FILE
//   win32_backend_check machine            machine facts, processes, locale
//   win32_backend_check download URL FILE
//   win32_backend_check clipboard TEXT-FILE  round trip of the file's UTF-8 text
//   win32_backend_check resource EXE       size and FNV-1a digest of its 7ZIP_LIBRARY
#include "platform/win32/windows_api.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <utility>

#include "platform/platform.h"
#include "platform/result.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_ui.h"

namespace {

using platform::Errc;

void Print(std::string_view key, std::string_view value) {
  std::string line(key);
  line += '=';
  line += value;
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), stdout);
}

void Print(std::string_view key, std::uint64_t value) { Print(key, std::to_string(value)); }

const char* ErrcName(Errc code) {
  switch (code) {
    case Errc::kFileNotFound:
      return "kFileNotFound";
    case Errc::kPathNotFound:
      return "kPathNotFound";
    case Errc::kAccessDenied:
      return "kAccessDenied";
    case Errc::kAlreadyExists:
      return "kAlreadyExists";
    case Errc::kNotADirectory:
      return "kNotADirectory";
    case Errc::kBadPathname:
      return "kBadPathname";
    case Errc::kInvalidData:
      return "kInvalidData";
    case Errc::kBusy:
      return "kBusy";
    case Errc::kNotSupported:
      return "kNotSupported";
    case Errc::kIo:
      return "kIo";
  }
  return "?";
}

template <class R>
std::string Outcome(const R& result) {
  return result.ok() ? "ok" : ErrcName(result.error().code);
}

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%x", value);
  return text;
}

// --- registry --------------------------------------------------------------

void PrintValue(platform::Registry& registry, platform::Registry::Key key, std::string_view label,
                std::string_view name) {
  const auto value = registry.QueryValue(key, name);
  const std::string prefix = std::string(label) + ".";
  Print(prefix + "query", Outcome(value));
  if (!value) return;
  Print(prefix + "type", value->type);
  Print(prefix + "size", value->data.size());
  if (value->type == platform::reg_type::kSz || value->type == platform::reg_type::kExpandSz) {
    Print(prefix + "text", value->Text());
  }
}

// Values the backend cannot write (other types, a string without its NUL),
// put in place with the API itself through the same 32-bit view.
void SeedRawValues(const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &key) !=
      ERROR_SUCCESS) {
    return;
  }
  const DWORD number = 42;
  RegSetValueExW(key, L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                 sizeof number);
  static const wchar_t kUnterminated[] = L"abc";
  RegSetValueExW(key, L"Unterminated", 0, REG_SZ, reinterpret_cast<const BYTE*>(kUnterminated),
                 3 * sizeof(wchar_t));
  RegSetValueExW(key, L"Empty", 0, REG_SZ, nullptr, 0);
  RegCloseKey(key);
}

int Registry(platform::Platform& os, const std::string& tag) {
  auto& registry = os.registry();
  using platform::RootKey;
  const std::string path = "Software\\" + tag + "\\Sub";

  auto created = registry.CreateKey(RootKey::kLocalMachine, path);
  Print("create", Outcome(created));
  if (!created) return 1;
  Print("set.name", Outcome(registry.SetStringValue(*created, "Name", "Valeur é Ж")));
  Print("set.default", Outcome(registry.SetStringValue(*created, "", "défaut")));
  registry.CloseKey(*created);
  SeedRawValues(*platform::win32::ToWide(path));

  auto opened = registry.OpenKey(RootKey::kLocalMachine, path + "\\", platform::KeyAccess::kRead);
  Print("open.trailing_backslash", Outcome(opened));
  if (opened) {
    PrintValue(registry, *opened, "name", "Name");
    PrintValue(registry, *opened, "default", "");
    PrintValue(registry, *opened, "number", "Number");
    PrintValue(registry, *opened, "unterminated", "Unterminated");
    PrintValue(registry, *opened, "empty", "Empty");
    PrintValue(registry, *opened, "missing", "Missing");
    registry.CloseKey(*opened);
  }

  const std::string absent = "Software\\" + tag + "\\Absent";
  Print("open.absent",
        Outcome(registry.OpenKey(RootKey::kLocalMachine, absent, platform::KeyAccess::kAll)));
  Print("open.absent_again",
        Outcome(registry.OpenKey(RootKey::kLocalMachine, absent, platform::KeyAccess::kRead)));
  Print("create.nul_in_path",
        Outcome(registry.CreateKey(RootKey::kLocalMachine, path + std::string(1, '\0') + "x")));

  auto user = registry.CreateKey(RootKey::kCurrentUser, "Software\\" + tag + "\\RunOnce");
  Print("create.user", Outcome(user));
  if (user) {
    Print("set.user", Outcome(registry.SetStringValue(*user, "DelRemedor", "cmd /C \"del x\"")));
    registry.CloseKey(*user);
  }
  return 0;
}

// --- files -----------------------------------------------------------------

const char* TypeName(platform::EntryType type) {
  switch (type) {
    case platform::EntryType::kFile:
      return "file";
    case platform::EntryType::kFolder:
      return "folder";
    case platform::EntryType::kAbsent:
      break;
  }
  return "absent";
}

// TypeOf beside GetFileAttributes, "listing|attributes", for each path: at
// first, right after changes made behind the listings' back, and once the
// listings' "present" answers have expired.
int Types(platform::Platform& os, const std::string& folder, const std::string& system_name) {
  platform::FileSystem& files = os.files();
  const std::pair<const char*, std::string> paths[] = {
      {"file", folder + "\\Data\\Track.DAT"},
      {"file_case", folder + "\\DATA\\track.dat"},
      {"file_dots", folder + "\\Data\\Track.DAT. "},
      {"folder", folder + "\\maps"},
      {"folder_slash", folder + "\\Maps\\"},
      {"missing", folder + "\\Data\\absent.dat"},
      {"missing_folder", folder + "\\Nowhere\\x.dat"},
      {"under_file", folder + "\\Data\\Track.DAT\\x"},
      {"pattern", folder + "\\Data\\*.DAT"},
      {"root", "C:\\"},
      {"system32", "C:\\windows\\System32\\" + system_name},
      {"sysnative", "C:\\windows\\Sysnative\\" + system_name},
      {"new", folder + "\\Data\\new.dat"},
      {"gone", folder + "\\Data\\gone.dat"},
      {"becomes", folder + "\\Becomes"},
  };
  const auto show = [&](const std::string& phase) {
    for (const auto& [label, path] : paths) {
      const auto attributes = files.GetAttributes(path);
      const char* by_attributes = !attributes                                            ? "absent"
                                  : (*attributes & platform::file_attribute::kDirectory) ? "folder"
                                                                                         : "file";
      Print(std::string(label) + "." + phase,
            std::string(TypeName(files.TypeOf(path))) + "|" + by_attributes);
    }
  };
  show("first");
  (void)files.WriteAll(folder + "\\Data\\new.dat", "new");
  (void)files.DeleteSilently(folder + "\\Data\\gone.dat");
  (void)files.DeleteSilently(folder + "\\Becomes");
  (void)files.WriteAll(folder + "\\Becomes", "a file now");
  show("at_once");
  Sleep(1100);
  show("later");
  return 0;
}

void PrintListing(platform::FileSystem& files, std::string_view label, const std::string& pattern) {
  const auto found = files.FindFiles(pattern);
  Print(std::string(label) + ".find", Outcome(found));
  if (!found) return;
  for (const auto& entry : *found) {
    Print(std::string(label) + ".entry", entry.name + "|" + Hex(entry.attributes) + "|" +
                                             std::to_string(entry.size) + "|" +
                                             std::to_string(entry.last_write));
  }
}

int Files(platform::Platform& os, const std::string& folder) {
  auto& files = os.files();
  using platform::OpenMode;
  PrintListing(files, "all", folder + "\\*");
  PrintListing(files, "mask", folder + "\\*.txt");
  PrintListing(files, "cyrillic", folder + "\\Привет*");
  PrintListing(files, "no_match", folder + "\\*.none");
  PrintListing(files, "missing_folder", folder + "\\Absent\\*");
  PrintListing(files, "file_as_folder", folder + "\\b.txt\\*");

  const std::string created = folder + "\\Nouveau dossier ñ";
  Print("mkdir", Outcome(files.CreateDirectory(created)));
  Print("mkdir.again", Outcome(files.CreateDirectory(created)));
  Print("mkdir.missing_parent", Outcome(files.CreateDirectory(folder + "\\Absent\\x")));

  const std::string data = created + "\\Ωmega.bin";
  constexpr platform::FileTime kWritten = 130000000000000000ull;  // 2012-12-15
  {
    auto file = files.OpenFile(data, OpenMode::kCreateAlways, platform::file_attribute::kArchive);
    Print("create_file", Outcome(file));
    if (!file) return 1;
    const auto wrote = (*file)->Write("hello world", 11);
    Print("write", wrote ? std::to_string(*wrote) : Outcome(wrote));
    auto position = (*file)->Seek(6, platform::SeekOrigin::kBegin);
    Print("seek", position ? std::to_string(*position) : Outcome(position));
    char buffer[16] = {};
    const auto got = (*file)->Read(buffer, sizeof buffer);
    Print("read", got ? std::string(buffer, *got) : Outcome(got));
    position = (*file)->Seek(-5, platform::SeekOrigin::kEnd);
    Print("seek.end", position ? std::to_string(*position) : Outcome(position));
    const auto size = (*file)->Size();
    Print("size", size ? std::to_string(*size) : Outcome(size));
    Print("set_time", Outcome((*file)->SetLastWriteTime(kWritten)));
  }
  {
    auto locked = files.OpenFile(data, OpenMode::kRead);
    Print("open_read", Outcome(locked));
    // Read sharing only: a second writer is refused while the reader is open.
    Print("open_write_while_read", Outcome(files.OpenFile(data, OpenMode::kCreateAlways)));
  }
  Print("open_missing", Outcome(files.OpenFile(folder + "\\absent.bin", OpenMode::kRead)));
  const auto listed = files.FindFiles(data);
  if (listed && listed->size() == 1) Print("written_time", listed->front().last_write);
  const auto content = files.ReadAll(data);
  Print("read_all", content ? *content : Outcome(content));

  Print("move", Outcome(files.MoveFile(data, created + "\\Ωmega-2.bin")));
  Print("move.missing", Outcome(files.MoveFile(data, created + "\\x.bin")));
  Print("move.onto_existing",
        Outcome(files.MoveFile(created + "\\Ωmega-2.bin", folder + "\\b.txt")));
  Print("move.folder", Outcome(files.MoveFile(folder + "\\Été", folder + "\\Ete renamed")));

  Print("set_attributes",
        Outcome(files.SetAttributes(folder + "\\b.txt", platform::file_attribute::kHidden)));
  const auto attributes = files.GetAttributes(folder + "\\b.txt");
  Print("attributes", attributes ? Hex(*attributes) : "none");
  Print("attributes.missing", files.GetAttributes(folder + "\\absent") ? "some" : "none");
  Print("attributes.nul", files.GetAttributes(folder + std::string(1, '\0')) ? "some" : "none");
  Print("is_folder", files.IsFolder(created) ? "yes" : "no");
  Print("is_file", files.IsFile(created) ? "yes" : "no");

  Print("delete.tree", Outcome(files.DeleteSilently(folder + "\\trash")));
  Print("delete.mask", Outcome(files.DeleteSilently(folder + "\\*.del")));
  Print("delete.nothing", Outcome(files.DeleteSilently(folder + "\\*.nothing")));

  const std::string before = files.CurrentDirectory();
  Print("chdir", Outcome(files.SetCurrentDirectory(created)));
  Print("cwd", files.CurrentDirectory());
  Print("relative_exists", files.Exists("Ωmega-2.bin") ? "yes" : "no");
  Print("chdir.missing", Outcome(files.SetCurrentDirectory(folder + "\\Absent")));
  Print("chdir.back", Outcome(files.SetCurrentDirectory(before)));

  const auto space = files.GetDiskFreeSpace("C:\\");
  Print("disk", Outcome(space));
  if (space) {
    Print("disk.total_nonzero", space->total_bytes > 0 ? "yes" : "no");
    Print("disk.free_within_total", space->free_bytes <= space->total_bytes ? "yes" : "no");
  }
  Print("disk.missing_drive", Outcome(files.GetDiskFreeSpace("Q:\\")));
  Print("fixed.c", files.IsFixedDrive("C:\\") ? "yes" : "no");
  Print("fixed.q", files.IsFixedDrive("Q:\\") ? "yes" : "no");
  return 0;
}

// --- profile ---------------------------------------------------------------

// The file is FOLDER\Été\réglages.ini, in Windows-1252.
int Profile(platform::Platform& os, const std::string& folder) {
  auto& profile = os.profile();
  const std::string file = folder + "\\Été\\réglages.ini";
  // Names differing in the case of ASCII letters: Wine folds only those.
  Print("value", profile.GetString("réglages", "cLé", "", 256, file));
  Print("cut", profile.GetString("Réglages", "Clé", "", 4, file));
  Print("indented", profile.GetString("Réglages", "indented", "", 256, file));
  Print("quoted", profile.GetString("Réglages", "quoted", "", 256, file));
  Print("missing_key", profile.GetString("Réglages", "absent", "0  ", 256, file));
  Print("missing_file", profile.GetString("Réglages", "Clé", "défaut", 256, file + ".absent"));
  Print("write", profile.WriteString("Nouvelle", "Clé", "çà et là", file).ok() ? "yes" : "no");
  Print("reread", profile.GetString("Nouvelle", "clé", "", 256, file));
  return 0;
}

// --- version ---------------------------------------------------------------

int Version(platform::Platform& os, const std::string& file) {
  const auto info = os.machine().ReadVersionInfo(file);
  Print("has_version", info ? "yes" : "no");
  if (!info) return 0;
  if (info->file_version) {
    const auto& v = *info->file_version;
    Print("file_version", std::to_string(v[0]) + "." + std::to_string(v[1]) + "." +
                              std::to_string(v[2]) + "." + std::to_string(v[3]));
  }
  for (const auto& [language, code_page] : info->translations) {
    Print("translation", Hex(language) + "/" + Hex(code_page));
  }
  for (const auto& [name, value] : info->strings) Print("string", name + "|" + value);
  return 0;
}

// --- machine ---------------------------------------------------------------

const char* ServiceOutcome(platform::ServiceStatus::Outcome outcome) {
  using Outcome = platform::ServiceStatus::Outcome;
  switch (outcome) {
    case Outcome::kQueried:
      return "queried";
    case Outcome::kNoManager:
      return "no_manager";
    case Outcome::kServiceUnopenable:
      return "unopenable";
    case Outcome::kQueryFailed:
      return "query_failed";
  }
  return "?";
}

int Machine(platform::Platform& os) {
  auto& machine = os.machine();
  const auto memory = machine.QueryMemory();
  Print("memory", Outcome(memory));
  if (memory) {
    Print("memory.total", memory->total_bytes);
    Print("memory.available", memory->available_bytes);
  }
  Print("cpu.brand", machine.ProcessorBrand());
  Print("cpu.cores", static_cast<std::uint64_t>(machine.PhysicalCores()));
  const auto display = machine.DisplayDevice0();
  Print("display0", display ? *display : "(none)");
  Print("monitors", static_cast<std::uint64_t>(machine.MonitorCount()));
  const auto screen = machine.PrimaryScreen();
  Print("screen", std::to_string(screen.width) + "x" + std::to_string(screen.height));
  Print("service_pack", machine.ServicePack());
  Print("xp64", machine.IsWindowsXp64() ? "yes" : "no");
  Print("admin", machine.IsAdministrator() ? "yes" : "no");
  Print("windows", machine.WindowsFolder());
  for (const char* name : {"PlugPlay", "RemedorNoSuchService"}) {
    const auto status = machine.QueryService(name);
    Print(std::string("service.") + name,
          std::string(ServiceOutcome(status.outcome)) + "|" + std::to_string(status.current_state));
  }
  const std::string self = machine.SelfExecutable();
  Print("self", self);
  const auto processes = machine.SnapshotProcesses();
  Print("processes", Outcome(processes));
  if (processes) {
    for (const auto& process : *processes) {
      if (process.process_id == GetCurrentProcessId()) {
        Print("processes.self", process.exe_file + "|" + std::to_string(process.threads));
      }
    }
  }
  const auto locale = machine.UserLocale();
  Print("locale.language", locale.language_native_name);
  Print("locale.decimal", locale.decimal_separator);
  Print("locale.date", locale.date_separator);
  Print("locale.time", locale.time_separator);
  for (const auto& day : locale.weekday_names) Print("locale.day", day);
  const auto now = machine.Now();
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %d", now.year, now.month, now.day,
                now.weekday);
  Print("now", stamp);
  Print("build_folder", machine.BuildFolder());
  Print("version_url_override", machine.VersionUrlOverride() ? "some" : "none");
  return 0;
}

// --- resources -------------------------------------------------------------

int Resource(const std::string& exe) {
  const auto wide = platform::win32::ToWide(exe);
  const HMODULE module =
      wide ? LoadLibraryExW(wide->c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE) : nullptr;
  const HRSRC resource = module ? FindResourceW(module, L"7ZIP_LIBRARY", RT_RCDATA) : nullptr;
  const HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
  const auto* bytes = loaded ? static_cast<const unsigned char*>(LockResource(loaded)) : nullptr;
  Print("found", bytes ? "yes" : "no");
  if (bytes) {
    const DWORD size = SizeofResource(module, resource);
    std::uint64_t digest = 14695981039346656037ull;
    for (DWORD i = 0; i < size; ++i) digest = (digest ^ bytes[i]) * 1099511628211ull;
    Print("size", size);
    Print("fnv1a", digest);
  }
  if (module) FreeLibrary(module);
  return 0;
}

// --- shell and user interface ----------------------------------------------

int Download(platform::Platform& os, const std::string& url, const std::string& file) {
  Print("download", Outcome(os.shell().Download(url, file)));
  return 0;
}

int Clipboard(platform::Platform& os, const std::string& text_file) {
  const auto text = os.files().ReadAll(text_file);
  if (!text) return 1;
  platform::win32::Win32UserInterface ui;
  ui.SetClipboardText(*text);
  std::string read_back = "(no text)";
  if (OpenClipboard(nullptr)) {
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
      if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
        read_back = platform::win32::ToUtf8(std::wstring_view(wide));
        GlobalUnlock(data);
      }
    }
    CloseClipboard();
  }
  Print("clipboard", read_back == *text ? "same" : "differs: " + read_back);
  return 0;
}

}  // namespace

// --- names that are not plain files ---------------------------------------

// Each name of the folder given: the outcome of writing it anew, of deleting
// it by name, then of the silent deletion.
int Links(platform::Platform& os, const std::string& folder, const std::string& names) {
  auto& files = os.files();
  std::size_t start = 0;
  while (start < names.size()) {
    std::size_t end = names.find(',', start);
    if (end == std::string::npos) end = names.size();
    const std::string name = names.substr(start, end - start);
    Print("write." + name, Outcome(files.WriteAll(folder + "\\" + name, "written")));
    Print("remove." + name, Outcome(files.RemoveFile(folder + "\\" + name)));
    Print("delete." + name, Outcome(files.DeleteSilently(folder + "\\" + name)));
    start = end + 1;
  }
  return 0;
}

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  const std::string command = argc > 1 ? argv[1] : "";
  const std::string first = argc > 2 ? argv[2] : "";
  const std::string second = argc > 3 ? argv[3] : "";
  auto os = platform::OpenPlatform({});
  if (!os) {
    std::fprintf(stderr, "%s\n", os.error().Message().c_str());
    return 2;
  }
  int status = 2;
  if (command == "registry") status = Registry(**os, first);
  if (command == "files") status = Files(**os, first);
  if (command == "types") status = Types(**os, first, second);
  if (command == "profile") status = Profile(**os, first);
  if (command == "version") status = Version(**os, first);
  if (command == "machine") status = Machine(**os);
  if (command == "download") status = Download(**os, first, second);
  if (command == "clipboard") status = Clipboard(**os, first);
  if (command == "resource") status = Resource(first);
  if (command == "links") status = Links(**os, first, second);
  std::fflush(stdout);
  return status;
}
