// UTF-8 <-> UTF-16 at the edge of the wide-character Win32 functions.
#pragma once

#include "platform/win32/windows_api.h"

#include <optional>
#include <string>
#include <string_view>

namespace platform::win32 {

// nullopt when the text holds a NUL: the API would take it for the end of the
// string and act on a shorter name than the one asked for.
std::optional<std::wstring> ToWide(std::string_view text);
// Text to show (a caption, a message, a drawn line): what comes before a NUL,
// which would end the text for the API anyway.
std::wstring Displayable(std::string_view text);
std::string ToUtf8(std::wstring_view text);
// A NUL-terminated buffer filled by the API; stops at the first NUL or at
// max_chars, whichever comes first.
std::string ToUtf8(const wchar_t* text, std::size_t max_chars);
// A system folder from GetWindowsDirectoryW, GetSystemWow64DirectoryW and the
// like (a call taking a buffer and its size); empty when the call fails.
std::string SystemFolder(UINT(WINAPI* call)(LPWSTR buffer, UINT size));

}  // namespace platform::win32
