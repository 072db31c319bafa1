#include "platform/posix/prefix_profile.h"

#include <gtest/gtest.h>

#include "platform/posix/faults.h"
#include "platform/posix/prefix_files.h"
#include "platform/posix/prefix_files_test_fixture.h"

namespace platform::posix {
namespace {

using PrefixProfileTest = TempPrefix;

TEST_F(PrefixProfileTest, ReadsThroughTheFileSystem) {
  MakeFile("windows/win.ini", "[Desktop]\r\nWallpaper=none\r\n");
  MakeFile("Games/RBR/RichardBurnsRally.ini", "[Settings]\r\nResolutionX=1024\r\n");
  PrefixFileSystem files(root_);
  PrefixProfileStrings profile(files);
  EXPECT_EQ(profile.GetString("settings", "resolutionx", "0", 256,
                              "c:\\games\\rbr\\RICHARDBURNSRALLY.INI"),
            "1024");
  EXPECT_EQ(profile.GetString("Desktop", "Wallpaper", "x", 256, "WIN.INI"), "none");
  EXPECT_EQ(profile.GetString("Settings", "ResolutionX", "0", 256, "RichardBurnsRally.ini"), "0");
  EXPECT_EQ(profile.GetString("Settings", "ResolutionX", "0", 256, "C:\\none\\x.ini"), "0");
  EXPECT_EQ(profile.GetString("Settings", "ResolutionX", "dflt ", 256, ""), "dflt");
  const ScopedFault fault(files.faults(), FaultOperation::kReadFile, 1);
  EXPECT_EQ(profile.GetString("Desktop", "Wallpaper", "x", 256, "win.ini"), "x");
}

TEST_F(PrefixProfileTest, WritesAsWindowsAndNeverClobbers) {
  MakeFile("cfg/a.ini", "; keep\r\n[App]\r\nold=1\r\n");
  PrefixFileSystem files(root_);
  PrefixProfileStrings profile(files);
  ASSERT_TRUE(profile.WriteString("App", "new", "2", "C:\\cfg\\A.INI"));
  EXPECT_EQ(Read(C("cfg/a.ini")), "; keep\r\n[App]\r\nold=1\r\nnew=2\r\n");
  ASSERT_TRUE(profile.WriteString("App", "key", "string", "C:\\cfg\\fresh.ini"));
  EXPECT_EQ(Read(C("cfg/fresh.ini")), "[App]\r\nkey=string\r\n");

  // A failure says why: the platform's error, or the request that cannot be stored.
  EXPECT_EQ(profile.WriteString("App", "k", "v", "C:\\nofolder\\x.ini").error().code,
            Errc::kPathNotFound);
  EXPECT_EQ(profile.WriteString("App", "k", "a\r\n[Other]", "C:\\cfg\\a.ini").error().code,
            Errc::kInvalidData);
  const ScopedFault fault(files.faults(), FaultOperation::kReadFile, 1);
  EXPECT_EQ(profile.WriteString("App", "k", "v", "C:\\cfg\\a.ini").error().operation, "ReadFile");
  EXPECT_EQ(Read(C("cfg/a.ini")), "; keep\r\n[App]\r\nold=1\r\nnew=2\r\n");
}

}  // namespace
}  // namespace platform::posix
