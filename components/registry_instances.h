// The registry instances of the main window with their initial properties.
#pragma once

#include <array>
#include <string_view>

#include "components/mRegistry.h"

struct TmRegistryInstance {
  std::string_view name;
  TmRootKey root;
  std::string_view key;
  bool canCreate;
};

inline constexpr std::array<TmRegistryInstance, 11> kRegistryInstances{{
    {"mRegistry1", rkHKEY_LOCAL_MACHINE,
     "\\SOFTWARE\\SCi Games\\Richard Burns Rally\\InstallPath\\", true},
    {"mRegistry2", rkHKEY_LOCAL_MACHINE,
     "\\Software\\SCi Games\\Richard Burns Rally\\QUORVEL\\Packs2015", true},
    {"mRegistry3", rkHKEY_LOCAL_MACHINE,
     "\\SOFTWARE\\SCi Games\\Richard Burns Rally\\QUORVEL\\InstalledUpdate", true},
    {"mRegistry4", rkHKEY_LOCAL_MACHINE,
     "\\SOFTWARE\\SCi Games\\Richard Burns Rally\\QUORVEL\\Sons_2010", true},
    {"mRegistry5", rkHKEY_CURRENT_USER,
     "\\Software\\VB and VBA Program Settings\\Corvane2015\\guest Settings", true},
    {"mRegistry6", rkHKEY_LOCAL_MACHINE, "\\SOFTWARE\\SCi Games\\Richard Burns Rally\\", true},
    {"mRegistry7", rkHKEY_LOCAL_MACHINE,
     "\\SYSTEM\\CurrentControlSet\\Services\\W32Time\\Parameters", true},
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
  registry.RootKey = instance.root;
  registry.Key = std::string(instance.key);
  registry.CanCreate = instance.canCreate;
}
