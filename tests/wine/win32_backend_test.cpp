// The Win32 backend against the real API: runs the Windows build's
// win32_backend_check.exe (tests/win32) under wine64 in the run's prefix and
// checks what it printed and what it left in the prefix (files in drive_c,
// keys in system.reg and user.reg). The Windows build is found through
// $REMEDOR_WIN_BUILD (./dev.sh test sets it), else <source>/build-win.
#include <arpa/inet.h>
#include <cpuid.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>
#include "tests/wine/wine_shell.h"

namespace {

using namespace wine_test;

namespace fs = std::filesystem;

// What the check program printed: every value of every key, in order.
class Output {
 public:
  explicit Output(const std::string& text) {
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const auto equals = line.find('=');
      if (equals != std::string::npos)
        values_[line.substr(0, equals)].push_back(line.substr(equals + 1));
    }
  }
  std::string operator[](const std::string& key) const {
    const auto found = values_.find(key);
    return found == values_.end() || found->second.empty() ? "(absent)" : found->second.front();
  }
  std::vector<std::string> All(const std::string& key) const {
    const auto found = values_.find(key);
    return found == values_.end() ? std::vector<std::string>{} : found->second;
  }

 private:
  std::map<std::string, std::vector<std::string>> values_;
};

class Win32BackendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* prefix = std::getenv("REMEDOR_WINEPREFIX");
    if (!prefix || !*prefix) GTEST_SKIP() << "REMEDOR_WINEPREFIX is not set";
    prefix_ = prefix;
    windows_build_ = WindowsBuild();
    check_exe_ = windows_build_ / "win32-checks" / "win32_backend_check.exe";
    ASSERT_TRUE(fs::exists(check_exe_)) << check_exe_ << " is missing: build the Windows build";
    tag_ = "remedor-w32-" + std::to_string(getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    work_ = prefix_ / "drive_c" / tag_;
    fs::remove_all(work_);
    fs::create_directories(work_);
  }

  void TearDown() override {
    if (!work_.empty()) fs::remove_all(work_);
  }

  std::string WindowsWork() const { return "C:\\" + tag_; }

  // Runs a Windows program of the prefix's; its standard output.
  std::string Wine(const std::vector<std::string>& arguments,
                   const std::string& locale = "C.UTF-8") {
    std::string command = "env LC_ALL=" + locale +
                          " WINEDEBUG=-all WINEPREFIX=" + ShellQuote(prefix_.string()) + " " +
                          kWine;
    for (const auto& argument : arguments) command += " " + ShellQuote(argument);
    return CaptureOutput(command);
  }

  Output Check(const std::vector<std::string>& arguments, const std::string& locale = "C.UTF-8") {
    std::vector<std::string> command{check_exe_.string()};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return Output(Wine(command, locale));
  }

  // wineserver writes the registry files when it exits.
  void FlushRegistry() {
    const std::string command =
        "env WINEPREFIX=" + ShellQuote(prefix_.string()) + " " + std::string(kWineServer) + " -w";
    ASSERT_EQ(std::system(command.c_str()), 0);
  }

  fs::path prefix_;
  fs::path windows_build_;
  fs::path check_exe_;
  std::string tag_;
  fs::path work_;
};

// The text of one key of a Wine registry file: its header line up to the next
// blank line; empty when the key is not there.
std::string RegistryKeyText(const std::string& file, const std::string& key_path) {
  const std::string header = "\n[" + key_path + "]";
  const auto start = file.find(header);
  if (start == std::string::npos) return {};
  const auto end = file.find("\n\n", start + 1);
  return file.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
}

std::string RegistryEscaped(const std::string& name) {
  std::string escaped;
  for (char c : name) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return escaped;
}

TEST_F(Win32BackendTest, RegistryRoundTripThroughThe32BitView) {
  const std::string key = tag_;
  const Output out = Check({"registry", key});
  EXPECT_EQ(out["create"], "ok");
  EXPECT_EQ(out["open.trailing_backslash"], "ok");
  // REG_SZ in UTF-16 with its NUL: (10 + 1) * 2 bytes.
  EXPECT_EQ(out["name.type"], "1");
  EXPECT_EQ(out["name.size"], "22");
  EXPECT_EQ(out["name.text"], "Valeur é Ж");
  EXPECT_EQ(out["default.text"], "défaut");
  EXPECT_EQ(out["number.type"], "4");
  EXPECT_EQ(out["number.size"], "4");
  EXPECT_EQ(out["unterminated.text"], "abc");
  EXPECT_EQ(out["empty.size"], "0");
  EXPECT_EQ(out["empty.text"], "");
  EXPECT_EQ(out["missing.query"], "kFileNotFound");
  EXPECT_EQ(out["open.absent"], "kFileNotFound");
  EXPECT_EQ(out["open.absent_again"], "kFileNotFound") << "opening must not create the key";
  EXPECT_EQ(out["create.nul_in_path"], "kBadPathname");
  EXPECT_EQ(out["set.user"], "ok");

  FlushRegistry();
  const std::string machine = ReadFile(prefix_ / "system.reg");
  const std::string sub =
      RegistryKeyText(machine, "Software\\\\Wow6432Node\\\\" + RegistryEscaped(key) + "\\\\Sub");
  ASSERT_FALSE(sub.empty()) << "the key is not in the 32-bit view (Wow6432Node)";
  EXPECT_NE(sub.find("\"Name\"=\"Valeur \\xe9 \\x416\""), std::string::npos) << sub;
  EXPECT_NE(sub.find("@=\"d\\x00e9faut\""), std::string::npos) << sub;
  EXPECT_EQ(machine.find("[Software\\\\" + RegistryEscaped(key)), std::string::npos)
      << "the key leaked into the 64-bit view";
  EXPECT_EQ(
      RegistryKeyText(machine, "Software\\\\Wow6432Node\\\\" + RegistryEscaped(key) + "\\\\Absent"),
      "");

  const std::string user = ReadFile(prefix_ / "user.reg");
  const std::string run_once =
      RegistryKeyText(user, "Software\\\\" + RegistryEscaped(key) + "\\\\RunOnce");
  EXPECT_NE(run_once.find("\"DelRemedor\"=\"cmd /C \\\"del x\\\"\""), std::string::npos)
      << run_once;

  Wine({"reg", "delete", "HKLM\\Software\\" + key, "/f", "/reg:32"});
  Wine({"reg", "delete", "HKCU\\Software\\" + key, "/f"});
}

// 100-ns intervals since 1601 of a time of the host.
std::uint64_t FileTimeOf(std::time_t unix_seconds) {
  return (static_cast<std::uint64_t>(unix_seconds) + 11644473600ull) * 10000000ull;
}

void SetModificationTime(const fs::path& path, std::time_t unix_seconds) {
  const timespec times[2] = {{unix_seconds, 0}, {unix_seconds, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

TEST_F(Win32BackendTest, FilesAndFoldersEndToEnd) {
  const std::time_t kJan2020 = 1577934245;  // 2020-01-02 03:04:05 UTC
  fs::create_directories(work_ / "Été");
  fs::create_directories(work_ / "trash" / "sub");
  fs::create_directories(work_ / "zdir");
  WriteFile(work_ / "b.txt", "abc");
  WriteFile(work_ / "A.TXT", "12345");
  WriteFile(work_ / ".dot", "");
  WriteFile(work_ / "Привет.txt", "x");
  WriteFile(work_ / "one.del", "");
  WriteFile(work_ / "two.del", "");
  WriteFile(work_ / "trash" / "sub" / "f", "f");
  WriteFile(work_ / "ro.txt", "");
  fs::permissions(work_ / "ro.txt", fs::perms::owner_read | fs::perms::group_read);
  SetModificationTime(work_ / "b.txt", kJan2020);

  const Output out = Check({"files", WindowsWork()});

  // "." and ".." first, then ascending order of the upper-case names; every
  // kind of entry with its attributes (a dot file is hidden under Wine).
  std::vector<std::string> names, attributes;
  for (const auto& entry : out.All("all.entry")) {
    std::istringstream fields(entry);
    std::string name, attribute;
    std::getline(fields, name, '|');
    std::getline(fields, attribute, '|');
    names.push_back(name);
    attributes.push_back(attribute);
  }
  EXPECT_EQ(out["all.find"], "ok");
  const std::vector<std::string> expected_names = {".",       "..",      ".dot",   "A.TXT",
                                                   "b.txt",   "one.del", "ro.txt", "trash",
                                                   "two.del", "zdir",    "Été",    "Привет.txt"};
  EXPECT_EQ(names, expected_names);
  const std::vector<std::string> expected_attributes = {"10", "10", "22", "20", "20", "20",
                                                        "21", "10", "20", "10", "10", "20"};
  EXPECT_EQ(attributes, expected_attributes);
  const auto listed = out.All("all.entry");
  ASSERT_EQ(listed.size(), expected_names.size());
  EXPECT_EQ(listed[4], "b.txt|20|3|" + std::to_string(FileTimeOf(kJan2020)));
  EXPECT_EQ(listed[3].substr(0, 11), "A.TXT|20|5|");

  EXPECT_EQ(out.All("mask.entry").size(), 4u);
  EXPECT_EQ(out.All("cyrillic.entry"), std::vector<std::string>{out.All("all.entry").back()});

  const std::map<std::string, std::set<std::string>> outcomes = {
      {"no_match.find", {"kFileNotFound"}},
      {"missing_folder.find", {"kPathNotFound"}},
      // Windows answers ERROR_DIRECTORY, Wine ERROR_INVALID_NAME.
      {"file_as_folder.find", {"kNotADirectory", "kBadPathname"}},
      {"mkdir", {"ok"}},
      {"mkdir.again", {"kAlreadyExists"}},
      {"mkdir.missing_parent", {"kPathNotFound"}},
      {"create_file", {"ok"}},
      {"open_write_while_read", {"kBusy"}},
      {"open_missing", {"kFileNotFound"}},
      {"move", {"ok"}},
      {"move.missing", {"kFileNotFound"}},
      {"move.onto_existing", {"kAlreadyExists"}},
      {"move.folder", {"ok"}},
      {"set_attributes", {"ok"}},
      {"delete.tree", {"ok"}},
      {"delete.mask", {"ok"}},
      {"delete.nothing", {"kFileNotFound"}},
      {"chdir", {"ok"}},
      {"chdir.missing", {"kFileNotFound", "kPathNotFound"}},
      {"disk", {"ok"}},
      {"disk.missing_drive", {"kPathNotFound"}},
  };
  for (const auto& [key, allowed] : outcomes) {
    EXPECT_TRUE(allowed.count(out[key])) << key << " = " << out[key];
  }

  EXPECT_EQ(out["write"], "11");
  EXPECT_EQ(out["seek"], "6");
  EXPECT_EQ(out["read"], "world");
  EXPECT_EQ(out["seek.end"], "6");
  EXPECT_EQ(out["size"], "11");
  EXPECT_EQ(out["read_all"], "hello world");
  EXPECT_EQ(out["written_time"], "130000000000000000");
  EXPECT_EQ(out["attributes"], "22");  // archive + hidden
  EXPECT_EQ(out["attributes.missing"], "none");
  EXPECT_EQ(out["attributes.nul"], "none");
  EXPECT_EQ(out["is_folder"], "yes");
  EXPECT_EQ(out["is_file"], "no");
  EXPECT_EQ(out["cwd"], WindowsWork() + "\\Nouveau dossier ñ");
  EXPECT_EQ(out["relative_exists"], "yes");
  EXPECT_EQ(out["chdir.back"], "ok");
  EXPECT_EQ(out["disk.total_nonzero"], "yes");
  EXPECT_EQ(out["disk.free_within_total"], "yes");
  EXPECT_EQ(out["fixed.c"], "yes");
  EXPECT_EQ(out["fixed.q"], "no");

  // What the host sees: UTF-8 names, the content, the time, the moves and
  // the deletions.
  const fs::path written = work_ / "Nouveau dossier ñ" / "Ωmega-2.bin";
  EXPECT_EQ(ReadFile(written), "hello world");
  struct stat info {};
  ASSERT_EQ(stat(written.c_str(), &info), 0);
  EXPECT_EQ(FileTimeOf(info.st_mtime), 130000000000000000ull);
  EXPECT_FALSE(fs::exists(work_ / "Nouveau dossier ñ" / "Ωmega.bin"));
  EXPECT_TRUE(fs::is_directory(work_ / "Ete renamed"));
  EXPECT_FALSE(fs::exists(work_ / "Été"));
  EXPECT_FALSE(fs::exists(work_ / "trash"));
  EXPECT_FALSE(fs::exists(work_ / "one.del"));
  EXPECT_FALSE(fs::exists(work_ / "two.del"));
  EXPECT_EQ(ReadFile(work_ / "b.txt"), "abc");
  EXPECT_TRUE(fs::exists(work_ / "Привет.txt"));
}

// The existence answers from folder listings agree with GetFileAttributes
// for every kind of path, see a file created after the listing at once, and
// a removal or a folder turned file once a listing's second of trust is over.
TEST_F(Win32BackendTest, ListingAnswersAgreeWithTheAttributes) {
  fs::create_directories(work_ / "Data");
  fs::create_directories(work_ / "Becomes");
  WriteFile(work_ / "Data" / "Track.DAT", "t");
  WriteFile(work_ / "Data" / "gone.dat", "g");
  WriteFile(work_ / "Becomes" / "inner.txt", "i");
  fs::create_directories(work_ / "Maps");
  const std::string system_name = tag_ + ".dll";
  const fs::path wow64_file = prefix_ / "drive_c" / "windows" / "syswow64" / system_name;
  WriteFile(wow64_file, "32-bit");

  const Output out = Check({"types", WindowsWork(), system_name});
  fs::remove(wow64_file);

  const struct {
    const char* label;
    const char* first;  // "listing|attributes" at first; after the changes below
    const char* later;
  } cases[] = {
      {"file", "file|file", "file|file"},
      {"file_case", "file|file", "file|file"},
      {"file_dots", "file|file", "file|file"},
      {"folder", "folder|folder", "folder|folder"},
      {"folder_slash", "folder|folder", "folder|folder"},
      {"missing", "absent|absent", "absent|absent"},
      {"missing_folder", "absent|absent", "absent|absent"},
      {"under_file", "absent|absent", "absent|absent"},
      {"pattern", "absent|absent", "absent|absent"},
      {"root", "folder|folder", "folder|folder"},
      {"system32", "file|file", "file|file"},  // the 32-bit view: syswow64
      {"sysnative", "absent|absent", "absent|absent"},
      {"new", "absent|absent", "file|file"},      // created: seen at once
      {"gone", "file|file", "absent|absent"},     // removed
      {"becomes", "folder|folder", "file|file"},  // a folder replaced by a file
  };
  for (const auto& c : cases) {
    EXPECT_EQ(out[std::string(c.label) + ".first"], c.first) << c.label;
    EXPECT_EQ(out[std::string(c.label) + ".later"], c.later) << c.label;
  }
  EXPECT_EQ(out["new.at_once"], "file|file");
  EXPECT_EQ(out["missing.at_once"], "absent|absent");
}

// Wine shows a symbolic link of the host to a file as that file, reparse
// flag or not, and its shell deletes what a link reaches; the backend tells a
// link by the path its handle reaches, and leaves it alone.
TEST_F(Win32BackendTest, NeitherWritesNorDeletesThroughALink) {
  const fs::path outside = prefix_ / "drive_c" / (tag_ + "-outside");
  fs::create_directories(outside / "folder");
  WriteFile(outside / "precious.txt", "precious");
  WriteFile(outside / "folder" / "kept.txt", "kept");
  WriteFile(work_ / "plain.txt", "old");
  fs::create_symlink(outside / "precious.txt", work_ / "link.txt");
  fs::create_symlink(outside / "absent.txt", work_ / "dangling.txt");
  fs::create_directory_symlink(outside / "folder", work_ / "folder-link.txt");
  fs::create_hard_link(outside / "precious.txt", work_ / "hard.txt");
  fs::create_directories(work_ / "folder.txt");
  WriteFile(work_ / "folder.txt" / "inside", "inside");
  fs::create_directories(work_ / "tree" / "sub");
  fs::create_symlink(outside / "precious.txt", work_ / "tree" / "file-link");
  fs::create_directory_symlink(outside / "folder", work_ / "tree" / "sub" / "folder-link");

  const Output out = Check({"links", WindowsWork(),
                            "plain.txt,new.txt,link.txt,dangling.txt,folder-link.txt,hard.txt,"
                            "folder.txt,tree"});
  for (const char* name : {"plain.txt", "new.txt"}) {
    EXPECT_EQ(out[std::string("write.") + name], "ok") << name;
    EXPECT_EQ(out[std::string("remove.") + name], "ok") << name;
    EXPECT_FALSE(fs::exists(fs::symlink_status(work_ / name))) << name;
  }
  for (const char* name :
       {"link.txt", "dangling.txt", "folder-link.txt", "hard.txt", "folder.txt", "tree"}) {
    EXPECT_NE(out[std::string("write.") + name], "ok") << name;
    EXPECT_NE(out[std::string("remove.") + name], "ok") << name;
  }
  for (const char* name : {"link.txt", "folder-link.txt", "tree"}) {
    EXPECT_NE(out[std::string("delete.") + name], "ok") << name;
  }
  EXPECT_EQ(out["delete.folder.txt"], "ok");  // a tree without links goes
  EXPECT_FALSE(fs::exists(work_ / "folder.txt"));
  EXPECT_TRUE(fs::is_symlink(work_ / "link.txt"));
  EXPECT_TRUE(fs::is_symlink(work_ / "folder-link.txt"));
  EXPECT_TRUE(fs::is_symlink(work_ / "tree" / "file-link"));
  EXPECT_FALSE(fs::exists(outside / "absent.txt"));
  EXPECT_EQ(ReadFile(outside / "precious.txt"), "precious");
  EXPECT_EQ(ReadFile(outside / "folder" / "kept.txt"), "kept");
  fs::remove_all(outside);
}

// Also below a folder whose path is longer than MAX_PATH, which the profile
// functions cannot take: the backend reads and writes such a file itself.
TEST_F(Win32BackendTest, ProfileStringsInWindows1252BelowANonAsciiFolderOfAnyLength) {
  std::string deep;
  for (int i = 0; i < 6; ++i) deep += "\\" + std::string(48, static_cast<char>('a' + i));
  for (const std::string& below : {std::string(), deep}) {
    SCOPED_TRACE(below.empty() ? "short path" : "path of more than MAX_PATH characters");
    std::string host_below = below;
    std::replace(host_below.begin(), host_below.end(), '\\', '/');
    const fs::path folder = work_ / ("." + host_below) / "Été";
    fs::create_directories(folder);
    ASSERT_EQ(below.empty(), (WindowsWork() + below + "\\Été\\réglages.ini").size() < 260);
    // Windows-1252: [Réglages] Clé=Valeur àé
    WriteFile(folder / "réglages.ini",
              "[R\xe9glages]\r\nCl\xe9=Valeur \xe0\xe9\r\n  indented = x \r\nquoted=\"q\"\r\n");

    const Output out = Check({"profile", WindowsWork() + below});
    EXPECT_EQ(out["value"], "Valeur àé");
    EXPECT_EQ(out["cut"], "Val");  // a buffer of 4 holds 3 characters
    EXPECT_EQ(out["indented"], "x");
    EXPECT_EQ(out["quoted"], "q");
    EXPECT_EQ(out["missing_key"], "0");  // the default loses its trailing blanks
    EXPECT_EQ(out["missing_file"], "défaut");
    EXPECT_EQ(out["write"], "yes");
    EXPECT_EQ(out["reread"], "çà et là");
    const std::string bytes = ReadFile(folder / "réglages.ini");
    EXPECT_NE(bytes.find("[Nouvelle]\r\nCl\xe9=\xe7\xe0 et l\xe0\r\n"), std::string::npos) << bytes;
  }
}

TEST_F(Win32BackendTest, VersionResourceOfRemedorExe) {
  const fs::path remedor = windows_build_ / "Remedor.exe";
  ASSERT_TRUE(fs::exists(remedor)) << remedor;
  const Output out = Check({"version", HostPathForWine(remedor)});
  EXPECT_EQ(out["has_version"], "yes");
  EXPECT_EQ(out["file_version"], "8.36.0.0");
  EXPECT_EQ(out.All("translation"), std::vector<std::string>{"40c/4e4"});
  const std::vector<std::string> strings = {
      "FileVersion|8.36.0.0", "LegalCopyright|Remedor",
      "ProductName|Remedor",  "ProductVersion|8.36.0.0",
      "CompanyName|Remedor",  "FileDescription|Utilitaire de dépannage de QUORVEL",
      "InternalName|Remedor", "OriginalFilename|Remedor.exe"};
  EXPECT_EQ(out.All("string"), strings);

  EXPECT_EQ(Check({"version", "C:\\windows\\win.ini"})["has_version"], "no");
  EXPECT_EQ(Check({"version", WindowsWork() + "\\absent.dll"})["has_version"], "no");
}

TEST_F(Win32BackendTest, RemedorExeCarriesThe64Bit7ZipLibrary) {
  const std::string image = ReadFile(fs::path(REMEDOR_SOURCE_DIR) / "build-deps/7zip/x64/7z.dll");
  ASSERT_FALSE(image.empty()) << "run tools/fetch-7zip.sh";
  std::uint64_t digest = 14695981039346656037ull;
  for (unsigned char byte : image) digest = (digest ^ byte) * 1099511628211ull;

  const Output out = Check({"resource", HostPathForWine(windows_build_ / "Remedor.exe")});
  EXPECT_EQ(out["found"], "yes");
  EXPECT_EQ(out["size"], std::to_string(image.size()));
  EXPECT_EQ(out["fnv1a"], std::to_string(digest));
}

int CountPhysicalCores() {
  std::set<std::pair<std::string, std::string>> cores;
  for (const auto& cpu : fs::directory_iterator("/sys/devices/system/cpu")) {
    const fs::path topology = cpu.path() / "topology";
    if (!fs::exists(topology / "core_id")) continue;
    cores.emplace(ReadFile(topology / "physical_package_id"), ReadFile(topology / "core_id"));
  }
  return static_cast<int>(cores.size());
}

// The processor's own brand string, asked here on the host: the kernel's
// "model name" may be another text under a hypervisor.
std::string HostCpuBrand() {
  unsigned int regs[4];
  if (!__get_cpuid(0x80000000u, &regs[0], &regs[1], &regs[2], &regs[3]) || regs[0] < 0x80000004u) {
    return {};
  }
  char brand[49] = {};
  for (unsigned int leaf = 0; leaf < 3; ++leaf) {
    __get_cpuid(0x80000002u + leaf, &regs[0], &regs[1], &regs[2], &regs[3]);
    std::memcpy(brand + leaf * 16, regs, sizeof regs);
  }
  return brand;
}

TEST_F(Win32BackendTest, MachineFactsProcessesAndFrenchLocale) {
  // Wine takes the user's locale from the host's variables.
  const Output out = Check({"machine"}, "fr_FR.UTF-8");
  EXPECT_EQ(out["memory"], "ok");
  const auto total = std::stoull(out["memory.total"]);
  EXPECT_GT(total, 0u);
  EXPECT_LE(std::stoull(out["memory.available"]), total);
  EXPECT_EQ(out["cpu.brand"], HostCpuBrand());
  EXPECT_EQ(std::stoi(out["cpu.cores"]), CountPhysicalCores());
  EXPECT_NE(out["display0"], "(none)");
  EXPECT_GE(std::stoi(out["monitors"]), 1);
  EXPECT_NE(out["screen"], "0x0");
  EXPECT_EQ(out["xp64"], "no");
  EXPECT_EQ(out["admin"], "yes");  // Wine's user is in the Administrators group
  EXPECT_EQ(out["windows"], "C:\\windows");
  EXPECT_EQ(out["service.PlugPlay"].substr(0, 8), "queried|");
  EXPECT_EQ(out["service.RemedorNoSuchService"], "unopenable|0");
  EXPECT_EQ(out["self"], HostPathForWine(check_exe_));
  EXPECT_EQ(out["processes"], "ok");
  const std::string self = out["processes.self"];
  EXPECT_EQ(self.substr(0, self.find('|')), "win32_backend_check.exe");
  EXPECT_GE(std::stoi(self.substr(self.find('|') + 1)), 1);

  EXPECT_EQ(out["locale.language"], "français");
  EXPECT_EQ(out["locale.decimal"], ",");
  EXPECT_EQ(out["locale.date"], "/");
  EXPECT_EQ(out["locale.time"], ":");
  const std::vector<std::string> days = {"dimanche", "lundi",    "mardi", "mercredi",
                                         "jeudi",    "vendredi", "samedi"};
  EXPECT_EQ(out.All("locale.day"), days);

  // The local date of the run (a run across midnight may see the next day),
  // and the weekday that goes with it.
  std::tm when{};
  ASSERT_EQ(std::sscanf(out["now"].c_str(), "%d-%d-%d %d", &when.tm_year, &when.tm_mon,
                        &when.tm_mday, &when.tm_wday),
            4);
  const int weekday = when.tm_wday;
  when.tm_year -= 1900;
  when.tm_mon -= 1;
  when.tm_hour = 12;
  when.tm_isdst = -1;
  const std::time_t noon = std::mktime(&when);
  EXPECT_EQ(when.tm_wday, weekday);
  EXPECT_LT(std::abs(std::difftime(std::time(nullptr), noon)), 36 * 3600.0);

  EXPECT_EQ(out["build_folder"], "C:\\RemedorBuild\\");
  EXPECT_EQ(out["version_url_override"], "none");
}

// Windows XP x64 is NT 5.2 as a workstation; Windows Server 2003 is 5.2 too.
// Wine reads the version a program sees from its AppDefaults key as the
// program starts. The key is written and the program run by one cmd, in one
// session of the prefix's server: written by one run of wine and read by the
// next, the key was once not seen (on a loaded machine, the program saw the
// prefix's own Windows 7).
TEST_F(Win32BackendTest, WindowsXp64TellsWorkstationFromServer) {
  fs::copy_file(check_exe_, work_ / "xp64_check.exe");
  const std::string defaults = "HKCU\\Software\\Wine\\AppDefaults\\xp64_check.exe";
  const struct {
    const char* wine_version;
    const char* xp64;
    const char* service_pack;
  } cases[] = {{"winxp64", "yes", "Service Pack 2"},
               {"win2003", "no", "Service Pack 2"},
               {"win7", "no", "Service Pack 1"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.wine_version);
    const std::string printed = Wine({"cmd", "/c",
                                      "reg add " + defaults + " /v Version /d " + c.wine_version +
                                          " /f && " + WindowsWork() + "\\xp64_check.exe machine"});
    const Output out(printed);
    EXPECT_EQ(out["xp64"], c.xp64) << printed.substr(0, 200);
    EXPECT_EQ(out["service_pack"], c.service_pack);
  }
  Wine({"reg", "delete", defaults, "/f"});
}

// A loopback HTTP server for a bounded time: /curr_ver.txt answers the body,
// /big.txt 100 KiB, /silent.txt nothing at all (the connection stays open),
// anything else 404.
class LoopbackServer {
 public:
  explicit LoopbackServer(std::string body) : body_(std::move(body)) {
    socket_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(socket_, 4);
    socklen_t length = sizeof address;
    ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  ~LoopbackServer() {
    stop_ = true;
    thread_.join();
    for (int client : held_) ::close(client);
    ::close(socket_);
  }
  int port() const { return port_; }

 private:
  void Serve() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (!stop_ && std::chrono::steady_clock::now() < deadline) {
      pollfd ready{socket_, POLLIN, 0};
      if (::poll(&ready, 1, 100) <= 0) continue;
      const int client = ::accept(socket_, nullptr, nullptr);
      if (client < 0) continue;
      const std::string request = ReadRequest(client);
      if (request.rfind("GET /silent.txt ", 0) == 0) {
        held_.push_back(client);
        continue;
      }
      std::string status = "200 OK", body = body_;
      if (request.rfind("GET /big.txt ", 0) == 0) {
        body.assign(100 * 1024, 'x');
      } else if (request.rfind("GET /curr_ver.txt ", 0) != 0) {
        status = "404 Not Found";
        body = "not here";
      }
      const std::string answer =
          "HTTP/1.0 " + status +
          "\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(body.size()) +
          "\r\nConnection: close\r\n\r\n" + body;
      ::send(client, answer.data(), answer.size(), MSG_NOSIGNAL);
      ::close(client);
    }
  }

  static std::string ReadRequest(int client) {
    std::string request;
    char buffer[2048];
    pollfd readable{client, POLLIN, 0};
    while (request.find("\r\n\r\n") == std::string::npos && ::poll(&readable, 1, 2000) > 0) {
      const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
      if (got <= 0) break;
      request.append(buffer, static_cast<std::size_t>(got));
    }
    return request;
  }

  std::string body_;
  int socket_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::vector<int> held_;
  std::thread thread_;
};

TEST_F(Win32BackendTest, DownloadIntoALocalFile) {
  const std::string body = "[CurrentVersions]\r\nRemedor.exe=8.37.0.0\r\n";
  LoopbackServer server(body);
  const std::string base = "http://127.0.0.1:" + std::to_string(server.port());

  EXPECT_EQ(
      Check({"download", base + "/curr_ver.txt", WindowsWork() + "\\version.txt"})["download"],
      "ok");
  EXPECT_EQ(ReadFile(work_ / "version.txt"), body);

  // An error page, an answer over the size bound and a server that never
  // answers all fail, and leave no file behind.
  for (const char* path : {"/absent.txt", "/big.txt", "/silent.txt"}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(Check({"download", base + path, WindowsWork() + "\\refused.txt"})["download"], "kIo");
    for (const auto& entry : fs::directory_iterator(work_)) {
      EXPECT_EQ(entry.path().filename().string().rfind("refused", 0), std::string::npos)
          << entry.path();
    }
  }
  // A failed download leaves an earlier file as it was.
  EXPECT_EQ(Check({"download", base + "/absent.txt", WindowsWork() + "\\version.txt"})["download"],
            "kIo");
  EXPECT_EQ(ReadFile(work_ / "version.txt"), body);
}

TEST_F(Win32BackendTest, DownloadFromNowhereFails) {
  // A port of the loopback address that nothing listens on.
  int port;
  {
    LoopbackServer closed("");
    port = closed.port();
  }
  EXPECT_EQ(Check({"download", "http://127.0.0.1:" + std::to_string(port) + "/curr_ver.txt",
                   WindowsWork() + "\\version.txt"})["download"],
            "kIo");
  EXPECT_FALSE(fs::exists(work_ / "version.txt"));
}

TEST_F(Win32BackendTest, ClipboardTextRoundTrip) {
  WriteFile(work_ / "clip.txt", "Ligne é\r\nЖ – fin");
  EXPECT_EQ(Check({"clipboard", WindowsWork() + "\\clip.txt"})["clipboard"], "same");
}

}  // namespace
