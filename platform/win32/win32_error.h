// Win32 error codes onto the portable ones, keeping the API name, the subject
// and the code itself for the message.
#pragma once

#include "platform/win32/windows_api.h"

#include <string>
#include <string_view>

#include "platform/result.h"

namespace platform::win32 {

Errc ErrcFromWin32(DWORD code);
Error Win32Error(DWORD code, std::string operation, std::string_view subject);
// Win32Error(GetLastError(), ...); call it before anything else can reset it.
Error LastError(std::string operation, std::string_view subject);
// A name holding a NUL, refused before it reaches the API.
Error BadName(std::string operation, std::string_view subject);

}  // namespace platform::win32
