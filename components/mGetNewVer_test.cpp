#include "components/mGetNewVer.h"

#include <gtest/gtest.h>

namespace new_version {
namespace {

TEST(NewVersionWeighing, ComparesPublishedWithOwn) {
  struct Case {
    const char* published;
    const char* own;
    Comparison expected;
  } cases[] = {
      {"8.37.0.0", "8.36.0.0", Comparison::kNewer},
      {"8.36.0.0", "8.36.0.0", Comparison::kNotNewer},
      {"8.35.9.9", "8.36.0.0", Comparison::kNotNewer},
      {"9.0.0.0", "8.99.99.99", Comparison::kNewer},
      {"8.1.0.0", "8.0.100.0", Comparison::kNotNewer},  // 100 × 100 = 1 × 10,000
      {"8.36.0.100", "8.36.0.99", Comparison::kNewer},  // no carrying
      {"8.36.0.0.1", "8.36.0.0", Comparison::kNotNewer},  // only four parts weigh
      {"8.37.0.0.x", "8.36.0.0", Comparison::kMalformed},
      {"", "8.36.0.0", Comparison::kNotNewer},  // no dot
      {"837", "8.36.0.0", Comparison::kNotNewer},
      {"8.37.0.0", "", Comparison::kNotNewer},
      {"8.37", "8.36.0.0", Comparison::kMalformed},  // two parts
      {"8.37.0.0", "8.36", Comparison::kMalformed},
      {"8.37..0", "8.36.0.0", Comparison::kMalformed},
      {"8.37.0.0 ", "8.36.0.0", Comparison::kMalformed},  // blanks are not digits
      {"8. 37.0.0", "8.36.0.0", Comparison::kMalformed},
      {"8.37.0.a", "8.36.0.0", Comparison::kMalformed},
      {"8.37.0.$A", "8.36.0.0", Comparison::kMalformed},  // hexadecimal is not decimal
      {"+8.37.0.0", "8.36.0.0", Comparison::kNewer},     // a sign, as StrToInt takes it
      {"-9.0.0.0", "8.36.0.0", Comparison::kNotNewer},
      {"+-9.0.0.0", "8.36.0.0", Comparison::kMalformed},
      {"8.37.0.99999999999", "8.36.0.0", Comparison::kMalformed},  // beyond 32 bits
      // 2148 × 1,000,000 wraps past 2^31 to a negative weight.
      {"2148.0.0.0", "8.36.0.0", Comparison::kNotNewer},
      {"2147.0.0.0", "8.36.0.0", Comparison::kNewer},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ComparePublished(c.published, c.own), c.expected)
        << c.published << " against " << c.own;
  }
}

TEST(NewVersionWeighing, WrapsAsThirtyTwoBitArithmetic) {
  EXPECT_EQ(VersionWeight("8.36.0.0"), 8'360'000);
  EXPECT_EQ(VersionWeight("2147.48.36.47"), 2'147'483'647);
  EXPECT_EQ(VersionWeight("2147.48.36.48"), -2'147'483'647 - 1);
  EXPECT_EQ(VersionWeight("2147483647.2147483647.2147483647.2147483647"),
            static_cast<std::int32_t>(0x7FFFFFFFu * 1'010'101u));
  EXPECT_EQ(VersionWeight("-2147483648.0.0.0"), 0);
}

TEST(NewVersionWeighing, OnlyWebAddressesGoToTheBrowser) {
  for (const char* address :
       {"https://remedor.example.org/Remedor.zip", "http://example.org/x", "HTTPS://EXAMPLE.ORG"}) {
    EXPECT_TRUE(IsWebAddress(address)) << address;
  }
  for (const char* address :
       {"", "https://", "file:///C:/windows/system32/cmd.exe", "C:\\windows\\system32\\cmd.exe",
        "cmd.exe /c del C:\\", "javascript:alert(1)", " https://example.org",
        "https://example.org/a b", "https://example.org/\r\nx", "ftp://example.org/x"}) {
    EXPECT_FALSE(IsWebAddress(address)) << address;
  }
}

}  // namespace
}  // namespace new_version
