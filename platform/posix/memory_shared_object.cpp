#include "platform/posix/memory_shared_object.h"

#include <dlfcn.h>
#include <sys/mman.h>
#include <unistd.h>

#include <string>

namespace platform::posix {

void* LoadSharedObjectFromMemory(std::span<const std::uint8_t> image) {
  if (image.empty()) return nullptr;
  const int fd = memfd_create("remedor-7z", MFD_CLOEXEC);
  if (fd < 0) return nullptr;
  std::size_t done = 0;
  while (done < image.size()) {
    const ssize_t wrote = write(fd, image.data() + done, image.size() - done);
    if (wrote <= 0) {
      close(fd);
      return nullptr;
    }
    done += static_cast<std::size_t>(wrote);
  }
  // The loader maps the file while opening it; the descriptor can go after.
  const std::string path = "/proc/self/fd/" + std::to_string(fd);
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  close(fd);
  return handle;
}

}  // namespace platform::posix
