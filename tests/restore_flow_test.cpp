// The window's offer to restore missing files after an analysis.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/test_machine.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using Lines = std::vector<std::string>;

const Lines kCheckList = {"Maps\\a.dat", "CARS/b.ini", "§Plugins\\PhysicsNG.dll",
                          "Maps\\nowhere.dat", "RichardBurnsRally_SSE.exe"};

// A machine whose check list misses three files the add-on's XYZ.7z holds,
// one of them the NGP plugin, which is never offered.
void MakeMachine(test::TestMachine& machine) {
  machine.AddTextFile(
      test::kConfig,
      "[Nbre_Packs]\r\nnbre=1\r\n[Packs]\r\npack1=PackA\r\n[PackA]\r\nversion=2\r\n");
  machine.SetRegistryString(test::Hive::kLocalMachine, test::kPacksKey, "PackA", "2");
  machine.AddFile("C:\\Jeux\\RBR\\RichardBurnsRally_SSE.exe", "MZ");
  machine.AddFile("C:\\src\\Maps\\a.dat", std::string(70'000, 'a'));
  machine.AddFile("C:\\src\\Cars\\b.ini", "[b]\r\n");
  machine.AddFile("C:\\src\\Plugins\\PhysicsNG.dll", "MZ plugin");
  machine.AddFolder("C:\\Jeux\\RBR\\QUORVEL");
  const std::string command = "cd '" + machine.HostPath("C:\\src").string() + "' && 7z a '" +
                              machine.HostPath("C:\\Jeux\\RBR\\QUORVEL\\XYZ.7z").string() +
                              "' Maps Cars Plugins >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
}

struct Outcome {
  Lines screen, forum;
  std::string clipboard;
  int problems = 0;
  Lines confirmations, informations;
};

Outcome Analyse(test::TestMachine& machine, std::optional<app::ScriptedAnswer::Kind> answer) {
  test::TestForm tool(machine, test::AfterStartup{});
  tool.form().window.CheckList.clear();
  for (const std::string& entry : kCheckList)
    tool.form().window.CheckList.push_back({entry, false});
  if (answer) tool.Answer(*answer);
  tool.Analyse();
  return {tool.Screen(),
          tool.Forum(),
          tool.Clipboard(),
          tool.form().report.ProblemCount,
          tool.Messages("confirmation"),
          tool.Messages("information")};
}

TEST(RestoreFlow, NoChangesNothingAndYesPutsTheFilesBackWithTheReportUnchanged) {
  test::TestMachine machine;
  MakeMachine(machine);

  const Outcome declined = Analyse(machine, app::ScriptedAnswer::Kind::kNo);
  ASSERT_EQ(declined.confirmations.size(), 1u);
  EXPECT_THAT(declined.confirmations[0], HasSubstr("2 fichier(s) manquant(s)"));
  EXPECT_THAT(declined.confirmations[0], HasSubstr("2 missing file(s)"));
  EXPECT_THAT(declined.confirmations[0], HasSubstr("XYZ.7z"));
  EXPECT_THAT(declined.informations, IsEmpty());
  EXPECT_FALSE(machine.Exists("C:\\Jeux\\RBR\\Maps"));
  EXPECT_FALSE(machine.Exists("C:\\Jeux\\RBR\\CARS"));

  const Outcome accepted = Analyse(machine, app::ScriptedAnswer::Kind::kYes);
  EXPECT_EQ(accepted.confirmations, declined.confirmations);
  EXPECT_THAT(accepted.informations, ElementsAre("2 fichier(s) restauré(s).\r2 file(s) restored."));
  EXPECT_EQ(machine.ReadFile("C:\\Jeux\\RBR\\Maps\\a.dat"), std::string(70'000, 'a'));
  EXPECT_EQ(machine.ReadFile("C:\\Jeux\\RBR\\CARS\\b.ini"), "[b]\r\n");
  EXPECT_FALSE(machine.Exists("C:\\Jeux\\RBR\\Plugins"));
  // The report was written before the question, and stays as written.
  EXPECT_EQ(accepted.screen, declined.screen);
  EXPECT_EQ(accepted.forum, declined.forum);
  EXPECT_EQ(accepted.clipboard, declined.clipboard);
  EXPECT_EQ(accepted.problems, declined.problems);
  EXPECT_THAT(accepted.screen,
              testing::Contains("  Fichier manquant : C:\\Jeux\\RBR\\Maps\\a.dat"));

  // The next analysis finds them, and has nothing left to offer.
  const Outcome later = Analyse(machine, std::nullopt);
  EXPECT_THAT(later.screen, testing::Not(testing::Contains(HasSubstr("Maps\\a.dat"))));
  EXPECT_THAT(later.screen, testing::Contains(HasSubstr("Maps\\nowhere.dat")));
  EXPECT_THAT(later.confirmations, IsEmpty());
}

TEST(RestoreFlow, NoBoxWhenTheArchivesHoldNoneOfTheMissingFiles) {
  test::TestMachine machine;
  MakeMachine(machine);
  machine.AddFile("C:\\Jeux\\RBR\\Maps\\a.dat", "there");
  machine.AddFile("C:\\Jeux\\RBR\\Cars\\b.ini", "there");
  const Outcome run = Analyse(machine, app::ScriptedAnswer::Kind::kYes);
  EXPECT_THAT(run.confirmations, IsEmpty());
  EXPECT_EQ(machine.ReadFile("C:\\Jeux\\RBR\\Maps\\a.dat"), "there");
}

}  // namespace
