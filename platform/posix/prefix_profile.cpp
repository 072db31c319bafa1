#include "platform/posix/prefix_profile.h"

#include "platform/profile_rules.h"

namespace platform::posix {

std::string PrefixProfileStrings::PathOf(std::string_view file) const {
  if (file.find_first_of("\\/:") != std::string_view::npos) return std::string(file);
  return windows_folder_ + "\\" + std::string(file);
}

std::string PrefixProfileStrings::Bytes(std::string_view file) {
  if (file.empty()) return {};
  auto read = files_.ReadAll(PathOf(file));
  return read ? std::move(*read) : std::string();
}

std::string PrefixProfileStrings::GetString(std::string_view section, std::string_view key,
                                            std::string_view fallback, std::size_t buffer_size,
                                            std::string_view file) {
  return LookupProfileString(Bytes(file), section, key, fallback, buffer_size);
}

std::vector<std::string> PrefixProfileStrings::GetKeyNames(std::string_view section,
                                                           std::string_view file) {
  return ProfileKeyNames(Bytes(file), section);
}

Status PrefixProfileStrings::WriteString(std::string_view section, std::string_view key,
                                         std::string_view value, std::string_view file) {
  constexpr char kOperation[] = "WritePrivateProfileString";
  if (file.empty()) return MakeError(Errc::kBadPathname, kOperation, "");
  const std::string path = PathOf(file);
  std::string bytes;
  if (auto read = files_.ReadAll(path)) {
    bytes = std::move(*read);
  } else if (read.error().code != Errc::kFileNotFound) {
    return read.error();  // never replace a file that could not be read
  }
  const auto updated = WriteProfileString(bytes, section, key, value);
  if (!updated) {
    return MakeError(Errc::kInvalidData, kOperation, path, 0,
                     "[" + std::string(section) + "] " + std::string(key) + " cannot be stored");
  }
  return files_.WriteAll(path, *updated);
}

}  // namespace platform::posix
