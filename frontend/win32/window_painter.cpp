#include "frontend/win32/window_painter.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "platform/text.h"

namespace frontend::win32 {

namespace {

using app::layout::Kind;
using app::layout::Style;

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

}  // namespace

RECT WindowPainter::ToClient(const ViewControl& control) const {
  return ToRect(view_.ToClient(view_.BoxOf(control)));
}

void WindowPainter::Paint(HDC dc, std::int64_t now_ms) {
  if (fonts_dpi_ != view_.dpi()) {
    fonts_.Create(view_.dpi());
    fonts_dpi_ = view_.dpi();
  }
  const RECT client{0, 0, Scale(app::layout::kClientWidth), Scale(app::layout::kClientHeight)};
  gdi::Fill(dc, client, kBackground);
  PaintTitleBand(dc);
  view_.MeasureReport([&](std::string_view line) {
    return static_cast<int>(gdi::Measure(dc, line, Font(fonts_.normal)).cx);
  });
  for (ViewControl& control : view_.Controls()) {
    if (view_.Shown(control)) PaintControl(dc, control, now_ms);
  }
}

void WindowPainter::PaintTitleBand(HDC dc) {
  const RECT band{0, 0, Scale(app::layout::kClientWidth), Scale(app::layout::kTitleBandHeight)};
  gdi::Gradient(dc, band, kBandTop, kBandBottom);
  const RECT accent{0, band.bottom, band.right, band.bottom + Scale(2)};
  gdi::Fill(dc, accent, kAccent);
}

void WindowPainter::PaintControl(HDC dc, ViewControl& control, std::int64_t now_ms) {
  switch (control.place->kind) {
    case Kind::kTitle:
      PaintTitle(dc, control);
      break;
    case Kind::kVersion:
      PaintVersion(dc, control);
      break;
    case Kind::kLabel:
    case Kind::kWrapped:
      PaintLabel(dc, control);
      break;
    case Kind::kToggle:
      PaintToggle(dc, control);
      break;
    case Kind::kHelp:
      PaintHelp(dc, control);
      break;
    case Kind::kButton:
      PaintButton(dc, control);
      break;
    case Kind::kCheckBox:
      PaintCheckBox(dc, control);
      break;
    case Kind::kGauge:
      PaintGauge(dc, control);
      break;
    case Kind::kCheckList:
    case Kind::kReport:
    case Kind::kMemo:
      PaintList(dc, control);
      break;
    case Kind::kPanel:
      PaintPanel(dc, control);
      break;
    case Kind::kAnimation:
      PaintAnimation(dc, control, now_ms);
      break;
  }
}

void WindowPainter::PaintTitle(HDC dc, const ViewControl& control) {
  gdi::Text(dc, control.control->caption, ToClient(control), kWhite, Font(fonts_.title), kOneLine);
}

void WindowPainter::PaintVersion(HDC dc, const ViewControl& control) {
  const HFONT font = Font(fonts_.title);
  RECT rect = ToClient(control);
  rect.left += gdi::Measure(dc, model_.LabelTitle.caption, font).cx;
  gdi::Text(dc, control.control->caption, rect, kAccent, font, kOneLine);
}

COLORREF WindowPainter::InkOf(const ViewControl& label) const {
  if (label.panel != nullptr && label.panel->place->style == Style::kSummary) {
    return model_.summary_scheme == app::SummaryScheme::kRed ? kWhite : RGB(0x0B, 0x3D, 0x0B);
  }
  return kInk;
}

void WindowPainter::PaintLabel(HDC dc, const ViewControl& control) {
  const app::Control& c = *control.control;
  const Style style = control.place->style;
  const bool wrapped = control.place->kind == Kind::kWrapped;
  RECT rect = ToClient(control);
  HFONT font = Font(fonts_.normal);
  COLORREF colour = InkOf(control);
  UINT format = wrapped ? kWrapped : kOneLine;
  if (style == Style::kHeadline) font = Font(fonts_.headline);
  if (style == Style::kBold || style == Style::kPaste || style == Style::kWarning) {
    font = Font(fonts_.bold);
  }
  if (style == Style::kPaste) {
    // Red on white, or white on red once the blink has turned them.
    const COLORREF back = model_.paste_inverted ? kRed : kWhite;
    colour = model_.paste_inverted ? kWhite : kRed;
    gdi::Fill(dc, rect, kWhite);  // a white edge keeps the red phase apart from a red panel
    RECT face = rect;
    InflateRect(&face, -1, -1);
    gdi::Fill(dc, face, back);
    format |= DT_CENTER;
    if (wrapped) {
      // Centre the wrapped lines in their box.
      RECT measure = rect;
      InflateRect(&measure, -Scale(6), 0);
      const int height = gdi::Text(dc, c.caption, measure, colour, font, format | DT_CALCRECT);
      rect.top += std::max(0L, (rect.bottom - rect.top - height) / 2);
    }
    InflateRect(&rect, -Scale(6), 0);
  }
  if (style == Style::kWarning) {
    format |= DT_CENTER;
    colour = model_.summary_scheme == app::SummaryScheme::kRed ? RGB(0xFF, 0xF2, 0x99)
                                                               : RGB(0x00, 0x33, 0x00);
  }
  gdi::Text(dc, c.caption, rect, colour, font, format);
}

void WindowPainter::PaintPanel(HDC dc, const ViewControl& control) {
  const app::Control& c = *control.control;
  RECT rect = ToClient(control);
  RECT shadow = rect;
  OffsetRect(&shadow, Scale(3), Scale(3));
  const int round = Scale(12);
  gdi::RoundBox(dc, shadow, round, kShadow, kShadow);
  switch (control.place->style) {
    case Style::kSummary: {
      const bool red = model_.summary_scheme == app::SummaryScheme::kRed;
      gdi::RoundGradient(dc, rect, round, red ? kRedTop : kGreenTop,
                         red ? kRedBottom : kGreenBottom);
      break;
    }
    case Style::kNotice:
      gdi::RoundBox(dc, rect, round, RGB(0xFF, 0xF4, 0xCC), RGB(0xE0, 0xB0, 0x00));
      InflateRect(&rect, -Scale(12), -Scale(4));
      CentredText(dc, c.caption, rect, kInk, Font(fonts_.bold));
      break;
    case Style::kCopied:
      gdi::RoundBox(dc, rect, round, kInk, kInk);
      InflateRect(&rect, -Scale(12), -Scale(4));
      CentredText(dc, c.caption, rect, kWhite, Font(fonts_.bold));
      break;
    default:
      gdi::RoundBox(dc, rect, round, RGB(0xFA, 0xFB, 0xFD), kBandBottom);
      break;
  }
}

void WindowPainter::PaintButton(HDC dc, const ViewControl& control) {
  const app::Control& c = *control.control;
  RECT rect = ToClient(control);
  const int round = Scale(8);
  COLORREF text = kWhite;
  if (!c.enabled) {
    gdi::RoundBox(dc, rect, round, kDisabledFill, RGB(0xC2, 0xC8, 0xD0));
    text = kMutedInk;
  } else {
    const bool hovered = view_.hover == &control;
    const bool down = hovered && view_.pressed == &control;
    COLORREF top = kButtonTop, bottom = kButtonBottom;
    if (down) std::swap(top, bottom);
    if (hovered && !down) {
      top = gdi::Mix(top, kWhite, 0.2);
      bottom = gdi::Mix(bottom, kWhite, 0.2);
    }
    gdi::RoundGradient(dc, rect, round, top, bottom);
  }
  InflateRect(&rect, -Scale(6), -Scale(2));
  CentredText(dc, c.caption, rect, text, Font(fonts_.bold));
}

void WindowPainter::CentredText(HDC dc, std::string_view text, RECT rect, COLORREF colour,
                                HFONT font) {
  RECT measure = rect;
  const int height =
      gdi::Text(dc, text, measure, colour, font, DT_WORDBREAK | DT_CENTER | DT_CALCRECT);
  rect.top += std::max(0L, (rect.bottom - rect.top - height) / 2);
  gdi::Text(dc, text, rect, colour, font, DT_WORDBREAK | DT_CENTER | DT_END_ELLIPSIS);
}

void WindowPainter::PaintToggle(HDC dc, const ViewControl& control) {
  // Pressed is English: the lit half shows the language in use.
  const app::Control& c = *control.control;
  const RECT rect = ToClient(control);
  const int middle = (rect.left + rect.right) / 2;
  gdi::RoundBox(dc, rect, rect.bottom - rect.top, kBandTop, kAccent);
  RECT lit = rect;
  (c.checked ? lit.left : lit.right) = middle;
  InflateRect(&lit, -Scale(2), -Scale(2));
  gdi::RoundBox(dc, lit, lit.bottom - lit.top, kAccent, kAccent);
  const HFONT font = Font(fonts_.bold);
  const RECT french{rect.left, rect.top, middle, rect.bottom};
  const RECT english{middle, rect.top, rect.right, rect.bottom};
  const COLORREF muted = c.enabled ? kWhite : kMutedInk;
  gdi::Text(dc, "FR", french, c.checked ? muted : kInk, font, kOneLine | DT_CENTER);
  gdi::Text(dc, "EN", english, c.checked ? kInk : muted, font, kOneLine | DT_CENTER);
}

void WindowPainter::PaintHelp(HDC dc, const ViewControl& control) {
  const RECT rect = ToClient(control);
  const COLORREF fill = view_.hover == &control && control.control->enabled ? kAccent : kWhite;
  gdi::Ellipse(dc, rect, fill, kAccent, Scale(2));
  gdi::Text(dc, "?", rect, kBandTop, Font(fonts_.title), kOneLine | DT_CENTER);
}

void WindowPainter::PaintTick(HDC dc, const RECT& box, COLORREF colour) {
  const int w = box.right - box.left;
  const int h = box.bottom - box.top;
  const POINT a{box.left + w * 2 / 10, box.top + h / 2};
  const POINT b{box.left + w * 4 / 10, box.top + h * 3 / 4};
  const POINT d{box.left + w * 8 / 10, box.top + h / 4};
  gdi::Line(dc, a, b, Scale(2), colour);
  gdi::Line(dc, b, d, Scale(2), colour);
}

void WindowPainter::PaintCheckBox(HDC dc, const ViewControl& control) {
  const app::Control& c = *control.control;
  const RECT rect = ToClient(control);
  const int size = Scale(14);
  const int top = (rect.top + rect.bottom - size) / 2;
  const RECT box{rect.left, top, rect.left + size, top + size};
  gdi::RoundBox(dc, box, Scale(3), c.enabled ? kWhite : kDisabledFill,
                view_.hover == &control ? kButtonTop : kFrame);
  if (c.checked) PaintTick(dc, box, c.enabled ? kButtonBottom : kMutedInk);
  RECT text = rect;
  text.left = box.right + Scale(6);
  gdi::Text(dc, c.caption, text, c.enabled ? kInk : kMutedInk, Font(fonts_.normal), kOneLine);
}

void WindowPainter::PaintGauge(HDC dc, const ViewControl& control) {
  // A cylinder: light at the middle, darker at the top and bottom.
  const auto& gauge = static_cast<const app::Gauge&>(*control.control);
  const RECT rect = ToClient(control);
  const int round = rect.bottom - rect.top;
  const RECT upper{rect.left, rect.top, rect.right, (rect.top + rect.bottom) / 2};
  const RECT lower{rect.left, upper.bottom, rect.right, rect.bottom};
  const auto cylinder = [&](const RECT& whole, COLORREF edge, COLORREF light) {
    const int saved = SaveDC(dc);
    gdi::Object region(
        CreateRoundRectRgn(whole.left, whole.top, whole.right + 1, whole.bottom + 1, round, round));
    ExtSelectClipRgn(dc, static_cast<HRGN>(region.get()), RGN_AND);
    const RECT top{whole.left, upper.top, whole.right, upper.bottom};
    const RECT bottom{whole.left, lower.top, whole.right, lower.bottom};
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
  gdi::Text(dc, text, rect, kInk, Font(fonts_.bold), kOneLine | DT_CENTER);
}

void WindowPainter::PaintList(HDC dc, ViewControl& list) {
  const app::Control& c = *list.control;
  const Kind kind = list.place->kind;
  const RECT frame = ToClient(list);
  gdi::Fill(dc, frame, kWhite);
  if (list.panel == nullptr) {
    gdi::Object pen(CreatePen(PS_SOLID, 1, kFrame));
    gdi::Selected p(dc, pen.get());
    gdi::Selected b(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, frame.left, frame.top, frame.right, frame.bottom);
  }
  const ListGeometry g = view_.Geometry(list);
  g.Clamp(list);  // the lines may have changed since the last scroll
  const RECT lines = ToRect(g.lines);
  // The report's and the check list's lines are read in place: they can be long.
  const std::vector<std::string> memo =
      kind == Kind::kMemo ? platform::SplitLines(c.caption) : std::vector<std::string>();
  const std::vector<std::string>& text = kind == Kind::kReport ? view_.report() : memo;
  const HFONT font = Font(fonts_.normal);
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, lines.left, lines.top, lines.right, lines.bottom);
  const int last = std::min(g.count, list.first_line + g.rows + 1);
  for (int i = list.first_line; i < last; ++i) {
    const std::size_t index = static_cast<std::size_t>(i);
    const int top = lines.top + (i - list.first_line) * g.line_height;
    RECT row{lines.left + Scale(4) - list.first_pixel, top, lines.right, top + g.line_height};
    COLORREF ink = kInk;
    if (kind == Kind::kCheckList) {
      const int size = Scale(11);
      const int box_top = top + (g.line_height - size) / 2;
      const RECT box{row.left, box_top, row.left + size, box_top + size};
      gdi::RoundBox(dc, box, Scale(2), kWhite, kFrame);
      if (model_.CheckList[index].ticked) {
        PaintTick(dc, box, kMissing);
        ink = kMissing;
      }
      row.left = box.right + Scale(6);
    }
    gdi::Text(dc, kind == Kind::kCheckList ? model_.CheckList[index].text : text[index], row, ink,
              font, DT_SINGLELINE | DT_VCENTER | (kind == Kind::kReport ? 0 : DT_END_ELLIPSIS));
  }
  RestoreDC(dc, saved);
  PaintScrollBars(dc, list, g);
}

void WindowPainter::PaintScrollBars(HDC dc, const ViewControl& list, const ListGeometry& g) {
  const bool dragged = view_.Dragged() == &list;
  const auto bar = [&](const Rect& track, const Rect& thumb) {
    gdi::Fill(dc, ToRect(track), RGB(0xE6, 0xE9, 0xEE));
    RECT knob = ToRect(thumb);
    InflateRect(&knob, -Scale(2), -Scale(2));
    const COLORREF colour = dragged ? kButtonBottom : RGB(0xA9, 0xB2, 0xBF);
    gdi::RoundBox(dc, knob, Scale(6), colour, colour);
  };
  if (!g.vertical.Empty()) bar(g.vertical, g.VerticalThumb(list.first_line));
  if (!g.horizontal.Empty()) bar(g.horizontal, g.HorizontalThumb(list.first_pixel));
}

void WindowPainter::PaintAnimation(HDC dc, const ViewControl& control, std::int64_t now_ms) {
  const RECT rect = ToClient(control);
  const int cx = (rect.left + rect.right) / 2;
  const int cy = (rect.top + rect.bottom) / 2;
  const double pi = std::numbers::pi;
  if (control.place->style == Style::kClean) {
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
