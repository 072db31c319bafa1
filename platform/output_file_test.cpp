#include "platform/output_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

namespace platform {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class OutputFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("remedor-output-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

TEST_F(OutputFileTest, APlainFileIsReplacedByTheNewBytes) {
  std::ofstream(dir_ / "screen.txt") << "a longer report of an earlier run";
  auto file = CreateOutputFile(dir_ / "screen.txt");
  ASSERT_TRUE(file) << file.error().Message();
  ASSERT_TRUE((*file)->Write("new"));
  ASSERT_TRUE((*file)->Write(" run"));
  file->reset();
  EXPECT_EQ(Slurp(dir_ / "screen.txt"), "new run");
}

TEST_F(OutputFileTest, NeverWritesThroughWhatStandsAtTheName) {
  std::ofstream(dir_ / "victim") << "kept";
  fs::create_symlink(dir_ / "victim", dir_ / "link");
  fs::create_symlink(dir_ / "absent", dir_ / "dangling");
  fs::create_hard_link(dir_ / "victim", dir_ / "hard");
  fs::create_directory(dir_ / "folder");
  for (const char* name : {"link", "dangling", "hard", "folder"}) {
    const auto file = CreateOutputFile(dir_ / name);
    ASSERT_FALSE(file) << name;
    EXPECT_EQ(file.error().code, Errc::kAccessDenied) << name;
  }
  EXPECT_EQ(Slurp(dir_ / "victim"), "kept");
  EXPECT_TRUE(fs::is_symlink(dir_ / "link"));
  EXPECT_FALSE(fs::exists(dir_ / "absent"));
  EXPECT_TRUE(fs::is_directory(dir_ / "folder"));
}

}  // namespace
}  // namespace platform
