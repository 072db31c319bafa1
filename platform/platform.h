// The platform layer: the Windows services the rest of the program uses, one
// interface per concern. Two backends implement it: platform/win32 over the
// real API, and platform/posix over a simulated Windows machine (a folder in
// Wine's prefix layout). The rest of the program never learns which one runs.
#pragma once

#include <memory>
#include <string>

#include "platform/files.h"
#include "platform/machine.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/shell.h"

namespace platform {

class Platform {
 public:
  virtual ~Platform() = default;
  virtual Registry& registry() = 0;
  virtual FileSystem& files() = 0;
  virtual ProfileStrings& profile() = 0;
  virtual Machine& machine() = 0;
  virtual Shell& shell() = 0;
};

struct PlatformOptions {
  // The simulated machine's folder (POSIX backend only; empty: $WINEPREFIX,
  // else ~/.wine).
  std::string machine_folder;
};

// The backend this build was made with. Fails with a clear message (a missing
// machine folder, a malformed registry file).
Result<std::unique_ptr<Platform>> OpenPlatform(const PlatformOptions& options);

}  // namespace platform
