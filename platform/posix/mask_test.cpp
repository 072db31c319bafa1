#include "platform/posix/mask.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace platform::posix {
namespace {

struct Case {
  const char* mask;
  const char* name;
  bool matches;
};

// Windows' answers for long names (a volume without 8.3 names).
const Case kCases[] = {
    // Every name.
    {"*", "aa", true},
    {"*.*", "aa", true},
    {"*.*", "a.b.c", true},
    {"*.*", ".hidden", true},
    {"*.*.*", "aa", true},
    {"*.*.*", "a.b", true},
    {"**", "a.a", true},
    {"*.*.", "a.a", true},
    // "*." : names without a dot.
    {"*.", "aa", true},
    {"*.", "aa.txt", false},
    {"*.", "a.b.c", false},
    {"* .", "aa", true},
    {"*. ", "aa.txt", true},  // a blank, not a dot, ends it
    {"a*.", "abc", true},
    {"a*.", "a.b", false},
    // Dots before "*" and "?" also match the end of the name.
    {"aa.*", "aa", true},
    {"aa.*", "aa.txt", true},
    {"aa.*", "aab", false},
    {"aa.?", "aa", true},
    {"*.?", "aa", true},
    {"*.?", "a.bc", false},
    // "?" matches one character, nothing at a dot or at the end.
    {"ab?", "ab", true},
    {"ab?", "abc", true},
    {"ab?", "abcd", false},
    {"ab??", "abc", true},
    {"a?", "a", true},
    {"a?.txt", "a.txt", true},
    {"?.dll", "c.dll", true},
    {"?.dll", ".dll", true},  // nothing before a leading dot
    {"??.", "a", true},
    {"???.", "b.x", false},
    // The star before a dot stops before the final dot.
    {"*.dll", "c.dll", true},
    {"*.dll", "c.dll.bak", false},
    {"*.a", "..a", true},
    {"*.a", "a.aa", false},
    {"*.b.c", "a.b.c", true},
    // Letters without regard to case, the whole name covered.
    {"*.7z", "old.7z", true},
    {"*.7z", "OLD.7Z", true},
    {"*.7z", "old.7z.part", false},
    {"*.ini", "été.INI", true},
    {"ÉTÉ.txt", "été.TXT", true},
    {"track-??_?_textures", "track-10_M_textures", true},
    {"track-??_?_textures", "TRACK-10_m_TEXTURES", true},
    {"track-??_?_textures", "1_track-10_M_textures", false},
    {"track-??_?_textures", "track-1_M_textures", false},
    {"track-??_?_textures", "track-10_M_textures_old", false},
    {"?_track-??_?_textures.rep", "2_track-10_M_textures.rep", true},
    {"?_track-??_?_textures.rep", "12_track-10_M_textures.rep", false},
    // Trailing blanks are ignored, leading ones are not.
    {"*.txt  ", "a.txt", true},
    {" *.txt", "a.txt", false},
    {" *.txt", " a.txt", true},
    {"*a ", "a.a", true},
    // A mask without wildcards names one entry.
    {"Config_P.ini", "CONFIG_P.INI", true},
    {"Config_P.ini", "Config_P.ini.bak", false},
    {"aa.", "aa", true},
};

TEST(FindMaskTest, MatchesAsWindowsDoes) {
  for (const Case& c : kCases) {
    EXPECT_EQ(FindMask(c.mask).Matches(c.name), c.matches)
        << "mask \"" << c.mask << "\", name \"" << c.name << "\"";
  }
}

TEST(FindMaskTest, DotEntries) {
  const std::vector<std::pair<const char*, bool>> masks = {
      {"*", true},
      {"*.*", true},
      {"*.", true},
      {"?", true},
      {".*", true},
      {"*.ini", false},
      {"track-??_?_textures", false},
      {"a*", false},
  };
  for (const auto& [mask, listed] : masks) {
    EXPECT_EQ(FindMask(mask).MatchesDotEntry("."), listed) << mask;
    EXPECT_EQ(FindMask(mask).MatchesDotEntry(".."), listed) << mask;
  }
}

TEST(FindMaskTest, EmptyAfterTrailingBlanksAndDots) {
  EXPECT_TRUE(FindMask("").Empty());
  EXPECT_TRUE(FindMask(" . ").Empty());
  EXPECT_FALSE(FindMask("*").Empty());
  EXPECT_FALSE(FindMask("").Matches("a"));
}

}  // namespace
}  // namespace platform::posix
