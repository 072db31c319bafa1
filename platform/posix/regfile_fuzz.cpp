// Wine registry file reader: any bytes either fail cleanly or read into keys
// that survive being written back, verbatim and in Wine's own format.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/posix/regfile.h"

namespace {

using platform::posix::FormatRegFile;
using platform::posix::ParseRegFile;
using platform::posix::RegFile;

constexpr std::uint64_t kNow = 0x01dd8849d70988ea;

void ExpectSameKeys(const RegFile& a, const RegFile& b) {
  if (a.keys.size() != b.keys.size() || a.arch != b.arch || a.relative_to != b.relative_to) {
    std::abort();
  }
  auto x = a.keys.begin();
  for (auto y = b.keys.begin(); y != b.keys.end(); ++x, ++y) {
    if (!x->SameContent(*y)) std::abort();
  }
}

void ExpectRereads(const RegFile& file) {
  const auto again = ParseRegFile(FormatRegFile(file), "again.reg", kNow);
  if (!again.ok()) std::abort();
  ExpectSameKeys(file, *again);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  auto file = ParseRegFile(bytes, "fuzz.reg", kNow);
  if (!file.ok()) return 0;
  bool verbatim = true;
  for (const auto& key : file->keys) verbatim = verbatim && !key.text.empty();
  if (verbatim && FormatRegFile(*file) != bytes) std::abort();
  ExpectRereads(*file);
  for (auto& key : file->keys) key.text.clear();
  ExpectRereads(*file);
  return 0;
}
