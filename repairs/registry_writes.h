// The repairs' registry writes: create-or-open one key, set string values in
// order, close it.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/registry.h"

namespace repairs {

using StringValues = std::vector<std::pair<std::string, std::string>>;

// Creates or opens `key_path` below `root` (a leading backslash is dropped),
// with any missing parents, and writes each pair as a REG_SZ value in order.
// False, with nothing written, when the key cannot be created or opened. A
// failed write raises the registry error "Failed to set data for '<name>'":
// the values written before it stay, the later ones are not written. The key
// is closed in every case.
bool WriteStringValues(platform::Registry& registry, platform::RootKey root,
                       std::string_view key_path, const StringValues& values);

}  // namespace repairs
