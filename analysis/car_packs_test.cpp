#include <gtest/gtest.h>

#include "analysis/report.h"
#include "tests/test_machine.h"

namespace {

using analysis::Rule;
using analysis::markup::Green;
using analysis::markup::Red;
using Lines = std::vector<std::string>;

using test::kConfig;
using test::kPacksKey;
using test::kStageKey;
const std::string kHeader = "Vérification des packs de voitures";

struct Pack {
  std::string name, required;
  std::optional<std::string> installed;  // nullopt: no registry value
};

void WriteConfig(test::TestMachine& machine, const std::string& count,
                 const std::vector<Pack>& packs) {
  std::string ini = "[Nbre_Packs]\r\nnbre=" + count + "\r\n[Packs]\r\n";
  for (std::size_t i = 0; i < packs.size(); ++i) {
    ini += "pack" + std::to_string(i + 1) + "=" + packs[i].name + "\r\n";
  }
  for (const Pack& pack : packs) ini += "[" + pack.name + "]\r\nversion=" + pack.required + "\r\n";
  machine.AddTextFile(kConfig, ini);
  for (const Pack& pack : packs) {
    if (pack.installed) {
      machine.SetRegistryString(test::Hive::kLocalMachine, kPacksKey, pack.name, *pack.installed);
    }
  }
}

TEST(CarPacks, OutdatedAndMissingPacks) {
  const std::string none_screen = "Aucun pack de voitures n'est installé";
  const std::string none_forum = Red("Aucun pack de voitures n'est installé.");
  struct Case {
    std::string name, count;
    std::vector<Pack> packs;
    Lines screen, forum;
    int problems;
  };
  const Case cases[] = {
      {"no pack", "0", {}, {Rule(), kHeader, none_screen}, {Rule(), kHeader, none_forum}, 1},
      {"both up to date", "2", {{"A", "3", "3"}, {"B", "2", "5"}}, {}, {}, 0},
      {"one outdated, one absent",
       "2",
       {{"A", "4", "3"}, {"B", "2", std::nullopt}},
       {Rule(), kHeader,
        "Pack de voitures non à jour : A. Version installée : 3 version requise : 4"},
       {Rule(), kHeader,
        "Pack de voitures non à jour : A. Version installée : " + Red("3") +
            " version requise : " + Green("4")},
       1},
      {"none installed",
       "2",
       {{"A", "4", "0"}, {"B", "2", "0"}},
       {Rule(), kHeader, none_screen},
       {Rule(), kHeader, none_forum},
       1},
      {"negative count", "-1", {{"A", "4", "0"}}, {}, {}, 0},
      {"numeric comparison", "1", {{"A", "9", "10"}}, {}, {}, 0},
      // Versions are written as read, not as converted.
      {"written as read",
       "1",
       {{"A", " 010", "007"}},
       {Rule(), kHeader,
        "Pack de voitures non à jour : A. Version installée : 007 version requise : 010"},
       {Rule(), kHeader,
        "Pack de voitures non à jour : A. Version installée : " + Red("007") +
            " version requise : " + Green("010")},
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TestMachine machine;
    WriteConfig(machine, c.count, c.packs);
    test::TestForm tool(machine, test::AfterStartup{});
    tool.Run(&TForm1::VerifPacks);
    EXPECT_EQ(tool.form().report.ScreenLines, c.screen);
    EXPECT_EQ(tool.form().report.ForumLines, c.forum);
    EXPECT_EQ(tool.form().report.ProblemCount, c.problems);
    EXPECT_TRUE(tool.Messages("error").empty());
  }
}

// The list holds "pack1" to "packN"; the names the file does not hold read as
// empty, packs that are not installed. However large N, the check costs what
// the file holds and says what reading every name would say.
TEST(CarPacks, ACountBeyondTheFileCostsWhatTheFileHolds) {
  const std::string none_screen = "Aucun pack de voitures n'est installé";
  const std::string outdated_a =
      "Pack de voitures non à jour : A. Version installée : 3 version requise : 4";
  struct Case {
    std::string name, count, packs;  // packs: the lines of [Packs]
    std::optional<std::string> a_installed;
    Lines screen;
  };
  const Case cases[] = {
      {"largest count, nothing installed",
       "2147483647",
       "pack1=A\r\npack2=B\r\n",
       "0",
       {Rule(), kHeader, none_screen}},
      {"largest count, one installed", "2147483647", "pack1=A\r\npack2=B\r\n", "4", {}},
      {"largest count, outdated", "2147483647", "pack1=A\r\n", "3", {Rule(), kHeader, outdated_a}},
      // Holes, a name past N, spellings the reads do not find, a later duplicate.
      {"sparse, nothing installed",
       "5",
       "PACK4=A\r\npack6=B\r\npack02=B\r\npack=B\r\npack4=B\r\npack2=\r\n",
       std::nullopt,
       {Rule(), kHeader, none_screen}},
      {"sparse, outdated", "5", "pack4=A\r\npack2=B\r\n", "3", {Rule(), kHeader, outdated_a}},
      {"key at the largest place", "2147483647", "pack2147483647=A\r\n", "4", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TestMachine machine;
    machine.AddTextFile(kConfig, "[Nbre_Packs]\r\nnbre=" + c.count + "\r\n[Packs]\r\n" + c.packs +
                                     "[A]\r\nversion=4\r\n[B]\r\nversion=1\r\n");
    if (c.a_installed) {
      machine.SetRegistryString(test::Hive::kLocalMachine, kPacksKey, "A", *c.a_installed);
    }
    test::TestForm tool(machine, test::AfterStartup{});
    tool.Run(&TForm1::VerifPacks);
    EXPECT_EQ(tool.form().report.ScreenLines, c.screen);
    EXPECT_EQ(tool.form().report.ProblemCount, c.screen.empty() ? 0 : 1);
    EXPECT_TRUE(tool.Messages("error").empty());
  }
}

TEST(CarPacks, StagePack) {
  struct Case {
    std::optional<std::string> install;
    bool reported;
  };
  const Case cases[] = {
      {"0", true}, {"1", false}, {"", false}, {std::nullopt, false}, {" 0", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.install.value_or("absent"));
    test::TestMachine machine;
    if (c.install)
      machine.SetRegistryString(test::Hive::kLocalMachine, kStageKey, "Install", *c.install);
    test::TestForm tool(machine, test::AfterStartup{});
    tool.Run(&TForm1::VerifPackTracks);
    const Lines screen = c.reported ? Lines{Rule(), "Vérification du pack de spéciales",
                                            "Le pack de spéciales n'est pas installé"}
                                    : Lines{};
    const Lines forum = c.reported ? Lines{Rule(), "Vérification du pack de spéciales",
                                           Red("Le pack de spéciales n'est pas installé.")}
                                   : Lines{};
    EXPECT_EQ(tool.form().report.ScreenLines, screen);
    EXPECT_EQ(tool.form().report.ForumLines, forum);
    EXPECT_EQ(tool.form().report.ProblemCount, c.reported ? 1 : 0);
  }
}

// A value that is not a whole number: its conversion message is shown, the
// report names it as a problem, and the analysis still closes its report.
TEST(CarPacks, UnreadableValuesAreReportedAndTheAnalysisGoesOn) {
  struct Case {
    std::string name, count;
    std::vector<Pack> packs;
    std::string message, line;
  };
  const Case cases[] = {
      {"count",
       "deux",
       {{"A", "3", "3"}},
       "'deux' is not a valid integer value",
       "Nombre de packs de voitures illisible dans Config_P.ini : deux"},
      {"missing count",
       "",
       {},
       "'' is not a valid integer value",
       "Nombre de packs de voitures illisible dans Config_P.ini : "},
      {"required version",
       "1",
       {{"A", "4b", "3"}},
       "'4b' is not a valid integer value",
       "Version illisible du pack de voitures A. Version installée : 3 version requise : 4b"},
      {"installed version",
       "1",
       {{"A", "4", "v3"}},
       "'v3' is not a valid integer value",
       "Version illisible du pack de voitures A. Version installée : v3 version requise : 4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TestMachine machine;
    WriteConfig(machine, c.count, c.packs);
    test::TestForm tool(machine, test::AfterStartup{});
    tool.form().window.CheckList.clear();
    tool.Analyse();
    EXPECT_EQ(tool.Messages("error"), Lines{c.message});
    const TForm1& form = tool.form();
    ASSERT_GE(form.report.ScreenLines.size(), 3u);
    EXPECT_EQ(Lines(form.report.ScreenLines.begin(), form.report.ScreenLines.begin() + 3),
              (Lines{Rule(), kHeader, c.line}));
    EXPECT_EQ(form.report.ForumLines[2], Red(c.line));
    EXPECT_EQ(form.report.ProblemCount, 1);
    // The report was closed: on the clipboard, buttons done.
    EXPECT_EQ(tool.Clipboard(), form.report.ForumText);
    EXPECT_TRUE(form.report.ScreenLines.back().starts_with("*** Rapport généré le "));
    EXPECT_FALSE(form.window.SpeedButton1.enabled);
  }
}

// A pack value of another type than a string is the registry's error: it
// ends the analysis where it was, the buttons stay enabled.
TEST(CarPacks, PackValueOfTheWrongTypeEndsTheAnalysis) {
  test::TestMachine machine;
  WriteConfig(machine, "1", {{"A", "3", std::nullopt}});
  machine.SetRegistryDword(test::Hive::kLocalMachine, kPacksKey, "A", 3);
  test::TestForm tool(machine, test::AfterStartup{});
  tool.Analyse();
  EXPECT_EQ(tool.Messages("error"), Lines{"Invalid data type for 'A'"});
  EXPECT_TRUE(tool.Clipboard().empty());
  EXPECT_TRUE(tool.form().window.SpeedButton1.enabled);
}

}  // namespace
