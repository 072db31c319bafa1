// The headless driver: the tool on a simulated Windows machine.
//   remedor [--machine DIR] [--script FILE] [--out DIR] [--] [ARG...]
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "app/headless.h"
#include "platform/arguments.h"

int main(int argc, char** argv) {
  std::string error;
  const auto options = app::ParseDriverArguments(platform::ProgramArguments(argc, argv), error);
  if (!options) {
    std::cerr << "remedor: " << error << "\n" << app::kDriverUsage;
    return 2;
  }
  if (options->help) {
    std::cout << app::kDriverUsage;
    return 0;
  }
  return app::RunDriver(*options, std::cout, std::cerr,
                        {isatty(STDOUT_FILENO) != 0, isatty(STDERR_FILENO) != 0});
}
