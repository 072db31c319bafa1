// Test helper: a temporary Wine prefix whose registry files are given as text,
// and a stand-in for a running wineserver holding it.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>

#include "platform/posix/wine_registry.h"

namespace platform::posix::testing_support {

inline constexpr std::string_view kMachineHeader =
    "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n";
inline constexpr std::string_view kUserHeader =
    "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n\n"
    "#arch=win64\n";
inline constexpr std::string_view kDefaultUserHeader =
    "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\User\\\\.Default\n\n"
    "#arch=win64\n";

class TempPrefix {
 public:
  TempPrefix() {
    std::string pattern = (std::filesystem::temp_directory_path() / "remedor-reg-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
    path_ = pattern;
  }
  ~TempPrefix() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempPrefix(const TempPrefix&) = delete;
  TempPrefix& operator=(const TempPrefix&) = delete;

  const std::filesystem::path& path() const { return path_; }

  void Write(std::string_view file, std::string_view text) const {
    std::ofstream out(path_ / file, std::ios::binary | std::ios::trunc);
    out << text;
  }
  std::string Read(std::string_view file) const {
    std::ifstream in(path_ / file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  bool Exists(std::string_view file) const { return std::filesystem::exists(path_ / file); }
  // Names of the files in the prefix, to see that no temporary file stays.
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  std::unique_ptr<WineRegistry> Open() const {
    auto registry = WineRegistry::Open(path_);
    EXPECT_TRUE(registry.ok()) << (registry.ok() ? "" : registry.error().Message());
    return registry.ok() ? std::move(*registry) : nullptr;
  }

 private:
  std::filesystem::path path_;
};

// Holds the lock a wineserver holds while it runs in `prefix`, from a child
// process (a process never sees its own record locks as taken).
class FakeWineServer {
 public:
  explicit FakeWineServer(const std::filesystem::path& prefix) {
    struct stat st {};
    stat(prefix.c_str(), &st);
    char name[64];
    std::snprintf(name, sizeof name, "server-%llx-%llx", static_cast<unsigned long long>(st.st_dev),
                  static_cast<unsigned long long>(st.st_ino));
    root_ = "/tmp/.wine-" + std::to_string(getuid());
    dir_ = root_ / name;
    std::filesystem::create_directories(dir_);
    int ready[2];
    int release[2];
    if (pipe(ready) != 0 || pipe(release) != 0) ADD_FAILURE() << "pipe failed";
    child_ = fork();
    if (child_ == 0) {
      close(ready[0]);
      close(release[1]);  // else the child never sees the parent close its end
      const int fd = open((dir_ / "lock").c_str(), O_CREAT | O_WRONLY, 0600);
      struct flock lock {};
      lock.l_type = F_WRLCK;
      lock.l_whence = SEEK_SET;
      lock.l_len = 1;
      const char ok = fd >= 0 && fcntl(fd, F_SETLK, &lock) == 0 ? 1 : 0;
      [[maybe_unused]] auto written = write(ready[1], &ok, 1);
      char byte;
      [[maybe_unused]] auto got = read(release[0], &byte, 1);  // until the parent closes it
      _exit(0);
    }
    close(ready[1]);
    close(release[0]);
    release_ = release[1];
    char ok = 0;
    if (read(ready[0], &ok, 1) != 1 || ok != 1) ADD_FAILURE() << "could not take the lock";
    close(ready[0]);
  }
  ~FakeWineServer() { Stop(); }

  void Stop() {
    if (child_ <= 0) return;
    close(release_);
    waitpid(child_, nullptr, 0);
    child_ = 0;
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
    std::filesystem::remove(root_, ignored);  // only when empty
  }

 private:
  std::filesystem::path root_, dir_;
  pid_t child_ = 0;
  int release_ = -1;
};

}  // namespace platform::posix::testing_support
