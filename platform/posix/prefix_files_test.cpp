#include "platform/posix/prefix_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/posix/faults.h"
#include "platform/posix/prefix_files_test_fixture.h"

namespace platform::posix {
namespace {

namespace fs = std::filesystem;
namespace attr = file_attribute;

using PrefixFilesTest = TempPrefix;

std::vector<std::string> Names(const Result<std::vector<FindEntry>>& found) {
  std::vector<std::string> names;
  if (found) {
    for (const FindEntry& entry : *found) names.push_back(entry.name);
  }
  return names;
}

void MakeReadOnly(const fs::path& path) { ::chmod(path.c_str(), 0444); }

TEST_F(PrefixFilesTest, AttributesAsWineReportsThem) {
  MakeFile("Game/plain.txt");
  MakeFile("Game/.hidden.ini");
  MakeReadOnly(MakeFile("Game/locked.txt"));
  fs::create_directory_symlink(C("Game"), C("link"));
  PrefixFileSystem files(root_);
  EXPECT_EQ(files.GetAttributes("C:\\game"), attr::kDirectory);
  EXPECT_EQ(files.GetAttributes("C:\\GAME\\PLAIN.TXT"), attr::kArchive);
  EXPECT_EQ(files.GetAttributes("C:\\Game\\.hidden.ini"), attr::kArchive | attr::kHidden);
  EXPECT_EQ(files.GetAttributes("C:\\Game\\locked.txt"), attr::kArchive | attr::kReadOnly);
  EXPECT_EQ(files.GetAttributes("C:\\link"), attr::kDirectory | attr::kReparsePoint);
  EXPECT_EQ(files.GetAttributes("C:\\"), attr::kDirectory);
  EXPECT_EQ(files.GetAttributes("C:\\Game\\missing"), std::nullopt);
  EXPECT_EQ(files.GetAttributes("C:\\Game\\plain.txt\\x"), std::nullopt);
  EXPECT_TRUE(files.IsFolder("C:\\link"));
  EXPECT_TRUE(files.IsFile("C:\\Game\\plain.txt"));

  ASSERT_TRUE(files.SetAttributes("C:\\Game\\plain.txt", attr::kReadOnly));
  EXPECT_EQ(files.GetAttributes("C:\\Game\\plain.txt"), attr::kArchive | attr::kReadOnly);
  ASSERT_TRUE(files.SetAttributes("C:\\Game\\plain.txt", attr::kNormal));
  EXPECT_EQ(files.GetAttributes("C:\\Game\\plain.txt"), attr::kArchive);
}

TEST_F(PrefixFilesTest, FindsWithTheWildcardRulesInNtfsOrder) {
  for (const char* name : {"aa", "aa.txt", "a_b", "AB", "ab.c.d", ".hid.ini", "b.x", "c.dll",
                           "c.dll.bak", "zz", "Z_", "été.txt", "Éa", "noext"}) {
    MakeFile(std::string("ft/") + name);
  }
  MakeFolder("ft/old.7z");
  PrefixFileSystem files(root_);

  const struct {
    const char* pattern;
    std::vector<std::string> names;
  } cases[] = {
      {"C:\\ft\\*",
       {".", "..", ".hid.ini", "aa", "aa.txt", "AB", "ab.c.d", "a_b", "b.x", "c.dll", "c.dll.bak",
        "noext", "old.7z", "zz", "Z_", "Éa", "été.txt"}},
      {"C:\\ft\\*.", {".", "..", "aa", "AB", "a_b", "noext", "zz", "Z_", "Éa"}},
      {"c:/FT/aa.*", {"aa", "aa.txt"}},
      {"C:\\ft\\a?", {"aa", "AB"}},
      {"C:\\ft\\*.dll", {"c.dll"}},
      {"C:\\ft\\*.7z", {"old.7z"}},
      {"C:\\ft\\*.TXT  ", {"aa.txt", "été.txt"}},
      {"C:\\ft\\ÉTÉ.txt", {"été.txt"}},
      {"C:\\ft", {"ft"}},
      {"C:\\ft\\.", {"ft"}},
      {"C:\\*", {"ft"}},  // a drive's root has no "." and ".."
  };
  for (const auto& c : cases) EXPECT_EQ(Names(files.FindFiles(c.pattern)), c.names) << c.pattern;

  const auto found = files.FindFiles("C:\\ft\\*.7z");
  ASSERT_TRUE(found);
  EXPECT_EQ((*found)[0].attributes, attr::kDirectory);
  const auto dots = files.FindFiles("C:\\ft\\*");
  ASSERT_TRUE(dots);
  EXPECT_EQ((*dots)[2].attributes, attr::kArchive | attr::kHidden);
}

TEST_F(PrefixFilesTest, FindErrorsAsWindows) {
  MakeFile("ft/file.txt");
  PrefixFileSystem files(root_);
  const struct {
    const char* pattern;
    Errc code;
  } cases[] = {
      {"C:\\ft\\nosuch", Errc::kFileNotFound},
      {"C:\\ft\\nosuch*", Errc::kFileNotFound},
      {"C:\\ft\\ *.txt", Errc::kFileNotFound},
      {"C:\\ft\\", Errc::kFileNotFound},
      {"C:\\", Errc::kFileNotFound},
      {"C:\\ft\\..", Errc::kFileNotFound},
      {"C:\\nosuchdir\\*", Errc::kPathNotFound},
      {"C:\\ft\\file.txt\\x\\*", Errc::kPathNotFound},
      {"C:\\ft\\file.txt\\*", Errc::kNotADirectory},
  };
  for (const auto& c : cases) {
    const auto found = files.FindFiles(c.pattern);
    ASSERT_FALSE(found) << c.pattern;
    EXPECT_EQ(found.error().code, c.code) << c.pattern;
  }
}

TEST_F(PrefixFilesTest, RelativePatternsStartAtTheCurrentFolder) {
  MakeFile("Games/RBR/a.dds");
  MakeFile("Games/RBR/b.DDS");
  PrefixFileSystem files(root_);
  ASSERT_TRUE(files.SetCurrentDirectory("c:\\games\\rbr\\"));
  EXPECT_EQ(files.CurrentDirectory(), "C:\\games\\rbr");
  EXPECT_EQ(Names(files.FindFiles("*.dds")), (std::vector<std::string>{"a.dds", "b.DDS"}));
  EXPECT_EQ(Names(files.FindFiles("C:*.dds")), (std::vector<std::string>{"a.dds", "b.DDS"}));
  EXPECT_TRUE(files.Exists("a.DDS"));

  const auto on_file = files.SetCurrentDirectory("C:\\Games\\RBR\\a.dds");
  ASSERT_FALSE(on_file);
  EXPECT_EQ(on_file.error().code, Errc::kNotADirectory);
  const auto missing = files.SetCurrentDirectory("C:\\Games\\Nothing");
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error().code, Errc::kFileNotFound);
  EXPECT_EQ(files.CurrentDirectory(), "C:\\games\\rbr");
}

TEST_F(PrefixFilesTest, MoveFileRenamesButNeverReplaces) {
  MakeFile("MAPS/track-10_M_textures/2_track-10_M_textures.rep", "marker");
  MakeFile("MAPS/taken/keep.txt", "keep");
  PrefixFileSystem files(root_);

  ASSERT_TRUE(files.MoveFile("C:\\maps\\TRACK-10_M_TEXTURES", "C:\\MAPS\\2_track-10_M_textures"));
  EXPECT_EQ(Read(C("MAPS/2_track-10_M_textures/2_track-10_M_textures.rep")), "marker");
  EXPECT_FALSE(files.Exists("C:\\MAPS\\track-10_M_textures"));

  const auto taken = files.MoveFile("C:\\MAPS\\2_track-10_M_textures", "C:\\MAPS\\TAKEN");
  ASSERT_FALSE(taken);
  EXPECT_EQ(taken.error().code, Errc::kAlreadyExists);
  EXPECT_EQ(Read(C("MAPS/taken/keep.txt")), "keep");
  EXPECT_TRUE(fs::exists(C("MAPS/2_track-10_M_textures")));

  ASSERT_TRUE(files.MoveFile("C:\\MAPS\\taken", "C:\\MAPS\\Taken"));  // letter case only
  EXPECT_TRUE(fs::exists(C("MAPS/Taken/keep.txt")));

  const struct {
    const char* from;
    const char* to;
    Errc code;
  } failures[] = {
      {"C:\\MAPS\\nothing", "C:\\MAPS\\x", Errc::kFileNotFound},
      {"C:\\MAPS\\Taken", "C:\\nofolder\\x", Errc::kPathNotFound},
      {"C:\\MAPS\\Taken", "C:\\MAPS\\Taken\\inside", Errc::kAccessDenied},
  };
  for (const auto& f : failures) {
    const auto moved = files.MoveFile(f.from, f.to);
    ASSERT_FALSE(moved) << f.from;
    EXPECT_EQ(moved.error().code, f.code) << f.from;
  }

  const ScopedFault fault(files.faults(), FaultOperation::kMoveFile, 1);
  EXPECT_FALSE(files.MoveFile("C:\\MAPS\\Taken", "C:\\MAPS\\Other"));
  EXPECT_TRUE(fs::exists(C("MAPS/Taken")));
  EXPECT_TRUE(files.MoveFile("C:\\MAPS\\Taken", "C:\\MAPS\\Other"));
}

TEST_F(PrefixFilesTest, DeleteSilentlyTakesFilesByMaskAndWholeTrees) {
  MakeFile("own/FILESLIST.TXT");
  MakeFile("own/NGP.txt");
  MakeFile("own/qdm.ini");
  MakeFile("own/keep.txt.bak");
  MakeFile("MAPS/track-10_M_textures/deep/er/file.dds");
  MakeReadOnly(MakeFile("MAPS/track-10_M_textures/locked.rep"));
  PrefixFileSystem files(root_);

  ASSERT_TRUE(files.DeleteSilently("C:\\own\\*.TXT"));
  EXPECT_FALSE(fs::exists(C("own/FILESLIST.TXT")));
  EXPECT_FALSE(fs::exists(C("own/NGP.txt")));
  EXPECT_TRUE(fs::exists(C("own/qdm.ini")));
  EXPECT_TRUE(fs::exists(C("own/keep.txt.bak")));

  ASSERT_TRUE(files.DeleteSilently("C:\\maps\\TRACK-10_M_TEXTURES"));
  EXPECT_FALSE(fs::exists(C("MAPS/track-10_M_textures")));
  EXPECT_TRUE(fs::exists(C("MAPS")));

  const auto nothing = files.DeleteSilently("C:\\own\\*.TXT");
  ASSERT_FALSE(nothing);
  EXPECT_EQ(nothing.error().code, Errc::kFileNotFound);
}

TEST_F(PrefixFilesTest, DeleteSilentlyNeverFollowsALinkOutOfTheTree) {
  const fs::path outside = root_ / "outside";
  fs::create_directories(outside / "sub");
  std::ofstream(outside / "precious.txt") << "precious";
  std::ofstream(outside / "sub" / "more.txt") << "more";
  MakeFile("tree/a/file.txt");
  fs::create_directory_symlink(outside, C("tree/a/to-outside"));
  fs::create_symlink(outside / "precious.txt", C("tree/file-link"));
  fs::create_directory_symlink(outside, C("top-link"));
  PrefixFileSystem files(root_);

  ASSERT_TRUE(files.DeleteSilently("C:\\tree"));
  EXPECT_FALSE(fs::exists(fs::symlink_status(C("tree"))));
  ASSERT_TRUE(files.DeleteSilently("C:\\top-link"));
  EXPECT_FALSE(fs::exists(fs::symlink_status(C("top-link"))));
  EXPECT_EQ(Read(outside / "precious.txt"), "precious");
  EXPECT_EQ(Read(outside / "sub" / "more.txt"), "more");
}

TEST_F(PrefixFilesTest, DeleteSilentlyRefusesReadOnlyAndOpenFiles) {
  MakeReadOnly(MakeFile("own/FILESLIST.TXT", "list"));
  MakeFile("own/other.txt");
  MakeFile("own/open.txt");
  PrefixFileSystem files(root_);
  auto open = files.OpenFile("C:\\own\\open.txt", OpenMode::kRead);
  ASSERT_TRUE(open);

  const auto deleted = files.DeleteSilently("C:\\own\\*.txt");
  ASSERT_FALSE(deleted);
  EXPECT_EQ(Read(C("own/FILESLIST.TXT")), "list");
  EXPECT_TRUE(fs::exists(C("own/open.txt")));
  EXPECT_FALSE(fs::exists(C("own/other.txt")));  // the others still go

  open->reset();
  ASSERT_TRUE(files.DeleteSilently("C:\\own\\open.txt"));
  const ScopedFault fault(files.faults(), FaultOperation::kSHFileOperation);
  EXPECT_FALSE(files.DeleteSilently("C:\\own"));
  EXPECT_TRUE(fs::exists(C("own")));
}

TEST_F(PrefixFilesTest, RemoveFileTakesOneFileByItsExactName) {
  const fs::path outside = root_ / "outside.txt";
  std::ofstream(outside) << "precious";
  MakeFile("own/a.txt");
  MakeFile("own/b.txt");
  MakeFile("own/open.txt");
  MakeReadOnly(MakeFile("own/locked.txt", "locked"));
  MakeFile("own/folder/inside.txt");
  fs::create_symlink(outside, C("own/link.txt"));
  PrefixFileSystem files(root_);
  auto open = files.OpenFile("C:\\own\\open.txt", OpenMode::kCreateAlways);
  ASSERT_TRUE(open);

  struct Case {
    const char* path;
    std::optional<Errc> refusal;  // none: deleted
  };
  const Case cases[] = {
      {"C:\\OWN\\A.TXT", std::nullopt},
      {"C:\\own\\link.txt", Errc::kAccessDenied},  // neither the link nor what it names
      {"C:\\own\\*.txt", Errc::kBadPathname},
      {"C:\\own\\folder", Errc::kAccessDenied},
      {"C:\\own\\locked.txt", Errc::kAccessDenied},
      {"C:\\own\\open.txt", Errc::kBusy},
      {"C:\\own\\gone.txt", Errc::kFileNotFound},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const Status deleted = files.RemoveFile(c.path);
    EXPECT_EQ(deleted ? std::nullopt : std::optional(deleted.error().code), c.refusal);
  }
  EXPECT_FALSE(fs::exists(fs::symlink_status(C("own/a.txt"))));
  EXPECT_TRUE(fs::is_symlink(C("own/link.txt")));
  EXPECT_EQ(Read(outside), "precious");
  EXPECT_TRUE(fs::exists(C("own/b.txt")));
  EXPECT_TRUE(fs::exists(C("own/folder/inside.txt")));
  EXPECT_EQ(Read(C("own/locked.txt")), "locked");

  open->reset();
  {
    const ScopedFault fault(files.faults(), FaultOperation::kDeleteFile);
    EXPECT_FALSE(files.RemoveFile("C:\\own\\open.txt"));
  }
  EXPECT_TRUE(files.RemoveFile("C:\\own\\open.txt"));
  EXPECT_FALSE(fs::exists(C("own/open.txt")));
}

// Names the tool must neither delete nor write through, each beside a
// precious file outside the tool's folder.
class NotPlainFileTest : public TempPrefix {
 protected:
  void SetUp() override {
    TempPrefix::SetUp();
    outside_ = root_ / "outside";
    fs::create_directories(outside_ / "folder");
    std::ofstream(outside_ / "precious.txt") << "precious";
    MakeFolder("own/folder.txt");
    MakeFile("own/folder.txt/inside", "inside");
    fs::create_symlink(outside_ / "precious.txt", C("own/link.txt"));
    fs::create_directory_symlink(outside_ / "folder", C("own/folder-link.txt"));
    fs::create_symlink(outside_ / "absent.txt", C("own/dangling.txt"));
    fs::create_hard_link(outside_ / "precious.txt", C("own/hard.txt"));
    MakeReadOnly(MakeFile("own/read-only.txt", "kept"));
  }

  // Everything as SetUp left it.
  void ExpectUntouched() {
    EXPECT_EQ(Read(outside_ / "precious.txt"), "precious");
    EXPECT_EQ(Read(C("own/folder.txt/inside")), "inside");
    EXPECT_TRUE(fs::is_symlink(C("own/link.txt")));
    EXPECT_TRUE(fs::is_symlink(C("own/folder-link.txt")));
    EXPECT_TRUE(fs::is_symlink(C("own/dangling.txt")));
    EXPECT_FALSE(fs::exists(outside_ / "absent.txt"));
    EXPECT_EQ(fs::hard_link_count(C("own/hard.txt")), 2u);
    EXPECT_EQ(Read(C("own/read-only.txt")), "kept");
  }

  static constexpr const char* kNotPlain[] = {"C:\\own\\folder.txt",      "C:\\own\\link.txt",
                                              "C:\\own\\folder-link.txt", "C:\\own\\dangling.txt",
                                              "C:\\own\\hard.txt",        "C:\\own\\read-only.txt"};

  fs::path outside_;
};

TEST_F(NotPlainFileTest, RemoveFileDeletesOnlyAPlainFileByItsExactName) {
  MakeFile("own/plain.txt");
  MakeFile("own/other.txt");
  PrefixFileSystem files(root_);
  for (const char* name : kNotPlain) {
    const Status removed = files.RemoveFile(name);
    ASSERT_FALSE(removed) << name;
    EXPECT_EQ(removed.error().code, Errc::kAccessDenied) << name;
  }
  ExpectUntouched();
  const Status pattern = files.RemoveFile("C:\\own\\*.txt");  // a name, never a mask
  EXPECT_FALSE(pattern);
  EXPECT_TRUE(fs::exists(C("own/other.txt")));
  ASSERT_TRUE(files.RemoveFile("C:\\own\\PLAIN.txt"));
  EXPECT_FALSE(fs::exists(C("own/plain.txt")));
  const Status missing = files.RemoveFile("C:\\own\\plain.txt");
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error().code, Errc::kFileNotFound);
}

TEST_F(NotPlainFileTest, CreateAlwaysMakesAFileAnewNeverThroughALink) {
  MakeFile("own/plain.txt", "old content");
  PrefixFileSystem files(root_);
  for (const char* name : kNotPlain) {
    const Status written = files.WriteAll(name, "hostile");
    ASSERT_FALSE(written) << name;
    EXPECT_EQ(written.error().code, Errc::kAccessDenied) << name;
  }
  ExpectUntouched();
  ASSERT_TRUE(files.WriteAll("C:\\own\\plain.txt", "new"));
  EXPECT_EQ(Read(C("own/plain.txt")), "new");
  ASSERT_TRUE(files.WriteAll("C:\\own\\fresh.txt", "fresh"));
  EXPECT_EQ(Read(C("own/fresh.txt")), "fresh");
}

TEST_F(PrefixFilesTest, CreateDirectoryOneLevel) {
  PrefixFileSystem files(root_);
  ASSERT_TRUE(files.CreateDirectory("C:\\New"));
  EXPECT_TRUE(fs::is_directory(C("New")));
  EXPECT_TRUE(files.IsFolder("C:\\new"));  // seen at once
  const struct {
    const char* path;
    Errc code;
  } failures[] = {
      {"C:\\NEW", Errc::kAlreadyExists},
      {"C:\\", Errc::kAlreadyExists},
      {"C:\\missing\\New", Errc::kPathNotFound},
  };
  for (const auto& f : failures) {
    const auto made = files.CreateDirectory(f.path);
    ASSERT_FALSE(made) << f.path;
    EXPECT_EQ(made.error().code, f.code) << f.path;
  }
  const ScopedFault fault(files.faults(), FaultOperation::kCreateDirectory, 1);
  EXPECT_FALSE(files.CreateDirectory("C:\\Second"));
  EXPECT_FALSE(fs::exists(C("Second")));
}

TEST_F(PrefixFilesTest, OpenFileReadsWritesAndSeeks) {
  MakeFile("data/Stored.bin", "0123456789");
  PrefixFileSystem files(root_);

  auto file = files.OpenFile("C:\\DATA\\stored.BIN", OpenMode::kRead);
  ASSERT_TRUE(file);
  char buffer[4];
  EXPECT_EQ(*(*file)->Seek(6, SeekOrigin::kBegin), 6u);
  EXPECT_EQ(*(*file)->Read(buffer, sizeof buffer), 4u);
  EXPECT_EQ(std::string(buffer, 4), "6789");
  EXPECT_EQ(*(*file)->Read(buffer, sizeof buffer), 0u);
  EXPECT_EQ(*(*file)->Seek(-3, SeekOrigin::kEnd), 7u);
  EXPECT_EQ(*(*file)->Size(), 10u);
  EXPECT_FALSE((*file)->Write("x", 1));
  file->reset();

  // Replacing keeps the stored name; the write time can be set.
  ASSERT_TRUE(files.WriteAll("C:\\data\\STORED.bin", "new"));
  EXPECT_EQ(Read(C("data/Stored.bin")), "new");
  auto created = files.OpenFile("C:\\data\\fresh.bin", OpenMode::kCreateAlways);
  ASSERT_TRUE(created);
  EXPECT_EQ(*(*created)->Write("abc", 3), 3u);
  const FileTime time = 132000000000000000;  // 2019-04-15
  ASSERT_TRUE((*created)->SetLastWriteTime(time));
  created->reset();
  EXPECT_EQ(*files.ReadAll("C:\\data\\fresh.bin"), "abc");
  const auto entry = files.FindFiles("C:\\data\\fresh.bin");
  ASSERT_TRUE(entry);
  EXPECT_EQ((*entry)[0].last_write, time);
  EXPECT_EQ((*entry)[0].size, 3u);

  const auto missing = files.OpenFile("C:\\data\\none.bin", OpenMode::kRead);
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error().code, Errc::kFileNotFound);
  const auto folder = files.OpenFile("C:\\data", OpenMode::kRead);
  ASSERT_FALSE(folder);
  EXPECT_EQ(folder.error().code, Errc::kAccessDenied);
}

TEST_F(PrefixFilesTest, OpenFileHonoursSharingAndReadOnly) {
  MakeFile("data/a.bin", "keep");
  MakeReadOnly(MakeFile("data/ro.bin", "ro"));
  PrefixFileSystem files(root_);

  auto reader = files.OpenFile("C:\\data\\a.bin", OpenMode::kRead);
  ASSERT_TRUE(reader);
  EXPECT_TRUE(files.OpenFile("C:\\data\\a.bin", OpenMode::kRead));  // reading is shared
  const auto writer = files.OpenFile("C:\\data\\a.bin", OpenMode::kCreateAlways);
  ASSERT_FALSE(writer);
  EXPECT_EQ(writer.error().code, Errc::kBusy);
  EXPECT_EQ(Read(C("data/a.bin")), "keep");  // not truncated
  const auto moved = files.MoveFile("C:\\data\\a.bin", "C:\\data\\b.bin");
  ASSERT_FALSE(moved);
  EXPECT_EQ(moved.error().code, Errc::kBusy);
  reader->reset();

  auto exclusive = files.OpenFile("C:\\data\\a.bin", OpenMode::kCreateAlways);
  ASSERT_TRUE(exclusive);
  EXPECT_FALSE(files.OpenFile("C:\\data\\a.bin", OpenMode::kRead));
  exclusive->reset();

  const auto read_only = files.OpenFile("C:\\data\\ro.bin", OpenMode::kCreateAlways);
  ASSERT_FALSE(read_only);
  EXPECT_EQ(read_only.error().code, Errc::kAccessDenied);
  EXPECT_EQ(Read(C("data/ro.bin")), "ro");

  auto made_read_only =
      files.OpenFile("C:\\data\\new.bin", OpenMode::kCreateAlways, attr::kReadOnly);
  ASSERT_TRUE(made_read_only);
  EXPECT_EQ(*(*made_read_only)->Write("ok", 2), 2u);
  made_read_only->reset();
  EXPECT_EQ(files.GetAttributes("C:\\data\\new.bin"), attr::kArchive | attr::kReadOnly);
}

// An armed fault fails its call with an error naming that call; once its
// scope ends, the call works again.
TEST_F(PrefixFilesTest, FaultsFailTheNamedCallsWithinTheirScope) {
  MakeFile("data/a.bin", "abc");
  PrefixFileSystem files(root_);
  const auto failed_as = [](const auto& result) {
    return result.ok() ? std::string("ok") : result.error().operation;
  };
  const std::pair<FaultOperation, std::function<std::string()>> cases[] = {
      {FaultOperation::kCreateFile, [&] { return failed_as(files.ReadAll("C:\\data\\a.bin")); }},
      {FaultOperation::kReadFile, [&] { return failed_as(files.ReadAll("C:\\data\\a.bin")); }},
      {FaultOperation::kWriteFile,
       [&] { return failed_as(files.WriteAll("C:\\data\\b.bin", "xyz")); }},
      {FaultOperation::kCreateDirectory,
       [&] { return failed_as(files.CreateDirectory("C:\\data\\new")); }},
      {FaultOperation::kMoveFile,
       [&] { return failed_as(files.MoveFile("C:\\data\\b.bin", "C:\\data\\c.bin")); }},
      {FaultOperation::kSHFileOperation,
       [&] { return failed_as(files.DeleteSilently("C:\\data\\c.bin")); }},
  };
  for (const auto& [operation, call] : cases) {
    SCOPED_TRACE(FaultName(operation));
    {
      const ScopedFault fault(files.faults(), operation);
      EXPECT_EQ(call(), FaultName(operation));
    }
    EXPECT_EQ(call(), "ok");
  }
}

TEST_F(PrefixFilesTest, DiskSpaceFromTheHostOrTheMachineFacts) {
  PrefixFileSystem files(root_);
  const auto host = files.GetDiskFreeSpace("C:\\");
  ASSERT_TRUE(host);
  EXPECT_GT(host->total_bytes, 0u);
  EXPECT_LE(host->free_bytes, host->total_bytes);

  files.SetDiskSpaceOverride('c', DiskSpace{1000, 5000});
  EXPECT_EQ(files.GetDiskFreeSpace("C:\\")->free_bytes, 1000u);
  files.SetDiskSpaceOverride('D', std::nullopt);
  EXPECT_FALSE(files.GetDiskFreeSpace("D:\\"));
  files.ClearDiskSpaceOverride('C');
  EXPECT_EQ(files.GetDiskFreeSpace("C:\\")->total_bytes, host->total_bytes);

  EXPECT_FALSE(files.GetDiskFreeSpace("Q:\\"));
  EXPECT_TRUE(files.IsFixedDrive("C:\\"));
  EXPECT_TRUE(files.IsFixedDrive("d:\\"));
  EXPECT_FALSE(files.IsFixedDrive("Q:\\"));
}

}  // namespace
}  // namespace platform::posix
