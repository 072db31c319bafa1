#include "platform/pe_headers.h"

namespace platform {

namespace {

constexpr std::uint16_t kMagicPe32 = 0x10B;
constexpr std::uint16_t kMagicPe32Plus = 0x20B;
constexpr std::uint32_t kSectionHeaderSize = 40;

}  // namespace

std::optional<PeHeaders> ReadPeHeaders(const ByteReader& file) {
  if (file.Get<std::uint16_t>(0) != std::uint16_t{0x5A4D}) return std::nullopt;  // "MZ"
  const auto nt = file.Get<std::uint32_t>(0x3C);
  if (!nt || file.Get<std::uint32_t>(*nt) != std::uint32_t{0x00004550}) return std::nullopt;
  PeHeaders h;
  h.nt_offset = *nt;
  const std::uint64_t file_header = std::uint64_t{*nt} + 4;
  const auto sections = file.Get<std::uint16_t>(file_header + 2);
  const auto optional_size = file.Get<std::uint16_t>(file_header + 16);
  h.optional_header = file_header + 20;
  const auto magic = file.Get<std::uint16_t>(h.optional_header);
  if (!sections || !optional_size || !magic) return std::nullopt;
  if (*magic != kMagicPe32 && *magic != kMagicPe32Plus) return std::nullopt;
  h.is64 = *magic == kMagicPe32Plus;

  const std::uint64_t optional = h.optional_header;
  const auto initialized = file.Get<std::uint32_t>(optional + 8);
  const auto uninitialized = file.Get<std::uint32_t>(optional + 12);
  const auto entry = file.Get<std::uint32_t>(optional + 16);
  const auto alignment = file.Get<std::uint32_t>(optional + 32);
  const auto image_size = file.Get<std::uint32_t>(optional + 56);
  const auto headers_size = file.Get<std::uint32_t>(optional + 60);
  const std::uint64_t base_field = optional + (h.is64 ? 24 : 28);
  std::optional<std::uint64_t> base = file.Get<std::uint64_t>(base_field);
  if (!h.is64) {
    const auto base32 = file.Get<std::uint32_t>(base_field);
    base = base32 ? std::optional<std::uint64_t>(*base32) : std::nullopt;
  }
  const std::uint64_t count_field = optional + (h.is64 ? 108 : 92);
  const auto directory_count = file.Get<std::uint32_t>(count_field);
  if (!initialized || !uninitialized || !entry || !alignment || !image_size || !headers_size ||
      !base || !directory_count) {
    return std::nullopt;
  }
  h.initialized_size = *initialized;
  h.uninitialized_size = *uninitialized;
  h.entry_point = *entry;
  h.section_alignment = *alignment;
  h.image_size = *image_size;
  h.headers_size = *headers_size;
  h.image_base = *base;
  h.image_base_field = static_cast<std::uint32_t>(base_field);
  h.optional_size = *optional_size;
  h.directory_count = *directory_count;
  h.directory_table = count_field + 4;
  h.section_count = *sections;
  h.section_table = optional + *optional_size;
  return h;
}

std::optional<PeDirectory> ReadPeDirectory(const ByteReader& file, const PeHeaders& headers,
                                           std::uint32_t index) {
  const std::uint64_t at = headers.directory_table + 8ull * index;
  const auto rva = file.Get<std::uint32_t>(at);
  const auto size = file.Get<std::uint32_t>(at + 4);
  if (!rva || !size) return std::nullopt;
  return PeDirectory{*rva, *size};
}

std::optional<PeSection> ReadPeSection(const ByteReader& file, const PeHeaders& headers,
                                       std::uint32_t index) {
  const std::uint64_t at = headers.section_table + std::uint64_t{kSectionHeaderSize} * index;
  if (!file.Holds(at, kSectionHeaderSize)) return std::nullopt;
  return PeSection{*file.Get<std::uint32_t>(at + 8), *file.Get<std::uint32_t>(at + 12),
                   *file.Get<std::uint32_t>(at + 16), *file.Get<std::uint32_t>(at + 20),
                   *file.Get<std::uint32_t>(at + 36)};
}

}  // namespace platform
