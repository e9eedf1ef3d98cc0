#pragma once

#include <cstdint>
#include <string>

// The one program window and drawing into it. Coordinates are window client pixels.
// Drawing may be buffered by a backend; it becomes visible at the latest when the program
// next waits for or polls events.
namespace platform {

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  bool operator==(const Rgb&) const = default;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;   // exclusive
  int bottom = 0;  // exclusive
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  bool operator==(const Rect&) const = default;
};

struct ScreenMetrics {
  int screenWidth = 0;    // SM_CXSCREEN
  int screenHeight = 0;   // SM_CYSCREEN
  int frameWidth = 0;     // SM_CXFRAME
  int frameHeight = 0;    // SM_CYFRAME
  int captionHeight = 0;  // SM_CYCAPTION
  Rect workArea;          // the desktop without the task bar
};

struct FontRequest {
  std::string face;
  int height = 0;  // pixels; 0 lets the backend choose
  int width = 0;   // average character width in pixels; 0 lets the backend choose
  int weight = 0;  // 0 default, 400 normal, 700 bold
  bool oemCharset = false;
};

struct FontMetrics {
  int averageWidth = 0;
  int height = 0;
  int externalLeading = 0;
  int ascent = 0;
  int overhang = 0;
};

constexpr int kDefaultPosition = INT32_MIN;  // CW_USEDEFAULT
constexpr int kStockFont = 0;                // the stock fixed font, always available

ScreenMetrics GetScreenMetrics();

// Creates the window (hidden until ShowWindow). Returns false when no window can be made
// (no display); the window does not exist then.
bool CreateWindow(const std::string& title, int x, int y, int width, int height);
void ShowWindow(bool maximised);
void DestroyWindow();
bool WindowExists();
void SetWindowTitle(const std::string& title);
void EnableCloseCommand(bool enabled);
bool IsWindowActive();
Rect GetWindowRect();  // outer rectangle on the screen
Rect GetClientRect();  // client area, origin 0, 0
// The outer sizes the user may give the window by dragging its edges (WM_GETMINMAXINFO).
void SetWindowSizeLimits(int minWidth, int minHeight, int maxWidth, int maxHeight);

// Fonts: a handle above 0, or 0 (kStockFont) when the font cannot be created.
int CreateFont(const FontRequest& request);
void DeleteFont(int font);
FontMetrics MeasureFont(int font);

// Draws `count` Windows-1252 bytes as a run of cells starting at pixel x, y (top of the cell),
// each cell the font's average width, in `foreground` on an opaque `background`.
void DrawText(int font, int x, int y, const char* bytes, int count, Rgb foreground,
              Rgb background);
// Moves the pixels of `area` by dy (negative: up), clipped to `area` (BitBlt within the window).
void ScrollPixels(const Rect& area, int dy);
void FillRect(const Rect& area, Rgb colour);

// The update region. Invalidating adds to it; TakeUpdateRect returns and clears it (false when
// empty). The window's owner paints what TakeUpdateRect returns (UpdateWindow, WM_PAINT).
void InvalidateRect(const Rect& area);
void InvalidateWindow();
bool TakeUpdateRect(Rect& area);

// The caret: one at most.
void CreateCaret(int width, int height);
void SetCaretPos(int x, int y);
void ShowCaret();
void DestroyCaret();
bool CaretVisible();

// Magnifier: copy the window's pixels (width x height from 0, 0), then draw part of that copy
// stretched over the window.
void TakeSnapshot(int width, int height);
void DrawSnapshotStretched(const Rect& source, const Rect& destination);
void DropSnapshot();

}  // namespace platform
