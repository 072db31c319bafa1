// The main window's picture and geometry: draws the window model in one pass
// (panels over the rest), finds the control under the mouse, and keeps what
// only the view has: the lists' scroll positions, the control under the
// mouse and the one being pressed. It changes nothing in the model.
#pragma once

#include "platform/win32/windows_api.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/window_model.h"
#include "frontend/win32/gdi_draw.h"
#include "frontend/win32/window_layout.h"

namespace frontend::win32 {

// A control at its place in the window (96-DPI pixels, from the client's top left).
struct PlacedControl {
  const layout::Place* place = nullptr;
  app::Control* control = nullptr;
  layout::Box box;
};

struct Hit {
  enum class Part { kBody, kVerticalBar, kHorizontalBar };
  PlacedControl target;
  Part part = Part::kBody;
};

class WindowView {
 public:
  // `report` is the report box's content (the report's screen view).
  WindowView(app::WindowModel& model, const std::vector<std::string>& report);

  void SetDpi(int dpi);
  int dpi() const { return dpi_; }
  int Scale(int pixels) const { return MulDiv(pixels, dpi_, 96); }
  RECT ToClient(const layout::Box& box) const;

  // Draws the whole client area; `now_ms` drives the animations.
  void Paint(HDC dc, std::int64_t now_ms);

  // Every control with its place, in drawing order.
  std::vector<PlacedControl> Placed();
  // The topmost shown control under the point (client pixels). A shown panel
  // hides what lies under it: a click there reaches the panel or its members.
  std::optional<Hit> HitTest(POINT client);
  // True when the point is on the title band, away from its buttons.
  bool OnTitleBand(POINT client);

  // Scrolling of the lists and memos.
  void ScrollLines(const std::string& control, int lines);
  void ScrollPixels(const std::string& control, int pixels);  // sideways, report box only
  // A press on a scroll bar: on the thumb it starts a drag, beside it a page.
  void PressScrollBar(const Hit& hit, POINT client);
  void DragScrollBar(POINT client);
  void ReleaseScrollBar() { drag_.reset(); }
  bool DraggingScrollBar() const { return drag_.has_value(); }

  // The control under the mouse, and the one pressed (empty: none).
  std::string hover;
  std::string pressed;

 private:
  struct Scroll {
    int first_line = 0;
    int first_pixel = 0;  // sideways
  };
  // A scrollable box: its lines, visible rows and scroll bars, in client pixels.
  struct ListGeometry {
    RECT lines{};       // where the lines are drawn
    RECT vertical{};    // empty without a vertical bar
    RECT horizontal{};  // empty without a horizontal bar
    int count = 0;
    int rows = 0;     // whole rows that fit
    int content = 0;  // widest line, in pixels
    int line_height = 0;
  };
  struct Drag {
    std::string control;
    bool vertical = true;
    int grab = 0;  // where the thumb was taken, from its start
  };

  int LineCount(const app::Control& control) const;
  ListGeometry Geometry(const PlacedControl& placed);
  void Clamp(const std::string& control, const ListGeometry& geometry);
  static RECT Thumb(const RECT& bar, bool vertical, int total, int shown, int first);
  void MeasureReport(HDC dc);

  void PaintTitleBand(HDC dc);
  void PaintControl(HDC dc, const PlacedControl& placed, std::int64_t now_ms);
  void PaintPanel(HDC dc, const PlacedControl& placed);
  void PaintButton(HDC dc, const PlacedControl& placed);
  void PaintToggle(HDC dc, const PlacedControl& placed);
  void PaintHelp(HDC dc, const PlacedControl& placed);
  void PaintCheckBox(HDC dc, const PlacedControl& placed);
  void PaintGauge(HDC dc, const PlacedControl& placed);
  void PaintList(HDC dc, const PlacedControl& placed);
  void PaintScrollBars(HDC dc, const std::string& control, const ListGeometry& geometry);
  void PaintLabel(HDC dc, const PlacedControl& placed);
  void PaintAnimation(HDC dc, const PlacedControl& placed, std::int64_t now_ms);
  void PaintTick(HDC dc, const RECT& box, COLORREF colour);
  // Wrapped text, centred both ways in its box.
  void CentredText(HDC dc, std::string_view text, RECT rect, COLORREF colour, HFONT font);
  COLORREF TextColourIn(std::string_view panel) const;

  app::WindowModel& model_;
  const std::vector<std::string>& report_;
  int dpi_ = 96;
  gdi::Fonts fonts_;
  std::map<std::string, Scroll> scroll_;
  std::optional<Drag> drag_;
  // The report's widest line, measured as lines arrive (they are only appended).
  std::size_t measured_lines_ = 0;
  int widest_line_ = 0;
};

}  // namespace frontend::win32
