// Remedor.exe's entry point. With --script or --out it runs the headless
// driver (app/headless.h) on the real machine, its output on the console it
// was started from; otherwise it opens the main window.
#include "platform/win32/windows_api.h"

#include <io.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "app/headless.h"
#include "app/headless_script.h"
#include "frontend/win32/main_window.h"
#include "platform/arguments.h"
#include "platform/win32/console.h"
#include "platform/win32/system_library.h"

// The run-time's entry point, which starts the C and C++ run-time (static
// constructors included) and then calls main.
extern "C" int WinMainCRTStartup();

// Remedor.exe's entry point: before the run-time or anything else loads a
// library, bare library names are looked up in the system folder alone.
extern "C" int RemedorStartup() {
  platform::win32::RestrictLibrarySearchToSystemFolder();
  return WinMainCRTStartup();
}

int main(int argc, char** argv) {
  const std::vector<std::string> arguments = platform::ProgramArguments(argc, argv);
  std::string error;
  const std::optional<app::DriverOptions> options = app::ParseDriverArguments(arguments, error);
  if (options && !options->help && options->script.empty() && options->out.empty()) {
    return frontend::win32::RunMainWindow(options->arguments);
  }
  platform::win32::AttachToParentConsole();
  if (!options) {
    std::cerr << "Remedor: " << error << "\n" << app::kDriverUsage;
    return 2;
  }
  if (options->help) {
    std::cout << app::kDriverUsage;
    return 0;
  }
  return app::RunDriver(*options, std::cout, std::cerr,
                        {_isatty(_fileno(stdout)) != 0, _isatty(_fileno(stderr)) != 0});
}
