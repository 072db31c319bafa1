// A program's command line as UTF-8 words.
#pragma once

#include <string>
#include <vector>

namespace platform {

// The arguments after the program's name: argv on POSIX; on Windows the wide
// command line split as Windows splits it (argv there is in the ANSI code page).
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace platform
