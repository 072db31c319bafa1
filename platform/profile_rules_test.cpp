#include "platform/profile_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace platform {
namespace {

using namespace std::string_literals;

const std::string kTricky =
    "[Settings]\r\n"
    "Key=Value\r\n"
    "  Spaced  =   some value here   \r\n"
    "\tTabbed\t=\tv\t\r\n"
    "quoted=\"val2\"\r\n"
    "sq='x'\r\n"
    "mixed=\"y'\r\n"
    "lone=\"\r\n"
    "empty=\r\n"
    "noeq\r\n"
    "noeq=hidden\r\n"
    "dup=first\r\n"
    "dup=second\r\n"
    "  [ Other ]  \r\n"
    "k=o\r\n"
    "[settings]\r\n"
    "later=1\r\n"
    "[A]b]\r\n"
    "z=1\r\n"
    "[sec] trailing\r\n"
    "t=2\r\n"
    "[nobracket\r\n"
    "nb=3\r\n"
    "nbsp=\xA0v\xA0\r\n"
    " =blank\r\n"
    "fe=\xE9t\xE9\r\n"
    "K\xC9Y=up\r\n"
    "ctl=\x0Bv\x1A\r\n"
    "nul=a\0b\r\n"
    "[]\r\n"
    "e=in the nameless section\r\n"s;

struct ReadCase {
  std::string file;
  const char* section;
  const char* key;
  const char* fallback;
  std::size_t size;
  const char* expected;
};

TEST(LookupProfileStringTest, ReadsAsWindows) {
  const std::string x300(300, 'x');
  const ReadCase cases[] = {
      {kTricky, "Settings", "Key", "def", 256, "Value"},
      {kTricky, "SETTINGS", "kEY", "def", 256, "Value"},
      {kTricky, "Settings", "Spaced", "def", 256, "some value here"},
      {kTricky, "Settings", "Tabbed", "def", 256, "v"},
      {kTricky, "Settings", "quoted", "def", 256, "val2"},
      {kTricky, "Settings", "sq", "def", 256, "x"},
      {kTricky, "Settings", "mixed", "def", 256, "\"y'"},
      {kTricky, "Settings", "lone", "def", 256, "\""},
      {kTricky, "Settings", "empty", "def", 256, ""},
      {kTricky, "Settings", "noeq", "def", 256, "def"},  // hides the later line
      {kTricky, "Settings", "dup", "def", 256, "first"},
      {kTricky, "Settings", "later", "def", 256, "def"},  // second [settings] unseen
      {kTricky, "Settings", "k", "def", 256, "def"},
      {kTricky, "Other", "k", "def", 256, "o"},
      {kTricky, "A]b", "z", "def", 256, "1"},
      {kTricky, "A", "z", "def", 256, "def"},
      {kTricky, "sec", "t", "def", 256, "2"},
      {kTricky, "sec", "nb", "def", 256, "3"},  // "[nobracket" is no section
      {kTricky, "nobracket", "nb", "def", 256, "def"},
      {kTricky, "sec", "nbsp", "def", 256, "\u00A0v\u00A0"},  // not a blank
      {kTricky, "sec", "", "def", 256, "blank"},
      {kTricky, "sec", "fe", "def", 256, "été"},
      {kTricky, "sec", "kéy", "def", 256, "up"},
      {kTricky, "sec", "ctl", "def", 256, "v"},
      {kTricky, "sec", "nul", "def", 256, "a"},
      {kTricky, "", "e", "def", 256, "def"},
      // The default.
      {kTricky, "Settings", "missing", "default  ", 256, "default"},
      {kTricky, "Settings", "missing", " ", 256, ""},
      {kTricky, "Settings", "missing", "a b", 256, "a b"},
      {kTricky, "Settings", "missing", "\tdef\t", 256, "\tdef\t"},
      {kTricky, "Settings", "missing", "\"q\"", 256, "q"},
      {kTricky, "Settings", "missing", "\"q", 256, "\"q"},
      {kTricky, "Settings", "empty", " ", 256, ""},
      // The buffer.
      {kTricky, "Settings", "missing", "abcdef", 4, "abc"},
      {kTricky, "Settings", "Key", "def", 1, ""},
      {kTricky, "Settings", "Key", "def", 0, ""},
      {kTricky, "Settings", "quoted", "def", 5, "val2"},
      {kTricky, "Settings", "quoted", "def", 4, "val"},
      {"[S]\r\nlong=" + x300 + "\r\n", "S", "long", "def", 256, nullptr},
      {"[S]\r\nfe=\xE9t\xE9\xE9\r\n", "S", "fe", "def", 4, "été"},
      // Line ends, byte-order marks, missing files.
      {"[S]\rk=v\rk2=v2", "S", "k2", "def", 256, "v2"},
      {"[S]\nk=v\nk2=v2\n", "S", "k2", "def", 256, "v2"},
      {"[S]\rk=v\r\nother=1\n", "S", "other", "def", 256, "1"},
      {"\xEF\xBB\xBF[S]\r\nk=\xC3\xA9t\xC3\xA9\r\n", "S", "k", "def", 256, "été"},
      {"\xEF\xBB\xBF[S]\r\nk=\xE2\x82\xAC \xCE\xA9\r\n", "S", "k", "def", 256, "€ ?"},
      {"\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0\xE9\0"s, "S", "k", "def", 256, "é"},
      {"top=1\r\n[S]\r\nk=v\r\n", "S", "top", "def", 256, "def"},
      {"", "S", "k", "def", 256, "def"},
  };
  for (const ReadCase& c : cases) {
    const std::string expected = c.expected ? c.expected : std::string(255, 'x');
    EXPECT_EQ(LookupProfileString(c.file, c.section, c.key, c.fallback, c.size), expected)
        << "[" << c.section << "] " << c.key << " (buffer " << c.size << ")";
  }
  // The W function keeps what Windows-1252 cannot hold.
  EXPECT_EQ(LookupProfileString("\xEF\xBB\xBF[S]\r\nk=\xE2\x82\xAC \xCE\xA9\r\n", "S", "k", "def",
                                256, ProfileApi::kWide),
            "€ Ω");
}

struct WriteCase {
  std::string before;
  const char* section;
  const char* key;
  const char* value;
  std::string after;
};

TEST(WriteProfileStringTest, WritesAsWindows) {
  const WriteCase cases[] = {
      {"", "App", "key", "string", "[App]\r\nkey=string\r\n"},
      {"[App]\r\nkey1=string1\r\n", "App", "key2", "string2",
       "[App]\r\nkey1=string1\r\nkey2=string2\r\n"},
      {"[App1]\r\nkey1=string1\r\n", "App2", "key2", "string2",
       "[App1]\r\nkey1=string1\r\n[App2]\r\nkey2=string2\r\n"},
      {"[App]\r\nx=1", "App", "y", "2", "[App]\r\nx=1\r\ny=2\r\n"},
      {"[App]\r\nx=1", "B", "y", "2", "[App]\r\nx=1\r\n[B]\r\ny=2\r\n"},
      // The stored key keeps its name; everything else stays as it was.
      {"; c\r\n[App]\r\n  key = old  \r\nother=1\r\n\r\n[Next]\r\nn=1\r\n", "app", "KEY", "new",
       "; c\r\n[App]\r\nkey=new\r\nother=1\r\n\r\n[Next]\r\nn=1\r\n"},
      {"[App]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n", "App", "z", "3",
       "[App]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2\r\n"},
      {"[App]\nnoeq\nx=1\n", "App", "noeq", "v", "[App]\nnoeq=v\nx=1\n"},
      {"[App]\r\nk=1\r\n[App]\r\nk=2\r\n", "APP", "k", "3", "[App]\r\nk=3\r\n[App]\r\nk=2\r\n"},
      {"[App]\r\nfe=\xE9\r\n", "App", "fe", "ü", "[App]\r\nfe=\xFC\r\n"},
      {"\xEF\xBB\xBF[App]\r\n", "App", "fe", "ü", "\xEF\xBB\xBF[App]\r\nfe=\xC3\xBC\r\n"},
  };
  for (const WriteCase& c : cases) {
    const auto after = WriteProfileString(c.before, c.section, c.key, c.value);
    ASSERT_TRUE(after.has_value()) << c.before;
    EXPECT_EQ(*after, c.after) << c.before;
    EXPECT_EQ(LookupProfileString(*after, c.section, c.key, "def", 256), c.value) << c.before;
  }
}

TEST(WriteProfileStringTest, RoundTripsUtf16) {
  const std::string before = "\xFF\xFE[\0A\0]\0\r\0\n\0"s;
  const auto after = WriteProfileString(before, "A", "k", "é");
  ASSERT_TRUE(after);
  EXPECT_EQ(*after, "\xFF\xFE[\0A\0]\0\r\0\n\0k\0=\0\xE9\0\r\0\n\0"s);
}

TEST(WriteProfileStringTest, RefusesWhatWouldNotReadBack) {
  const char* const requests[][3] = {
      {"", "k", "v"},    {"S", "", "v"},   {"S", "k", "a\r\n[X]"}, {"S]", "k", "v"},
      {"S", "k=1", "v"}, {"S", "[k", "v"}, {"S\n", "k", "v"},
  };
  for (const auto& request : requests) {
    EXPECT_FALSE(WriteProfileString("[S]\r\n", request[0], request[1], request[2]))
        << request[0] << " / " << request[1];
  }
}

TEST(ProfileKeyNamesTest, TheKeysOfTheFirstSectionOfTheName) {
  const std::string file =
      "top=0\r\n[ Packs ]\r\n  pack1 = A\r\n\r\nPACK2\r\npack1=B\r\n[Other]\r\nx=1\r\n"
      "[packs]\r\npack3=C\r\n";
  EXPECT_EQ(ProfileKeyNames(file, "PACKS"), (std::vector<std::string>{"pack1", "PACK2", "pack1"}));
  EXPECT_EQ(ProfileKeyNames(file, "Other"), std::vector<std::string>{"x"});
  EXPECT_TRUE(ProfileKeyNames(file, "Absent").empty());
  EXPECT_TRUE(ProfileKeyNames(file, "").empty());  // keys before the first section are never found
  EXPECT_TRUE(ProfileKeyNames("", "Packs").empty());
}

}  // namespace
}  // namespace platform
