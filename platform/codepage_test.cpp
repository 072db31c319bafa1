#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

namespace platform {
namespace {

TEST(Cp1252, EveryByteSurvivesARoundTrip) {
  for (int b = 0; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(byte)), byte) << "byte " << b;
  }
}

TEST(Cp1252, DecodesAsWindowsDoes) {
  struct Case {
    std::string bytes;
    std::string utf8;
  } cases[] = {
      {"\xB5\xA3\xA7", "µ£§"},  // the list markers
      {"\x80", "€"},            // 0x80..0x9F are not Latin-1
      {"\x9C\x8C", "œŒ"},
      {"\x81\x8D\x8F\x90\x9D", "\u0081\u008D\u008F\u0090\u009D"},  // undefined bytes
      {"Pr\xE9sence", "Présence"},
  };
  for (const auto& c : cases) EXPECT_EQ(Cp1252ToUtf8(c.bytes), c.utf8);
}

TEST(Cp1252, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1252("Ж€"), "?\x80");
  EXPECT_EQ(Utf8ToCp1252("a\xFF"
                         "b"),
            "a?b");                                // malformed UTF-8
  EXPECT_EQ(Utf8ToCp1252("\xC3"), "?");            // truncated sequence
  EXPECT_EQ(Utf8ToCp1252("\xED\xA0\x80"), "???");  // encoded surrogate
}

TEST(Utf16, RoundTripsAstralCharacters) {
  const std::string text = "é😀Ж";
  EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(text)), text);
  EXPECT_EQ(Utf8ToUtf16(text).size(), 4u);
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\uFFFD");
}

// The one decoder takes a well-formed character whole and refuses every
// malformed one without moving.
TEST(Utf8, DecodesOneCharacterOrNone) {
  const std::pair<std::string, std::optional<char32_t>> cases[] = {
      {"A", U'A'},
      {"\xC3\xA9", U'\u00E9'},
      {"\xF0\x9F\x98\x80", U'\U0001F600'},
      {"\xC0\x80", std::nullopt},          // overlong
      {"\xED\xA0\x80", std::nullopt},      // a surrogate
      {"\xF4\x90\x80\x80", std::nullopt},  // beyond U+10FFFF
      {"\xE2\x82", std::nullopt},          // cut short
      {"\x80", std::nullopt},              // a continuation byte first
  };
  for (const auto& [text, expected] : cases) {
    std::size_t pos = 0;
    EXPECT_EQ(DecodeUtf8(text, pos), expected) << text;
    EXPECT_EQ(pos, expected ? text.size() : 0u) << text;
  }
}

TEST(Wide, RoundTripsAndReplacesWhatIsNoCharacter) {
  const std::string text = "Kq7é\U0001F600";
  EXPECT_EQ(WideToUtf8(Utf8ToWide(text)), text);
  EXPECT_EQ(Utf8ToWide("a\xFF"
                       "b"),
            L"a\uFFFDb");
  if constexpr (sizeof(wchar_t) == 4) {
    EXPECT_EQ(Utf8ToWide("\U0001F600").size(), 1u);
    EXPECT_EQ(WideToUtf8(std::wstring(1, static_cast<wchar_t>(0x110000))), "\uFFFD");
  }
}

}  // namespace
}  // namespace platform
