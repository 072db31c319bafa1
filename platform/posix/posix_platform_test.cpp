#include "platform/posix/posix_platform.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <fstream>

#include "platform/posix/faults.h"

namespace platform::posix {
namespace {

namespace fs = std::filesystem;

fs::path MakeFolder(const char* name) {
  std::string pattern = (fs::temp_directory_path() / (std::string(name) + "-XXXXXX")).string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp");
  return pattern;
}

// Sets an environment variable for the test's duration.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

class PosixPlatformTest : public ::testing::Test {
 protected:
  PosixPlatformTest() : root_(MakeFolder("remedor-platform")) {
    fs::create_directories(root_ / "drive_c" / "windows");
  }
  ~PosixPlatformTest() override { fs::remove_all(root_); }
  void Write(const fs::path& path, std::string_view bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
  }

  fs::path root_;
};

TEST_F(PosixPlatformTest, RefusesWhatIsNotAPrefix) {
  const auto missing = OpenPlatform({(root_ / "absent").string()});
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error().code, Errc::kPathNotFound);
  EXPECT_NE(missing.error().Message().find((root_ / "absent").string()), std::string::npos);

  fs::create_directories(root_ / "plain");
  const auto plain = OpenPlatform({(root_ / "plain").string()});
  ASSERT_FALSE(plain);
  EXPECT_NE(plain.error().Message().find("drive_c"), std::string::npos);

  Write(root_ / "system.reg", "not a registry file\n");
  const auto malformed = OpenPlatform({root_.string()});
  ASSERT_FALSE(malformed);
  EXPECT_EQ(malformed.error().code, Errc::kInvalidData);
}

TEST_F(PosixPlatformTest, MachineFolderFromOptionsThenWineprefixThenHome) {
  const fs::path home = MakeFolder("remedor-home");
  ScopedEnv home_env("HOME", home.string());
  {
    ScopedEnv prefix_env("WINEPREFIX", root_.string());
    EXPECT_EQ(MachineFolder({"/elsewhere"}), fs::path("/elsewhere"));
    EXPECT_EQ(MachineFolder({}), root_);
    EXPECT_TRUE(OpenPlatform({}));
  }
  ::unsetenv("WINEPREFIX");
  EXPECT_EQ(MachineFolder({}), home / ".wine");
  EXPECT_FALSE(OpenPlatform({}));  // no ~/.wine there
  fs::remove_all(home);
}

TEST_F(PosixPlatformTest, FactsReachEveryService) {
  Write(root_ / kMachineFactsFile,
        "[Disks]\r\nC=1073741824 2147483648\r\nD=fail\r\n"
        "[Windows]\r\nFolder=C:\\WINNT\r\n"
        "[Faults]\r\nMoveFile=1\r\n");
  Write(root_ / "drive_c" / "WINNT" / "win.ini", "[Desktop]\r\nWallpaper=forest.bmp\r\n");
  Write(root_ / "drive_c" / "a.txt", "a");
  auto opened = PosixPlatform::Open(root_);
  ASSERT_TRUE(opened) << opened.error().Message();
  PosixPlatform& platform = **opened;

  const auto c = platform.files().GetDiskFreeSpace("C:\\");
  ASSERT_TRUE(c);
  EXPECT_EQ(c->free_bytes, 1073741824u);
  EXPECT_EQ(c->total_bytes, 2147483648u);
  EXPECT_FALSE(platform.files().GetDiskFreeSpace("D:\\"));

  EXPECT_EQ(platform.machine().WindowsFolder(), "C:\\WINNT");
  EXPECT_EQ(platform.profile().GetString("Desktop", "Wallpaper", "", 256, "win.ini"), "forest.bmp");

  EXPECT_FALSE(platform.files().MoveFile("C:\\a.txt", "C:\\b.txt").ok());  // the first fails
  EXPECT_TRUE(platform.files().MoveFile("C:\\a.txt", "C:\\b.txt").ok());
  EXPECT_EQ(platform.prefix_files().HostPath("C:\\B.TXT"), root_ / "drive_c" / "b.txt");
}

// The facts' [Faults] name platform calls; any other name is refused, naming
// the file and the key, rather than silently arming nothing.
TEST_F(PosixPlatformTest, AFaultOfNoKnownOperationIsRefused) {
  Write(root_ / kMachineFactsFile, "[Faults]\r\nMoveFile=1\r\nDeleteSilently=1\r\n");
  const auto opened = PosixPlatform::Open(root_);
  ASSERT_FALSE(opened);
  EXPECT_EQ(opened.error().code, Errc::kInvalidData);
  EXPECT_EQ(opened.error().subject, (root_ / kMachineFactsFile).string());
  EXPECT_NE(opened.error().Message().find("[Faults] DeleteSilently"), std::string::npos)
      << opened.error().Message();
}

// Each platform has faults of its own: what one machine's facts arm never
// reaches another platform, nor outlives its own.
TEST_F(PosixPlatformTest, FaultsBelongToTheirPlatform) {
  Write(root_ / "drive_c" / "a.txt", "a");
  const fs::path other = MakeFolder("remedor-platform-other");
  fs::create_directories(other / "drive_c");
  Write(other / "drive_c" / "a.txt", "a");
  Write(other / kMachineFactsFile, "[Faults]\r\nMoveFile=1\r\n");
  {
    auto faulty = PosixPlatform::Open(other);
    ASSERT_TRUE(faulty) << faulty.error().Message();
    auto plain = PosixPlatform::Open(root_);
    ASSERT_TRUE(plain) << plain.error().Message();
    EXPECT_TRUE((*plain)->files().MoveFile("C:\\a.txt", "C:\\b.txt").ok());
    EXPECT_FALSE((*faulty)->files().MoveFile("C:\\a.txt", "C:\\b.txt").ok());
  }
  fs::remove(other / kMachineFactsFile);
  auto again = PosixPlatform::Open(other);
  ASSERT_TRUE(again) << again.error().Message();
  EXPECT_TRUE((*again)->files().MoveFile("C:\\a.txt", "C:\\b.txt").ok());
  fs::remove_all(other);
}

// The machine's own files are input anyone may have written: whatever stands
// in a file's place, opening the machine fails with a message naming the file,
// at once and without the standard library's text.
TEST_F(PosixPlatformTest, RefusesAMachineFileThatIsNotAFile) {
  struct Case {
    const char* file;
    bool pipe;  // a named pipe: opening it for reading would wait for a writer
    const char* operation;
    const char* detail;
  };
  const Case cases[] = {
      {"system.reg", false, "LoadRegistryFile", "a folder stands where this file should be"},
      {"user.reg", false, "LoadRegistryFile", "a folder stands where this file should be"},
      {"userdef.reg", false, "LoadRegistryFile", "a folder stands where this file should be"},
      {"remedor-machine.ini", false, "ReadMachineFacts",
       "a folder stands where this file should be"},
      {"remedor-processes.txt", false, "CreateToolhelp32Snapshot",
       "a folder stands where this file should be"},
      {"system.reg", true, "LoadRegistryFile", "not a regular file"},
      {"remedor-machine.ini", true, "ReadMachineFacts", "not a regular file"},
      {"remedor-processes.txt", true, "CreateToolhelp32Snapshot", "not a regular file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.file) + (c.pipe ? " (pipe)" : " (folder)"));
    const fs::path path = root_ / c.file;
    if (c.pipe) {
      ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    } else {
      fs::create_directories(path / "inside");
    }
    const auto opened = PosixPlatform::Open(root_);
    fs::remove_all(path);
    ASSERT_FALSE(opened);
    EXPECT_EQ(opened.error().operation, c.operation);
    EXPECT_EQ(opened.error().subject, path.string());
    EXPECT_EQ(opened.error().detail, c.detail);
  }
  EXPECT_TRUE(PosixPlatform::Open(root_));  // the same machine without them opens
}

}  // namespace
}  // namespace platform::posix
