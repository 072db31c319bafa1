#include "repairs/window_reset.h"

#include <gtest/gtest.h>

namespace repairs {
namespace {

using Names = std::vector<std::string>;

TEST(WindowReset, ValuesOfEachEditionInOrder) {
  EXPECT_EQ(
      WindowPositionValues(Edition::kAlone),
      (Names{"frmCarLeft",     "frmCarTop",     "frmCarShow",     "frmChronoLeft", "frmChronoTop",
             "frmChronoShow",  "frmIndexLeft",  "frmIndexTop",    "frmIndexShow",  "frmInfoLeft",
             "frmInfoTop",     "frmInfoShow",   "frmManagerLeft", "frmManagerTop", "frmManagerShow",
             "frmMyTimesLeft", "frmMyTimesTop", "frmMyTimesShow", "frmRBRLeft",    "frmRBRTop"}));
  EXPECT_EQ(WindowPositionValues(Edition::kPublic),
            (Names{"frmCarLeft",     "frmCarTop",        "frmCarShow",      "frmChronoLeft",
                   "frmChronoTop",   "frmChronoShow",    "frmIndexLeft",    "frmIndexTop",
                   "frmIndexShow",   "frmInfoLeft",      "frmInfoTop",      "frmInfoShow",
                   "frmManagerLeft", "frmManagerTop",    "frmManagerShow",  "frmMyTimesLeft",
                   "frmMyTimesTop",  "frmMyTimesShow",   "frmPublicLeft",   "frmPublicTop",
                   "frmPublicShow",  "frmRoadbooksLeft", "frmRoadbooksTop", "frmRoadbooksShow",
                   "frmRBRLeft",     "frmRBRTop"}));
  EXPECT_EQ(WindowPositionValues(Edition::kChampionships),
            (Names{"frmCarLeft",     "frmCarTop",        "frmCarShow",      "frmChronoLeft",
                   "frmChronoTop",   "frmChronoShow",    "frmIndexLeft",    "frmIndexTop",
                   "frmIndexShow",   "frmInfoLeft",      "frmInfoTop",      "frmInfoShow",
                   "frmLiveLeft",    "frmLiveTop",       "frmLiveShow",     "frmManagerLeft",
                   "frmManagerTop",  "frmManagerShow",   "frmMyTimesLeft",  "frmMyTimesTop",
                   "frmMyTimesShow", "frmRoadbooksLeft", "frmRoadbooksTop", "frmRoadbooksShow",
                   "frmRBRLeft",     "frmRBRTop"}));
}

TEST(WindowReset, EditionKeyOfProfile) {
  EXPECT_EQ(EditionSettingsKey(Edition::kAlone, "Pilote", "3"),
            "\\Software\\VB and VBA Program Settings\\CorvaneAlone\\3-Pilote Settings");
  EXPECT_EQ(EditionSettingsKey(Edition::kChampionships, "", ""),
            "\\Software\\VB and VBA Program Settings\\CorvaneChampionships\\- Settings");
}

}  // namespace
}  // namespace repairs
