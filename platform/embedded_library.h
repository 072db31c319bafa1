// The image of the 7-Zip library that the program carries inside its own
// executable (the data resource "7ZIP_LIBRARY" on Windows; on Linux the
// shared object, built into the program's read-only data). It is never
// written to disk.
#pragma once

#include <cstdint>
#include <span>

namespace platform {

// The image's bytes; empty when the executable carries none.
std::span<const std::uint8_t> EmbeddedArchiveLibrary();

}  // namespace platform
