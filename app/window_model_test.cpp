#include "app/window_model.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "app/window_layout.h"

namespace app {
namespace {

// Every control of the model has one entry in the layout, and every entry
// names a control of the model: the window draws and hit-tests exactly what
// the logic and the headless driver see.
TEST(WindowModel, EveryControlHasOneLayoutEntryAndEveryEntryAControl) {
  WindowModel model;
  std::map<std::string, int> entries;
  for (const layout::Place& place : layout::kPlaces) {
    ++entries[std::string(place.control)];
    EXPECT_NE(model.Find(place.control), nullptr) << place.control << " is not in the model";
  }
  for (const Control* control : model.Controls()) {
    EXPECT_EQ(entries[control->name], 1) << control->name;
  }
  EXPECT_EQ(entries.size(), model.Controls().size());
}

// A panel's members show only with their panel, as the layout groups them;
// the other controls do not depend on any panel.
TEST(WindowModel, PanelMembershipFollowsTheLayout) {
  WindowModel model;
  for (const layout::Place& place : layout::kPlaces) {
    Control& control = *model.Find(place.control);
    control.visible = true;
    if (place.panel.empty()) {
      EXPECT_EQ(control.panel, nullptr) << place.control;
      EXPECT_TRUE(model.Shown(control)) << place.control;
      continue;
    }
    Control& panel = *model.Find(place.panel);
    ASSERT_EQ(control.panel, &panel) << place.control;
    panel.visible = false;
    EXPECT_FALSE(model.Shown(control)) << place.control;
    panel.visible = true;
    EXPECT_TRUE(model.Shown(control)) << place.control;
    control.visible = false;
    EXPECT_FALSE(model.Shown(control)) << place.control;
  }
}

// The panels stand at their layout places from the start, and Place puts a
// moved panel back there.
TEST(WindowModel, PanelsStandAtTheirLayoutPlaces) {
  WindowModel model;
  for (const layout::Place& place : layout::kPlaces) {
    if (place.kind != layout::Kind::kPanel) continue;
    Control& panel = *model.Find(place.control);
    EXPECT_EQ(std::make_pair(panel.left, panel.top), std::make_pair(place.box.left, place.box.top))
        << place.control;
    panel.left = panel.top = 1;
    model.Place(panel);
    EXPECT_EQ(std::make_pair(panel.left, panel.top), std::make_pair(place.box.left, place.box.top))
        << place.control;
  }
}

}  // namespace
}  // namespace app
