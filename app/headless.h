// The headless driver `remedor`: runs the tool on a simulated machine,
// optionally with an action script, and writes what the player would see.
//
//   remedor [--machine DIR] [--script FILE] [--out DIR] [--] [ARG...]
#pragma once

#include <iosfwd>

#include "app/headless_script.h"

namespace app {

// Which of the driver's streams reach a terminal: there the machine's text
// shows its control characters escaped (app/terminal_text.h).
struct DriverTerminal {
  bool out = false;
  bool err = false;
};

// Runs one headless session. 0 when the run completed, whatever the tool
// found; 2 for an input the driver refuses (a script that is a folder, cannot
// be read or is not understood, a machine that cannot be opened, an output
// folder that cannot be written), checked before the tool starts and
// explained on `err`; 3 when the tool cannot start.
int RunDriver(const DriverOptions& options, std::ostream& out, std::ostream& err,
              DriverTerminal terminal = {});

}  // namespace app
