// Registry over RegOpenKeyExW / RegCreateKeyExW / RegQueryValueExW /
// RegSetValueExW. Every open asks for the 32-bit view (KEY_WOW64_32KEY), so
// HKLM\Software is seen as the 32-bit game and its add-on see it.
#pragma once

#include "platform/registry.h"

namespace platform::win32 {

class Win32Registry final : public Registry {
 public:
  Result<Key> OpenKey(RootKey root, std::string_view path, KeyAccess access) override;
  Result<Key> CreateKey(RootKey root, std::string_view path) override;
  Result<RegistryValue> QueryValue(Key key, std::string_view name) override;
  Status SetStringValue(Key key, std::string_view name, std::string_view text) override;
  void CloseKey(Key key) override;
};

}  // namespace platform::win32
