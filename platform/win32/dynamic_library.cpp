// The 7-Zip library as an ordinary DLL: 7z.dll beside the executable. Its
// strings are OLE automation's BSTRs.
#include <oleauto.h>
#include <windows.h>

#include <string>

#include "archive/library_loader.h"

namespace archive {

struct LibraryModule {
  HMODULE handle;
};

LibraryModule* LoadArchiveLibrary() {
  std::wstring path(MAX_PATH, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  if (length == 0 || length >= path.size()) return nullptr;
  path.resize(path.find_last_of(L'\\', length) + 1);
  path += L"7z.dll";
  const HMODULE handle = LoadLibraryW(path.c_str());
  return handle ? new LibraryModule{handle} : nullptr;
}

void* FindLibraryExport(LibraryModule* module, const char* name) {
  return module ? reinterpret_cast<void*>(GetProcAddress(module->handle, name)) : nullptr;
}

void FreeArchiveLibrary(LibraryModule*& module) {
  if (!module) return;
  FreeLibrary(module->handle);
  delete module;
  module = nullptr;
}

com::LibraryStrings LibraryStringsOf(LibraryModule*) {
  return com::LibraryStrings(
      [](const wchar_t* text, std::uint32_t length) { return SysAllocStringLen(text, length); },
      [](com::BSTR text) { SysFreeString(text); });
}

}  // namespace archive
