// The 7-Zip library image, the executable's RCDATA resource "7ZIP_LIBRARY".
#include "platform/embedded_library.h"

#include "platform/win32/windows_api.h"

namespace platform {

std::span<const std::uint8_t> EmbeddedArchiveLibrary() {
  HRSRC resource = FindResourceW(nullptr, L"7ZIP_LIBRARY", MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (!resource) return {};
  HGLOBAL loaded = LoadResource(nullptr, resource);
  const DWORD size = SizeofResource(nullptr, resource);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return {};
  return {static_cast<const std::uint8_t*>(bytes), size};
}

}  // namespace platform
