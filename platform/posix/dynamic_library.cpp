// The 7-Zip library as an ordinary shared object: 7-Zip's Linux build
// (/usr/lib/p7zip/7z.so from p7zip-full), or the file named by
// REMEDOR_7Z_LIBRARY. It carries its own BSTR allocator.
#include <dlfcn.h>

#include <cstdlib>

#include "archive/library_loader.h"

namespace archive {

struct LibraryModule {
  void* handle;
};

LibraryModule* LoadArchiveLibrary() {
  const char* path = std::getenv("REMEDOR_7Z_LIBRARY");
  if (!path || !*path) path = "/usr/lib/p7zip/7z.so";
  void* handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
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

com::LibraryStrings LibraryStringsOf(LibraryModule* module) {
  return com::LibraryStrings(reinterpret_cast<com::LibraryStrings::AllocateFunction>(
                                 FindLibraryExport(module, "SysAllocStringLen")),
                             reinterpret_cast<com::LibraryStrings::FreeFunction>(
                                 FindLibraryExport(module, "SysFreeString")));
}

}  // namespace archive
