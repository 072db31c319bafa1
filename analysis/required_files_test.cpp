#include "analysis/required_files.h"

#include <gtest/gtest.h>

namespace analysis {
namespace {

constexpr std::string_view kGame = "C:\\Jeux\\RBR\\";
constexpr std::string_view kWindows = "C:\\WINDOWS";

TEST(RequiredFiles, MarkerDecidesPathsAndMissingLine) {
  struct Case {
    std::string_view entry;
    EntryKind kind;
    std::string path, alternative;
    bool folder_counts;
    std::string missing_line;
  };
  const Case cases[] = {
      {"RichardBurnsRally_SSE.exe", EntryKind::kPlain, "C:\\Jeux\\RBR\\RichardBurnsRally_SSE.exe",
       "", true, "  Fichier manquant : C:\\Jeux\\RBR\\RichardBurnsRally_SSE.exe"},
      {"&MSVBVM60.DLL", EntryKind::kVb6Runtime, "C:\\WINDOWS\\System32\\MSVBVM60.DLL", "", false,
       "  Fichier manquant : MSVBVM60.DLL ** Fichier de VB6 RunTime and More **"},
      {"$Loading\\screen1.dds", EntryKind::kLoadingScreen, "C:\\Jeux\\RBR\\Loading\\screen1.dds",
       "", false, "  Fichier manquant : Loading\\screen1.dds ** Fichier du loading screen **"},
      {"£Profiles\\DOROVIROZORA.ini", EntryKind::kProfile,
       "C:\\Jeux\\RBR\\Profiles\\DOROVIROZORA.ini", "", false,
       "  Fichier manquant : Profiles\\DOROVIROZORA.ini ** Pas de profile DOROVIROZORA ou profil "
       "endommagé**"},
      {"§Plugins\\PhysicsNG.dll", EntryKind::kNgpPlugin, "C:\\Jeux\\RBR\\Plugins\\PhysicsNG.dll",
       "C:\\Jeux\\RBR\\Plugins\\PhysicsNG.no", false,
       "  Fichier manquant : Plugins\\PhysicsNG.dll ** Fichier du plugin NGP manquant **"},
      // The switched-off twin keeps only the name after the last backslash.
      {"§Plugins\\NGP\\été.dll", EntryKind::kNgpPlugin, "C:\\Jeux\\RBR\\Plugins\\NGP\\été.dll",
       "C:\\Jeux\\RBR\\Plugins\\été.no", false,
       "  Fichier manquant : Plugins\\NGP\\été.dll ** Fichier du plugin NGP manquant **"},
      // Shorter than the three characters cut: the twin is "no" alone.
      {"§ab", EntryKind::kNgpPlugin, "C:\\Jeux\\RBR\\ab", "C:\\Jeux\\RBR\\Plugins\\no", false,
       "  Fichier manquant : ab ** Fichier du plugin NGP manquant **"},
      // Markers are exact: a blank before one makes a plain path, nothing is trimmed.
      {" &MSVBVM60.DLL", EntryKind::kPlain, "C:\\Jeux\\RBR\\ &MSVBVM60.DLL", "", true,
       "  Fichier manquant : C:\\Jeux\\RBR\\ &MSVBVM60.DLL"},
      {"µ2014-03", EntryKind::kSupportedUpdate, "", "", false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entry);
    const CheckEntry entry = ParseEntry(c.entry);
    EXPECT_EQ(entry.kind, c.kind);
    const EntryProbe probe = ProbeFor(entry, kGame, kWindows);
    EXPECT_EQ(probe.path, c.path);
    EXPECT_EQ(probe.alternative, c.alternative);
    EXPECT_EQ(probe.folder_counts, c.folder_counts);
    EXPECT_EQ(probe.checked, c.kind != EntryKind::kSupportedUpdate);
    EXPECT_EQ(MissingLine(entry, kGame), c.missing_line);
  }
}

// How many missing entries reach the forum view, and the totals written.
TEST(RequiredFiles, ForumCapAndTotals) {
  struct Case {
    std::int32_t missing;
    int forum_listed;
    std::vector<std::string> forum_totals;
  };
  const std::string red_open =
      "Nombre total de fichiers manquants : [highlight=red][b][color=white]";
  const std::string red_close = "[/color][/b][/highlight]";
  const Case cases[] = {
      {0,
       0,
       {"Aucun fichier ou dossier nécessaire au bon fonctionnement de QUORVEL n'est manquant."}},
      {499, 499, {}},
      {500, 500, {".../...", " ", red_open + "500" + red_close}},
      {501, 501, {".../...", " ", red_open + "501" + red_close}},
      {600, 501, {".../...", " ", red_open + "600" + red_close}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.missing);
    int listed = 0;
    for (std::int32_t before = 0; before < c.missing; ++before) {
      listed += ForumListsMissingEntry(before) ? 1 : 0;
    }
    EXPECT_EQ(listed, c.forum_listed);

    AnalysisReport report;
    WriteMissingTotals(report, c.missing);
    std::vector<std::string> forum = c.forum_totals;
    forum.push_back(Rule());
    EXPECT_EQ(report.ForumLines, forum);
    std::vector<std::string> screen;
    if (c.missing > 0)
      screen.push_back("Nombre de fichiers manquants : " + std::to_string(c.missing));
    screen.push_back(Rule());
    EXPECT_EQ(report.ScreenLines, screen);
  }
}

}  // namespace
}  // namespace analysis
