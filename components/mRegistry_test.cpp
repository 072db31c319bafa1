#include "components/mRegistry.h"

#include <gtest/gtest.h>

#include "components/registry_instances.h"
#include "platform/posix/faults.h"
#include "platform/posix/wine_registry_fixture.h"

namespace {

using platform::posix::FaultOperation;
using platform::posix::ScopedFault;
using platform::posix::testing_support::kMachineHeader;
using platform::posix::testing_support::kUserHeader;
using platform::posix::testing_support::TempPrefix;

// Passes every call on to the simulated machine's registry, counting the keys
// left open and the values written; can refuse full access as a key writable
// only by others does.
class Recorder : public platform::Registry {
  template <class T>
  using Result = platform::Result<T>;

 public:
  explicit Recorder(platform::Registry& inner) : inner_(inner) {}

  Result<Key> OpenKey(platform::RootKey root, std::string_view path,
                      platform::KeyAccess access) override {
    if (read_only && access == platform::KeyAccess::kAll) {
      return platform::MakeError(platform::Errc::kAccessDenied, "RegOpenKeyEx", std::string(path));
    }
    return Count(inner_.OpenKey(root, path, access));
  }
  Result<Key> CreateKey(platform::RootKey root, std::string_view path) override {
    return Count(inner_.CreateKey(root, path));
  }
  Result<platform::RegistryValue> QueryValue(Key key, std::string_view name) override {
    return inner_.QueryValue(key, name);
  }
  platform::Status SetStringValue(Key key, std::string_view name, std::string_view text) override {
    writes.push_back(std::string(name) + "=" + std::string(text));
    return inner_.SetStringValue(key, name, text);
  }
  void CloseKey(Key key) override {
    --open_keys;
    inner_.CloseKey(key);
  }

  bool read_only = false;
  int open_keys = 0;
  std::vector<std::string> writes;

 private:
  Result<Key> Count(Result<Key> key) {
    if (key) ++open_keys;
    return key;
  }
  platform::Registry& inner_;
};

const std::string kSystemReg =
    std::string(kMachineHeader) +
    "\n[Software\\\\Wow6432Node\\\\Microsoft\\\\Windows NT\\\\CurrentVersion] 1796867861\n"
    "#time=1dd8849d70988ea\n\"BuildLabEx\"=\"7601.24545.amd64fre.win7sp1_ldr.200109-0600\"\n"
    "\n[Software\\\\Wow6432Node\\\\SCi Games\\\\Richard Burns Rally\\\\InstallPath] 1796867861\n"
    "#time=1dd8849d70988ea\n@=\"C:\\\\Richard Burns Rally\"\n"
    "\n[Software\\\\Wow6432Node\\\\SCi Games\\\\Richard Burns Rally\\\\QUORVEL\\\\InstalledUpdate] "
    "1796867861\n#time=1dd8849d70988ea\n"
    "\"Version\"=dword:00000007\n"
    "\"Multi\"=str(7):\"a\\0b\\0\"\n"
    "\"Binary\"=hex:01,02\n"
    "\"EmptyDword\"=hex(4):\n"
    "\"EmptyBinary\"=hex:\n"
    "\"EmptyText\"=hex(1):\n"
    "\"Expand\"=str(2):\"%SystemRoot%\\\\system32\"\n"
    "\"Embedded\"=str:\"before\\0after\"\n"
    "\n[Software\\\\Wow6432Node\\\\SCi Games\\\\Richard Burns Rally\\\\QUORVEL\\\\Packs2015] "
    "1796867861\n"
    "#time=1dd8849d70988ea\n\"AllPacks\"=\"12\"\n"
    "\n[Software\\\\Wow6432Node\\\\SCi Games\\\\Richard Burns "
    "Rally\\\\QUORVEL\\\\PackSpeciales2015] "
    "1796867861\n#time=1dd8849d70988ea\n\"Install\"=\"1\"\n"
    "\n[Software\\\\Wow6432Node\\\\SCi Games\\\\Richard Burns Rally\\\\QUORVEL\\\\Sons_2010] "
    "1796867861\n#time=1dd8849d70988ea\n\"Version\"=\"2010\"\n"
    "\n[System\\\\CurrentControlSet\\\\Services\\\\W32Time\\\\Parameters] 1796867861\n"
    "#time=1dd8849d70988ea\n\"Type\"=\"NTP\"\n";

const std::string kUserReg =
    std::string(kUserHeader) +
    "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\RunOnce] 1796867861\n"
    "#time=1dd8849d70988ea\n\"Other\"=\"x.exe\"\n"
    "\n[Software\\\\VB and VBA Program Settings\\\\Corvane2015\\\\guest Settings] 1796867861\n"
    "#time=1dd8849d70988ea\n\"UseChronoManager\"=\"True\"\n"
    "\n[Software\\\\VB and VBA Program Settings\\\\Corvane2015\\\\LastProfile] 1796867861\n"
    "#time=1dd8849d70988ea\n\"Profile\"=\"guest\"\n";

class TmRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    prefix_.Write("system.reg", kSystemReg);
    prefix_.Write("user.reg", kUserReg);
    machine_ = prefix_.Open();
    ASSERT_NE(machine_, nullptr);
    recorder_ = std::make_unique<Recorder>(*machine_);
  }
  void TearDown() override { EXPECT_EQ(recorder_->open_keys, 0) << "a key was left open"; }

  TmRegistry Aimed(TmRootKey root, std::string key) {
    TmRegistry registry(*recorder_);
    registry.RootKey = root;
    registry.Key = std::move(key);
    return registry;
  }
  std::string ErrorOf(const TmRegistry& registry, std::string_view name) {
    try {
      registry.ReadValue(name);
    } catch (const RegistryError& error) {
      return error.what();
    }
    return "no error";
  }

  TempPrefix prefix_;
  std::unique_ptr<platform::posix::WineRegistry> machine_;
  std::unique_ptr<Recorder> recorder_;
};

constexpr const char* kUpdateKey =
    "\\SOFTWARE\\SCi Games\\Richard Burns Rally\\QUORVEL\\InstalledUpdate";

TEST_F(TmRegistryTest, AddressesTheKeyWithOrWithoutLeadingAndTrailingBackslash) {
  for (const char* key : {"\\SOFTWARE\\SCi Games\\Richard Burns Rally\\InstallPath\\",
                          "\\SOFTWARE\\SCi Games\\Richard Burns Rally\\InstallPath",
                          "SOFTWARE\\SCi Games\\Richard Burns Rally\\InstallPath\\",
                          "\\software\\sci games\\richard burns rally\\installpath"}) {
    EXPECT_EQ(Aimed(rkHKEY_LOCAL_MACHINE, key).ReadValue(""), "C:\\Richard Burns Rally") << key;
  }
}

TEST_F(TmRegistryTest, ReadsStringsAndTreatsAbsenceAsEmpty) {
  const TmRegistry update = Aimed(rkHKEY_LOCAL_MACHINE, kUpdateKey);
  struct Case {
    const char* name;
    const char* expected;
  };
  const Case cases[] = {
      {"Expand", "%SystemRoot%\\system32"},  // unexpanded
      {"Embedded", "before"},                // up to the first NUL
      {"Missing", ""},
      {"", ""},            // no default value
      {"EmptyDword", ""},  // size zero: empty whatever the type
      {"EmptyBinary", ""},
      {"EmptyText", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(update.ReadValue(c.name), c.expected) << c.name;
  EXPECT_EQ(Aimed(rkHKEY_LOCAL_MACHINE, "\\SOFTWARE\\Nobody\\Here").ReadValue("x"), "");
}

TEST_F(TmRegistryTest, RefusesValuesThatAreNotStrings) {
  const TmRegistry update = Aimed(rkHKEY_LOCAL_MACHINE, kUpdateKey);
  EXPECT_EQ(ErrorOf(update, "Version"), "Invalid data type for 'Version'");
  EXPECT_EQ(ErrorOf(update, "Multi"), "Invalid data type for 'Multi'");
  EXPECT_EQ(ErrorOf(update, "Binary"), "Invalid data type for 'Binary'");
  const ScopedFault fault(machine_->faults(), FaultOperation::kRegQueryValueEx, 1);
  EXPECT_EQ(ErrorOf(update, "Expand"), "Failed to get data for 'Expand'");
}

TEST_F(TmRegistryTest, ReadingNeverCreatesTheKey) {
  TmRegistry registry = Aimed(rkHKEY_CURRENT_USER, "\\Software\\Missing\\Key");
  registry.CanCreate = true;
  EXPECT_EQ(registry.ReadValue("v"), "");
  EXPECT_TRUE(machine_->Flush().ok());
  EXPECT_EQ(prefix_.Read("user.reg"), kUserReg);
}

TEST_F(TmRegistryTest, ReadsWhereOnlyReadingIsAllowed) {
  recorder_->read_only = true;
  TmRegistry registry = Aimed(rkHKEY_LOCAL_MACHINE, kUpdateKey);
  EXPECT_EQ(registry.ReadValue("Expand"), "%SystemRoot%\\system32");
  registry.AddValue("New", "1");
  EXPECT_FALSE(registry.WriteValues());  // the full-access open is refused
  EXPECT_TRUE(recorder_->writes.empty());
}

TEST_F(TmRegistryTest, MapsEachRootAndAnyOtherValueToTheMachine) {
  EXPECT_EQ(Aimed(rkHKEY_CURRENT_USER,
                  "\\Software\\VB and VBA Program Settings\\Corvane2015\\guest Settings")
                .ReadValue("UseChronoManager"),
            "True");
  EXPECT_EQ(Aimed(rkHKEY_USERS,
                  "\\S-1-5-21-0-0-0-1000\\Software\\VB and VBA Program "
                  "Settings\\Corvane2015\\LastProfile")
                .ReadValue("Profile"),
            "guest");
  EXPECT_EQ(Aimed(static_cast<TmRootKey>(42),
                  "\\SYSTEM\\CurrentControlSet\\Services\\W32Time\\Parameters")
                .ReadValue("Type"),
            "NTP");
  EXPECT_EQ(Aimed(rkHKEY_CLASSES_ROOT, "\\Missing").ReadValue(""), "");
}

TEST_F(TmRegistryTest, WritesQueuedPairsAsStringsEveryTime) {
  TmRegistry registry = Aimed(rkHKEY_CURRENT_USER, "\\Software\\Remedor\\New\\Deep");
  registry.CanCreate = false;
  registry.AddValue("A", "1");
  EXPECT_FALSE(registry.WriteValues());
  EXPECT_TRUE(recorder_->writes.empty());

  registry.CanCreate = true;
  registry.AddValue("", "default");
  EXPECT_TRUE(registry.WriteValues());
  EXPECT_TRUE(registry.WriteValues());  // the queue stays: every pair again
  EXPECT_EQ(recorder_->writes, (std::vector<std::string>{"A=1", "=default", "A=1", "=default"}));
  EXPECT_EQ(registry.ReadValue("a"), "1");
  EXPECT_EQ(registry.ReadValue(""), "default");
  const std::string saved = prefix_.Read("user.reg");
  EXPECT_NE(saved.find("[Software\\\\Remedor\\\\New\\\\Deep] "), std::string::npos) << saved;
  EXPECT_NE(saved.find("\n@=\"default\"\n\"A\"=\"1\"\n"), std::string::npos) << saved;
}

TEST_F(TmRegistryTest, EmptyQueueOnAnExistingKeyWritesNothing) {
  TmRegistry registry =
      Aimed(rkHKEY_CURRENT_USER, "\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce");
  registry.CanCreate = false;
  EXPECT_TRUE(registry.WriteValues());
  EXPECT_TRUE(recorder_->writes.empty());
  EXPECT_TRUE(machine_->Flush().ok());
  EXPECT_EQ(prefix_.Read("user.reg"), kUserReg);
}

TEST_F(TmRegistryTest, AFailedWriteStopsAtThatValueAndClosesTheKey) {
  TmRegistry registry = Aimed(rkHKEY_CURRENT_USER, "\\Software\\Remedor");
  registry.AddValue("A", "1");
  registry.AddValue("B", "2");
  registry.AddValue("C", "3");
  const ScopedFault fault(machine_->faults(), FaultOperation::kRegSetValueEx, 2);
  try {
    (void)registry.WriteValues();
    ADD_FAILURE() << "no error";
  } catch (const RegistryError& error) {
    EXPECT_STREQ(error.what(), "Failed to set data for 'B'");
    ASSERT_TRUE(error.cause());  // the platform's refusal travels with the message
    EXPECT_EQ(error.cause()->operation, "RegSetValueEx");
    EXPECT_EQ(error.cause()->subject, "B");
  }
  EXPECT_EQ(recorder_->writes, (std::vector<std::string>{"A=1", "B=2"}));
  EXPECT_EQ(registry.ReadValue("A"), "1");  // written before the failure: kept
  EXPECT_EQ(registry.ReadValue("C"), "");
}

TEST_F(TmRegistryTest, UnopenableKeyReturnsFalse) {
  TmRegistry registry = Aimed(rkHKEY_CURRENT_USER, "\\Software\\Remedor");
  registry.AddValue("A", "1");
  const ScopedFault fault(machine_->faults(), FaultOperation::kRegCreateKeyEx, 1);
  EXPECT_FALSE(registry.WriteValues());
  EXPECT_TRUE(recorder_->writes.empty());
}

TEST_F(TmRegistryTest, TheWindowsInstancesReachTheirKeys) {
  const std::map<std::string_view, std::pair<const char*, const char*>> reads = {
      {"mRegistry1", {"", "C:\\Richard Burns Rally"}},
      {"mRegistry2", {"AllPacks", "12"}},
      {"mRegistry3", {"Expand", "%SystemRoot%\\system32"}},
      {"mRegistry4", {"Version", "2010"}},
      {"mRegistry5", {"UseChronoManager", "True"}},
      {"mRegistry6", {"", ""}},
      {"mRegistry7", {"Type", "NTP"}},
      {"mRegistry8", {"Profile", "guest"}},
      {"mRegistry10", {"Install", "1"}},
      {"mRegistry11", {"BuildLabEx", "7601.24545.amd64fre.win7sp1_ldr.200109-0600"}},
      {"Autoremove", {"Other", "x.exe"}},
  };
  ASSERT_EQ(kRegistryInstances.size(), reads.size());
  for (const TmRegistryInstance& instance : kRegistryInstances) {
    TmRegistry registry(*recorder_);
    Configure(registry, instance);
    const auto& [name, expected] = reads.at(instance.name);
    EXPECT_EQ(registry.ReadValue(name), expected) << instance.name;
  }
}

}  // namespace
