// The reference lists shipped beside the executable: the general list, the
// all-packs list, sixty single-pack lists and the NGP list, and the names the
// pack-selection values give them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

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

// The text after the first update marker ("µ") of the lines, lines starting
// with "//" skipped; empty when there is none. `limit` characters at most.
std::string SupportedUpdateOf(const std::vector<std::string>& lines,
                              std::size_t limit = std::string::npos);

}  // namespace app
