#include "survey/machine_rows.h"

#include <gtest/gtest.h>

namespace survey {
namespace {

using Lines = std::vector<std::string>;

const std::string kRed = "[highlight=red][b][color=white]";
const std::string kGreen = "[highlight=green][b][color=white]";
const std::string kOrange = "[highlight=orange][b][color=black]";
const std::string kClose = "[/color][/b][/highlight]";
const std::string kBlink = "[Blink][highlight=red][b][color=white]";
const std::string kBlinkClose = "[/color][/b][/highlight][/Blink]";

platform::Error Failure() { return platform::MakeError(platform::Errc::kIo, "Query", ""); }

TEST(VersionRows, InstalledUpdateOnlyWhenKnown) {
  AnalysisReport report;
  WriteVersionRows(report, "8.36.0", "", "2014-03x");
  const Lines expected = {"Version de l'utilitaire de dépannage : 8.36.0",
                          "Version de l'update prise en charge par cet utilitaire : 2014-03x",
                          std::string(80, '_'), "Configuration de l'utilisateur :"};
  EXPECT_EQ(report.ScreenLines, expected);
  EXPECT_EQ(report.ForumLines, expected);

  AnalysisReport with_update;
  WriteVersionRows(with_update, "8.36.0", "15", "15");
  EXPECT_EQ(with_update.ScreenLines.at(1), "Version de l'update installée : 15");
}

TEST(ProcessorRow, ScreenAndForumForms) {
  AnalysisReport report;
  WriteProcessorRow(report, "   Intel(R) Core(TM) i7 CPU", 4);
  EXPECT_EQ(report.ScreenLines.at(0),
            "Processeur : Intel(R) Core(TM) i7 CPU - Nb de core physiques : 4");
  EXPECT_EQ(report.ForumLines.at(0), "Processeur : Intel(R) Core(TM) i7 CPU - Nb de core : 4");
}

TEST(ProcessorRow, BrandCutAtFortyEightCharactersAndAtNul) {
  AnalysisReport report;
  WriteProcessorRow(report, std::string(60, 'x'), 2);
  WriteProcessorRow(report, std::string("AMD\0junk", 8), 0);
  EXPECT_EQ(report.ForumLines.at(0), "Processeur : " + std::string(48, 'x') + " - Nb de core : 2");
  EXPECT_EQ(report.ForumLines.at(1), "Processeur : AMD - Nb de core : 0");
}

TEST(MemoryRow, ColourByTotal) {
  struct Case {
    std::uint64_t total, free;
    std::string screen, forum;
  } cases[] = {
      {8'589'934'592, 2'147'483'648, "RAM : 8.389 Go dont 2.097 Go de libres",
       "RAM : " + kGreen + "8.389 Go dont 2.097 Go de libres" + kClose},
      {614'400'000, 0, "RAM : 0.6 Go dont 0 Go de libres",  // exactly 0.6: red
       "RAM : " + kRed + "0.6 Go dont 0 Go de libres" + kClose},
      {614'400'001, 0, "RAM : 0.6 Go dont 0 Go de libres",  // just above 0.6: orange
       "RAM : " + kOrange + "0.6 Go dont 0 Go de libres" + kClose},
      {700'000'000, 0, "RAM : 0.684 Go dont 0 Go de libres",
       "RAM : " + kOrange + "0.684 Go dont 0 Go de libres" + kClose},
      {1'023'999'999, 0, "RAM : 1 Go dont 0 Go de libres",  // shown as 1, still orange
       "RAM : " + kOrange + "1 Go dont 0 Go de libres" + kClose},
      {1'024'000'000, 0, "RAM : 1 Go dont 0 Go de libres",  // exactly 1: green
       "RAM : " + kGreen + "1 Go dont 0 Go de libres" + kClose},
  };
  for (const Case& c : cases) {
    AnalysisReport report;
    WriteMemoryRow(report, platform::MemoryStatus{c.total, c.free}, ".");
    EXPECT_EQ(report.ScreenLines, Lines{c.screen}) << c.total;
    EXPECT_EQ(report.ForumLines, Lines{c.forum}) << c.total;
  }
}

TEST(MemoryRow, LocaleSeparatorAndFailedQuery) {
  AnalysisReport report;
  WriteMemoryRow(report, platform::MemoryStatus{8'589'934'592, 2'147'483'648}, ",");
  EXPECT_EQ(report.ScreenLines.at(0), "RAM : 8,389 Go dont 2,097 Go de libres");

  AnalysisReport failed;
  WriteMemoryRow(failed, platform::Result<platform::MemoryStatus>(Failure()), ",");
  EXPECT_EQ(failed.ScreenLines,
            Lines{"RAM : Erreur lors de la récupération de la taille de la RAM"});
  EXPECT_EQ(
      failed.ForumLines,
      Lines{"RAM : " + kRed + "Erreur lors de la récupération de la taille de la RAM" + kClose});
}

TEST(DisplayRows, GraphicsCardOnlyWithDeviceZero) {
  AnalysisReport report;
  WriteDisplayRows(report, std::string("NVIDIA GeForce GTX 1060"), 2, {1920, 1080});
  const Lines expected = {"Carte graphique : NVIDIA GeForce GTX 1060", "Nombre d'écran(s) : 2",
                          "Résolution écran : 1920 x 1080"};
  EXPECT_EQ(report.ScreenLines, expected);
  EXPECT_EQ(report.ForumLines, expected);

  AnalysisReport without;
  WriteDisplayRows(without, std::nullopt, 1, {800, 600});
  EXPECT_EQ(without.ScreenLines, (Lines{"Nombre d'écran(s) : 1", "Résolution écran : 800 x 600"}));
  EXPECT_EQ(without.ForumLines, without.ScreenLines);
}

TEST(GameResolutionRows, MarksWhatExceedsTheScreen) {
  const std::string warning = "Résolution de jeu supérieure à celle de l'écran";
  struct Case {
    const char *x, *y;
    Lines screen, forum;
  } cases[] = {
      {"1920",
       "900",
       {"Résolution de jeu : 1920 x 900", warning},
       {"Résolution de jeu : " + kBlink + "1920" + kBlinkClose + " x 900",
        kRed + warning + kClose}},
      {"1600", "900", {"Résolution de jeu : 1600 x 900"}, {"Résolution de jeu : 1600 x 900"}},
      {"1600",
       "1200",
       {"Résolution de jeu : 1600 x 1200", warning},
       {"Résolution de jeu : 1600 x " + kBlink + "1200" + kBlinkClose, kRed + warning + kClose}},
      {"-1", "-1", {"Résolution de jeu : -1 x -1"}, {"Résolution de jeu : -1 x -1"}},
      {"0", "0", {"Résolution de jeu : 0 x 0"}, {"Résolution de jeu : 0 x 0"}},
  };
  for (const Case& c : cases) {
    AnalysisReport report;
    WriteGameResolutionRows(report, c.x, c.y, {1600, 900});
    EXPECT_EQ(report.ScreenLines, c.screen) << c.x << "x" << c.y;
    EXPECT_EQ(report.ForumLines, c.forum) << c.x << "x" << c.y;
  }
}

TEST(GameResolutionRows, TextThatIsNotAWholeNumberIsReportedNotRaised) {
  AnalysisReport report;
  WriteGameResolutionRows(report, "1024x", "2000", {1600, 900});
  const std::string bad =
      "Résolution de jeu illisible dans RichardBurnsRally.ini : XRes = \"1024x\"";
  const std::string warning = "Résolution de jeu supérieure à celle de l'écran";
  EXPECT_EQ(report.ScreenLines, (Lines{"Résolution de jeu : 1024x x 2000", bad, warning}));
  EXPECT_EQ(report.ForumLines,
            (Lines{"Résolution de jeu : 1024x x " + kBlink + "2000" + kBlinkClose,
                   kRed + bad + kClose, kRed + warning + kClose}));

  AnalysisReport both;
  WriteGameResolutionRows(both, "", "99999999999", {1600, 900});
  EXPECT_EQ(both.ScreenLines.at(1),
            "Résolution de jeu illisible dans RichardBurnsRally.ini : XRes = \"\", "
            "YRes = \"99999999999\"");
  EXPECT_EQ(both.ScreenLines.size(), 2u);
}

TEST(DiskRow, ColourByShareOfRoundedFigures) {
  constexpr std::uint64_t kGb = 1'073'741'824;
  const std::string prefix = "Espace libre sur le lecteur où se trouve RBR/QUORVEL : ";
  struct Case {
    std::uint64_t free, total;
    std::string figures, open;
  } cases[] = {
      {50 * kGb, 100 * kGb, "50 Go / 100 Go au total", kGreen},  // exactly half
      {4999 * kGb / 100, 100 * kGb, "49.99 Go / 100 Go au total", kOrange},
      {10 * kGb, 100 * kGb, "10 Go / 100 Go au total", kOrange},        // exactly 10 %
      {999 * kGb / 100, 100 * kGb, "9.99 Go / 100 Go au total", kRed},  // 9.99 %
      {0, 100 * kGb, "0 Go / 100 Go au total", kRed},                   // a full disk
      {52'613'349'376, 150 * kGb, "49 Go / 150 Go au total", kOrange},
      {0, 0, "0 Go / 0 Go au total", kRed},
  };
  for (const Case& c : cases) {
    AnalysisReport report;
    WriteDiskRow(report, platform::DiskSpace{c.free, c.total}, ".");
    EXPECT_EQ(report.ScreenLines, Lines{prefix + c.figures}) << c.figures;
    EXPECT_EQ(report.ForumLines, Lines{prefix + c.open + c.figures + kClose}) << c.figures;
  }
}

TEST(DiskRow, FailedQueryGivesTheErrorLines) {
  AnalysisReport report;
  WriteDiskRow(report, platform::Result<platform::DiskSpace>(Failure()), ".");
  EXPECT_EQ(report.ScreenLines, Lines{"Erreur lors de la récupération de l'espace disque."});
  EXPECT_EQ(report.ForumLines,
            Lines{kRed + "Erreur lors de la récupération de l'espace disque." + kClose});
}

TEST(OperatingSystemRows, XpVistaSevenAndLater) {
  struct Case {
    OperatingSystemFacts os;
    Lines lines;
  } cases[] = {
      {{"Microsoft Windows XP", "Service Pack 3", "", false},
       {"Système d'exploitation : Microsoft Windows XP 32bits Service Pack 3"}},
      {{"Microsoft Windows XP", "Service Pack 2", "", true},
       {"Système d'exploitation : Microsoft Windows XP 64bits Service Pack 2"}},
      {{"Windows 7 Professional", "", "7601.x86fre", false},
       {"Système d'exploitation : Windows 7 Professional 32bits "}},
      {{"Windows 7 Professional", "", "7601.amd64fre.win7sp1", false},
       {"Système d'exploitation : Windows 7 Professional 64bits "}},
      {{"Windows 7 Professional", "", "7601.AMD64FRE", false},  // "amd64" is lower case
       {"Système d'exploitation : Windows 7 Professional 32bits "}},
      {{"Windows vista Business", "Service Pack 1", "6002.amd64fre", false},
       {"Système d'exploitation : Windows vista Business 64bits Service Pack 1"}},
      {{"Windows 10 Pro", "", "amd64", false}, {}},
      {{"", "", "", false}, {}},
      // Both tests are independent: a name with "XP" and a "7" gives both rows.
      {{"Windows XP 7", "", "amd64", false},
       {"Système d'exploitation : Windows XP 7 32bits ",
        "Système d'exploitation : Windows XP 7 64bits "}},
  };
  for (const Case& c : cases) {
    AnalysisReport report;
    WriteOperatingSystemRows(report, c.os);
    EXPECT_EQ(report.ScreenLines, c.lines) << c.os.product_name;
    EXPECT_EQ(report.ForumLines, c.lines) << c.os.product_name;
  }
}

TEST(AccountRow, AdministratorGreenUserRed) {
  AnalysisReport report;
  WriteAccountRow(report, true);
  WriteAccountRow(report, false);
  EXPECT_EQ(report.ScreenLines, (Lines{"Type de session en cours : Administrateur",
                                       "Type de session en cours : Utilisateur"}));
  EXPECT_EQ(report.ForumLines,
            (Lines{"Type de session en cours : " + kGreen + "Administrateur" + kClose,
                   "Type de session en cours : " + kRed + "Utilisateur" + kClose}));
}

}  // namespace
}  // namespace survey
