// The simulated machine's registry against Wine's own: values written by
// Wine's reg.exe (reg add, reg import) are read back by WineRegistry with
// their types and bytes, and what WineRegistry writes is read back by reg.exe
// (reg query, reg export), with every value Wine wrote kept. Runs in the run's
// prefix ($REMEDOR_WINEPREFIX) below keys of its own, which it removes again;
// the registry files are read only after wineserver -w, once Wine has written
// them.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/posix/regfile.h"
#include "platform/posix/wine_registry.h"
#include "platform/text.h"
#include "tests/wine/wine_shell.h"

namespace {

using namespace wine_test;

namespace fs = std::filesystem;
using platform::Errc;
using platform::KeyAccess;
using platform::Registry;
using platform::RootKey;
using platform::posix::WineRegistry;
namespace reg_type = platform::reg_type;

constexpr char kMachineKey[] = "HKLM\\Software\\RemedorRegistryInterop";
constexpr char kUserKey[] = "HKCU\\Software\\RemedorRegistryInterop";

std::vector<std::uint8_t> Utf16(std::u16string_view text, bool nul = true) {
  std::vector<std::uint8_t> data;
  for (char16_t c : text)
    data.insert(data.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8)});
  if (nul) data.insert(data.end(), {0, 0});
  return data;
}

std::vector<std::uint8_t> Counting(int count) {
  std::vector<std::uint8_t> data;
  for (int i = 0; i < count; ++i) data.push_back(static_cast<std::uint8_t>(i));
  return data;
}

// A .reg file as Windows' regedit writes it: UTF-16LE with a byte-order mark.
std::string Utf16File(std::string_view text) {
  std::string bytes = "\xff\xfe";
  for (std::uint8_t b : Utf16(platform::Utf8ToUtf16(text), false)) bytes += static_cast<char>(b);
  return bytes;
}

// The lines of a file reg.exe exported (UTF-16LE with a byte-order mark).
std::vector<std::string> ExportedLines(const fs::path& path) {
  const std::string bytes = ReadFile(path);
  std::u16string text;
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                  static_cast<unsigned char>(bytes[i + 1]) << 8);
  }
  return platform::SplitLines(platform::Utf16ToUtf8(text));
}

class WineRegistryInteropTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const char* prefix = std::getenv("REMEDOR_WINEPREFIX");
    if (prefix == nullptr || *prefix == '\0') return;
    prefix_ = new fs::path(prefix);
    std::string pattern = (fs::temp_directory_path() / "remedor-wine-reg-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return;
    work_ = new fs::path(pattern);

    WriteFile(*work_ / "import.reg",
              Utf16File("Windows Registry Editor Version 5.00\r\n\r\n"
                        "[HKEY_CURRENT_USER\\Software\\RemedorRegistryInterop\\Imported]\r\n"
                        "@=\"d\xc3\xa9"
                        "faut\"\r\n"
                        "\"Caf\xc3\xa9 \xe2\x98\xba\"=\"Gr\xc3\xbc\xc3\x9f"
                        "e \\\"quoted\\\" \\\\ back\"\r\n"
                        "\"Smile\"=\"\xf0\x9f\x98\x80 emoji\"\r\n"
                        "\"Tab\"=\"a\tb\"\r\n"
                        "\"Empty\"=\"\"\r\n"
                        "\"NoData\"=hex(0):\r\n"
                        "\"Expand\"=hex(2):25,00,41,00,25,00,00,00\r\n\r\n"));
    std::string binary;
    for (std::uint8_t b : Counting(100)) {
      char hex[3];
      std::snprintf(hex, sizeof hex, "%02x", b);
      binary += hex;
    }
    const std::string wine = std::string(kMachineKey) + "\\Wine";
    RunBatch(
        {"reg delete \"" + std::string(kMachineKey) + "\" /f /reg:32",
         "reg delete \"" + std::string(kUserKey) + "\" /f",
         "reg add \"" + wine + "\" /ve /t REG_SZ /d \"default text\" /f /reg:32",
         "reg add \"" + wine + "\" /v Sz /t REG_SZ /d \"C:\\Program Files\\x\" /f /reg:32",
         "reg add \"" + wine +
             "\" /v Expand /t REG_EXPAND_SZ /d \"%%SystemRoot%%\\system32\" /f /reg:32",
         "reg add \"" + wine + "\" /v Multi /t REG_MULTI_SZ /d \"one\\0two\" /f /reg:32",
         "reg add \"" + wine + "\" /v Dword /t REG_DWORD /d 305419896 /f /reg:32",
         "reg add \"" + wine + "\" /v Binary /t REG_BINARY /d " + binary + " /f /reg:32",
         "reg add \"" + wine + "\" /v Qword /t REG_QWORD /d 0x1122334455667788 /f /reg:32",
         "reg import " + HostPathForWine(*work_ / "import.reg"),
         "reg export \"" + wine + "\" " + HostPathForWine(*work_ / "before.reg") + " /reg:32 /y"});
  }

  static void TearDownTestSuite() {
    if (prefix_ == nullptr || work_ == nullptr) return;
    RunBatch({"reg delete \"" + std::string(kMachineKey) + "\" /f /reg:32",
              "reg delete \"" + std::string(kUserKey) + "\" /f"});
    std::error_code ignored;
    fs::remove_all(*work_, ignored);
    delete work_;
    delete prefix_;
    work_ = prefix_ = nullptr;
  }

  void SetUp() override {
    if (prefix_ == nullptr) GTEST_SKIP() << "REMEDOR_WINEPREFIX is not set";
    ASSERT_NE(work_, nullptr);
  }

  static std::string Env() {
    return "env WINEPREFIX=" + ShellQuote(prefix_->string()) + " WINEDEBUG=-all ";
  }

  // Runs the lines as one batch file in one Wine session, then waits until
  // wineserver has exited and written the registry files.
  static void RunBatch(const std::vector<std::string>& lines) {
    std::string batch;
    for (const std::string& line : lines) batch += line + "\r\n";
    WriteFile(*work_ / "run.bat", batch);
    const std::string command = "cd " + ShellQuote(work_->string()) + " && " + Env() + kWine +
                                " cmd /c " + ShellQuote(HostPathForWine(*work_ / "run.bat")) +
                                " >>" + ShellQuote((*work_ / "wine.log").string()) + " 2>&1; " +
                                Env() + kWineServer + " -w";
    static_cast<void>(std::system(command.c_str()));
  }

  static void WineServer(const std::string& arguments) {
    ASSERT_EQ(std::system((Env() + kWineServer + " " + arguments).c_str()), 0) << arguments;
  }

  static std::unique_ptr<WineRegistry> OpenRegistry() {
    auto registry = WineRegistry::Open(*prefix_);
    EXPECT_TRUE(registry.ok()) << (registry.ok() ? "" : registry.error().Message());
    return registry.ok() ? std::move(*registry) : nullptr;
  }

  static void Write(Registry& registry, RootKey root, const std::string& path,
                    const std::vector<std::pair<std::string, std::string>>& values) {
    auto key = registry.CreateKey(root, path);
    ASSERT_TRUE(key.ok()) << key.error().Message();
    for (const auto& [name, text] : values) {
      EXPECT_TRUE(registry.SetStringValue(*key, name, text).ok()) << name;
    }
    registry.CloseKey(*key);
  }

  static fs::path* prefix_;
  static fs::path* work_;
};

fs::path* WineRegistryInteropTest::prefix_ = nullptr;
fs::path* WineRegistryInteropTest::work_ = nullptr;

TEST_F(WineRegistryInteropTest, ReadsEveryValueWineWrote) {
  auto registry = OpenRegistry();
  ASSERT_NE(registry, nullptr);
  struct Case {
    RootKey root;
    std::string path, name;
    std::uint32_t type;
    std::vector<std::uint8_t> data;
  };
  const std::string wine = "Software\\RemedorRegistryInterop\\Wine";
  const std::string imported = "Software\\RemedorRegistryInterop\\Imported";
  const Case cases[] = {
      {RootKey::kLocalMachine, wine, "", reg_type::kSz, Utf16(u"default text")},
      {RootKey::kLocalMachine, wine, "Sz", reg_type::kSz, Utf16(u"C:\\Program Files\\x")},
      {RootKey::kLocalMachine, wine, "Expand", reg_type::kExpandSz,
       Utf16(u"%SystemRoot%\\system32")},
      {RootKey::kLocalMachine, wine, "Multi", reg_type::kMultiSz,
       Utf16(std::u16string(u"one\0two\0", 8))},
      {RootKey::kLocalMachine, wine, "Dword", reg_type::kDword, {0x78, 0x56, 0x34, 0x12}},
      {RootKey::kLocalMachine, wine, "Binary", reg_type::kBinary, Counting(100)},
      {RootKey::kLocalMachine,
       wine,
       "Qword",
       reg_type::kQword,
       {0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11}},
      {RootKey::kCurrentUser, imported, "", reg_type::kSz, Utf16(u"d\u00e9faut")},
      {RootKey::kCurrentUser, imported, "caf\xc3\xa9 \xe2\x98\xba", reg_type::kSz,
       Utf16(u"Gr\u00fc\u00dfe \"quoted\" \\ back")},
      {RootKey::kCurrentUser, imported, "Smile", reg_type::kSz, Utf16(u"\U0001F600 emoji")},
      {RootKey::kCurrentUser, imported, "Tab", reg_type::kSz, Utf16(u"a\tb")},
      {RootKey::kCurrentUser, imported, "Empty", reg_type::kSz, Utf16(u"")},
      {RootKey::kCurrentUser, imported, "NoData", reg_type::kNone, {}},
      {RootKey::kCurrentUser, imported, "Expand", reg_type::kExpandSz, Utf16(u"%A%")},
  };
  for (const Case& c : cases) {
    auto key = registry->OpenKey(c.root, c.path, KeyAccess::kRead);
    ASSERT_TRUE(key.ok()) << c.path << ": " << key.error().Message();
    auto value = registry->QueryValue(*key, c.name);
    registry->CloseKey(*key);
    ASSERT_TRUE(value.ok()) << c.name << ": " << value.error().Message();
    EXPECT_EQ(value->type, c.type) << c.name;
    EXPECT_EQ(value->data, c.data) << c.name;
  }
  // The 32-bit view is where Wine's reg /reg:32 put the values.
  EXPECT_EQ(registry
                ->OpenKey(RootKey::kLocalMachine,
                          "Software\\Wow6432Node\\RemedorRegistryInterop\\Wine", KeyAccess::kRead)
                .ok(),
            true);
}

TEST_F(WineRegistryInteropTest, WritesWinesFilesBackByteForByte) {
  for (const char* name : {"system.reg", "user.reg", "userdef.reg"}) {
    const std::string bytes = ReadFile(*prefix_ / name);
    ASSERT_FALSE(bytes.empty()) << name;
    auto file = platform::posix::ParseRegFile(bytes, name, 0);
    ASSERT_TRUE(file.ok()) << file.error().Message();
    EXPECT_EQ(platform::posix::FormatRegFile(*file), bytes) << name;
    for (auto& key : file->keys) key.text.clear();  // every block in our own writing
    EXPECT_EQ(platform::posix::FormatRegFile(*file), bytes) << name;
  }
}

TEST_F(WineRegistryInteropTest, WineReadsWhatWeWroteAndKeepsWhatItWrote) {
  {
    auto registry = OpenRegistry();
    ASSERT_NE(registry, nullptr);
    // Into Wine's own key, whose other values must survive the rewrite.
    Write(*registry, RootKey::kLocalMachine, "Software\\RemedorRegistryInterop\\Wine",
          {{"Ours", "written by us"}});
    Write(*registry, RootKey::kLocalMachine, "Software\\RemedorRegistryInterop\\Ours\\Deep\\",
          {{"", "default ours"},
           {"Plain", "plain text"},
           {"Unicode",
            "Gr\xc3\xbc\xc3\x9f"
            "e \xe2\x98\xba \xf0\x9f\x98\x80"},
           {"Quotes", "say \"hi\" \\ back"},
           {"Tab", "a\tb"},
           {"Empty", ""}});
    Write(*registry, RootKey::kCurrentUser, "Software\\RemedorRegistryInterop\\Ours",
          {{"Profile", "guest"}});
  }
  const std::string wine = std::string(kMachineKey) + "\\Wine";
  RunBatch({"reg query \"" + std::string(kMachineKey) + "\\Ours\\Deep\" /v Plain /reg:32 > " +
                HostPathForWine(*work_ / "query.txt"),
            "reg export \"" + wine + "\" " + HostPathForWine(*work_ / "after.reg") + " /reg:32 /y",
            "reg export \"" + std::string(kMachineKey) + "\\Ours\" " +
                HostPathForWine(*work_ / "ours.reg") + " /reg:32 /y",
            "reg export \"" + std::string(kUserKey) + "\\Ours\" " +
                HostPathForWine(*work_ / "ours_user.reg") + " /y"});

  const std::vector<std::string> query = platform::SplitLines(ReadFile(*work_ / "query.txt"));
  EXPECT_NE(std::find(query.begin(), query.end(), "    Plain    REG_SZ    plain text"), query.end())
      << ReadFile(*work_ / "query.txt") << ReadFile(*work_ / "wine.log");

  EXPECT_EQ(ExportedLines(*work_ / "ours.reg"),
            (std::vector<std::string>{
                "Windows Registry Editor Version 5.00", "",
                "[HKEY_LOCAL_MACHINE\\Software\\RemedorRegistryInterop\\Ours]", "",
                "[HKEY_LOCAL_MACHINE\\Software\\RemedorRegistryInterop\\Ours\\Deep]",
                "@=\"default ours\"", "\"Empty\"=\"\"", "\"Plain\"=\"plain text\"",
                "\"Quotes\"=\"say \\\"hi\\\" \\\\ back\"", "\"Tab\"=\"a\tb\"",
                "\"Unicode\"=\"Gr\xc3\xbc\xc3\x9f"
                "e \xe2\x98\xba \xf0\x9f\x98\x80\"",
                ""}));
  const std::vector<std::string> user = ExportedLines(*work_ / "ours_user.reg");
  EXPECT_NE(std::find(user.begin(), user.end(), "\"Profile\"=\"guest\""), user.end());

  // Wine's values of the key we wrote into are exactly as Wine exported them
  // before, our one value aside.
  std::vector<std::string> after = ExportedLines(*work_ / "after.reg");
  const auto ours = std::find(after.begin(), after.end(), "\"Ours\"=\"written by us\"");
  ASSERT_NE(ours, after.end());
  after.erase(ours);
  EXPECT_EQ(after, ExportedLines(*work_ / "before.reg"));
}

TEST_F(WineRegistryInteropTest, RefusesChangesWhileWineserverRuns) {
  WineServer("-p");  // stays until killed, holding the prefix
  {
    auto registry = OpenRegistry();
    ASSERT_NE(registry, nullptr);
    auto created =
        registry->CreateKey(RootKey::kCurrentUser, "Software\\RemedorRegistryInterop\\Busy");
    ASSERT_FALSE(created.ok());
    EXPECT_EQ(created.error().code, Errc::kBusy);
    auto key = registry->CreateKey(RootKey::kCurrentUser, "Software\\RemedorRegistryInterop");
    ASSERT_TRUE(key.ok());
    const auto set = registry->SetStringValue(*key, "Busy", "lost?");
    ASSERT_FALSE(set.ok());
    EXPECT_EQ(set.error().code, Errc::kBusy);
    EXPECT_NE(set.error().Message().find("wineserver"), std::string::npos);
    registry->CloseKey(*key);
  }
  WineServer("-k");
  WineServer("-w");
  auto registry = OpenRegistry();
  ASSERT_NE(registry, nullptr);
  Write(*registry, RootKey::kCurrentUser, "Software\\RemedorRegistryInterop\\Busy", {{"v", "1"}});
}

}  // namespace
