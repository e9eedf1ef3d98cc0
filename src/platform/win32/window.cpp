// The program window on Windows: class "VrWinCrt" (CS_HREDRAW | CS_VREDRAW, the application
// icon, the arrow cursor, the black stock brush), style WS_OVERLAPPEDWINDOW, drawn with GDI
// at once through a device context taken and released for each call. The update region that
// TakeUpdateRect returns is the backend's own: what the program invalidates, and what
// WM_PAINT has validated and handed over as a Paint event. Windows' own update region only
// ever holds what the system exposed, which comes back as WM_PAINT.
//
// Also the hidden message-only window that the wave devices report to while there is no
// console window.

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>

#include "platform/win32/win32_internal.h"
#include "platform/window.h"

namespace platform::win32 {
namespace {

constexpr const char* kClassName = "VrWinCrt";
constexpr const char* kDeviceClassName = "VrWinCrtDevices";

struct SizeLimits {
  bool set = false;
  int minWidth = 0;
  int minHeight = 0;
  int maxWidth = 0;
  int maxHeight = 0;
};

struct Caret {
  bool exists = false;
  bool visible = false;
};

struct Snapshot {
  HBITMAP bitmap = nullptr;
  int width = 0;
  int height = 0;
};

// Read by PostWake from any thread; written on the program thread.
std::atomic<HWND> consoleWindow{nullptr};
HWND deviceWindow = nullptr;
bool classRegistered = false;
bool deviceClassRegistered = false;
bool closeEnabled = true;
SizeLimits sizeLimits;
Rect updateRect;
Caret caret;
Snapshot snapshot;

HINSTANCE Instance() { return ::GetModuleHandleA(nullptr); }

Rect Intersect(const Rect& a, const Rect& b) {
  const Rect both{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                  std::min(a.bottom, b.bottom)};
  return both.Empty() ? Rect{} : both;
}

Rect Union(const Rect& a, const Rect& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

RECT ToRECT(const Rect& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }
Rect FromRECT(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

// Not empty, and its width and height fit an int.
bool Sane(const Rect& rect) {
  const std::int64_t width = std::int64_t{rect.right} - rect.left;
  const std::int64_t height = std::int64_t{rect.bottom} - rect.top;
  return width > 0 && height > 0 && width <= INT32_MAX && height <= INT32_MAX;
}

Rect ClientArea(HWND window) {
  RECT client{};
  ::GetClientRect(window, &client);
  return FromRECT(client);
}

LRESULT CALLBACK ConsoleProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GETMINMAXINFO:
      if (sizeLimits.set) {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        if (sizeLimits.maxWidth > 0 && sizeLimits.maxHeight > 0) {
          info->ptMaxSize = {sizeLimits.maxWidth, sizeLimits.maxHeight};
          info->ptMaxTrackSize = info->ptMaxSize;
        }
        info->ptMinTrackSize = {sizeLimits.minWidth, sizeLimits.minHeight};
        return 0;
      }
      break;
    case WM_SYSCOMMAND:
      // The greyed Close item of the system menu also holds back its Alt+F4 and its button.
      if ((wParam & 0xFFF0) == SC_CLOSE && !closeEnabled) return 0;
      break;
    case WM_NCDESTROY:
      if (consoleWindow.load() == window) consoleWindow = nullptr;
      break;
    default:
      break;
  }
  if (HandleDeviceMessage(message, wParam, lParam)) return 0;
  LRESULT result = 0;
  if (TranslateWindowMessage(window, message, wParam, lParam, result)) return result;
  return ::DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK DeviceProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (HandleDeviceMessage(message, wParam, lParam)) return 0;
  if (IsWakeMessage(message)) {
    Event wake;
    wake.kind = EventKind::Wake;
    wake.code = static_cast<int>(message);
    QueueEvent(wake);
    return 0;
  }
  return ::DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterConsoleClass() {
  if (classRegistered) return true;
  WNDCLASSA windowClass{};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = ConsoleProcedure;
  windowClass.hInstance = Instance();
  windowClass.hIcon = ::LoadIconA(nullptr, MAKEINTRESOURCEA(32512));   // IDI_APPLICATION
  windowClass.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kClassName;
  classRegistered = ::RegisterClassA(&windowClass) != 0 ||
                    ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  return classRegistered;
}

bool RegisterDeviceClass() {
  if (deviceClassRegistered) return true;
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DeviceProcedure;
  windowClass.hInstance = Instance();
  windowClass.lpszClassName = kDeviceClassName;
  deviceClassRegistered = ::RegisterClassA(&windowClass) != 0 ||
                          ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  return deviceClassRegistered;
}

// Messages still queued for a window that is about to go: wake-ups and device notices are
// handed on, since they would be lost with it. Only those numbers are taken, and only posted
// ones (a WM_PAINT, which PeekMessage never removes while the window is invalid, would keep
// a loop over every message going for ever).
void RescueMessages(HWND window) {
  MSG message;
  for (const UINT wake : kWakeMessages) {
    while (::PeekMessageA(&message, window, wake, wake, PM_REMOVE | PM_QS_POSTMESSAGE)) {
      Event event;
      event.kind = EventKind::Wake;
      event.code = static_cast<int>(message.message);
      QueueEvent(event);
    }
  }
  while (::PeekMessageA(&message, window, MM_WOM_OPEN, MM_WIM_DATA, PM_REMOVE | PM_QS_POSTMESSAGE)) {
    HandleDeviceMessage(message.message, message.wParam, message.lParam);
  }
}

// A device context of the console window for one drawing call, with the caret (which
// Windows draws by inverting the window's pixels) taken off meanwhile, as BeginPaint does.
class WindowDc {
 public:
  WindowDc() : window_(consoleWindow.load()) {
    if (window_ == nullptr) return;
    dc_ = ::GetDC(window_);
    caretHidden_ = dc_ != nullptr && caret.visible && ::HideCaret(window_);
  }
  ~WindowDc() {
    if (dc_ != nullptr) ::ReleaseDC(window_, dc_);
    if (caretHidden_) ::ShowCaret(window_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC Get() const { return dc_; }
  HWND Window() const { return window_; }

 private:
  HWND window_ = nullptr;
  HDC dc_ = nullptr;
  bool caretHidden_ = false;
};

}  // namespace

HWND ConsoleWindow() { return consoleWindow.load(); }

// Drawing goes to the window at once; GdiFlush sends on what GDI still batches (and under
// Wine copies the window's pixels to the X server).
void ShowPendingDrawing() {
  if (consoleWindow.load() != nullptr) ::GdiFlush();
}

HWND DeviceWindow() {
  if (const HWND console = consoleWindow.load()) return console;
  if (deviceWindow == nullptr && RegisterDeviceClass()) {
    deviceWindow = ::CreateWindowExA(0, kDeviceClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                     nullptr, Instance(), nullptr);
  }
  return deviceWindow;
}

}  // namespace platform::win32

namespace platform {

using namespace win32;

ScreenMetrics GetScreenMetrics() {
  ScreenMetrics metrics;
  metrics.screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
  metrics.screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
  metrics.frameWidth = ::GetSystemMetrics(SM_CXFRAME);
  metrics.frameHeight = ::GetSystemMetrics(SM_CYFRAME);
  metrics.captionHeight = ::GetSystemMetrics(SM_CYCAPTION);
  RECT work{};
  if (::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0) && work.right > work.left &&
      work.bottom > work.top) {
    metrics.workArea = FromRECT(work);
  } else {
    metrics.workArea = {0, 0, metrics.screenWidth, metrics.screenHeight};
  }
  return metrics;
}

bool CreateWindow(const std::string& title, int x, int y, int width, int height) {
  DestroyWindow();
  if (!RegisterConsoleClass()) return false;
  // kDefaultPosition is CW_USEDEFAULT itself.
  const HWND window = ::CreateWindowExA(0, kClassName, title.c_str(), WS_OVERLAPPEDWINDOW, x, y,
                                        width, height, nullptr, nullptr, Instance(), nullptr);
  if (window == nullptr) return false;
  consoleWindow = window;
  closeEnabled = true;
  updateRect = {};
  caret = {};
  return true;
}

void ShowWindow(bool maximised) {
  const HWND window = consoleWindow.load();
  if (window == nullptr) return;
  ::ShowWindow(window, maximised ? SW_MAXIMIZE : SW_SHOW);
  ::UpdateWindow(window);
}

void DestroyWindow() {
  const HWND window = consoleWindow.load();
  DropSnapshot();
  if (window == nullptr) return;
  DestroyCaret();
  // Wake-ups posted from now on go to the thread.
  consoleWindow = nullptr;
  RescueMessages(window);
  ::DestroyWindow(window);
  closeEnabled = true;
  updateRect = {};
}

bool WindowExists() { return consoleWindow.load() != nullptr; }

void SetWindowTitle(const std::string& title) {
  if (const HWND window = consoleWindow.load()) ::SetWindowTextA(window, title.c_str());
}

void EnableCloseCommand(bool enabled) {
  const HWND window = consoleWindow.load();
  if (window == nullptr) return;
  closeEnabled = enabled;
  if (const HMENU menu = ::GetSystemMenu(window, FALSE)) {
    ::EnableMenuItem(menu, SC_CLOSE, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
  }
}

bool IsWindowActive() {
  const HWND window = consoleWindow.load();
  return window != nullptr && ::GetForegroundWindow() == window;
}

Rect GetWindowRect() {
  const HWND window = consoleWindow.load();
  RECT outer{};
  if (window == nullptr || !::GetWindowRect(window, &outer)) return {};
  return FromRECT(outer);
}

Rect GetClientRect() {
  const HWND window = consoleWindow.load();
  return window != nullptr ? ClientArea(window) : Rect{};
}

void SetWindowSizeLimits(int minWidth, int minHeight, int maxWidth, int maxHeight) {
  sizeLimits = {true, minWidth, minHeight, maxWidth, maxHeight};
}

void ScrollPixels(const Rect& area, int dy) {
  WindowDc dc;
  if (dc.Get() == nullptr || dy == 0) return;
  const Rect clipped = Intersect(area, ClientArea(dc.Window()));
  if (clipped.Empty()) return;
  const RECT scroll = ToRECT(clipped);
  HRGN uncovered = ::CreateRectRgn(0, 0, 0, 0);
  ::ScrollDC(dc.Get(), 0, dy, &scroll, &scroll, uncovered, nullptr);
  if (uncovered == nullptr) return;
  // The strip that the move left behind is the caller's to fill; anything else that could
  // not be copied (the pixels were not on the screen) is repainted from the screen buffer.
  const int freed = std::min(std::abs(dy), clipped.Height());
  const Rect strip = dy < 0 ? Rect{clipped.left, clipped.bottom - freed, clipped.right, clipped.bottom}
                            : Rect{clipped.left, clipped.top, clipped.right, clipped.top + freed};
  HRGN stripRegion = ::CreateRectRgn(strip.left, strip.top, strip.right, strip.bottom);
  RECT rest{};
  if (stripRegion != nullptr &&
      ::CombineRgn(uncovered, uncovered, stripRegion, RGN_DIFF) != NULLREGION &&
      ::GetRgnBox(uncovered, &rest) != NULLREGION) {
    InvalidateRect(FromRECT(rest));
  }
  if (stripRegion != nullptr) ::DeleteObject(stripRegion);
  ::DeleteObject(uncovered);
}

void FillRect(const Rect& area, Rgb colour) {
  WindowDc dc;
  if (dc.Get() == nullptr || !Sane(area)) return;
  const HBRUSH brush = ::CreateSolidBrush(RGB(colour.r, colour.g, colour.b));
  if (brush == nullptr) return;
  const RECT target = ToRECT(area);
  ::FillRect(dc.Get(), &target, brush);
  ::DeleteObject(brush);
}

void InvalidateRect(const Rect& area) {
  const HWND window = consoleWindow.load();
  if (window == nullptr) return;
  updateRect = Union(updateRect, Intersect(area, ClientArea(window)));
}

void InvalidateWindow() { InvalidateRect(GetClientRect()); }

bool TakeUpdateRect(Rect& area) {
  if (updateRect.Empty()) return false;
  area = updateRect;
  updateRect = {};
  return true;
}

void CreateCaret(int width, int height) {
  const HWND window = consoleWindow.load();
  if (window == nullptr) return;
  caret = {};
  if (::CreateCaret(window, nullptr, std::max(1, width), std::max(1, height))) {
    caret.exists = true;
  }
}

void SetCaretPos(int x, int y) {
  if (caret.exists) ::SetCaretPos(x, y);
}

void ShowCaret() {
  const HWND window = consoleWindow.load();
  if (!caret.exists || caret.visible || window == nullptr) return;
  if (::ShowCaret(window)) caret.visible = true;
}

void DestroyCaret() {
  if (caret.exists) ::DestroyCaret();
  caret = {};
}

bool CaretVisible() { return caret.exists && caret.visible; }

void TakeSnapshot(int width, int height) {
  DropSnapshot();
  WindowDc dc;
  if (dc.Get() == nullptr || width <= 0 || height <= 0) return;
  const HBITMAP bitmap = ::CreateCompatibleBitmap(dc.Get(), width, height);
  if (bitmap == nullptr) return;
  const HDC memory = ::CreateCompatibleDC(dc.Get());
  if (memory == nullptr) {
    ::DeleteObject(bitmap);
    return;
  }
  const HGDIOBJ previous = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, width, height, dc.Get(), 0, 0, SRCCOPY);
  ::SelectObject(memory, previous);
  ::DeleteDC(memory);
  snapshot = {bitmap, width, height};
}

void DrawSnapshotStretched(const Rect& source, const Rect& destination) {
  if (snapshot.bitmap == nullptr || !Sane(source) || !Sane(destination)) return;
  WindowDc dc;
  if (dc.Get() == nullptr) return;
  const HDC memory = ::CreateCompatibleDC(dc.Get());
  if (memory == nullptr) return;
  const HGDIOBJ previous = ::SelectObject(memory, snapshot.bitmap);
  ::SetStretchBltMode(dc.Get(), COLORONCOLOR);
  ::StretchBlt(dc.Get(), destination.left, destination.top, destination.Width(),
               destination.Height(), memory, source.left, source.top, source.Width(),
               source.Height(), SRCCOPY);
  ::SelectObject(memory, previous);
  ::DeleteDC(memory);
}

void DropSnapshot() {
  if (snapshot.bitmap != nullptr) ::DeleteObject(snapshot.bitmap);
  snapshot = {};
}

}  // namespace platform
