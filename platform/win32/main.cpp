// Remedor.exe's entry point. With --script or --out it runs the headless
// driver (app/headless.h) on the real machine, its output on the console it
// was started from; otherwise it opens the main window.
#include "platform/win32/windows_api.h"

#include <shellapi.h>

#include <iostream>
#include <string>
#include <vector>

#include "app/headless.h"
#include "app/headless_script.h"
#include "platform/win32/console.h"
#include "platform/win32/main_window.h"
#include "platform/win32/win32_text.h"

namespace {

// The arguments after the program's name, split as Windows splits them.
std::vector<std::string> Arguments() {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 1; wide && i < count; ++i) arguments.push_back(platform::win32::ToUtf8(wide[i]));
  if (wide) LocalFree(wide);
  return arguments;
}

}  // namespace

int main() {
  const std::vector<std::string> arguments = Arguments();
  std::string error;
  const std::optional<app::DriverOptions> options = app::ParseDriverArguments(arguments, error);
  if (options && options->script.empty() && options->out.empty()) {
    return platform::win32::RunMainWindow(options->arguments);
  }
  platform::win32::AttachToParentConsole();
  if (!options) {
    std::cerr << "Remedor: " << error << "\n";
    return 2;
  }
  return app::RunDriver(*options, std::cout, std::cerr);
}
