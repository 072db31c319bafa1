// The repairs' registry writes: one batch of string values for one key,
// written through a registry component of its own (the window's instances
// keep their queued values for good, so none of them can serve twice).
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "components/mRegistry.h"

namespace repairs {

using StringValues = std::vector<std::pair<std::string, std::string>>;

// TmRegistry::WriteValues of the pairs, in order, below `root`: the key is
// created with its missing parents when absent; false, with nothing written,
// when it cannot be opened or created; a failed write raises the registry
// error "Failed to set data for '<name>'", the values before it kept.
[[nodiscard]] bool WriteStringValues(platform::Registry& registry, TmRootKey root,
                                     std::string_view key, const StringValues& values);

}  // namespace repairs
