// The game folder as a player may give it with /DIR:, under wine64: longer
// than MAX_PATH, in the device namespace (\\?\C:\...), and a check list that
// names devices. Remedor.exe runs headless once on the sample prefix
// (tools/make_sample_wine_prefix.py), its game moved below a long folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/wine/sample_prefix.h"
#include "tests/wine/wine_shell.h"

namespace {

using namespace wine_test;
namespace fs = std::filesystem;

constexpr char kTool[] = "drive_c/users/joueur/Downloads/Remedor";

class InstallFolderUnderWine : public SamplePrefixTest {
 protected:
  InstallFolderUnderWine() : SamplePrefixTest("folder") {}

  // One headless run with the tool's arguments; the report's lines.
  std::vector<std::string> RunTool(const std::string& arguments) {
    CaptureOutput("cd " + ShellQuote((fs::path(prefix_) / kTool).string()) +
                  " && env WINEDEBUG=-all WINEPREFIX=" + ShellQuote(prefix_.string()) +
                  " timeout -k 10 600 " + kWine + " Remedor.exe --out " +
                  ShellQuote(HostPathForWine(work_ / "out")) + " -- " + arguments);
    std::vector<std::string> lines;
    std::istringstream report(ReadFile(work_ / "out" / "screen.txt"));
    for (std::string line; std::getline(report, line);) lines.push_back(line);
    return lines;
  }
};

bool Holds(const std::vector<std::string>& lines, const std::string& line) {
  for (const std::string& l : lines) {
    if (l == line) return true;
  }
  return false;
}

bool HoldsStart(const std::vector<std::string>& lines, const std::string& start) {
  for (const std::string& l : lines) {
    if (l.rfind(start, 0) == 0) return true;
  }
  return false;
}

// The game below a folder that makes its INI paths longer than MAX_PATH,
// given in the \\?\ form: the folder is taken in its plain form, the settings
// are read (no "0 x 0", no unreadable pack count), and entries named like
// devices are missing although the game folder holds files of those names.
TEST_F(InstallFolderUnderWine, LongFolderInTheDeviceNamespaceWithDeviceEntries) {
  std::string deep = "Games";
  for (int i = 0; i < 5; ++i) deep += "/" + std::string(50, static_cast<char>('a' + i));
  const fs::path drive_c = fs::path(prefix_) / "drive_c";
  fs::create_directories(drive_c / deep);
  fs::rename(drive_c / "Games" / "Richard Burns Rally", drive_c / deep / "Richard Burns Rally");
  std::string folder = "C:\\" + deep + "\\Richard Burns Rally";
  for (char& c : folder) c = c == '/' ? '\\' : c;
  ASSERT_GT(folder.size() + std::string("\\QUORVEL\\Config_P.ini").size(), 260u);
  const fs::path game = drive_c / deep / "Richard Burns Rally";
  for (const char* device : {"CON", "nul.txt", "COM1"}) WriteFile(game / device, "x");
  fs::create_directories(game / "Plugins");
  WriteFile(game / "Plugins" / "aux.dll", "x");
  const fs::path list = fs::path(prefix_) / kTool / "FILESLIST.TXT";
  WriteFile(list, ReadFile(list) + "CON\r\nnul.txt\r\nCOM1\r\nPlugins\\AUX.dll\r\n");

  const auto report = RunTool(ShellQuote("/DIR:\\\\?\\" + folder));
  ASSERT_GT(report.size(), 40u) << "Remedor.exe wrote no report";
  // The resolution the game's INI file gives, read at that length.
  std::istringstream ini(ReadFile(game / "RichardBurnsRally.ini"));
  std::string resolution = "Résolution de jeu : ";
  for (std::string line; std::getline(ini, line);) {
    if (line.rfind("XRes = ", 0) == 0) resolution += line.substr(7, line.find_first_of("\r") - 7);
    if (line.rfind("YRes = ", 0) == 0) {
      resolution += " x " + line.substr(7, line.find_first_of("\r") - 7);
    }
  }
  ASSERT_NE(resolution, "Résolution de jeu : 0 x 0");
  EXPECT_TRUE(Holds(report, resolution)) << resolution;
  EXPECT_FALSE(HoldsStart(report, "Nombre de packs de voitures illisible"));
  // The folder is taken in its plain form.
  EXPECT_TRUE(Holds(report, "Richard Burns Rally est installé dans : " + folder + "\\"));
  for (const char* device : {"CON", "nul.txt", "COM1", "Plugins\\AUX.dll"}) {
    EXPECT_TRUE(Holds(report, "  Fichier manquant : " + folder + "\\" + device)) << device;
  }
}

}  // namespace
