// Test fixture for the archive tests: a scratch prefix with drive C, real
// archives made by the 7z command in C:\src -> C:\in, the component over the
// prefix's files, a scripted file-open dialog and a record of OnMessage.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "archive/SevenZip.h"
#include "platform/posix/prefix_files.h"
#include "platform/ui.h"

namespace archive::testing {

// Answers the file-open dialog from a script; nullopt (cancel) once it runs out.
class ScriptedUi final : public platform::UserInterface {
 public:
  std::deque<std::optional<std::string>> answers;
  std::vector<platform::OpenFileRequest> requests;

  platform::MessageAnswer ShowMessage(platform::MessageKind, std::string_view) override {
    return platform::MessageAnswer::kOk;
  }
  std::optional<std::string> AskOpenFile(const platform::OpenFileRequest& request) override {
    requests.push_back(request);
    if (answers.empty()) return std::nullopt;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void SetClipboardText(std::string_view) override {}
};

class ArchiveFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "remedor-archive-XXXXXX");
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    for (const char* folder : {"drive_c/src", "drive_c/in", "drive_c/out"}) {
      std::filesystem::create_directories(root_ / folder);
    }
    files = std::make_unique<platform::posix::PrefixFileSystem>(root_);
    zip = std::make_unique<TSevenZip>(*files, &ui);
    zip->OnMessage = [this](TSevenZip&, int code, const std::string& message,
                            const std::string& name) {
      messages.push_back({code, message, name});
    };
  }
  void TearDown() override {
    zip.reset();
    std::error_code ignored;
    std::filesystem::permissions(root_, std::filesystem::perms::all, ignored);
    std::filesystem::remove_all(root_, ignored);
  }

  // The host path of "C:\..." (the prefix has drive C only, at drive_c).
  std::filesystem::path Host(std::string_view windows_path) const {
    std::string relative(windows_path.substr(2));
    std::replace(relative.begin(), relative.end(), '\\', '/');
    return root_ / "drive_c" / std::filesystem::path(relative).relative_path();
  }
  // A file under C:\src (relative path with slashes).
  void Source(const std::string& relative, const std::string& content) {
    const auto path = root_ / "drive_c/src" / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
  }
  // Runs "7z <arguments>" in C:\src or a folder below it.
  void SevenZipCommand(const std::string& arguments, const std::string& folder = "") {
    const std::string command = "cd '" + (root_ / "drive_c/src" / folder).string() + "' && 7z " +
                                arguments + " -bso0 -bsp0 -bse0 >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }
  std::string Read(std::string_view windows_path) const {
    std::ifstream in(Host(windows_path), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }
  bool Exists(std::string_view windows_path) const {
    return std::filesystem::exists(std::filesystem::symlink_status(Host(windows_path)));
  }
  const std::filesystem::path& root() const { return root_; }

  struct Message {
    int code;
    std::string text;
    std::string file;
    bool operator==(const Message&) const = default;
  };
  std::vector<Message> messages;
  ScriptedUi ui;
  std::unique_ptr<platform::posix::PrefixFileSystem> files;
  std::unique_ptr<TSevenZip> zip;

 private:
  std::filesystem::path root_;
};

}  // namespace archive::testing
