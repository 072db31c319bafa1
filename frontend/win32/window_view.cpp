#include "frontend/win32/window_view.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace frontend::win32 {

namespace {

using layout::Kind;

// The window's colours.
constexpr COLORREF kBackground = RGB(0xEE, 0xF1, 0xF5);
constexpr COLORREF kBandTop = RGB(0x1D, 0x35, 0x57);
constexpr COLORREF kBandBottom = RGB(0x2B, 0x4C, 0x7E);
constexpr COLORREF kAccent = RGB(0xFF, 0xD1, 0x66);
constexpr COLORREF kInk = RGB(0x1B, 0x26, 0x3B);
constexpr COLORREF kMutedInk = RGB(0x8D, 0x96, 0xA3);
constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kFrame = RGB(0xB8, 0xC0, 0xCC);
constexpr COLORREF kButtonTop = RGB(0x3A, 0x86, 0xFF);
constexpr COLORREF kButtonBottom = RGB(0x26, 0x5D, 0xAB);
constexpr COLORREF kDisabledFill = RGB(0xD5, 0xD9, 0xE0);
constexpr COLORREF kShadow = RGB(0x9A, 0xA3, 0xB0);
constexpr COLORREF kRed = RGB(0xFF, 0x00, 0x00);
constexpr COLORREF kMissing = RGB(0xC0, 0x1C, 0x28);
constexpr COLORREF kGreenTop = RGB(0x00, 0xBB, 0x00);
constexpr COLORREF kGreenBottom = RGB(0xAA, 0xFF, 0xAA);
constexpr COLORREF kRedTop = RGB(0xFF, 0x00, 0x00);
constexpr COLORREF kRedBottom = RGB(0x80, 0x00, 0x00);

constexpr UINT kOneLine = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;
constexpr UINT kWrapped = DT_WORDBREAK | DT_END_ELLIPSIS;

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

bool Inside(const RECT& rect, POINT point) {
  return rect.right > rect.left && PtInRect(&rect, point) != FALSE;
}

// A memo's text: its lines, split at CR LF (or a lone LF).
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

}  // namespace

WindowView::WindowView(app::WindowModel& model, const std::vector<std::string>& report)
    : model_(model), report_(report) {
  fonts_.Create(dpi_);
}

void WindowView::SetDpi(int dpi) {
  dpi_ = dpi > 0 ? dpi : 96;
  fonts_.Create(dpi_);
  measured_lines_ = 0;
  widest_line_ = 0;
  for (auto& [name, scroll] : scroll_) scroll.first_pixel = 0;
}

RECT WindowView::ToClient(const layout::Box& box) const {
  return {Scale(box.left), Scale(box.top), Scale(box.left + box.width),
          Scale(box.top + box.height)};
}

std::vector<PlacedControl> WindowView::Placed() {
  std::vector<PlacedControl> placed;
  std::map<std::string_view, layout::Box> panels;
  for (const layout::Place& place : layout::kPlaces) {
    app::Control* control = model_.Find(place.control);
    if (control == nullptr) continue;
    layout::Box box = place.box;
    if (place.kind == Kind::kPanel) {
      // The window's logic places the panels; until it has, they stand at
      // their usual places.
      if (control->left != 0 || control->top != 0) {
        box.left = control->left;
        box.top = control->top;
      }
      panels[place.control] = box;
    } else if (!place.panel.empty()) {
      const layout::Box& panel = panels[place.panel];
      box.left += panel.left;
      box.top += panel.top;
    }
    placed.push_back({&place, control, box});
  }
  return placed;
}

std::optional<Hit> WindowView::HitTest(POINT client) {
  const std::vector<PlacedControl> placed = Placed();
  for (auto it = placed.rbegin(); it != placed.rend(); ++it) {
    if (!model_.Shown(*it->control) || !TakesMouse(it->place->kind)) continue;
    if (!Inside(ToClient(it->box), client)) continue;
    Hit hit{*it, Hit::Part::kBody};
    if (IsScrollable(it->place->kind)) {
      const ListGeometry geometry = Geometry(*it);
      if (Inside(geometry.vertical, client)) hit.part = Hit::Part::kVerticalBar;
      if (Inside(geometry.horizontal, client)) hit.part = Hit::Part::kHorizontalBar;
    }
    return hit;
  }
  return std::nullopt;
}

bool WindowView::OnTitleBand(POINT client) {
  return client.y < Scale(layout::kTitleBandHeight) && !HitTest(client).has_value();
}

// --- Lists -------------------------------------------------------------------

int WindowView::LineCount(const app::Control& control) const {
  if (&control == &model_.ListBox2) return static_cast<int>(report_.size());
  if (&control == &model_.CheckListBox1) return static_cast<int>(model_.CheckList.size());
  return static_cast<int>(SplitLines(control.caption).size());
}

WindowView::ListGeometry WindowView::Geometry(const PlacedControl& placed) {
  ListGeometry g;
  RECT inner = ToClient(placed.box);
  InflateRect(&inner, -1, -1);
  g.line_height = Scale(layout::kLineHeight);
  g.count = LineCount(*placed.control);
  const int bar = Scale(layout::kScrollBarWidth);
  const int padding = Scale(4);
  const bool sideways = placed.place->kind == Kind::kReport;
  g.content = sideways ? widest_line_ + 2 * padding : 0;
  // The bars take room from each other: decide the horizontal one first
  // against the full width, then the vertical one against what is left.
  const int width = inner.right - inner.left;
  const bool horizontal = sideways && g.content > width - bar;
  const int height = inner.bottom - inner.top - (horizontal ? bar : 0);
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
  g.rows = std::max(1, static_cast<int>((g.lines.bottom - g.lines.top) / g.line_height));
  return g;
}

void WindowView::Clamp(const std::string& control, const ListGeometry& geometry) {
  Scroll& scroll = scroll_[control];
  scroll.first_line = std::clamp(scroll.first_line, 0, std::max(0, geometry.count - geometry.rows));
  const int view = geometry.lines.right - geometry.lines.left;
  scroll.first_pixel = std::clamp(scroll.first_pixel, 0, std::max(0, geometry.content - view));
}

RECT WindowView::Thumb(const RECT& bar, bool vertical, int total, int shown, int first) {
  const int length = vertical ? bar.bottom - bar.top : bar.right - bar.left;
  if (total <= 0 || shown >= total) return bar;
  const int thumb = std::max(length * shown / total, std::min(length, 18));
  const int travel = length - thumb;
  const int offset =
      total > shown ? static_cast<int>(static_cast<long long>(travel) * first / (total - shown))
                    : 0;
  RECT rect = bar;
  if (vertical) {
    rect.top = bar.top + offset;
    rect.bottom = rect.top + thumb;
  } else {
    rect.left = bar.left + offset;
    rect.right = rect.left + thumb;
  }
  return rect;
}

void WindowView::ScrollLines(const std::string& control, int lines) {
  for (const PlacedControl& placed : Placed()) {
    if (placed.control->name != control || !IsScrollable(placed.place->kind)) continue;
    scroll_[control].first_line += lines;
    Clamp(control, Geometry(placed));
  }
}

void WindowView::ScrollPixels(const std::string& control, int pixels) {
  for (const PlacedControl& placed : Placed()) {
    if (placed.control->name != control || placed.place->kind != Kind::kReport) continue;
    scroll_[control].first_pixel += pixels;
    Clamp(control, Geometry(placed));
  }
}

void WindowView::PressScrollBar(const Hit& hit, POINT client) {
  const ListGeometry g = Geometry(hit.target);
  const std::string& name = hit.target.control->name;
  Scroll& scroll = scroll_[name];
  const bool vertical = hit.part == Hit::Part::kVerticalBar;
  const int view = g.lines.right - g.lines.left;
  const RECT thumb = vertical ? Thumb(g.vertical, true, g.count, g.rows, scroll.first_line)
                              : Thumb(g.horizontal, false, g.content, view, scroll.first_pixel);
  if (Inside(thumb, client)) {
    drag_ = Drag{name, vertical, vertical ? client.y - thumb.top : client.x - thumb.left};
    return;
  }
  // Beside the thumb: a page towards the pointer.
  if (vertical) {
    scroll.first_line += client.y < thumb.top ? -g.rows : g.rows;
  } else {
    scroll.first_pixel += client.x < thumb.left ? -view : view;
  }
  Clamp(name, g);
}

void WindowView::DragScrollBar(POINT client) {
  if (!drag_) return;
  for (const PlacedControl& placed : Placed()) {
    if (placed.control->name != drag_->control) continue;
    const ListGeometry g = Geometry(placed);
    Scroll& scroll = scroll_[drag_->control];
    const int view = g.lines.right - g.lines.left;
    if (drag_->vertical) {
      const RECT thumb = Thumb(g.vertical, true, g.count, g.rows, scroll.first_line);
      const int travel = (g.vertical.bottom - g.vertical.top) - (thumb.bottom - thumb.top);
      const int at = client.y - drag_->grab - g.vertical.top;
      if (travel > 0) scroll.first_line = (g.count - g.rows) * at / travel;
    } else {
      const RECT thumb = Thumb(g.horizontal, false, g.content, view, scroll.first_pixel);
      const int travel = (g.horizontal.right - g.horizontal.left) - (thumb.right - thumb.left);
      const int at = client.x - drag_->grab - g.horizontal.left;
      if (travel > 0) scroll.first_pixel = (g.content - view) * at / travel;
    }
    Clamp(drag_->control, g);
  }
}

void WindowView::MeasureReport(HDC dc) {
  for (; measured_lines_ < report_.size(); ++measured_lines_) {
    const SIZE size =
        gdi::Measure(dc, report_[measured_lines_], static_cast<HFONT>(fonts_.normal.get()));
    widest_line_ = std::max(widest_line_, static_cast<int>(size.cx));
  }
}

// --- Painting ------------------------------------------------------------------

void WindowView::Paint(HDC dc, std::int64_t now_ms) {
  RECT client{0, 0, Scale(layout::kClientWidth), Scale(layout::kClientHeight)};
  gdi::Fill(dc, client, kBackground);
  PaintTitleBand(dc);
  MeasureReport(dc);
  for (const PlacedControl& placed : Placed()) {
    if (model_.Shown(*placed.control)) PaintControl(dc, placed, now_ms);
  }
}

void WindowView::PaintTitleBand(HDC dc) {
  RECT band{0, 0, Scale(layout::kClientWidth), Scale(layout::kTitleBandHeight)};
  gdi::Gradient(dc, band, kBandTop, kBandBottom);
  RECT accent{0, band.bottom, band.right, band.bottom + Scale(2)};
  gdi::Fill(dc, accent, kAccent);
}

COLORREF WindowView::TextColourIn(std::string_view panel) const {
  if (panel == "PanelSummary") {
    return model_.summary_scheme == app::SummaryScheme::kRed ? kWhite : RGB(0x0B, 0x3D, 0x0B);
  }
  return kInk;
}

void WindowView::PaintControl(HDC dc, const PlacedControl& placed, std::int64_t now_ms) {
  switch (placed.place->kind) {
    case Kind::kTitle: {
      const RECT rect = ToClient(placed.box);
      const HFONT font = static_cast<HFONT>(fonts_.title.get());
      gdi::Text(dc, placed.control->caption, rect, kWhite, font, kOneLine);
      RECT version = rect;
      version.left += gdi::Measure(dc, placed.control->caption, font).cx;
      if (model_.Shown(model_.LabelVersion)) {
        gdi::Text(dc, model_.LabelVersion.caption, version, kAccent, font, kOneLine);
      }
      break;
    }
    case Kind::kLabel:
    case Kind::kWrapped:
      PaintLabel(dc, placed);
      break;
    case Kind::kToggle:
      PaintToggle(dc, placed);
      break;
    case Kind::kHelp:
      PaintHelp(dc, placed);
      break;
    case Kind::kButton:
      PaintButton(dc, placed);
      break;
    case Kind::kCheckBox:
      PaintCheckBox(dc, placed);
      break;
    case Kind::kGauge:
      PaintGauge(dc, placed);
      break;
    case Kind::kCheckList:
    case Kind::kReport:
    case Kind::kMemo:
      PaintList(dc, placed);
      break;
    case Kind::kPanel:
      PaintPanel(dc, placed);
      break;
    case Kind::kAnimation:
      PaintAnimation(dc, placed, now_ms);
      break;
  }
}

void WindowView::PaintLabel(HDC dc, const PlacedControl& placed) {
  const app::Control& c = *placed.control;
  RECT rect = ToClient(placed.box);
  const bool paste = &c == &model_.LabelPaste1 || &c == &model_.LabelPaste2;
  HFONT font = static_cast<HFONT>(fonts_.normal.get());
  COLORREF colour = TextColourIn(placed.place->panel);
  UINT format = placed.place->kind == Kind::kWrapped ? kWrapped : kOneLine;
  if (&c == &model_.LabelHeadline) font = static_cast<HFONT>(fonts_.headline.get());
  if (&c == &model_.LabelWarning || paste || &c == &model_.Label7) {
    font = static_cast<HFONT>(fonts_.bold.get());
  }
  if (paste) {
    // Red on white, or white on red once the blink has turned them.
    const COLORREF back = model_.paste_inverted ? kRed : kWhite;
    colour = model_.paste_inverted ? kWhite : kRed;
    gdi::Fill(dc, rect, kWhite);  // a white edge keeps the red phase apart from a red panel
    RECT face = rect;
    InflateRect(&face, -1, -1);
    gdi::Fill(dc, face, back);
    format |= DT_CENTER;
    if (placed.place->kind == Kind::kWrapped) {
      // Centre the wrapped lines in their box.
      RECT measure = rect;
      InflateRect(&measure, -Scale(6), 0);
      const int height = gdi::Text(dc, c.caption, measure, colour, font, format | DT_CALCRECT);
      rect.top += std::max(0L, (rect.bottom - rect.top - height) / 2);
    }
    InflateRect(&rect, -Scale(6), 0);
  }
  if (&c == &model_.LabelWarning) {
    format |= DT_CENTER;
    colour = model_.summary_scheme == app::SummaryScheme::kRed ? RGB(0xFF, 0xF2, 0x99)
                                                               : RGB(0x00, 0x33, 0x00);
  }
  gdi::Text(dc, c.caption, rect, colour, font, format);
}

void WindowView::PaintPanel(HDC dc, const PlacedControl& placed) {
  const app::Control& c = *placed.control;
  RECT rect = ToClient(placed.box);
  RECT shadow = rect;
  OffsetRect(&shadow, Scale(3), Scale(3));
  const int round = Scale(12);
  gdi::RoundBox(dc, shadow, round, kShadow, kShadow);
  if (&c == &model_.PanelSummary) {
    const bool red = model_.summary_scheme == app::SummaryScheme::kRed;
    gdi::RoundGradient(dc, rect, round, red ? kRedTop : kGreenTop, red ? kRedBottom : kGreenBottom);
    return;
  }
  if (&c == &model_.PanelInit) {
    gdi::RoundBox(dc, rect, round, RGB(0xFF, 0xF4, 0xCC), RGB(0xE0, 0xB0, 0x00));
    InflateRect(&rect, -Scale(12), -Scale(4));
    CentredText(dc, c.caption, rect, kInk, static_cast<HFONT>(fonts_.bold.get()));
    return;
  }
  if (&c == &model_.PanelCopy) {
    gdi::RoundBox(dc, rect, round, kInk, kInk);
    InflateRect(&rect, -Scale(12), -Scale(4));
    CentredText(dc, c.caption, rect, kWhite, static_cast<HFONT>(fonts_.bold.get()));
    return;
  }
  gdi::RoundBox(dc, rect, round, RGB(0xFA, 0xFB, 0xFD), kBandBottom);
}

void WindowView::PaintButton(HDC dc, const PlacedControl& placed) {
  const app::Control& c = *placed.control;
  RECT rect = ToClient(placed.box);
  const int round = Scale(8);
  COLORREF text = kWhite;
  if (!c.enabled) {
    gdi::RoundBox(dc, rect, round, kDisabledFill, RGB(0xC2, 0xC8, 0xD0));
    text = kMutedInk;
  } else {
    const bool down = pressed == c.name && hover == c.name;
    COLORREF top = kButtonTop, bottom = kButtonBottom;
    if (down) std::swap(top, bottom);
    if (hover == c.name && !down) {
      top = gdi::Mix(top, kWhite, 0.2);
      bottom = gdi::Mix(bottom, kWhite, 0.2);
    }
    gdi::RoundGradient(dc, rect, round, top, bottom);
  }
  InflateRect(&rect, -Scale(6), -Scale(2));
  CentredText(dc, c.caption, rect, text, static_cast<HFONT>(fonts_.bold.get()));
}

void WindowView::CentredText(HDC dc, std::string_view text, RECT rect, COLORREF colour,
                             HFONT font) {
  RECT measure = rect;
  const int height =
      gdi::Text(dc, text, measure, colour, font, DT_WORDBREAK | DT_CENTER | DT_CALCRECT);
  rect.top += std::max(0L, (rect.bottom - rect.top - height) / 2);
  gdi::Text(dc, text, rect, colour, font, DT_WORDBREAK | DT_CENTER | DT_END_ELLIPSIS);
}

void WindowView::PaintToggle(HDC dc, const PlacedControl& placed) {
  // Pressed is English: the lit half shows the language in use.
  const app::Control& c = *placed.control;
  const RECT rect = ToClient(placed.box);
  const int middle = (rect.left + rect.right) / 2;
  gdi::RoundBox(dc, rect, rect.bottom - rect.top, kBandTop, kAccent);
  RECT lit = rect;
  (c.checked ? lit.left : lit.right) = middle;
  InflateRect(&lit, -Scale(2), -Scale(2));
  gdi::RoundBox(dc, lit, lit.bottom - lit.top, kAccent, kAccent);
  const HFONT font = static_cast<HFONT>(fonts_.bold.get());
  RECT french{rect.left, rect.top, middle, rect.bottom};
  RECT english{middle, rect.top, rect.right, rect.bottom};
  const COLORREF muted = c.enabled ? kWhite : kMutedInk;
  gdi::Text(dc, "FR", french, c.checked ? muted : kInk, font, kOneLine | DT_CENTER);
  gdi::Text(dc, "EN", english, c.checked ? kInk : muted, font, kOneLine | DT_CENTER);
}

void WindowView::PaintHelp(HDC dc, const PlacedControl& placed) {
  const app::Control& c = *placed.control;
  const RECT rect = ToClient(placed.box);
  const COLORREF fill = hover == c.name && c.enabled ? kAccent : kWhite;
  gdi::Ellipse(dc, rect, fill, kAccent, Scale(2));
  gdi::Text(dc, "?", rect, kBandTop, static_cast<HFONT>(fonts_.title.get()), kOneLine | DT_CENTER);
}

void WindowView::PaintTick(HDC dc, const RECT& box, COLORREF colour) {
  const int w = box.right - box.left;
  const int h = box.bottom - box.top;
  const POINT a{box.left + w * 2 / 10, box.top + h / 2};
  const POINT b{box.left + w * 4 / 10, box.top + h * 3 / 4};
  const POINT d{box.left + w * 8 / 10, box.top + h / 4};
  gdi::Line(dc, a, b, Scale(2), colour);
  gdi::Line(dc, b, d, Scale(2), colour);
}

void WindowView::PaintCheckBox(HDC dc, const PlacedControl& placed) {
  const app::Control& c = *placed.control;
  const RECT rect = ToClient(placed.box);
  const int size = Scale(14);
  const int top = (rect.top + rect.bottom - size) / 2;
  const RECT box{rect.left, top, rect.left + size, top + size};
  gdi::RoundBox(dc, box, Scale(3), c.enabled ? kWhite : kDisabledFill,
                hover == c.name ? kButtonTop : kFrame);
  if (c.checked) PaintTick(dc, box, c.enabled ? kButtonBottom : kMutedInk);
  RECT text = rect;
  text.left = box.right + Scale(6);
  gdi::Text(dc, c.caption, text, c.enabled ? kInk : kMutedInk,
            static_cast<HFONT>(fonts_.normal.get()), kOneLine);
}

void WindowView::PaintGauge(HDC dc, const PlacedControl& placed) {
  // A cylinder: light at the middle, darker at the top and bottom.
  const auto& gauge = static_cast<const app::Gauge&>(*placed.control);
  const RECT rect = ToClient(placed.box);
  const int round = rect.bottom - rect.top;
  const RECT upper{rect.left, rect.top, rect.right, (rect.top + rect.bottom) / 2};
  const RECT lower{rect.left, upper.bottom, rect.right, rect.bottom};
  const auto cylinder = [&](const RECT& whole, COLORREF edge, COLORREF light) {
    const int saved = SaveDC(dc);
    gdi::Object region(
        CreateRoundRectRgn(whole.left, whole.top, whole.right + 1, whole.bottom + 1, round, round));
    ExtSelectClipRgn(dc, static_cast<HRGN>(region.get()), RGN_AND);
    RECT top{whole.left, upper.top, whole.right, upper.bottom};
    RECT bottom{whole.left, lower.top, whole.right, lower.bottom};
    gdi::Gradient(dc, top, edge, light);
    gdi::Gradient(dc, bottom, light, edge);
    RestoreDC(dc, saved);
  };
  cylinder(rect, RGB(0xB5, 0xBD, 0xC8), RGB(0xEE, 0xF1, 0xF5));
  const int max = std::max(gauge.max, 0);
  const int position = std::clamp(gauge.position, 0, max);
  if (max > 0 && position > 0) {
    RECT filled = rect;
    filled.right = rect.left + static_cast<int>(static_cast<long long>(rect.right - rect.left) *
                                                position / max);
    if (filled.right - filled.left >= round / 2) {
      cylinder(filled, RGB(0x1E, 0x7D, 0x32), RGB(0x8E, 0xE0, 0x9A));
    }
  }
  const bool full = max > 0 && position >= max;
  const std::string text =
      full ? gauge.caption : std::to_string(max > 0 ? position * 100 / max : 0) + " %";
  gdi::Text(dc, text, rect, kInk, static_cast<HFONT>(fonts_.bold.get()), kOneLine | DT_CENTER);
}

void WindowView::PaintList(HDC dc, const PlacedControl& placed) {
  const app::Control& c = *placed.control;
  const RECT frame = ToClient(placed.box);
  const bool in_panel = !placed.place->panel.empty();
  gdi::Fill(dc, frame, kWhite);
  if (!in_panel) {
    gdi::Object pen(CreatePen(PS_SOLID, 1, kFrame));
    gdi::Selected p(dc, pen.get());
    gdi::Selected b(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, frame.left, frame.top, frame.right, frame.bottom);
  }
  const ListGeometry g = Geometry(placed);
  Clamp(c.name, g);
  const Scroll& scroll = scroll_[c.name];
  const bool checks = placed.place->kind == Kind::kCheckList;
  // The report's and the check list's lines are read in place: they can be long.
  const std::vector<std::string> memo =
      placed.place->kind == Kind::kMemo ? SplitLines(c.caption) : std::vector<std::string>();
  const std::vector<std::string>& lines = placed.place->kind == Kind::kReport ? report_ : memo;
  const HFONT font = static_cast<HFONT>(fonts_.normal.get());
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, g.lines.left, g.lines.top, g.lines.right, g.lines.bottom);
  const int last = std::min(g.count, scroll.first_line + g.rows + 1);
  for (int i = scroll.first_line; i < last; ++i) {
    const int top = g.lines.top + (i - scroll.first_line) * g.line_height;
    RECT row{g.lines.left + Scale(4) - scroll.first_pixel, top, g.lines.right, top + g.line_height};
    COLORREF ink = kInk;
    if (checks) {
      const bool ticked = model_.CheckList[static_cast<std::size_t>(i)].ticked;
      const int size = Scale(11);
      const int box_top = top + (g.line_height - size) / 2;
      const RECT box{row.left, box_top, row.left + size, box_top + size};
      gdi::RoundBox(dc, box, Scale(2), kWhite, kFrame);
      if (ticked) {
        PaintTick(dc, box, kMissing);
        ink = kMissing;
      }
      row.left = box.right + Scale(6);
    }
    const std::size_t index = static_cast<std::size_t>(i);
    gdi::Text(
        dc, checks ? model_.CheckList[index].text : lines[index], row, ink, font,
        DT_SINGLELINE | DT_VCENTER | (placed.place->kind == Kind::kReport ? 0 : DT_END_ELLIPSIS));
  }
  RestoreDC(dc, saved);
  PaintScrollBars(dc, c.name, g);
}

void WindowView::PaintScrollBars(HDC dc, const std::string& control, const ListGeometry& g) {
  const Scroll& scroll = scroll_[control];
  const auto bar = [&](const RECT& track, const RECT& thumb) {
    gdi::Fill(dc, track, RGB(0xE6, 0xE9, 0xEE));
    RECT knob = thumb;
    InflateRect(&knob, -Scale(2), -Scale(2));
    const bool dragged = drag_ && drag_->control == control;
    gdi::RoundBox(dc, knob, Scale(6), dragged ? kButtonBottom : RGB(0xA9, 0xB2, 0xBF),
                  dragged ? kButtonBottom : RGB(0xA9, 0xB2, 0xBF));
  };
  if (g.vertical.right > g.vertical.left) {
    bar(g.vertical, Thumb(g.vertical, true, g.count, g.rows, scroll.first_line));
  }
  if (g.horizontal.right > g.horizontal.left) {
    const int view = g.lines.right - g.lines.left;
    bar(g.horizontal, Thumb(g.horizontal, false, g.content, view, scroll.first_pixel));
  }
}

void WindowView::PaintAnimation(HDC dc, const PlacedControl& placed, std::int64_t now_ms) {
  const RECT rect = ToClient(placed.box);
  const int cx = (rect.left + rect.right) / 2;
  const int cy = (rect.top + rect.bottom) / 2;
  const double pi = std::numbers::pi;
  if (placed.control == &model_.AnimationClean) {
    // A breathing green disc whose tick draws itself again every three seconds.
    const double breath = std::sin(2 * pi * static_cast<double>(now_ms % 1500) / 1500.0);
    const int radius = Scale(30) + static_cast<int>(Scale(3) * breath);
    gdi::Ellipse(dc, {cx - radius, cy - radius, cx + radius, cy + radius}, kWhite,
                 RGB(0x00, 0x99, 0x00), Scale(4));
    const double drawn = std::min(1.0, static_cast<double>(now_ms % 3000) / 700.0);
    const POINT a{cx - Scale(14), cy};
    const POINT b{cx - Scale(4), cy + Scale(11)};
    const POINT d{cx + Scale(16), cy - Scale(12)};
    const COLORREF green = RGB(0x00, 0x99, 0x00);
    const auto along = [](POINT from, POINT to, double t) {
      return POINT{from.x + static_cast<LONG>((to.x - from.x) * t),
                   from.y + static_cast<LONG>((to.y - from.y) * t)};
    };
    gdi::Line(dc, a, along(a, b, std::min(1.0, drawn * 2)), Scale(6), green);
    if (drawn > 0.5) gdi::Line(dc, b, along(b, d, (drawn - 0.5) * 2), Scale(6), green);
    return;
  }
  // A warning sign that flashes and shakes.
  const bool flash = (now_ms / 400) % 2 == 0;
  const int shake =
      static_cast<int>(Scale(2) * std::sin(2 * pi * static_cast<double>(now_ms % 300) / 300.0));
  const int half = Scale(32);
  const POINT triangle[] = {{cx + shake, cy - half},
                            {cx + shake + half, cy + half * 3 / 4},
                            {cx + shake - half, cy + half * 3 / 4}};
  gdi::Polygon(dc, triangle, 3, flash ? RGB(0xFF, 0xD4, 0x00) : kWhite, RGB(0x40, 0x00, 0x00),
               Scale(3));
  gdi::Line(dc, {cx + shake, cy - half / 3}, {cx + shake, cy + half / 4}, Scale(6),
            RGB(0x40, 0x00, 0x00));
  gdi::Line(dc, {cx + shake, cy + half / 2}, {cx + shake, cy + half / 2}, Scale(7),
            RGB(0x40, 0x00, 0x00));
}

}  // namespace frontend::win32
