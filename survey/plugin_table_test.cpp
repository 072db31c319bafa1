#include "survey/plugin_table.h"

#include <gtest/gtest.h>

namespace survey {
namespace {

using Lines = std::vector<std::string>;

const std::string kRule(80, '_');

TEST(KnownPlugins, WholeNameWithoutRegardToCase) {
  EXPECT_EQ(KnownPluginLabel("FIXUP.DLL"), "- FixUp ( ");
  EXPECT_EQ(KnownPluginLabel("zzzRBR_RX.dll"), "- BobsTrackBuilder ( ");
  EXPECT_EQ(KnownPluginLabel("rbr_rx.dll"), "- BobsTrackBuilder ( ");
  EXPECT_EQ(KnownPluginLabel("RBRSingleRally.dll"), "- Plugin \"Single rally\" ( ");
  EXPECT_EQ(KnownPluginLabel("RBRTM.dll"), "- Plugin Tchèque ( ");
  EXPECT_EQ(KnownPluginLabel("FixUp.no"), std::nullopt);
  EXPECT_EQ(KnownPluginLabel("MyFixUp.dll"), std::nullopt);
  EXPECT_EQ(KnownPluginLabel("Z.dll.dll"), std::nullopt);
}

TEST(PluginLines, KnownAndUnknownPlugins) {
  analysis::AnalysisReport report;
  WritePluginLines(report, PluginFolder::kListed, {"FIXUP.DLL", "mystery.dll"});
  EXPECT_EQ(report.ScreenLines,
            (Lines{kRule, "Liste des plugins installés : ", "- FixUp ( FIXUP.DLL )",
                   "- >>> Plugin inconnu : mystery.dll <<<"}));
  EXPECT_EQ(report.ForumLines,
            (Lines{kRule, "Liste des plugins installés : ", "- FixUp ( FIXUP.DLL )",
                   "[highlight=orange][b][color=#000000]- >>> Plugin inconnu : mystery.dll "
                   "<<<[/color][/b][/highlight]"}));
}

TEST(PluginLines, EmptyMissingOrUnreadableFolderIsOneProblemLine) {
  struct Case {
    PluginFolder folder;
    std::string line;
  } cases[] = {
      {PluginFolder::kListed, " - Le dossier \"\\Plugins\" ne contient aucun plugin !."},
      {PluginFolder::kMissing, " - Le dossier \"\\Plugins\" n'existe pas !."},
      {PluginFolder::kUnreadable, " - Le dossier \"\\Plugins\" n'a pas pu être lu !."},
  };
  for (const Case& c : cases) {
    analysis::AnalysisReport report;
    WritePluginLines(report, c.folder, {});
    const Lines expected = {kRule, "Liste des plugins installés : ", c.line};
    EXPECT_EQ(report.ScreenLines, expected);
    EXPECT_EQ(report.ForumLines, expected);
    analysis::CountProblemsAndJoin(report);
    EXPECT_EQ(report.ProblemCount, 1) << c.line;
  }
}

TEST(CheatTool, NoticeInBothViews) {
  analysis::AnalysisReport report;
  WriteCheatToolNotice(report);
  EXPECT_EQ(report.ScreenLines,
            (Lines{kRule, ">>>> Logiciel Cheat Mode de JORIK installé", kRule}));
  EXPECT_EQ(report.ForumLines, (Lines{kRule,
                                      "[highlight=red][b][color=white]Logiciel Cheat Mode de JORIK "
                                      "installé[/color][/b][/highlight]",
                                      kRule}));
}

}  // namespace
}  // namespace survey
