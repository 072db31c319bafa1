#include "platform/win32/image_host.h"

#include "platform/win32/windows_api.h"

namespace platform::win32 {

archive::ImagePlacement Win32ImageHost::Reserve(std::uint64_t preferred, std::size_t size) {
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

void Win32ImageHost::Release(const archive::ImagePlacement& placement, std::size_t) {
  VirtualFree(placement.memory, 0, MEM_RELEASE);
}

void* Win32ImageHost::LoadSystemLibrary(const char* name) { return LoadLibraryA(name); }

std::uint64_t Win32ImageHost::FindProcedure(void* library, const char* name,
                                            std::uint16_t ordinal) {
  const char* which = name ? name : MAKEINTRESOURCEA(ordinal);
  return reinterpret_cast<std::uintptr_t>(GetProcAddress(static_cast<HMODULE>(library), which));
}

void Win32ImageHost::FreeSystemLibrary(void* library) {
  FreeLibrary(static_cast<HMODULE>(library));
}

int Win32ImageHost::CallEntry(const archive::ImagePlacement& placement, std::uint32_t entry_rva,
                              std::uint32_t reason) {
  using DllEntry = BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID);
  auto entry = reinterpret_cast<DllEntry>(placement.memory + entry_rva);
  return entry(reinterpret_cast<HINSTANCE>(placement.memory), reason, nullptr);
}

bool Win32ImageHost::AddFunctionTable(const archive::ImagePlacement& placement, std::uint32_t rva,
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

void Win32ImageHost::DeleteFunctionTable(const archive::ImagePlacement& placement,
                                         std::uint32_t rva) {
#if defined(_WIN64)
  RtlDeleteFunctionTable(reinterpret_cast<PRUNTIME_FUNCTION>(placement.memory + rva));
#else
  (void)placement, (void)rva;
#endif
}

}  // namespace platform::win32
