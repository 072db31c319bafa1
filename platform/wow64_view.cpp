#include "platform/wow64_view.h"

#include "platform/text.h"

namespace platform {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The name at text[pos] up to the next separator.
std::string_view NameAt(std::string_view text, std::size_t pos) {
  if (pos >= text.size()) return {};
  const std::size_t end = text.find_first_of("\\/", pos);
  return text.substr(pos, end == std::string_view::npos ? end : end - pos);
}

}  // namespace

bool ExemptFromWow64Redirection(std::string_view first, std::string_view second) {
  for (const char* exempt : {"catroot", "catroot2", "driverstore", "logfiles", "spool"}) {
    if (EqualsIgnoreCase(first, exempt)) return true;
  }
  return EqualsIgnoreCase(first, "drivers") && EqualsIgnoreCase(second, "etc");
}

std::optional<std::string> Wow64ViewPath(std::string_view path, std::string_view windows_folder,
                                         std::string_view wow64_folder) {
  if (wow64_folder.empty() || windows_folder.empty() || path.size() <= windows_folder.size() ||
      !EqualsIgnoreCase(path.substr(0, windows_folder.size()), windows_folder) ||
      !IsSeparator(path[windows_folder.size()])) {
    return std::nullopt;
  }
  const std::size_t name_start = windows_folder.size() + 1;
  const std::string_view name = NameAt(path, name_start);
  const std::size_t rest = name_start + name.size();  // the separator after the name, or the end
  if (EqualsIgnoreCase(name, "sysnative")) {
    return std::string(windows_folder) + "\\System32" + std::string(path.substr(rest));
  }
  if (!EqualsIgnoreCase(name, "system32")) return std::nullopt;
  const std::string_view first = NameAt(path, rest + 1);
  const std::string_view second = NameAt(path, rest + 1 + first.size() + 1);
  if (ExemptFromWow64Redirection(first, second)) return std::nullopt;
  return std::string(wow64_folder) + std::string(path.substr(rest));
}

}  // namespace platform
