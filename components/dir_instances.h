// The directory-scanner instances of the main window with their initial
// properties. Their callers assign PathName before each scan.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "components/BFC_Dir.h"

struct TBFC_DirInstance {
  std::string_view name;
  std::string_view FileName;
  bool PathInName;
};

inline constexpr std::array<TBFC_DirInstance, 5> kDirInstances{{
    {"BFC_Dir1", "track-??_?_textures", false},        // misnamed texture folders (analysis)
    {"BFC_Dir2", "track-??_?_textures", false},        // misnamed texture folders (repair)
    {"BFC_Dir3", "?_track-??_?_textures.rep", false},  // marker files in such a folder
    {"BFC_Dir4", "*.7z", false},                       // the add-on's archives
    {"BFC_Dir5", "*.ini", false},                      // the add-on's sound settings
}};

// A component configured as the instance `instance` is on the window.
inline void Configure(TBFC_Dir& dir, const TBFC_DirInstance& instance) {
  dir.FileName = std::string(instance.FileName);
  dir.PathInName = instance.PathInName;
}
