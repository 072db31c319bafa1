// The headers of a Windows executable or library image (PE32 or PE32+), read
// from its file bytes: what the version reader and the in-memory loader both
// start from. Every read is bounded by the bytes given.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/byte_reader.h"

namespace platform {

struct PeDirectory {
  std::uint32_t rva = 0;
  std::uint32_t size = 0;
};

struct PeSection {
  std::uint32_t virtual_size = 0;
  std::uint32_t virtual_address = 0;
  std::uint32_t raw_size = 0;
  std::uint32_t raw_offset = 0;
  std::uint32_t characteristics = 0;
};

struct PeHeaders {
  std::uint32_t nt_offset = 0;
  bool is64 = false;
  std::uint64_t image_base = 0;
  std::uint32_t image_base_field = 0;  // offset of ImageBase in the file
  std::uint32_t image_size = 0;
  std::uint32_t headers_size = 0;
  std::uint32_t section_alignment = 0;
  std::uint32_t initialized_size = 0;
  std::uint32_t uninitialized_size = 0;
  std::uint32_t entry_point = 0;
  std::uint64_t optional_header = 0;  // where the optional header starts
  std::uint16_t optional_size = 0;
  std::uint32_t directory_count = 0;  // NumberOfRvaAndSizes, as stored
  std::uint64_t directory_table = 0;
  std::uint16_t section_count = 0;  // NumberOfSections, as stored
  std::uint64_t section_table = 0;
};

// The file and optional headers up to NumberOfRvaAndSizes; nullopt when the
// bytes are not a PE image ("MZ", "PE\0\0", a PE32 or PE32+ magic) or end first.
std::optional<PeHeaders> ReadPeHeaders(const ByteReader& file);
// Data directory `index` (the caller checks it against directory_count).
std::optional<PeDirectory> ReadPeDirectory(const ByteReader& file, const PeHeaders& headers,
                                           std::uint32_t index);
// Section header `index`; nullopt when its 40 bytes are not all in the file.
std::optional<PeSection> ReadPeSection(const ByteReader& file, const PeHeaders& headers,
                                       std::uint32_t index);

}  // namespace platform
