// Files and folders over the wide-character file functions, SHFileOperationW
// for silent deletions.
#pragma once

#include "platform/files.h"

namespace platform::win32 {

class Win32FileSystem final : public FileSystem {
 public:
  std::optional<std::uint32_t> GetAttributes(std::string_view path) override;
  Status SetAttributes(std::string_view path, std::uint32_t attributes) override;
  Result<std::vector<FindEntry>> FindFiles(std::string_view pattern) override;
  Status MoveFile(std::string_view from, std::string_view to) override;
  Status DeleteSilently(std::string_view pattern) override;
  Status CreateDirectory(std::string_view path) override;
  Result<std::unique_ptr<File>> OpenFile(std::string_view path, OpenMode mode,
                                         std::uint32_t attributes) override;
  std::string CurrentDirectory() override;
  Status SetCurrentDirectory(std::string_view path) override;
  Result<DiskSpace> GetDiskFreeSpace(std::string_view root) override;
  bool IsFixedDrive(std::string_view root) override;
};

}  // namespace platform::win32
