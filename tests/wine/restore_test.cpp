// The restoration of missing files under wine64: on the sample machine (a real
// Wine prefix, tools/make_sample_wine_prefix.py) whose add-on folder gets two
// archives made by the 7z command, one plain and one under the DataPack's
// password with its headers encrypted, Remedor.exe answers Yes to the offer
// after a full analysis; the native driver does the same on a copy of the
// prefix (given the Windows build's facts, as the agreement test does). Both
// offer and restore the same files, byte for byte, and leave the NGP
// plugin's file alone.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/headless.h"
#include "tests/wine/sample_prefix.h"
#include "tests/wine/wine_shell.h"

namespace {

using namespace wine_test;
namespace fs = std::filesystem;
using ::testing::HasSubstr;

constexpr char kPassword[] = "Kq7Lm2Xw@Zt9Rb4N%c3P";
constexpr char kGame[] = "drive_c/Games/Richard Burns Rally";
constexpr char kToolFolder[] = "users/joueur/Downloads/Remedor";  // below drive_c
constexpr char kToolExe[] = "C:\\users\\joueur\\Downloads\\Remedor\\Remedor.exe";
// The start-up's boxes take their own answers; "yes" waits for the offer.
constexpr char kScript[] = "wait 0\nanswer yes\nanalyse full\nclose\n";

// What the archives hold, below the game folder; all but the last are
// missing entries of the sample machine's check list.
const std::map<std::string, std::string> kArchived = {
    {"Cars/A8W-09/car.ini", "[car]\r\nname=A8W-09\r\n"},
    {"Textures/Loading/chargement_perdu.dds", std::string(100'000, 'L')},
    {"QUORVEL/Textures/texture_perdue.dds", "DDS texture"},
    {"Plugins/NGP/physique_perdue.ini", "never offered"},
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

// The files below `folder` with their content.
std::map<std::string, std::string> Files(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file())
      files[fs::relative(entry.path(), folder).string()] = ReadFile(entry.path());
  }
  return files;
}

// The boxes of a run after the start-up's: the offer and what came of it.
std::vector<std::string> RestoreBoxes(const fs::path& dialogs) {
  std::vector<std::string> boxes;
  for (const std::string& line : Lines(ReadFile(dialogs))) {
    if (line.find("\"kind\":\"confirmation\"") != std::string::npos ||
        line.find("\"kind\":\"information\"") != std::string::npos) {
      boxes.push_back(line);
    }
  }
  return boxes;
}

class RestoreUnderWine : public SamplePrefixTest {
 protected:
  RestoreUnderWine() : SamplePrefixTest("restore") {}

  void SetUp() override {
    SamplePrefixTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_FALSE(CaptureOutput("command -v 7z").empty()) << "the 7z command is missing";

    for (const auto& [path, content] : kArchived) {
      fs::create_directories((work_ / "src" / path).parent_path());
      WriteFile(work_ / "src" / path, content);
    }
    const fs::path addon = prefix_ / kGame / "QUORVEL";
    CaptureOutput("cd " + ShellQuote((work_ / "src").string()) + " && 7z a " +
                  ShellQuote((addon / "XYZ.7z").string()) + " Cars Textures Plugins && 7z a -p" +
                  ShellQuote(kPassword) + " -mhe=on " + ShellQuote((addon / "Extra.7z").string()) +
                  " QUORVEL");
    ASSERT_TRUE(fs::is_regular_file(addon / "XYZ.7z"));
    ASSERT_TRUE(fs::is_regular_file(addon / "Extra.7z"));
    native_ = work_ / "native";
    fs::copy(prefix_, native_, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    WriteFile(work_ / "script.txt", kScript);
  }

  fs::path native_;
};

TEST_F(RestoreUnderWine, BothBuildsPutBackTheSameFilesFromTheSameArchives) {
  // The native run sees what the Windows build sees; its version check fails at once.
  const fs::path facts = native_ / "remedor-machine.ini";
  Wine(std::string(kWine) + " " + ShellQuote((win_build_ / "remedor-facts.exe").string()) + " " +
       ShellQuote(HostPathForWine(facts)) + " " +
       ShellQuote(HostPathForWine(native_ / "remedor-processes.txt")) + " " + ShellQuote(kToolExe));
  ASSERT_NE(ReadFile(facts).find("[Locale]"), std::string::npos) << "remedor-facts wrote nothing";
  WriteFile(facts, ReadFile(facts) + "[Network]\r\nVersionURL=http://127.0.0.1:9/curr_ver.txt\r\n");

  Wine(std::string(kWine) + " Remedor.exe --script " +
           ShellQuote(HostPathForWine(work_ / "script.txt")) + " --out " +
           ShellQuote(HostPathForWine(work_ / "wine-out")),
       prefix_ / "drive_c" / kToolFolder);
  Wine(kWineServer + std::string(" -w"));
  app::DriverOptions options;
  options.machine = native_.string();
  options.script = (work_ / "script.txt").string();
  options.out = (work_ / "native-out").string();
  std::ostringstream out, err;
  ASSERT_EQ(app::RunDriver(options, out, err), 0) << err.str();

  const auto boxes = RestoreBoxes(work_ / "wine-out" / "dialogs.jsonl");
  ASSERT_EQ(boxes.size(), 2u) << ReadFile(work_ / "wine-out" / "dialogs.jsonl");
  EXPECT_THAT(boxes[0], HasSubstr("3 fichier(s) manquant(s)"));
  EXPECT_THAT(boxes[0], HasSubstr("\"answer\":\"yes\""));
  EXPECT_THAT(boxes[1], HasSubstr("3 fichier(s) restauré(s)"));
  EXPECT_EQ(boxes, RestoreBoxes(work_ / "native-out" / "dialogs.jsonl"));

  const fs::path wine_game = prefix_ / kGame;
  for (const auto& [path, content] : kArchived) {
    if (path.starts_with("Plugins/")) {
      EXPECT_FALSE(fs::exists(wine_game / path)) << path;
    } else {
      EXPECT_EQ(ReadFile(wine_game / path), content) << path;
    }
  }
  EXPECT_EQ(Files(wine_game), Files(native_ / kGame));
}

}  // namespace
