// INI files over GetPrivateProfileStringW / WritePrivateProfileStringW. Windows
// reads and writes a file without a byte-order mark in the ANSI code page,
// Windows-1252 on the French and English systems the program serves. A file
// whose path is longer than those functions take is read and written with the
// same rules (platform/profile_rules.h) through the long form of its path.
#pragma once

#include "platform/profile.h"

namespace platform::win32 {

class Win32ProfileStrings final : public ProfileStrings {
 public:
  std::string GetString(std::string_view section, std::string_view key, std::string_view fallback,
                        std::size_t buffer_size, std::string_view file) override;
  std::vector<std::string> GetKeyNames(std::string_view section, std::string_view file) override;
  Status WriteString(std::string_view section, std::string_view key, std::string_view value,
                     std::string_view file) override;
};

}  // namespace platform::win32
