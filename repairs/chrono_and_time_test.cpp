#include <gtest/gtest.h>

#include "platform/posix/faults.h"
#include "repairs/chrono_and_time.h"
#include "tests/test_machine.h"

namespace {

using Lines = std::vector<std::string>;

constexpr char kGuestKey[] = "Software\\VB and VBA Program Settings\\Corvane\\guest Settings";

std::string LastKey(const std::string& profile) {
  return "Software\\VB and VBA Program Settings\\Corvane\\" + profile + " Settings";
}

TEST(ChronoManagerRepair, SwitchesOffWhatReadsExactlyOne) {
  struct Case {
    std::string name;
    std::optional<std::string> guest, last;
    std::string profile;
    std::string guest_after, last_after;
    bool disabled;
  };
  const Case cases[] = {
      {"guest on", "1", "0", "Pilote", "0", "0", true},
      {"last on", "0", "1", "Pilote", "0", "0", true},
      {"both on", "1", "1", "Pilote", "0", "0", true},
      {"not exactly 1", "true", " 1", "Pilote", "true", " 1", false},
      {"none recorded", std::nullopt, std::nullopt, "Pilote", "", "", false},
      {"no last profile name", "0", "1", "", "0", "0", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TestMachine machine;
    if (c.guest)
      machine.SetRegistryString(test::Hive::kCurrentUser, kGuestKey, "UseChronoManager", *c.guest);
    if (c.last)
      machine.SetRegistryString(test::Hive::kCurrentUser, LastKey(c.profile), "UseChronoManager",
                                *c.last);
    // The survey's guest switch lives under Corvane2015: not this repair's.
    machine.SetRegistryString(test::Hive::kCurrentUser,
                              "Software\\VB and VBA Program Settings\\Corvane2015\\guest Settings",
                              "UseChronoManager", "1");
    {
      test::TestForm tool(machine, test::AfterStartup{});
      tool.form().settings.LastProfileName = c.profile;
      tool.form().window.bButton6.enabled = true;
      tool.Run(&TForm1::bButton6Click);
      EXPECT_EQ(tool.form().window.bButton6.enabled, !c.disabled);
    }
    EXPECT_EQ(test::ReadBack(machine, rkHKEY_CURRENT_USER, kGuestKey, "UseChronoManager"),
              c.guest_after);
    EXPECT_EQ(test::ReadBack(machine, rkHKEY_CURRENT_USER, LastKey(c.profile), "UseChronoManager"),
              c.last_after);
    EXPECT_EQ(test::ReadBack(machine, rkHKEY_CURRENT_USER,
                             "Software\\VB and VBA Program Settings\\Corvane2015\\guest Settings",
                             "UseChronoManager"),
              "1");
  }
}

const char* const kControlSets[] = {"CurrentControlSet", "ControlSet001", "ControlSet002",
                                    "ControlSet003"};

std::string TimeKey(const char* control_set) {
  return std::string("SYSTEM\\") + control_set + "\\Services\\W32Time\\Parameters";
}

TEST(InternetTimeRepair, RewritesOnlyNoSync) {
  struct Case {
    std::string name;
    std::vector<std::optional<std::string>> types;  // per control set; nullopt: no key
    bool disabled;
  };
  const Case cases[] = {
      {"only 002", {"NTP", "NTP", "NoSync", "NTP"}, true},
      {"all", {"NoSync", "NoSync", "NoSync", "NoSync"}, true},
      {"none", {"NTP", "NTP", "NTP", "NTP"}, false},
      {"missing keys are not created", {"NoSync", std::nullopt, "nosync", std::nullopt}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TestMachine machine;
    for (std::size_t i = 0; i < 4; ++i) {
      if (!c.types[i]) continue;
      machine.SetRegistryString(test::Hive::kLocalMachine, TimeKey(kControlSets[i]), "Type",
                                *c.types[i]);
      machine.SetRegistryString(test::Hive::kLocalMachine, TimeKey(kControlSets[i]), "NtpServer",
                                "old,0x1");
    }
    {
      test::TestForm tool(machine, test::AfterStartup{});
      tool.form().window.bButton8.enabled = true;
      tool.Run(&TForm1::bButton8Click);
      EXPECT_EQ(tool.form().window.bButton8.enabled, !c.disabled);
    }
    for (std::size_t i = 0; i < 4; ++i) {
      SCOPED_TRACE(kControlSets[i]);
      const std::string key = TimeKey(kControlSets[i]);
      if (!c.types[i]) {
        EXPECT_FALSE(test::KeyExists(machine, platform::RootKey::kLocalMachine, key));
        continue;
      }
      const bool rewritten = *c.types[i] == "NoSync";
      EXPECT_EQ(test::ReadBack(machine, rkHKEY_LOCAL_MACHINE, key, "Type"),
                rewritten ? "NTP" : *c.types[i]);
      EXPECT_EQ(test::ReadBack(machine, rkHKEY_LOCAL_MACHINE, key, "NtpServer"),
                rewritten ? std::string(repairs::kNtpServer) : "old,0x1");
    }
  }
}

TEST(InternetTimeRepair, FailedWriteAbandonsTheRest) {
  test::TestMachine machine;
  for (const char* set : kControlSets) {
    machine.SetRegistryString(test::Hive::kLocalMachine, TimeKey(set), "Type", "NoSync");
  }
  {
    test::TestForm tool(machine, test::AfterStartup{});
    tool.form().window.bButton8.enabled = true;
    {
      const platform::posix::ScopedFault fault(tool.faults(),
                                               platform::posix::FaultOperation::kRegSetValueEx,
                                               2);  // the first NtpServer
      tool.Run(&TForm1::bButton8Click);
    }
    EXPECT_EQ(tool.Messages("error"), Lines{"Failed to set data for 'NtpServer'"});
    EXPECT_TRUE(tool.form().window.bButton8.enabled);
  }
  EXPECT_EQ(test::ReadBack(machine, rkHKEY_LOCAL_MACHINE, TimeKey(kControlSets[0]), "Type"), "NTP");
  EXPECT_EQ(test::ReadBack(machine, rkHKEY_LOCAL_MACHINE, TimeKey(kControlSets[0]), "NtpServer"),
            "");
  for (int i = 1; i < 4; ++i) {
    EXPECT_EQ(test::ReadBack(machine, rkHKEY_LOCAL_MACHINE, TimeKey(kControlSets[i]), "Type"),
              "NoSync");
  }
}

}  // namespace
