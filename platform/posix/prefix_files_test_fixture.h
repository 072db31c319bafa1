// A fresh Wine-style prefix in a temporary folder for each test: dosdevices/
// with c: -> ../drive_c and d: -> ../elsewhere, and helpers that make files on
// the host directly, as another program would.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace platform::posix {

class TempPrefix : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "remedor-prefix-XXXXXX");
    root_ = ::mkdtemp(pattern.data());
    std::filesystem::create_directories(root_ / "drive_c");
    std::filesystem::create_directories(root_ / "elsewhere");
    std::filesystem::create_directories(root_ / "dosdevices");
    std::filesystem::create_directory_symlink("../drive_c", root_ / "dosdevices" / "c:");
    std::filesystem::create_directory_symlink("../elsewhere", root_ / "dosdevices" / "d:");
  }

  void TearDown() override {
    std::error_code ignored;
    std::filesystem::permissions(root_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(root_, ignored);
  }

  // A file below drive_c, its folders made on the way.
  std::filesystem::path MakeFile(const std::string& relative, const std::string& bytes = "") {
    const std::filesystem::path path = root_ / "drive_c" / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  std::filesystem::path MakeFolder(const std::string& relative) {
    const std::filesystem::path path = root_ / "drive_c" / relative;
    std::filesystem::create_directories(path);
    return path;
  }

  std::filesystem::path C(const std::string& relative) const {
    return root_ / "drive_c" / relative;
  }

  static std::string Read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::filesystem::path root_;
};

}  // namespace platform::posix
