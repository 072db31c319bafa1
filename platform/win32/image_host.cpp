#include "platform/win32/image_host.h"

#include "platform/win32/windows_api.h"

#include <cstring>

namespace platform::win32 {

namespace {

#if defined(_WIN64)
// The C++ runtime's throw, for the images this loader maps. The system finds
// a thrown object's type information relative to the base of the module that
// threw (the fourth exception argument), which the runtime's own throw looks
// up among the modules the system loaded; for a mapped image it finds none and
// no catch handler of the image matches, so the first exception would end the
// program. The base here comes from the function table registered for the
// image, found through the throw's return address.
[[noreturn]] void ThrowFromMappedImage(void* object, void* throw_info) {
  constexpr DWORD kCxxException = 0xE06D7363;
  constexpr ULONG_PTR kCxxMagic = 0x19930520;
  DWORD64 image_base = 0;
  RtlLookupFunctionEntry(reinterpret_cast<DWORD64>(__builtin_return_address(0)), &image_base,
                         nullptr);
  const ULONG_PTR arguments[4] = {kCxxMagic, reinterpret_cast<ULONG_PTR>(object),
                                  reinterpret_cast<ULONG_PTR>(throw_info), image_base};
  RaiseException(kCxxException, EXCEPTION_NONCONTINUABLE, 4, arguments);
  __builtin_unreachable();
}
#endif

}  // namespace

platform::ImagePlacement Win32ImageHost::Reserve(std::uint64_t preferred, std::size_t size) {
  void* memory = VirtualAlloc(reinterpret_cast<void*>(static_cast<std::uintptr_t>(preferred)), size,
                              MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  return {static_cast<std::uint8_t*>(memory), reinterpret_cast<std::uintptr_t>(memory)};
}

bool Win32ImageHost::Protect(std::uint8_t* memory, std::size_t size, std::uint32_t protection) {
  DWORD old = 0;
  return VirtualProtect(memory, size, protection, &old) != 0;
}

void Win32ImageHost::Decommit(std::uint8_t* memory, std::size_t size) {
  VirtualFree(memory, size, MEM_DECOMMIT);
}

void Win32ImageHost::Release(const platform::ImagePlacement& placement, std::size_t) {
  VirtualFree(placement.memory, 0, MEM_RELEASE);
}

// The image's imports come from the system folder alone, never from the
// executable's folder.
void* Win32ImageHost::LoadSystemLibrary(const char* name) {
  return LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

std::uint64_t Win32ImageHost::FindProcedure(void* library, const char* name,
                                            std::uint16_t ordinal) {
#if defined(_WIN64)
  if (name && std::strcmp(name, "_CxxThrowException") == 0) {
    return reinterpret_cast<std::uintptr_t>(&ThrowFromMappedImage);
  }
#endif
  const char* which = name ? name : MAKEINTRESOURCEA(ordinal);
  return reinterpret_cast<std::uintptr_t>(GetProcAddress(static_cast<HMODULE>(library), which));
}

void Win32ImageHost::FreeSystemLibrary(void* library) {
  FreeLibrary(static_cast<HMODULE>(library));
}

int Win32ImageHost::CallEntry(const platform::ImagePlacement& placement, std::uint32_t entry_rva,
                              std::uint32_t reason) {
  using DllEntry = BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID);
  auto entry = reinterpret_cast<DllEntry>(placement.memory + entry_rva);
  return entry(reinterpret_cast<HINSTANCE>(placement.memory), reason, nullptr);
}

bool Win32ImageHost::AddFunctionTable(const platform::ImagePlacement& placement, std::uint32_t rva,
                                      std::uint32_t size) {
#if defined(_WIN64)
  auto* table = reinterpret_cast<PRUNTIME_FUNCTION>(placement.memory + rva);
  return RtlAddFunctionTable(table, size / sizeof(RUNTIME_FUNCTION),
                             reinterpret_cast<DWORD64>(placement.memory)) != FALSE;
#else
  (void)placement, (void)rva, (void)size;
  return true;
#endif
}

void Win32ImageHost::DeleteFunctionTable(const platform::ImagePlacement& placement,
                                         std::uint32_t rva) {
#if defined(_WIN64)
  RtlDeleteFunctionTable(reinterpret_cast<PRUNTIME_FUNCTION>(placement.memory + rva));
#else
  (void)placement, (void)rva;
#endif
}

}  // namespace platform::win32
