#include "tests/test_machine.h"

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "components/mGetNewVer.h"
#include "platform/codepage.h"
#include "platform/text.h"

namespace test {

namespace fs = std::filesystem;

namespace {

void WriteBytes(const fs::path& path, std::string_view bytes, std::ios::openmode mode) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | mode);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

// Wine's escaping of text in registry files (server/registry.c, dump_strW).
std::string EscapeForRegFile(std::string_view utf8, std::string_view escaped) {
  const std::u16string wide = platform::Utf8ToUtf16(utf8);
  std::string out;
  char buffer[16];
  for (std::size_t i = 0; i < wide.size(); ++i) {
    const char16_t c = wide[i];
    if (c > 127) {
      const bool hex_follows =
          i + 1 < wide.size() && wide[i + 1] < 128 && std::isxdigit(static_cast<int>(wide[i + 1]));
      std::snprintf(buffer, sizeof buffer, hex_follows ? "\\x%04x" : "\\x%x", c);
      out += buffer;
    } else if (c < ' ') {
      switch (c) {
        case '\n':
          out += "\\n";
          break;
        case '\r':
          out += "\\r";
          break;
        case '\t':
          out += "\\t";
          break;
        case '\a':
          out += "\\a";
          break;
        case '\b':
          out += "\\b";
          break;
        case '\v':
          out += "\\v";
          break;
        case '\f':
          out += "\\f";
          break;
        default:
          std::snprintf(buffer, sizeof buffer, "\\%03o", c);
          out += buffer;
      }
    } else if (c == '\\' || escaped.find(static_cast<char>(c)) != std::string_view::npos) {
      out += '\\';
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

// The key as stored: HKLM\Software seen through the 32-bit view.
std::string StoredKeyPath(Hive hive, std::string_view key) {
  std::string path(key);
  while (!path.empty() && path.front() == '\\') path.erase(0, 1);
  while (!path.empty() && path.back() == '\\') path.pop_back();
  const std::string upper = platform::UpperCase(path);
  if (hive == Hive::kLocalMachine && platform::StartsWith(upper, "SOFTWARE\\") &&
      !platform::StartsWith(upper, "SOFTWARE\\CLASSES") &&
      !platform::StartsWith(upper, "SOFTWARE\\WOW6432NODE")) {
    path = "Software\\Wow6432Node\\" + path.substr(9);
  }
  return path;
}

}  // namespace

std::string WineRegString(std::string_view utf8) {
  return "\"" + EscapeForRegFile(utf8, "\"") + "\"";
}

TestMachine::TestMachine() {
  std::string pattern = (fs::temp_directory_path() / "remedor-machine-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  root_ = pattern;
  fs::create_directories(root_ / "drive_c" / "windows" / "system32");
  fs::create_directories(root_ / "dosdevices");
  fs::create_directory_symlink("../drive_c", root_ / "dosdevices" / "c:");
  WriteBytes(root_ / "system.reg",
             "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n",
             std::ios::trunc);
  WriteBytes(root_ / "user.reg",
             "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n"
             "\n#arch=win64\n",
             std::ios::trunc);
  // The tool beside its lists in a folder of its own, with its version; the
  // new-version check fails at once (a closed port of this host).
  SetFact("Self", "Exe", "C:\\Outil\\Remedor.exe");
  SetFact("Self", "FileVersion", "8.36.0.0");
  SetFact("Self", "BuildFolder", "C:\\RemedorBuild\\");
  SetFact("Clock", "Now", "2024-03-15 21:04:05");
  SetFact("Network", "VersionURL", "http://127.0.0.1:9/curr_ver.txt");
  AddFile("C:\\Outil\\Remedor.exe", "MZ");
}

TestMachine::~TestMachine() {
  std::error_code ignored;
  fs::remove_all(root_, ignored);
}

fs::path TestMachine::HostPath(std::string_view windows_path) const {
  std::string_view rest = windows_path;
  if (rest.size() >= 2 && (rest[1] == ':')) rest.remove_prefix(2);
  fs::path path = root_ / "drive_c";
  std::string part;
  for (char c : rest) {
    if (c == '\\') {
      if (!part.empty()) path /= part;
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) path /= part;
  return path;
}

void TestMachine::AddFile(std::string_view windows_path, std::string_view bytes) {
  WriteBytes(HostPath(windows_path), bytes, std::ios::trunc);
}

void TestMachine::AddTextFile(std::string_view windows_path, std::string_view utf8_text) {
  AddFile(windows_path, platform::Utf8ToCp1252(utf8_text));
}

void TestMachine::AddFolder(std::string_view windows_path) {
  fs::create_directories(HostPath(windows_path));
}

std::string TestMachine::ReadFile(std::string_view windows_path) const {
  std::ifstream in(HostPath(windows_path), std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool TestMachine::Exists(std::string_view windows_path) const {
  std::error_code ignored;
  return fs::exists(fs::symlink_status(HostPath(windows_path), ignored));
}

fs::path TestMachine::RegistryFile(Hive hive) const {
  return root_ / (hive == Hive::kLocalMachine ? "system.reg" : "user.reg");
}

void TestMachine::AppendRegistryText(Hive hive, std::string_view text) {
  WriteBytes(RegistryFile(hive), text, std::ios::app);
}

void TestMachine::AppendValue(Hive hive, std::string_view key, std::string_view value_text) {
  // A key may appear in several blocks: Wine merges them into the first.
  const std::string block = "\n[" + EscapeForRegFile(StoredKeyPath(hive, key), "[]") +
                            "] 1700000000\n#time=1da0000000000000\n" + std::string(value_text) +
                            "\n";
  AppendRegistryText(hive, block);
}

void TestMachine::SetRegistryString(Hive hive, std::string_view key, std::string_view name,
                                    std::string_view value) {
  const std::string lhs = name.empty() ? "@" : WineRegString(name);
  AppendValue(hive, key, lhs + "=" + WineRegString(value));
}

void TestMachine::SetRegistryDword(Hive hive, std::string_view key, std::string_view name,
                                   std::uint32_t value) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%08x", value);
  const std::string lhs = name.empty() ? "@" : WineRegString(name);
  AppendValue(hive, key, lhs + "=dword:" + digits);
}

void TestMachine::SetFact(std::string_view section, std::string_view key, std::string_view value) {
  for (auto& [name, entries] : facts_) {
    if (name == section) {
      for (auto& entry : entries) {
        if (entry.first == key) {
          entry.second = std::string(value);
          return;
        }
      }
      entries.emplace_back(std::string(key), std::string(value));
      return;
    }
  }
  facts_.push_back({std::string(section), {{std::string(key), std::string(value)}}});
}

void TestMachine::AddProcess(std::string_view exe_file, int threads) {
  processes_.emplace_back(std::string(exe_file), threads);
}

void TestMachine::WriteFacts() const {
  std::string ini;
  for (const auto& [section, entries] : facts_) {
    ini += "[" + section + "]\r\n";
    for (const auto& [key, value] : entries) ini += key + "=" + value + "\r\n";
  }
  WriteBytes(root_ / "remedor-machine.ini", platform::Utf8ToCp1252(ini), std::ios::trunc);
  std::string processes = "0 [System Process]\n";
  for (const auto& [exe, threads] : processes_)
    processes += std::to_string(threads) + " " + exe + "\n";
  WriteBytes(root_ / "remedor-processes.txt", processes, std::ios::trunc);
}

namespace {

// A platform whose files are another file system's.
class FrontedPlatform : public platform::Platform {
 public:
  FrontedPlatform(platform::Platform& inner, platform::FileSystem& files)
      : inner_(inner), files_(files) {}
  platform::Registry& registry() override { return inner_.registry(); }
  platform::FileSystem& files() override { return files_; }
  platform::ProfileStrings& profile() override { return inner_.profile(); }
  platform::Machine& machine() override { return inner_.machine(); }
  platform::Shell& shell() override { return inner_.shell(); }

 private:
  platform::Platform& inner_;
  platform::FileSystem& files_;
};

}  // namespace

TestForm::TestForm(TestMachine& machine, std::vector<std::string> arguments,
                   const FilesFront& front) {
  machine.WriteFacts();
  auto opened = platform::posix::PosixPlatform::Open(machine.root());
  if (!opened) throw std::runtime_error("OpenPlatform: " + opened.error().Message());
  platform_ = std::move(*opened);
  platform::Platform* seen = platform_.get();
  if (front) {
    front_files_ = front(platform_->files());
    fronted_ = std::make_unique<FrontedPlatform>(*platform_, *front_files_);
    seen = fronted_.get();
  }
  observed_ = std::make_unique<app::ObservedPlatform>(*seen);
  observed_->on_event = [this](app::OutsideEvent event) { events_.push_back(std::move(event)); };
  ui_.on_clipboard = [this](const std::string& text) { events_.push_back({"clipboard", text}); };
  const std::string exe = observed_->machine().SelfExecutable();
  (void)observed_->files().SetCurrentDirectory(exe.substr(0, exe.find_last_of('\\') + 1));
  form_ = std::make_unique<TForm1>(*observed_, ui_, loop_, std::move(arguments));
  loop_.SetAwaitedWork([this] { return form_->GetNewVer1->CheckUnderWay(); });
}

TestForm::TestForm(TestMachine& machine, AfterStartup) : TestForm(machine) {
  TForm1& f = *form_;
  f.InstallFolder = kGameFolder;
  f.keys.PackVersionsKey = kSciGamesKeys.pack_versions;
  f.mRegistry6->Key = f.keys.PackVersionsKey;
  f.ApplyCaptions();
  f.window.SpeedButton1.enabled = f.window.SpeedButton4.enabled = true;
}

TestForm::~TestForm() = default;

std::vector<std::string> TestForm::Messages(std::string_view kind) const {
  std::vector<std::string> texts;
  for (const app::RecordedDialog& dialog : ui_.dialogs()) {
    if (dialog.kind == kind) texts.push_back(dialog.text);
  }
  return texts;
}

void TestForm::Settle() {
  loop_.ProcessPendingEvents();
  while (!loop_.StopRequested() && loop_.HasPendingWork()) loop_.SleepAndProcess(10);
}

void TestForm::Wait(std::int64_t ms) {
  loop_.SleepAndProcess(ms);
  Settle();
}

std::string ReadBack(TestMachine& machine, TmRootKey root, const std::string& key,
                     const std::string& name) {
  auto opened = platform::posix::PosixPlatform::Open(machine.root());
  if (!opened) throw std::runtime_error(opened.error().Message());
  TmRegistry registry((*opened)->registry());
  registry.RootKey = root;
  registry.Key = key;
  return registry.ReadValue(name);
}

bool KeyExists(TestMachine& machine, platform::RootKey root, std::string_view key) {
  auto opened = platform::posix::PosixPlatform::Open(machine.root());
  if (!opened) throw std::runtime_error(opened.error().Message());
  auto handle = (*opened)->registry().OpenKey(root, key, platform::KeyAccess::kRead);
  if (!handle) return false;
  (*opened)->registry().CloseKey(*handle);
  return true;
}

}  // namespace test
