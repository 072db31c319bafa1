#include "platform/win32/win32_error.h"

namespace platform::win32 {

Errc ErrcFromWin32(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_NO_MORE_FILES:
      return Errc::kFileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
      return Errc::kPathNotFound;
    case ERROR_ACCESS_DENIED:
      return Errc::kAccessDenied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return Errc::kBusy;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
      return Errc::kAlreadyExists;
    case ERROR_DIRECTORY:
      return Errc::kNotADirectory;
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_NAME:
      return Errc::kBadPathname;
    case ERROR_NOT_SUPPORTED:
    case ERROR_CALL_NOT_IMPLEMENTED:
      return Errc::kNotSupported;
    default:
      return Errc::kIo;
  }
}

Error Win32Error(DWORD code, std::string operation, std::string_view subject) {
  return MakeError(ErrcFromWin32(code), std::move(operation), std::string(subject), code);
}

Error LastError(std::string operation, std::string_view subject) {
  return Win32Error(GetLastError(), std::move(operation), subject);
}

Error BadName(std::string operation, std::string_view subject) {
  return MakeError(Errc::kBadPathname, std::move(operation), std::string(subject),
                   ERROR_BAD_PATHNAME, "the name holds a NUL character");
}

}  // namespace platform::win32
