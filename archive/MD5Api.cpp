#include "archive/MD5Api.h"

#include <memory>

namespace archive {

namespace {
constexpr std::size_t kChunk = 4 << 20;
}  // namespace

std::string DigestToHex(const platform::Md5Digest& digest) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text;
  text.reserve(2 * digest.size());
  for (const std::uint8_t byte : digest) {
    text += kHex[byte >> 4];
    text += kHex[byte & 0x0F];
  }
  return text;
}

std::string FileDigest(platform::FileSystem& files, std::string_view path,
                       std::atomic<std::uint64_t>* hashed) {
  if (!files.Exists(path)) return "";
  const auto empty_digest = [] { return DigestToHex(platform::NewMd5Engine()->Finish()); };
  auto file = files.OpenFile(path, platform::OpenMode::kRead);
  if (!file) return empty_digest();
  const auto engine = platform::NewMd5Engine();
  const auto buffer = std::make_unique_for_overwrite<char[]>(kChunk);
  for (;;) {
    auto got = (*file)->Read(buffer.get(), kChunk);
    if (!got) return empty_digest();
    if (*got == 0) break;
    engine->Update(buffer.get(), *got);
    if (hashed) *hashed += *got;
  }
  return DigestToHex(engine->Finish());
}

}  // namespace archive
