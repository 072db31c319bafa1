// Loads a Windows library image (PE, 32- or 64-bit) from bytes in memory,
// without a file: maps its sections, applies its base relocations, links its
// imports, sets each section's access, runs its start-up entry and answers
// look-ups of its exports. Every read stays inside the given bytes.
//
// The platform's memory and library functions sit behind `ImageHost`, so the
// reading, mapping, relocating and look-up are the same code on Windows (real
// VirtualAlloc, LoadLibrary, the entry called) and in tests (a buffer, a
// stand-in resolver, no code run).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

// Where an image was placed: the memory written, and the address the image
// runs at (the one its relocations and pointers refer to). On Windows the two
// are the same.
struct ImagePlacement {
  std::uint8_t* memory = nullptr;
  std::uint64_t address = 0;
};

class ImageHost {
 public:
  virtual ~ImageHost() = default;
  // VirtualAlloc(reserve + commit, read-write, zero-filled) of size bytes at
  // `preferred`, or anywhere when `preferred` is 0; memory nullptr when refused.
  virtual ImagePlacement Reserve(std::uint64_t preferred, std::size_t size) = 0;
  // VirtualProtect; false when refused.
  virtual bool Protect(std::uint8_t* memory, std::size_t size, std::uint32_t protection) = 0;
  // VirtualFree(MEM_DECOMMIT) of a part; VirtualFree(MEM_RELEASE) of the whole.
  virtual void Decommit(std::uint8_t* memory, std::size_t size) = 0;
  virtual void Release(const ImagePlacement& placement, std::size_t size) = 0;
  // LoadLibraryA / GetProcAddress (name, or ordinal when name is nullptr) / FreeLibrary.
  virtual void* LoadSystemLibrary(const char* name) = 0;
  virtual std::uint64_t FindProcedure(void* library, const char* name, std::uint16_t ordinal) = 0;
  virtual void FreeSystemLibrary(void* library) = 0;
  // Calls the entry at memory + entry_rva with (base, reason, 0); its answer.
  virtual int CallEntry(const ImagePlacement& placement, std::uint32_t entry_rva,
                        std::uint32_t reason) = 0;
  // A 64-bit image's exception directory (RtlAddFunctionTable); removed again
  // on free (RtlDeleteFunctionTable). 32-bit images have none.
  virtual bool AddFunctionTable(const ImagePlacement& placement, std::uint32_t rva,
                                std::uint32_t size) = 0;
  virtual void DeleteFunctionTable(const ImagePlacement& placement, std::uint32_t rva) = 0;
};

struct ImageModule {
  ImageHost* host = nullptr;
  ImagePlacement placement;
  std::size_t image_size = 0;
  bool is64 = false;
  std::uint32_t headers_offset = 0;  // the NT headers inside the mapped image
  std::vector<void*> libraries;      // loaded for the imports, in load order
  bool attached = false;
  std::uint32_t function_table_rva = 0;  // registered exception directory, 0 when none
};

// The module, or nullptr; nothing stays allocated on failure.
ImageModule* LoadImageFromMemory(const void* data, std::size_t size, ImageHost& host);
// The named export's address (exact, case-sensitive name), or 0.
std::uint64_t FindImageExport(const ImageModule* module, const char* name);
// Detaches and releases the module; sets the reference to nullptr.
void FreeImageModule(ImageModule*& module);

}  // namespace platform
