// The 7-Zip library, loaded from the image built into the program through an
// anonymous in-memory file: nothing is written to disk. REMEDOR_7Z_LIBRARY
// may name another build of the library, whose bytes are loaded the same way.
// The library carries its own BSTR allocator.
#include <dlfcn.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/embedded_library.h"
#include "platform/library_loader.h"
#include "platform/posix/memory_shared_object.h"

namespace platform {

struct LibraryModule {
  void* handle;
};

LibraryModule* LoadArchiveLibrary() {
  void* handle = nullptr;
  const char* other = std::getenv("REMEDOR_7Z_LIBRARY");
  if (other && *other) {
    std::ifstream in(other, std::ios::binary);
    const std::vector<std::uint8_t> image((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    handle = posix::LoadSharedObjectFromMemory(image);
  } else {
    handle = posix::LoadSharedObjectFromMemory(EmbeddedArchiveLibrary());
  }
  return handle ? new LibraryModule{handle} : nullptr;
}

void* FindLibraryExport(LibraryModule* module, const char* name) {
  return module ? dlsym(module->handle, name) : nullptr;
}

void FreeArchiveLibrary(LibraryModule*& module) {
  if (!module) return;
  dlclose(module->handle);
  delete module;
  module = nullptr;
}

LibraryStringFunctions LibraryStringsOf(LibraryModule* module) {
  using Functions = LibraryStringFunctions;
  return {reinterpret_cast<decltype(Functions::allocate)>(
              FindLibraryExport(module, "SysAllocStringLen")),
          reinterpret_cast<decltype(Functions::free)>(FindLibraryExport(module, "SysFreeString"))};
}

}  // namespace platform
