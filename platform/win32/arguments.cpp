#include "platform/arguments.h"

#include "platform/win32/windows_api.h"

#include <shellapi.h>

#include "platform/win32/win32_text.h"

namespace platform {

std::vector<std::string> ProgramArguments(int, char**) {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 1; wide && i < count; ++i) arguments.push_back(win32::ToUtf8(wide[i]));
  if (wide) LocalFree(wide);
  return arguments;
}

}  // namespace platform
