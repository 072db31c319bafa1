// The reference lists shipped beside the executable: the general list, the
// all-packs list, sixty single-pack lists and the NGP list, the names the
// pack-selection values give them, and the lines' format outside the check
// entries (whose markers are the check's, analysis/required_files.h).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "analysis/required_files.h"

namespace app {

inline constexpr std::string_view kGeneralList = "FILESLIST.TXT";
inline constexpr std::string_view kAllPacksValue = "AllPacks";
inline constexpr std::string_view kNgpList = "NGP.TXT";

// The sixty single-pack names, in the order they are considered.
const std::vector<std::string>& SinglePackNames();
// The six values of which any one selects the NGP list.
const std::vector<std::string>& NgpValueNames();
// Every list file the tool loads or could load, general list first.
const std::vector<std::string>& ShippedListFiles();

// A value selects its list unless it reads exactly "0" (absent reads "").
inline bool SelectsList(std::string_view value) { return value != "0"; }

// A comment line starts with "//"; the update line, with the update marker.
inline bool IsCommentLine(std::string_view line) { return line.starts_with("//"); }
inline bool IsUpdateLine(std::string_view line) {
  return line.starts_with(analysis::kUpdateMarker);
}

// The update an update line names: the text after its marker, `limit`
// characters at most.
std::string UpdateOfLine(std::string_view line, std::size_t limit = std::string::npos);
// The update-version gate compares the first six characters of the update.
inline constexpr std::size_t kGateUpdateLength = 6;

// SupportedUpdate: the whole update of the first update line, comments
// skipped; empty when there is none.
std::string SupportedUpdateOf(const std::vector<std::string>& lines);

}  // namespace app
