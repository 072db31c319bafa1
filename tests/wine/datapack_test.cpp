// The DataPack under wine64: Remedor.exe loads the 64-bit 7z.dll it carries
// from memory and extracts the add-on's password-protected digest list. The
// sample prefix (tools/make_sample_wine_prefix.py) gets a QDsys.dll and a
// DataPack made by the 7z command; the tool runs headless once per DataPack.
// A good one gives the library's right digest, so no corruption line; a wrong
// password and a damaged archive (whose reading makes 7z.dll throw its C++
// exceptions, unwound through the registered function table) extract nothing,
// so the library is reported corrupt, and the tool carries on to its report.
#include <gtest/gtest.h>

#include <algorithm>
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

constexpr char kPassword[] = "Kq7Lm2Xw@Zt9Rb4N%c3P";
constexpr char kGame[] = "drive_c/Games/Richard Burns Rally";
constexpr char kTool[] = "drive_c/users/joueur/Downloads/Remedor";
constexpr char kCorrupt[] = "Fichier QDsys.dll corrompu";

class DataPackUnderWine : public SamplePrefixTest {
 protected:
  DataPackUnderWine() : SamplePrefixTest("datapack") {}

  void SetUp() override {
    SamplePrefixTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_FALSE(CaptureOutput("command -v 7z").empty()) << "the 7z command is missing";

    // The library, and a digest list that names its right digest.
    const std::string library = "QDsys library bytes\n";
    WriteFile(Game() / "QDsys.dll", library);
    const std::string digest =
        CaptureOutput("md5sum " + ShellQuote((Game() / "QDsys.dll").string()));
    ASSERT_GE(digest.size(), 32u);
    fs::create_directories(work_ / "pack");
    WriteFile(work_ / "pack" / "qdm.ini", "[MD5]\r\nQDsys.dll=" + digest.substr(0, 32) + "\r\n");
  }

  fs::path Game() const { return fs::path(prefix_) / kGame; }

  // The game's DataPack, made by the 7z command with `password`, holding the
  // items of work/pack named by `items`.
  void MakeDataPack(const std::string& password, const std::string& items = "qdm.ini") {
    const fs::path pack = Game() / "QUORVEL" / "qdm.7z";
    fs::remove(pack);
    CaptureOutput("cd " + ShellQuote((work_ / "pack").string()) + " && 7z a -p" +
                  ShellQuote(password) + " -mhe=on " + ShellQuote(pack.string()) + " " + items);
    ASSERT_TRUE(fs::is_regular_file(pack));
  }

  // One headless run (start-up, full analysis, close); the report's lines.
  // The close removes the tool's lists: they are put back for the next run.
  std::vector<std::string> RunTool() {
    const fs::path tool = fs::path(prefix_) / kTool;
    const fs::path sample = work_ / "sample" / kTool;
    for (const char* list : {"FILESLIST.TXT", "A8W-09.TXT"}) {
      fs::copy_file(sample / list, tool / list, fs::copy_options::overwrite_existing);
    }
    fs::remove_all(work_ / "out");
    CaptureOutput("cd " + ShellQuote(tool.string()) + " && env WINEDEBUG=-all WINEPREFIX=" +
                  ShellQuote(prefix_.string()) + " timeout -k 10 600 " + kWine +
                  " Remedor.exe --out " + ShellQuote(HostPathForWine(work_ / "out")));
    std::vector<std::string> lines;
    std::istringstream report(ReadFile(work_ / "out" / "screen.txt"));
    for (std::string line; std::getline(report, line);) lines.push_back(line);
    return lines;
  }

  static bool Holds(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
};

TEST_F(DataPackUnderWine, ExtractsTheDigestsAndSurvivesAWrongPasswordOrADamagedArchive) {
  MakeDataPack(kPassword);
  const std::string archive = ReadFile(Game() / "QUORVEL" / "qdm.7z");
  auto report = RunTool();
  ASSERT_GT(report.size(), 40u) << "Remedor.exe wrote no report";
  EXPECT_FALSE(Holds(report, kCorrupt)) << "the digest list was not extracted";
  EXPECT_FALSE(fs::exists(fs::path(prefix_) / kTool / "qdm.ini"))
      << "the list is removed after use";

  SCOPED_TRACE("a wrong password");
  MakeDataPack("not the password");
  report = RunTool();
  ASSERT_GT(report.size(), 40u) << "Remedor.exe did not survive a wrong password";
  EXPECT_TRUE(Holds(report, kCorrupt));

  SCOPED_TRACE("a damaged archive");
  std::string damaged = archive;
  for (std::size_t i = 40; i < damaged.size() - 8; i += 7)
    damaged[i] = static_cast<char>(~damaged[i]);
  WriteFile(Game() / "QUORVEL" / "qdm.7z", damaged);
  report = RunTool();
  ASSERT_GT(report.size(), 40u) << "Remedor.exe did not survive a damaged archive";
  EXPECT_TRUE(Holds(report, kCorrupt));
}

// An item named like a device comes before the digest list: it is skipped,
// and the list still comes out (written, "CON" would be the console).
TEST_F(DataPackUnderWine, AnItemNamedLikeADeviceLeavesTheDigestsWhole) {
  WriteFile(work_ / "pack" / "CON", "console");
  WriteFile(work_ / "pack" / "aux.ini", "aux");
  MakeDataPack(kPassword, "CON aux.ini qdm.ini");
  const auto report = RunTool();
  ASSERT_GT(report.size(), 40u) << "Remedor.exe wrote no report";
  EXPECT_FALSE(Holds(report, kCorrupt)) << "the digest list was not extracted";
}

}  // namespace
