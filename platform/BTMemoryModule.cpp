#include "platform/BTMemoryModule.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "platform/byte_reader.h"
#include "platform/pe_headers.h"

namespace platform {

namespace {

// Offsets and values of the PE format.
constexpr std::uint32_t kDirectoryExport = 0;
constexpr std::uint32_t kDirectoryImport = 1;
constexpr std::uint32_t kDirectoryException = 3;
constexpr std::uint32_t kDirectoryRelocation = 5;
constexpr std::uint32_t kContainsInitializedData = 0x00000040;
constexpr std::uint32_t kContainsUninitializedData = 0x00000080;
constexpr std::uint32_t kDiscardable = 0x02000000;
constexpr std::uint32_t kNotCached = 0x04000000;
constexpr std::uint32_t kExecute = 0x20000000;
constexpr std::uint32_t kRead = 0x40000000;
constexpr std::uint32_t kWrite = 0x80000000;
constexpr std::uint32_t kPageNoCache = 0x200;
constexpr std::uint32_t kDllProcessAttach = 1;
constexpr std::uint32_t kDllProcessDetach = 0;

using Bytes = platform::ByteReader;

// A pointer-sized value: 8 bytes in a 64-bit image, 4 in a 32-bit one.
std::optional<std::uint64_t> GetPointer(const Bytes& bytes, std::uint64_t offset, bool is64) {
  if (is64) return bytes.Get<std::uint64_t>(offset);
  const auto value = bytes.Get<std::uint32_t>(offset);
  if (!value) return std::nullopt;
  return std::uint64_t{*value};
}

using Directory = PeDirectory;
using Section = PeSection;

// The headers, every data directory the loader may look at (16, the missing
// ones empty) and every section.
struct Headers : PeHeaders {
  std::vector<Directory> directories;
  std::vector<Section> sections;
};

std::optional<Headers> ReadHeaders(const Bytes& file) {
  const std::optional<PeHeaders> pe = ReadPeHeaders(file);
  if (!pe || pe->image_size == 0 || pe->headers_size > pe->image_size ||
      !file.Holds(0, pe->headers_size)) {
    return std::nullopt;
  }
  Headers h{*pe, {}, {}};
  const std::uint32_t directories = std::min<std::uint32_t>(pe->directory_count, 16);
  for (std::uint32_t i = 0; i < directories; ++i) {
    const auto directory = ReadPeDirectory(file, *pe, i);
    if (!directory) return std::nullopt;
    h.directories.push_back(*directory);
  }
  h.directories.resize(16);
  for (std::uint32_t i = 0; i < pe->section_count; ++i) {
    const auto section = ReadPeSection(file, *pe, i);
    if (!section) return std::nullopt;
    h.sections.push_back(*section);
  }
  return h;
}

std::uint32_t AccessOf(std::uint32_t characteristics) {
  // Indexed by executable, readable, writable.
  static constexpr std::uint32_t kAccess[2][2][2] = {{{0x01, 0x08}, {0x02, 0x04}},
                                                     {{0x10, 0x80}, {0x20, 0x40}}};
  std::uint32_t access = kAccess[(characteristics & kExecute) != 0][(characteristics & kRead) != 0]
                                [(characteristics & kWrite) != 0];
  if (characteristics & kNotCached) access |= kPageNoCache;
  return access;
}

class Loader {
 public:
  Loader(const Bytes& file, const Headers& headers, ImageModule& module)
      : file_(file), h_(headers), m_(module), image_(module.placement.memory, headers.image_size) {}

  bool CopySections() {
    std::memcpy(m_.placement.memory, file_.At(0), h_.headers_size);
    // The copied headers name the base the image actually runs at.
    if (!image_.Holds(h_.image_base_field, h_.is64 ? 8 : 4)) return false;
    if (h_.is64) {
      std::memcpy(m_.placement.memory + h_.image_base_field, &m_.placement.address, 8);
    } else {
      const auto base32 = static_cast<std::uint32_t>(m_.placement.address);
      std::memcpy(m_.placement.memory + h_.image_base_field, &base32, 4);
    }
    for (const Section& s : h_.sections) {
      if (s.raw_size == 0) {
        // Committed memory starts zero-filled: the section alignment's worth is there.
        if (!image_.Holds(s.virtual_address, 0)) return false;
        continue;
      }
      if (!file_.Holds(s.raw_offset, s.raw_size) || !image_.Holds(s.virtual_address, s.raw_size)) {
        return false;
      }
      std::memcpy(m_.placement.memory + s.virtual_address, file_.At(s.raw_offset), s.raw_size);
    }
    return true;
  }

  bool Relocate() {
    const std::uint64_t delta = m_.placement.address - h_.image_base;
    if (delta == 0) return true;
    const Directory& dir = h_.directories[kDirectoryRelocation];
    if (dir.size == 0) return true;
    if (!image_.Holds(dir.rva, dir.size)) return false;
    std::uint64_t at = dir.rva;
    const std::uint64_t end = std::uint64_t{dir.rva} + dir.size;
    while (at + 8 <= end) {
      const std::uint32_t page = *image_.Get<std::uint32_t>(at);
      const std::uint32_t block = *image_.Get<std::uint32_t>(at + 4);
      if (block < 8 || block > end - at) return false;
      for (std::uint64_t e = at + 8; e + 2 <= at + block; e += 2) {
        const std::uint16_t entry = *image_.Get<std::uint16_t>(e);
        const std::uint64_t target = std::uint64_t{page} + (entry & 0x0FFF);
        const int type = entry >> 12;
        if (type == 3) {  // IMAGE_REL_BASED_HIGHLOW
          auto value = image_.Get<std::uint32_t>(target);
          if (!value) return false;
          const auto moved = static_cast<std::uint32_t>(*value + delta);
          std::memcpy(m_.placement.memory + target, &moved, 4);
        } else if (type == 10 && h_.is64) {  // IMAGE_REL_BASED_DIR64
          auto value = image_.Get<std::uint64_t>(target);
          if (!value) return false;
          const std::uint64_t moved = *value + delta;
          std::memcpy(m_.placement.memory + target, &moved, 8);
        }
      }
      at += block;
    }
    return true;
  }

  bool LinkImports() {
    const Directory& dir = h_.directories[kDirectoryImport];
    if (dir.size == 0) return true;
    const std::uint32_t thunk_size = h_.is64 ? 8 : 4;
    const std::uint64_t ordinal_flag = h_.is64 ? (std::uint64_t{1} << 63) : 0x80000000u;
    for (std::uint64_t d = dir.rva;; d += 20) {
      const auto lookup_table = image_.Get<std::uint32_t>(d);
      const auto name = image_.Get<std::uint32_t>(d + 12);
      const auto address_table = image_.Get<std::uint32_t>(d + 16);
      if (!lookup_table || !name || !address_table) return false;
      if (*name == 0) return true;
      const auto library_name = image_.String(*name);
      if (!library_name) return false;
      void* library = m_.host->LoadSystemLibrary(library_name->c_str());
      if (!library) return false;
      m_.libraries.push_back(library);
      const std::uint32_t lookup = *lookup_table ? *lookup_table : *address_table;
      for (std::uint64_t i = 0;; ++i) {
        const std::uint64_t from = lookup + i * thunk_size;
        const std::uint64_t to = *address_table + i * thunk_size;
        const std::optional<std::uint64_t> entry = GetPointer(image_, from, h_.is64);
        if (!entry || !image_.Holds(to, thunk_size)) return false;
        if (*entry == 0) break;
        std::uint64_t address;
        if (*entry & ordinal_flag) {
          address =
              m_.host->FindProcedure(library, nullptr, static_cast<std::uint16_t>(*entry & 0xFFFF));
        } else {
          const auto function = image_.String((*entry & 0x7FFFFFFF) + 2);
          if (!function) return false;
          address = m_.host->FindProcedure(library, function->c_str(), 0);
        }
        if (address == 0) return false;
        std::memcpy(m_.placement.memory + to, &address, thunk_size);
      }
    }
  }

  void FinaliseSections() {
    for (const Section& s : h_.sections) {
      std::uint8_t* at = m_.placement.memory + s.virtual_address;
      std::size_t size = s.raw_size;
      if (size == 0) {
        if (s.characteristics & kContainsInitializedData) {
          size = h_.initialized_size;
        } else if (s.characteristics & kContainsUninitializedData) {
          size = h_.uninitialized_size;
        }
      }
      size = std::min<std::size_t>(size, h_.image_size - s.virtual_address);
      if (s.characteristics & kDiscardable) {
        if (size) m_.host->Decommit(at, size);
        continue;
      }
      if (size == 0) continue;
      // A refused change ends this step; the load goes on.
      if (!m_.host->Protect(at, size, AccessOf(s.characteristics))) return;
    }
  }

  bool RegisterExceptionDirectory() {
    const Directory& dir = h_.directories[kDirectoryException];
    if (!h_.is64 || dir.size == 0) return true;
    if (!image_.Holds(dir.rva, dir.size)) return false;
    if (!m_.host->AddFunctionTable(m_.placement, dir.rva, dir.size)) return false;
    m_.function_table_rva = dir.rva;
    return true;
  }

 private:
  const Bytes& file_;
  const Headers& h_;
  ImageModule& m_;
  Bytes image_;
};

void ReleaseModule(ImageModule* module) {
  ImageHost& host = *module->host;
  if (module->function_table_rva)
    host.DeleteFunctionTable(module->placement, module->function_table_rva);
  for (void* library : module->libraries) host.FreeSystemLibrary(library);
  host.Release(module->placement, module->image_size);
  delete module;
}

}  // namespace

ImageModule* LoadImageFromMemory(const void* data, std::size_t size, ImageHost& host) {
  const Bytes file(static_cast<const std::uint8_t*>(data), size);
  const std::optional<Headers> headers = ReadHeaders(file);
  if (!headers) return nullptr;

  ImagePlacement placement = host.Reserve(headers->image_base, headers->image_size);
  if (!placement.memory) placement = host.Reserve(0, headers->image_size);
  if (!placement.memory) return nullptr;

  auto* module = new ImageModule;
  module->host = &host;
  module->placement = placement;
  module->image_size = headers->image_size;
  module->is64 = headers->is64;
  module->headers_offset = headers->nt_offset;

  Loader loader(file, *headers, *module);
  if (!loader.CopySections() || !loader.Relocate() || !loader.LinkImports()) {
    ReleaseModule(module);
    return nullptr;
  }
  loader.FinaliseSections();
  if (!loader.RegisterExceptionDirectory()) {
    ReleaseModule(module);
    return nullptr;
  }
  if (headers->entry_point != 0) {
    if (headers->entry_point >= headers->image_size ||
        host.CallEntry(placement, headers->entry_point, kDllProcessAttach) == 0) {
      ReleaseModule(module);
      return nullptr;
    }
    module->attached = true;
  }
  return module;
}

std::uint64_t FindImageExport(const ImageModule* module, const char* name) {
  if (!module || !name) return 0;
  const Bytes image(module->placement.memory, module->image_size);
  const std::uint64_t optional = std::uint64_t{module->headers_offset} + 24;
  const std::uint64_t directories = optional + (module->is64 ? 112 : 96);
  const auto rva = image.Get<std::uint32_t>(directories + 8 * kDirectoryExport);
  const auto size = image.Get<std::uint32_t>(directories + 8 * kDirectoryExport + 4);
  if (!rva || !size || *size == 0) return 0;
  const auto functions = image.Get<std::uint32_t>(*rva + 20);
  const auto names = image.Get<std::uint32_t>(*rva + 24);
  const auto function_table = image.Get<std::uint32_t>(*rva + 28);
  const auto name_table = image.Get<std::uint32_t>(*rva + 32);
  const auto ordinal_table = image.Get<std::uint32_t>(*rva + 36);
  if (!functions || !names || !function_table || !name_table || !ordinal_table) return 0;
  if (*functions == 0 || *names == 0) return 0;
  for (std::uint32_t i = 0; i < *names; ++i) {
    const auto name_rva = image.Get<std::uint32_t>(*name_table + std::uint64_t{4} * i);
    if (!name_rva) return 0;
    const auto exported = image.String(*name_rva);
    if (!exported || *exported != name) continue;
    const auto index = image.Get<std::uint16_t>(*ordinal_table + std::uint64_t{2} * i);
    if (!index || *index >= *functions) return 0;
    const auto address = image.Get<std::uint32_t>(*function_table + std::uint64_t{4} * *index);
    if (!address) return 0;
    return module->placement.address + *address;
  }
  return 0;
}

void FreeImageModule(ImageModule*& module) {
  if (!module) return;
  if (module->attached) {
    const auto entry = Bytes(module->placement.memory, module->image_size)
                           .Get<std::uint32_t>(std::uint64_t{module->headers_offset} + 24 + 16);
    if (entry) module->host->CallEntry(module->placement, *entry, kDllProcessDetach);
    module->attached = false;
  }
  ReleaseModule(module);
  module = nullptr;
}

}  // namespace platform
