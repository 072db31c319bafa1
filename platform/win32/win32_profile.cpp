#include "platform/win32/win32_profile.h"

#include "platform/win32/windows_api.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "platform/win32/win32_error.h"
#include "platform/win32/win32_text.h"

namespace platform::win32 {

std::string Win32ProfileStrings::GetString(std::string_view section, std::string_view key,
                                           std::string_view fallback, std::size_t buffer_size,
                                           std::string_view file) {
  const auto wide_section = ToWide(section);
  const auto wide_key = ToWide(key);
  const auto wide_fallback = ToWide(fallback);
  const auto wide_file = ToWide(file);
  if (!wide_section || !wide_key || !wide_fallback || !wide_file || buffer_size == 0) return {};
  const DWORD size =
      static_cast<DWORD>(std::min<std::size_t>(buffer_size, std::numeric_limits<DWORD>::max()));
  std::vector<wchar_t> buffer(size, L'\0');
  // The answer is the number of characters copied, without the NUL.
  const DWORD copied =
      GetPrivateProfileStringW(wide_section->c_str(), wide_key->c_str(), wide_fallback->c_str(),
                               buffer.data(), size, wide_file->c_str());
  return ToUtf8(std::wstring_view(buffer.data(), std::min<DWORD>(copied, size - 1)));
}

Status Win32ProfileStrings::WriteString(std::string_view section, std::string_view key,
                                        std::string_view value, std::string_view file) {
  constexpr char kOperation[] = "WritePrivateProfileString";
  const auto wide_section = ToWide(section);
  const auto wide_key = ToWide(key);
  const auto wide_value = ToWide(value);
  const auto wide_file = ToWide(file);
  if (!wide_section || !wide_key || !wide_value || !wide_file) return BadName(kOperation, file);
  if (!WritePrivateProfileStringW(wide_section->c_str(), wide_key->c_str(), wide_value->c_str(),
                                  wide_file->c_str())) {
    return LastError(kOperation, file);
  }
  return {};
}

}  // namespace platform::win32
