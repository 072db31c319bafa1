// OpenPlatform for the Windows build: the real machine, through the Win32 API.
//
// The backend folder holds thin shells over the API: the wide-character
// functions, UTF-8 converted at the edge (win32_text.h), Win32 error codes
// mapped onto platform::Errc with the call's name and subject (win32_error.h),
// and <windows.h> included through windows_api.h. The program's own logic
// stays out: each operation does what its platform call does.
#include "platform/platform.h"

#include "platform/win32/win32_files.h"
#include "platform/win32/win32_machine.h"
#include "platform/win32/win32_profile.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell.h"

namespace platform {

namespace {

class Win32Platform final : public Platform {
 public:
  Registry& registry() override { return registry_; }
  FileSystem& files() override { return files_; }
  ProfileStrings& profile() override { return profile_; }
  Machine& machine() override { return machine_; }
  Shell& shell() override { return shell_; }

 private:
  win32::Win32Registry registry_;
  win32::Win32FileSystem files_;
  win32::Win32ProfileStrings profile_;
  win32::Win32Machine machine_;
  win32::Win32Shell shell_;
};

}  // namespace

Result<std::unique_ptr<Platform>> OpenPlatform(const PlatformOptions& options) {
  if (!options.machine_folder.empty()) {
    return MakeError(Errc::kNotSupported, "OpenPlatform", options.machine_folder, 0,
                     "a simulated machine folder needs the POSIX build; this one works on the "
                     "real Windows");
  }
  return std::unique_ptr<Platform>(std::make_unique<Win32Platform>());
}

}  // namespace platform
