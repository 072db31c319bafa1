// The control centre's window reset: for each edition the player ticks, every
// window position of the last used profile becomes "0".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace repairs {

enum class Edition { kAlone, kPublic, kChampionships };

// The values reset, in the order written: Left, Top and Show of each window,
// and Left and Top of the game's window (which has no Show value).
std::vector<std::string> WindowPositionValues(Edition edition);

// The edition's settings key of a profile, below HKEY_CURRENT_USER:
// prefix + number + "-" + profile + " Settings".
std::string EditionSettingsKey(Edition edition, std::string_view profile, std::string_view number);

}  // namespace repairs
