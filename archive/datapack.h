// The DataPack extraction of the start-up: the add-on's password-protected
// archive of digests, "QUORVEL\qdm.7z" in the game folder, extracted whole
// into the tool's own folder, replacing files of the same names.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "archive/SevenZip.h"

namespace archive {

// The largest DataPack item extracted, in bytes: a real DataPack's digest
// list is a few kilobytes; a larger item is the archive's trick, not data.
inline constexpr std::uint64_t kDataPackItemLimit = 1 << 20;

// The outcome is not looked at: a missing or unreadable DataPack, or a wrong
// password, leaves the integrity check without its list, and nothing is
// reported. Only plain file names (IsPlainFileName) of at most
// kDataPackItemLimit bytes are extracted, straight into own_folder; folders
// and any other item are left out. Returns the names of the files the
// extraction created, none that was there before, for the clean-up at close
// to delete by name. install_folder and own_folder end with a backslash.
std::vector<std::string> ExtractDataPack(TSevenZip& sevenzip, std::string_view install_folder,
                                         std::string_view own_folder);

}  // namespace archive
