// Any bytes given as an image: the reader never crashes, never reads out of
// bounds, and whatever it returns names only what the bytes hold.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/pe_version.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto info =
      platform::ReadPeVersionInfo(std::string_view(reinterpret_cast<const char*>(data), size));
  // Each translation takes four bytes of the image.
  if (info && info->translations.size() > size / 4) std::abort();
  return 0;
}
