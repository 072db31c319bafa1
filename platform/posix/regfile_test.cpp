#include "platform/posix/regfile.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/registry.h"

namespace platform::posix {
namespace {

constexpr std::uint64_t kNow = 0x01dd000000000000;

// Text as wineserver writes it: the header, then blocks separated by blank lines.
constexpr std::string_view kWineFile =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to REGISTRY\\\\Machine\n"
    "\n"
    "#arch=win64\n"
    "\n"
    "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Time Zones] 1796867860\n"
    "#time=1dd8849d648aad0\n"
    "#link\n"
    "\"SymbolicLinkValue\"=hex(6):5c,00,52,00,65,00,67,00,69,00,73,00,74,00,72,00,79,\\\n"
    "  00,5c,00,4d,00,61,00,63,00,68,00,69,00,6e,00,65,00,5c,00,53,00,6f,00,66,00,\\\n"
    "  74,00,77,00,61,00,72,00,65,00,5c,00,4d,00,69,00,63,00,72,00,6f,00,73,00,6f,\\\n"
    "  00,66,00,74,00,5c,00,57,00,69,00,6e,00,64,00,6f,00,77,00,73,00,20,00,4e,00,\\\n"
    "  54,00,5c,00,43,00,75,00,72,00,72,00,65,00,6e,00,74,00,56,00,65,00,72,00,73,\\\n"
    "  00,69,00,6f,00,6e,00,5c,00,54,00,69,00,6d,00,65,00,20,00,5a,00,6f,00,6e,00,\\\n"
    "  65,00,73,00\n"
    "\n"
    "[Software\\\\Test] 1796867861\n"
    "#time=1dd8849d70988ea\n"
    "#class=\"My \\\"class\\\"\"\n"
    "@=\"default\"\n"
    "\"Sz\"=\"a\\\\b \\\"q\\\"\"\n"
    "\"Expand\"=str(2):\"%SystemRoot%\\\\x\"\n"
    "\"Multi\"=str(7):\"a\\0b\\0\"\n"
    "\"Dword\"=dword:0000002a\n"
    "\"Binary\"=hex:00,01,ff\n"
    "\"Qword\"=hex(b):01,00,00,00,00,00,00,00\n"
    "\"Empty\"=hex(1):\n"
    "\"Escapes\"=\"\\a\\b\\t\\n\\v\\f\\r\\e\\1\\0001\\x263a\\xe9g\\x00e9F\"\n"
    "\"\\x263a name\"=\"\"\n"
    "\n"
    "[System\\\\Empty leaf] 1796867861\n"
    "#time=1dd8849d70988ea\n";

std::vector<std::uint8_t> Utf16(std::u16string_view text, bool nul = true) {
  std::vector<std::uint8_t> data;
  for (char16_t c : text) {
    data.push_back(static_cast<std::uint8_t>(c & 0xFF));
    data.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  if (nul) data.insert(data.end(), {0, 0});
  return data;
}

RegFile Parse(std::string_view text) {
  Result<RegFile> file = ParseRegFile(text, "system.reg", kNow);
  EXPECT_TRUE(file.ok()) << (file.ok() ? "" : file.error().Message());
  return file.ok() ? std::move(*file) : RegFile{};
}

const RegFileKey* FindKey(const RegFile& file, std::u16string_view path) {
  for (const RegFileKey& key : file.keys) {
    if (key.path == path) return &key;
  }
  return nullptr;
}

TEST(RegFileTest, ReadsEveryValueType) {
  const RegFile file = Parse(kWineFile);
  EXPECT_EQ(file.arch, "win64");
  EXPECT_EQ(file.relative_to, u"REGISTRY\\Machine");
  const RegFileKey* key = FindKey(file, u"Software\\Test");
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->modified, 0x1dd8849d70988eaull);
  EXPECT_EQ(key->key_class, u"My \"class\"");
  EXPECT_FALSE(key->is_link);

  struct Case {
    std::u16string name;
    std::uint32_t type;
    std::vector<std::uint8_t> data;
  };
  const Case cases[] = {
      {u"", reg_type::kSz, Utf16(u"default")},
      {u"Sz", reg_type::kSz, Utf16(u"a\\b \"q\"")},
      {u"Expand", reg_type::kExpandSz, Utf16(u"%SystemRoot%\\x")},
      {u"Multi", reg_type::kMultiSz, Utf16(std::u16string(u"a\0b\0", 4))},
      {u"Dword", reg_type::kDword, {0x2a, 0, 0, 0}},
      {u"Binary", reg_type::kBinary, {0x00, 0x01, 0xff}},
      {u"Qword", reg_type::kQword, {1, 0, 0, 0, 0, 0, 0, 0}},
      {u"Empty", reg_type::kSz, {}},
      {u"Escapes", reg_type::kSz,
       Utf16(std::u16string(u"\a\b\t\n\v\f\r\x1b\x01\0"
                            u"1\u263a\u00e9g\u00e9F",
                            16))},
      {u"\u263a name", reg_type::kSz, Utf16(u"")},
  };
  ASSERT_EQ(key->values.size(), std::size(cases));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(key->values[i].name, cases[i].name);
    EXPECT_EQ(key->values[i].type, cases[i].type);
    EXPECT_EQ(key->values[i].data, cases[i].data);
  }

  const RegFileKey* link =
      FindKey(file, u"Software\\Microsoft\\Windows\\CurrentVersion\\Time Zones");
  ASSERT_NE(link, nullptr);
  EXPECT_TRUE(link->is_link);
  ASSERT_EQ(link->values.size(), 1u);
  EXPECT_EQ(link->values[0].type, reg_type::kLink);
  EXPECT_EQ(link->values[0].data,
            Utf16(u"\\Registry\\Machine\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Time "
                  u"Zones",
                  false));
  EXPECT_NE(FindKey(file, u"System\\Empty leaf"), nullptr);
}

TEST(RegFileTest, WritesWhatItReadByteForByte) {
  RegFile file = Parse(kWineFile);
  EXPECT_EQ(FormatRegFile(file), kWineFile);
  // Written anew in Wine's format, every block comes out as Wine wrote it.
  for (RegFileKey& key : file.keys) key.text.clear();
  EXPECT_EQ(FormatRegFile(file), kWineFile);
}

TEST(RegFileTest, KeepsHandWrittenTextOfUntouchedBlocks) {
  const std::string text =
      "WINE REGISTRY Version 2\r\n"
      ";; hand-written\r\n"
      "[B]\r\n"
      "\"v\" = \"caf\xc3\xa9\"   \r\n"
      "  ; a comment\r\n"
      "#unknown option\r\n"
      "[A\\\\\\\\C]\r\n"
      "@=dword:1";
  RegFile file = Parse(text);
  EXPECT_EQ(FormatRegFile(file), text);
  ASSERT_EQ(file.keys.size(), 2u);
  EXPECT_EQ(file.keys.front().values[0].data, Utf16(u"caf\u00e9"));
  EXPECT_EQ(file.keys.back().path, u"A\\C");  // repeated separators are skipped
  EXPECT_EQ(file.keys.back().modified, kNow);

  // Changing the last block rewrites it alone, in Wine's format.
  file.keys.back().text.clear();
  file.keys.back().modified = 0x1dd8849d70988ea;
  EXPECT_EQ(FormatRegFile(file),
            "WINE REGISTRY Version 2\r\n"
            ";; hand-written\r\n"
            "[B]\r\n"
            "\"v\" = \"caf\xc3\xa9\"   \r\n"
            "  ; a comment\r\n"
            "#unknown option\r\n"
            "\n"
            "[A\\\\C] 1796867861\n"
            "#time=1dd8849d70988ea\n"
            "@=dword:00000001\n");
}

TEST(RegFileTest, EscapesAsWineDoes) {
  struct Case {
    std::u16string text;
    std::string written;
  };
  const Case cases[] = {
      {u"\u00e9g", "\\xe9g"},    // no hex digit follows: shortest form
      {u"\u00e9F", "\\x00e9F"},  // a hex digit follows: padded to four
      {u"\u00e9\u00e9", "\\xe9\\xe9"},
      {std::u16string(u"\0"
                      u"1",
                      2),
       "\\0001"},  // an octal digit follows
      {std::u16string(u"\0"
                      u"9",
                      2),
       "\\09"},
      {u"\x01\x1b\x7f", "\\1\\e\x7f"},
      {u"[]\"\\", "[]\\\"\\\\"},
      {u"\U0001F600", "\\xd83d\\xde00"},
  };
  for (const Case& c : cases) {
    RegFileKey key;
    key.path = u"K";
    key.modified = 0x1dd8849d70988ea;
    key.values.push_back({u"v", reg_type::kSz, Utf16(c.text)});
    const std::string text = FormatRegKey(key);
    EXPECT_EQ(text.substr(text.find("\"v\"=")), "\"v\"=\"" + c.written + "\"\n");
    // And reads back to the same characters.
    const RegFile file = Parse("WINE REGISTRY Version 2\n\n" + text);
    ASSERT_EQ(file.keys.size(), 1u);
    EXPECT_TRUE(file.keys.front().SameContent(key)) << c.written;
  }
  RegFileKey key;
  key.path = u"A[1]\\B";
  key.modified = 0x1dd8849d70988ea;
  EXPECT_EQ(FormatRegKey(key), "[A\\[1\\]\\\\B] 1796867861\n#time=1dd8849d70988ea\n");

  // Only string data has an implied final NUL: one ending a name is written.
  RegFileKey nul;
  nul.path = std::u16string(u"A\\\0", 3);
  nul.modified = 0x1dd8849d70988ea;
  nul.values.push_back({std::u16string(u"v\0", 2), reg_type::kDword, {1, 0, 0, 0}});
  const std::string text = FormatRegKey(nul);
  EXPECT_EQ(text, "[A\\\\\\0] 1796867861\n#time=1dd8849d70988ea\n\"v\\0\"=dword:00000001\n");
  const RegFile file = Parse("WINE REGISTRY Version 2\n\n" + text);
  ASSERT_EQ(file.keys.size(), 1u);
  EXPECT_TRUE(file.keys.front().SameContent(nul));
}

TEST(RegFileTest, WritesUnterminatedStringsAndOddDwordsAsHex) {
  RegFileKey key;
  key.path = u"K";
  key.modified = 0x1dd8849d70988ea;
  key.values = {{u"", reg_type::kSz, Utf16(u"ab", false)},
                {u"d", reg_type::kDword, {1, 2}},
                {u"n", 0x20, {0xab}}};
  EXPECT_EQ(FormatRegKey(key),
            "[K] 1796867861\n#time=1dd8849d70988ea\n"
            "@=hex(1):61,00,62,00\n\"d\"=hex(4):01,02\n\"n\"=hex(20):ab\n");
}

TEST(RegFileTest, MergesRepeatedKeysAndValuesAsWineDoes) {
  const RegFile file = Parse(
      "WINE REGISTRY Version 2\n\n"
      "[Soft\\\\A] 1\n\"x\"=\"1\"\n\n"
      "[SOFT\\\\a] 2\n\"y\"=\"2\"\n\"X\"=\"3\"\n");
  ASSERT_EQ(file.keys.size(), 1u);
  const RegFileKey& key = file.keys.front();
  EXPECT_EQ(key.path, u"Soft\\A");
  ASSERT_EQ(key.values.size(), 2u);
  EXPECT_EQ(key.values[0].name, u"x");  // the first spelling stays
  EXPECT_EQ(key.values[0].data, Utf16(u"3"));
  EXPECT_EQ(key.values[1].data, Utf16(u"2"));
  EXPECT_TRUE(key.text.empty());  // written anew as one block
}

TEST(RegFileTest, ReadsBothRootComments) {
  EXPECT_EQ(Parse("WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n").relative_to,
            u"\\Machine");
  EXPECT_EQ(Parse("WINE REGISTRY Version 2\n"
                  ";; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n")
                .relative_to,
            u"REGISTRY\\User\\S-1-5-21-0-0-0-1000");
  EXPECT_EQ(NewRegFileHeader(u"REGISTRY\\Machine", "win32"),
            "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n"
            "#arch=win32\n");
}

// A key path `depth` names deep, as a file writes it.
std::string NestedPath(std::size_t depth) {
  std::string path = "k";
  for (std::size_t i = 1; i < depth; ++i) path += "\\\\k";
  return path;
}

TEST(RegFileTest, ReadsKeysAsDeepAsWindowsKeepsThem) {
  const RegFile file =
      Parse("WINE REGISTRY Version 2\n\n[" + NestedPath(512) + "] 1\n@=\"deep\"\n");
  ASSERT_EQ(file.keys.size(), 1u);
  EXPECT_EQ(std::count(file.keys.front().path.begin(), file.keys.front().path.end(), u'\\'), 511);
}

TEST(RegFileTest, RefusesMalformedFilesNamingTheLine) {
  const std::string head = "WINE REGISTRY Version 2\n\n[K] 1\n";
  struct Case {
    std::string text;
    std::string detail;
  };
  const Case cases[] = {
      {"", "system.reg line 1: not a Wine registry file"},
      {"WINE REGISTRY Version 1\n", "system.reg line 1: not a Wine registry file"},
      {"REGEDIT4\n[K]\n", "system.reg line 1: not a Wine registry file"},
      {"WINE REGISTRY Version 2\n\"v\"=\"x\"\n", "line 2: value before the first key"},
      {head + "\"v\"=\"abc", "line 4: missing closing \""},
      {head + "\"v\"=\"a\\qb\"\n", "line 4: bad escape \\q"},
      {head + "\"v\"=\"a\\x\"\n", "line 4: bad escape: \\x without hex digits"},
      {head + "\"v\"=\"a\\", "line 4: bad escape: backslash at the end of the line"},
      {head + "\"v\"=\"\xff\"\n", "line 4: invalid UTF-8"},
      {head + "\"v\"=\"\xc3\"\n", "line 4: invalid UTF-8"},
      {head + "\"v\"=\"\xed\xa0\x80\"\n", "line 4: invalid UTF-8"},  // an encoded surrogate
      {head + "\"v\"=\"a\"b\n", "line 4: unexpected text after the string"},
      {head + "\"v\"=hex:01,02,\\\n", "line 4: file ends inside hex data"},
      {head + "\"v\"=hex:01,\\\n  02,0g\n", "line 5: bad hex data"},
      {head + "\"v\"=hex:1\n", "line 4: bad hex data"},
      {head + "\"v\"=hex(zz):01\n", "line 4: bad value type"},
      {head + "\"v\"=dword:123456789\n", "line 4: too many digits in dword"},
      {head + "\"v\"=dword:\n", "line 4: bad dword"},
      {head + "\"v\"=number:1\n", "line 4: unknown value type"},
      {head + "\"v\"\"x\"\n", "line 4: missing '=' after the name"},
      {head + "garbage\n", "line 4: unrecognised line"},
      {head + "[Software\\\\Truncat", "line 4: missing closing ]"},
      {head + "[K] 12x\n", "line 4: unexpected text after the key name"},
      {head + "#time=xyz\n", "line 4: bad key time"},
      {head + "#class=abc\n", "line 4: bad key class"},
      {head + std::string("\"v\"=\"a\0b\"\n", 10), "line 4: NUL byte"},
      {head + "\"v\"=\"" + std::string((16 << 20) + 1, 'a') + "\"\n",
       "line 4: line longer than 16 MiB"},
      {head + "[" + NestedPath(513) + "] 1\n", "line 4: key nested deeper than 512 levels"},
      {head + "[" + NestedPath(300'000) + "] 1\n", "line 4: key nested deeper than 512 levels"},
  };
  for (const Case& c : cases) {
    const Result<RegFile> file = ParseRegFile(c.text, "system.reg", kNow);
    ASSERT_FALSE(file.ok()) << c.detail;
    EXPECT_EQ(file.error().code, Errc::kInvalidData);
    EXPECT_NE(file.error().detail.find(c.detail), std::string::npos)
        << "got: " << file.error().detail;
  }
}

}  // namespace
}  // namespace platform::posix
