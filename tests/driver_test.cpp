// The remedor driver: a scripted run on a test machine and its output files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "app/headless.h"
#include "app/reference_lists.h"
#include "tests/test_machine.h"

namespace test {
namespace {

std::vector<nlohmann::json> JsonLines(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::vector<nlohmann::json> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(nlohmann::json::parse(line));
  return lines;
}

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class Driver : public ::testing::Test {
 protected:
  Driver() : out_(machine_.root().parent_path() / (machine_.root().filename().string() + "-out")) {}
  ~Driver() override { std::filesystem::remove_all(out_); }

  int Run(const std::string& script, std::vector<std::string> arguments = {}) {
    const auto script_path = out_.string() + ".script";
    std::ofstream(script_path) << script;
    app::DriverOptions options{machine_.root().string(), script_path, out_.string(),
                               std::move(arguments)};
    machine_.WriteFacts();
    const int status = app::RunDriver(options, stdout_, stderr_);
    std::filesystem::remove(script_path);
    return status;
  }

  TestMachine machine_;
  std::filesystem::path out_;
  std::ostringstream stdout_, stderr_;
};

TEST_F(Driver, AScriptedRunWritesWhatThePlayerWouldSee) {
  // No game: the folder gate stops the run after its message.
  machine_.AddTextFile("C:\\Outil\\FILESLIST.TXT", "a\r\n");
  ASSERT_EQ(Run("answer ok\n"), 0) << stderr_.str();
  const auto dialogs = JsonLines(out_ / "dialogs.jsonl");
  // The new-version check could not reach its site: its warning comes in
  // before the gate stops the run, on every run.
  ASSERT_EQ(dialogs.size(), 2u);
  EXPECT_EQ(dialogs.front()["kind"], "warning");
  EXPECT_EQ(dialogs.back()["kind"], "plain");
  EXPECT_NE(dialogs.back()["text"].get<std::string>().find("Chemin trouvé : \\\r\r"),
            std::string::npos);
  const auto events = JsonLines(out_ / "events.jsonl");
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back()["event"], "stop");
  EXPECT_EQ(events.back()["detail"], "stopped");
  // Stopped by a gate: the window is not closed, no self-removal, no clean-up.
  EXPECT_EQ(Slurp(machine_.root() / "user.reg").find("DelRemedor"), std::string::npos);
  EXPECT_EQ(Slurp(out_ / "screen.txt"), "");
  EXPECT_NE(stdout_.str().find("[plain] Le chemin de l'installation"), std::string::npos);
}

TEST_F(Driver, ControlsAreWrittenAfterTheLastActionAndTheCloseCleansUp) {
  machine_.SetRegistryString(Hive::kLocalMachine,
                             "SOFTWARE\\SCi Games\\Richard Burns Rally\\InstallPath", "",
                             "C:\\Jeux\\RBR");
  machine_.AddFolder("C:\\Jeux\\RBR");
  machine_.AddTextFile("C:\\Outil\\FILESLIST.TXT", "RichardBurnsRally.ini\r\n");
  machine_.AddTextFile("C:\\Outil\\AllPacks.TXT", "QUORVEL\r\n");
  machine_.AddTextFile("C:\\Outil\\mes notes.txt", "à moi\r\n");
  machine_.SetFact("Services", "W32Time", "4");
  // No marker line and no installed update: the update gate lets it be.
  ASSERT_EQ(Run("click ButtonHelp\nclick CBBoutonGenerer\nclick language\ndblclick ListBox2\n"
                "key alt+f1\nclick SpeedButton3\n"),
            0)
      << stderr_.str();
  std::map<std::string, nlohmann::json> controls;
  for (auto& control : JsonLines(out_ / "controls.jsonl")) controls[control["name"]] = control;
  EXPECT_EQ(controls["SpeedButton1"]["caption"], "Simple analysis");
  EXPECT_EQ(controls["SpeedButton1"]["enabled"], true);
  EXPECT_EQ(controls["SpeedButton3"]["enabled"], true);
  EXPECT_EQ(controls["BoutonCorriger"]["enabled"], true);
  EXPECT_EQ(controls["PanelHelp"]["visible"], true);
  EXPECT_EQ(controls["PanelCopy"]["visible"], true);
  const std::string screen = Slurp(out_ / "screen.txt");
  EXPECT_EQ(screen.rfind("Version de l'utilitaire de dépannage : 8.36.0\n", 0), 0u);
  // The clipboard holds the screen view with CR LF between the lines.
  const std::string clipboard = Slurp(out_ / "clipboard.txt");
  EXPECT_EQ(clipboard.rfind("Version de l'utilitaire de dépannage : 8.36.0\r\n", 0), 0u);
  std::vector<std::string> events;
  for (auto& event : JsonLines(out_ / "events.jsonl")) events.push_back(event["event"]);
  EXPECT_EQ(events, (std::vector<std::string>{"clipboard", "folder", "stop"}));
  // The close removed the lists and the results file, never the player's file.
  EXPECT_FALSE(machine_.Exists("C:\\Outil\\FILESLIST.TXT"));
  EXPECT_FALSE(machine_.Exists("C:\\Outil\\ListeDesFichiersManquants.txt"));
  EXPECT_TRUE(machine_.Exists("C:\\Outil\\mes notes.txt"));
  EXPECT_NE(Slurp(machine_.root() / "user.reg").find("DelRemedor"), std::string::npos);
}

TEST_F(Driver, RefusesABadScriptOrAMissingMachine) {
  EXPECT_EQ(Run("click Nowhere\n"), 2);
  EXPECT_NE(stderr_.str().find("line 1: not understood"), std::string::npos);
  app::DriverOptions options;
  options.machine = (machine_.root() / "absent").string();
  EXPECT_EQ(app::RunDriver(options, stdout_, stderr_), 2);
  EXPECT_NE(stderr_.str().find("the machine folder does not exist"), std::string::npos);
}

// A script, a machine or an output folder the driver cannot use is refused
// before the tool starts: the shipped lists are still there, nothing was
// registered, nothing was written.
TEST_F(Driver, RefusesItsInputsBeforeTheToolTouchesAnything) {
  machine_.AddTextFile("C:\\Outil\\FILESLIST.TXT", "a\r\n");
  machine_.WriteFacts();
  const std::filesystem::path work = out_.string() + "-inputs";
  std::filesystem::create_directories(work / "script-folder");
  std::filesystem::create_directories(work / "taken" / "screen.txt");  // a folder in the way
  std::ofstream(work / "a-file") << "x";
  std::ofstream(work / "script") << "analyse simple\n";
  // A link where an output file goes: what it leads to is never written.
  std::filesystem::create_directories(work / "linked");
  std::ofstream(work / "victim") << "kept";
  std::filesystem::create_symlink(work / "victim", work / "linked" / "forum.txt");
  struct Case {
    const char* name;
    std::filesystem::path script, out;
    std::string message;
  };
  const Case cases[] = {
      {"script is a folder", work / "script-folder", work / "out", "is a folder, not a file"},
      {"script is missing", work / "absent", work / "out", "cannot read the script"},
      {"out is a file", work / "script", work / "a-file", "cannot be made"},
      {"out lies under a file", work / "script", work / "a-file" / "out", "cannot be made"},
      {"out cannot take its files", work / "script", work / "taken", "screen.txt: access denied"},
      {"a link stands at an output's name", work / "script", work / "linked",
       "forum.txt: access denied (a symbolic link)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::ostringstream out, err;
    app::DriverOptions options{machine_.root().string(), c.script.string(), c.out.string(), {}};
    EXPECT_EQ(app::RunDriver(options, out, err), 2);
    EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
    EXPECT_EQ(out.str(), "");
    EXPECT_TRUE(machine_.Exists("C:\\Outil\\FILESLIST.TXT"));
    EXPECT_EQ(Slurp(machine_.root() / "user.reg").find("DelRemedor"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(work / "out"));
  }
  EXPECT_TRUE(std::filesystem::is_symlink(work / "linked" / "forum.txt"));
  EXPECT_EQ(Slurp(work / "victim"), "kept");
  std::filesystem::remove_all(work);
}

// Machine text with escape sequences: escaped on a terminal, the bytes as
// they are in the output files and on a pipe.
TEST_F(Driver, ControlCharactersReachATerminalEscapedAndTheFilesUnchanged) {
  machine_.SetRegistryString(Hive::kLocalMachine,
                             "SOFTWARE\\SCi Games\\Richard Burns Rally\\InstallPath", "",
                             "C:\\Jeux\\RBR");
  machine_.AddFolder("C:\\Jeux\\RBR");
  machine_.AddTextFile(kConfig, "[Nbre_Packs]\r\nnbre=0\r\n");
  const std::string raw = "gone\x1b]0;owned\x07.dll";
  for (const bool terminal : {false, true}) {
    SCOPED_TRACE(terminal ? "terminal" : "pipe");
    machine_.AddTextFile("C:\\Outil\\FILESLIST.TXT", "gone\x1b]0;owned\x07.dll\r\n");
    machine_.AddTextFile("C:\\Outil\\AllPacks.TXT", "");
    std::ostringstream out, err;
    const auto script_path = out_.string() + ".script";
    std::ofstream(script_path) << "analyse simple\n";
    app::DriverOptions options{machine_.root().string(), script_path, out_.string(), {}};
    machine_.WriteFacts();
    ASSERT_EQ(app::RunDriver(options, out, err, {terminal, terminal}), 0) << err.str();
    std::filesystem::remove(script_path);
    const std::string shown = terminal ? "gone\\x1B]0;owned\\x07.dll" : raw;
    EXPECT_NE(out.str().find("Fichier manquant : C:\\Jeux\\RBR\\" + shown), std::string::npos)
        << out.str();
    EXPECT_EQ(out.str().find('\x1b') == std::string::npos, terminal);
    EXPECT_NE(Slurp(out_ / "screen.txt").find(raw), std::string::npos);
  }
}

TEST(DriverCommandLine, HelpAsksForTheUsageAlone) {
  std::string error;
  const auto options = app::ParseDriverArguments({"--help", "--bogus"}, error);
  ASSERT_TRUE(options) << error;
  EXPECT_TRUE(options->help);
  EXPECT_NE(std::string(app::kDriverUsage).find("--script FILE"), std::string::npos);
  const auto tool_arguments = app::ParseDriverArguments({"--", "--help"}, error);
  ASSERT_TRUE(tool_arguments);
  EXPECT_FALSE(tool_arguments->help);
}

// The sample machine (tools/make_sample_machine.py) with two archives in the
// add-on folder that hold three of its missing files, one of them under the
// DataPack's password; the script answers the offer after the start-up.
TEST(DriverRestore, TheScriptAnswersTheOfferToRestoreMissingFiles) {
  for (const std::string answer : {"no", "yes"}) {
    SCOPED_TRACE(answer);
    std::string pattern = (std::filesystem::temp_directory_path() / "remedor-restore-XXXXXX");
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    const std::filesystem::path work = pattern, machine = work / "machine";
    const std::filesystem::path game = machine / "drive_c/Games/Richard Burns Rally";
    const std::string make = "python3 '" REMEDOR_SOURCE_DIR "/tools/make_sample_machine.py' '" +
                             machine.string() + "' >/dev/null";
    ASSERT_EQ(std::system(make.c_str()), 0);
    for (const char* path : {"src/Cars/A8W-09/car.ini", "src/Textures/Loading/chargement_perdu.dds",
                             "src/QUORVEL/Textures/texture_perdue.dds"}) {
      std::filesystem::create_directories((work / path).parent_path());
      std::ofstream(work / path) << path;
    }
    const std::string archive =
        "cd '" + (work / "src").string() + "' && 7z a '" + (game / "QUORVEL/XYZ.7z").string() +
        "' Cars Textures >/dev/null && 7z a -pKq7Lm2Xw@Zt9Rb4N%c3P -mhe=on '" +
        (game / "QUORVEL/Extra.7z").string() + "' QUORVEL >/dev/null";
    ASSERT_EQ(std::system(archive.c_str()), 0);
    std::ofstream(work / "script.txt") << "wait 0\nanswer " << answer << "\nanalyse full\nclose\n";

    app::DriverOptions options{
        machine.string(), (work / "script.txt").string(), (work / "out").string(), {}};
    std::ostringstream out, err;
    ASSERT_EQ(app::RunDriver(options, out, err), 0) << err.str();
    std::vector<std::string> boxes;
    for (const auto& dialog : JsonLines(work / "out/dialogs.jsonl")) {
      if (dialog["kind"] != "warning")
        boxes.push_back(dialog["kind"].get<std::string>() + " " +
                        dialog["answer"].get<std::string>());
    }
    const bool yes = answer == "yes";
    const std::vector<std::string> expected =
        yes ? std::vector<std::string>{"confirmation yes", "information ok"}
            : std::vector<std::string>{"confirmation no"};
    EXPECT_EQ(boxes, expected);
    EXPECT_EQ(Slurp(game / "Cars/A8W-09/car.ini"), yes ? "src/Cars/A8W-09/car.ini" : "");
    EXPECT_EQ(Slurp(game / "QUORVEL/Textures/texture_perdue.dds"),
              yes ? "src/QUORVEL/Textures/texture_perdue.dds" : "");
    std::filesystem::remove_all(work);
  }
}

}  // namespace
}  // namespace test
