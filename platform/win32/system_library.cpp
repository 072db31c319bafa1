#include "platform/win32/system_library.h"

namespace platform::win32 {

FARPROC SystemLibraryProcedure(const wchar_t* library, const char* name) {
  HMODULE module = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  return module ? GetProcAddress(module, name) : nullptr;
}

void RestrictLibrarySearchToSystemFolder() {
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace platform::win32
