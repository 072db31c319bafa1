#include "platform/win32/console.h"

#include "platform/win32/windows_api.h"

#include <cstdio>

namespace platform::win32 {

namespace {

bool HasHandle(DWORD which) {
  const HANDLE handle = GetStdHandle(which);
  return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
         GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

}  // namespace

bool AttachToParentConsole() {
  const bool has_out = HasHandle(STD_OUTPUT_HANDLE);
  const bool has_err = HasHandle(STD_ERROR_HANDLE);
  if (has_out && has_err) return true;
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return has_out;
  std::FILE* stream = nullptr;
  if (!has_out) freopen_s(&stream, "CONOUT$", "w", stdout);
  if (!has_err) freopen_s(&stream, "CONOUT$", "w", stderr);
  return true;
}

}  // namespace platform::win32
