// The headless driver `remedor`: runs the tool on a simulated machine,
// optionally with an action script, and writes what the player would see.
//
//   remedor [--machine DIR] [--script FILE] [--out DIR] [--] [ARG...]
#pragma once

#include <iosfwd>

#include "app/headless_script.h"

namespace app {

// Runs one headless session. 0 when the run completed, whatever the tool
// found; non-zero for the driver's own errors (bad script, missing machine),
// explained on `err`.
int RunDriver(const DriverOptions& options, std::ostream& out, std::ostream& err);

}  // namespace app
