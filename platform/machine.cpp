#include "platform/machine.h"

namespace platform {

std::string VersionInfo::String(std::string_view name) const {
  for (const auto& [key, value] : strings) {
    if (key == name) return value;
  }
  return {};
}

std::string VersionInfo::DottedFileVersion() const {
  if (!file_version) return {};
  const auto& v = *file_version;
  return std::to_string(v[0]) + "." + std::to_string(v[1]) + "." + std::to_string(v[2]) + "." +
         std::to_string(v[3]);
}

}  // namespace platform
