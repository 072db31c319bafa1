// Quitting and the clean-up at close, on test machines.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/reference_lists.h"
#include "app/shutdown.h"
#include "components/mRegistry.h"
#include "platform/posix/faults.h"
#include "tests/test_machine.h"

namespace test {
namespace {

constexpr char kRunOnce[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

std::string RunOnceEntry(TestMachine& machine) {
  auto opened = platform::OpenPlatform({machine.root().string()});
  if (!opened) return "<no platform>";
  TmRegistry registry((*opened)->registry());
  registry.RootKey = rkHKEY_CURRENT_USER;
  registry.Key = kRunOnce;
  return registry.ReadValue("DelRemedor");
}

TEST(SelfRemoval, TheCommandKeepsAPathWithBlanksWhole) {
  EXPECT_EQ(app::SelfRemovalCommand("C:\\Mes Jeux\\Outil & co\\Remedor.exe"),
            "C:\\Windows\\System32\\cmd.exe /C \"del \"C:\\Mes Jeux\\Outil & co\\Remedor.exe\"\"");
}

TEST(Close, RemovesWhatTheToolBroughtAndRegistersItsOwnRemoval) {
  TestMachine machine;
  machine.SetFact("Self", "Exe", "C:\\Mes Téléchargements\\Remedor.exe");
  const std::string own = "C:\\Mes Téléchargements\\";
  for (const auto& list : app::ShippedListFiles()) machine.AddTextFile(own + list, "x\r\n");
  for (const char* name : {"ListeDesFichiersManquants.txt", "qdm.ini", "Config.7z", "notice.txt",
                           "mes notes.txt", "QDsys.dll", "Photo.TXT"}) {
    machine.AddTextFile(own + name, "x");
  }
  TestForm t(machine);
  t.form().data_pack_files = {"qdm.ini", "Config.7z", "notice.txt"};
  t.form().FormClose();
  EXPECT_TRUE(t.form().Stopped());
  for (const auto& list : app::ShippedListFiles()) EXPECT_FALSE(machine.Exists(own + list));
  for (const char* gone : {"ListeDesFichiersManquants.txt", "qdm.ini", "Config.7z", "notice.txt"}) {
    EXPECT_FALSE(machine.Exists(own + gone)) << gone;
  }
  // The player's files, and a library the DataPack did not bring, stay.
  for (const char* kept : {"mes notes.txt", "Photo.TXT", "QDsys.dll"}) {
    EXPECT_TRUE(machine.Exists(own + kept)) << kept;
  }
  EXPECT_TRUE(t.Dialogs().empty());
  EXPECT_EQ(RunOnceEntry(machine),
            "C:\\Windows\\System32\\cmd.exe /C \"del \"C:\\Mes Téléchargements\\Remedor.exe\"\"");
}

TEST(Close, LeavesAFolderOrALinkBearingANameItDeletes) {
  TestMachine machine;
  const std::string own = "C:\\Outil\\";
  machine.AddTextFile(own + "ListeDesFichiersManquants.txt\\photo.jpg", "photo");
  machine.AddTextFile(own + "notice.txt\\lettre.txt", "lettre");
  machine.AddTextFile("C:\\Ailleurs\\precious.ini", "precious");
  std::filesystem::create_symlink(machine.HostPath("C:\\Ailleurs\\precious.ini"),
                                  machine.HostPath(own + "qdm.ini"));
  TestForm t(machine);
  t.form().data_pack_files = {"notice.txt"};
  t.form().FormClose();
  EXPECT_EQ(machine.ReadFile(own + "ListeDesFichiersManquants.txt\\photo.jpg"), "photo");
  EXPECT_EQ(machine.ReadFile(own + "notice.txt\\lettre.txt"), "lettre");
  EXPECT_TRUE(std::filesystem::is_symlink(machine.HostPath(own + "qdm.ini")));
  EXPECT_EQ(machine.ReadFile("C:\\Ailleurs\\precious.ini"), "precious");
  EXPECT_TRUE(t.form().Stopped());
}

TEST(Close, WarnsWhenTheGeneralListSurvives) {
  TestMachine machine;
  machine.AddTextFile("C:\\Outil\\FILESLIST.TXT", "x\r\n");
  TestForm t(machine);
  {
    const platform::posix::ScopedFault fault(t.faults(),
                                             platform::posix::FaultOperation::kDeleteFile);
    t.form().FormClose();
  }
  ASSERT_EQ(t.Dialogs().size(), 1u);
  EXPECT_EQ(t.Dialogs()[0].kind, "information");
  EXPECT_EQ(t.Dialogs()[0].text,
            "Certains fichiers temporaires n'ont pas pu être supprimés.\rSome temporary files "
            "could not be deleted.");
  EXPECT_TRUE(t.form().Stopped());
}

TEST(Close, InTheBuildFolderDeletesNothingAndRegistersNoRemoval) {
  TestMachine machine;
  machine.SetFact("Self", "Exe", "C:\\RemedorBuild\\Remedor.exe");
  machine.AddTextFile("C:\\RemedorBuild\\FILESLIST.TXT", "x\r\n");
  machine.AddTextFile("C:\\RemedorBuild\\ListeDesFichiersManquants.txt", "x\r\n");
  TestForm t(machine);
  t.form().FormClose();
  EXPECT_TRUE(machine.Exists("C:\\RemedorBuild\\FILESLIST.TXT"));
  EXPECT_TRUE(machine.Exists("C:\\RemedorBuild\\ListeDesFichiersManquants.txt"));
  ASSERT_EQ(t.Dialogs().size(), 1u);  // the lists are still there
  EXPECT_EQ(RunOnceEntry(machine), "");
}

TEST(Quit, StopsTheCheckListJobThenCloses) {
  TestMachine machine;
  TestForm t(machine);
  TForm1& form = t.form();
  form.ReferenceLines.assign(5000, "entry");
  form.CheckListJob.Start(t.loop(), [&form] { form.CheckListJobWork(); });
  // The player clicks "Quitter" while the list fills: the click is handled
  // by the job's own processing of pending events.
  bool clicked = false;
  t.loop().Post([&] {
    clicked = true;
    form.Click("SpeedButton2");
  });
  t.Settle();
  EXPECT_TRUE(clicked);
  EXPECT_TRUE(form.window_closed);
  EXPECT_TRUE(form.Stopped());
  EXPECT_LT(form.window.CheckList.size(), 5000u);
  form.FormDestroy();  // returns: the job counts as finished
  EXPECT_TRUE(form.CheckListJob.Finished());
}

}  // namespace
}  // namespace test
