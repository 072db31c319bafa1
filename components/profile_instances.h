// The INI instances of the main window with their initial properties. Their
// callers aim them at run time (IniFileName, and KeyName where it is empty).
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "components/Profil.h"

struct TProfileInstance {
  std::string_view name;
  std::string_view Category;
  std::string_view KeyName;
  std::string_view DefaultValue;
  std::string_view IniFileName;
  TProfileAction Action;
};

inline constexpr std::array<TProfileInstance, 4> kProfileInstances{{
    {"Profile1", "MD5", "", "********************", "", paRead},  // the add-on's MD5 list
    {"Profile2", "Settings", "", "0", "RichardBurnsRally.ini", paRead},
    {"Profile3", "Nbre_Packs", "nbre", "", "Config_P.ini", paRead},
    {"Profile4", "Settings", "enableFMOD", "", "", paRead},  // the FMOD audio settings
}};

// A component configured as the instance `instance` is on the window.
inline void Configure(TProfile& profile, const TProfileInstance& instance) {
  profile.Category = instance.Category;
  profile.KeyName = instance.KeyName;
  profile.DefaultValue = instance.DefaultValue;
  profile.IniFileName = std::string(instance.IniFileName);
  profile.Action = instance.Action;
}
