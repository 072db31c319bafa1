// Functions of the system libraries that are not KnownDLLs (version, bcrypt,
// urlmon, comctl32) or that import them (comdlg32), found on first use in the
// system folder alone. Windows looks for a library the executable imports, or
// loads by a bare name, in the executable's own folder first, where anyone may
// have put one; and whatever a static import loads, it loads before the entry
// point can restrict the search. The program therefore imports only KnownDLLs
// whose own imports are KnownDLLs too, and reaches the others through this.
#pragma once

#include "platform/win32/windows_api.h"

namespace platform::win32 {

// The address of `name` in the system folder's `library`; nullptr when either
// cannot be found (GetLastError tells why). The library stays loaded.
FARPROC SystemLibraryProcedure(const wchar_t* library, const char* name);

// The same with its declared type, named in an unevaluated decltype so that
// nothing is imported: SystemFunction<decltype(&VerQueryValueW)>(...).
template <class Function>
Function SystemFunction(const wchar_t* library, const char* name) {
  // GetProcAddress hands back a generic function pointer; the cast through
  // void* gives it its real type.
  return reinterpret_cast<Function>(reinterpret_cast<void*>(SystemLibraryProcedure(library, name)));
}

// The very first thing the process does: libraries loaded by a bare name
// from now on, by the program or by the system libraries it uses, come from
// the system folder alone.
void RestrictLibrarySearchToSystemFolder();

}  // namespace platform::win32
