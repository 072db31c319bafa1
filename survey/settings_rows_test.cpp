#include "survey/settings_rows.h"

#include <gtest/gtest.h>

#include "survey/antivirus.h"
#include "survey/processes.h"

namespace survey {
namespace {

using Lines = std::vector<std::string>;

const std::string kRed = "[highlight=red][b][color=white]";
const std::string kGreen = "[highlight=green][b][color=white]";
const std::string kOrange = "[highlight=orange][b][color=#000000]";
const std::string kVert = "[highlight=vert][b][color=#000000]";
const std::string kClose = "[/color][/b][/highlight]";

TEST(ControlCentreRows, ChronoManagerXSimSons2010AudioDat) {
  AnalysisReport report;
  WriteChronoManagerRow(report, "Activé");
  WriteChronoManagerRow(report, "Non Activé");
  WriteXSimRow(report, "Activé");
  WriteXSimRow(report, "Non activé");
  WriteSons2010Row(report, "1.0");
  WriteSons2010Row(report, "");
  WriteAudioDatRow(report, "Present");
  WriteAudioDatRow(report, "Absent");
  const std::string audio_dat =
      "Présence d'un fichier Audio.dat à la racine du jeu (source de problème avec les Pacenotes)";
  EXPECT_EQ(report.ScreenLines,
            (Lines{"Statut de ChronoManager : activé", "Statut de ChronoManager : Non activé",
                   "Statut de l'option X-Sim : activé", "Statut de l'option X-Sim : Non activé",
                   "Sons 2010 : Installés", "Sons 2010 : Non installés", audio_dat}));
  EXPECT_EQ(report.ForumLines,
            (Lines{"Statut de ChronoManager : activé", "Statut de ChronoManager : Non activé",
                   "Statut de l'option X-Sim : " + kRed + "activé" + kClose,
                   "Statut de l'option X-Sim : Non activé",
                   "Sons 2010 : " + kOrange + "Installés" + kClose,
                   "Sons 2010 : " + kGreen + "Non installés" + kClose, kRed + audio_dat + kClose}));
}

TEST(EaxRow, OnlyUnderVistaOrSevenInExactCase) {
  struct Case {
    const char* product;
    const char* use_eax;
    bool written;
  } cases[] = {
      {"Windows 7 Professional", "TRUE", true}, {"Windows Vista Home", "true", true},
      {"Windows 7 Professional", "1", false},   {"Microsoft Windows XP", "TRUE", false},
      {"Windows VISTA", "true", false},         {"Windows 10 Pro", "true", false},
  };
  for (const Case& c : cases) {
    AnalysisReport report;
    WriteEaxRow(report, c.product, c.use_eax);
    if (c.written) {
      EXPECT_EQ(report.ScreenLines, Lines{"Utilisation de EAX avec Vista / 7"}) << c.product;
      EXPECT_EQ(report.ForumLines, Lines{kOrange + "Utilisation de EAX avec Vista / 7" + kClose});
    } else {
      EXPECT_TRUE(report.ScreenLines.empty() && report.ForumLines.empty()) << c.product;
    }
  }
}

TEST(TimeRow, FromTheTypeValue) {
  EXPECT_FALSE(TimeRowFromType("").has_value());

  const auto no_sync = TimeRowFromType("NoSync");
  ASSERT_TRUE(no_sync);
  EXPECT_EQ(no_sync->screen, "Horloge Windows : Temps Internet désactivé");
  EXPECT_EQ(no_sync->forum, kOrange + "Temps Internet désactivé" + kClose);
  EXPECT_TRUE(no_sync->enable_time_button);

  const auto ntp = TimeRowFromType("NTP");
  ASSERT_TRUE(ntp);
  EXPECT_EQ(ntp->screen, "Horloge Windows : Temps Internet activé");
  EXPECT_EQ(ntp->forum, kVert + "Temps Internet activé" + kClose);
  EXPECT_FALSE(ntp->enable_time_button);

  for (const char* other : {"AllSync", "nosync", "NT5DS"}) {
    const auto row = TimeRowFromType(other);
    ASSERT_TRUE(row) << other;  // the row is complete: no service query
    EXPECT_FALSE(row->screen || row->forum || row->enable_time_button) << other;
  }
}

TEST(TimeRow, FromTheServiceState) {
  const std::string unread = "Horloge Windows : L'état du service n'a paspu être lu.";
  const std::string stopped = "Horloge Windows : Temps Internet désactivé (service)";
  const std::string running = "Horloge Windows : Temps Internet activé (service)";
  struct Case {
    std::uint32_t state;
    bool v7;
    std::optional<std::string> screen, forum;
    bool button;
  } cases[] = {
      {0, false, unread, kOrange + unread + kClose, false},
      {0, true, unread, kOrange + unread + kClose, false},
      {1, true, stopped, kOrange + stopped + kClose, true},
      {4, true, running, kGreen + running + kClose, false},
      {1, false, std::nullopt, std::nullopt, false},
      {4, false, std::nullopt, std::nullopt, false},  // XP: nothing for a running service
      {2, true, std::nullopt, std::nullopt, false},   // a pending state
  };
  for (const Case& c : cases) {
    const TimeRow row = TimeRowFromServiceState(c.state, c.v7);
    EXPECT_EQ(row.screen, c.screen) << c.state << c.v7;
    EXPECT_EQ(row.forum, c.forum) << c.state << c.v7;
    EXPECT_EQ(row.enable_time_button, c.button) << c.state << c.v7;
  }
}

TEST(LibraryRows, VersionOrMissing) {
  AnalysisReport report;
  WriteLibraryVersionRow(report, "fmod.dll", std::string("3.7.5.0"));
  WriteLibraryVersionRow(report, "fmod.dll", std::string());
  WriteLibraryVersionRow(report, "fmodstudio.dll", std::nullopt);
  EXPECT_EQ(report.ScreenLines, (Lines{"Version de fmod.dll : 3.7.5.0", "Version de fmod.dll : ",
                                       "Version de fmodstudio.dll : Fichier non présent"}));
  EXPECT_EQ(report.ForumLines,
            (Lines{"Version de fmod.dll : 3.7.5.0", "Version de fmod.dll : ",
                   kRed + "Version de fmodstudio.dll : Fichier non présent" + kClose}));
}

TEST(LibraryRows, FileVersionComesFromTheFirstTranslation) {
  platform::VersionInfo info;
  info.strings = {{"FileVersion", "1.2.0.0"}};
  EXPECT_EQ(FileVersionString(std::nullopt), "");
  EXPECT_EQ(FileVersionString(info), "");  // no translation table
  info.translations = {{0x040C, 1252}, {0x0409, 1200}};
  EXPECT_EQ(FileVersionString(info), "1.2.0.0");
  info.strings = {{"ProductVersion", "1.2"}};
  EXPECT_EQ(FileVersionString(info), "");
}

TEST(AudioFmodRow, EnabledDisabledMissing) {
  AnalysisReport report;
  WriteAudioFmodRow(report, std::string("TRUE"));
  WriteAudioFmodRow(report, std::string("false"));
  WriteAudioFmodRow(report, std::string());
  WriteAudioFmodRow(report, std::nullopt);
  EXPECT_EQ(report.ScreenLines,
            (Lines{"AudioFMOD -> Activé", "AudioFMOD -> Désactivé", "AudioFMOD -> Désactivé",
                   "AudioFMOD.ini : Fichier non présent"}));
  EXPECT_EQ(report.ForumLines,
            (Lines{"AudioFMODD -> Activé", "AudioFMOD -> Désactivé", "AudioFMOD -> Désactivé",
                   kRed + "AudioFMOD.ini : Fichier non présent" + kClose}));
}

TEST(RbrWorldRow, RedInTheForumView) {
  AnalysisReport report;
  WriteRbrWorldRow(report);
  EXPECT_EQ(report.ScreenLines,
            Lines{"Installation de Mod/Plugins multiples : Présence de RBR-World dans le dossier "
                  "de RBR/QUORVEL"});
  EXPECT_EQ(report.ForumLines,
            Lines{"Installation de Mod/Plugins multiples : " + kRed +
                  "Présence de RBR-World dans le dossier de RBR/QUORVEL" + kClose});
}

TEST(Antivirus, FirstHitInListOrder) {
  struct Case {
    Lines processes;
    std::optional<std::string> line;
  } cases[] = {
      {{"AVP.EXE ( 40 )", "explorer.exe ( 32 )", "MSMPENG.EXE ( 20 )"}, "Anti-virus : Kaspersky"},
      {{"avgcc.exe ( 3 )"}, "Anti-virus : AVG"},
      {{"MsMpEng.exe ( 20 )"}, "Anti-virus : Windows Defender"},
      {{"avp ( 1 )"}, std::nullopt},                         // no dot: the whole entry is compared
      {{"AVPX.EXE ( 1 )"}, std::nullopt},                    // compared exactly
      {{"AVP.backup.exe ( 1 )"}, "Anti-virus : Kaspersky"},  // cut at the first dot
      {{"C:\\Program Files\\AVP.EXE ( 1 )"}, std::nullopt},
      {{std::string(300, 'A') + ".exe ( 1 )", "MSSECES.EXE ( 9 )"},
       "Anti-virus : Microsoft Security Essentials"},
      {{}, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AntivirusLine(c.processes), c.line) << (c.processes.empty() ? "" : c.processes[0]);
  }
}

TEST(ProcessCountRows, ThresholdsAndBlanks) {
  EXPECT_EQ(ProcessCountScreenLine(69), "Nombre de processus lancés : 69");
  const std::string prefix = "Nombre de processus lancés : ";
  EXPECT_EQ(ProcessCountForumLine(70), prefix + kRed + " 70 " + kClose);
  EXPECT_EQ(ProcessCountForumLine(69), prefix + kOrange + "69 " + kClose);
  EXPECT_EQ(ProcessCountForumLine(56), prefix + kOrange + "56 " + kClose);
  EXPECT_EQ(ProcessCountForumLine(55), prefix + kGreen + " 55 " + kClose);
  EXPECT_EQ(ProcessCountForumLine(0), prefix + kGreen + " 0 " + kClose);
}

}  // namespace
}  // namespace survey
