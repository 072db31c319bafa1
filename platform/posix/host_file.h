// The simulated machine's own files read from the host: the registry files,
// the facts file and the processes file. Each is input anyone may have
// written, so what stands in a file's place is checked before it is read: a
// folder, a pipe or a device is refused (a pipe would block the open), and so
// is a file too large to be one of these, each with a message naming it.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/result.h"

namespace platform::posix {

// Far above any registry file Wine writes (tens of MiB for a large prefix).
inline constexpr std::size_t kMaxHostFileBytes = std::size_t{256} << 20;

// The whole file; nullopt when nothing of that name exists. `operation` names
// the failure ("LoadRegistryFile").
Result<std::optional<std::string>> ReadHostFile(const std::filesystem::path& file,
                                                std::string_view operation);

}  // namespace platform::posix
