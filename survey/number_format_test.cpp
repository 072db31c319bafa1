#include "survey/number_format.h"

#include <gtest/gtest.h>

namespace survey {
namespace {

TEST(MemoryFormat, PatternWithAtMostThreeDecimals) {
  struct Case {
    std::uint64_t bytes;
    const char* separator;
    const char* text;
  } cases[] = {
      {4'294'967'296, ".", "4.194"},
      {4'294'967'296, ",", "4,194"},
      {8'589'934'592, ".", "8.389"},
      {2'147'483'648, ".", "2.097"},
      {1'024'000'000, ".", "1"},      // no separator for a whole number
      {614'400'000, ",", "0,6"},      // trailing zeros dropped
      {0, ".", "0"},                  // at least one integer digit
      {512'000, ".", "0.001"},        // exactly half a thousandth rounds up
      {511'999, ".", "0"},            // just below half rounds down
      {1'024'000'000 - 1, ".", "1"},  // 0.999999... rounds to the next unit
      {UINT64_MAX, ".", "18014398509.482"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatMemory(c.bytes, c.separator), c.text) << c.bytes;
  }
}

TEST(MemoryFormat, EmptyLocaleSeparatorFallsBackToPoint) {
  EXPECT_EQ(FormatMemory(4'294'967'296, ""), "4.194");
}

TEST(DiskFormat, HundredthsRoundHalvesToEven) {
  // 2^27 bytes are 0.125 unit exactly: 12.5 hundredths, a half.
  constexpr std::uint64_t kEighth = kDiskUnit / 8;
  struct Case {
    std::uint64_t bytes;
    std::uint64_t hundredths;
  } cases[] = {
      {52'613'349'376, 4900},
      {1'610'612'736, 150},
      {0, 0},
      {kEighth, 12},          // 12.5: to the even 12
      {3 * kEighth, 38},      // 37.5: to the even 38
      {5 * kEighth, 62},      // 62.5: to the even 62
      {kEighth + 1, 13},      // just above a half
      {3 * kEighth - 1, 37},  // just below a half
      {UINT64_MAX, 1'717'986'918'400},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DiskHundredths(c.bytes), c.hundredths) << c.bytes;
  }
}

TEST(DiskFormat, ShortestDecimalForm) {
  EXPECT_EQ(FormatHundredths(4900, "."), "49");
  EXPECT_EQ(FormatHundredths(150, ","), "1,5");
  EXPECT_EQ(FormatHundredths(4937, "."), "49.37");
  EXPECT_EQ(FormatHundredths(5, "."), "0.05");
  EXPECT_EQ(FormatHundredths(0, "."), "0");
  EXPECT_EQ(FormatHundredths(1'717'986'918'400, "."), "17179869184");
}

}  // namespace
}  // namespace survey
