#include "frontend/window_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace frontend {
namespace {

// A window model and its view at 96 DPI, every panel hidden (as at start).
class View : public ::testing::Test {
 protected:
  ViewControl& Entry(std::string_view name) {
    for (ViewControl& control : view.Controls()) {
      if (control.control->name == name) return control;
    }
    throw std::logic_error("no such control in the view");
  }
  std::string NameAt(int x, int y) {
    const std::optional<Hit> hit = view.HitTest({x, y});
    return hit ? hit->target->control->name : std::string();
  }
  void FillCheckList(int lines) { model.CheckList.assign(static_cast<std::size_t>(lines), {"x"}); }

  app::WindowModel model;
  std::vector<std::string> report;
  WindowView view{model, report};
};

TEST_F(View, ScalesAsMulDivRounds) {
  struct Case {
    int dpi, pixels, scaled;
  };
  const Case cases[] = {{96, 663, 663}, {120, 663, 829}, {144, 663, 995}, {144, 25, 38},
                        {144, -5, -8},  {192, 7, 14},    {72, 3, 2},      {0, 663, 663},
                        {-120, 10, 10}, {144, 0, 0}};
  for (const Case& c : cases) {
    view.SetDpi(c.dpi);
    EXPECT_EQ(view.Scale(c.pixels), c.scaled) << c.dpi << " dpi, " << c.pixels;
  }
  view.SetDpi(144);
  EXPECT_EQ(view.ToClient({13, 141, 637, 192}), (Rect{20, 212, 975, 500}));
}

TEST_F(View, MembersFollowTheirPanel) {
  const ViewControl& button = Entry("bButton9");
  EXPECT_EQ(view.BoxOf(button).left, 228 + 14);
  EXPECT_EQ(view.BoxOf(button).top, 194 + 128);
  model.Panel1.left = 10;
  model.Panel1.top = 20;
  EXPECT_EQ(view.BoxOf(Entry("Panel1")).left, 10);
  EXPECT_EQ(view.BoxOf(button).left, 10 + 14);
  EXPECT_EQ(view.BoxOf(button).top, 20 + 128);
  EXPECT_EQ(view.BoxOf(button).width, 179);
}

TEST_F(View, HitsTheTopmostShownControlThatTakesTheMouse) {
  model.SpeedButton4.enabled = false;
  // bButton9 of the window-reset panel lies over the check list at (242, 322).
  const int x = 228 + 14 + 5, y = 194 + 128 + 5;
  struct Case {
    bool panel_shown;
    int x, y;
    std::string hit;
  };
  const Case cases[] = {
      {false, 180, 480, "SpeedButton4"},  // disabled: the logic ignores its click
      {false, 100, 50, ""},               // a label takes no click
      {false, x, y, "CheckListBox1"},     // a hidden panel's member is not there
      {true, x, y, "bButton9"},
      {true, 430, 300, "Panel1"},  // the shown panel hides the list under it
      {true, 100, 250, "CheckListBox1"},
      {false, 662, 553, ""},
  };
  for (const Case& c : cases) {
    model.Panel1.visible = c.panel_shown;
    EXPECT_EQ(NameAt(c.x, c.y), c.hit) << c.x << "," << c.y;
  }
  EXPECT_TRUE(view.OnTitleBand({100, 10}));
  EXPECT_FALSE(view.OnTitleBand({629, 19}));  // the help button
  EXPECT_FALSE(view.OnTitleBand({100, 40}));
}

TEST_F(View, TheCheckListGetsItsBarWhenItsLinesOverflow) {
  ViewControl& list = Entry("CheckListBox1");
  // 198 pixels inside the frame: twelve rows of 16 pixels.
  FillCheckList(12);
  ListGeometry g = view.Geometry(list);
  EXPECT_TRUE(g.vertical.Empty());
  EXPECT_EQ(g.rows, 12);
  EXPECT_EQ(g.lines.right, 24 + 615 - 1);
  FillCheckList(13);
  g = view.Geometry(list);
  EXPECT_EQ(g.vertical, (Rect{638 - 12, 133, 638, 331}));
  EXPECT_EQ(g.lines.right, 638 - 12);
  EXPECT_TRUE(g.horizontal.Empty());
  EXPECT_EQ(NameAt(630, 200), "CheckListBox1");
  EXPECT_EQ(view.HitTest({630, 200})->part, Hit::Part::kVerticalBar);
  EXPECT_EQ(view.HitTest({600, 200})->part, Hit::Part::kBody);
  // The same rows at 144 DPI.
  view.SetDpi(144);
  EXPECT_EQ(view.Geometry(list).rows, 12);
  EXPECT_EQ(view.Geometry(list).line_height, 24);
}

TEST_F(View, ScrollingStaysWithinTheLines) {
  ViewControl& list = Entry("CheckListBox1");
  FillCheckList(30);
  view.ScrollLines(list, 100);
  EXPECT_EQ(list.first_line, 30 - 12);
  const ListGeometry g = view.Geometry(list);
  // At the end the thumb reaches the bar's bottom; 12 of 30 lines make it
  // 12/30 of the bar.
  const Rect thumb = g.VerticalThumb(list.first_line);
  EXPECT_EQ(thumb.bottom, g.vertical.bottom);
  EXPECT_EQ(thumb.Height(), g.vertical.Height() * 12 / 30);
  view.ScrollLines(list, -3);
  EXPECT_EQ(list.first_line, 15);
  view.ScrollLines(list, -100);
  EXPECT_EQ(list.first_line, 0);
  EXPECT_EQ(g.VerticalThumb(0).top, g.vertical.top);
  // A list that shrank is clamped again.
  view.ScrollLines(list, 100);
  FillCheckList(14);
  view.Geometry(list).Clamp(list);
  EXPECT_EQ(list.first_line, 2);
  // Sideways only in the report box; the check list keeps its place.
  view.ScrollPixels(list, 50);
  EXPECT_EQ(list.first_pixel, 0);
  // A label does not scroll.
  ViewControl& label = Entry("LabelReport");
  view.ScrollLines(label, 5);
  EXPECT_EQ(label.first_line, 0);
}

TEST_F(View, TheReportScrollsSidewaysToItsWidestLine) {
  ViewControl& box = Entry("ListBox2");
  report = {"short", "a long line", "mid"};
  EXPECT_TRUE(view.Geometry(box).horizontal.Empty()) << "nothing measured yet";
  int measured = 0;
  const auto width = [&](std::string_view line) {
    ++measured;
    return static_cast<int>(line.size()) * 100;
  };
  view.MeasureReport(width);
  EXPECT_EQ(measured, 3);
  ListGeometry g = view.Geometry(box);
  EXPECT_EQ(g.content, 1100 + 8);
  EXPECT_FALSE(g.horizontal.Empty());
  EXPECT_TRUE(g.vertical.Empty());
  view.ScrollPixels(box, 10000);
  EXPECT_EQ(box.first_pixel, g.content - g.lines.Width());
  // Only the lines added since are measured.
  report.push_back("x");
  view.MeasureReport(width);
  EXPECT_EQ(measured, 4);
  // A new DPI measures again from the first line and scrolls back.
  view.SetDpi(120);
  EXPECT_EQ(box.first_pixel, 0);
  view.MeasureReport(width);
  EXPECT_EQ(measured, 8);
}

TEST_F(View, APressBesideTheThumbPagesAndADragFollowsThePointer) {
  ViewControl& list = Entry("CheckListBox1");
  FillCheckList(60);
  const ListGeometry g = view.Geometry(list);
  const int x = g.vertical.left + 2;
  const Hit hit{&list, Hit::Part::kVerticalBar};
  view.PressScrollBar(hit, {x, g.vertical.bottom - 2});
  EXPECT_EQ(list.first_line, g.rows);
  EXPECT_EQ(view.Dragged(), nullptr);
  view.PressScrollBar(hit, {x, g.vertical.top + 1});
  EXPECT_EQ(list.first_line, 0);
  // Taken by the thumb and carried to the bar's end: the last page.
  const Rect thumb = g.VerticalThumb(0);
  view.PressScrollBar(hit, {x, thumb.top + 3});
  EXPECT_EQ(view.Dragged(), &list);
  view.DragScrollBar({x, g.vertical.bottom + 50});
  EXPECT_EQ(list.first_line, 60 - g.rows);
  view.DragScrollBar({x, g.vertical.top + 3});
  EXPECT_EQ(list.first_line, 0);
  view.ReleaseScrollBar();
  EXPECT_EQ(view.Dragged(), nullptr);
  view.DragScrollBar({x, g.vertical.bottom});
  EXPECT_EQ(list.first_line, 0);
}

}  // namespace
}  // namespace frontend
