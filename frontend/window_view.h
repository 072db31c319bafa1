// The main window as the player sees it, apart from the drawing: where each
// control of the window model stands at the window's DPI, which control lies
// under a point, the lines and scroll bars of the lists, and what only the
// view keeps (the control under the mouse, the one pressed, the scroll
// positions, a scroll bar being dragged). It changes nothing in the model. A
// backend's painter draws what it computes (frontend/win32/window_painter.h).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/window_layout.h"
#include "app/window_model.h"

namespace frontend {

struct Point {
  int x = 0, y = 0;
};

// In client pixels; the right and bottom edges lie outside.
struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  bool Contains(Point point) const {
    return !Empty() && point.x >= left && point.y >= top && point.x < right && point.y < bottom;
  }
  bool operator==(const Rect&) const = default;
};

// A control with its layout entry, resolved once; lists keep their scroll
// position here.
struct ViewControl {
  const app::layout::Place* place = nullptr;
  const app::Control* control = nullptr;
  const ViewControl* panel = nullptr;  // the floating panel that holds it
  int first_line = 0;                  // the first line shown
  int first_pixel = 0;                 // the report box's sideways scroll
};

// A scrollable control's lines and scroll bars, in client pixels.
struct ListGeometry {
  Rect lines;       // where the lines are drawn
  Rect vertical;    // empty without a vertical bar
  Rect horizontal;  // empty without a horizontal bar
  int count = 0;    // lines in the list
  int rows = 0;     // whole rows that fit, at least one
  int content = 0;  // the widest line with its margins (the report box), else 0
  int line_height = 0;

  // The thumbs at a scroll position: the whole bar when everything shows.
  Rect VerticalThumb(int first_line) const;
  Rect HorizontalThumb(int first_pixel) const;
  // Keeps the list's scroll position within its lines and content.
  void Clamp(ViewControl& list) const;
};

struct Hit {
  enum class Part { kBody, kVerticalBar, kHorizontalBar };
  ViewControl* target = nullptr;
  Part part = Part::kBody;
};

class WindowView {
 public:
  // `report` is the report box's content (the report's screen view). The
  // model is taken non-const only to find its controls.
  WindowView(app::WindowModel& model, const std::vector<std::string>& report);
  WindowView(const WindowView&) = delete;
  WindowView& operator=(const WindowView&) = delete;

  const app::WindowModel& model() const { return model_; }
  const std::vector<std::string>& report() const { return report_; }

  // A DPI other than a positive one counts as 96.
  void SetDpi(int dpi);
  int dpi() const { return dpi_; }
  // 96-DPI pixels at the window's DPI, rounded half away from zero as
  // Windows' MulDiv rounds.
  int Scale(int pixels) const;
  Rect ToClient(const app::layout::Box& box) const;

  // Every control of the layout, in drawing order.
  std::vector<ViewControl>& Controls() { return controls_; }
  const std::vector<ViewControl>& Controls() const { return controls_; }
  // Where the control stands now, at 96 DPI: a panel where the model puts it,
  // a member at its place in its panel.
  app::layout::Box BoxOf(const ViewControl& control) const;
  bool Shown(const ViewControl& control) const { return model_.Shown(*control.control); }

  // The topmost shown control that takes the mouse under the point. A shown
  // panel hides what lies under it: a click there reaches the panel or its
  // members.
  std::optional<Hit> HitTest(Point client);
  // On the title band, away from its buttons: the band drags the window.
  bool OnTitleBand(Point client);

  // A scrollable control's geometry for the lines it holds now.
  ListGeometry Geometry(const ViewControl& list) const;
  // Wheel scrolling: by lines, or sideways by pixels (the report box only).
  void ScrollLines(ViewControl& list, int lines);
  void ScrollPixels(ViewControl& list, int pixels);
  // A press on a scroll bar: on the thumb it starts a drag, beside it a page.
  void PressScrollBar(const Hit& hit, Point client);
  void DragScrollBar(Point client);
  void ReleaseScrollBar() { drag_.reset(); }
  // The list whose scroll bar is being dragged, or nullptr.
  const ViewControl* Dragged() const { return drag_ ? drag_->list : nullptr; }

  // Measures the report lines added since the last call (`width`: one line's
  // width in pixels at the current DPI); the report box scrolls sideways as
  // far as its widest line. The lines are only ever appended.
  void MeasureReport(const std::function<int(std::string_view)>& width);

  // The control under the mouse and the one pressed, or nullptr.
  const ViewControl* hover = nullptr;
  const ViewControl* pressed = nullptr;

 private:
  struct Drag {
    ViewControl* list = nullptr;
    bool vertical = true;
    int grab = 0;  // where the thumb was taken, from its start
  };

  int LineCount(const ViewControl& list) const;

  const app::WindowModel& model_;
  const std::vector<std::string>& report_;
  std::vector<ViewControl> controls_;
  int dpi_ = 96;
  std::optional<Drag> drag_;
  std::size_t measured_lines_ = 0;
  int widest_line_ = 0;
};

}  // namespace frontend
