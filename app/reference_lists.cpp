#include "app/reference_lists.h"

#include "platform/text.h"

namespace app {

const std::vector<std::string>& SinglePackNames() {
  static const std::vector<std::string> names = {
      "A8W-17", "A8W-16",     "A8W-14",     "A8W-13",     "A8W-12",     "A8W-11",     "A8W-10",
      "A8W-09", "A8W-08",     "A8W-07",     "A8W-06",     "A8W-05",     "A8W-04",     "A8W-03",
      "A8W-02", "A8W-01",     "A8W-00",     "A8W-99",     "A8_1",       "A8_2",       "A8_3",
      "A7K_1",  "A7K_2",      "A7_1",       "A7_2",       "A6K_1",      "A6K_2",      "A6K_3",
      "A6_1",   "A6_2",       "A5K_1",      "A5_1",       "N4_S2000_1", "N4_S2000_2", "N4_1",
      "N4_2",   "N4_3",       "N3_1",       "N3_2",       "N2_1",       "N2_2",       "N1_1",
      "GT10_1", "F2000_14_1", "F2000_14_2", "F2000_13_1", "F2000_13_2", "F2000_12_1", "F2000_12_2",
      "VHC_1",  "VHC_2",      "R1",         "R2",         "R2_2",       "R3",         "R4",
      "R5",     "Group_B",    "Group_H",    "N4_SW"};
  return names;
}

const std::vector<std::string>& NgpValueNames() {
  static const std::vector<std::string> names = {"NGP_AWD_1", "NGP_AWD_2", "NGP_AWD_3",
                                                 "NGP_FWD_1", "NGP_RWD_1", "NGP_RWD_2"};
  return names;
}

const std::vector<std::string>& ShippedListFiles() {
  static const std::vector<std::string> files = [] {
    std::vector<std::string> all = {std::string(kGeneralList),
                                    std::string(kAllPacksValue) + ".TXT"};
    for (const std::string& pack : SinglePackNames()) all.push_back(pack + ".TXT");
    all.emplace_back(kNgpList);
    return all;
  }();
  return files;
}

std::string UpdateOfLine(std::string_view line, std::size_t limit) {
  return platform::Utf8Substr(line, 1, limit);
}

std::string SupportedUpdateOf(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    if (IsCommentLine(line)) continue;
    if (IsUpdateLine(line)) return UpdateOfLine(line);
  }
  return {};
}

}  // namespace app
