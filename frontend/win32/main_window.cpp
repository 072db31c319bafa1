#include "frontend/win32/main_window.h"

#include "platform/win32/windows_api.h"

#include <commctrl.h>
#include <windowsx.h>

#include <memory>
#include <stdexcept>

#include "app/RemedorMain.h"
#include "app/event_loop.h"
#include "app/window_layout.h"
#include "frontend/win32/window_painter.h"
#include "frontend/window_view.h"
#include "platform/platform.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_ui.h"

namespace frontend::win32 {

namespace {

namespace layout = app::layout;

constexpr wchar_t kClassName[] = L"RemedorMainWindow";
// Posted on activation: the start-up runs from the message loop, not from
// inside the activation message.
constexpr UINT kActivated = WM_APP + 1;
constexpr UINT_PTR kTick = 1;
constexpr UINT kTickMs = 50;          // event-loop timers and animations
constexpr std::int64_t kPumpMs = 15;  // long steps look at the queue this often
constexpr int kWheelLines = 3;

// Per-monitor DPI awareness where the system has it (Windows 10), else the
// system DPI (Vista and later). Looked up at run time: older systems lack them.
void BecomeDpiAware() {
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  using SetContext = BOOL(WINAPI*)(HANDLE);
  if (const auto set = reinterpret_cast<SetContext>(
          reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")))) {
    // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
    if (set(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)))) return;
  }
  SetProcessDPIAware();
}

int DpiOf(HWND window) {
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  using GetDpi = UINT(WINAPI*)(HWND);
  if (const auto get = reinterpret_cast<GetDpi>(
          reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")))) {
    if (window) {
      if (const UINT dpi = get(window)) return static_cast<int>(dpi);
    }
  }
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

Point PointOf(LPARAM l) { return {GET_X_LPARAM(l), GET_Y_LPARAM(l)}; }

// The window's own buttons show their hints as tooltips.
bool HasTip(const ViewControl& control) {
  const layout::Kind kind = control.place->kind;
  return control.panel == nullptr && (kind == layout::Kind::kButton ||
                                      kind == layout::Kind::kToggle || kind == layout::Kind::kHelp);
}

class MainWindow {
 public:
  MainWindow(platform::Platform& os, std::vector<std::string> arguments)
      : form_(os, ui_, loop_, std::move(arguments)),
        view_(form_.window, form_.report.ScreenLines),
        painter_(view_) {
    loop_.SetPlatformPump([this] { Pump(); });
  }
  ~MainWindow() { loop_.SetPlatformPump(nullptr); }
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  int Run();

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l);
  LRESULT Handle(UINT message, WPARAM w, LPARAM l);
  bool Create();
  void Resize(const RECT* suggested);
  void AddTooltips();
  // Sends TTM_ADDTOOLW or TTM_NEWTOOLRECTW for every control with a tip; a
  // tool's id is its control's index in the view.
  void SendTools(UINT message);
  void Pump();
  void Repaint();
  void UpdateCursor();
  void Paint();
  void MouseDown(Point point);
  void MouseUp(Point point);
  void MouseMove(Point point);
  void DoubleClick(Point point);
  void Wheel(POINT screen, int delta, bool sideways);

  platform::win32::Win32UserInterface ui_;
  app::SteadyClock clock_;
  app::EventLoop loop_{clock_};
  TForm1 form_;
  WindowView view_;
  WindowPainter painter_;
  HWND window_ = nullptr;
  HWND tooltip_ = nullptr;
  std::wstring tip_;  // the text the tooltip is showing
  int pump_depth_ = 0;
  std::int64_t last_pump_ms_ = 0;
  bool tracking_mouse_ = false;
};

bool MainWindow::Create() {
  WNDCLASSEXW type{};
  type.cbSize = sizeof type;
  type.style = CS_DBLCLKS;
  type.lpfnWndProc = Procedure;
  type.hInstance = GetModuleHandleW(nullptr);
  type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  type.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  type.lpszClassName = kClassName;
  RegisterClassExW(&type);
  const std::wstring title = platform::win32::Displayable(form_.window.LabelTitle.caption);
  window_ = CreateWindowExW(WS_EX_APPWINDOW, kClassName, title.c_str(),
                            WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN, 0, 0,
                            layout::kClientWidth, layout::kClientHeight, nullptr, nullptr,
                            type.hInstance, this);
  if (!window_) return false;
  ui_.SetOwner(window_);
  view_.SetDpi(DpiOf(window_));
  Resize(nullptr);
  AddTooltips();
  SetTimer(window_, kTick, kTickMs, nullptr);
  return true;
}

void MainWindow::Resize(const RECT* suggested) {
  const int width = view_.Scale(layout::kClientWidth);
  const int height = view_.Scale(layout::kClientHeight);
  int left = 0, top = 0;
  if (suggested) {
    left = suggested->left;
    top = suggested->top;
  } else {
    // Centred on the work area of the primary monitor.
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    left = work.left + (work.right - work.left - width) / 2;
    top = work.top + (work.bottom - work.top - height) / 2;
  }
  SetWindowPos(window_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  const int corner = view_.Scale(layout::kCornerDiameter);
  // The window owns the region from here on.
  SetWindowRgn(window_, CreateRoundRectRgn(0, 0, width + 1, height + 1, corner, corner), TRUE);
  if (tooltip_) SendTools(TTM_NEWTOOLRECTW);
}

void MainWindow::AddTooltips() {
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!tooltip_) return;
  SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, view_.Scale(320));
  SendTools(TTM_ADDTOOLW);
}

void MainWindow::SendTools(UINT message) {
  const std::vector<ViewControl>& controls = view_.Controls();
  for (UINT_PTR id = 0; id < controls.size(); ++id) {
    if (!HasTip(controls[id])) continue;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = id;
    tool.rect = ToRect(view_.ToClient(view_.BoxOf(controls[id])));
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(tooltip_, message, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

int MainWindow::Run() {
  if (!Create()) return 1;
  ShowWindow(window_, SW_SHOW);
  UpdateWindow(window_);
  SetForegroundWindow(window_);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
    // The system stops once the current handler has returned.
    if (loop_.StopRequested() && window_) DestroyWindow(window_);
  }
  return 0;
}

void MainWindow::Pump() {
  if (!window_) return;
  const std::int64_t now = clock_.NowMs();
  if (now - last_pump_ms_ < kPumpMs) return;
  last_pump_ms_ = now;
  ++pump_depth_;
  Repaint();
  MSG message;
  while (!loop_.StopRequested() && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));  // for the outer loop
      break;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  UpdateCursor();
  --pump_depth_;
}

void MainWindow::Repaint() {
  if (window_) InvalidateRect(window_, nullptr, FALSE);
}

void MainWindow::UpdateCursor() {
  POINT point;
  if (!window_ || !GetCursorPos(&point) || WindowFromPoint(point) != window_) return;
  SetCursor(LoadCursorW(nullptr, form_.window.cursor == app::Cursor::kBusy ? IDC_WAIT : IDC_ARROW));
}

void MainWindow::Paint() {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(window_, &paint);
  RECT client;
  GetClientRect(window_, &client);
  // Drawn off screen, then copied at once: no flicker.
  const HDC memory = CreateCompatibleDC(dc);
  gdi::Object bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
  {
    gdi::Selected selected(memory, bitmap.get());
    painter_.Paint(memory, clock_.NowMs());
    BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
  }
  DeleteDC(memory);
  EndPaint(window_, &paint);
}

void MainWindow::MouseDown(Point point) {
  SetFocus(window_);
  const std::optional<Hit> hit = view_.HitTest(point);
  if (!hit) return;
  SetCapture(window_);
  if (hit->part != Hit::Part::kBody) {
    view_.PressScrollBar(*hit, point);
  } else {
    view_.pressed = hit->target;
  }
  Repaint();
}

void MainWindow::MouseUp(Point point) {
  if (GetCapture() == window_) ReleaseCapture();
  if (view_.Dragged()) {
    view_.ReleaseScrollBar();
    Repaint();
    return;
  }
  const ViewControl* pressed = view_.pressed;
  view_.pressed = nullptr;
  const std::optional<Hit> hit = view_.HitTest(point);
  // A click is a press and a release on the same control; the logic ignores
  // one on a disabled or hidden control.
  if (hit && hit->part == Hit::Part::kBody && hit->target == pressed) {
    form_.Click(pressed->control->name);
  }
  Repaint();
}

void MainWindow::MouseMove(Point point) {
  if (view_.Dragged()) {
    view_.DragScrollBar(point);
    Repaint();
    return;
  }
  const std::optional<Hit> hit = view_.HitTest(point);
  const ViewControl* hover = hit ? hit->target : nullptr;
  if (hover != view_.hover) {
    view_.hover = hover;
    Repaint();
  }
  if (!tracking_mouse_) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window_, 0};
    tracking_mouse_ = TrackMouseEvent(&track) != FALSE;
  }
}

// A double click on the report box copies the report; anywhere else the
// second press of a quick double click is a click.
void MainWindow::DoubleClick(Point point) {
  const std::optional<Hit> hit = view_.HitTest(point);
  if (!hit || hit->part != Hit::Part::kBody || hit->target->place->kind != layout::Kind::kReport) {
    MouseDown(point);
    return;
  }
  const app::Control& report = *hit->target->control;
  if (report.enabled && form_.window.Shown(report)) {
    loop_.RunHandler([this] { form_.ListBox2DblClick(); });
  }
  Repaint();
}

void MainWindow::Wheel(POINT screen, int delta, bool sideways) {
  POINT point = screen;
  ScreenToClient(window_, &point);
  const std::optional<Hit> hit = view_.HitTest({point.x, point.y});
  if (!hit) return;
  const int notches = -delta / WHEEL_DELTA;
  if (sideways) {
    view_.ScrollPixels(*hit->target, -notches * view_.Scale(40));
  } else {
    view_.ScrollLines(*hit->target, notches * kWheelLines);
  }
  Repaint();
}

LRESULT CALLBACK MainWindow::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->window_ = window;
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  return self ? self->Handle(message, w, l) : DefWindowProcW(window, message, w, l);
}

LRESULT MainWindow::Handle(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_ACTIVATE:
      if (LOWORD(w) != WA_INACTIVE) PostMessageW(window_, kActivated, 0, 0);
      break;
    case kActivated:
      loop_.RunHandler([this] { form_.FormActivate(); });
      Repaint();
      return 0;
    case WM_TIMER:
      if (w == kTick) {
        // At the top of the loop the window runs the posted work and the
        // timers; inside a long step, that step's own processing does.
        if (pump_depth_ == 0) loop_.ProcessPendingEvents();
        Repaint();
        UpdateCursor();
      }
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_NCHITTEST: {
      POINT point{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      ScreenToClient(window_, &point);
      if (view_.OnTitleBand({point.x, point.y})) return HTCAPTION;
      return HTCLIENT;
    }
    case WM_SETCURSOR:
      if (LOWORD(l) == HTCLIENT || LOWORD(l) == HTCAPTION) {
        UpdateCursor();
        return TRUE;
      }
      break;
    case WM_LBUTTONDOWN:
      MouseDown(PointOf(l));
      return 0;
    case WM_LBUTTONDBLCLK:
      DoubleClick(PointOf(l));
      return 0;
    case WM_LBUTTONUP:
      MouseUp(PointOf(l));
      return 0;
    case WM_MOUSEMOVE:
      MouseMove(PointOf(l));
      return 0;
    case WM_MOUSELEAVE:
      tracking_mouse_ = false;
      if (view_.hover != nullptr) {
        view_.hover = nullptr;
        Repaint();
      }
      return 0;
    case WM_MOUSEWHEEL:
      Wheel({GET_X_LPARAM(l), GET_Y_LPARAM(l)}, GET_WHEEL_DELTA_WPARAM(w),
            (GET_KEYSTATE_WPARAM(w) & MK_SHIFT) != 0);
      return 0;
    case WM_MOUSEHWHEEL:
      Wheel({GET_X_LPARAM(l), GET_Y_LPARAM(l)}, -GET_WHEEL_DELTA_WPARAM(w), true);
      return 0;
    case WM_CAPTURECHANGED:
      view_.ReleaseScrollBar();
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      // The window sees every key before its controls.
      const bool shift = GetKeyState(VK_SHIFT) < 0;
      const bool ctrl = GetKeyState(VK_CONTROL) < 0;
      const bool alt = GetKeyState(VK_MENU) < 0;
      const int key = static_cast<int>(w);
      loop_.RunHandler([&] { form_.FormKeyDown(key, shift, ctrl, alt); });
      Repaint();
      if (message == WM_SYSKEYDOWN) break;  // Alt+F4 still closes
      return 0;
    }
    case WM_CLOSE:
      loop_.RunHandler([this] { form_.FormClose(); });
      return 0;  // the message loop destroys the window once the system stops
    case WM_DESTROY:
      KillTimer(window_, kTick);
      loop_.RunHandler([this] { form_.FormDestroy(); });
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      window_ = nullptr;
      tooltip_ = nullptr;
      break;
    case WM_DPICHANGED:
      view_.SetDpi(HIWORD(w));
      Resize(reinterpret_cast<const RECT*>(l));
      Repaint();
      return 0;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(l);
      if (header->hwndFrom == tooltip_ && header->code == TTN_GETDISPINFOW) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(l);
        const std::vector<ViewControl>& controls = view_.Controls();
        tip_ = header->idFrom < controls.size()
                   ? platform::win32::Displayable(controls[header->idFrom].control->hint)
                   : std::wstring();
        info->lpszText = tip_.data();
        return 0;
      }
      break;
    }
    default:
      break;
  }
  return DefWindowProcW(window_, message, w, l);
}

}  // namespace

int RunMainWindow(std::vector<std::string> arguments) {
  BecomeDpiAware();
  // The common controls are loaded only now, once the search is restricted
  // to the system folder: imported, they would load before the entry point,
  // and what they load (uxtheme) would be looked up beside the tool. The
  // manifest's activation context still selects their side-by-side version 6.
  if (const auto init = platform::win32::SystemFunction<decltype(&InitCommonControlsEx)>(
          L"comctl32.dll", "InitCommonControlsEx")) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    init(&controls);
  }
  auto os = platform::OpenPlatform({});
  if (!os) {
    platform::win32::Win32UserInterface().ShowMessage(platform::MessageKind::kError,
                                                      os.error().Message());
    return 3;
  }
  std::unique_ptr<MainWindow> window;
  try {
    window = std::make_unique<MainWindow>(**os, std::move(arguments));
  } catch (const std::exception& error) {
    // The window cannot be created (the archive library missing): the tool
    // cannot start at all.
    platform::win32::Win32UserInterface().ShowMessage(platform::MessageKind::kError, error.what());
    return 3;
  }
  return window->Run();
}

}  // namespace frontend::win32
