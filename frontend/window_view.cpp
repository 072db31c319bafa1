#include "frontend/window_view.h"

#include <algorithm>

#include "platform/text.h"

namespace frontend {

namespace {

using app::layout::Kind;

bool IsScrollable(Kind kind) {
  return kind == Kind::kCheckList || kind == Kind::kReport || kind == Kind::kMemo;
}

bool TakesMouse(Kind kind) {
  switch (kind) {
    case Kind::kToggle:
    case Kind::kHelp:
    case Kind::kButton:
    case Kind::kCheckBox:
    case Kind::kCheckList:
    case Kind::kReport:
    case Kind::kMemo:
    case Kind::kPanel:
      return true;
    default:
      return false;
  }
}

// The thumb of a bar showing `shown` of `total` from `first`; at least 18
// pixels long where the bar allows.
Rect Thumb(const Rect& bar, bool vertical, int total, int shown, int first) {
  const int length = vertical ? bar.Height() : bar.Width();
  if (total <= 0 || shown >= total) return bar;
  const int thumb = std::max(length * shown / total, std::min(length, 18));
  const int offset =
      static_cast<int>(static_cast<long long>(length - thumb) * first / (total - shown));
  Rect rect = bar;
  if (vertical) {
    rect.top = bar.top + offset;
    rect.bottom = rect.top + thumb;
  } else {
    rect.left = bar.left + offset;
    rect.right = rect.left + thumb;
  }
  return rect;
}

}  // namespace

Rect ListGeometry::VerticalThumb(int first_line) const {
  return Thumb(vertical, true, count, rows, first_line);
}

Rect ListGeometry::HorizontalThumb(int first_pixel) const {
  return Thumb(horizontal, false, content, lines.Width(), first_pixel);
}

void ListGeometry::Clamp(ViewControl& list) const {
  list.first_line = std::clamp(list.first_line, 0, std::max(0, count - rows));
  list.first_pixel = std::clamp(list.first_pixel, 0, std::max(0, content - lines.Width()));
}

WindowView::WindowView(app::WindowModel& model, const std::vector<std::string>& report)
    : model_(model), report_(report) {
  // Resolved once: the panels come before their members, so a member finds
  // its panel among the entries already made.
  controls_.reserve(std::size(app::layout::kPlaces));
  for (const app::layout::Place& place : app::layout::kPlaces) {
    ViewControl entry{&place, model.Find(place.control)};
    if (entry.control == nullptr) continue;
    for (const ViewControl& panel : controls_) {
      if (panel.place->control == place.panel) entry.panel = &panel;
    }
    controls_.push_back(entry);
  }
}

void WindowView::SetDpi(int dpi) {
  dpi_ = dpi > 0 ? dpi : 96;
  measured_lines_ = 0;
  widest_line_ = 0;
  for (ViewControl& control : controls_) control.first_pixel = 0;
}

int WindowView::Scale(int pixels) const {
  const long long product = static_cast<long long>(pixels) * dpi_;
  return static_cast<int>((product + (product < 0 ? -48 : 48)) / 96);
}

Rect WindowView::ToClient(const app::layout::Box& box) const {
  return {Scale(box.left), Scale(box.top), Scale(box.left + box.width),
          Scale(box.top + box.height)};
}

app::layout::Box WindowView::BoxOf(const ViewControl& control) const {
  app::layout::Box box = control.place->box;
  if (control.place->kind == Kind::kPanel) {
    box.left = control.control->left;
    box.top = control.control->top;
  } else if (control.panel != nullptr) {
    box.left += control.panel->control->left;
    box.top += control.panel->control->top;
  }
  return box;
}

std::optional<Hit> WindowView::HitTest(Point client) {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    if (!Shown(*it) || !TakesMouse(it->place->kind)) continue;
    if (!ToClient(BoxOf(*it)).Contains(client)) continue;
    Hit hit{&*it, Hit::Part::kBody};
    if (IsScrollable(it->place->kind)) {
      const ListGeometry geometry = Geometry(*it);
      if (geometry.vertical.Contains(client)) hit.part = Hit::Part::kVerticalBar;
      if (geometry.horizontal.Contains(client)) hit.part = Hit::Part::kHorizontalBar;
    }
    return hit;
  }
  return std::nullopt;
}

bool WindowView::OnTitleBand(Point client) {
  return client.y < Scale(app::layout::kTitleBandHeight) && !HitTest(client).has_value();
}

// --- Lists -------------------------------------------------------------------

int WindowView::LineCount(const ViewControl& list) const {
  switch (list.place->kind) {
    case Kind::kReport:
      return static_cast<int>(report_.size());
    case Kind::kCheckList:
      return static_cast<int>(model_.CheckList.size());
    default:
      return static_cast<int>(platform::SplitLines(list.control->caption).size());
  }
}

ListGeometry WindowView::Geometry(const ViewControl& list) const {
  ListGeometry g;
  Rect inner = ToClient(BoxOf(list));
  inner = {inner.left + 1, inner.top + 1, inner.right - 1, inner.bottom - 1};
  g.line_height = Scale(app::layout::kLineHeight);
  g.count = LineCount(list);
  const int bar = Scale(app::layout::kScrollBarWidth);
  const bool sideways = list.place->kind == Kind::kReport;
  g.content = sideways ? widest_line_ + 2 * Scale(4) : 0;
  // The bars take room from each other: decide the horizontal one first
  // against the full width, then the vertical one against what is left.
  const bool horizontal = sideways && g.content > inner.Width() - bar;
  const int height = inner.Height() - (horizontal ? bar : 0);
  const bool vertical = g.count * g.line_height > height - 2 * Scale(2);
  g.lines = inner;
  g.lines.top += Scale(2);
  if (vertical) {
    g.vertical = {inner.right - bar, inner.top, inner.right, inner.bottom - (horizontal ? bar : 0)};
    g.lines.right -= bar;
  }
  if (horizontal) {
    g.horizontal = {inner.left, inner.bottom - bar, inner.right - (vertical ? bar : 0),
                    inner.bottom};
    g.lines.bottom -= bar;
  }
  g.rows = std::max(1, g.lines.Height() / g.line_height);
  return g;
}

void WindowView::ScrollLines(ViewControl& list, int lines) {
  if (!IsScrollable(list.place->kind)) return;
  list.first_line += lines;
  Geometry(list).Clamp(list);
}

void WindowView::ScrollPixels(ViewControl& list, int pixels) {
  if (list.place->kind != Kind::kReport) return;
  list.first_pixel += pixels;
  Geometry(list).Clamp(list);
}

void WindowView::PressScrollBar(const Hit& hit, Point client) {
  ViewControl& list = *hit.target;
  const ListGeometry g = Geometry(list);
  const bool vertical = hit.part == Hit::Part::kVerticalBar;
  const Rect thumb =
      vertical ? g.VerticalThumb(list.first_line) : g.HorizontalThumb(list.first_pixel);
  if (thumb.Contains(client)) {
    drag_ = Drag{&list, vertical, vertical ? client.y - thumb.top : client.x - thumb.left};
    return;
  }
  // Beside the thumb: a page towards the pointer.
  if (vertical) {
    list.first_line += client.y < thumb.top ? -g.rows : g.rows;
  } else {
    list.first_pixel += client.x < thumb.left ? -g.lines.Width() : g.lines.Width();
  }
  g.Clamp(list);
}

void WindowView::DragScrollBar(Point client) {
  if (!drag_) return;
  ViewControl& list = *drag_->list;
  const ListGeometry g = Geometry(list);
  if (drag_->vertical) {
    const Rect thumb = g.VerticalThumb(list.first_line);
    const int travel = g.vertical.Height() - thumb.Height();
    const int at = client.y - drag_->grab - g.vertical.top;
    if (travel > 0) list.first_line = (g.count - g.rows) * at / travel;
  } else {
    const Rect thumb = g.HorizontalThumb(list.first_pixel);
    const int travel = g.horizontal.Width() - thumb.Width();
    const int at = client.x - drag_->grab - g.horizontal.left;
    if (travel > 0) list.first_pixel = (g.content - g.lines.Width()) * at / travel;
  }
  g.Clamp(list);
}

void WindowView::MeasureReport(const std::function<int(std::string_view)>& width) {
  for (; measured_lines_ < report_.size(); ++measured_lines_) {
    widest_line_ = std::max(widest_line_, width(report_[measured_lines_]));
  }
}

}  // namespace frontend
