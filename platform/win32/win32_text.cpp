#include "platform/win32/win32_text.h"

#include "platform/codepage.h"

namespace platform::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wchar_t is UTF-16");

std::optional<std::wstring> ToWide(std::string_view text) {
  if (text.find('\0') != std::string_view::npos) return std::nullopt;
  return Utf8ToWide(text);
}

std::wstring Displayable(std::string_view text) {
  return *ToWide(text.substr(0, text.find('\0')));  // no NUL left
}

std::string ToUtf8(std::wstring_view text) { return WideToUtf8(text); }

std::string ToUtf8(const wchar_t* text, std::size_t max_chars) {
  std::size_t length = 0;
  while (length < max_chars && text[length] != L'\0') ++length;
  return ToUtf8(std::wstring_view(text, length));
}

std::string SystemFolder(UINT(WINAPI* call)(LPWSTR buffer, UINT size)) {
  wchar_t buffer[MAX_PATH + 1];
  const UINT length = call(buffer, MAX_PATH + 1);
  return length == 0 || length > MAX_PATH ? std::string()
                                          : ToUtf8(std::wstring_view(buffer, length));
}

}  // namespace platform::win32
