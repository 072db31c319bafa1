#include <cstdlib>
#include <system_error>

#include "platform/posix/faults.h"
#include "platform/posix/posix_platform.h"

namespace platform {

namespace posix {

std::filesystem::path MachineFolder(const PlatformOptions& options) {
  if (!options.machine_folder.empty()) return options.machine_folder;
  if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix) return prefix;
  const char* home = std::getenv("HOME");
  return std::filesystem::path(home && *home ? home : ".") / ".wine";
}

Result<std::unique_ptr<PosixPlatform>> PosixPlatform::Open(const std::filesystem::path& prefix) {
  std::error_code error;
  if (!std::filesystem::is_directory(prefix, error)) {
    return MakeError(Errc::kPathNotFound, "OpenPlatform", prefix.string(), 0,
                     "the machine folder does not exist");
  }
  if (!std::filesystem::is_directory(prefix / "drive_c", error)) {
    return MakeError(Errc::kInvalidData, "OpenPlatform", prefix.string(), 0,
                     "not a Wine prefix: it has no drive_c folder");
  }
  std::unique_ptr<PosixPlatform> platform(new PosixPlatform(prefix));
  auto registry = WineRegistry::Open(prefix, platform->faults_);
  if (!registry) return registry.error();
  platform->registry_ = std::move(*registry);
  platform->files_ = std::make_unique<PrefixFileSystem>(prefix, platform->faults_);
  auto machine = SimulatedMachine::Open(prefix, *platform->files_, *platform->faults_);
  if (!machine) return machine.error();
  platform->machine_ = std::move(*machine);
  platform->profile_ = std::make_unique<PrefixProfileStrings>(*platform->files_,
                                                              platform->machine_->WindowsFolder());
  platform->shell_ = std::make_unique<PosixShell>(*platform->files_, *platform->faults_);

  for (const auto& [drive, space] : platform->machine_->DiskOverrides()) {
    platform->files_->SetDiskSpaceOverride(drive, space);
  }
  for (const auto& [operation, nth] : platform->machine_->FaultRules()) {
    platform->faults_->FailNth(operation, nth);
  }
  return platform;
}

}  // namespace posix

Result<std::unique_ptr<Platform>> OpenPlatform(const PlatformOptions& options) {
  auto platform = posix::PosixPlatform::Open(posix::MachineFolder(options));
  if (!platform) return platform.error();
  return std::unique_ptr<Platform>(std::move(*platform));
}

}  // namespace platform
