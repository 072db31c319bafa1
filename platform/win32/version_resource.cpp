#include "platform/win32/version_resource.h"

#include "platform/win32/windows_api.h"

#include <vector>

#include "platform/pe_version.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32_text.h"

namespace platform::win32 {

std::optional<VersionInfo> ReadVersionResource(std::string_view path) {
  static const auto get_size =
      SystemFunction<decltype(&GetFileVersionInfoSizeW)>(L"version.dll", "GetFileVersionInfoSizeW");
  static const auto get_block =
      SystemFunction<decltype(&GetFileVersionInfoW)>(L"version.dll", "GetFileVersionInfoW");
  static const auto query =
      SystemFunction<decltype(&VerQueryValueW)>(L"version.dll", "VerQueryValueW");
  const auto wide = ToWide(path);
  if (!wide || !get_size || !get_block || !query) return std::nullopt;
  DWORD ignored = 0;
  const DWORD size = get_size(wide->c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<BYTE> block(size);
  if (!get_block(wide->c_str(), 0, size, block.data())) return std::nullopt;

  // VerQueryValue cannot list a table's strings, so they come from the
  // block itself, in stored order; the fixed part and the translations are
  // asked of the API.
  VersionInfo info =
      ReadVersionBlock(std::string_view(reinterpret_cast<const char*>(block.data()), size));
  info.file_version.reset();
  info.translations.clear();
  void* data = nullptr;
  UINT length = 0;
  if (query(block.data(), L"\\", &data, &length) && length >= sizeof(VS_FIXEDFILEINFO)) {
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(data);
    if (fixed->dwSignature == VS_FFI_SIGNATURE) {
      info.file_version = std::array<std::uint16_t, 4>{
          HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
          HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS)};
    }
  }
  if (query(block.data(), L"\\VarFileInfo\\Translation", &data, &length)) {
    const auto* pairs = static_cast<const WORD*>(data);
    for (UINT i = 0; i + 1 < length / sizeof(WORD); i += 2) {
      info.translations.emplace_back(pairs[i], pairs[i + 1]);
    }
  }
  return info;
}

}  // namespace platform::win32
