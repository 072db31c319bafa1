#include "archive/item_path.h"

#include "platform/device_names.h"

namespace archive {

std::optional<std::string> SafeRelativePath(std::string_view item_path) {
  if (item_path.empty() || item_path.front() == '\\' || item_path.front() == '/' ||
      item_path.find(':') != std::string_view::npos) {
    return std::nullopt;
  }
  std::string relative;
  std::size_t start = 0;
  while (start <= item_path.size()) {
    std::size_t end = item_path.find_first_of("\\/", start);
    if (end == std::string_view::npos) end = item_path.size();
    const std::string_view component = item_path.substr(start, end - start);
    // Windows drops trailing dots and blanks from a name, so "..." and ". ."
    // would reach the parent folder too: only "." itself is harmless.
    if (component != "." && !component.empty() &&
        component.find_first_not_of(". ") == std::string_view::npos) {
      return std::nullopt;
    }
    // A device name would write to the device, not to a file of the folder.
    if (platform::IsDeviceName(component)) return std::nullopt;
    if (!component.empty() && component != ".") {
      if (!relative.empty()) relative += '\\';
      relative += component;
    }
    start = end + 1;
  }
  if (relative.empty()) return std::nullopt;
  return relative;
}

bool IsPlainFileName(std::string_view name) {
  constexpr std::size_t kLongestName = 255;
  if (name.empty() || name.size() > kLongestName || name.back() == '.' || name.back() == ' ') {
    return false;
  }
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20 ||
        std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos) {
      return false;
    }
  }
  return !platform::IsDeviceName(name);
}

std::string_view LastComponent(std::string_view path) {
  const std::size_t separator = path.find_last_of("\\/:");
  return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

bool IsSymbolicLink(std::uint32_t attributes) {
  constexpr std::uint32_t kReparsePoint = 0x400;
  constexpr std::uint32_t kPosixModeFollows = 0x8000;
  constexpr std::uint32_t kPosixTypeMask = 0170000;
  constexpr std::uint32_t kPosixLink = 0120000;
  if (attributes & kReparsePoint) return true;
  return (attributes & kPosixModeFollows) && ((attributes >> 16) & kPosixTypeMask) == kPosixLink;
}

}  // namespace archive
