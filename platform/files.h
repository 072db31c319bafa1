// Files and folders service. Paths are Windows paths ("C:\...", relative
// paths against the process's current folder) in UTF-8; the backends use the
// wide-character functions.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/result.h"

namespace platform {

namespace file_attribute {
inline constexpr std::uint32_t kReadOnly = 0x01;
inline constexpr std::uint32_t kHidden = 0x02;
inline constexpr std::uint32_t kSystem = 0x04;
inline constexpr std::uint32_t kVolumeLabel = 0x08;
inline constexpr std::uint32_t kDirectory = 0x10;
inline constexpr std::uint32_t kArchive = 0x20;
inline constexpr std::uint32_t kNormal = 0x80;
inline constexpr std::uint32_t kReparsePoint = 0x400;
}  // namespace file_attribute

// 100-nanosecond intervals since 1601-01-01 UTC (a FILETIME).
using FileTime = std::uint64_t;

struct FindEntry {
  std::string name;  // the long name, in its stored letter case
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;
  FileTime last_write = 0;
};

struct DiskSpace {
  std::uint64_t free_bytes = 0;  // total free bytes of the volume
  std::uint64_t total_bytes = 0;
};

// What a path names, as far as its existence goes: nothing, a folder, or a
// file (anything that is not a folder).
enum class EntryType { kAbsent, kFile, kFolder };

enum class SeekOrigin { kBegin = 0, kCurrent = 1, kEnd = 2 };

// An open file (CreateFile handle). Closed when destroyed.
class File {
 public:
  virtual ~File() = default;
  // ReadFile: fewer bytes than asked only at the end of the file.
  virtual Result<std::size_t> Read(void* buffer, std::size_t size) = 0;
  virtual Result<std::size_t> Write(const void* data, std::size_t size) = 0;
  // SetFilePointerEx; returns the new position.
  virtual Result<std::uint64_t> Seek(std::int64_t offset, SeekOrigin origin) = 0;
  virtual Result<std::uint64_t> Size() = 0;
  // SetFileTime, last write time only.
  virtual Status SetLastWriteTime(FileTime time) = 0;
};

enum class OpenMode {
  kRead,  // GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING
  // GENERIC_READ|GENERIC_WRITE, not shared: a new file, or a plain file of
  // that name emptied, as CREATE_ALWAYS. Never writes through a link: a name
  // that is a symbolic link, junction or other reparse point, a file with
  // other hard links, a folder or a read-only file is refused
  // (kAccessDenied) and left as it is.
  kCreateAlways
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // GetFileAttributes; nullopt where it answers INVALID_FILE_ATTRIBUTES.
  virtual std::optional<std::uint32_t> GetAttributes(std::string_view path) = 0;
  // What GetAttributes would say of the path's existence and its folder bit,
  // answered from one listing of the path's folder, kept fresh: a folder
  // changed since it was listed is listed again before a "missing" answer.
  // Many paths in few folders cost a few listings, not a call each.
  virtual EntryType TypeOf(std::string_view path) = 0;
  // SetFileAttributes.
  virtual Status SetAttributes(std::string_view path, std::uint32_t attributes) = 0;
  // FindFirstFile / FindNextFile / FindClose over a pattern whose last
  // component may hold "*" and "?": every entry in the order the volume
  // returns it, "." and ".." included where the folder has them. No match:
  // kFileNotFound; a missing folder on the way: kPathNotFound.
  virtual Result<std::vector<FindEntry>> FindFiles(std::string_view pattern) = 0;
  // MoveFile: renames a file or a folder; fails when the target exists.
  virtual Status MoveFile(std::string_view from, std::string_view to) = 0;
  // SHFileOperation(FO_DELETE) with FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR |
  // FOF_NOERRORUI | FOF_SILENT and no FOF_ALLOWUNDO: deletes the files and
  // folder trees matching the pattern; never deletes through a link: the
  // simulated machine removes a link itself, the Windows backend deletes
  // nothing when a match is or holds a link (kAccessDenied), the shell being
  // unable to remove a host link itself under Wine. Nothing matching:
  // kFileNotFound.
  virtual Status DeleteSilently(std::string_view pattern) = 0;
  // Deletes the one file of exactly that name (no wildcard), and nothing
  // else: a folder, a symbolic link, junction or other reparse point, a file
  // with other hard links or a read-only file is refused (kAccessDenied) and
  // left in place. Missing: kFileNotFound.
  virtual Status RemoveFile(std::string_view path) = 0;
  // CreateDirectory (one level).
  virtual Status CreateDirectory(std::string_view path) = 0;
  // CreateFile.
  virtual Result<std::unique_ptr<File>> OpenFile(std::string_view path, OpenMode mode,
                                                 std::uint32_t attributes = 0) = 0;
  // GetCurrentDirectory / SetCurrentDirectory (no trailing backslash except at a root).
  virtual std::string CurrentDirectory() = 0;
  virtual Status SetCurrentDirectory(std::string_view path) = 0;
  // GetDiskFreeSpaceEx on a root such as "C:\".
  virtual Result<DiskSpace> GetDiskFreeSpace(std::string_view root) = 0;
  // GetDriveType(root) == DRIVE_FIXED.
  virtual bool IsFixedDrive(std::string_view root) = 0;

  // Conveniences over the calls above, shared by both backends.
  bool Exists(std::string_view path) { return GetAttributes(path).has_value(); }
  bool IsFolder(std::string_view path);
  bool IsFile(std::string_view path);
  // The whole content, as bytes.
  Result<std::string> ReadAll(std::string_view path);
  // Replaces the file with the bytes.
  Status WriteAll(std::string_view path, std::string_view bytes);
};

}  // namespace platform
