#include "platform/win32/win32_registry.h"

#include "platform/win32/windows_api.h"

#include "platform/win32/win32_error.h"
#include "platform/win32/win32_text.h"

namespace platform::win32 {

namespace {

HKEY RootHandle(RootKey root) {
  switch (root) {
    case RootKey::kClassesRoot:
      return HKEY_CLASSES_ROOT;
    case RootKey::kCurrentUser:
      return HKEY_CURRENT_USER;
    case RootKey::kLocalMachine:
      return HKEY_LOCAL_MACHINE;
    case RootKey::kUsers:
      return HKEY_USERS;
    case RootKey::kCurrentConfig:
      return HKEY_CURRENT_CONFIG;
  }
  return HKEY_LOCAL_MACHINE;
}

HKEY Handle(Registry::Key key) { return reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(key)); }

Registry::Key FromHandle(HKEY key) {
  return static_cast<Registry::Key>(reinterpret_cast<std::uintptr_t>(key));
}

}  // namespace

Result<Registry::Key> Win32Registry::OpenKey(RootKey root, std::string_view path,
                                             KeyAccess access) {
  const auto wide = ToWide(path);
  if (!wide) return BadName("RegOpenKeyEx", KeyDisplayName(root, path));
  const REGSAM sam = (access == KeyAccess::kRead ? KEY_READ : KEY_ALL_ACCESS) | KEY_WOW64_32KEY;
  HKEY key = nullptr;
  const LSTATUS status = RegOpenKeyExW(RootHandle(root), wide->c_str(), 0, sam, &key);
  if (status != ERROR_SUCCESS)
    return Win32Error(status, "RegOpenKeyEx", KeyDisplayName(root, path));
  return FromHandle(key);
}

Result<Registry::Key> Win32Registry::CreateKey(RootKey root, std::string_view path) {
  const auto wide = ToWide(path);
  if (!wide) return BadName("RegCreateKeyEx", KeyDisplayName(root, path));
  HKEY key = nullptr;
  const LSTATUS status =
      RegCreateKeyExW(RootHandle(root), wide->c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key, nullptr);
  if (status != ERROR_SUCCESS)
    return Win32Error(status, "RegCreateKeyEx", KeyDisplayName(root, path));
  return FromHandle(key);
}

Result<RegistryValue> Win32Registry::QueryValue(Key key, std::string_view name) {
  const auto wide = ToWide(name);
  if (!wide) return BadName("RegQueryValueEx", name);
  RegistryValue value;
  // Type and size first, then the data; the value may grow in between, hence
  // the loop on ERROR_MORE_DATA.
  for (;;) {
    DWORD type = REG_NONE;
    DWORD size = 0;
    LSTATUS status = RegQueryValueExW(Handle(key), wide->c_str(), nullptr, &type, nullptr, &size);
    if (status != ERROR_SUCCESS) return Win32Error(status, "RegQueryValueEx", name);
    value.data.assign(size, 0);
    if (size == 0) {
      value.type = type;
      return value;
    }
    status = RegQueryValueExW(Handle(key), wide->c_str(), nullptr, &type, value.data.data(), &size);
    if (status == ERROR_MORE_DATA) continue;
    if (status != ERROR_SUCCESS) return Win32Error(status, "RegQueryValueEx", name);
    value.type = type;
    value.data.resize(size);
    return value;
  }
}

Status Win32Registry::SetStringValue(Key key, std::string_view name, std::string_view text) {
  const auto wide_name = ToWide(name);
  if (!wide_name) return BadName("RegSetValueEx", name);
  const auto wide_text = ToWide(text);
  if (!wide_text) return BadName("RegSetValueEx", name);
  // The stored size counts the terminating NUL.
  const DWORD bytes = static_cast<DWORD>((wide_text->size() + 1) * sizeof(wchar_t));
  const LSTATUS status = RegSetValueExW(Handle(key), wide_name->c_str(), 0, REG_SZ,
                                        reinterpret_cast<const BYTE*>(wide_text->c_str()), bytes);
  if (status != ERROR_SUCCESS) return Win32Error(status, "RegSetValueEx", name);
  return {};
}

void Win32Registry::CloseKey(Key key) {
  if (key != 0) RegCloseKey(Handle(key));
}

}  // namespace platform::win32
