#include "platform/text.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(Text, CountsAndCutsCharactersNotBytes) {
  EXPECT_EQ(Utf8Length("µ2014-03x"), 9u);
  EXPECT_EQ(Utf8Substr("µ2014-03x", 1, 6), "2014-0");
  EXPECT_EQ(Utf8Substr("/DIR:C:\\Jeux", 0, 4), "/DIR");
  EXPECT_EQ(Utf8Substr("é", 3), "");
}

TEST(Text, FoldsCaseOfWindows1252Letters) {
  EXPECT_EQ(UpperCase("avgcc.exe"), "AVGCC.EXE");
  EXPECT_EQ(UpperCase("c:\\utilisateurs\\élodie"), "C:\\UTILISATEURS\\ÉLODIE");
  EXPECT_EQ(LowerCase("TRUE"), "true");
  EXPECT_TRUE(EqualsIgnoreCase("CorvanePublic.exe", "corvanepublic.EXE"));
  EXPECT_FALSE(EqualsIgnoreCase("CorvanePublic.exe", "CorvanePublic.exe.bak"));
  EXPECT_LT(CompareIgnoreCase("Alpha.dll", "beta.dll"), 0);  // case-blind order
}

TEST(Text, SplitsAtEveryKindOfLineEnd) {
  using V = std::vector<std::string>;
  EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (V{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\r\n\r\n"), (V{"a", ""}));
  EXPECT_EQ(SplitLines(""), V{});
  EXPECT_EQ(SplitLines("\n"), V{""});
}

}  // namespace
}  // namespace platform
