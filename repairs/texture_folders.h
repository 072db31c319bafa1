// The texture-folder repair: a track-texture folder that lost its leading
// character ("track-10_M_textures") gets back the name its marker file
// records ("2_track-10_M_textures.rep"), or is removed when a folder of that
// name is already there.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "components/BFC_Dir.h"
#include "components/mRegistry.h"
#include "platform/files.h"
#include "platform/ui.h"

namespace repairs {

// The parent folders repaired, relative to the game folder, in order.
const std::vector<std::string>& TextureParentFolders();

// The message shown when a misnamed folder in `parent` has no marker file.
std::string MissingMarkerMessage(std::string_view parent);

// The folder name a marker file records: its name without ".rep".
std::string NameFromMarker(std::string_view marker_file);

// The scanners of the repair, as configured on the window: misnamed folders
// (BFC_Dir2) and the marker files inside one (BFC_Dir3).
struct TextureScanners {
  TBFC_Dir& misnamed;
  TBFC_Dir& markers;
};

// Repairs every misnamed folder of the parent folders, in order, when the
// game's install-path key (`install_path`, mRegistry1) names a folder; a
// folder without marker file gets its message and is left. A failed rename or
// deletion goes unreported: the next analysis shows the folder again.
void RepairTextureFolders(TmRegistry& install_path, const TextureScanners& scanners,
                          platform::FileSystem& files, platform::UserInterface& ui,
                          std::string_view install_folder);

}  // namespace repairs
