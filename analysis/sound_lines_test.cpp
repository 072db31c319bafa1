#include "analysis/sound_lines.h"

#include <gtest/gtest.h>

namespace analysis {
namespace {

TEST(SoundLines, SplitsFieldsAtEquals) {
  struct Case {
    std::string_view line, field1, field2;
  };
  const Case cases[] = {
      {"key=path", "key", "path"},
      {"key=a=b", "key", "a"},
      {"key=", "key", ""},
      {"no separator", "no separator", ""},
      {"=only", "", "only"},
      {" k = v ", " k ", " v "},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(Field(c.line, 1), c.field1);
    EXPECT_EQ(Field(c.line, 2), c.field2);
  }
}

TEST(SoundLines, TrimsBlanksAndControlCharacters) {
  EXPECT_EQ(TrimBlanksAndControls(" \t\x01QUORVEL\\Sounds\\a b\x7f\r\x1f "),
            "QUORVEL\\Sounds\\a b");
  EXPECT_EQ(TrimBlanksAndControls(std::string_view("\0x\0", 3)), "x");
  EXPECT_EQ(TrimBlanksAndControls(" \t "), "");
  EXPECT_EQ(TrimBlanksAndControls("é "), "é");  // letters above 0x7F are kept
}

TEST(SoundLines, ControlCharactersAreShownAndNameNoFile) {
  const std::string_view raw(
      "a\0b\x01"
      "c\x7f\td",
      8);
  EXPECT_TRUE(HasControlCharacters(raw));
  EXPECT_EQ(Printable(raw), "a?b?c?\td");
  EXPECT_FALSE(HasControlCharacters("Sounds\\été horn"));
  EXPECT_EQ(Printable("Sounds\\été horn"), "Sounds\\été horn");
}

TEST(SoundLines, EffectLineRules) {
  struct Case {
    std::string_view line;
    std::optional<std::string> reference;
  };
  const Case cases[] = {
      {"horn=QUORVEL\\Sounds\\horn", "QUORVEL\\Sounds\\horn"},
      {"horn= QUORVEL\\Sounds\\horn \t", "QUORVEL\\Sounds\\horn"},
      {"horn=a=b", "a"},
      {"horn=", std::nullopt},
      {"horn= ", ""},  // tested: the reference is the game folder + ".wav"
      {"[Section]", std::nullopt},
      {"[x]=y", std::nullopt},
      {";horn=a", std::nullopt},
      {" ;horn=a", "a"},
      {"", std::nullopt},
      {"no separator", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(EffectReference(c.line), c.reference);
  }
}

TEST(SoundLines, EngineLineRules) {
  struct Case {
    std::string_view line;
    std::optional<std::string> reference;
  };
  const Case cases[] = {
      {"eng1=cars\\s1", "cars\\s1"},
      {"eng=cars\\s1", std::nullopt},    // 3 characters
      {"engin=cars\\s1", std::nullopt},  // 5 characters
      {"en1 =x", "x"},                   // the key is not trimmed
      {"éng1=x", "x"},                   // characters, not bytes
      {"[Engine]", std::nullopt},        // 8 characters
      {"[ab]", ""},                      // 4 characters, no value
      {";ng1=x", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(EngineReference(c.line), c.reference);
  }
}

}  // namespace
}  // namespace analysis
