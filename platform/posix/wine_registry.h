// The registry of the simulated Windows machine: the registry files of a Wine
// prefix, read and written as wineserver reads and writes them.
//
// Simulated: HKEY_LOCAL_MACHINE (system.reg), HKEY_CURRENT_USER (user.reg),
// HKEY_USERS with the user's SID (user.reg) and .Default (userdef.reg),
// HKEY_CLASSES_ROOT as the merge of HKCU\Software\Classes over
// HKLM\Software\Classes, HKEY_CURRENT_CONFIG as
// HKLM\System\CurrentControlSet\Hardware Profiles\Current; names matched
// without regard to case; symbolic-link keys followed; the 32-bit view of
// HKLM\Software in a 64-bit prefix (Software\Wow6432Node, Software\Classes
// shared); refusal of writes to a key opened for reading.
// Not simulated: security descriptors, volatile keys, notifications, other
// users' hives.
//
// Changes are kept in memory and saved, each file atomically, when the last
// open key of a changed file is closed. A running wineserver keeps its own
// copy of the registry and writes it back when it exits, which would wipe out
// ours: while one holds the prefix, every change is refused with kBusy.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/posix/wine_registry_hive.h"
#include "platform/registry.h"

namespace platform::posix {

class WineRegistry final : public Registry {
 public:
  // Reads the prefix's registry files; a missing file reads as an empty
  // registry and is created on the first write. Fails with kInvalidData naming
  // the file and line when a file is malformed.
  // Its calls fail where `faults` says (a fresh injector of its own when none is given).
  static Result<std::unique_ptr<WineRegistry>> Open(
      const std::filesystem::path& prefix,
      std::shared_ptr<FaultInjector> faults = std::make_shared<FaultInjector>());
  // Saves what was not saved yet (a failed save at close is retried here).
  ~WineRegistry() override;

  Result<Key> OpenKey(RootKey root, std::string_view path, KeyAccess access) override;
  Result<Key> CreateKey(RootKey root, std::string_view path) override;
  Result<RegistryValue> QueryValue(Key key, std::string_view name) override;
  Status SetStringValue(Key key, std::string_view name, std::string_view text) override;
  void CloseKey(Key key) override;

  // Saves every changed file now, open keys or not.
  Status Flush();

  FaultInjector& faults() { return *faults_; }

 private:
  // A key: a node of one of the hives, or (hive null) the HKEY_USERS root.
  struct Location {
    RegistryHive* hive = nullptr;
    RegistryHive::Node* node = nullptr;
  };
  struct Handle {
    Location location;
    KeyAccess access = KeyAccess::kRead;
  };

  WineRegistry(std::filesystem::path prefix, std::shared_ptr<FaultInjector> faults)
      : prefix_(std::move(prefix)), faults_(std::move(faults)) {}

  Result<Location> Resolve(RootKey root, std::string_view path, bool create,
                           std::string_view operation);
  Result<Location> Walk(Location start, std::vector<std::string> names, bool create,
                        std::string_view operation, std::string_view subject);
  Result<Location> LinkTarget(RegistryHive& hive, const RegistryHive::Node& link,
                              std::vector<std::string>& names, std::string_view operation,
                              std::string_view subject);
  Status RefuseIfServerRunning(std::string_view operation, std::string_view subject) const;
  Key AddHandle(Location location, KeyAccess access);
  Handle* Find(Key key);

  std::filesystem::path prefix_;
  std::shared_ptr<FaultInjector> faults_;
  std::unique_ptr<RegistryHive> machine_, user_, default_user_;
  std::u16string user_sid_;
  bool wow64_ = true;  // a 64-bit prefix: HKLM\Software has a 32-bit view
  std::map<Key, Handle> handles_;
  Key next_key_ = 1;
};

// True while a wineserver holds the prefix: it holds the lock of its server
// folder, /tmp/.wine-<uid>/server-<device>-<inode>/lock (device and inode of
// the prefix folder, in hex).
bool WineServerRunning(const std::filesystem::path& prefix);

}  // namespace platform::posix
