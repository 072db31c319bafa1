#include "platform/registry.h"

#include <iterator>

#include "platform/codepage.h"

namespace platform {

std::string KeyDisplayName(RootKey root, std::string_view path) {
  static constexpr const char* kNames[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",
                                           "HKEY_LOCAL_MACHINE", "HKEY_USERS",
                                           "HKEY_CURRENT_CONFIG"};
  const auto index = static_cast<std::size_t>(root);
  std::string name = index < std::size(kNames) ? kNames[index] : "HKEY_LOCAL_MACHINE";
  if (!path.empty()) name += "\\" + std::string(path);
  return name;
}

std::string RegistryValue::Text() const {
  std::u16string wide;
  for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
    const char16_t c = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    if (c == 0) break;
    wide += c;
  }
  return Utf16ToUtf8(wide);
}

}  // namespace platform
