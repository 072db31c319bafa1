// How the archive component reaches the 7-Zip library: exactly three
// operations, load the image, find an export by name, free the image. Each
// backend supplies them from the image the executable carries, never written
// to disk (platform/posix: an in-memory file opened by the dynamic loader;
// platform/win32: the in-memory image loader, BTMemoryModule).
#pragma once

#include <cstdint>

namespace platform {

struct LibraryModule;  // defined by the backend

// Loads the library; nullptr when it cannot be loaded.
LibraryModule* LoadArchiveLibrary();
// The export of exactly that name (letter case counts); nullptr when absent.
void* FindLibraryExport(LibraryModule* module, const char* name);
// Frees the library and sets the reference to nullptr; nullptr is left alone.
void FreeArchiveLibrary(LibraryModule*& module);

// The allocator of the library's strings (BSTRs: SysAllocStringLen and
// SysFreeString); either is nullptr when the library offers none.
struct LibraryStringFunctions {
  wchar_t* (*allocate)(const wchar_t* text, std::uint32_t length) = nullptr;
  void (*free)(wchar_t* text) = nullptr;
};
LibraryStringFunctions LibraryStringsOf(LibraryModule* module);

}  // namespace platform
