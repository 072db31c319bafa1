// The registry instances of the main window with their initial properties,
// and the add-on's keys they start at.
#pragma once

#include <array>
#include <string_view>

#include "components/mRegistry.h"

// The add-on's keys below one publisher's branch of the game's registry keys
// (InstallPathKey, InstalledUpdateKey, PackSelectionKey, PackVersionsKey): the
// newer publisher's are where the instances start, the older one's are the
// start-up's fallback when the newer gives no game folder.
struct AddOnKeyPaths {
  std::string_view install_path;
  std::string_view installed_update;
  std::string_view pack_selection;
  std::string_view pack_versions;
};
inline constexpr AddOnKeyPaths kSciGamesKeys{
    "\\SOFTWARE\\SCi Games\\Richard Burns Rally\\InstallPath\\",
    "\\SOFTWARE\\SCi Games\\Richard Burns Rally\\QUORVEL\\InstalledUpdate",
    "\\Software\\SCi Games\\Richard Burns Rally\\QUORVEL\\Packs2015",
    "\\SOFTWARE\\SCi Games\\Richard Burns Rally\\QUORVEL\\Packs\\"};
inline constexpr AddOnKeyPaths kEidosKeys{
    "\\SOFTWARE\\EIDOS\\Richard Burns Rally\\InstallPath\\",
    "\\SOFTWARE\\EIDOS\\Richard Burns Rally\\QUORVEL\\InstalledUpdate",
    "\\Software\\EIDOS\\Richard Burns Rally\\QUORVEL\\Packs",
    "\\SOFTWARE\\EIDOS\\Richard Burns Rally\\QUORVEL\\Packs\\"};
// The game's own key: PackVersionsKey until the start-up reads the registry.
inline constexpr std::string_view kGameKey = "\\SOFTWARE\\SCi Games\\Richard Burns Rally\\";
// The Windows time service's parameters in the current control set.
inline constexpr std::string_view kTimeServiceKey =
    "\\SYSTEM\\CurrentControlSet\\Services\\W32Time\\Parameters";

struct TmRegistryInstance {
  std::string_view name;
  TmRootKey RootKey;
  std::string_view Key;
  bool CanCreate;
};

inline constexpr std::array<TmRegistryInstance, 11> kRegistryInstances{{
    {"mRegistry1", rkHKEY_LOCAL_MACHINE, kSciGamesKeys.install_path, true},
    {"mRegistry2", rkHKEY_LOCAL_MACHINE, kSciGamesKeys.pack_selection, true},
    {"mRegistry3", rkHKEY_LOCAL_MACHINE, kSciGamesKeys.installed_update, true},
    {"mRegistry4", rkHKEY_LOCAL_MACHINE,
     "\\SOFTWARE\\SCi Games\\Richard Burns Rally\\QUORVEL\\Sons_2010", true},
    {"mRegistry5", rkHKEY_CURRENT_USER,
     "\\Software\\VB and VBA Program Settings\\Corvane2015\\guest Settings", true},
    {"mRegistry6", rkHKEY_LOCAL_MACHINE, kGameKey, true},
    {"mRegistry7", rkHKEY_LOCAL_MACHINE, kTimeServiceKey, true},
    {"mRegistry8", rkHKEY_CURRENT_USER,
     "\\Software\\VB and VBA Program Settings\\Corvane2015\\LastProfile", true},
    {"mRegistry10", rkHKEY_LOCAL_MACHINE,
     "\\SOFTWARE\\SCi Games\\Richard Burns Rally\\QUORVEL\\PackSpeciales2015", true},
    {"mRegistry11", rkHKEY_LOCAL_MACHINE, "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
     false},
    {"Autoremove", rkHKEY_CURRENT_USER, "\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
     true},
}};

// A component configured as the instance `instance` is on the window.
inline void Configure(TmRegistry& registry, const TmRegistryInstance& instance) {
  registry.RootKey = instance.RootKey;
  registry.Key = std::string(instance.Key);
  registry.CanCreate = instance.CanCreate;
}
