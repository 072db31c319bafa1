// Remedor.exe runs elevated from a folder anyone can write (Downloads): what
// others put there must not run or be written and deleted through. On a real
// Wine prefix holding the sample machine (tools/make_sample_wine_prefix.py),
// Remedor.exe runs headless under wine64 with a script that presses every
// button and closes.
//
// Libraries: Remedor.exe imports only KnownDLLs; every library a whole run
// loads (WINEDEBUG=+loaddll) that is not a KnownDLL, nor imported by Wine's
// own builds of the libraries loaded before the program starts, gets a
// namesake planted in the tool's folder
// (planted/marker_library.c, built now with MinGW-w64), and Wine is told to
// search as Windows does (WINEDLLOVERRIDES=name=n,b: a library found on the
// search path before its builtin one).
//
// Links: a symbolic link of the host named as the results file, pointing
// outside the folder, survives the export and the clean-up, and the file it
// points at keeps its content; so does a link at one of the driver's output
// files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "platform/text.h"
#include "tests/wine/sample_prefix.h"
#include "tests/wine/wine_shell.h"

namespace {

using namespace wine_test;
namespace fs = std::filesystem;

constexpr char kToolFolder[] = "users/joueur/Downloads/Remedor";  // below drive_c

constexpr char kEveryButton[] =
    "click language\n"
    "click language\n"
    "analyse simple\n"
    "analyse full\n"
    "click SpeedButton3\n"
    "click CBBoutonGenerer\n"
    "dblclick ListBox2\n"
    "click ButtonHelp\n"
    "click bButton4\n"
    "click Panel3\n"
    "click Memo2\n"
    "click Alone\n"
    "click Publique\n"
    "click Championnat\n"
    "key alt+f1\n"
    "click BoutonCorriger\n"
    "click bButton6\n"
    "click bButton8\n"
    "click bButton7\n"
    "click bButton9\n"
    "click bButton10\n"
    "close\n";

// Windows 10's KnownDLLs (Session Manager\KnownDLLs) and the libraries their
// section directory holds with them: always taken from the system folder.
const std::set<std::string>& KnownDlls() {
  static const std::set<std::string> known = {
      "advapi32.dll", "clbcatq.dll",  "combase.dll",    "comdlg32.dll",
      "coml2.dll",    "difxapi.dll",  "gdi32.dll",      "gdiplus.dll",
      "imagehlp.dll", "imm32.dll",    "kernel32.dll",   "msctf.dll",
      "msvcrt.dll",   "normaliz.dll", "nsi.dll",        "ole32.dll",
      "oleaut32.dll", "psapi.dll",    "rpcrt4.dll",     "sechost.dll",
      "setupapi.dll", "shcore.dll",   "shell32.dll",    "shlwapi.dll",
      "user32.dll",   "wldap32.dll",  "wow64.dll",      "wow64win.dll",
      "ws2_32.dll",   "ntdll.dll",    "kernelbase.dll", "gdi32full.dll",
      "win32u.dll",   "ucrtbase.dll", "msvcp_win.dll",  "bcryptprimitives.dll",
      "cfgmgr32.dll"};
  return known;
}

// The libraries a PE file imports statically, in lower case (MinGW-w64's
// objdump).
std::set<std::string> StaticImports(const fs::path& image) {
  std::set<std::string> names;
  std::istringstream lines(
      CaptureOutput("x86_64-w64-mingw32-objdump -p " + ShellQuote(image.string())));
  for (std::string line; std::getline(lines, line);) {
    const std::size_t at = line.find("DLL Name: ");
    if (at != std::string::npos) names.insert(platform::LowerCase(line.substr(at + 10)));
  }
  return names;
}

// What Wine's own builds of the libraries loaded before the program starts
// (the KnownDLLs and the program's static imports) import, all the way down:
// its user32 imports version and zlib1, its comdlg32
// winspool.drv and so compstui. On Windows a KnownDLL's imports come with it
// from the KnownDLLs directory; Wine looks for them on the search path before
// the program's entry point runs. Planting these tests Wine, not the program.
std::set<std::string> ImportsOfWinesStartLibraries(std::set<std::string> pending) {
  std::set<std::string> seen;
  while (!pending.empty()) {
    const std::string name = *pending.begin();
    pending.erase(pending.begin());
    if (!seen.insert(name).second) continue;
    const fs::path builtin = fs::path("/usr/lib/x86_64-linux-gnu/wine/x86_64-windows") / name;
    if (fs::exists(builtin)) pending.merge(StaticImports(builtin));
  }
  return seen;
}

class HostileFolder : public SamplePrefixTest {
 protected:
  HostileFolder() : SamplePrefixTest("hostile", kToolFolder) {}

  void SetUp() override {
    SamplePrefixTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    tool_ = prefix_ / "drive_c" / kToolFolder;
    fs::copy(tool_, work_ / "shipped");
    WriteFile(work_ / "script.txt", kEveryButton);
    fs::create_directories(work_ / "markers");
  }

  // Runs the script once from the tool's folder; Wine's own trace (standard
  // error) is returned. `out` is the driver's output folder below work_.
  std::string RunTool(const std::string& out, const std::string& debug,
                      const std::string& overrides = "") {
    const fs::path trace = work_ / (out + ".trace");
    CaptureOutput("cd " + ShellQuote(tool_.string()) + " && (env WINEDEBUG=" + debug +
                  " WINEPREFIX=" + ShellQuote(prefix_.string()) +
                  " WINEDLLOVERRIDES=" + ShellQuote(overrides) + " REMEDOR_PLANTED_MARKERS=" +
                  ShellQuote(HostPathForWine(work_ / "markers")) + " timeout -k 10 600 " + kWine +
                  " Remedor.exe --script " + ShellQuote(HostPathForWine(work_ / "script.txt")) +
                  " --out " + ShellQuote(HostPathForWine(work_ / out)) + " 2>" +
                  ShellQuote(trace.string()) + ")");
    Wine(kWineServer + std::string(" -w"));
    return ReadFile(trace);
  }

  // The tool's folder as shipped again: a run deletes the lists it reads, and
  // a second run of the same copy stops at start-up for want of them.
  void ShipAgain() {
    fs::remove_all(tool_);
    fs::copy(work_ / "shipped", tool_);
  }

  bool WroteItsReport(const std::string& out) {
    return ReadFile(work_ / out / "screen.txt").find("Rapport") != std::string::npos;
  }

  fs::path tool_;
};

// The file names of the libraries a +pid,+loaddll trace shows loaded by
// Remedor.exe's process (Wine's own services trace into it too), in lower
// case.
std::set<std::string> LoadedLibraries(const std::string& trace) {
  static const std::regex loaded(
      "^([0-9a-f]+):[0-9a-f]+:trace:loaddll:[a-z_]+ Loaded L\"([^\"]+)\" at");
  std::set<std::string> names;
  std::string tool_process;
  std::istringstream lines(trace);
  for (std::string line; std::getline(lines, line);) {
    std::smatch match;
    if (!std::regex_search(line, match, loaded)) continue;
    std::string path = match[2].str();
    if (tool_process.empty() && path.ends_with("\\Remedor.exe")) tool_process = match[1].str();
    if (match[1].str() != tool_process) continue;
    const std::size_t slash = path.find_last_of('\\');
    if (slash != std::string::npos) path.erase(0, slash + 1);
    names.insert(platform::LowerCase(path));
  }
  return names;
}

TEST_F(HostileFolder, NoLibraryPlantedBesideTheToolIsLoaded) {
  // Only KnownDLLs are imported: every other library would be loaded, with
  // what it loads itself, before the entry point restricts the search.
  for (const std::string& name : StaticImports(win_build_ / "Remedor.exe")) {
    EXPECT_TRUE(KnownDlls().contains(name)) << name;
  }
  const std::set<std::string> loaded = LoadedLibraries(RunTool("survey", "+pid,+loaddll"));
  ASSERT_TRUE(WroteItsReport("survey"));
  ASSERT_TRUE(loaded.contains("kernel32.dll")) << "no +loaddll trace";

  const fs::path built = work_ / "marker.dll";
  CaptureOutput("x86_64-w64-mingw32-gcc -shared -O1 -o " + ShellQuote(built.string()) + " " +
                ShellQuote(REMEDOR_SOURCE_DIR "/tests/wine/planted/marker_library.c"));
  ASSERT_TRUE(fs::is_regular_file(built)) << "MinGW-w64 built no library";
  std::set<std::string> start = KnownDlls();
  start.merge(StaticImports(win_build_ / "Remedor.exe"));
  const std::set<std::string> wines_own = ImportsOfWinesStartLibraries(start);
  ShipAgain();
  std::string overrides;
  std::set<std::string> planted;
  for (const std::string& name : loaded) {
    if (!name.ends_with(".dll") || KnownDlls().contains(name) || wines_own.contains(name)) {
      continue;
    }
    fs::copy_file(built, tool_ / name);
    overrides += (overrides.empty() ? "" : ";") + name.substr(0, name.size() - 4) + "=n,b";
    planted.insert(name);
  }
  ASSERT_FALSE(planted.empty());
  ASSERT_TRUE(planted.contains("urlmon.dll") && planted.contains("wininet.dll"))
      << "the run did not use the libraries it should";

  RunTool("planted", "-all", overrides);
  std::set<std::string> markers;
  for (const auto& entry : fs::directory_iterator(work_ / "markers")) {
    markers.insert(platform::LowerCase(entry.path().filename().string()));
  }
  EXPECT_TRUE(markers.empty()) << "loaded from the tool's folder: " << [&] {
    std::string names;
    for (const std::string& name : markers) names += name + " ";
    return names;
  }();
  EXPECT_TRUE(WroteItsReport("planted"));
}

TEST_F(HostileFolder, ALinkNamedAsTheResultsFileIsNeitherWrittenNorDeletedThrough) {
  const fs::path elsewhere = prefix_ / "drive_c" / "users" / "joueur" / "Documents";
  fs::create_directories(elsewhere);
  WriteFile(elsewhere / "precious.txt", "the player's");
  fs::create_symlink(elsewhere / "precious.txt", tool_ / "ListeDesFichiersManquants.txt");

  RunTool("linked", "-all");
  EXPECT_TRUE(WroteItsReport("linked"));
  EXPECT_TRUE(fs::is_symlink(tool_ / "ListeDesFichiersManquants.txt"));
  EXPECT_EQ(ReadFile(elsewhere / "precious.txt"), "the player's");
}

// The driver's output folder is the caller's, but what stands there is not
// trusted either: a link at an output file's name stops the run before the
// tool starts, and what it leads to is left as it was.
TEST_F(HostileFolder, ALinkAtAnOutputFilesNameIsNeverWrittenThrough) {
  WriteFile(work_ / "precious.txt", "the player's");
  fs::create_directories(work_ / "outlinked");
  fs::create_symlink(work_ / "precious.txt", work_ / "outlinked" / "forum.txt");

  RunTool("outlinked", "-all");
  EXPECT_TRUE(fs::is_symlink(work_ / "outlinked" / "forum.txt"));
  EXPECT_EQ(ReadFile(work_ / "precious.txt"), "the player's");
  EXPECT_FALSE(WroteItsReport("outlinked"));
  EXPECT_TRUE(fs::is_regular_file(tool_ / "FILESLIST.TXT")) << "the tool started";
}

}  // namespace
