// The settings part of the start-up survey, rows 19 to 31: what the control
// centre, the game folder, the registry and the time service say.
#pragma once

#include <string>
#include <string_view>

class TForm1;

namespace survey {

// A key of the "Settings" section of the game's INI file, read through the
// window's game-settings reader ("0" when the key or the file is missing).
std::string GameSetting(TForm1& form, std::string_view key);

void WriteSettingsRows(TForm1& form);

}  // namespace survey
