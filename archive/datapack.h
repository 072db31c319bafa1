// The DataPack extraction of the start-up: the add-on's password-protected
// archive of digests, "QUORVEL\qdm.7z" in the game folder, extracted whole
// into the tool's own folder, replacing files of the same names.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "archive/SevenZip.h"

namespace archive {

// The outcome is not looked at: a missing or unreadable DataPack, or a wrong
// password, leaves the integrity check without its list, and nothing is
// reported. Returns the items' paths relative to own_folder, as the archive
// names them, of everything the extraction set out to write (for the clean-up
// at close). install_folder and own_folder end with a backslash.
std::vector<std::string> ExtractDataPack(TSevenZip& sevenzip, std::string_view install_folder,
                                         std::string_view own_folder);

}  // namespace archive
