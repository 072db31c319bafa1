// Arbitrary bytes through the image loader: it must never crash or read
// outside the bytes it was given (AddressSanitizer watches), and whatever it
// set up must be released.
#include <cstdint>
#include <cstdlib>

#include "platform/BTMemoryModule.h"
#include "platform/recording_image_host.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  platform::RecordingImageHost host;
  host.max_size = std::size_t{16} << 20;
  host.grant_preferred = size % 2 == 0;  // both the in-place and the moved path
  platform::ImageModule* module = platform::LoadImageFromMemory(data, size, host);
  if (module) {
    platform::FindImageExport(module, "CreateObject");
    platform::FreeImageModule(module);
  }
  if (host.freed_libraries != static_cast<int>(host.loaded.size())) std::abort();
  return 0;
}
