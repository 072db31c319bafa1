// Registry service: the RegOpenKeyEx / RegCreateKeyEx / RegQueryValueEx /
// RegSetValueEx / RegCloseKey family, with text in UTF-8.
//
// Every key below HKEY_LOCAL_MACHINE\Software is seen through the 32-bit view
// (KEY_WOW64_32KEY), as the 32-bit game and its add-on write it; on a 64-bit
// Windows that is HKLM\Software\Wow6432Node, except the shared
// HKLM\Software\Classes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/result.h"

namespace platform {

enum class RootKey { kClassesRoot, kCurrentUser, kLocalMachine, kUsers, kCurrentConfig };

enum class KeyAccess {
  kRead,  // KEY_READ
  kAll,   // KEY_ALL_ACCESS
};

// Value types, numbered as Windows numbers them.
namespace reg_type {
inline constexpr std::uint32_t kNone = 0;
inline constexpr std::uint32_t kSz = 1;
inline constexpr std::uint32_t kExpandSz = 2;
inline constexpr std::uint32_t kBinary = 3;
inline constexpr std::uint32_t kDword = 4;
inline constexpr std::uint32_t kDwordBigEndian = 5;
inline constexpr std::uint32_t kLink = 6;
inline constexpr std::uint32_t kMultiSz = 7;
inline constexpr std::uint32_t kQword = 11;
}  // namespace reg_type

struct RegistryValue {
  std::uint32_t type = reg_type::kNone;
  // The stored bytes; string types hold UTF-16LE with whatever NULs were stored.
  std::vector<std::uint8_t> data;
  // For kSz and kExpandSz: the text up to the first NUL, in UTF-8 (unexpanded).
  std::string Text() const;
};

// A key's full name for messages: "HKEY_CURRENT_USER\Software\X" (the root alone
// for an empty path).
std::string KeyDisplayName(RootKey root, std::string_view path);

class Registry {
 public:
  using Key = std::uint64_t;  // an open key; 0 is never a valid key

  virtual ~Registry() = default;

  // RegOpenKeyEx. A leading backslash is the caller's to remove; a trailing one
  // is accepted. Missing key: kFileNotFound, nothing is created.
  virtual Result<Key> OpenKey(RootKey root, std::string_view path, KeyAccess access) = 0;
  // RegCreateKeyEx, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS: opens the key,
  // creating it and any missing parents.
  virtual Result<Key> CreateKey(RootKey root, std::string_view path) = 0;
  // RegQueryValueEx; an empty name is the default value. Missing value:
  // kFileNotFound.
  virtual Result<RegistryValue> QueryValue(Key key, std::string_view name) = 0;
  // RegSetValueEx with REG_SZ: the text and one terminating NUL.
  virtual Status SetStringValue(Key key, std::string_view name, std::string_view text) = 0;
  // RegCloseKey. Changes are durable once the last key of a write is closed.
  virtual void CloseKey(Key key) = 0;
};

}  // namespace platform
