// The headless driver: the tool on a simulated Windows machine.
//   remedor [--machine DIR] [--script FILE] [--out DIR] [--] [ARG...]
#include <iostream>
#include <string>
#include <vector>

#include "app/headless.h"
#include "platform/arguments.h"

int main(int argc, char** argv) {
  std::string error;
  const auto options = app::ParseDriverArguments(platform::ProgramArguments(argc, argv), error);
  if (!options) {
    std::cerr << "remedor: " << error << "\n"
              << "usage: remedor [--machine DIR] [--script FILE] [--out DIR] [--] [ARG...]\n";
    return 2;
  }
  return app::RunDriver(*options, std::cout, std::cerr);
}
