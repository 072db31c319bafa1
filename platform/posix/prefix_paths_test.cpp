#include "platform/posix/prefix_paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "platform/posix/prefix_files_test_fixture.h"

namespace platform::posix {
namespace {

namespace fs = std::filesystem;

using PrefixPathsTest = TempPrefix;

TEST_F(PrefixPathsTest, ResolvesEveryComponentWithoutRegardToCase) {
  MakeFile("Games/RBR/Plugins/FixUp.dll");
  MakeFile("Games/RBR/été.ini");
  MakeFolder("Games/RBR/MAPS");
  PrefixPaths paths(root_);
  paths.SetCurrentDirectory("C:\\Games\\RBR\\MAPS");

  const struct {
    const char* windows;
    std::optional<std::string> host;  // below drive_c
  } cases[] = {
      {"C:\\Games\\RBR\\Plugins\\FixUp.dll", "Games/RBR/Plugins/FixUp.dll"},
      {"c:\\GAMES\\rbr\\plugins\\FIXUP.DLL", "Games/RBR/Plugins/FixUp.dll"},
      {"C:/games/rbr/Plugins/fixup.dll", "Games/RBR/Plugins/FixUp.dll"},
      {"C:\\games\\.\\rbr\\MAPS\\..\\plugins\\fixup.dll", "Games/RBR/Plugins/FixUp.dll"},
      {"C:\\games\\rbr\\plugins\\fixup.dll. .", "Games/RBR/Plugins/FixUp.dll"},
      {"C:\\Games\\RBR\\ÉTÉ.INI", "Games/RBR/été.ini"},
      {"..\\Plugins\\FixUp.dll", "Games/RBR/Plugins/FixUp.dll"},  // from the current folder
      {"C:..\\été.ini", "Games/RBR/été.ini"},                     // drive C's current folder
      {"\\games\\RBR", "Games/RBR"},                              // the current drive's root
      {"C:\\..\\..\\Games", "Games"},                             // no higher than the root
      {"\\\\?\\C:\\Games\\RBR", "Games/RBR"},
      {"C:\\Games\\RBR\\", "Games/RBR"},
      {"C:\\Games\\RBR\\Plugins\\Missing.dll", std::nullopt},
      {"C:\\Games\\RBR\\Plugins\\FixUp.dl", std::nullopt},
  };
  for (const auto& c : cases) {
    const auto host = paths.HostPath(c.windows);
    if (c.host) {
      EXPECT_EQ(host, C(*c.host)) << c.windows;
    } else {
      EXPECT_EQ(host, std::nullopt) << c.windows;
    }
  }
  EXPECT_EQ(paths.HostPath("C:\\"), root_ / "drive_c");
  EXPECT_EQ(*paths.FullPath("..\\x\\y."), "C:\\Games\\RBR\\x\\y");
  EXPECT_EQ(*paths.FullPath("C:"), "C:\\Games\\RBR\\MAPS");
  EXPECT_EQ(*paths.FullPath("D:name"), "D:\\name");  // drive D has no current folder yet
}

TEST_F(PrefixPathsTest, AnExactMatchComesFirst) {
  MakeFile("Dup");
  MakeFile("DUP");
  MakeFile("dup2/x");
  PrefixPaths paths(root_);
  EXPECT_EQ(paths.HostPath("C:\\Dup"), C("Dup"));
  EXPECT_EQ(paths.HostPath("C:\\DUP"), C("DUP"));
  EXPECT_EQ(paths.HostPath("C:\\dUp"), C("DUP"));  // the first by byte order
}

TEST_F(PrefixPathsTest, FindsEveryNameOfALargeFolderInAnyCase) {
  constexpr int kFiles = 300;
  for (int i = 0; i < kFiles; ++i) MakeFile("Big/File" + std::to_string(i) + ".dat");
  MakeFile("Big/Twin.txt");
  MakeFile("Big/TWIN.txt");
  PrefixPaths paths(root_);
  const auto check = [&](const std::string& windows, const std::optional<std::string>& host) {
    if (host) {
      EXPECT_EQ(paths.HostPath(windows), C(*host)) << windows;
    } else {
      EXPECT_EQ(paths.HostPath(windows), std::nullopt) << windows;
    }
  };
  for (int round = 0; round < 2; ++round) {  // the second from the cached listing
    for (int i = 0; i < kFiles; ++i) {
      const std::string n = std::to_string(i);
      check("C:\\BIG\\FILE" + n + ".DAT", "Big/File" + n + ".dat");
      check("C:\\big\\file" + n + ".dat.", "Big/File" + n + ".dat");
      check("C:\\Big\\File" + n + ".da", std::nullopt);
    }
    check("C:\\Big\\twin.TXT", "Big/TWIN.txt");
    check("C:\\Big\\Twin.txt", "Big/Twin.txt");
  }

  MakeFile("Big/Sub/Late.txt");  // the folder changed within the same second
  check("C:\\big\\sub\\late.txt", "Big/Sub/Late.txt");
  check("C:\\big\\file7.dat", "Big/File7.dat");
  EXPECT_EQ(paths.ListFolder(*paths.Locate("C:\\Big"))->size(), kFiles + 3u);
}

TEST_F(PrefixPathsTest, DrivesFollowTheDosdevicesLinks) {
  fs::create_directories(root_ / "elsewhere" / "Data");
  const fs::path outside = root_ / "outside";
  fs::create_directories(outside / "Share");
  fs::create_directory_symlink(outside, root_ / "dosdevices" / "e:");
  PrefixPaths paths(root_);
  EXPECT_EQ(paths.HostPath("d:\\data"), root_ / "elsewhere" / "Data");
  EXPECT_EQ(paths.HostPath("E:\\share"), outside / "Share");
  EXPECT_EQ(paths.DriveRoot('e'), outside);
  EXPECT_EQ(paths.DriveRoot('Q'), std::nullopt);
  const auto missing = paths.Locate("Q:\\anything");
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error().code, Errc::kPathNotFound);
}

TEST_F(PrefixPathsTest, WithoutDosdevicesOnlyDriveCExists) {
  fs::remove_all(root_ / "dosdevices");
  MakeFile("x.txt");
  PrefixPaths paths(root_);
  EXPECT_EQ(paths.HostPath("C:\\X.TXT"), C("x.txt"));
  EXPECT_EQ(paths.DriveRoot('D'), std::nullopt);
}

TEST_F(PrefixPathsTest, ThirtyTwoBitViewOfSystem32) {
  MakeFile("windows/system32/native.dll");
  MakeFile("windows/system32/drivers/etc/hosts");
  MakeFile("windows/syswow64/msvbvm60.dll");
  MakeFile("windows/syswow64/drivers/etc/hosts32");
  PrefixPaths paths(root_);
  EXPECT_EQ(paths.HostPath("C:\\Windows\\System32\\MSVBVM60.DLL"),
            C("windows/syswow64/msvbvm60.dll"));
  EXPECT_EQ(paths.HostPath("C:\\Windows\\System32\\native.dll"), std::nullopt);
  EXPECT_EQ(paths.HostPath("C:\\Windows\\Sysnative\\native.dll"), C("windows/system32/native.dll"));
  EXPECT_EQ(paths.HostPath("C:\\windows\\system32\\drivers\\etc\\hosts"),
            C("windows/system32/drivers/etc/hosts"));  // exempt from redirection
  EXPECT_EQ(paths.HostPath("C:\\windows\\syswow64\\msvbvm60.dll"),
            C("windows/syswow64/msvbvm60.dll"));

  paths.SetWow64View(false);
  EXPECT_EQ(paths.HostPath("C:\\Windows\\System32\\native.dll"), C("windows/system32/native.dll"));
  EXPECT_EQ(paths.HostPath("C:\\Windows\\Sysnative\\native.dll"), std::nullopt);
}

TEST_F(PrefixPathsTest, WithoutSyswow64System32IsItself) {
  MakeFile("windows/system32/native.dll");
  PrefixPaths paths(root_);
  EXPECT_EQ(paths.HostPath("C:\\windows\\system32\\NATIVE.dll"), C("windows/system32/native.dll"));
}

TEST_F(PrefixPathsTest, SeesChangesMadeBehindItsBack) {
  MakeFile("Games/a.txt");
  PrefixPaths paths(root_);
  EXPECT_EQ(paths.HostPath("C:\\games\\b.txt"), std::nullopt);
  EXPECT_TRUE(paths.HostPath("C:\\games\\A.TXT"));

  MakeFile("Games/b.txt");  // the folder changed within the same second
  EXPECT_EQ(paths.HostPath("C:\\games\\B.TXT"), C("Games/b.txt"));
  fs::remove(C("Games/a.txt"));
  EXPECT_EQ(paths.HostPath("C:\\games\\a.txt"), std::nullopt);
  fs::rename(C("Games/b.txt"), C("Games/B.txt"));
  EXPECT_EQ(paths.HostPath("C:\\games\\b.txt"), C("Games/B.txt"));
  fs::rename(C("Games"), C("Other"));
  EXPECT_EQ(paths.HostPath("C:\\games\\b.txt"), std::nullopt);
  EXPECT_EQ(paths.HostPath("C:\\other\\b.txt"), C("Other/B.txt"));
}

TEST_F(PrefixPathsTest, SeesAnOldFolderChangeThroughItsTime) {
  MakeFile("Old/a.txt");
  const auto past = fs::file_time_type::clock::now() - std::chrono::hours(1);
  fs::last_write_time(C("Old"), past);
  PrefixPaths paths(root_);
  EXPECT_EQ(paths.HostPath("C:\\old\\b.txt"), std::nullopt);  // a listing it trusts
  MakeFile("Old/b.txt");
  EXPECT_EQ(paths.HostPath("C:\\old\\b.txt"), C("Old/b.txt"));
}

TEST_F(PrefixPathsTest, RefusesWhatItCannotName) {
  MakeFile("file.txt");
  PrefixPaths paths(root_);
  const struct {
    const char* path;
    Errc code;
  } cases[] = {
      {"C:\\missing\\x.txt", Errc::kPathNotFound},
      {"C:\\file.txt\\x.txt", Errc::kPathNotFound},
      {"\\\\server\\share\\x", Errc::kBadPathname},
      {"C:\\a*b", Errc::kBadPathname},
      {"", Errc::kPathNotFound},
  };
  for (const auto& c : cases) {
    const auto located = paths.Locate(c.path);
    ASSERT_FALSE(located) << c.path;
    EXPECT_EQ(located.error().code, c.code) << c.path;
  }
  const auto missing = paths.Locate("C:\\Nothing.txt");
  ASSERT_TRUE(missing);
  EXPECT_FALSE(missing->exists);
  EXPECT_EQ(missing->host, C("Nothing.txt"));
}

}  // namespace
}  // namespace platform::posix

namespace platform::posix {
namespace {

// What a path names, from the host itself (links followed, as Wine does for
// the folder bit).
EntryType HostType(const fs::path& host) {
  std::error_code error;
  if (!fs::exists(fs::symlink_status(host, error))) return EntryType::kAbsent;
  return fs::is_directory(host, error) ? EntryType::kFolder : EntryType::kFile;
}

class ListingTypesTest : public TempPrefix,
                         public ::testing::WithParamInterface<ListingFreshness> {};

TEST_P(ListingTypesTest, AgreeWithTheHostBeforeAndAfterChanges) {
  MakeFile("Jeux/RBR/Data/Track.DAT");
  MakeFolder("Jeux/RBR/Maps");
  MakeFile("Jeux/RBR/gone.txt");
  MakeFile("Jeux/RBR/Becomes/inner.txt");  // a folder, replaced by a file below
  MakeFile("Jeux/RBR/was_file");           // a file, replaced by a folder below
  MakeFile("windows/syswow64/msvbvm60.dll");
  MakeFile("windows/system32/native.dll");
  MakeFile("windows/system32/drivers/etc/hosts");
  fs::create_directory_symlink("Maps", C("Jeux/RBR/MapLink"));
  fs::create_symlink("nowhere", C("Jeux/RBR/dangling"));
  PrefixPaths paths(root_, GetParam());

  const struct {
    const char* windows;
    const char* host;  // below drive_c; what the answer must agree with
  } cases[] = {
      {"C:\\Jeux\\RBR\\Data\\Track.DAT", "Jeux/RBR/Data/Track.DAT"},
      {"c:\\JEUX\\rbr\\data\\track.dat", "Jeux/RBR/Data/Track.DAT"},
      {"C:\\Jeux\\RBR\\maps", "Jeux/RBR/Maps"},
      {"C:\\Jeux\\RBR\\Maps\\", "Jeux/RBR/Maps"},
      {"C:\\Jeux\\RBR\\MAPLINK", "Jeux/RBR/MapLink"},
      {"C:\\Jeux\\RBR\\dangling", "Jeux/RBR/dangling"},
      {"C:\\Jeux\\RBR\\Data\\Absent.dat", "Jeux/RBR/Data/Absent.dat"},
      {"C:\\Jeux\\RBR\\Nowhere\\x.dat", "Jeux/RBR/Nowhere/x.dat"},
      {"C:\\Jeux\\RBR\\Data\\Track.DAT\\x", "Jeux/RBR/Data/Track.DAT/x"},
      {"C:\\windows\\System32\\MSVBVM60.DLL", "windows/syswow64/msvbvm60.dll"},
      {"C:\\windows\\System32\\native.dll", "windows/syswow64/native.dll"},
      {"C:\\windows\\Sysnative\\native.dll", "windows/system32/native.dll"},
      {"C:\\windows\\System32\\drivers\\etc\\HOSTS", "windows/system32/drivers/etc/hosts"},
      {"C:\\", ""},
      {"C:\\Jeux\\RBR\\gone.txt", "Jeux/RBR/gone.txt"},
      {"C:\\Jeux\\RBR\\new.txt", "Jeux/RBR/new.txt"},
      {"C:\\Jeux\\RBR\\Becomes", "Jeux/RBR/Becomes"},
      {"C:\\Jeux\\RBR\\was_file", "Jeux/RBR/was_file"},
      {"C:\\Jeux\\RBR\\Data\\late.dat", "Jeux/RBR/Data/late.dat"},
  };
  const auto check_all = [&](const char* when) {
    for (const auto& c : cases) {
      EXPECT_EQ(paths.TypeOf(c.windows), HostType(C(c.host))) << c.windows << " " << when;
    }
  };
  check_all("at first");
  EXPECT_EQ(paths.TypeOf("C:\\Jeux\\RBR\\Data\\Track.DAT"), EntryType::kFile);
  EXPECT_EQ(paths.TypeOf("C:\\windows\\System32\\native.dll"), EntryType::kAbsent);

  // Changes made by another program, right after the listings were read.
  fs::remove(C("Jeux/RBR/gone.txt"));
  MakeFile("Jeux/RBR/new.txt");
  MakeFile("Jeux/RBR/Data/late.dat");
  fs::remove_all(C("Jeux/RBR/Becomes"));
  MakeFile("Jeux/RBR/Becomes");
  fs::remove(C("Jeux/RBR/was_file"));
  MakeFolder("Jeux/RBR/was_file");
  check_all("after the changes");
  EXPECT_EQ(paths.TypeOf("C:\\Jeux\\RBR\\Becomes"), EntryType::kFile);
  EXPECT_EQ(paths.TypeOf("C:\\Jeux\\RBR\\gone.txt"), EntryType::kAbsent);

  // The folder renamed: its old name leads nowhere, its new one to its files.
  fs::rename(C("Jeux/RBR/Data"), C("Jeux/RBR/Donnees"));
  EXPECT_EQ(paths.TypeOf("C:\\Jeux\\RBR\\Data\\Track.DAT"), EntryType::kAbsent);
  EXPECT_EQ(paths.TypeOf("C:\\Jeux\\RBR\\DONNEES\\Track.DAT"), EntryType::kFile);

  // A folder further up renamed, right after a lookup below it.
  fs::rename(C("Jeux/RBR"), C("Jeux/Rally"));
  EXPECT_EQ(paths.TypeOf("C:\\Jeux\\RBR\\DONNEES\\Track.DAT"), EntryType::kAbsent);
  EXPECT_EQ(paths.TypeOf("C:\\Jeux\\Rally\\Donnees\\Track.DAT"), EntryType::kFile);
}

INSTANTIATE_TEST_SUITE_P(BothFreshnesses, ListingTypesTest,
                         ::testing::Values(ListingFreshness::kWatched,
                                           ListingFreshness::kModificationTime));

}  // namespace
}  // namespace platform::posix
