#include <gtest/gtest.h>

#include "platform/posix/faults.h"
#include "repairs/window_reset.h"
#include "tests/test_machine.h"

namespace {

using Lines = std::vector<std::string>;
using repairs::Edition;

constexpr char kLastProfileKey[] =
    "Software\\VB and VBA Program Settings\\Corvane2015\\LastProfile";

void SetLastProfile(test::TestMachine& machine, const std::string& profile,
                    const std::string& number) {
  machine.SetRegistryString(test::Hive::kCurrentUser, kLastProfileKey, "Profile", profile);
  machine.SetRegistryString(test::Hive::kCurrentUser, kLastProfileKey, "Number", number);
}

// The values of an edition's key, read back from the machine ("" when absent).
Lines ReadValues(test::TestMachine& machine, Edition edition, const std::string& profile,
                 const std::string& number) {
  Lines values;
  for (const std::string& name : repairs::WindowPositionValues(edition)) {
    values.push_back(test::ReadBack(machine, rkHKEY_CURRENT_USER,
                                    repairs::EditionSettingsKey(edition, profile, number), name));
  }
  return values;
}

TEST(WindowReset, WritesTheTickedEditionsOfTheLastProfile) {
  struct Case {
    std::string name;
    bool alone, publique, championnat;
    std::string profile, number;
  };
  const Case cases[] = {
      {"Alone only", true, false, false, "Pilote", "3"},
      {"all three", true, true, true, "Pilote", "3"},
      {"none", false, false, false, "Pilote", "3"},
      {"no last profile", true, false, true, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TestMachine machine;
    if (!c.profile.empty()) SetLastProfile(machine, c.profile, c.number);
    // An existing value of the key is overwritten, others stay.
    machine.SetRegistryString(test::Hive::kCurrentUser,
                              repairs::EditionSettingsKey(Edition::kAlone, c.profile, c.number),
                              "frmCarLeft", "1234");
    {
      test::TestForm tool(machine, test::AfterStartup{});
      TForm1& form = tool.form();
      form.bButton7Click();
      EXPECT_TRUE(form.window.Panel1.visible);
      form.window.Alone.checked = c.alone;
      form.window.Publique.checked = c.publique;
      form.window.Championnat.checked = c.championnat;
      tool.Run(&TForm1::bButton9Click);
      EXPECT_FALSE(form.window.Panel1.visible);
      EXPECT_TRUE(tool.Messages("error").empty());
    }
    const auto expect = [&](Edition edition, bool ticked) {
      const Lines values = ReadValues(machine, edition, c.profile, c.number);
      Lines wanted(values.size(), ticked ? "0" : "");
      if (edition == Edition::kAlone && !ticked) wanted[0] = "1234";
      EXPECT_EQ(values, wanted);
    };
    expect(Edition::kAlone, c.alone);
    expect(Edition::kPublic, c.publique);
    expect(Edition::kChampionships, c.championnat);
  }
}

TEST(WindowReset, TicksStayBetweenOpenings) {
  test::TestMachine machine;
  test::TestForm tool(machine, test::AfterStartup{});
  TForm1& form = tool.form();
  form.bButton7Click();
  form.PubliqueClick();
  form.bButton10Click();
  EXPECT_FALSE(form.window.Panel1.visible);
  form.bButton7Click();
  EXPECT_TRUE(form.window.Alone.checked);
  EXPECT_FALSE(form.window.Publique.checked);
  EXPECT_TRUE(form.window.Championnat.checked);
}

// A write that fails part-way keeps what was written before it, writes
// nothing after it, and leaves a registry that reads back whole.
TEST(WindowReset, FailedWriteKeepsEarlierValues) {
  test::TestMachine machine;
  SetLastProfile(machine, "Pilote", "3");
  machine.SetRegistryString(test::Hive::kCurrentUser, "Software\\Other", "Kept", "yes");
  {
    test::TestForm tool(machine, test::AfterStartup{});
    {
      const platform::posix::ScopedFault fault(tool.faults(),
                                               platform::posix::FaultOperation::kRegSetValueEx, 5);
      tool.Run(&TForm1::bButton9Click);
    }
    EXPECT_EQ(tool.Messages("error"), Lines{"Failed to set data for 'frmChronoTop'"});
    EXPECT_FALSE(tool.form().window.Panel1.visible);
  }
  Lines wanted(20, "");
  std::fill(wanted.begin(), wanted.begin() + 4, "0");
  EXPECT_EQ(ReadValues(machine, Edition::kAlone, "Pilote", "3"), wanted);
  EXPECT_EQ(ReadValues(machine, Edition::kPublic, "Pilote", "3"), Lines(26, ""));
  EXPECT_EQ(test::ReadBack(machine, rkHKEY_CURRENT_USER, "Software\\Other", "Kept"), "yes");
  EXPECT_EQ(test::ReadBack(machine, rkHKEY_CURRENT_USER, kLastProfileKey, "Profile"), "Pilote");
}

}  // namespace
