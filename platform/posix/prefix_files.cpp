#include "platform/posix/prefix_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <mutex>
#include <utility>

#include "platform/codepage.h"
#include "platform/output_file.h"
#include "platform/posix/faults.h"
#include "platform/posix/mask.h"
#include "platform/text.h"

namespace platform::posix {

namespace fs = std::filesystem;
namespace attr = file_attribute;

namespace {

// Windows error numbers carried in Error::os_error where the backend answers
// as Windows would rather than passing an errno on.
constexpr std::uint32_t kErrorFileNotFound = 2;
constexpr std::uint32_t kErrorPathNotFound = 3;
constexpr std::uint32_t kErrorAccessDenied = 5;
constexpr std::uint32_t kErrorSharingViolation = 32;
constexpr std::uint32_t kErrorAlreadyExists = 183;
constexpr std::uint32_t kErrorDirectory = 267;

// 100-nanosecond intervals between 1601-01-01 and 1970-01-01.
constexpr std::int64_t kUnixEpochAsFileTime = 116444736000000000;

Error FromErrno(int error, std::string_view operation, std::string_view subject) {
  Errc code = Errc::kIo;
  switch (error) {
    case ENOENT:
      code = Errc::kFileNotFound;
      break;
    case ENOTDIR:
      code = Errc::kPathNotFound;
      break;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case EINVAL:
      code = Errc::kAccessDenied;
      break;
    case EEXIST:
    case ENOTEMPTY:
      code = Errc::kAlreadyExists;
      break;
    case EBUSY:
    case ETXTBSY:
      code = Errc::kBusy;
      break;
    case ENAMETOOLONG:
      code = Errc::kBadPathname;
      break;
    default:
      break;
  }
  return MakeError(code, std::string(operation), std::string(subject),
                   static_cast<std::uint32_t>(error));
}

Error WindowsError(Errc code, std::uint32_t windows_error, std::string_view operation,
                   std::string_view subject, std::string detail = {}) {
  return MakeError(code, std::string(operation), std::string(subject), windows_error,
                   std::move(detail));
}

// The failure of this call of the operation when one is armed, named as the call.
std::optional<Error> InjectedFault(FaultInjector& faults, FaultOperation operation,
                                   std::string_view subject) {
  if (!faults.ShouldFail(operation)) return std::nullopt;
  return WindowsError(Errc::kAccessDenied, kErrorAccessDenied, FaultName(operation), subject,
                      "failed on purpose (fault injection)");
}

FileTime ToFileTime(const timespec& time) {
  return static_cast<FileTime>(kUnixEpochAsFileTime + time.tv_sec * 10'000'000LL +
                               time.tv_nsec / 100);
}

timespec ToTimespec(FileTime time) {
  const std::int64_t since_1970 = static_cast<std::int64_t>(time) - kUnixEpochAsFileTime;
  std::int64_t seconds = since_1970 / 10'000'000;
  std::int64_t rest = since_1970 % 10'000'000;
  if (rest < 0) {
    rest += 10'000'000;
    --seconds;
  }
  return timespec{static_cast<time_t>(seconds), static_cast<long>(rest * 100)};
}

bool IsReadOnly(const struct stat& status) {
  return (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

// Attributes as Wine reports them. `status` is the lstat of `host`.
std::uint32_t AttributesOf(const std::string& name, const std::string& host,
                           const struct stat& status) {
  std::uint32_t attributes = 0;
  struct stat target = status;
  if (S_ISLNK(status.st_mode)) {
    attributes |= attr::kReparsePoint;
    if (::stat(host.c_str(), &target) != 0) target = status;  // a dangling link
  }
  attributes |= S_ISDIR(target.st_mode) ? attr::kDirectory : attr::kArchive;
  if (IsReadOnly(target)) attributes |= attr::kReadOnly;
  if (name.size() > 1 && name[0] == '.' && name != "..") attributes |= attr::kHidden;
  return attributes;
}

bool IsFolderLocation(const HostLocation& location) {
  if (S_ISDIR(location.status.st_mode)) return true;
  struct stat target {};
  return S_ISLNK(location.status.st_mode) && ::stat(location.host.c_str(), &target) == 0 &&
         S_ISDIR(target.st_mode);
}

// Names Windows cannot hold (Wine would show them under a mangled short name).
bool IsWindowsName(std::string_view name) {
  for (char c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || std::string_view("\\<>:\"|?*").find(c) != std::string_view::npos) {
      return false;
    }
  }
  return true;
}

// What the tool may replace or delete by name: a plain file, not read-only,
// with no other hard link. `status` is the name's own (lstat).
Status RefusedAsNotPlain(const struct stat& status, std::string_view operation,
                         std::string_view path) {
  const char* refusal = nullptr;
  if (S_ISLNK(status.st_mode)) {
    refusal = "a symbolic link";
  } else if (S_ISDIR(status.st_mode)) {
    refusal = "a folder";
  } else if (!S_ISREG(status.st_mode)) {
    refusal = "not a plain file";
  } else if (status.st_nlink > 1) {
    refusal = "a file with other hard links";
  } else if (IsReadOnly(status)) {
    refusal = "a read-only file";
  }
  if (!refusal) return {};
  return WindowsError(Errc::kAccessDenied, kErrorAccessDenied, operation, path, refusal);
}

}  // namespace

// Which inodes are open, and how: kRead shares reading only, kCreateAlways
// shares nothing, and neither shares deletion.
class PrefixFileSystem::OpenFiles {
 public:
  using Key = std::pair<dev_t, ino_t>;
  struct Count {
    int shared_readers = 0;
    int exclusive = 0;
  };

  bool TryOpen(const Key& key, OpenMode mode) {
    std::lock_guard lock(mutex_);
    Count& count = counts_[key];
    const bool allowed = mode == OpenMode::kRead
                             ? count.exclusive == 0
                             : count.exclusive == 0 && count.shared_readers == 0;
    if (!allowed) {
      if (count.exclusive == 0 && count.shared_readers == 0) counts_.erase(key);
      return false;
    }
    (mode == OpenMode::kRead ? count.shared_readers : count.exclusive)++;
    return true;
  }

  void Close(const Key& key, OpenMode mode) {
    std::lock_guard lock(mutex_);
    Count& count = counts_[key];
    (mode == OpenMode::kRead ? count.shared_readers : count.exclusive)--;
    if (count.exclusive <= 0 && count.shared_readers <= 0) counts_.erase(key);
  }

  bool IsOpen(const struct stat& status) {
    std::lock_guard lock(mutex_);
    return counts_.count({status.st_dev, status.st_ino}) != 0;
  }

 private:
  std::mutex mutex_;
  std::map<Key, Count> counts_;
};

namespace {

class PrefixFile final : public File {
 public:
  PrefixFile(int fd, std::string path, OpenMode mode,
             std::shared_ptr<PrefixFileSystem::OpenFiles> open_files,
             PrefixFileSystem::OpenFiles::Key key, std::shared_ptr<FaultInjector> faults)
      : fd_(fd),
        path_(std::move(path)),
        mode_(mode),
        open_files_(std::move(open_files)),
        key_(key),
        faults_(std::move(faults)) {}
  ~PrefixFile() override {
    ::close(fd_);
    open_files_->Close(key_, mode_);
  }
  PrefixFile(const PrefixFile&) = delete;
  PrefixFile& operator=(const PrefixFile&) = delete;

  Result<std::size_t> Read(void* buffer, std::size_t size) override {
    if (auto fault = InjectedFault(*faults_, FaultOperation::kReadFile, path_)) return *fault;
    auto* bytes = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < size) {  // ReadFile stops short only at the end of the file
      const ssize_t got = ::read(fd_, bytes + done, size - done);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) return FromErrno(errno, "ReadFile", path_);
      if (got == 0) break;
      done += static_cast<std::size_t>(got);
    }
    return done;
  }

  Result<std::size_t> Write(const void* data, std::size_t size) override {
    if (auto fault = InjectedFault(*faults_, FaultOperation::kWriteFile, path_)) return *fault;
    if (mode_ == OpenMode::kRead) {
      return WindowsError(Errc::kAccessDenied, kErrorAccessDenied, "WriteFile", path_);
    }
    const auto* bytes = static_cast<const char*>(data);
    std::size_t done = 0;
    while (done < size) {
      const ssize_t wrote = ::write(fd_, bytes + done, size - done);
      if (wrote < 0 && errno == EINTR) continue;
      if (wrote < 0) return FromErrno(errno, "WriteFile", path_);
      done += static_cast<std::size_t>(wrote);
    }
    return done;
  }

  Result<std::uint64_t> Seek(std::int64_t offset, SeekOrigin origin) override {
    const int whence = origin == SeekOrigin::kBegin     ? SEEK_SET
                       : origin == SeekOrigin::kCurrent ? SEEK_CUR
                                                        : SEEK_END;
    const off_t position = ::lseek(fd_, static_cast<off_t>(offset), whence);
    if (position < 0) return FromErrno(errno, "SetFilePointerEx", path_);
    return static_cast<std::uint64_t>(position);
  }

  Result<std::uint64_t> Size() override {
    struct stat status {};
    if (::fstat(fd_, &status) != 0) return FromErrno(errno, "GetFileSizeEx", path_);
    return static_cast<std::uint64_t>(status.st_size);
  }

  Status SetLastWriteTime(FileTime time) override {
    const timespec times[2] = {{0, UTIME_OMIT}, ToTimespec(time)};
    if (::futimens(fd_, times) != 0) return FromErrno(errno, "SetFileTime", path_);
    return {};
  }

 private:
  const int fd_;
  const std::string path_;
  const OpenMode mode_;
  const std::shared_ptr<PrefixFileSystem::OpenFiles> open_files_;
  const PrefixFileSystem::OpenFiles::Key key_;
  const std::shared_ptr<FaultInjector> faults_;
};

// Removes the folder `name` of `parent_fd` and everything in it; a symbolic
// link anywhere is removed itself. Read-only files inside go too.
Status RemoveTree(int parent_fd, const std::string& name, const std::string& shown,
                  PrefixFileSystem::OpenFiles& open_files) {
  const int fd = ::openat(parent_fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    if (errno != ENOTDIR && errno != ELOOP) return FromErrno(errno, "SHFileOperation", shown);
    if (::unlinkat(parent_fd, name.c_str(), 0) != 0) {
      return FromErrno(errno, "SHFileOperation", shown);
    }
    return {};
  }
  DIR* dir = ::fdopendir(fd);
  if (!dir) {
    const int error = errno;
    ::close(fd);
    return FromErrno(error, "SHFileOperation", shown);
  }
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view child = entry->d_name;
    if (child != "." && child != "..") names.emplace_back(child);
  }
  Status outcome;
  for (const std::string& child : names) {
    const std::string child_shown = shown + "\\" + child;
    struct stat status {};
    if (::fstatat(fd, child.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) continue;
    Status removed;
    if (S_ISDIR(status.st_mode)) {
      removed = RemoveTree(fd, child, child_shown, open_files);
    } else if (open_files.IsOpen(status)) {
      removed = WindowsError(Errc::kBusy, kErrorSharingViolation, "SHFileOperation", child_shown);
    } else if (::unlinkat(fd, child.c_str(), 0) != 0) {
      removed = FromErrno(errno, "SHFileOperation", child_shown);
    }
    if (!removed && outcome) outcome = removed;
  }
  ::closedir(dir);
  if (!outcome) return outcome;
  if (::unlinkat(parent_fd, name.c_str(), AT_REMOVEDIR) != 0) {
    return FromErrno(errno, "SHFileOperation", shown);
  }
  return {};
}

}  // namespace

PrefixFileSystem::PrefixFileSystem(fs::path prefix, std::shared_ptr<FaultInjector> faults)
    : paths_(std::move(prefix)),
      open_files_(std::make_shared<OpenFiles>()),
      faults_(std::move(faults)) {}

PrefixFileSystem::~PrefixFileSystem() = default;

std::optional<std::uint32_t> PrefixFileSystem::GetAttributes(std::string_view path) {
  const auto location = paths_.Locate(path);
  if (!location || !location->exists) return std::nullopt;
  return AttributesOf(location->name, location->host, location->status);
}

Status PrefixFileSystem::SetAttributes(std::string_view path, std::uint32_t attributes) {
  const auto location = paths_.Locate(path);
  if (!location) return location.error();
  if (!location->exists) {
    return WindowsError(Errc::kFileNotFound, kErrorFileNotFound, "SetFileAttributes", path);
  }
  struct stat status {};
  if (::stat(location->host.c_str(), &status) != 0) {
    return FromErrno(errno, "SetFileAttributes", path);
  }
  mode_t mode = status.st_mode & 07777;
  mode = (attributes & attr::kReadOnly) ? (mode & ~mode_t{0222}) : (mode | S_IWUSR);
  if (::chmod(location->host.c_str(), mode) != 0) {
    return FromErrno(errno, "SetFileAttributes", path);
  }
  return {};
}

Result<std::vector<FindEntry>> PrefixFileSystem::Search(std::string_view pattern,
                                                        std::string_view operation,
                                                        HostLocation* folder_out) {
  std::string text(pattern);
  std::replace(text.begin(), text.end(), '/', '\\');
  std::size_t split = text.rfind('\\');
  if (split == std::string::npos && text.size() >= 2 && text[1] == ':') split = 1;
  std::string folder_path = split == std::string::npos ? "." : text.substr(0, split + 1);
  std::string mask = split == std::string::npos ? text : text.substr(split + 1);
  if (mask == "." || mask == "..") {  // names the folder itself or its parent
    const auto full = paths_.FullPath(text);
    if (!full) return full.error();
    const std::size_t last = full->rfind('\\');
    if (last + 1 == full->size()) {
      return WindowsError(Errc::kFileNotFound, kErrorFileNotFound, operation, pattern);
    }
    folder_path = full->substr(0, last + 1);
    mask = full->substr(last + 1);
  }

  const auto folder = paths_.Locate(folder_path);
  if (!folder && folder.error().code == Errc::kBadPathname) return folder.error();
  if (!folder || !folder->exists) {
    return WindowsError(Errc::kPathNotFound, kErrorPathNotFound, operation, pattern);
  }
  if (!IsFolderLocation(*folder)) {
    return WindowsError(Errc::kNotADirectory, kErrorDirectory, operation, pattern);
  }
  if (folder_out) *folder_out = *folder;
  const FindMask matcher(mask);
  if (matcher.Empty()) {
    return WindowsError(Errc::kFileNotFound, kErrorFileNotFound, operation, pattern);
  }
  const auto names = paths_.ListFolder(*folder);
  if (!names) return names.error();

  std::vector<FindEntry> found;
  const auto add = [&](const std::string& name, const std::string& host) {
    struct stat status {};
    if (::lstat(host.c_str(), &status) != 0) return;  // gone since the listing
    FindEntry entry;
    entry.name = name;
    entry.attributes = AttributesOf(name, host, status);
    struct stat target = status;
    if (S_ISLNK(status.st_mode)) ::stat(host.c_str(), &target);
    entry.size = S_ISDIR(target.st_mode) ? 0 : static_cast<std::uint64_t>(target.st_size);
    entry.last_write = ToFileTime(target.st_mtim);
    found.push_back(std::move(entry));
  };
  if (!folder->is_root) {
    if (matcher.MatchesDotEntry(".")) add(".", folder->host);
    if (matcher.MatchesDotEntry("..")) add("..", folder->parent);
  }
  std::vector<std::pair<std::u16string, std::string>> sorted;
  for (const std::string& name : *names) {
    if (IsWindowsName(name) && matcher.Matches(name)) {
      sorted.emplace_back(Utf8ToUtf16(UpperCase(name)), name);
    }
  }
  std::sort(sorted.begin(), sorted.end());
  for (const auto& [key, name] : sorted) add(name, JoinHostPath(folder->host, name));
  if (found.empty()) {
    return WindowsError(Errc::kFileNotFound, kErrorFileNotFound, operation, pattern);
  }
  return found;
}

Result<std::vector<FindEntry>> PrefixFileSystem::FindFiles(std::string_view pattern) {
  return Search(pattern, "FindFirstFile", nullptr);
}

Status PrefixFileSystem::MoveFile(std::string_view from, std::string_view to) {
  if (auto fault = InjectedFault(*faults_, FaultOperation::kMoveFile, from)) return *fault;
  const auto source = paths_.Locate(from);
  if (!source) return source.error();
  if (!source->exists || source->is_root) {
    return WindowsError(Errc::kFileNotFound, kErrorFileNotFound, "MoveFile", from);
  }
  const auto target = paths_.Locate(to);
  if (!target) return target.error();
  std::string target_host = target->host;
  if (target->exists || target->is_root) {
    const bool same_entry = target->status.st_dev == source->status.st_dev &&
                            target->status.st_ino == source->status.st_ino &&
                            target->parent == source->parent;
    if (!same_entry) {
      return WindowsError(Errc::kAlreadyExists, kErrorAlreadyExists, "MoveFile", to);
    }
    // Only the letter case changes: the name given is the new name.
    const auto full = paths_.FullPath(to);
    target_host = JoinHostPath(source->parent, full->substr(full->rfind('\\') + 1));
    if (target_host == source->host) return {};
  }
  const std::string source_folder = source->host + "/";
  if (target_host.starts_with(source_folder)) {  // a folder into itself
    return WindowsError(Errc::kAccessDenied, kErrorAccessDenied, "MoveFile", to);
  }
  if (!S_ISDIR(source->status.st_mode) && open_files_->IsOpen(source->status)) {
    return WindowsError(Errc::kBusy, kErrorSharingViolation, "MoveFile", from);
  }
  const int renamed =
      ::renameat2(AT_FDCWD, source->host.c_str(), AT_FDCWD, target_host.c_str(), RENAME_NOREPLACE);
  const int error = errno;
  paths_.Invalidate(source->parent);
  paths_.Invalidate(target->parent);
  if (renamed != 0) return FromErrno(error, "MoveFile", from);
  return {};
}

Status PrefixFileSystem::DeleteSilently(std::string_view pattern) {
  if (auto fault = InjectedFault(*faults_, FaultOperation::kSHFileOperation, pattern))
    return *fault;
  HostLocation folder;
  const auto matches = Search(pattern, "SHFileOperation", &folder);
  if (!matches) return matches.error();

  const int folder_fd = ::open(folder.host.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder_fd < 0) return FromErrno(errno, "SHFileOperation", pattern);
  Status outcome;
  const std::string shown_folder =
      folder.windows_path.back() == '\\'
          ? folder.windows_path.substr(0, folder.windows_path.size() - 1)
          : folder.windows_path;
  for (const FindEntry& entry : *matches) {
    if (entry.name == "." || entry.name == "..") continue;
    const std::string shown = shown_folder + "\\" + entry.name;
    struct stat status {};
    if (::fstatat(folder_fd, entry.name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) continue;
    Status removed;
    if (S_ISDIR(status.st_mode)) {
      removed = RemoveTree(folder_fd, entry.name, shown, *open_files_);
    } else if (!S_ISLNK(status.st_mode) && IsReadOnly(status)) {
      removed = WindowsError(Errc::kAccessDenied, kErrorAccessDenied, "SHFileOperation", shown,
                             "read-only file");
    } else if (open_files_->IsOpen(status)) {
      removed = WindowsError(Errc::kBusy, kErrorSharingViolation, "SHFileOperation", shown);
    } else if (::unlinkat(folder_fd, entry.name.c_str(), 0) != 0) {
      removed = FromErrno(errno, "SHFileOperation", shown);
    }
    if (!removed && outcome) outcome = removed;
  }
  ::close(folder_fd);
  paths_.Invalidate(folder.host);
  return outcome;
}

Status PrefixFileSystem::RemoveFile(std::string_view path) {
  if (auto fault = InjectedFault(*faults_, FaultOperation::kDeleteFile, path)) return *fault;
  const auto location = paths_.Locate(path);
  if (!location) return location.error();
  if (!location->exists || location->is_root) {
    return WindowsError(Errc::kFileNotFound, kErrorFileNotFound, "DeleteFile", path);
  }
  if (const Status refused = RefusedAsNotPlain(location->status, "DeleteFile", path); !refused) {
    return refused;
  }
  if (open_files_->IsOpen(location->status)) {
    return WindowsError(Errc::kBusy, kErrorSharingViolation, "DeleteFile", path);
  }
  const int removed = ::unlink(location->host.c_str());
  const int error = errno;
  paths_.Invalidate(location->parent);
  if (removed != 0) return FromErrno(error, "DeleteFile", path);
  return {};
}

Status PrefixFileSystem::CreateDirectory(std::string_view path) {
  if (auto fault = InjectedFault(*faults_, FaultOperation::kCreateDirectory, path)) return *fault;
  const auto location = paths_.Locate(path);
  if (!location) return location.error();
  if (location->exists || location->is_root) {
    return WindowsError(Errc::kAlreadyExists, kErrorAlreadyExists, "CreateDirectory", path);
  }
  const int made = ::mkdir(location->host.c_str(), 0777);
  const int error = errno;
  paths_.Invalidate(location->parent);
  if (made != 0) return FromErrno(error, "CreateDirectory", path);
  return {};
}

Result<std::unique_ptr<File>> PrefixFileSystem::OpenFile(std::string_view path, OpenMode mode,
                                                         std::uint32_t attributes) {
  if (auto fault = InjectedFault(*faults_, FaultOperation::kCreateFile, path)) return *fault;
  const auto location = paths_.Locate(path);
  if (!location) return location.error();
  if (location->is_root || (location->exists && IsFolderLocation(*location))) {
    return WindowsError(Errc::kAccessDenied, kErrorAccessDenied, "CreateFile", path);
  }
  if (mode == OpenMode::kRead && !location->exists) {
    return WindowsError(Errc::kFileNotFound, kErrorFileNotFound, "CreateFile", path);
  }

  int fd = -1;
  if (mode == OpenMode::kRead) {
    fd = ::open(location->host.c_str(), O_RDONLY | O_CLOEXEC);
  } else {
    // The file is made anew: a plain file of the name is removed first, and
    // the creation fails rather than follow whatever stands there by then.
    if (location->exists) {
      if (const Status refused = RefusedAsNotPlain(location->status, "CreateFile", path);
          !refused) {
        return refused.error();
      }
      if (open_files_->IsOpen(location->status)) {
        return WindowsError(Errc::kBusy, kErrorSharingViolation, "CreateFile", path);
      }
      if (::unlink(location->host.c_str()) != 0) return FromErrno(errno, "CreateFile", path);
    }
    fd = ::open(location->host.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    paths_.Invalidate(location->parent);
  }
  if (fd < 0) return FromErrno(errno, "CreateFile", path);

  struct stat status {};
  ::fstat(fd, &status);
  const OpenFiles::Key key{status.st_dev, status.st_ino};
  if (!open_files_->TryOpen(key, mode)) {
    ::close(fd);
    return WindowsError(Errc::kBusy, kErrorSharingViolation, "CreateFile", path);
  }
  if (mode == OpenMode::kCreateAlways && (attributes & attr::kReadOnly)) {
    ::fchmod(fd, status.st_mode & 07555);  // the handle itself keeps its writing right
  }
  return std::unique_ptr<File>(
      std::make_unique<PrefixFile>(fd, location->windows_path, mode, open_files_, key, faults_));
}

std::string PrefixFileSystem::CurrentDirectory() { return paths_.CurrentDirectory(); }

Status PrefixFileSystem::SetCurrentDirectory(std::string_view path) {
  const auto location = paths_.Locate(path);
  if (!location) return location.error();
  if (!location->exists) {
    return WindowsError(Errc::kFileNotFound, kErrorFileNotFound, "SetCurrentDirectory", path);
  }
  if (!IsFolderLocation(*location)) {
    return WindowsError(Errc::kNotADirectory, kErrorDirectory, "SetCurrentDirectory", path);
  }
  paths_.SetCurrentDirectory(location->windows_path);
  return {};
}

Result<DiskSpace> PrefixFileSystem::GetDiskFreeSpace(std::string_view root) {
  const auto full = paths_.FullPath(root);
  if (!full) return full.error();
  const char drive = (*full)[0];
  if (const auto it = disk_overrides_.find(drive); it != disk_overrides_.end()) {
    if (!it->second) {
      return MakeError(Errc::kIo, "GetDiskFreeSpaceEx", std::string(root), 0,
                       "fails by the machine's facts");
    }
    return *it->second;
  }
  const auto host = paths_.DriveRoot(drive);
  if (!host) {
    return WindowsError(Errc::kPathNotFound, kErrorPathNotFound, "GetDiskFreeSpaceEx", root);
  }
  struct statvfs volume {};
  if (::statvfs(host->c_str(), &volume) != 0) {
    return FromErrno(errno, "GetDiskFreeSpaceEx", root);
  }
  DiskSpace space;
  space.free_bytes = static_cast<std::uint64_t>(volume.f_bfree) * volume.f_frsize;
  space.total_bytes = static_cast<std::uint64_t>(volume.f_blocks) * volume.f_frsize;
  return space;
}

bool PrefixFileSystem::IsFixedDrive(std::string_view root) {
  const auto full = paths_.FullPath(root);
  return full && paths_.DriveRoot((*full)[0]).has_value();
}

void PrefixFileSystem::SetDiskSpaceOverride(char drive, std::optional<DiskSpace> space) {
  disk_overrides_[static_cast<char>(std::toupper(static_cast<unsigned char>(drive)))] = space;
}

void PrefixFileSystem::ClearDiskSpaceOverride(char drive) {
  disk_overrides_.erase(static_cast<char>(std::toupper(static_cast<unsigned char>(drive))));
}

}  // namespace platform::posix

namespace platform {

namespace {

class HostOutputFile final : public OutputFile {
 public:
  HostOutputFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~HostOutputFile() override { ::close(fd_); }
  HostOutputFile(const HostOutputFile&) = delete;
  HostOutputFile& operator=(const HostOutputFile&) = delete;

  Status Write(std::string_view bytes) override {
    while (!bytes.empty()) {
      const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) return posix::FromErrno(written < 0 ? errno : EIO, "WriteFile", path_);
      bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
  }

 private:
  int fd_;
  std::string path_;
};

}  // namespace

// The host's own file system, with the rules the prefix's files are made by.
Result<std::unique_ptr<OutputFile>> CreateOutputFile(const std::filesystem::path& path) {
  const std::string name = path.string();
  struct stat status {};
  if (::lstat(name.c_str(), &status) == 0) {
    if (const Status refused = posix::RefusedAsNotPlain(status, "CreateFile", name); !refused) {
      return refused.error();
    }
    if (::unlink(name.c_str()) != 0) return posix::FromErrno(errno, "CreateFile", name);
  }
  const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return posix::FromErrno(errno, "CreateFile", name);
  return std::unique_ptr<OutputFile>(std::make_unique<HostOutputFile>(fd, name));
}

}  // namespace platform
