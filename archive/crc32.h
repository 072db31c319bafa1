// The CRC-32 that 7z archives store for each item (reflected polynomial
// 0xEDB88320, initial and final value 0xFFFFFFFF), to check a written file.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/files.h"

namespace archive {

// Continues `crc` (0 to start) over the bytes.
std::uint32_t UpdateCrc32(std::uint32_t crc, std::string_view bytes);

// The CRC-32 of a file's content, read in pieces; nullopt when it cannot be read.
std::optional<std::uint32_t> FileCrc32(platform::FileSystem& files, std::string_view path);

}  // namespace archive
