// The installation-folder test of the analysis: under Windows Vista and
// Windows 7 a game installed below Program Files or the users' folders of
// drive C is under the system's protection and misbehaves.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace analysis {

// "Windows Vista" or "Windows 7" when the product name names that system and
// the game folder starts with a protected prefix, whatever the letter case.
std::optional<std::string> ProtectedInstallSystem(std::string_view product_name,
                                                  std::string_view install_folder);

}  // namespace analysis
