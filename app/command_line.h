// The tool's command line: /DIR:folder, /ini, /?, /H, /VER. Arguments arrive
// already split (Windows' splitting, quotes removed).
#pragma once

#include <string>
#include <vector>

namespace app {

// What the command line asked for.
struct CommandLineOptions {
  std::string install_folder_preset;  // empty, or the "/DIR" text followed by "\"
  bool NoIniDump = false;
  bool NoUpdateGate = false;
};

struct ParsedCommandLine {
  CommandLineOptions options;
  bool show_help = false;  // "/?" or "/H": the command-line help panel
};

// Only an argument's first four characters count, compared without regard to
// letter case, so /VERSION acts as /VER and /Help is ignored. Unknown
// arguments are ignored; the last /DIR wins.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The 16 lines of the command-line help panel.
const std::vector<std::string>& CommandLineHelpLines();

}  // namespace app
