#include "platform/win32/win32_profile.h"

#include "platform/win32/windows_api.h"

#include <algorithm>
#include <limits>
#include <vector>

// winbase.h maps WriteProfileString to its W function; here it is the rules'.
#undef WriteProfileString
#include "platform/profile_rules.h"
#include "platform/win32/win32_error.h"
#include "platform/win32/win32_text.h"

namespace platform::win32 {

namespace {

// The profile functions build the file's full path in a buffer of MAX_PATH
// characters (Windows and Wine alike): a longer path reads as a missing file
// and cannot be written. Such a file is handled here, with the INI rules the
// functions follow, through the long form of its path.
bool TooLongForTheApi(const std::wstring& file) { return file.size() >= MAX_PATH; }

// "\\?\C:\..." or "\\?\UNC\server\share\..." of the file's full path; empty
// when the path cannot be made whole.
std::wstring LongForm(const std::wstring& file) {
  const DWORD needed = GetFullPathNameW(file.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return {};
  std::wstring full(needed, L'\0');
  const DWORD length = GetFullPathNameW(file.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) return {};
  full.resize(length);
  if (full.starts_with(L"\\\\?\\") || full.starts_with(L"\\\\.\\")) return full;
  if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

// The file's bytes; empty when it cannot be read, as the profile functions
// read a missing file.
std::string ReadLongFile(const std::wstring& long_form) {
  const Handle file(CreateFileW(long_form.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  std::string bytes;
  if (!file.valid()) return bytes;
  std::vector<char> chunk(1 << 16);
  DWORD got = 0;
  while (ReadFile(file.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr) &&
         got > 0) {
    bytes.append(chunk.data(), got);
  }
  return bytes;
}

Status WriteLongFile(const std::wstring& long_form, std::string_view bytes,
                     std::string_view file_name) {
  constexpr char kOperation[] = "WritePrivateProfileString";
  const Handle file(CreateFileW(long_form.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return LastError(kOperation, file_name);
  DWORD wrote = 0;
  if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr) ||
      wrote != bytes.size()) {
    return LastError(kOperation, file_name);
  }
  return {};
}

}  // namespace

std::string Win32ProfileStrings::GetString(std::string_view section, std::string_view key,
                                           std::string_view fallback, std::size_t buffer_size,
                                           std::string_view file) {
  const auto wide_section = ToWide(section);
  const auto wide_key = ToWide(key);
  const auto wide_fallback = ToWide(fallback);
  const auto wide_file = ToWide(file);
  if (!wide_section || !wide_key || !wide_fallback || !wide_file || buffer_size == 0) return {};
  if (TooLongForTheApi(*wide_file)) {
    const std::wstring long_form = LongForm(*wide_file);
    const std::string bytes = long_form.empty() ? std::string() : ReadLongFile(long_form);
    return LookupProfileString(bytes, section, key, fallback, buffer_size, ProfileApi::kWide);
  }
  const DWORD size =
      static_cast<DWORD>(std::min<std::size_t>(buffer_size, std::numeric_limits<DWORD>::max()));
  std::vector<wchar_t> buffer(size, L'\0');
  // The answer is the number of characters copied, without the NUL.
  const DWORD copied =
      GetPrivateProfileStringW(wide_section->c_str(), wide_key->c_str(), wide_fallback->c_str(),
                               buffer.data(), size, wide_file->c_str());
  return ToUtf8(std::wstring_view(buffer.data(), std::min<DWORD>(copied, size - 1)));
}

std::vector<std::string> Win32ProfileStrings::GetKeyNames(std::string_view section,
                                                          std::string_view file) {
  // Far above any section a program writes; the buffer grows up to it.
  constexpr DWORD kMaxCharacters = DWORD{1} << 24;
  std::vector<std::string> names;
  const auto wide_section = ToWide(section);
  const auto wide_file = ToWide(file);
  if (!wide_section || !wide_file) return names;
  if (TooLongForTheApi(*wide_file)) {
    const std::wstring long_form = LongForm(*wide_file);
    return ProfileKeyNames(long_form.empty() ? std::string() : ReadLongFile(long_form), section);
  }
  std::vector<wchar_t> buffer;
  DWORD copied = 0;
  for (DWORD size = 4096; size <= kMaxCharacters; size *= 2) {
    buffer.assign(size, L'\0');
    copied = GetPrivateProfileStringW(wide_section->c_str(), nullptr, L"", buffer.data(), size,
                                      wide_file->c_str());
    // Names that do not fit come back cut, with the answer size - 2.
    if (copied + 2 < size) break;
  }
  // Each name ends with a NUL; the list with a second one.
  const std::wstring_view list(buffer.data(), std::min<std::size_t>(copied, buffer.size()));
  for (std::size_t start = 0; start < list.size();) {
    const std::size_t end = std::min(list.find(L'\0', start), list.size());
    if (end > start) names.push_back(ToUtf8(list.substr(start, end - start)));
    start = end + 1;
  }
  return names;
}

Status Win32ProfileStrings::WriteString(std::string_view section, std::string_view key,
                                        std::string_view value, std::string_view file) {
  constexpr char kOperation[] = "WritePrivateProfileString";
  const auto wide_section = ToWide(section);
  const auto wide_key = ToWide(key);
  const auto wide_value = ToWide(value);
  const auto wide_file = ToWide(file);
  if (!wide_section || !wide_key || !wide_value || !wide_file) return BadName(kOperation, file);
  if (TooLongForTheApi(*wide_file)) {
    const std::wstring long_form = LongForm(*wide_file);
    if (long_form.empty()) return LastError("GetFullPathName", file);
    const auto updated = WriteProfileString(ReadLongFile(long_form), section, key, value);
    if (!updated) {
      return MakeError(Errc::kInvalidData, kOperation, std::string(file), 0,
                       "the section, key or value cannot be stored so that it reads back");
    }
    return WriteLongFile(long_form, *updated, file);
  }
  if (!WritePrivateProfileStringW(wide_section->c_str(), wide_key->c_str(), wide_value->c_str(),
                                  wide_file->c_str())) {
    return LastError(kOperation, file);
  }
  return {};
}

}  // namespace platform::win32
