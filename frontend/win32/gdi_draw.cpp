#include "frontend/win32/gdi_draw.h"

#include <algorithm>
#include <string>

#include "platform/win32/win32_text.h"

namespace frontend::win32::gdi {

namespace {

HFONT MakeFont(int dpi, int pixels, int weight) {
  return CreateFontW(-MulDiv(pixels, dpi, 96), 0, 0, 0, weight, FALSE, FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                     DEFAULT_PITCH | FF_SWISS, L"Tahoma");
}

HPEN MakePen(int width, COLORREF colour) {
  LOGBRUSH brush{BS_SOLID, colour, 0};
  return ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_ROUND | PS_JOIN_ROUND,
                      static_cast<DWORD>(std::max(width, 1)), &brush, 0, nullptr);
}

}  // namespace

Object& Object::operator=(Object&& other) noexcept {
  if (this != &other) {
    Reset(other.object_);
    other.object_ = nullptr;
  }
  return *this;
}

void Object::Reset(HGDIOBJ object) {
  if (object_) DeleteObject(object_);
  object_ = object;
}

void Fonts::Create(int dpi) {
  normal.Reset(MakeFont(dpi, 12, FW_NORMAL));
  bold.Reset(MakeFont(dpi, 12, FW_BOLD));
  title.Reset(MakeFont(dpi, 15, FW_BOLD));
  headline.Reset(MakeFont(dpi, 14, FW_BOLD));
  tick.Reset(MakeFont(dpi, 10, FW_BOLD));
}

COLORREF Mix(COLORREF from, COLORREF to, double amount) {
  const auto channel = [amount](int a, int b) {
    return static_cast<BYTE>(std::clamp(a + (b - a) * amount + 0.5, 0.0, 255.0));
  };
  return RGB(channel(GetRValue(from), GetRValue(to)), channel(GetGValue(from), GetGValue(to)),
             channel(GetBValue(from), GetBValue(to)));
}

void Fill(HDC dc, const RECT& rect, COLORREF colour) {
  Object brush(CreateSolidBrush(colour));
  FillRect(dc, &rect, static_cast<HBRUSH>(brush.get()));
}

void Gradient(HDC dc, const RECT& rect, COLORREF from, COLORREF to, bool vertical) {
  const int steps = vertical ? rect.bottom - rect.top : rect.right - rect.left;
  for (int i = 0; i < steps; ++i) {
    const double amount = steps > 1 ? static_cast<double>(i) / (steps - 1) : 0.0;
    RECT band = rect;
    if (vertical) {
      band.top = rect.top + i;
      band.bottom = band.top + 1;
    } else {
      band.left = rect.left + i;
      band.right = band.left + 1;
    }
    Fill(dc, band, Mix(from, to, amount));
  }
}

void RoundBox(HDC dc, const RECT& rect, int diameter, COLORREF fill, COLORREF border) {
  Object brush(CreateSolidBrush(fill));
  Object pen(CreatePen(PS_SOLID, 1, border));
  Selected b(dc, brush.get());
  Selected p(dc, pen.get());
  RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, diameter, diameter);
}

void RoundGradient(HDC dc, const RECT& rect, int diameter, COLORREF from, COLORREF to) {
  const int saved = SaveDC(dc);
  Object region(
      CreateRoundRectRgn(rect.left, rect.top, rect.right + 1, rect.bottom + 1, diameter, diameter));
  ExtSelectClipRgn(dc, static_cast<HRGN>(region.get()), RGN_AND);
  Gradient(dc, rect, from, to);
  RestoreDC(dc, saved);
}

void Line(HDC dc, POINT from, POINT to, int width, COLORREF colour) {
  Object pen(MakePen(width, colour));
  Selected p(dc, pen.get());
  MoveToEx(dc, from.x, from.y, nullptr);
  LineTo(dc, to.x, to.y);
}

void Ellipse(HDC dc, const RECT& rect, COLORREF fill, COLORREF border, int border_width) {
  Object brush(CreateSolidBrush(fill));
  Object pen(MakePen(border_width, border));
  Selected b(dc, brush.get());
  Selected p(dc, pen.get());
  ::Ellipse(dc, rect.left, rect.top, rect.right, rect.bottom);
}

void Polygon(HDC dc, const POINT* points, int count, COLORREF fill, COLORREF border,
             int border_width) {
  Object brush(CreateSolidBrush(fill));
  Object pen(MakePen(border_width, border));
  Selected b(dc, brush.get());
  Selected p(dc, pen.get());
  ::Polygon(dc, points, count);
}

int Text(HDC dc, std::string_view text, RECT rect, COLORREF colour, HFONT font, UINT format) {
  const std::wstring wide = platform::win32::Displayable(text);
  Selected f(dc, font);
  SetTextColor(dc, colour);
  SetBkMode(dc, TRANSPARENT);
  return DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &rect, format | DT_NOPREFIX);
}

SIZE Measure(HDC dc, std::string_view text, HFONT font) {
  const std::wstring wide = platform::win32::Displayable(text);
  Selected f(dc, font);
  SIZE size{0, 0};
  GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
  return size;
}

}  // namespace frontend::win32::gdi
