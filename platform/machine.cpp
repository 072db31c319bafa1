#include "platform/machine.h"

namespace platform {

std::string VersionInfo::String(std::string_view name) const {
  for (const auto& [key, value] : strings) {
    if (key == name) return value;
  }
  return {};
}

}  // namespace platform
