#include <gtest/gtest.h>

#include "analysis/report.h"
#include "tests/test_machine.h"

namespace {

using analysis::Rule;
using analysis::Stars;
using analysis::markup::Green;
using analysis::markup::Red;
using Lines = std::vector<std::string>;

using test::kConfig;
using test::kPacksKey;
using test::kStageKey;

// One car pack, installed and up to date: the car-pack check writes nothing.
void AddCleanPacks(test::TestMachine& machine) {
  machine.AddTextFile(
      kConfig, "[Nbre_Packs]\r\nnbre=1\r\n[Packs]\r\npack1=PackA\r\n[PackA]\r\nversion=2\r\n");
  machine.SetRegistryString(test::Hive::kLocalMachine, kPacksKey, "PackA", "2");
}

void SetCheckList(TForm1& form, const Lines& entries) {
  form.window.CheckList.clear();
  for (const std::string& entry : entries) form.window.CheckList.push_back({entry, false});
}

TEST(AnalysisRun, WithoutConfigFileStopsBeforeWritingAnything) {
  test::TestMachine machine;
  test::TestForm tool(machine, test::AfterStartup{});
  tool.Analyse();
  EXPECT_EQ(tool.Messages("plain"), Lines{"Ne peut ouvrir le fichier Config_P.ini"});
  EXPECT_TRUE(tool.form().report.ScreenLines.empty());
  EXPECT_TRUE(tool.form().report.ForumLines.empty());
  EXPECT_TRUE(tool.form().window.SpeedButton1.enabled);
  EXPECT_TRUE(tool.form().window.SpeedButton4.enabled);
  EXPECT_TRUE(tool.Clipboard().empty());
}

// A small installation with one fault of each kind the analysis reports.
TEST(AnalysisRun, ReportOfASmallInstallation) {
  test::TestMachine machine;
  machine.SetFact("Clock", "Now", "2026-12-10 14:05:09");
  machine.SetFact("Locale", "Weekdays", "dimanche lundi mardi mercredi jeudi vendredi samedi");
  machine.AddTextFile(kConfig,
                      "[Nbre_Packs]\r\nnbre=2\r\n[Packs]\r\npack1=PackA\r\npack2=PackB\r\n"
                      "[PackA]\r\nversion=4\r\n[PackB]\r\nversion=2\r\n");
  machine.SetRegistryString(test::Hive::kLocalMachine, kPacksKey, "PackA", "3");
  machine.SetRegistryString(test::Hive::kLocalMachine, kPacksKey, "PackB", "0");
  machine.SetRegistryString(test::Hive::kLocalMachine, kStageKey, "Install", "0");
  machine.AddFile("C:\\Jeux\\RBR\\RichardBurnsRally_SSE.exe", "MZ");
  machine.AddFolder("C:\\Jeux\\RBR\\Audio");
  machine.AddFile("C:\\windows\\system32\\msvbvm60.dll", "MZ");
  machine.AddFile("C:\\Jeux\\RBR\\Plugins\\PhysicsNG.no", "MZ");
  machine.AddTextFile("C:\\Jeux\\RBR\\QUORVEL\\Sounds\\Effects\\horns.ini",
                      "[Horns]\r\n; klaxons\r\n\r\nhorn1=QUORVEL\\Sounds\\horn1\r\n"
                      "horn2= QUORVEL\\Sounds\\nothere \r\n");
  machine.AddFile("C:\\Jeux\\RBR\\QUORVEL\\Sounds\\horn1.wav", "RIFF");
  machine.AddTextFile("C:\\Jeux\\RBR\\QUORVEL\\Sounds\\Engines\\cars.ini", "[Cars]\r\neng1=s1\r\n");
  machine.AddFile("C:\\Jeux\\RBR\\Audio\\Cars\\s1.eng", "ENG");
  machine.AddFolder("C:\\Jeux\\RBR\\MAPS\\track-10_M_textures");
  test::TestForm tool(machine, test::AfterStartup{});
  TForm1& form = tool.form();
  SetCheckList(form, {"RichardBurnsRally_SSE.exe", "audio", "QUORVEL\\missing.dll", "&MSVBVM60.DLL",
                      "$Loading\\absent.dds", "§Plugins\\PhysicsNG.dll"});
  form.dds_listing = {"stray.dds"};
  form.settings.product_name = "Windows 7 Professional";
  form.settings.ChronoManagerStatus = "Activé";

  tool.Analyse();

  const std::string dds = "Présence anormale de fichier(s) DDS à la racine du jeu : ";
  const std::string textures =
      "Présence anormale de dossiers track-xx_X_textures dans ..\\MAPS\\ ou un de ses "
      "sous-dossier";
  const std::string date = "*** Rapport généré le jeudi 10/12/2026 à 14:05:09 ***";
  EXPECT_EQ(form.report.ScreenLines,
            (Lines{Rule(),
                   "Vérification des packs de voitures",
                   "Pack de voitures non à jour : PackA. Version installée : 3 version requise : 4",
                   Rule(),
                   "Vérification du pack de spéciales",
                   "Le pack de spéciales n'est pas installé",
                   Rule(),
                   "Fichiers manquants :",
                   "  Fichier manquant : C:\\Jeux\\RBR\\QUORVEL\\missing.dll",
                   "  Fichier manquant : Loading\\absent.dds ** Fichier du loading screen **",
                   "Fichier son inconnu dans le fichier .ini suivant : "
                   "C:\\Jeux\\RBR\\QUORVEL\\Sounds\\Effects\\horns.ini. Fichier inconnu : "
                   "C:\\Jeux\\RBR\\QUORVEL\\Sounds\\nothere.wav",
                   "Nombre de fichiers manquants : 3",
                   Rule(),
                   Rule(),
                   dds,
                   "  Présence anormale de stray.dds",
                   Rule(),
                   "",
                   Stars(92),
                   "  " + textures,
                   Stars(92),
                   date}));
  EXPECT_EQ(
      form.report.ForumLines,
      (Lines{Rule(),
             "Vérification des packs de voitures",
             "Pack de voitures non à jour : PackA. Version installée : " + Red("3") +
                 " version requise : " + Green("4"),
             Rule(),
             "Vérification du pack de spéciales",
             Red("Le pack de spéciales n'est pas installé."),
             Rule(),
             "Fichiers manquants :",
             "  Fichier manquant : C:\\Jeux\\RBR\\QUORVEL\\missing.dll",
             "  Fichier manquant : Loading\\absent.dds ** Fichier du loading screen **",
             Red("Fichier son inconnu dans le fichier .ini suivant : ") +
                 "[br][/br]C:\\Jeux\\RBR\\QUORVEL\\Sounds\\Effects\\horns.ini.[br][/br]Ligne n° 5 "
                 "-> horn2= QUORVEL\\Sounds\\nothere [br][/br]Fichier son inconnu -> "
                 "C:\\Jeux\\RBR\\QUORVEL\\Sounds\\nothere.wav",
             Rule(),
             Rule(),
             Red(dds),
             "  Présence anormale de stray.dds",
             Rule(),
             "",
             Stars(92),
             "  " + Red(textures),
             Stars(92),
             date}));
  // Outdated pack, stage pack, unknown sound, and four forum lines opening
  // with a space (two missing files, the DDS file, the texture folders).
  EXPECT_EQ(form.report.ProblemCount, 7);
  EXPECT_EQ(form.MissingCount, 3);
  EXPECT_EQ(form.SoundTestCount, 3);  // horn1, horn2, eng1
  EXPECT_EQ(tool.Clipboard(), form.report.ForumText);
  EXPECT_TRUE(form.report.ForumText.starts_with("[quote]" + Rule() + "[br][/br] Vérification"));
  EXPECT_EQ(form.window.LabelHeadline.caption,
            "7 problèmes ont été détectés, le bon fonctionnement de QUORVEL est compromis");
  const std::vector<bool> ticks{false, false, true, false, true, false};
  for (std::size_t i = 0; i < ticks.size(); ++i) {
    EXPECT_EQ(form.window.CheckList[i].ticked, ticks[i]) << form.window.CheckList[i].text;
  }
  EXPECT_EQ(form.window.Gauge1.position, 5);
  EXPECT_EQ(form.window.Gauge2.caption, "Terminé, 3 tests effectués sur les fichiers son.");
  EXPECT_FALSE(form.window.SpeedButton1.enabled);
  EXPECT_FALSE(form.window.SpeedButton4.enabled);
  EXPECT_TRUE(form.window.BoutonCorriger.enabled);
  EXPECT_TRUE(form.window.bButton6.enabled);
  EXPECT_FALSE(form.window.SpeedButton3.enabled);  // its check box is not ticked
  EXPECT_TRUE(tool.Messages("error").empty());
}

// Which entries count as present, by marker, with Windows' case-blind lookups.
TEST(AnalysisRun, MarkersDecidePresence) {
  struct Case {
    std::string entry;
    bool missing;
  };
  const Case cases[] = {
      {"Present.exe", false},
      {"PRESENT.EXE", false},
      {"Folder", false},         // a plain entry may be a folder
      {"&msvbvm60.dll", false},  // System32 of the Windows folder
      {"&Folder", true},         // marked entries must be files
      {"&present.exe", true},    // looked for in System32, not the game folder
      {"$Present.exe", false},
      {"$Folder", true},
      {"£Present.exe", false},
      {"£Folder", true},
      {"§Plugins\\Off.dll", false},  // switched off: Plugins\Off.no
      {"§Plugins\\On.dll", false},
      {"§Plugins\\Gone.dll", true},
      {"§Plugins\\Dir.dll", true},  // Plugins\Dir.no is a folder
      {"µ2014-03", false},          // never checked
      {"Absent.exe", true},
      // A device name is never a file of the game, even where one lies.
      {"CON", true},
      {"nul.txt", true},
      {"Com1", true},
      {"Plugins\\AUX.dll", true},
      {"§Plugins\\Lpt1.dll", true},  // nor is its switched-off twin there
  };
  test::TestMachine machine;
  AddCleanPacks(machine);
  for (const char* device : {"CON", "nul.txt", "COM1", "Plugins\\aux.dll", "Plugins\\LPT1.no"}) {
    machine.AddFile("C:\\Jeux\\RBR\\" + std::string(device), "MZ");
  }
  machine.AddFile("C:\\Jeux\\RBR\\Present.exe", "MZ");
  machine.AddFolder("C:\\Jeux\\RBR\\Folder");
  machine.AddFile("C:\\windows\\system32\\MSVBVM60.DLL", "MZ");
  machine.AddFolder("C:\\windows\\system32\\Folder");
  machine.AddFile("C:\\Jeux\\RBR\\Plugins\\Off.no", "MZ");
  machine.AddFile("C:\\Jeux\\RBR\\Plugins\\On.dll", "MZ");
  machine.AddFolder("C:\\Jeux\\RBR\\Plugins\\Dir.no");
  test::TestForm tool(machine, test::AfterStartup{});
  Lines entries;
  for (const Case& c : cases) entries.push_back(c.entry);
  SetCheckList(tool.form(), entries);

  tool.Analyse();

  int missing = 0;
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(tool.form().window.CheckList[i].ticked, cases[i].missing) << cases[i].entry;
    missing += cases[i].missing ? 1 : 0;
  }
  EXPECT_EQ(tool.form().MissingCount, missing);
}

// The forum view lists 501 missing entries at most; the totals appear from 500 on.
TEST(AnalysisRun, ForumCapOnManyMissingEntries) {
  for (const int missing : {499, 500, 501, 600}) {
    SCOPED_TRACE(missing);
    test::TestMachine machine;
    AddCleanPacks(machine);
    test::TestForm tool(machine, test::AfterStartup{});
    Lines entries;
    for (int i = 0; i < missing; ++i) entries.push_back("absent" + std::to_string(i) + ".dll");
    SetCheckList(tool.form(), entries);

    tool.Analyse();

    const auto count_missing = [](const Lines& lines) {
      return std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.starts_with("  Fichier manquant : ");
      });
    };
    const TForm1& form = tool.form();
    EXPECT_EQ(count_missing(form.report.ScreenLines), missing);
    const int listed = std::min(missing, 501);
    EXPECT_EQ(count_missing(form.report.ForumLines), listed);
    EXPECT_EQ(form.MissingCount, missing);
    const Lines& forum = form.report.ForumLines;
    const auto total = std::find(forum.begin(), forum.end(), ".../...");
    if (missing >= 500) {
      ASSERT_NE(total, forum.end());
      EXPECT_EQ(*(total + 1), " ");
      EXPECT_EQ(*(total + 2),
                "Nombre total de fichiers manquants : " + Red(std::to_string(missing)));
    } else {
      EXPECT_EQ(total, forum.end());
    }
    EXPECT_NE(std::find(form.report.ScreenLines.begin(), form.report.ScreenLines.end(),
                        "Nombre de fichiers manquants : " + std::to_string(missing)),
              form.report.ScreenLines.end());
    // Only the forum lines count: the listed entries and the spacer line.
    EXPECT_EQ(form.report.ProblemCount, listed + (missing >= 500 ? 1 : 0));
  }
}

TEST(AnalysisRun, EmptyCheckListWritesNoHeader) {
  test::TestMachine machine;
  AddCleanPacks(machine);
  test::TestForm tool(machine, test::AfterStartup{});
  tool.form().window.CheckList.clear();
  tool.Analyse();
  const Lines& screen = tool.form().report.ScreenLines;
  EXPECT_EQ(std::find(screen.begin(), screen.end(), "Fichiers manquants :"), screen.end());
  EXPECT_EQ(tool.form().report.ProblemCount, 0);
  EXPECT_EQ(tool.form().window.LabelHeadline.caption,
            "Aucun fichier ou dossier nécessaire au bon fonctionnement de QUORVEL n'est manquant.");
  EXPECT_EQ(tool.form().report.ForumLines[1],
            "Aucun fichier ou dossier nécessaire au bon fonctionnement de QUORVEL n'est manquant.");
}

TEST(AnalysisRun, ProtectedFolderCorruptionAndProcesses) {
  test::TestMachine machine;
  machine.AddTextFile(
      "C:\\program files\\RBR\\QUORVEL\\Config_P.ini",
      "[Nbre_Packs]\r\nnbre=1\r\n[Packs]\r\npack1=PackA\r\n[PackA]\r\nversion=2\r\n");
  machine.SetRegistryString(test::Hive::kLocalMachine, kPacksKey, "PackA", "2");
  machine.AddProcess("explorer.exe", 30);
  machine.AddProcess("RichardBurnsRally_SSE.exe", 12);
  test::TestForm tool(machine, test::AfterStartup{});
  TForm1& form = tool.form();
  form.InstallFolder = "C:\\program files\\RBR\\";
  form.settings.product_name = "Windows Vista (TM) Home Premium";
  form.CorruptionLines = {"Fichier corrompu : QUORVEL\\a.7z"};
  form.window.CheckList.clear();

  tool.Analyse(/*full=*/true);

  const std::string vista = "Installation incorrecte sous Windows Vista (Système dans " +
                            tool.os().machine().WindowsFolder() + ")";
  Lines screen(form.report.ScreenLines.begin() + 2, form.report.ScreenLines.end() - 1);
  const std::string processes = "Liste des processus en cours lors du rapport d'analyse ( ";
  ASSERT_GE(screen.size(), 16u);
  EXPECT_EQ(Lines(screen.begin(), screen.begin() + 14),
            (Lines{Rule(), "", Stars(59), "  " + vista, Stars(59), Rule(), "", Stars(25),
                   " Corruption de fichier(s)", Stars(25), "Fichier corrompu : QUORVEL\\a.7z",
                   Rule(), Rule(), processes + std::to_string(form.ProcessList.size()) + " )"}));
  EXPECT_EQ(Lines(screen.begin() + 14, screen.end()), form.ProcessList);
  Lines forum(form.report.ForumLines.begin() + 3, form.report.ForumLines.end() - 1);
  ASSERT_GE(forum.size(), 15u);
  EXPECT_EQ(
      Lines(forum.begin(), forum.begin() + 14),
      (Lines{Rule(), "", Stars(59), "  " + Red(vista), Stars(59), Rule(), "", Stars(25),
             " " + Red("Corruption de fichier(s)"), Stars(25), "Fichier corrompu : QUORVEL\\a.7z",
             Rule(), processes + std::to_string(form.ProcessList.size()) + " )", "[quote]"}));
  EXPECT_EQ(forum.back(), "[/quote]");
  EXPECT_TRUE(form.CorruptionFound);
  EXPECT_TRUE(form.process_list_option);
  // The protected folder and the corruption header.
  EXPECT_EQ(form.report.ProblemCount, 2);
}

}  // namespace
