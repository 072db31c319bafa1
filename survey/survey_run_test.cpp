// The survey run by the window's logic (TForm1's steps 13, 14 and 17) on small simulated machines.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

#include "app/RemedorMain.h"
#include "components/Profil.h"
#include "tests/test_machine.h"

namespace survey {
namespace {

using Lines = std::vector<std::string>;

const std::string kRule(80, '_');
const std::string kRed = "[highlight=red][b][color=white]";
const std::string kGreen = "[highlight=green][b][color=white]";
const std::string kOrange = "[highlight=orange][b][color=#000000]";
const std::string kClose = "[/color][/b][/highlight]";
const std::string kSettingsArea = "Software\\VB and VBA Program Settings\\";

// A small simulated machine with the game installed at C:\RBR\ and the
// tool's window logic on it: the test describes the machine, then Run()
// performs the survey's start-up steps (13, 14 and 17).
constexpr std::string_view kGame = "C:\\RBR\\";

class SurveyFixture {
 public:
  SurveyFixture();

  test::TestMachine machine;
  std::vector<std::string> reference_lines;  // what step 15 loaded
  std::string installed_update;              // what step 13 read
  bool no_ini_dump = false;

  // A game file, relative to the game folder.
  void AddGameFile(std::string_view relative, std::string_view bytes);
  void SetProductName(std::string_view product, std::string_view build_label = "");

  // Opens the machine and runs steps 13, 14 and 17 of the start-up: the
  // settings read early, the survey and the plugin inventory.
  TForm1& Run();
  test::TestForm& tool() { return *tool_; }

 private:
  std::unique_ptr<test::TestForm> tool_;
};

std::string FixtureLibrary(std::string_view name) {
  const std::string path = std::string(REMEDOR_BINARY_DIR) + "/pe-fixtures/" + std::string(name);
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("missing fixture " + path);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

SurveyFixture::SurveyFixture() {
  // A quiet machine: no registry values, one process, an idle time service.
  machine.SetFact("Display", "Width", "1600");
  machine.SetFact("Display", "Height", "900");
  machine.SetFact("Services", "W32Time", "1");
  machine.AddFolder("C:\\RBR\\Plugins");
  machine.AddProcess("explorer.exe", 32);
}

void SurveyFixture::AddGameFile(std::string_view relative, std::string_view bytes) {
  machine.AddFile(std::string(kGame) + std::string(relative), bytes);
}

void SurveyFixture::SetProductName(std::string_view product, std::string_view build_label) {
  constexpr std::string_view kVersionKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
  machine.SetRegistryString(test::Hive::kLocalMachine, kVersionKey, "ProductName", product);
  machine.SetRegistryString(test::Hive::kLocalMachine, kVersionKey, "BuildLabEx", build_label);
}

TForm1& SurveyFixture::Run() {
  tool_ = std::make_unique<test::TestForm>(machine);
  TForm1& tool = tool_->form();
  tool.InstallFolder = std::string(kGame);
  tool.ReferenceLines = reference_lines;
  tool.options.NoIniDump = no_ini_dump;
  tool.Profile2->IniFileName = tool.InstallFolder + "RichardBurnsRally.ini";  // step 13
  tool.InstalledUpdate = installed_update;
  tool.ReadSons2010Version();
  tool.ReadControlCentreSettings();  // step 14
  tool.WriteSurvey();                // step 17
  tool.WritePluginInventory();
  return tool;
}

// The lines of `lines` that start with `prefix`.
Lines Starting(const Lines& lines, std::string_view prefix) {
  Lines found;
  for (const std::string& line : lines) {
    if (line.rfind(prefix, 0) == 0) found.push_back(line);
  }
  return found;
}

bool Contains(const Lines& lines, std::string_view line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(SurveyOrder, EveryLineOfBothViewsForOneCompleteMachine) {
  SurveyFixture fixture;
  test::TestMachine& m = fixture.machine;
  fixture.installed_update = "15";
  fixture.reference_lines = {"// liste générale", "µ15", "Audio\\Speech\\speech.dat"};
  m.SetFact("Processor", "Brand", "  Intel(R) Core(TM) i7-2600 CPU @ 3.40GHz");
  m.SetFact("Processor", "PhysicalCores", "4");
  m.SetFact("Memory", "Total", "8589934592");
  m.SetFact("Memory", "Free", "2147483648");
  m.SetFact("Display", "Device0", "AMD Radeon HD 6950");
  m.SetFact("Display", "Monitors", "2");
  m.SetFact("Disks", "C", "53687091200 107374182400");
  m.SetFact("Windows", "ServicePack", "Service Pack 1");
  m.SetFact("Windows", "Administrator", "0");
  for (const char* process : {"svchost.exe", "MsMpEng.exe", "AVP.EXE"}) m.AddProcess(process, 9);
  fixture.SetProductName("Windows 7 Professional", "7601.17514.amd64fre.win7sp1_rtm.101119-1850");
  m.SetRegistryString(test::Hive::kLocalMachine,
                      "SOFTWARE\\SCi Games\\Richard Burns Rally\\QUORVEL\\Sons_2010", "Version",
                      "2.1");
  m.SetRegistryString(test::Hive::kCurrentUser, kSettingsArea + "Corvane2015\\guest Settings",
                      "UseChronoManager", "1");
  m.SetRegistryString(test::Hive::kCurrentUser, kSettingsArea + "Corvane\\LastProfil", "Profil",
                      "Pilote");
  m.SetRegistryString(test::Hive::kCurrentUser, kSettingsArea + "Corvane\\Pilote Settings",
                      "CheckXSim", "1");
  m.SetRegistryString(test::Hive::kLocalMachine,
                      "SYSTEM\\CurrentControlSet\\Services\\W32Time\\Parameters", "Type", "NoSync");
  fixture.AddGameFile("RichardBurnsRally.ini",
                      "[Settings]\r\nXRes=1920\r\nYRes=900\r\nUseEAX=true\r\n");
  fixture.AddGameFile("audio.dat", "");
  m.AddFolder("C:\\RBR\\MAPS\\wRBR");
  fixture.AddGameFile("fmod.dll", FixtureLibrary("with_version.dll"));
  fixture.AddGameFile("AudioFMOD\\AudioFMOD.ini", "[Settings]\r\nenableFMOD=TRUE\r\n");
  fixture.AddGameFile("Plugins\\FixUp.no", FixtureLibrary("with_version32.dll"));
  fixture.AddGameFile("Plugins\\PhysicsNG.dll", FixtureLibrary("without_version.dll"));
  fixture.AddGameFile("Plugins\\bonus.dll", "");
  fixture.AddGameFile("Plugins\\Alpha.dll", "");
  fixture.AddGameFile("Cheat Mode RBR_SSE.exe", "");

  TForm1& tool = fixture.Run();

  const std::string version = "Version de l'utilitaire de dépannage : " + tool.VersionLabel();
  const std::string audio_dat =
      "Présence d'un fichier Audio.dat à la racine du jeu (source de problème "
      "avec les Pacenotes)";
  const std::string rbr_world = "Présence de RBR-World dans le dossier de RBR/QUORVEL";
  const std::string disk = "Espace libre sur le lecteur où se trouve RBR/QUORVEL : ";
  const std::string folder = "Richard Burns Rally est installé dans : C:\\RBR\\";
  const std::string system =
      "Système d'exploitation : Windows 7 Professional 64bits Service Pack 1";
  const Lines ini = {"Contenu du fichier RichardBurnsRally.ini :",
                     "",
                     "[Settings]",
                     "XRes=1920",
                     "YRes=900",
                     "UseEAX=true"};
  const Lines head = {version, "Version de l'update installée : 15",
                      "Version de l'update prise en charge par cet utilitaire : 15", kRule,
                      "Configuration de l'utilisateur :"};

  Lines screen = head;
  screen.insert(screen.end(), {
                                  "Processeur : Intel(R) Core(TM) i7-2600 CPU @ 3.40GHz - Nb "
                                  "de core physiques : 4",
                                  "RAM : 8,389 Go dont 2,097 Go de libres",
                                  "Carte graphique : AMD Radeon HD 6950",
                                  "Nombre d'écran(s) : 2",
                                  "Résolution écran : 1600 x 900",
                                  "Résolution de jeu : 1920 x 900",
                                  "Résolution de jeu supérieure à celle de l'écran",
                                  disk + "50 Go / 100 Go au total",
                                  "Nombre de processus lancés : 4",
                                  system,
                                  "Type de session en cours : Utilisateur",
                                  "Statut de ChronoManager : activé",
                                  "Statut de l'option X-Sim : activé",
                                  "Sons 2010 : Installés",
                                  audio_dat,
                                  "Anti-virus : Kaspersky",
                                  "Utilisation de EAX avec Vista / 7",
                                  "Horloge Windows : Temps Internet désactivé",
                                  "Installation de Mod/Plugins multiples : " + rbr_world,
                                  "Version de fmod.dll : 1.2.3.4",
                                  "Version de fmodstudio.dll : Fichier non présent",
                                  "AudioFMOD -> Activé",
                                  "Version de FixUp.dll : 1.2.3.4",
                                  "Version de PhysicsNG.dll : ",
                                  "OS : Windows 7 Professional",
                                  folder,
                                  kRule,
                              });
  screen.insert(screen.end(), ini.begin(), ini.end());
  screen.insert(screen.end(),
                {kRule, "Liste des plugins installés : ", "- >>> Plugin inconnu : Alpha.dll <<<",
                 "- >>> Plugin inconnu : bonus.dll <<<", "- Physics NGP ( PhysicsNG.dll )", kRule,
                 ">>>> Logiciel Cheat Mode de JORIK installé", kRule});

  Lines forum = head;
  forum.insert(
      forum.end(),
      {
          "Processeur : Intel(R) Core(TM) i7-2600 CPU @ 3.40GHz - Nb de core : "
          "4",
          "RAM : " + kGreen + "8,389 Go dont 2,097 Go de libres" + kClose,
          "Carte graphique : AMD Radeon HD 6950",
          "Nombre d'écran(s) : 2",
          "Résolution écran : 1600 x 900",
          "Résolution de jeu : [Blink]" + kRed + "1920[/color][/b][/highlight][/Blink] x 900",
          kRed + "Résolution de jeu supérieure à celle de l'écran" + kClose,
          disk + kGreen + "50 Go / 100 Go au total" + kClose,
          system,
          folder,
          "Type de session en cours : " + kRed + "Utilisateur" + kClose,
          "Statut de ChronoManager : activé",
          "Statut de l'option X-Sim : " + kRed + "activé" + kClose,
          "Sons 2010 : " + kOrange + "Installés" + kClose,
          kRed + audio_dat + kClose,
          "Anti-virus : Kaspersky",
          kOrange + "Utilisation de EAX avec Vista / 7" + kClose,
          kOrange + "Temps Internet désactivé" + kClose,
          "Installation de Mod/Plugins multiples : " + kRed + rbr_world + kClose,
          "Version de fmod.dll : 1.2.3.4",
          kRed + "Version de fmodstudio.dll : Fichier non présent" + kClose,
          "AudioFMODD -> Activé",
          "Version de FixUp.dll : 1.2.3.4",
          "Version de PhysicsNG.dll : ",
          "OS : Windows 7 Professional",
          "Nombre de processus lancés : " + kGreen + " 4 " + kClose,
          kRule,
      });
  forum.insert(forum.end(), ini.begin(), ini.end());
  forum.insert(forum.end(), {kRule, "Liste des plugins installés : ",
                             kOrange + "- >>> Plugin inconnu : Alpha.dll <<<" + kClose,
                             kOrange + "- >>> Plugin inconnu : bonus.dll <<<" + kClose,
                             "- Physics NGP ( PhysicsNG.dll )", kRule,
                             kRed + "Logiciel Cheat Mode de JORIK installé" + kClose, kRule});

  EXPECT_EQ(tool.report.ScreenLines, screen);
  EXPECT_EQ(tool.report.ForumLines, forum);
  EXPECT_EQ(tool.settings.product_name, "Windows 7 Professional");
  EXPECT_EQ(tool.settings.LastProfileName, "Pilote");
  EXPECT_EQ(tool.SupportedUpdate, "15");
  EXPECT_TRUE(tool.window.bButton8.enabled);  // "NoSync": the Internet-time repair applies
}

TEST(MachineRows, DiskQueryOutcomes) {
  const std::string prefix = "Espace libre sur le lecteur où se trouve RBR/QUORVEL : ";
  const std::string error = "Erreur lors de la récupération de l'espace disque.";
  struct Case {
    const char* disks;
    std::string screen, forum;
  } cases[] = {
      // A full disk is a successful query: its figures, in red.
      {"0 107374182400", prefix + "0 Go / 100 Go au total",
       prefix + kRed + "0 Go / 100 Go au total" + kClose},
      {"10630044057 107374182400", prefix + "9,9 Go / 100 Go au total",
       prefix + kRed + "9,9 Go / 100 Go au total" + kClose},
      {"fail", error, kRed + error + kClose},
  };
  for (const Case& c : cases) {
    SurveyFixture fixture;
    fixture.machine.SetFact("Disks", "C", c.disks);
    TForm1& tool = fixture.Run();
    EXPECT_TRUE(Contains(tool.report.ScreenLines, c.screen)) << c.disks;
    EXPECT_TRUE(Contains(tool.report.ForumLines, c.forum)) << c.disks;
  }
}

TEST(MachineRows, FailedMemoryQueryAndMissingDisplayDevice) {
  SurveyFixture fixture;
  fixture.machine.SetFact("Memory", "Fail", "1");
  TForm1& tool = fixture.Run();
  EXPECT_TRUE(Contains(tool.report.ScreenLines,
                       "RAM : Erreur lors de la récupération de la taille de la RAM"));
  EXPECT_TRUE(Starting(tool.report.ScreenLines, "Carte graphique").empty());
  EXPECT_TRUE(Starting(tool.report.ForumLines, "Carte graphique").empty());
}

TEST(MachineRows, OperatingSystemAndAccount) {
  struct Case {
    const char *product, *build, *service_pack, *xp64, *admin;
    Lines system_lines;
    std::string account;
  } cases[] = {
      {"Microsoft Windows XP",
       "",
       "Service Pack 3",
       "0",
       "1",
       {"Système d'exploitation : Microsoft Windows XP 32bits Service Pack 3"},
       "Administrateur"},
      {"Microsoft Windows XP",
       "",
       "Service Pack 2",
       "1",
       "1",
       {"Système d'exploitation : Microsoft Windows XP 64bits Service Pack 2"},
       "Administrateur"},
      {"Windows 10 Pro", "19041.1.amd64fre", "", "0", "0", {}, "Utilisateur"},
  };
  for (const Case& c : cases) {
    SurveyFixture fixture;
    fixture.SetProductName(c.product, c.build);
    fixture.machine.SetFact("Windows", "ServicePack", c.service_pack);
    fixture.machine.SetFact("Windows", "Xp64", c.xp64);
    fixture.machine.SetFact("Windows", "Administrator", c.admin);
    TForm1& tool = fixture.Run();
    EXPECT_EQ(Starting(tool.report.ScreenLines, "Système d'exploitation"), c.system_lines);
    EXPECT_EQ(Starting(tool.report.ScreenLines, "OS : "), Lines{"OS : " + std::string(c.product)});
    EXPECT_EQ(Starting(tool.report.ScreenLines, "Type de session"),
              Lines{"Type de session en cours : " + c.account});
  }
}

TEST(GameResolution, TextThatIsNotAWholeNumberDoesNotEndTheStartUp) {
  SurveyFixture fixture;
  fixture.AddGameFile("RichardBurnsRally.ini", "[Settings]\r\nXRes=1024x\r\nYRes=768\r\n");
  TForm1& tool = fixture.Run();
  const std::string bad =
      "Résolution de jeu illisible dans "
      "RichardBurnsRally.ini : XRes = \"1024x\"";
  EXPECT_TRUE(Contains(tool.report.ScreenLines, "Résolution de jeu : 1024x x 768"));
  EXPECT_TRUE(Contains(tool.report.ScreenLines, bad));
  EXPECT_TRUE(Contains(tool.report.ForumLines, kRed + bad + kClose));
  // The survey ran to its end: the INI copy and the plugin inventory follow.
  EXPECT_TRUE(Contains(tool.report.ScreenLines, "XRes=1024x"));
  EXPECT_EQ(tool.report.ScreenLines.back(),
            " - Le dossier \"\\Plugins\" ne contient aucun plugin !.");
}

TEST(GameResolution, MissingKeysOrFileReadAsZero) {
  SurveyFixture fixture;
  TForm1& tool = fixture.Run();
  EXPECT_EQ(Starting(tool.report.ForumLines, "Résolution de jeu"),
            Lines{"Résolution de jeu : 0 x 0"});
}

TEST(IniCopy, MissingFileAndNoIniDump) {
  const Lines error = {"Erreur : Ne peut lire le fichier RichardBurnsRally.ini",
                       "Chemin d'installation dans la base de registre : C:\\RBR\\"};
  SurveyFixture missing;
  TForm1& tool = missing.Run();
  const auto& lines = tool.report.ForumLines;
  const auto header =
      std::find(lines.begin(), lines.end(), "Contenu du fichier RichardBurnsRally.ini :");
  ASSERT_NE(header, lines.end());
  EXPECT_EQ(Lines(header + 1, header + 4), (Lines{"", error[0], error[1]}));

  SurveyFixture no_dump;
  no_dump.no_ini_dump = true;
  no_dump.AddGameFile("RichardBurnsRally.ini", "[Settings]\r\nXRes=800\r\n");
  TForm1& quiet = no_dump.Run();
  EXPECT_TRUE(Starting(quiet.report.ScreenLines, "Contenu du fichier").empty());
  EXPECT_FALSE(Contains(quiet.report.ScreenLines, "XRes=800"));
  EXPECT_TRUE(Contains(quiet.report.ScreenLines, "Résolution de jeu : 800 x 0"));
}

TEST(IniCopy, BinaryBytesAndLongLinesAreCopiedWithoutNul) {
  SurveyFixture fixture;
  const std::string long_line(100000, 'x');
  const char binary[] = "[Settings]\r\nXRes=800\0\0garbage\xff\x01\r\n";
  fixture.AddGameFile("RichardBurnsRally.ini", std::string(binary, sizeof binary - 1) +
                                                   " indented\n" + long_line + "\r\nlast");
  TForm1& tool = fixture.Run();
  const auto& lines = tool.report.ScreenLines;
  const auto header =
      std::find(lines.begin(), lines.end(), "Contenu du fichier RichardBurnsRally.ini :");
  ASSERT_NE(header, lines.end());
  EXPECT_EQ(Lines(header + 2, header + 7),
            (Lines{"[Settings]", "XRes=800garbageÿ\x01", " indented", long_line, "last"}));
  // The indented line counts as a problem of the report.
  analysis::CountProblemsAndJoin(tool.report);
  EXPECT_EQ(tool.report.ProblemCount, 2);  // with the empty plugin folder
}

TEST(SettingsRows, LibraryVersionsFromTheFilesVersionResources) {
  std::string truncated = FixtureLibrary("with_version.dll");
  truncated.resize(truncated.size() / 2);
  std::string lying = FixtureLibrary("with_version.dll");
  lying.replace(0x3C, 4, std::string("\xff\xff\xff\x7f", 4));  // e_lfanew far past the end
  struct Case {
    std::string bytes;
    std::string version_line;
  } cases[] = {
      {FixtureLibrary("with_version.dll"), "Version de fmod.dll : 1.2.3.4"},
      {FixtureLibrary("without_version.dll"), "Version de fmod.dll : "},
      {FixtureLibrary("without_file_version.dll"), "Version de fmod.dll : "},
      {truncated, "Version de fmod.dll : "},
      {lying, "Version de fmod.dll : "},
      {"", "Version de fmod.dll : "},
  };
  for (const Case& c : cases) {
    SurveyFixture fixture;
    fixture.AddGameFile("fmod.dll", c.bytes);
    TForm1& tool = fixture.Run();
    EXPECT_EQ(Starting(tool.report.ForumLines, "Version de fmod.dll"), Lines{c.version_line});
  }
}

TEST(SettingsRows, PluginsOrTheirSwitchedOffForms) {
  SurveyFixture fixture;
  fixture.AddGameFile("Plugins\\FixUp.dll", FixtureLibrary("with_version.dll"));
  fixture.AddGameFile("Plugins\\FixUp.no", FixtureLibrary("without_version.dll"));
  fixture.machine.AddFolder("C:\\RBR\\Plugins\\PhysicsNG.dll");  // a folder is no file
  TForm1& tool = fixture.Run();
  EXPECT_EQ(Starting(tool.report.ForumLines, "Version de FixUp"),
            Lines{"Version de FixUp.dll : 1.2.3.4"});
  EXPECT_EQ(Starting(tool.report.ForumLines, kRed + "Version de PhysicsNG"),
            Lines{kRed + "Version de PhysicsNG.dll : Fichier non présent" + kClose});
  EXPECT_EQ(Starting(tool.report.ScreenLines, "AudioFMOD"),
            Lines{"AudioFMOD.ini : Fichier non présent"});
}

TEST(SettingsRows, ControlCentreSources) {
  struct Case {
    const char *guest, *profile_chrono, *xsim;
    std::string chrono, xsim_status;
  } cases[] = {
      {"1", "0", "0", "Activé", "Non activé"},
      {"0", "1", "1", "Activé", "Activé"},
      {"", "", "", "Non Activé", "Non activé"},
  };
  for (const Case& c : cases) {
    SurveyFixture fixture;
    test::TestMachine& m = fixture.machine;
    m.SetRegistryString(test::Hive::kCurrentUser, kSettingsArea + "Corvane2015\\guest Settings",
                        "UseChronoManager", c.guest);
    m.SetRegistryString(test::Hive::kCurrentUser, kSettingsArea + "Corvane\\LastProfil", "Profil",
                        "Moi");
    m.SetRegistryString(test::Hive::kCurrentUser, kSettingsArea + "Corvane\\Moi Settings",
                        "UseChronoManager", c.profile_chrono);
    m.SetRegistryString(test::Hive::kCurrentUser, kSettingsArea + "Corvane\\Moi Settings",
                        "CheckXSim", c.xsim);
    TForm1& tool = fixture.Run();
    EXPECT_EQ(tool.settings.ChronoManagerStatus, c.chrono) << c.guest << c.profile_chrono;
    EXPECT_EQ(tool.settings.x_sim_status, c.xsim_status) << c.xsim;
    EXPECT_EQ(tool.settings.audio_dat_status, "Absent");
  }
}

TEST(SettingsRows, InternetTimeByTypeAndServiceState) {
  const std::string unread = "Horloge Windows : L'état du service n'a paspu être lu.";
  struct Case {
    const char* product;
    const char* type;  // "" leaves the value out
    const char* service;
    Lines screen;
    bool button;
    std::size_t dialogs;
  } cases[] = {
      {"Windows 7 Home", "NoSync", "4", {"Horloge Windows : Temps Internet désactivé"}, true, 0},
      {"Windows 7 Home", "NTP", "1", {"Horloge Windows : Temps Internet activé"}, false, 0},
      {"Windows 7 Home", "NT5DS", "1", {}, false, 0},
      {"Windows 7 Home",
       "",
       "1",
       {"Horloge Windows : Temps Internet désactivé (service)"},
       true,
       0},
      {"Windows Vista", "", "4", {"Horloge Windows : Temps Internet activé (service)"}, false, 0},
      {"Microsoft Windows XP", "NoSync", "4", {}, false, 0},  // "Type" is not
                                                              // read under XP
      {"Microsoft Windows XP", "", "nomanager", {unread}, false, 0},
      {"Windows 7 Home", "", "unopenable", {unread}, false, 1},
      {"Windows 7 Home", "", "queryfailed", {unread}, false, 0},
  };
  for (const Case& c : cases) {
    SurveyFixture fixture;
    fixture.SetProductName(c.product);
    if (*c.type) {
      fixture.machine.SetRegistryString(test::Hive::kLocalMachine,
                                        "SYSTEM\\CurrentControlSet\\Services\\W32Time\\Parameters",
                                        "Type", c.type);
    }
    fixture.machine.SetFact("Services", "W32Time", c.service);
    TForm1& tool = fixture.Run();
    EXPECT_EQ(Starting(tool.report.ScreenLines, "Horloge Windows"), c.screen)
        << c.product << " " << c.type << " " << c.service;
    EXPECT_EQ(tool.window.bButton8.enabled, c.button) << c.product << c.type << c.service;
    const auto& dialogs = fixture.tool().Dialogs();
    ASSERT_EQ(dialogs.size(), c.dialogs) << c.service;
    if (c.dialogs) {
      EXPECT_EQ(dialogs[0].text, "Erreur lors de l'ouverture du service : W32Time");
    }
  }
}

TEST(SettingsRows, AntivirusFromTheSortedProcessList) {
  SurveyFixture fixture;
  fixture.machine.AddProcess("MSMPENG.EXE", 20);
  fixture.machine.AddProcess("avp.exe", 40);
  fixture.machine.AddProcess(std::string(300, 'n') + ".exe",
                             1);  // longer than MAX_PATH
  TForm1& tool = fixture.Run();
  EXPECT_EQ(Starting(tool.report.ScreenLines, "Anti-virus"), Lines{"Anti-virus : Kaspersky"});
  EXPECT_EQ(Starting(tool.report.ScreenLines, "Nombre de processus"),
            Lines{"Nombre de processus lancés : 4"});
}

TEST(PluginInventory, ListingRules) {
  SurveyFixture fixture;
  fixture.AddGameFile("Plugins\\zeta.DLL", "");
  fixture.AddGameFile("Plugins\\FIXUP.DLL", "");
  fixture.AddGameFile("Plugins\\Beta.dll", "");
  fixture.AddGameFile("Plugins\\alpha.dll", "");
  fixture.AddGameFile("Plugins\\PaceNote.no", "");
  fixture.AddGameFile("Plugins\\old.dll.bak", "");
  fixture.AddGameFile("Plugins\\.hidden.dll", "");  // hidden under Wine
  fixture.machine.AddFolder("C:\\RBR\\Plugins\\folder.dll");
  TForm1& tool = fixture.Run();
  const auto& lines = tool.report.ScreenLines;
  const auto title = std::find(lines.begin(), lines.end(), "Liste des plugins installés : ");
  ASSERT_NE(title, lines.end());
  EXPECT_EQ(Lines(title + 1, lines.end()),
            (Lines{"- >>> Plugin inconnu : alpha.dll <<<", "- >>> Plugin inconnu : Beta.dll <<<",
                   "- FixUp ( FIXUP.DLL )", "- >>> Plugin inconnu : zeta.DLL <<<"}));
}

TEST(PluginInventory, MissingPluginFolderIsReportedAndTheCheatToolStillChecked) {
  SurveyFixture fixture;
  fixture.AddGameFile("Cheat Mode RBR_NOSSE.exe", "");
  std::filesystem::remove_all(fixture.machine.HostPath("C:\\RBR\\Plugins"));
  TForm1& tool = fixture.Run();
  const auto& lines = tool.report.ForumLines;
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(Lines(lines.end() - 5, lines.end()),
            (Lines{"Liste des plugins installés : ", " - Le dossier \"\\Plugins\" n'existe pas !.",
                   kRule, kRed + "Logiciel Cheat Mode de JORIK installé" + kClose, kRule}));
}

}  // namespace
}  // namespace survey
