// Files and folders over the wide-character file functions, SHFileOperationW
// for silent deletions. A file is created or deleted by name only when the
// name is a plain file: opened with FILE_FLAG_OPEN_REPARSE_POINT, checked by
// its handle (no reparse point, one link, its final path its own name), and
// deleted through that same handle. Paths are seen as the 32-bit game sees them: the
// 64-bit build turns System32 and Sysnative into the folders a 32-bit program
// opens by those names (platform/wow64_view.h).
#pragma once

#include <optional>
#include <string>

#include "platform/files.h"
#include "platform/win32/folder_listings.h"

namespace platform::win32 {

class Win32FileSystem final : public FileSystem {
 public:
  Win32FileSystem();

  std::optional<std::uint32_t> GetAttributes(std::string_view path) override;
  EntryType TypeOf(std::string_view path) override;
  Status SetAttributes(std::string_view path, std::uint32_t attributes) override;
  Result<std::vector<FindEntry>> FindFiles(std::string_view pattern) override;
  Status MoveFile(std::string_view from, std::string_view to) override;
  Status DeleteSilently(std::string_view pattern) override;
  Status RemoveFile(std::string_view path) override;
  Status CreateDirectory(std::string_view path) override;
  Result<std::unique_ptr<File>> OpenFile(std::string_view path, OpenMode mode,
                                         std::uint32_t attributes) override;
  std::string CurrentDirectory() override;
  Status SetCurrentDirectory(std::string_view path) override;
  Result<DiskSpace> GetDiskFreeSpace(std::string_view root) override;
  bool IsFixedDrive(std::string_view root) override;

 private:
  // `path` in the 32-bit view, as the wide characters the API takes.
  std::optional<std::wstring> Wide(std::string_view path) const;

  std::string windows_folder_, wow64_folder_;  // the latter empty: no redirection
  FolderListings listings_;
};

}  // namespace platform::win32
