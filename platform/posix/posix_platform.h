// The POSIX backend's platform: a simulated Windows machine in a folder of
// Wine's prefix layout (drive_c, dosdevices, system.reg, user.reg), with the
// machine's facts and processes beside them (platform/posix/simulated_machine.h).
// The concrete class is visible to tests and to the headless front end, which
// reach the shell's event hook and the host side of the machine's paths.
#pragma once

#include <filesystem>
#include <memory>

#include "platform/platform.h"
#include "platform/posix/posix_shell.h"
#include "platform/posix/prefix_files.h"
#include "platform/posix/prefix_profile.h"
#include "platform/posix/simulated_machine.h"
#include "platform/posix/wine_registry.h"

namespace platform::posix {

class PosixPlatform final : public Platform {
 public:
  // Opens the prefix: its registry, drives, facts and processes. A folder that
  // is missing or not a prefix (no drive_c), a registry, facts or processes
  // file that is malformed or unreadable (a folder in its place), or a wrong
  // fact fails with a message naming it. The facts' [Faults] are armed.
  static Result<std::unique_ptr<PosixPlatform>> Open(const std::filesystem::path& prefix);

  Registry& registry() override { return *registry_; }
  FileSystem& files() override { return *files_; }
  ProfileStrings& profile() override { return *profile_; }
  Machine& machine() override { return *machine_; }
  Shell& shell() override { return *shell_; }

  PosixShell& posix_shell() { return *shell_; }
  PrefixFileSystem& prefix_files() { return *files_; }
  const std::filesystem::path& prefix() const { return prefix_; }
  // The faults armed for this machine (its facts' [Faults], and tests).
  FaultInjector& faults() { return *faults_; }

 private:
  explicit PosixPlatform(std::filesystem::path prefix) : prefix_(std::move(prefix)) {}

  std::filesystem::path prefix_;
  // Shared with the files the machine hands out, which may outlive it.
  std::shared_ptr<FaultInjector> faults_ = std::make_shared<FaultInjector>();
  std::unique_ptr<WineRegistry> registry_;
  std::unique_ptr<PrefixFileSystem> files_;
  std::unique_ptr<PrefixProfileStrings> profile_;
  std::unique_ptr<SimulatedMachine> machine_;
  std::unique_ptr<PosixShell> shell_;
};

// The machine folder of the options, else $WINEPREFIX, else ~/.wine.
std::filesystem::path MachineFolder(const PlatformOptions& options);

}  // namespace platform::posix
