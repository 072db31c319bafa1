// The texture-folder repair: a track-texture folder that lost its leading
// character ("track-10_M_textures") gets back the name its marker file
// records ("2_track-10_M_textures.rep"), or is removed when a folder of that
// name is already there.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace repairs {

// The parent folders repaired, relative to the game folder, in order.
const std::vector<std::string>& TextureParentFolders();

// The message shown when a misnamed folder in `parent` has no marker file.
std::string MissingMarkerMessage(std::string_view parent);

// The folder name a marker file records: its name without ".rep".
std::string NameFromMarker(std::string_view marker_file);

}  // namespace repairs
