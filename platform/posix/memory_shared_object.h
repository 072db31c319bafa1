// Loads a shared object from bytes in memory: the bytes go into an anonymous
// in-memory file (memfd), which the dynamic loader opens through /proc. No
// file is written to disk.
#pragma once

#include <cstdint>
#include <span>

namespace platform::posix {

// The dlopen handle, or nullptr.
void* LoadSharedObjectFromMemory(std::span<const std::uint8_t> image);

}  // namespace platform::posix
