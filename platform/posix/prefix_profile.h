// The simulated machine's profile strings: the INI rules of profile_rules.h
// over files reached through the machine's file system. A bare file name is
// looked for in the Windows folder; a missing, empty or unreadable file reads
// as the default. Writing reads the whole file, changes it as Windows does and
// writes it back.
#pragma once

#include <string>

#include "platform/files.h"
#include "platform/profile.h"

namespace platform::posix {

class PrefixProfileStrings final : public ProfileStrings {
 public:
  explicit PrefixProfileStrings(FileSystem& files, std::string windows_folder = "C:\\windows")
      : files_(files), windows_folder_(std::move(windows_folder)) {}

  std::string GetString(std::string_view section, std::string_view key, std::string_view fallback,
                        std::size_t buffer_size, std::string_view file) override;
  std::vector<std::string> GetKeyNames(std::string_view section, std::string_view file) override;
  // Fails when the file cannot be read (other than missing) or written, its
  // folder is missing, or the request cannot be stored (see WriteProfileString).
  Status WriteString(std::string_view section, std::string_view key, std::string_view value,
                     std::string_view file) override;

 private:
  std::string PathOf(std::string_view file) const;
  // The file's bytes; none when it is missing or unreadable.
  std::string Bytes(std::string_view file);

  FileSystem& files_;
  const std::string windows_folder_;
};

}  // namespace platform::posix
