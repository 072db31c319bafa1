// Draws the main window with GDI: the window model's state where the view
// places it (frontend/window_view.h), in one pass in drawing order, panels
// over the rest. The look of each kind and style of control lives here.
#pragma once

#include "platform/win32/windows_api.h"

#include <cstdint>
#include <string_view>

#include "frontend/win32/gdi_draw.h"
#include "frontend/window_view.h"

namespace frontend::win32 {

// A rectangle of the view as GDI takes it.
inline RECT ToRect(const Rect& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

class WindowPainter {
 public:
  explicit WindowPainter(WindowView& view) : view_(view), model_(view.model()) {}

  // Draws the whole client area; `now_ms` drives the animations.
  void Paint(HDC dc, std::int64_t now_ms);

 private:
  int Scale(int pixels) const { return view_.Scale(pixels); }
  RECT ToClient(const ViewControl& control) const;

  void PaintTitleBand(HDC dc);
  void PaintControl(HDC dc, ViewControl& control, std::int64_t now_ms);
  void PaintTitle(HDC dc, const ViewControl& control);
  void PaintVersion(HDC dc, const ViewControl& control);
  void PaintLabel(HDC dc, const ViewControl& control);
  void PaintPanel(HDC dc, const ViewControl& control);
  void PaintButton(HDC dc, const ViewControl& control);
  void PaintToggle(HDC dc, const ViewControl& control);
  void PaintHelp(HDC dc, const ViewControl& control);
  void PaintCheckBox(HDC dc, const ViewControl& control);
  void PaintGauge(HDC dc, const ViewControl& control);
  void PaintList(HDC dc, ViewControl& list);
  void PaintScrollBars(HDC dc, const ViewControl& list, const ListGeometry& geometry);
  void PaintAnimation(HDC dc, const ViewControl& control, std::int64_t now_ms);
  void PaintTick(HDC dc, const RECT& box, COLORREF colour);
  // Wrapped text, centred both ways in its box.
  void CentredText(HDC dc, std::string_view text, RECT rect, COLORREF colour, HFONT font);
  // The ink of a label: the summary panel's follows its colour.
  COLORREF InkOf(const ViewControl& label) const;
  HFONT Font(const gdi::Object& font) const { return static_cast<HFONT>(font.get()); }

  WindowView& view_;
  const app::WindowModel& model_;
  gdi::Fonts fonts_;
  int fonts_dpi_ = 0;  // the DPI the fonts were made for
};

}  // namespace frontend::win32
