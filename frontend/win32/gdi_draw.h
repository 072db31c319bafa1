// Small GDI drawing helpers for the custom-drawn main window: filled and
// gradient boxes, rounded boxes, lines with round ends, text, and the
// window's fonts at one DPI. Colours are COLORREF values (RGB macro).
#pragma once

#include "platform/win32/windows_api.h"

#include <string_view>

namespace frontend::win32::gdi {

// Owns one GDI object and deletes it at the end of the scope.
class Object {
 public:
  explicit Object(HGDIOBJ object = nullptr) : object_(object) {}
  ~Object() { Reset(); }
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;
  Object(Object&& other) noexcept : object_(other.object_) { other.object_ = nullptr; }
  Object& operator=(Object&& other) noexcept;
  void Reset(HGDIOBJ object = nullptr);
  HGDIOBJ get() const { return object_; }

 private:
  HGDIOBJ object_;
};

// Selects an object into a DC for the scope, then puts the previous one back.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~Selected() { SelectObject(dc_, previous_); }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// The window's fonts, made for one DPI.
struct Fonts {
  Object normal, bold, title, headline, tick;
  void Create(int dpi);
};

COLORREF Mix(COLORREF from, COLORREF to, double amount);  // amount 0 gives `from`

void Fill(HDC dc, const RECT& rect, COLORREF colour);
// A gradient from `from` to `to`, top to bottom (or left to right).
void Gradient(HDC dc, const RECT& rect, COLORREF from, COLORREF to, bool vertical = true);
// A box with round corners of the given diameter; `border` drawn 1 pixel wide.
void RoundBox(HDC dc, const RECT& rect, int diameter, COLORREF fill, COLORREF border);
// A gradient inside round corners: the region of the corners clips it.
void RoundGradient(HDC dc, const RECT& rect, int diameter, COLORREF from, COLORREF to);
void Line(HDC dc, POINT from, POINT to, int width, COLORREF colour);
void Ellipse(HDC dc, const RECT& rect, COLORREF fill, COLORREF border, int border_width);
void Polygon(HDC dc, const POINT* points, int count, COLORREF fill, COLORREF border,
             int border_width);

// Text in UTF-8 (DT_* format flags); returns the height drawn.
int Text(HDC dc, std::string_view text, RECT rect, COLORREF colour, HFONT font, UINT format);
// The width and height of one line of text.
SIZE Measure(HDC dc, std::string_view text, HFONT font);

}  // namespace frontend::win32::gdi
