// INI files: the profile-string functions, with text in UTF-8 and files in
// Windows-1252 (a UTF-8 byte-order mark is skipped).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/result.h"

namespace platform {

class ProfileStrings {
 public:
  virtual ~ProfileStrings() = default;

  // GetPrivateProfileString(section, key, fallback, buffer, buffer_size, file):
  // the text copied into a buffer of buffer_size characters (at most
  // buffer_size - 1 of them), as Windows looks it up; a bare file name is
  // looked for in the Windows folder.
  virtual std::string GetString(std::string_view section, std::string_view key,
                                std::string_view fallback, std::size_t buffer_size,
                                std::string_view file) = 0;
  // GetPrivateProfileString(section, NULL, ...): the names of the section's
  // keys, in file order; none when the file or section is missing.
  virtual std::vector<std::string> GetKeyNames(std::string_view section, std::string_view file) = 0;
  // WritePrivateProfileString(section, key, value, file).
  virtual Status WriteString(std::string_view section, std::string_view key, std::string_view value,
                             std::string_view file) = 0;
};

}  // namespace platform
