#include "platform/posix/wine_registry.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "platform/posix/faults.h"
#include "platform/posix/regfile.h"
#include "platform/posix/wine_registry_fixture.h"

namespace platform::posix {
namespace {

using testing_support::FakeWineServer;
using testing_support::kDefaultUserHeader;
using testing_support::kMachineHeader;
using testing_support::kUserHeader;
using testing_support::TempPrefix;

constexpr std::uint64_t kOldTime = 0x1dd8849d70988ea;

// A symbolic-link key's block, as Wine writes it.
std::string LinkBlock(std::u16string path, std::u16string_view target) {
  RegFileKey key;
  key.path = std::move(path);
  key.modified = kOldTime;
  key.is_link = true;
  std::vector<std::uint8_t> data;
  for (char16_t c : target) data.insert(data.end(), {static_cast<std::uint8_t>(c), 0});
  key.values.push_back({u"SymbolicLinkValue", reg_type::kLink, data});
  return "\n" + FormatRegKey(key);
}

const std::string kSystemReg =
    std::string(kMachineHeader) +
    "\n[Software\\\\Classes\\\\.txt] 1796867861\n#time=1dd8849d70988ea\n@=\"txtfile\"\n"
    "\n[Software\\\\Classes\\\\txtfile] 1796867861\n#time=1dd8849d70988ea\n"
    "@=\"Text (machine)\"\n"
    "\n[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion] 1796867861\n"
    "#time=1dd8849d70988ea\n\"BuildLabEx\"=\"64-bit view\"\n"
    "\n[Software\\\\Wow6432Node\\\\Microsoft\\\\Windows NT\\\\CurrentVersion] 1796867861\n"
    "#time=1dd8849d70988ea\n\"BuildLabEx\"=\"7601.win7sp1\"\n"
    "\n[Software\\\\Wow6432Node\\\\SCi Games\\\\Richard Burns Rally\\\\InstallPath] 1796867861\n"
    "#time=1dd8849d70988ea\n@=\"C:\\\\Games\\\\RBR\"\n\"Dword\"=dword:00000001\n" +
    "\n[System\\\\ControlSet001\\\\Hardware Profiles\\\\0001\\\\Software] 1796867861\n"
    "#time=1dd8849d70988ea\n\"Profile\"=\"one\"\n" +
    LinkBlock(u"System\\ControlSet001\\Hardware Profiles\\Current",
              u"\\Registry\\Machine\\System\\ControlSet001\\Hardware Profiles\\0001") +
    "\n[System\\\\ControlSet001\\\\Services\\\\W32Time\\\\Parameters] 1796867861\n"
    "#time=1dd8849d70988ea\n\"Type\"=\"NTP\"\n" +
    LinkBlock(u"System\\CurrentControlSet", u"\\Registry\\Machine\\System\\ControlSet001") +
    LinkBlock(u"System\\Loop", u"\\Registry\\Machine\\System\\Loop") +
    LinkBlock(u"System\\Nowhere", u"\\Registry\\Elsewhere\\X");

const std::string kUserReg =
    std::string(kUserHeader) +
    "\n[Software\\\\Classes\\\\txtfile] 1796867861\n#time=1dd8849d70988ea\n@=\"Text (user)\"\n"
    "\n[Software\\\\VB and VBA Program Settings\\\\Corvane2015\\\\guest Settings] 1796867861\n"
    "#time=1dd8849d70988ea\n\"Profil\"=\"guest\"\n";

const std::string kDefaultUserReg =
    std::string(kDefaultUserHeader) +
    "\n[Control Panel\\\\Desktop] 1796867861\n#time=1dd8849d70988ea\n\"Wallpaper\"=\"none\"\n";

class WineRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    prefix_.Write("system.reg", kSystemReg);
    prefix_.Write("user.reg", kUserReg);
    prefix_.Write("userdef.reg", kDefaultUserReg);
    registry_ = prefix_.Open();
    ASSERT_NE(registry_, nullptr);
  }

  // The text of a string value, or the error's code as text.
  std::string Read(RootKey root, std::string_view path, std::string_view name) {
    Result<Registry::Key> key = registry_->OpenKey(root, path, KeyAccess::kRead);
    if (!key) return "error " + std::to_string(static_cast<int>(key.error().code));
    Result<RegistryValue> value = registry_->QueryValue(*key, name);
    registry_->CloseKey(*key);
    if (!value) return "error " + std::to_string(static_cast<int>(value.error().code));
    return value->Text();
  }

  Status Write(RootKey root, std::string_view path, std::string_view name, std::string_view text) {
    Result<Registry::Key> key = registry_->CreateKey(root, path);
    if (!key) return key.error();
    Status written = registry_->SetStringValue(*key, name, text);
    registry_->CloseKey(*key);
    return written;
  }

  TempPrefix prefix_;
  std::unique_ptr<WineRegistry> registry_;
};

std::string ErrorText(Errc code) { return "error " + std::to_string(static_cast<int>(code)); }

TEST_F(WineRegistryTest, ReadsEveryRootAsWindowsMapsIt) {
  struct Case {
    RootKey root;
    std::string path, name, expected;
  };
  const Case cases[] = {
      // The 32-bit view, names in any case, a trailing backslash.
      {RootKey::kLocalMachine, "SOFTWARE\\SCi Games\\Richard Burns Rally\\InstallPath\\", "",
       "C:\\Games\\RBR"},
      {RootKey::kLocalMachine, "software\\sci games\\richard burns rally\\installpath", "",
       "C:\\Games\\RBR"},
      {RootKey::kLocalMachine, "Software\\Microsoft\\Windows NT\\CurrentVersion", "buildlabex",
       "7601.win7sp1"},
      {RootKey::kLocalMachine, "Software\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion",
       "BuildLabEx", "7601.win7sp1"},
      {RootKey::kLocalMachine, "Software\\Classes\\.txt", "", "txtfile"},  // shared
      // Symbolic links, also as the last name and chained.
      {RootKey::kLocalMachine, "SYSTEM\\CurrentControlSet\\Services\\W32Time\\Parameters", "Type",
       "NTP"},
      {RootKey::kCurrentConfig, "Software", "Profile", "one"},
      {RootKey::kCurrentUser, "Software\\VB and VBA Program Settings\\Corvane2015\\guest Settings",
       "Profil", "guest"},
      // The user's classes over the machine's.
      {RootKey::kClassesRoot, "txtfile", "", "Text (user)"},
      {RootKey::kClassesRoot, ".txt", "", "txtfile"},
      {RootKey::kClassesRoot, "\\.TXT", "", "txtfile"},
      {RootKey::kUsers, ".DEFAULT\\Control Panel\\Desktop", "Wallpaper", "none"},
      {RootKey::kUsers,
       "S-1-5-21-0-0-0-1000\\Software\\VB and VBA Program Settings\\Corvane2015\\guest Settings",
       "Profil", "guest"},
      // Misses.
      {RootKey::kLocalMachine, "Software\\Missing", "", ErrorText(Errc::kFileNotFound)},
      {RootKey::kLocalMachine, "Software\\Classes\\.txt", "missing",
       ErrorText(Errc::kFileNotFound)},
      {RootKey::kLocalMachine, "\\Software\\Classes\\.txt", "", ErrorText(Errc::kBadPathname)},
      {RootKey::kLocalMachine, "System\\Loop\\X", "", ErrorText(Errc::kInvalidData)},
      {RootKey::kLocalMachine, "System\\Nowhere", "", ErrorText(Errc::kFileNotFound)},
      {RootKey::kUsers, "S-1-5-18\\Software", "", ErrorText(Errc::kFileNotFound)},
      {RootKey::kUsers, "", "x", ErrorText(Errc::kFileNotFound)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Read(c.root, c.path, c.name), c.expected) << c.path << " " << c.name;
  }
  // Reading created nothing and changed nothing.
  EXPECT_TRUE(registry_->Flush().ok());
  EXPECT_EQ(prefix_.Read("system.reg"), kSystemReg);
  EXPECT_EQ(prefix_.Read("user.reg"), kUserReg);
}

TEST_F(WineRegistryTest, ReturnsStoredTypeAndBytes) {
  Result<Registry::Key> key =
      registry_->OpenKey(RootKey::kLocalMachine,
                         "Software\\SCi Games\\Richard Burns Rally\\InstallPath", KeyAccess::kRead);
  ASSERT_TRUE(key.ok());
  Result<RegistryValue> value = registry_->QueryValue(*key, "Dword");
  ASSERT_TRUE(value.ok());
  EXPECT_EQ(value->type, reg_type::kDword);
  EXPECT_EQ(value->data, (std::vector<std::uint8_t>{1, 0, 0, 0}));
  value = registry_->QueryValue(*key, "");
  ASSERT_TRUE(value.ok());
  EXPECT_EQ(value->type, reg_type::kSz);
  EXPECT_EQ(value->data.size(), 2 * (12 + 1));  // UTF-16 with its NUL
  registry_->CloseKey(*key);
}

TEST(WineRegistryArchTest, A32BitPrefixHasNoWow6432Node) {
  TempPrefix prefix;
  prefix.Write("system.reg",
               "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n"
               "#arch=win32\n\n[Software\\\\Game] 1\n@=\"here\"\n");
  auto registry = prefix.Open();
  ASSERT_NE(registry, nullptr);
  Result<Registry::Key> key =
      registry->OpenKey(RootKey::kLocalMachine, "Software\\Game", KeyAccess::kRead);
  ASSERT_TRUE(key.ok());
  EXPECT_EQ(registry->QueryValue(*key, "")->Text(), "here");
  registry->CloseKey(*key);
}

TEST_F(WineRegistryTest, WritesANewKeyInWineFormatKeepingEverythingElse) {
  const std::uint64_t before = FileTimeNow();
  ASSERT_TRUE(Write(RootKey::kLocalMachine,
                    "SOFTWARE\\SCi Games\\Richard Burns Rally\\QUORVEL\\Packs2015\\", "AllPacks",
                    "caf\xc3\xa9")
                  .ok());
  const std::string saved = prefix_.Read("system.reg");
  const std::string head =
      "\n[Software\\\\Wow6432Node\\\\SCi Games\\\\Richard Burns Rally\\\\QUORVEL\\\\Packs2015] ";
  const std::size_t at = saved.find(head);
  ASSERT_NE(at, std::string::npos) << saved;
  const std::size_t end = saved.find("\n\n", at + 1) + 1;
  // Inserted in Wine's order, after InstallPath; every other byte as it was.
  EXPECT_EQ(saved.substr(0, at) + saved.substr(end), kSystemReg);
  EXPECT_LT(saved.find("InstallPath]"), at);
  EXPECT_NE(saved.substr(at, end - at).find("\n\"AllPacks\"=\"caf\\xe9\"\n"), std::string::npos);
  EXPECT_EQ(prefix_.Read("user.reg"), kUserReg);

  auto reread = prefix_.Open();
  ASSERT_NE(reread, nullptr);
  registry_ = std::move(reread);
  EXPECT_EQ(Read(RootKey::kLocalMachine,
                 "Software\\SCi Games\\Richard Burns Rally\\QUORVEL\\Packs2015", "allpacks"),
            "caf\xc3\xa9");
  const RegFile file = *ParseRegFile(prefix_.Read("system.reg"), "system.reg", 0);
  for (const RegFileKey& key : file.keys) {
    if (key.path.ends_with(u"Packs2015")) {
      EXPECT_GE(key.modified, before);
      EXPECT_LE(key.modified, FileTimeNow());
    }
  }
}

TEST_F(WineRegistryTest, OverwritesAValueKeepingItsNameAndTheKeysOtherValues) {
  ASSERT_TRUE(Write(RootKey::kLocalMachine, "Software\\SCi Games\\Richard Burns Rally\\InstallPath",
                    "DWORD", "now text")
                  .ok());
  const RegFile file = *ParseRegFile(prefix_.Read("system.reg"), "system.reg", 0);
  const RegFileKey* changed = nullptr;
  for (const RegFileKey& key : file.keys) {
    if (key.path.ends_with(u"InstallPath")) changed = &key;
  }
  ASSERT_NE(changed, nullptr);
  EXPECT_GT(changed->modified, kOldTime);
  ASSERT_EQ(changed->values.size(), 2u);
  EXPECT_EQ(changed->values[1].name, u"Dword");
  EXPECT_EQ(changed->values[1].type, reg_type::kSz);
  EXPECT_EQ((RegistryValue{1, changed->values[0].data}.Text()), "C:\\Games\\RBR");
}

TEST_F(WineRegistryTest, PlacesNewValuesInWinesOrder) {
  Result<Registry::Key> key = registry_->CreateKey(RootKey::kCurrentUser, "Software\\Sorted");
  ASSERT_TRUE(key.ok());
  for (const char* name : {"b", "A", "", "a_", "B"}) {
    ASSERT_TRUE(registry_->SetStringValue(*key, name, name).ok());
  }
  registry_->CloseKey(*key);
  const std::string saved = prefix_.Read("user.reg");
  EXPECT_NE(saved.find("\n@=\"\"\n\"A\"=\"A\"\n\"a_\"=\"a_\"\n\"b\"=\"B\"\n"), std::string::npos)
      << saved;
}

TEST_F(WineRegistryTest, CreatesThroughLinksAndClassesInTheMachineHive) {
  ASSERT_TRUE(
      Write(RootKey::kLocalMachine, "System\\CurrentControlSet\\Services\\New", "v", "1").ok());
  ASSERT_TRUE(Write(RootKey::kClassesRoot, ".new", "", "newfile").ok());
  ASSERT_TRUE(Write(RootKey::kClassesRoot, "txtfile", "", "changed").ok());
  const std::string system = prefix_.Read("system.reg");
  EXPECT_NE(system.find("\n[System\\\\ControlSet001\\\\Services\\\\New] "), std::string::npos);
  EXPECT_EQ(system.find("[System\\\\CurrentControlSet\\\\Services"), std::string::npos);
  EXPECT_NE(system.find("\n[Software\\\\Classes\\\\.new] "), std::string::npos);
  // An existing user class is changed where it is.
  EXPECT_NE(prefix_.Read("user.reg").find("@=\"changed\""), std::string::npos);
  EXPECT_NE(system.find("@=\"Text (machine)\""), std::string::npos);
}

TEST_F(WineRegistryTest, SavesWhenTheLastKeyOfTheFileCloses) {
  Result<Registry::Key> first = registry_->CreateKey(RootKey::kCurrentUser, "Software\\A");
  Result<Registry::Key> second =
      registry_->OpenKey(RootKey::kCurrentUser, "Software", KeyAccess::kRead);
  ASSERT_TRUE(first.ok() && second.ok());
  ASSERT_TRUE(registry_->SetStringValue(*first, "v", "1").ok());
  registry_->CloseKey(*first);
  EXPECT_EQ(prefix_.Read("user.reg"), kUserReg);
  registry_->CloseKey(*second);
  EXPECT_NE(prefix_.Read("user.reg").find("[Software\\\\A] "), std::string::npos);

  Result<Registry::Key> open = registry_->CreateKey(RootKey::kCurrentUser, "Software\\B");
  ASSERT_TRUE(open.ok());
  EXPECT_TRUE(registry_->Flush().ok());  // saved with the key still open
  EXPECT_NE(prefix_.Read("user.reg").find("[Software\\\\B] "), std::string::npos);
  registry_->CloseKey(*open);
}

TEST_F(WineRegistryTest, RefusesWritesWithoutWriteAccess) {
  Result<Registry::Key> key =
      registry_->OpenKey(RootKey::kLocalMachine, "Software\\Classes\\.txt", KeyAccess::kRead);
  ASSERT_TRUE(key.ok());
  EXPECT_EQ(registry_->SetStringValue(*key, "", "x").error().code, Errc::kAccessDenied);
  registry_->CloseKey(*key);
  Result<Registry::Key> users = registry_->OpenKey(RootKey::kUsers, "", KeyAccess::kAll);
  ASSERT_TRUE(users.ok());
  EXPECT_EQ(registry_->SetStringValue(*users, "", "x").error().code, Errc::kAccessDenied);
  registry_->CloseKey(*users);
  EXPECT_EQ(registry_->CreateKey(RootKey::kUsers, "S-1-5-99\\X").error().code, Errc::kAccessDenied);
  EXPECT_TRUE(registry_->Flush().ok());
  EXPECT_EQ(prefix_.Read("system.reg"), kSystemReg);
}

TEST_F(WineRegistryTest, InjectedFaultsFailTheNamedCallOnce) {
  struct Case {
    FaultOperation operation;
    std::function<bool()> call;
  };
  const auto open = [this] {
    Result<Registry::Key> key =
        registry_->OpenKey(RootKey::kLocalMachine, "Software", KeyAccess::kRead);
    if (key) registry_->CloseKey(*key);
    return key.ok();
  };
  const auto create = [this] {
    Result<Registry::Key> key = registry_->CreateKey(RootKey::kLocalMachine, "Software");
    if (key) registry_->CloseKey(*key);
    return key.ok();
  };
  const auto query = [this] {
    return Read(RootKey::kLocalMachine, "Software\\Classes\\.txt", "") == "txtfile";
  };
  const auto set = [this] { return Write(RootKey::kCurrentUser, "Software", "v", "1").ok(); };
  const Case cases[] = {{FaultOperation::kRegOpenKeyEx, open},
                        {FaultOperation::kRegCreateKeyEx, create},
                        {FaultOperation::kRegQueryValueEx, query},
                        {FaultOperation::kRegSetValueEx, set}};
  for (const Case& c : cases) {
    const ScopedFault fault(registry_->faults(), c.operation, 1);
    EXPECT_FALSE(c.call()) << FaultName(c.operation);
    EXPECT_TRUE(c.call()) << FaultName(c.operation);
  }
}

TEST_F(WineRegistryTest, AFailedSaveLeavesTheOldFileAndIsRetried) {
  const ScopedFault fault(registry_->faults(), FaultOperation::kRegFlushKey, 1);
  ASSERT_TRUE(Write(RootKey::kCurrentUser, "Software\\A", "v", "1").ok());
  EXPECT_EQ(prefix_.Read("user.reg"), kUserReg);
  EXPECT_EQ(prefix_.Files(), (std::vector<std::string>{"system.reg", "user.reg", "userdef.reg"}));
  EXPECT_TRUE(registry_->Flush().ok());
  EXPECT_NE(prefix_.Read("user.reg").find("[Software\\\\A] "), std::string::npos);
}

TEST_F(WineRegistryTest, NeverOverwritesAFileChangedBySomeoneElse) {
  ASSERT_TRUE(registry_->Flush().ok());
  Result<Registry::Key> key = registry_->CreateKey(RootKey::kCurrentUser, "Software\\A");
  ASSERT_TRUE(key.ok());
  ASSERT_TRUE(registry_->SetStringValue(*key, "v", "1").ok());
  const std::string theirs = kUserReg + "\n[Theirs] 1796867861\n#time=1dd8849d70988ea\n";
  prefix_.Write("user.reg", theirs);
  registry_->CloseKey(*key);
  EXPECT_EQ(prefix_.Read("user.reg"), theirs);
  const Status flushed = registry_->Flush();
  ASSERT_FALSE(flushed.ok());
  EXPECT_EQ(flushed.error().code, Errc::kBusy);
  EXPECT_EQ(prefix_.Read("user.reg"), theirs);
}

TEST_F(WineRegistryTest, RefusesChangesWhileAWineServerHoldsThePrefix) {
  Result<Registry::Key> pending = registry_->CreateKey(RootKey::kCurrentUser, "Software\\Before");
  ASSERT_TRUE(pending.ok());
  ASSERT_TRUE(registry_->SetStringValue(*pending, "v", "1").ok());

  FakeWineServer server(prefix_.path());
  const Status refused =
      Write(RootKey::kCurrentUser, "Software\\VB and VBA Program Settings", "v", "1");
  ASSERT_FALSE(refused.ok());
  EXPECT_EQ(refused.error().code, Errc::kBusy);
  EXPECT_NE(refused.error().detail.find("wineserver"), std::string::npos);
  EXPECT_EQ(registry_->CreateKey(RootKey::kLocalMachine, "Software\\New").error().code,
            Errc::kBusy);
  EXPECT_EQ(Read(RootKey::kLocalMachine, "Software\\Classes\\.txt", ""), "txtfile");
  registry_->CloseKey(*pending);  // not saved while the server runs
  EXPECT_EQ(registry_->Flush().error().code, Errc::kBusy);
  EXPECT_EQ(prefix_.Read("user.reg"), kUserReg);
  EXPECT_EQ(prefix_.Read("system.reg"), kSystemReg);

  server.Stop();
  EXPECT_TRUE(registry_->Flush().ok());
  EXPECT_NE(prefix_.Read("user.reg").find("[Software\\\\Before] "), std::string::npos);
  EXPECT_TRUE(Write(RootKey::kLocalMachine, "Software\\New", "v", "1").ok());
}

TEST(WineRegistryEmptyTest, AnEmptyPrefixIsAnEmptyRegistryUntilTheFirstWrite) {
  TempPrefix prefix;
  auto registry = prefix.Open();
  ASSERT_NE(registry, nullptr);
  EXPECT_EQ(registry->OpenKey(RootKey::kCurrentUser, "Software", KeyAccess::kRead).error().code,
            Errc::kFileNotFound);
  Result<Registry::Key> key = registry->CreateKey(
      RootKey::kCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce");
  ASSERT_TRUE(key.ok());
  ASSERT_TRUE(registry->SetStringValue(*key, "DelRemedor", "x").ok());
  registry->CloseKey(*key);
  EXPECT_EQ(prefix.Files(), std::vector<std::string>{"user.reg"});
  const std::string text = prefix.Read("user.reg");
  const std::string head = std::string(kUserHeader) +
                           "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\RunOnce] ";
  EXPECT_EQ(text.substr(0, head.size()), head);
  EXPECT_TRUE(text.ends_with("\n\"DelRemedor\"=\"x\"\n")) << text;
}

TEST(WineRegistryMalformedTest, OpenNamesTheFileAndLine) {
  for (const char* file : {"system.reg", "user.reg", "userdef.reg"}) {
    TempPrefix prefix;
    const std::string bad = std::string(kMachineHeader) + "\n[Key] 1\n\"v\"=\"unterminated\n";
    prefix.Write(file, bad);
    auto registry = WineRegistry::Open(prefix.path());
    ASSERT_FALSE(registry.ok());
    EXPECT_EQ(registry.error().code, Errc::kInvalidData);
    EXPECT_EQ(registry.error().subject, (prefix.path() / file).string());
    EXPECT_EQ(registry.error().detail, std::string(file) + " line 7: missing closing \"");
    EXPECT_EQ(prefix.Read(file), bad);
  }
}

TEST(WineRegistryMalformedTest, ADeepKeyIsReadUpToWindowsDepthAndRefusedBeyond) {
  const auto nested = [](std::size_t depth) {
    std::string path = "k";
    for (std::size_t i = 1; i < depth; ++i) path += "\\\\k";
    return path;
  };
  TempPrefix prefix;
  prefix.Write("system.reg",
               std::string(kMachineHeader) + "\n[" + nested(512) + "] 1\n@=\"deep\"\n");
  {
    auto registry = WineRegistry::Open(prefix.path());
    ASSERT_TRUE(registry.ok()) << registry.error().Message();
    std::string path = "k";
    for (int i = 1; i < 512; ++i) path += "\\k";
    Result<Registry::Key> key =
        (*registry)->OpenKey(RootKey::kLocalMachine, path, KeyAccess::kRead);
    ASSERT_TRUE(key.ok());
    EXPECT_EQ((*registry)->QueryValue(*key, "")->Text(), "deep");
    (*registry)->CloseKey(*key);
  }  // and the tree is freed
  prefix.Write("system.reg",
               std::string(kMachineHeader) + "\n[" + nested(300'000) + "] 1\n@=\"deep\"\n");
  auto registry = WineRegistry::Open(prefix.path());
  ASSERT_FALSE(registry.ok());
  EXPECT_EQ(registry.error().subject, (prefix.path() / "system.reg").string());
  EXPECT_EQ(registry.error().detail, "system.reg line 6: key nested deeper than 512 levels");
}

}  // namespace
}  // namespace platform::posix
