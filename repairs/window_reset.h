// The control centre's window reset: for each edition the player ticks, every
// window position of the last used profile becomes "0".
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "components/mRegistry.h"

namespace repairs {

enum class Edition { kAlone, kPublic, kChampionships };

// The values reset, in the order written: Left, Top and Show of each window,
// and Left and Top of the game's window (which has no Show value).
std::vector<std::string> WindowPositionValues(Edition edition);

// The edition's settings key of a profile, below HKEY_CURRENT_USER:
// prefix + number + "-" + profile + " Settings".
std::string EditionSettingsKey(Edition edition, std::string_view profile, std::string_view number);

// Resets the editions given, in order, for the profile that `last_profile`
// (mRegistry8) names. An edition key that cannot be created is skipped without
// a message; a failed write raises the registry error and ends the reset.
void ResetWindowPositions(TmRegistry& last_profile, platform::Registry& registry,
                          const std::vector<Edition>& editions);

}  // namespace repairs
