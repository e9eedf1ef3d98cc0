// The win32 backend's window, drawing and event queue for real, under Wine on a private X
// server (run_on_xvfb.sh). Pixels are read back from the screen's device context, which Wine
// takes from the X server, so what is checked is what a user would see.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/events.h"
#include "platform/system.h"
#include "platform/win32/win32_internal.h"
#include "platform/window.h"

namespace {

using platform::Event;
using platform::EventKind;
using platform::Rect;
using platform::Rgb;

constexpr const char* kTitle = "win32 window test";
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kYellow{255, 255, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kGreen{0, 255, 0};

// Handles messages for `milliseconds`, or until `until` holds for an event taken; the events
// taken are returned.
std::vector<Event> Pump(int milliseconds, const std::function<bool(const Event&)>& until = {}) {
  std::vector<Event> taken;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (std::chrono::steady_clock::now() < end) {
    Event event;
    while (platform::PeekEvent(event)) {
      taken.push_back(event);
      if (until && until(event)) return taken;
    }
    ::Sleep(5);
  }
  return taken;
}

bool Has(const std::vector<Event>& events, EventKind kind) {
  for (const Event& event : events) {
    if (event.kind == kind) return true;
  }
  return false;
}

// The client area as the X server shows it, read through the screen's device context.
class Capture {
 public:
  Capture() {
    const HWND window = platform::win32::ConsoleWindow();
    RECT client{};
    ::GetClientRect(window, &client);
    width_ = client.right;
    height_ = client.bottom;
    POINT origin{0, 0};
    ::ClientToScreen(window, &origin);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const HDC screen = ::GetDC(nullptr);
    const HDC memory = ::CreateCompatibleDC(screen);
    void* bits = nullptr;
    const HBITMAP bitmap = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ previous = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width_, height_, screen, origin.x, origin.y, SRCCOPY);
    ::GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    pixels_.assign(pixels, pixels + static_cast<std::size_t>(width_) * height_);
    ::SelectObject(memory, previous);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
  }

  Rgb At(int x, int y) const {
    const std::uint32_t pixel = pixels_[static_cast<std::size_t>(y) * width_ + x];
    return {static_cast<std::uint8_t>(pixel >> 16), static_cast<std::uint8_t>(pixel >> 8),
            static_cast<std::uint8_t>(pixel)};
  }

  // How many pixels of `area` have exactly `colour`.
  int Count(const Rect& area, Rgb colour) const {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) count += At(x, y) == colour ? 1 : 0;
    }
    return count;
  }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;
};

// What the program has drawn, on the screen: GDI's batch sent on and the X server caught up.
Capture Shown() {
  platform::win32::ShowPendingDrawing();
  Pump(150);
  return Capture();
}

class Win32Window : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(platform::CreateWindow(kTitle, platform::kDefaultPosition,
                                       platform::kDefaultPosition, 648, 480));
  }
  void TearDown() override {
    platform::DestroyWindow();
    Pump(50);
  }
  void Show() {
    platform::ShowWindow(false);
    Pump(300);
  }
};

TEST_F(Win32Window, OpensWithTheClassStyleAndSizeAsked) {
  const HWND window = platform::win32::ConsoleWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(::FindWindowA("VrWinCrt", kTitle), window);
  char className[64] = {};
  ::GetClassNameA(window, className, sizeof className);
  EXPECT_STREQ(className, "VrWinCrt");
  EXPECT_EQ(::GetClassLongPtrA(window, GCL_STYLE) & (CS_HREDRAW | CS_VREDRAW),
            static_cast<ULONG_PTR>(CS_HREDRAW | CS_VREDRAW));
  EXPECT_EQ(::GetWindowLongA(window, GWL_STYLE) & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
  EXPECT_FALSE(::IsWindowVisible(window));  // hidden until ShowWindow
  RECT outer{};
  ::GetWindowRect(window, &outer);
  EXPECT_EQ(outer.right - outer.left, 648);
  EXPECT_EQ(outer.bottom - outer.top, 480);
  const Rect rect = platform::GetWindowRect();
  EXPECT_EQ(rect.Width(), 648);
  EXPECT_EQ(rect.Height(), 480);

  // The console computes the outer size from the client size with these metrics.
  const platform::ScreenMetrics metrics = platform::GetScreenMetrics();
  EXPECT_EQ(metrics.screenWidth, 1024);
  EXPECT_EQ(metrics.screenHeight, 768);
  EXPECT_FALSE(metrics.workArea.Empty());
  const Rect client = platform::GetClientRect();
  EXPECT_EQ(client.left, 0);
  EXPECT_EQ(client.Width(), 648 - 2 * metrics.frameWidth);
  EXPECT_EQ(client.Height(), 480 - 2 * metrics.frameHeight - metrics.captionHeight);

  platform::SetWindowTitle("Programa terminado");
  EXPECT_EQ(::FindWindowA("VrWinCrt", "Programa terminado"), window);

  // Shown: the system asks for the whole client area to be painted, and it is in the update
  // region the program paints from as well.
  platform::ShowWindow(false);
  EXPECT_TRUE(::IsWindowVisible(window));
  const std::vector<Event> events = Pump(1000, [](const Event& e) { return e.kind == EventKind::Paint; });
  ASSERT_TRUE(Has(events, EventKind::Paint));
  const Event& paint = events.back();
  EXPECT_EQ(paint.x, 0);
  EXPECT_EQ(paint.y, 0);
  EXPECT_EQ(paint.width, client.Width());
  EXPECT_EQ(paint.height, client.Height());
  Rect pending;
  ASSERT_TRUE(platform::TakeUpdateRect(pending));
  EXPECT_EQ(pending, client);
  EXPECT_FALSE(platform::TakeUpdateRect(pending));

  platform::DestroyWindow();
  EXPECT_FALSE(platform::WindowExists());
  EXPECT_FALSE(::IsWindow(window));
}

TEST_F(Win32Window, SizeLimitsHoldTheMaximisedWindow) {
  platform::SetWindowSizeLimits(300, 200, 600, 400);
  platform::ShowWindow(true);
  Pump(300);
  const Rect rect = platform::GetWindowRect();
  EXPECT_EQ(rect.Width(), 600);
  EXPECT_EQ(rect.Height(), 400);
  MINMAXINFO info{};
  ::SendMessageA(platform::win32::ConsoleWindow(), WM_GETMINMAXINFO, 0,
                 reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 300);
  EXPECT_EQ(info.ptMinTrackSize.y, 200);
  EXPECT_EQ(info.ptMaxTrackSize.x, 600);
  EXPECT_EQ(info.ptMaxTrackSize.y, 400);
  platform::SetWindowSizeLimits(0, 0, 0, 0);
}

TEST_F(Win32Window, TextIsDrawnInItsColoursOneCellPerCharacter) {
  Show();
  platform::FontRequest request;
  request.face = "Lucida Console";
  request.height = 28;
  request.width = 13;
  const int font = platform::CreateFont(request);
  ASSERT_NE(font, platform::kStockFont);
  const platform::FontMetrics metrics = platform::MeasureFont(font);
  ASSERT_GT(metrics.averageWidth, 0);
  ASSERT_GT(metrics.height, 0);
  const int cell = metrics.averageWidth;
  const int lineHeight = metrics.height + metrics.externalLeading;

  platform::DrawText(font, 0, 0, "MMMM", 4, kYellow, kBlue);
  platform::DrawText(font, 4 * cell, 0, "  ", 2, kRed, kGreen);
  Capture screen = Shown();
  const Rect run{0, 0, 4 * cell, lineHeight};
  const int runPixels = run.Width() * run.Height();
  const int yellow = screen.Count(run, kYellow);
  const int blue = screen.Count(run, kBlue);
  EXPECT_GT(yellow, runPixels / 20) << "the letters in the foreground colour";
  EXPECT_GT(blue, runPixels / 3) << "on the background colour";
  // Each cell holds its own letter.
  for (int k = 0; k < 4; ++k) {
    EXPECT_GT(screen.Count({k * cell, 0, (k + 1) * cell, lineHeight}, kYellow), 0) << "cell " << k;
  }
  // Blanks are the background alone, and nothing is drawn past the run.
  const Rect blanks{4 * cell, 0, 6 * cell, lineHeight};
  EXPECT_EQ(screen.Count(blanks, kGreen), blanks.Width() * blanks.Height());
  const Rect beyond{6 * cell, 0, 8 * cell, lineHeight};
  EXPECT_EQ(screen.Count(beyond, kBlack), beyond.Width() * beyond.Height());
  const Rect below{0, lineHeight, 6 * cell, lineHeight + 4};
  EXPECT_EQ(screen.Count(below, kBlack), below.Width() * below.Height());

  // The accented letters of Windows-1252 are characters of the font, not blanks.
  platform::DrawText(font, 0, lineHeight, "\xE7\xE3", 2, kYellow, kBlue);
  screen = Shown();
  EXPECT_GT(screen.Count({0, lineHeight, cell, 2 * lineHeight}, kYellow), 0);
  EXPECT_GT(screen.Count({cell, lineHeight, 2 * cell, 2 * lineHeight}, kYellow), 0);
  platform::DeleteFont(font);
}

TEST_F(Win32Window, StockFontStandsInForAFontThatCannotBeMade) {
  const platform::FontMetrics stock = platform::MeasureFont(platform::kStockFont);
  EXPECT_GT(stock.averageWidth, 0);
  EXPECT_GT(stock.height, 0);
  Show();
  platform::DrawText(platform::kStockFont, 0, 0, "AB", 2, kRed, kBlue);
  const Capture screen = Shown();
  const Rect run{0, 0, 2 * stock.averageWidth, stock.height};
  EXPECT_GT(screen.Count(run, kRed), 0);
  EXPECT_GT(screen.Count(run, kBlue), 0);
}

TEST_F(Win32Window, FillScrollAndMagnify) {
  Show();
  platform::FillRect({0, 0, 100, 100}, kBlue);
  platform::FillRect({0, 40, 100, 60}, kRed);
  Capture screen = Shown();
  EXPECT_EQ(screen.At(50, 50), kRed);
  EXPECT_EQ(screen.At(50, 10), kBlue);

  // Up by 20 within the square: the red band moves from 40..59 to 20..39.
  platform::ScrollPixels({0, 0, 100, 100}, -20);
  screen = Shown();
  EXPECT_EQ(screen.At(50, 25), kRed);
  EXPECT_EQ(screen.At(50, 45), kBlue);
  EXPECT_EQ(screen.At(50, 55), kBlue);
  EXPECT_EQ(screen.At(150, 25), kBlack) << "nothing moves outside the area";

  // The magnifier: the snapshot's square at 0, 10 (blue above red) over 200 x 200.
  platform::TakeSnapshot(100, 100);
  platform::FillRect({0, 0, 300, 300}, kGreen);
  platform::DrawSnapshotStretched({0, 10, 20, 30}, {0, 0, 200, 200});
  screen = Shown();
  EXPECT_EQ(screen.At(100, 50), kBlue);
  EXPECT_EQ(screen.At(100, 150), kRed);
  EXPECT_EQ(screen.At(250, 100), kGreen);
  platform::DropSnapshot();
}

TEST_F(Win32Window, CaretIsTheSystemCaret) {
  Show();
  platform::CreateCaret(13, 2);
  platform::SetCaretPos(26, 22);
  EXPECT_FALSE(platform::CaretVisible());
  platform::ShowCaret();
  EXPECT_TRUE(platform::CaretVisible());
  POINT position{};
  ASSERT_TRUE(::GetCaretPos(&position));
  EXPECT_EQ(position.x, 26);
  EXPECT_EQ(position.y, 22);
  platform::DestroyCaret();
  EXPECT_FALSE(platform::CaretVisible());
}

TEST_F(Win32Window, CloseIsAskedAndTheCloseCommandCanBeGreyed) {
  Show();
  const HWND window = platform::win32::ConsoleWindow();
  ::PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(Has(Pump(1000, [](const Event& e) { return e.kind == EventKind::Close; }), EventKind::Close));
  EXPECT_TRUE(platform::WindowExists()) << "the program decides";

  platform::EnableCloseCommand(false);
  const HMENU menu = ::GetSystemMenu(window, FALSE);
  EXPECT_NE(::GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED, 0u);
  ::PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(Has(Pump(300), EventKind::Close));
  platform::EnableCloseCommand(true);
  EXPECT_EQ(::GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED, 0u);
  ::PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(Has(Pump(1000, [](const Event& e) { return e.kind == EventKind::Close; }), EventKind::Close));
}

TEST_F(Win32Window, WindowInvalidatedBySystemIsPaintedThroughEvents) {
  Show();
  Pump(200);
  Rect pending;
  platform::TakeUpdateRect(pending);
  ::InvalidateRect(platform::win32::ConsoleWindow(), nullptr, TRUE);
  const std::vector<Event> events = Pump(1000, [](const Event& e) { return e.kind == EventKind::Paint; });
  ASSERT_TRUE(Has(events, EventKind::Paint));
  EXPECT_EQ(events.back().width, platform::GetClientRect().Width());
  // The program's own invalidation stays its own: no second paint from the system.
  platform::TakeUpdateRect(pending);
  platform::InvalidateRect({10, 10, 20, 30});
  EXPECT_FALSE(Has(Pump(200), EventKind::Paint));
  ASSERT_TRUE(platform::TakeUpdateRect(pending));
  EXPECT_EQ(pending, (Rect{10, 10, 20, 30}));
}

TEST_F(Win32Window, KeyHeldWhenTheFocusGoesIsReleased) {
  Show();
  const HWND window = platform::win32::ConsoleWindow();
  ::SetForegroundWindow(window);
  ::SetFocus(window);
  Pump(200);
  EXPECT_TRUE(platform::IsWindowActive());
  ::keybd_event('K', 0x25, 0, 0);
  std::vector<Event> events = Pump(1000, [](const Event& e) { return e.kind == EventKind::KeyDown; });
  ASSERT_TRUE(Has(events, EventKind::KeyDown));
  EXPECT_EQ(events.back().code, 'K');

  // Another window takes the keyboard; the release that will go to it is made here.
  const HWND other = ::CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                       0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  ::SetForegroundWindow(other);
  ::SetFocus(other);
  events = Pump(1000, [](const Event& e) { return e.kind == EventKind::FocusOut; });
  ::keybd_event('K', 0x25, KEYEVENTF_KEYUP, 0);
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events[events.size() - 2].kind, EventKind::KeyUp);
  EXPECT_EQ(events[events.size() - 2].code, 'K');
  EXPECT_EQ(events.back().kind, EventKind::FocusOut);
  EXPECT_FALSE(platform::IsWindowActive());

  // The focus back, and the key's release (which went to the other window) is not repeated.
  ::DestroyWindow(other);
  ::SetForegroundWindow(window);
  ::SetFocus(window);
  events = Pump(500);
  EXPECT_TRUE(Has(events, EventKind::FocusIn));
  EXPECT_FALSE(Has(events, EventKind::KeyUp));
}

// A wake-up posted from another thread ends a wait, with a window and without one.
void ExpectWakeFromAnotherThread(int message) {
  std::thread poster([message] {
    ::Sleep(100);
    platform::PostWake(message);
  });
  const auto start = std::chrono::steady_clock::now();
  platform::WaitEvent();
  const auto waited = std::chrono::steady_clock::now() - start;
  poster.join();
  const std::vector<Event> events = Pump(200, [message](const Event& e) {
    return e.kind == EventKind::Wake && e.code == message;
  });
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back().kind, EventKind::Wake);
  EXPECT_EQ(events.back().code, message);
  EXPECT_LT(waited, std::chrono::seconds(5));
}

TEST_F(Win32Window, WakeUpsAndQuitArriveWithTheWindow) {
  Show();
  Pump(200);
  ExpectWakeFromAnotherThread(1123);
  ExpectWakeFromAnotherThread(2980);
  EXPECT_EQ(platform::win32::DeviceWindow(), platform::win32::ConsoleWindow());
  platform::PostQuit(7);
  const std::vector<Event> events = Pump(1000, [](const Event& e) { return e.kind == EventKind::Quit; });
  ASSERT_TRUE(Has(events, EventKind::Quit));
  EXPECT_EQ(events.back().code, 7);
}

TEST(Win32WithoutWindow, WakeUpsGoToTheThreadAndDevicesToAHiddenWindow) {
  ASSERT_FALSE(platform::WindowExists());
  ExpectWakeFromAnotherThread(2980);
  const HWND devices = platform::win32::DeviceWindow();
  ASSERT_NE(devices, nullptr);
  EXPECT_EQ(::FindWindowExA(HWND_MESSAGE, nullptr, "VrWinCrtDevices", nullptr), devices);
  EXPECT_FALSE(::IsWindowVisible(devices));
  EXPECT_EQ(platform::win32::DeviceWindow(), devices);
}

int handlerRuns = 0;
void EndOfProgram() {
  if (++handlerRuns > 1) std::_Exit(99);  // twice is wrong
  std::fputs("end-of-program handler ran\n", stderr);
  std::fflush(stderr);
}

TEST(Win32Lifecycle, HandlerRunsOnceAtExitProgramAndAtNormalEnd) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        platform::SetEndOfProgramHandler(&EndOfProgram);
        platform::ExitProgram(3);
      },
      testing::ExitedWithCode(3), "end-of-program handler ran");
  EXPECT_EXIT(
      {
        platform::SetEndOfProgramHandler(&EndOfProgram);
        std::exit(0);
      },
      testing::ExitedWithCode(0), "end-of-program handler ran");
}

}  // namespace
