#include "archive/crc32.h"

#include <array>
#include <string>

namespace archive {

namespace {

constexpr std::array<std::uint32_t, 256> MakeTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}
constexpr std::array<std::uint32_t, 256> kTable = MakeTable();

}  // namespace

std::uint32_t UpdateCrc32(std::uint32_t crc, std::string_view bytes) {
  crc = ~crc;
  for (const char byte : bytes)
    crc = kTable[(crc ^ static_cast<std::uint8_t>(byte)) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

std::optional<std::uint32_t> FileCrc32(platform::FileSystem& files, std::string_view path) {
  auto file = files.OpenFile(path, platform::OpenMode::kRead);
  if (!file) return std::nullopt;
  constexpr std::size_t kPiece = 1 << 16;
  std::string buffer(kPiece, '\0');
  std::uint32_t crc = 0;
  for (;;) {
    const auto read = (*file)->Read(buffer.data(), buffer.size());
    if (!read) return std::nullopt;
    if (*read == 0) return crc;
    crc = UpdateCrc32(crc, std::string_view(buffer.data(), *read));
  }
}

}  // namespace archive
