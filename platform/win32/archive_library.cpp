// The 7-Zip library, mapped by the in-memory loader from the executable's
// resource "7ZIP_LIBRARY": it is never written to disk. Its strings are OLE
// automation's BSTRs, from the OLEAUT32 it imports itself.
#include "platform/BTMemoryModule.h"
#include "platform/embedded_library.h"
#include "platform/library_loader.h"
#include "platform/win32/image_host.h"
#include "platform/win32/windows_api.h"

#include <oleauto.h>

namespace platform {

struct LibraryModule {
  win32::Win32ImageHost host;
  ImageModule* image = nullptr;
};

LibraryModule* LoadArchiveLibrary() {
  const auto bytes = EmbeddedArchiveLibrary();
  if (bytes.empty()) return nullptr;
  auto* module = new LibraryModule;
  module->image = LoadImageFromMemory(bytes.data(), bytes.size(), module->host);
  if (!module->image) {
    delete module;
    return nullptr;
  }
  return module;
}

void* FindLibraryExport(LibraryModule* module, const char* name) {
  if (!module) return nullptr;
  return reinterpret_cast<void*>(static_cast<std::uintptr_t>(FindImageExport(module->image, name)));
}

void FreeArchiveLibrary(LibraryModule*& module) {
  if (!module) return;
  FreeImageModule(module->image);
  delete module;
  module = nullptr;
}

LibraryStringFunctions LibraryStringsOf(LibraryModule*) {
  return {[](const wchar_t* text, std::uint32_t length) { return SysAllocStringLen(text, length); },
          [](wchar_t* text) { SysFreeString(text); }};
}

}  // namespace platform
