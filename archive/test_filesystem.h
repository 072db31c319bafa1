// Test support for the archive tests: a small platform::FileSystem over drive
// C of a Wine-layout prefix ("C:\x" is <prefix>/drive_c/x), with the parts of
// Windows' behaviour the archive code meets: read-only files refuse to be
// replaced, folders cannot be opened as files, and "ReadFile" and
// "CreateFile" obey the fault injector. Directory search and the shell's
// deletion are not needed here and answer kNotSupported.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/files.h"
#include "platform/posix/faults.h"

namespace archive::testing {

class TestFile final : public platform::File {
 public:
  TestFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~TestFile() override { ::close(fd_); }

  platform::Result<std::size_t> Read(void* buffer, std::size_t size) override {
    if (platform::posix::Faults().ShouldFail("ReadFile")) return Failure("ReadFile", EIO);
    const ssize_t got = ::read(fd_, buffer, size);
    if (got < 0) return Failure("ReadFile", errno);
    return static_cast<std::size_t>(got);
  }
  platform::Result<std::size_t> Write(const void* data, std::size_t size) override {
    if (platform::posix::Faults().ShouldFail("WriteFile")) return Failure("WriteFile", ENOSPC);
    const ssize_t put = ::write(fd_, data, size);
    if (put < 0) return Failure("WriteFile", errno);
    return static_cast<std::size_t>(put);
  }
  platform::Result<std::uint64_t> Seek(std::int64_t offset, platform::SeekOrigin origin) override {
    const off_t at = ::lseek(fd_, offset, static_cast<int>(origin));
    if (at < 0) return Failure("SetFilePointerEx", errno);
    return static_cast<std::uint64_t>(at);
  }
  platform::Result<std::uint64_t> Size() override {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return Failure("GetFileSizeEx", errno);
    return static_cast<std::uint64_t>(st.st_size);
  }
  platform::Status SetLastWriteTime(platform::FileTime time) override {
    constexpr std::uint64_t kUnixEpoch = 116444736000000000ull;  // 1970 as a FILETIME
    timespec times[2];
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = static_cast<time_t>((time - kUnixEpoch) / 10'000'000);
    times[1].tv_nsec = static_cast<long>((time - kUnixEpoch) % 10'000'000 * 100);
    if (::futimens(fd_, times) != 0) return Failure("SetFileTime", errno);
    return {};
  }

 private:
  platform::Error Failure(const char* operation, int error) const {
    return platform::MakeError(platform::Errc::kIo, operation, path_,
                               static_cast<std::uint32_t>(error));
  }
  int fd_;
  std::string path_;
};

class TestFileSystem final : public platform::FileSystem {
 public:
  explicit TestFileSystem(std::filesystem::path prefix) : drive_c_(std::move(prefix) / "drive_c") {}

  std::filesystem::path HostPath(std::string_view path) const {
    std::string relative(path.substr(path.size() >= 2 && path[1] == ':' ? 2 : 0));
    for (char& c : relative) {
      if (c == '\\') c = '/';
    }
    return drive_c_ / std::filesystem::path(relative).relative_path();
  }

  std::optional<std::uint32_t> GetAttributes(std::string_view path) override {
    struct stat st {};
    if (::lstat(HostPath(path).c_str(), &st) != 0) return std::nullopt;
    std::uint32_t attributes = S_ISDIR(st.st_mode) ? platform::file_attribute::kDirectory
                                                   : platform::file_attribute::kArchive;
    if ((st.st_mode & S_IWUSR) == 0) attributes |= platform::file_attribute::kReadOnly;
    return attributes;
  }
  platform::Status SetAttributes(std::string_view path, std::uint32_t attributes) override {
    std::error_code error;
    const auto perms = (attributes & platform::file_attribute::kReadOnly)
                           ? std::filesystem::perms(0555)
                           : std::filesystem::perms(0755);
    std::filesystem::permissions(HostPath(path), perms, error);
    if (error)
      return platform::MakeError(platform::Errc::kIo, "SetFileAttributes", std::string(path));
    return {};
  }
  platform::Result<std::vector<platform::FindEntry>> FindFiles(std::string_view pattern) override {
    return platform::MakeError(platform::Errc::kNotSupported, "FindFirstFile",
                               std::string(pattern));
  }
  platform::Status MoveFile(std::string_view from, std::string_view) override {
    return platform::MakeError(platform::Errc::kNotSupported, "MoveFile", std::string(from));
  }
  platform::Status DeleteSilently(std::string_view pattern) override {
    return platform::MakeError(platform::Errc::kNotSupported, "SHFileOperation",
                               std::string(pattern));
  }
  platform::Status CreateDirectory(std::string_view path) override {
    if (::mkdir(HostPath(path).c_str(), 0755) != 0) {
      return platform::MakeError(platform::Errc::kIo, "CreateDirectory", std::string(path),
                                 static_cast<std::uint32_t>(errno));
    }
    return {};
  }
  platform::Result<std::unique_ptr<platform::File>> OpenFile(std::string_view path,
                                                             platform::OpenMode mode,
                                                             std::uint32_t attributes) override {
    const std::string host = HostPath(path).string();
    const auto existing = GetAttributes(path);
    const bool create = mode == platform::OpenMode::kCreateAlways;
    if (platform::posix::Faults().ShouldFail("CreateFile") ||
        (existing && (*existing & platform::file_attribute::kDirectory)) ||
        (create && existing && (*existing & platform::file_attribute::kReadOnly))) {
      return platform::MakeError(platform::Errc::kAccessDenied, "CreateFile", std::string(path),
                                 5);  // ERROR_ACCESS_DENIED
    }
    const int fd = create ? ::open(host.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644)
                          : ::open(host.c_str(), O_RDONLY);
    if (fd < 0) {
      return platform::MakeError(platform::Errc::kFileNotFound, "CreateFile", std::string(path),
                                 2);  // ERROR_FILE_NOT_FOUND
    }
    if (create && (attributes & platform::file_attribute::kReadOnly)) ::fchmod(fd, 0444);
    return std::unique_ptr<platform::File>(new TestFile(fd, std::string(path)));
  }
  std::string CurrentDirectory() override { return "C:\\"; }
  platform::Status SetCurrentDirectory(std::string_view) override { return {}; }
  platform::Result<platform::DiskSpace> GetDiskFreeSpace(std::string_view) override {
    return platform::DiskSpace{};
  }
  bool IsFixedDrive(std::string_view root) override { return root == "C:\\" || root == "c:\\"; }

 private:
  std::filesystem::path drive_c_;
};

}  // namespace archive::testing
