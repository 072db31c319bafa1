// The image loader's host on Windows: real virtual memory, the system's
// libraries and the image's own entry, run in this process.
#pragma once

#include "platform/BTMemoryModule.h"

namespace platform::win32 {

class Win32ImageHost : public platform::ImageHost {
 public:
  platform::ImagePlacement Reserve(std::uint64_t preferred, std::size_t size) override;
  bool Protect(std::uint8_t* memory, std::size_t size, std::uint32_t protection) override;
  void Decommit(std::uint8_t* memory, std::size_t size) override;
  void Release(const platform::ImagePlacement& placement, std::size_t size) override;
  void* LoadSystemLibrary(const char* name) override;
  std::uint64_t FindProcedure(void* library, const char* name, std::uint16_t ordinal) override;
  void FreeSystemLibrary(void* library) override;
  int CallEntry(const platform::ImagePlacement& placement, std::uint32_t entry_rva,
                std::uint32_t reason) override;
  bool AddFunctionTable(const platform::ImagePlacement& placement, std::uint32_t rva,
                        std::uint32_t size) override;
  void DeleteFunctionTable(const platform::ImagePlacement& placement, std::uint32_t rva) override;
};

}  // namespace platform::win32
