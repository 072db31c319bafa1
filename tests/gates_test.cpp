// The start-up gates and the locating of the game folder, on test machines.
#include <gtest/gtest.h>

#include "app/gates.h"
#include "components/mRegistry.h"
#include "tests/test_machine.h"

namespace test {
namespace {

constexpr char kSciInstallPath[] = "SOFTWARE\\SCi Games\\Richard Burns Rally\\InstallPath";
constexpr char kEidosInstallPath[] = "SOFTWARE\\EIDOS\\Richard Burns Rally\\InstallPath";

bool HasTail(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(ControlCentreGate, StopsForAControlCentreRunningFromAnyFolderInAnyCase) {
  TestMachine machine;
  machine.AddProcess("C:\\Program Files\\Corvane\\corvanepublic.EXE", 4);
  machine.AddTextFile("C:\\Outil\\FILESLIST.TXT", "x\r\n");
  machine.AddTextFile("C:\\Outil\\A8W-09.TXT", "x\r\n");
  machine.AddTextFile("C:\\Outil\\mes notes.txt", "à garder\r\n");
  TestForm t(machine);
  EXPECT_FALSE(t.form().ControlCentreGate());
  ASSERT_EQ(t.Dialogs().size(), 1u);
  EXPECT_EQ(t.Dialogs()[0].text,
            "Corvane est en cours d'utilisation.\rCet utilitaire va se fermer, fermez Corvane\ret "
            "relancez cet utilitaire");
  EXPECT_TRUE(t.form().Stopped());
  EXPECT_FALSE(machine.Exists("C:\\Outil\\FILESLIST.TXT"));
  EXPECT_FALSE(machine.Exists("C:\\Outil\\A8W-09.TXT"));
  // Only what the tool brought goes: the player's own text file stays.
  EXPECT_TRUE(machine.Exists("C:\\Outil\\mes notes.txt"));
}

// A second copy started while one runs says so, and stops before it deletes
// anything (the version file, the lists the control-centre gate would take).
TEST(SingleRunGate, ASecondCopyStopsWithItsMessageTouchingNothing) {
  TestMachine machine;
  machine.AddTextFile("C:\\Outil\\FILESLIST.TXT", "x\r\n");
  machine.AddTextFile("C:\\version.txt", "8.36.0\r\n");
  machine.AddProcess("CorvanePublic.exe");
  auto first = std::make_unique<TestForm>(machine);
  EXPECT_TRUE(first->form().SingleRunGate());
  EXPECT_TRUE(first->form().SingleRunGate()) << "a copy keeps its own claim";
  {
    TestForm second(machine);
    second.RunStartup();
    ASSERT_EQ(second.Dialogs().size(), 1u);
    EXPECT_EQ(second.Dialogs()[0].kind, "plain");
    EXPECT_EQ(second.Dialogs()[0].text, app::kAlreadyRunning);
    EXPECT_TRUE(second.form().Stopped());
    EXPECT_TRUE(machine.Exists("C:\\Outil\\FILESLIST.TXT"));
    EXPECT_TRUE(machine.Exists("C:\\version.txt"));
  }
  first.reset();
  TestForm after(machine);  // the first copy has ended: the next one runs
  EXPECT_TRUE(after.form().SingleRunGate());
  EXPECT_TRUE(after.Dialogs().empty());
}

TEST(ControlCentreGate, LetsOtherProgramsBe) {
  TestMachine machine;
  machine.AddProcess("CorvanePublic.exe.bak");
  machine.AddProcess("Corvane.exe");
  TestForm t(machine);
  EXPECT_TRUE(t.form().ControlCentreGate());
  EXPECT_TRUE(t.Dialogs().empty());
  EXPECT_FALSE(t.form().Stopped());
}

TEST(ControlCentreGate, DeletesNothingInTheBuildFolder) {
  TestMachine machine;
  machine.SetFact("Self", "Exe", "C:\\RemedorBuild\\Remedor.exe");
  machine.AddTextFile("C:\\RemedorBuild\\FILESLIST.TXT", "x\r\n");
  machine.AddProcess("CorvaneAlone.exe");
  TestForm t(machine);
  EXPECT_FALSE(t.form().ControlCentreGate());
  EXPECT_TRUE(machine.Exists("C:\\RemedorBuild\\FILESLIST.TXT"));
}

struct LocateCase {
  const char* name;
  const char* sci;    // the newer publisher's install path (nullptr: none)
  const char* eidos;  // the older publisher's
  const char* preset;
  const char* folder;  // the InstallFolder found, or the path the message shows
  bool found;
  const char* pack_versions_key;
  const char* pack_selection_key;
};

TEST(LocateInstallFolder, FollowsThePresetThenEitherPublisher) {
  const char* sci_packs = "\\SOFTWARE\\SCi Games\\Richard Burns Rally\\QUORVEL\\Packs\\";
  const char* eidos_packs = "\\SOFTWARE\\EIDOS\\Richard Burns Rally\\QUORVEL\\Packs\\";
  const char* sci_selection = "\\Software\\SCi Games\\Richard Burns Rally\\QUORVEL\\Packs2015";
  const char* eidos_selection = "\\Software\\EIDOS\\Richard Burns Rally\\QUORVEL\\Packs";
  const char* initial = "\\SOFTWARE\\SCi Games\\Richard Burns Rally\\";
  const LocateCase cases[] = {
      {"newer publisher", "C:\\Jeux\\RBR", "C:\\Ancien", "", "C:\\Jeux\\RBR\\", true, sci_packs,
       sci_selection},
      {"older publisher only", nullptr, "C:\\Ancien", "", "C:\\Ancien\\", true, eidos_packs,
       eidos_selection},
      {"no path anywhere", nullptr, nullptr, "", "\\", false, eidos_packs, eidos_selection},
      {"short preset", "C:\\Jeux\\RBR", "C:\\Ancien", "C:\\", "C:\\Ancien\\", true, eidos_packs,
       eidos_selection},
      {"preset used as it is", "C:\\Ancien", nullptr, "C:\\Jeux\\RBR\\", "C:\\Jeux\\RBR\\", true,
       initial, sci_selection},
      {"preset of a missing folder", "C:\\Jeux\\RBR", nullptr, "C:\\Nulle\\Part\\",
       "C:\\Nulle\\Part\\", false, initial, sci_selection},
      {"long form of a drive path", "C:\\Ancien", nullptr, "\\\\?\\C:\\Jeux\\RBR\\",
       "C:\\Jeux\\RBR\\", true, initial, sci_selection},
      {"device form of a drive path", "C:\\Ancien", nullptr, "\\\\.\\c:\\Jeux\\RBR\\",
       "c:\\Jeux\\RBR\\", true, initial, sci_selection},
      {"long form of a drive root", "C:\\Jeux\\RBR", "C:\\Ancien", "\\\\?\\C:\\", "C:\\Ancien\\",
       true, eidos_packs, eidos_selection},
      {"long form of a share", "C:\\Jeux\\RBR", nullptr, "\\\\?\\UNC\\serveur\\jeux\\",
       "\\\\serveur\\jeux\\", false, initial, sci_selection},
      {"a volume", "C:\\Jeux\\RBR", nullptr, "\\\\?\\Volume{0b1c2d3e}\\Jeux\\RBR\\",
       "\\\\?\\Volume{0b1c2d3e}\\Jeux\\RBR\\", false, initial, sci_selection},
      {"a pipe", "C:\\Jeux\\RBR", nullptr, "\\\\.\\pipe\\RBR\\", "\\\\.\\pipe\\RBR\\", false,
       initial, sci_selection},
      {"a file, not a folder", "C:\\Jeux\\RBR\\RichardBurnsRally.ini", nullptr, "",
       "C:\\Jeux\\RBR\\RichardBurnsRally.ini\\", false, sci_packs, sci_selection},
  };
  for (const LocateCase& c : cases) {
    SCOPED_TRACE(c.name);
    TestMachine machine;
    machine.AddTextFile("C:\\Jeux\\RBR\\RichardBurnsRally.ini", "[Settings]\r\n");
    machine.AddFolder("C:\\Ancien");
    if (c.sci) machine.SetRegistryString(Hive::kLocalMachine, kSciInstallPath, "", c.sci);
    if (c.eidos) machine.SetRegistryString(Hive::kLocalMachine, kEidosInstallPath, "", c.eidos);
    TestForm t(machine, {std::string("/DIR:") + c.preset});
    TForm1& form = t.form();
    form.options.install_folder_preset = c.preset;
    EXPECT_EQ(form.LocateInstallFolder(), c.found);
    EXPECT_EQ(form.InstallFolder, c.folder);
    EXPECT_EQ(form.Stopped(), !c.found);
    if (c.found) {
      EXPECT_TRUE(t.Dialogs().empty());
      EXPECT_EQ(form.keys.PackVersionsKey, c.pack_versions_key);
      EXPECT_EQ(form.mRegistry6->Key, c.pack_versions_key);
      EXPECT_EQ(form.mRegistry2->Key, c.pack_selection_key);
    } else {
      ASSERT_EQ(t.Dialogs().size(), 1u);
      EXPECT_EQ(t.Dialogs()[0].text, app::FolderNotFoundMessage(c.folder));
    }
  }
}

TEST(LocateInstallFolder, AValueOfTheWrongTypeGivesTheFolderMessage) {
  TestMachine machine;
  machine.SetRegistryDword(Hive::kLocalMachine, kSciInstallPath, "", 7);
  TestForm t(machine);
  EXPECT_FALSE(t.form().LocateInstallFolder());
  ASSERT_EQ(t.Dialogs().size(), 1u);
  EXPECT_EQ(t.Dialogs()[0].kind, "plain");
  EXPECT_EQ(t.Dialogs()[0].text, app::FolderNotFoundMessage(""));
  EXPECT_TRUE(t.form().Stopped());
}

TEST(LocateInstallFolder, TheFolderMessageReadsAsItShould) {
  EXPECT_EQ(app::FolderNotFoundMessage("C:\\X\\"),
            "Le chemin de l'installation de RBR/QUORVEL n'a pas pu être trouvé ou n'est pas "
            "valide.\r\rChemin trouvé : C:\\X\\\r\rL'application va se fermer\r\r\r\rThe path of "
            "the install of RBR/QUORVEL was not found or is not valid\r\rThe software will be "
            "closed.");
}

TEST(OldLayoutGate, StopsOnlyForAFolderNamedQuorvel2012) {
  for (bool folder : {true, false}) {
    TestMachine machine;
    if (folder) {
      machine.AddFolder("C:\\Jeux\\RBR\\QUORVEL2012");
    } else {
      machine.AddTextFile("C:\\Jeux\\RBR\\QUORVEL2012", "");
    }
    TestForm t(machine);
    t.form().InstallFolder = "C:\\Jeux\\RBR\\";
    EXPECT_EQ(t.form().OldLayoutGate(), !folder);
    EXPECT_EQ(t.Dialogs().size(), folder ? 1u : 0u);
    if (folder) {
      EXPECT_NE(t.Dialogs()[0].text.find("QUORVEL2011"), std::string::npos);
    }
  }
}

TEST(UpdateComparison, WholeNumbersByValueOtherTextsByteByByte) {
  EXPECT_EQ(app::CompareUpdates("15", "15"), 0);
  EXPECT_GT(app::CompareUpdates("16", "15"), 0);
  EXPECT_LT(app::CompareUpdates("14", "15"), 0);
  EXPECT_LT(app::CompareUpdates("9", "10"), 0);  // by value, not "9" > "1"
  EXPECT_EQ(app::CompareUpdates("010", "10"), 0);
  EXPECT_GT(app::CompareUpdates("123456789012345678901", "99"), 0);  // no overflow
  EXPECT_LT(app::CompareUpdates("2014-0", "2014-03x"), 0);           // a prefix is the smaller
  EXPECT_GT(app::CompareUpdates("9b", "10b"), 0);                    // texts: '9' after '1'
  EXPECT_LT(app::CompareUpdates("", "15"), 0);
  EXPECT_GT(app::CompareUpdates("15", ""), 0);
}

struct GateCase {
  std::vector<std::string> lines;
  const char* installed;
  bool no_gate;
  const char* tail;  // the end of the message; nullptr: no message
};

TEST(UpdateGateJob, ComparesTheMarkerWithTheInstalledUpdate) {
  const char* update = "Veuillez mettre à jour QUORVEL en installant le(s) update(s) manquant(s).";
  const char* download =
      "Veuillez re-télécharger la dernière version de cet utilitaire et relancez le.";
  const GateCase cases[] = {
      {{"// liste", "µ15", "a"}, "15", false, nullptr},
      {{"µ16"}, "15", false, update},
      {{"µ14"}, "15", false, download},
      {{"µ9"}, "10", false, download},  // installed 10 is newer than lists for 9
      {{"µ10"}, "9", false, update},
      {{"µ2014-03x"}, "2014-03x", false, download},  // six characters: 2014-0
      {{"µ2014-03x"}, "2014-0", false, nullptr},
      {{"µ15"}, "", false, update},
      {{"a", "b"}, "15", false, download},
      {{"a"}, "", false, nullptr},
      {{"µ16"}, "15", true, nullptr},
      {{"// µ14", "µ15", "µ16"}, "15", false, nullptr},  // the first marker counts
      {{"µ"}, "", false, nullptr},                       // a lone marker: an empty update
  };
  for (const GateCase& c : cases) {
    SCOPED_TRACE(c.lines.front() + " / " + c.installed);
    TestMachine machine;
    machine.AddTextFile("C:\\Outil\\FILESLIST.TXT", "x\r\n");
    machine.AddTextFile("C:\\Outil\\qdm.ini", "[MD5]\r\n");
    machine.AddTextFile("C:\\Outil\\lisez-moi.txt", "à moi\r\n");
    TestForm t(machine);
    TForm1& form = t.form();
    form.ReferenceLines = c.lines;
    form.InstalledUpdate = c.installed;
    form.options.NoUpdateGate = c.no_gate;
    form.UpdateGateJobWork();  // CheckListJob not started: still to come
    if (c.tail == nullptr) {
      EXPECT_TRUE(t.Dialogs().empty());
      EXPECT_FALSE(form.Stopped());
      EXPECT_TRUE(machine.Exists("C:\\Outil\\FILESLIST.TXT"));
      continue;
    }
    ASSERT_EQ(t.Dialogs().size(), 1u);
    EXPECT_TRUE(HasTail(t.Dialogs()[0].text, c.tail)) << t.Dialogs()[0].text;
    EXPECT_TRUE(form.Stopped());
    EXPECT_TRUE(form.CheckListJob.CancelRequested());
    EXPECT_FALSE(machine.Exists("C:\\Outil\\FILESLIST.TXT"));
    EXPECT_FALSE(machine.Exists("C:\\Outil\\qdm.ini"));
    EXPECT_TRUE(machine.Exists("C:\\Outil\\lisez-moi.txt"));
  }
}

TEST(UpdateGateJob, TheMessageNamesBothUpdates) {
  EXPECT_EQ(app::UpdateMismatchMessage("15", "16", true),
            "Cette version de l'utilitaire de dépannage n'est pas adaptée pour l'update installé "
            "sur votre machine.\r\r\nVersion de l'update installé : 15\r\nVersion de l'update "
            "pris en compte par cet utilitaire : 16\r\r\nVeuillez mettre à jour QUORVEL en "
            "installant le(s) update(s) manquant(s).");
}

TEST(UpdateGateJob, StopsAtOnceWhenCancelled) {
  TestMachine machine;
  TestForm t(machine);
  TForm1& form = t.form();
  form.ReferenceLines = {"a", "µ16"};
  form.InstalledUpdate = "15";
  form.UpdateGateJob.RequestCancel();
  form.UpdateGateJobWork();
  EXPECT_TRUE(t.Dialogs().empty());
  EXPECT_FALSE(form.Stopped());
}

}  // namespace
}  // namespace test
