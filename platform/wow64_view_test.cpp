#include "platform/wow64_view.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(Wow64ViewTest, SystemFoldersAsA32BitProgramSeesThem) {
  struct Case {
    const char* path;
    std::optional<std::string> seen;
  };
  const Case cases[] = {
      {"C:\\Windows\\System32\\msvbvm60.dll", "C:\\Windows\\SysWOW64\\msvbvm60.dll"},
      {"c:\\windows\\SYSTEM32", "C:\\Windows\\SysWOW64"},
      {"C:\\Windows/system32/sub/x.dll", "C:\\Windows\\SysWOW64/sub/x.dll"},
      {"C:\\Windows\\Sysnative\\native.dll", "C:\\Windows\\System32\\native.dll"},
      // The folders Windows exempts, and names that only look alike.
      {"C:\\Windows\\System32\\drivers\\etc\\hosts", std::nullopt},
      {"C:\\Windows\\System32\\spool\\x", std::nullopt},
      {"C:\\Windows\\System32\\drivers\\x.sys", "C:\\Windows\\SysWOW64\\drivers\\x.sys"},
      {"C:\\Windows\\System32x\\a.dll", std::nullopt},
      {"C:\\WindowsOld\\System32\\a.dll", std::nullopt},
      {"D:\\Windows\\System32\\a.dll", std::nullopt},
      {"C:\\Windows", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Wow64ViewPath(c.path, "C:\\Windows", "C:\\Windows\\SysWOW64"), c.seen) << c.path;
  }
  // A 32-bit Windows has no second system folder.
  EXPECT_EQ(Wow64ViewPath("C:\\Windows\\System32\\a.dll", "C:\\Windows", ""), std::nullopt);
}

}  // namespace
}  // namespace platform
