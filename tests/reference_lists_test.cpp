// Loading the reference lists, the check-list job and the removal of the
// shipped lists, on test machines.
#include <gtest/gtest.h>

#include "app/reference_lists.h"
#include "runtime/errors.h"
#include "tests/test_machine.h"

namespace test {
namespace {

constexpr char kPackKey[] = "SOFTWARE\\SCi Games\\Richard Burns Rally\\QUORVEL\\Packs2015";

// Every pack value "0" but those given.
void SelectPacks(TestMachine& machine, const std::vector<std::string>& selected) {
  auto value = [&](const std::string& name) {
    return std::find(selected.begin(), selected.end(), name) != selected.end() ? "1" : "0";
  };
  machine.SetRegistryString(Hive::kLocalMachine, kPackKey, "AllPacks", value("AllPacks"));
  for (const auto& pack : app::SinglePackNames()) {
    machine.SetRegistryString(Hive::kLocalMachine, kPackKey, pack, value(pack));
  }
  for (const auto& ngp : app::NgpValueNames()) {
    machine.SetRegistryString(Hive::kLocalMachine, kPackKey, ngp, value(ngp));
  }
}

// Ships every list, each holding one line naming itself.
void ShipLists(TestMachine& machine) {
  for (const auto& list : app::ShippedListFiles()) {
    machine.AddTextFile("C:\\Outil\\" + list, "from " + list + "\r\n");
  }
}

std::vector<std::string> Loaded(TestMachine& machine) {
  TestForm t(machine);
  t.form().LoadReferenceLines();
  return t.form().ReferenceLines;
}

TEST(ReferenceLines, NoPackKeySelectsTheAllPacksListAlone) {
  TestMachine machine;
  ShipLists(machine);
  EXPECT_EQ(Loaded(machine), (std::vector<std::string>{"from FILESLIST.TXT", "from AllPacks.TXT"}));
}

TEST(ReferenceLines, EachPackValueSelectsOnlyItsOwnList) {
  TestMachine machine;
  ShipLists(machine);
  SelectPacks(machine, {"A8W-09", "R5", "NGP_FWD_1", "NGP_RWD_2"});
  EXPECT_EQ(Loaded(machine), (std::vector<std::string>{"from FILESLIST.TXT", "from A8W-09.TXT",
                                                       "from R5.TXT", "from NGP.TXT"}));
}

TEST(ReferenceLines, EveryValueOffLoadsTheGeneralListOnly) {
  TestMachine machine;
  ShipLists(machine);
  SelectPacks(machine, {});
  EXPECT_EQ(Loaded(machine), (std::vector<std::string>{"from FILESLIST.TXT"}));
}

TEST(ReferenceLines, AListThatCannotBeOpenedRaisesTheFileError) {
  TestMachine machine;
  machine.AddTextFile("C:\\Outil\\FILESLIST.TXT", "a\r\n");
  SelectPacks(machine, {"A8W-09"});
  TestForm t(machine);
  try {
    t.form().LoadReferenceLines();
    FAIL() << "no error";
  } catch (const runtime::FileError& error) {
    EXPECT_STREQ(error.what(), "Cannot open file C:\\Outil\\A8W-09.TXT");
  }
  TestMachine second_run;
  TestForm t2(second_run);
  try {
    t2.form().LoadReferenceLines();
    FAIL() << "no error";
  } catch (const runtime::FileError& error) {
    EXPECT_STREQ(error.what(), "Cannot open file C:\\Outil\\FILESLIST.TXT");
  }
}

// Started from a shortcut or a prompt elsewhere: the lists are the tool's own
// all the same (a list of that name in the current folder is not one of them),
// and the current folder is left as it was for the later steps.
TEST(ReferenceLines, ComeFromTheToolsFolderWhateverTheCurrentFolder) {
  TestMachine machine;
  ShipLists(machine);
  SelectPacks(machine, {"A8W-09", "NGP_AWD_1"});
  machine.AddTextFile("C:\\windows\\system32\\A8W-09.TXT", "planted\r\n");
  TestForm t(machine);
  ASSERT_TRUE(t.os().files().SetCurrentDirectory("C:\\windows\\system32").ok());
  t.form().LoadReferenceLines();
  EXPECT_EQ(t.form().ReferenceLines,
            (std::vector<std::string>{"from FILESLIST.TXT", "from A8W-09.TXT", "from NGP.TXT"}));
  EXPECT_EQ(t.os().files().CurrentDirectory(), "C:\\windows\\system32");
}

TEST(ReferenceLines, ReadsAnyLineEndAndAnyByte) {
  TestMachine machine;
  SelectPacks(machine, {});
  const std::string long_line(70000, 'L');
  machine.AddFile("C:\\Outil\\FILESLIST.TXT",
                  "cr\rlf\nboth\r\n\xB5\r\n\xB5"
                  "15\r\n// c\r\n bin\x01\xFF\x81\r\n" +
                      long_line + "\r\n\r\n\xA3p\n\xA7q\nlast");
  TestForm t(machine);
  TForm1& form = t.form();
  form.LoadReferenceLines();
  EXPECT_EQ(form.ReferenceLines,
            (std::vector<std::string>{"cr", "lf", "both", "µ", "µ15", "// c", " bin\x01ÿ\xC2\x81",
                                      long_line, "", "£p", "§q", "last"}));
  // Only the first marker line counts, a lone one giving an empty update.
  EXPECT_EQ(form.SupportedUpdate, "");
  form.CheckListJob.Start(t.loop(), [&form] { form.CheckListJobWork(); });
  t.Settle();
  std::vector<std::string> checked;
  for (const auto& item : form.window.CheckList) {
    checked.push_back(item.text);
    EXPECT_FALSE(item.ticked);
  }
  EXPECT_EQ(checked, (std::vector<std::string>{"cr", "lf", "both", " bin\x01ÿ\xC2\x81", long_line,
                                               "", "£p", "§q", "last"}));
}

TEST(ReferenceLines, TheSupportedUpdateIsTheWholeTextOfTheFirstUpdateLine) {
  EXPECT_EQ(app::SupportedUpdateOf({"//µ13", "a\\b", "µ2014-03x", "µ16"}), "2014-03x");
  EXPECT_EQ(app::SupportedUpdateOf({"a", " µ15"}), "");
  EXPECT_EQ(app::SupportedUpdateOf({}), "");
  // The update-version gate compares six characters of it.
  EXPECT_EQ(app::UpdateOfLine("µ2014-03x", app::kGateUpdateLength), "2014-0");
}

TEST(CheckListJob, StopsBeforeTheNextLineOnceCancelled) {
  TestMachine machine;
  TestForm t(machine);
  TForm1& form = t.form();
  form.ReferenceLines.assign(1000, "entry");
  form.CheckListJob.Start(t.loop(), [&form] { form.CheckListJobWork(); });
  // A task that cancels the job, run from inside the job's own event processing.
  int seen = -1;
  t.loop().Post([&] {
    seen = static_cast<int>(form.window.CheckList.size());
    form.CheckListJob.RequestCancel();
  });
  t.Settle();
  EXPECT_EQ(form.window.CheckList.size(), static_cast<std::size_t>(seen));
  EXPECT_LT(form.window.CheckList.size(), 1000u);
}

TEST(ShippedLists, OnlyTheToolsOwnTextFilesAreRemoved) {
  TestMachine machine;
  ShipLists(machine);
  machine.AddTextFile("C:\\Outil\\mes notes.txt", "à moi\r\n");
  machine.AddTextFile("C:\\Outil\\Lisez-moi.TXT", "à moi aussi\r\n");
  machine.AddTextFile("C:\\Outil\\extrait.txt", "du DataPack\r\n");
  TestForm t(machine);
  t.form().data_pack_files = {"extrait.txt", "qdm.ini"};
  t.form().RemoveShippedLists();
  for (const auto& list : app::ShippedListFiles()) {
    EXPECT_FALSE(machine.Exists("C:\\Outil\\" + list)) << list;
  }
  EXPECT_FALSE(machine.Exists("C:\\Outil\\extrait.txt"));
  EXPECT_TRUE(machine.Exists("C:\\Outil\\mes notes.txt"));
  EXPECT_TRUE(machine.Exists("C:\\Outil\\Lisez-moi.TXT"));
}

TEST(ShippedLists, StayInTheBuildFolder) {
  TestMachine machine;
  machine.SetFact("Self", "Exe", "C:\\RemedorBuild\\Remedor.exe");
  machine.AddTextFile("C:\\RemedorBuild\\FILESLIST.TXT", "a\r\n");
  TestForm t(machine);
  t.form().RemoveShippedLists();
  EXPECT_TRUE(machine.Exists("C:\\RemedorBuild\\FILESLIST.TXT"));
}

}  // namespace
}  // namespace test
