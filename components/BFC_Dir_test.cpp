#include "components/BFC_Dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "components/BFC_Utils.h"
#include "components/dir_instances.h"
#include "platform/posix/prefix_files.h"
#include "platform/posix/prefix_files_test_fixture.h"

namespace {

using platform::posix::PrefixFileSystem;
using Names = std::vector<std::string>;

TEST(IncludeDelimiter, AsSpecified) {
  const std::pair<const char*, const char*> cases[] = {
      {"", ""},       {"C", "C:\\"},    {"z", "z:\\"},
      {"C:", "C:"},   {"C:\\", "C:\\"}, {"C:\\Games", "C:\\Games\\"},
      {"1", "1\\"},   {"é", "é\\"},     {"MAPS\\", "MAPS\\"},
      {"CC", "CC\\"},
  };
  for (const auto& [path, expected] : cases) EXPECT_EQ(IncludeDelimiter(path), expected) << path;
}

class TBFC_DirTest : public platform::posix::TempPrefix {
 protected:
  void SetUp() override {
    TempPrefix::SetUp();
    MakeFile("Games/RBR/QUORVEL/qdd.7z");
    MakeFile("Games/RBR/QUORVEL/XYZ.7z");
    MakeFile("Games/RBR/QUORVEL/a.7z.part");
    MakeFile("Games/RBR/QUORVEL/.hidden.7z");
    MakeFolder("Games/RBR/QUORVEL/old.7z");
    files_ = std::make_unique<PrefixFileSystem>(root_);
    dir_ = std::make_unique<TBFC_Dir>(*files_);
  }

  std::unique_ptr<PrefixFileSystem> files_;
  std::unique_ptr<TBFC_Dir> dir_;
};

TEST_F(TBFC_DirTest, SplitsFoldersFromFilesAndSkipsDotNames) {
  dir_->PathName = "C:\\Games\\RBR\\QUORVEL";
  dir_->FileName = "*.7z";
  dir_->ReadDir();
  EXPECT_EQ(dir_->ListFiles, (Names{"qdd.7z", "XYZ.7z"}));
  EXPECT_EQ(dir_->ListDirs, (Names{"old.7z"}));

  dir_->FileName = "*.*";
  dir_->PathInName = true;
  dir_->PathName = "C:\\Games\\RBR\\QUORVEL\\";  // no second backslash
  dir_->ReadDir();
  EXPECT_EQ(dir_->ListFiles,
            (Names{"C:\\Games\\RBR\\QUORVEL\\a.7z.part", "C:\\Games\\RBR\\QUORVEL\\qdd.7z",
                   "C:\\Games\\RBR\\QUORVEL\\XYZ.7z"}));
  EXPECT_EQ(dir_->ListDirs, (Names{"C:\\Games\\RBR\\QUORVEL\\old.7z"}));
}

TEST_F(TBFC_DirTest, MasksCoverTheWholeName) {
  for (const char* name : {"track-10_M_textures", "TRACK-11_m_TEXTURES", "1_track-10_M_textures",
                           "track-1_M_textures", "track-10_M_textures_old"}) {
    MakeFolder(std::string("Games/RBR/MAPS/") + name);
  }
  TBFC_Dir dir1(*files_);
  Configure(dir1, kDirInstances[0]);
  dir1.PathName = "C:\\Games\\RBR\\MAPS";
  dir1.ReadDir();
  EXPECT_EQ(dir1.ListDirs, (Names{"track-10_M_textures", "TRACK-11_m_TEXTURES"}));
  EXPECT_TRUE(dir1.ListFiles.empty());
}

TEST_F(TBFC_DirTest, DriveLettersAndTheCurrentFolder) {
  MakeFile("root.ini");
  MakeFile("Games/RBR/RichardBurnsRally.ini");
  ASSERT_TRUE(files_->SetCurrentDirectory("C:\\Games\\RBR"));
  dir_->FileName = "*.ini";
  const std::pair<const char*, Names> cases[] = {
      {"C", {"root.ini"}},                // the drive's root
      {"C:", {"RichardBurnsRally.ini"}},  // the drive's current folder
      {"", {"RichardBurnsRally.ini"}},    // the process's current folder
      {"c:\\", {"root.ini"}},
  };
  for (const auto& [path, expected] : cases) {
    dir_->PathName = path;
    dir_->ReadDir();
    EXPECT_EQ(dir_->ListFiles, expected) << path;
  }
}

TEST_F(TBFC_DirTest, ARescanOfAVanishedFolderLeavesNothing) {
  dir_->PathName = "C:\\Games\\RBR\\QUORVEL";
  dir_->ReadDir();
  ASSERT_FALSE(dir_->ListFiles.empty());
  std::filesystem::remove_all(C("Games/RBR/QUORVEL"));
  dir_->ReadDir();
  EXPECT_TRUE(dir_->ListFiles.empty());
  EXPECT_TRUE(dir_->ListDirs.empty());

  dir_->PathName = "C:\\Games\\RBR\\MissingToo";
  dir_->ReadDir();
  EXPECT_TRUE(dir_->ListFiles.empty());
}

}  // namespace
