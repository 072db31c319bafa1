// Version resources of executables and libraries, read with
// GetFileVersionInfoW / VerQueryValueW.
#pragma once

#include <optional>
#include <string_view>

#include "platform/machine.h"

namespace platform::win32 {

// nullopt when the file has no version resource or cannot be read.
std::optional<VersionInfo> ReadVersionResource(std::string_view path);

}  // namespace platform::win32
