// The simulated machine's files and folders: Windows calls answered from a Wine
// prefix folder, with Windows' (and Wine's) answers.
//
// Simulated:
// - paths as PrefixPaths resolves them (drives, letter case, the 32-bit view);
// - attributes as Wine derives them: folder, read-only when no write bit is
//   set, hidden for names starting with a dot, archive for files, reparse point
//   for symbolic links; SetAttributes stores only the read-only bit;
// - the directory search: FindMask's wildcard rules, "." and ".." first in a
//   folder that is not a drive's root, then the names in ascending order of
//   their upper-case form, as NTFS returns them;
// - MoveFile, which never replaces an existing target (a change of letter case
//   only is a rename);
// - the shell's silent deletion: files and whole folder trees matching a
//   pattern; a symbolic link is removed itself, never followed; a read-only
//   file named by the pattern is refused (ERROR_ACCESS_DENIED), while read-only
//   files inside a deleted folder go with it, as Wine's SHFileOperation does;
// - the deletion of one file by name (DeleteFile), and the creation of a file
//   (CREATE_ALWAYS), both refusing a name that is a symbolic link, a folder, a
//   hard-linked or a read-only file, as the Windows backend does;
// - sharing: a file opened for reading (shared for reading) or created (not
//   shared) cannot be opened against that sharing, deleted or renamed while
//   open (ERROR_SHARING_VIOLATION, Errc::kBusy);
// - disk space from the host volume, or as the machine's facts set it;
// - failures on purpose through faults(): "MoveFile", "SHFileOperation",
//   "DeleteFile", "CreateFile", "ReadFile", "WriteFile", "CreateDirectory".
//
// Not simulated: hidden and system bits set by a program, 8.3 short names,
// alternate data streams, moving across host volumes, drive types other than
// fixed.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <optional>

#include "platform/files.h"
#include "platform/posix/faults.h"
#include "platform/posix/prefix_paths.h"

namespace platform::posix {

class PrefixFileSystem final : public FileSystem {
 public:
  // Its calls fail where `faults` says (a fresh injector of its own when none is given).
  explicit PrefixFileSystem(std::filesystem::path prefix, std::shared_ptr<FaultInjector> faults =
                                                              std::make_shared<FaultInjector>());
  ~PrefixFileSystem() override;

  std::optional<std::uint32_t> GetAttributes(std::string_view path) override;
  EntryType TypeOf(std::string_view path) override { return paths_.TypeOf(path); }
  Status SetAttributes(std::string_view path, std::uint32_t attributes) override;
  Result<std::vector<FindEntry>> FindFiles(std::string_view pattern) override;
  Status MoveFile(std::string_view from, std::string_view to) override;
  Status DeleteSilently(std::string_view pattern) override;
  Status RemoveFile(std::string_view path) override;
  Status CreateDirectory(std::string_view path) override;
  Result<std::unique_ptr<File>> OpenFile(std::string_view path, OpenMode mode,
                                         std::uint32_t attributes = 0) override;
  std::string CurrentDirectory() override;
  Status SetCurrentDirectory(std::string_view path) override;
  Result<DiskSpace> GetDiskFreeSpace(std::string_view root) override;
  bool IsFixedDrive(std::string_view root) override;

  // The host path of an existing file or folder.
  std::optional<std::filesystem::path> HostPath(std::string_view windows_path) {
    return paths_.HostPath(windows_path);
  }
  PrefixPaths& paths() { return paths_; }
  FaultInjector& faults() { return *faults_; }

  // What GetDiskFreeSpace answers for a drive from now on: that space, or a
  // failure when nullopt.
  void SetDiskSpaceOverride(char drive, std::optional<DiskSpace> space);
  void ClearDiskSpaceOverride(char drive);

  class OpenFiles;  // the sharing of the files open through this object

 private:
  Result<std::vector<FindEntry>> Search(std::string_view pattern, std::string_view operation,
                                        HostLocation* folder);

  PrefixPaths paths_;
  std::map<char, std::optional<DiskSpace>> disk_overrides_;
  std::shared_ptr<OpenFiles> open_files_;
  std::shared_ptr<FaultInjector> faults_;  // shared with the files it opens
};

}  // namespace platform::posix
