// The program window: an SDL window whose picture lives in a backing surface. Drawing goes to
// the backing surface; what changed is copied to the screen when the program next polls, waits
// or sleeps, so many small draws cost one present. The caret is drawn over the presented
// picture only, never into the backing surface.
//
// The frame and caption sizes are fixed numbers: the program computes the outer size from the
// client size it wants and back, and a window manager tells its real frame only after the
// window is mapped, too late for that arithmetic to stay consistent.

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "platform/encoding.h"
#include "platform/sdl/sdl_internal.h"
#include "platform/window.h"

namespace platform::sdl {
namespace {

constexpr int kFrameWidth = 4;
constexpr int kFrameHeight = 4;
constexpr int kCaptionHeight = 20;
constexpr Uint32 kPixelFormat = SDL_PIXELFORMAT_ARGB8888;

struct Caret {
  bool exists = false;
  bool visible = false;
  SDL_Rect area{0, 0, 0, 0};
};

struct SizeLimits {
  bool set = false;
  int minWidth = 0;
  int minHeight = 0;
  int maxWidth = 0;
  int maxHeight = 0;
};

SDL_Window* window = nullptr;
SDL_Surface* backing = nullptr;
SDL_Surface* snapshot = nullptr;
int clientWidth = 0;
int clientHeight = 0;
bool shown = false;
bool maximised = false;
bool closeEnabled = true;
SDL_Rect presentDirty{0, 0, 0, 0};
Rect updateRect;
Caret caret;
SizeLimits sizeLimits;

bool EmptyArea(const SDL_Rect& area) { return area.w <= 0 || area.h <= 0; }

SDL_Rect UnionArea(const SDL_Rect& a, const SDL_Rect& b) {
  if (EmptyArea(a)) return b;
  if (EmptyArea(b)) return a;
  SDL_Rect both;
  SDL_UnionRect(&a, &b, &both);
  return both;
}

// Not empty, and its width and height fit an int.
bool Sane(const Rect& rect) {
  const std::int64_t width = std::int64_t{rect.right} - rect.left;
  const std::int64_t height = std::int64_t{rect.bottom} - rect.top;
  return width > 0 && height > 0 && width <= INT32_MAX && height <= INT32_MAX;
}

SDL_Rect ToArea(const Rect& rect) { return {rect.left, rect.top, rect.Width(), rect.Height()}; }

Rect ClientRect() { return {0, 0, clientWidth, clientHeight}; }

Rect Intersect(const Rect& a, const Rect& b) {
  Rect both{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
  return both.Empty() ? Rect{} : both;
}

Rect Union(const Rect& a, const Rect& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

SDL_Surface* NewSurface(int width, int height) {
  SDL_Surface* surface =
      SDL_CreateRGBSurfaceWithFormat(0, std::max(1, width), std::max(1, height), 32, kPixelFormat);
  if (surface != nullptr) {
    SDL_SetSurfaceBlendMode(surface, SDL_BLENDMODE_NONE);
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
  }
  return surface;
}

// Makes the backing surface at least width x height, keeping its picture.
void GrowBacking(int width, int height) {
  if (backing != nullptr && backing->w >= width && backing->h >= height) return;
  SDL_Surface* larger = NewSurface(std::max(width, backing ? backing->w : 0),
                                   std::max(height, backing ? backing->h : 0));
  if (larger == nullptr) return;
  if (backing != nullptr) {
    SDL_BlitSurface(backing, nullptr, larger, nullptr);
    SDL_FreeSurface(backing);
  }
  backing = larger;
}

void QueuePaint(const Rect& area) {
  if (area.Empty()) return;
  InvalidateRect(area);
  Event paint;
  paint.kind = EventKind::Paint;
  paint.x = area.left;
  paint.y = area.top;
  paint.width = area.Width();
  paint.height = area.Height();
  QueueEvent(paint);
}

// The window's client size changed (user, window manager or maximise): what is new is
// exposed and must be painted by the program.
void Resized(int width, int height) {
  const int oldWidth = clientWidth;
  const int oldHeight = clientHeight;
  clientWidth = std::max(0, width);
  clientHeight = std::max(0, height);
  GrowBacking(clientWidth, clientHeight);
  MarkDrawn({0, 0, clientWidth, clientHeight});
  if (clientWidth > oldWidth) QueuePaint({oldWidth, 0, clientWidth, clientHeight});
  if (clientHeight > oldHeight) {
    QueuePaint({0, oldHeight, std::min(oldWidth, clientWidth), clientHeight});
  }
}

void ApplySizeLimits() {
  if (window == nullptr || !sizeLimits.set) return;
  const int extraWidth = 2 * kFrameWidth;
  const int extraHeight = 2 * kFrameHeight + kCaptionHeight;
  const int minWidth = std::max(1, sizeLimits.minWidth - extraWidth);
  const int minHeight = std::max(1, sizeLimits.minHeight - extraHeight);
  SDL_SetWindowMinimumSize(window, minWidth, minHeight);
  if (sizeLimits.maxWidth > 0 && sizeLimits.maxHeight > 0) {
    SDL_SetWindowMaximumSize(window, std::max(minWidth, sizeLimits.maxWidth - extraWidth),
                             std::max(minHeight, sizeLimits.maxHeight - extraHeight));
  }
}

void InvertArea(SDL_Surface* surface, SDL_Rect area) {
  SDL_Rect bounds{0, 0, surface->w, surface->h};
  if (!SDL_IntersectRect(&area, &bounds, &area)) return;
  if (surface->format->BytesPerPixel != 4) {
    SDL_FillRect(surface, &area, SDL_MapRGB(surface->format, 255, 255, 255));
    return;
  }
  if (SDL_LockSurface(surface) != 0) return;
  const Uint32 colourBits = surface->format->Rmask | surface->format->Gmask | surface->format->Bmask;
  for (int row = area.y; row < area.y + area.h; ++row) {
    auto* pixels = reinterpret_cast<Uint32*>(static_cast<Uint8*>(surface->pixels) +
                                             row * surface->pitch) + area.x;
    for (int column = 0; column < area.w; ++column) pixels[column] ^= colourBits;
  }
  SDL_UnlockSurface(surface);
}

void CaretChanged() {
  if (caret.exists) MarkDrawn(caret.area);
}

void ReleaseWindow() {
  DropSnapshot();
  if (backing != nullptr) SDL_FreeSurface(backing);
  backing = nullptr;
  if (window != nullptr) {
    SDL_StopTextInput();
    SDL_DestroyWindow(window);
  }
  window = nullptr;
  clientWidth = clientHeight = 0;
  shown = maximised = false;
  closeEnabled = true;
  presentDirty = {0, 0, 0, 0};
  updateRect = {};
  caret = {};
}

}  // namespace

void HandleWindowEvent(const SDL_WindowEvent& event) {
  if (window == nullptr || event.windowID != SDL_GetWindowID(window)) return;
  switch (event.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      Resized(event.data1, event.data2);
      break;
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_EXPOSED:
      // The backing surface holds the whole picture: showing it again needs no repaint.
      MarkDrawn({0, 0, clientWidth, clientHeight});
      break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
    case SDL_WINDOWEVENT_FOCUS_LOST: {
      Event focus;
      focus.kind = event.event == SDL_WINDOWEVENT_FOCUS_GAINED ? EventKind::FocusIn
                                                                : EventKind::FocusOut;
      QueueEvent(focus);
      break;
    }
    case SDL_WINDOWEVENT_CLOSE: {
      Event close;
      close.kind = EventKind::Close;
      QueueEvent(close);
      break;
    }
    default:
      break;
  }
}

void PresentPending() {
  if (window == nullptr || backing == nullptr || !shown || EmptyArea(presentDirty)) return;
  SDL_Surface* screen = SDL_GetWindowSurface(window);
  if (screen == nullptr) return;
  SDL_Rect bounds{0, 0, std::min(screen->w, backing->w), std::min(screen->h, backing->h)};
  SDL_Rect area;
  if (!SDL_IntersectRect(&presentDirty, &bounds, &area)) {
    presentDirty = {0, 0, 0, 0};
    return;
  }
  const bool caretShows = caret.exists && caret.visible && SDL_HasIntersection(&caret.area, &area);
  if (caretShows) {
    area = UnionArea(area, caret.area);
    SDL_IntersectRect(&area, &bounds, &area);
  }
  SDL_Rect target = area;
  SDL_BlitSurface(backing, &area, screen, &target);
  if (caretShows) InvertArea(screen, caret.area);
  SDL_UpdateWindowSurfaceRects(window, &area, 1);
  presentDirty = {0, 0, 0, 0};
}

SDL_Surface* BackingSurface() { return window != nullptr ? backing : nullptr; }

void MarkDrawn(const SDL_Rect& area) {
  if (window == nullptr || EmptyArea(area)) return;
  presentDirty = UnionArea(presentDirty, area);
}

}  // namespace platform::sdl

namespace platform {

using namespace sdl;

ScreenMetrics GetScreenMetrics() {
  ScreenMetrics metrics;
  metrics.frameWidth = kFrameWidth;
  metrics.frameHeight = kFrameHeight;
  metrics.captionHeight = kCaptionHeight;
  metrics.screenWidth = 1024;
  metrics.screenHeight = 768;
  metrics.workArea = {0, 0, 1024, 768};
  if (!StartVideo()) return metrics;
  const int display = window != nullptr ? std::max(0, SDL_GetWindowDisplayIndex(window)) : 0;
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(display, &mode) == 0) {
    metrics.screenWidth = mode.w;
    metrics.screenHeight = mode.h;
    metrics.workArea = {0, 0, mode.w, mode.h};
  }
  SDL_Rect usable;
  if (SDL_GetDisplayUsableBounds(display, &usable) == 0 && usable.w > 0 && usable.h > 0) {
    metrics.workArea = {usable.x, usable.y, usable.x + usable.w, usable.y + usable.h};
  }
  return metrics;
}

bool CreateWindow(const std::string& title, int x, int y, int width, int height) {
  DestroyWindow();
  if (!StartVideo()) return false;
  if (width == kDefaultPosition || height == kDefaultPosition) {
    const ScreenMetrics metrics = GetScreenMetrics();
    width = metrics.screenWidth * 3 / 4;
    height = metrics.screenHeight * 3 / 4;
  }
  const int innerWidth = std::max(1, width - 2 * kFrameWidth);
  const int innerHeight = std::max(1, height - 2 * kFrameHeight - kCaptionHeight);
  const bool defaultPlace = x == kDefaultPosition || y == kDefaultPosition;
  const int innerX = defaultPlace ? SDL_WINDOWPOS_UNDEFINED : x + kFrameWidth;
  const int innerY = defaultPlace ? SDL_WINDOWPOS_UNDEFINED : y + kFrameHeight + kCaptionHeight;
  window = SDL_CreateWindow(Cp1252ToUtf8(title).c_str(), innerX, innerY, innerWidth, innerHeight,
                            SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
  if (window == nullptr) return false;
  clientWidth = innerWidth;
  clientHeight = innerHeight;
  GrowBacking(clientWidth, clientHeight);
  if (backing == nullptr) {
    ReleaseWindow();
    return false;
  }
  AddShutdownStep(DestroyWindow);
  ApplySizeLimits();
  SDL_StartTextInput();
  return true;
}

void ShowWindow(bool maximise) {
  if (window == nullptr) return;
  const bool firstShow = !shown;
  const bool sizeChanges = maximise != maximised;
  SDL_ShowWindow(window);
  if (maximise) {
    SDL_MaximizeWindow(window);
  } else if (maximised) {
    SDL_RestoreWindow(window);
  }
  // A window that appears takes the keyboard, as a new window does on Windows.
  SDL_RaiseWindow(window);
  SDL_SetWindowInputFocus(window);
  shown = true;
  maximised = maximise;
  MarkDrawn({0, 0, clientWidth, clientHeight});
  if (firstShow || sizeChanges) QueuePaint(ClientRect());
}

void DestroyWindow() { ReleaseWindow(); }

bool WindowExists() { return window != nullptr; }

void SetWindowTitle(const std::string& title) {
  if (window != nullptr) SDL_SetWindowTitle(window, Cp1252ToUtf8(title).c_str());
}

// SDL offers no way to grey out the window manager's close command; the Close event is always
// delivered and the program decides, so the flag is only remembered.
void EnableCloseCommand(bool enabled) {
  if (window != nullptr) closeEnabled = enabled;
}

bool IsWindowActive() {
  return window != nullptr && (SDL_GetWindowFlags(window) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

Rect GetWindowRect() {
  if (window == nullptr) return {};
  int x = 0;
  int y = 0;
  SDL_GetWindowPosition(window, &x, &y);
  const int left = x - kFrameWidth;
  const int top = y - kFrameHeight - kCaptionHeight;
  return {left, top, left + clientWidth + 2 * kFrameWidth,
          top + clientHeight + 2 * kFrameHeight + kCaptionHeight};
}

Rect GetClientRect() { return window != nullptr ? ClientRect() : Rect{}; }

void SetWindowSizeLimits(int minWidth, int minHeight, int maxWidth, int maxHeight) {
  sizeLimits = {true, minWidth, minHeight, maxWidth, maxHeight};
  ApplySizeLimits();
}

void ScrollPixels(const Rect& area, int dy) {
  if (window == nullptr || dy == 0) return;
  const Rect clipped = Intersect(area, {0, 0, backing->w, backing->h});
  if (clipped.Empty()) return;
  const int rows = clipped.Height() - std::abs(dy);
  if (rows > 0 && SDL_LockSurface(backing) == 0) {
    auto* pixels = static_cast<Uint8*>(backing->pixels);
    const int rowBytes = clipped.Width() * 4;
    const int pitch = backing->pitch;
    const int columnOffset = clipped.left * 4;
    if (dy < 0) {
      for (int row = clipped.top; row < clipped.top + rows; ++row) {
        std::copy_n(pixels + (row - dy) * pitch + columnOffset, rowBytes,
                    pixels + row * pitch + columnOffset);
      }
    } else {
      for (int row = clipped.bottom - 1; row >= clipped.top + dy; --row) {
        std::copy_n(pixels + (row - dy) * pitch + columnOffset, rowBytes,
                    pixels + row * pitch + columnOffset);
      }
    }
    SDL_UnlockSurface(backing);
  }
  MarkDrawn(ToArea(clipped));
}

void FillRect(const Rect& area, Rgb colour) {
  if (window == nullptr) return;
  const Rect clipped = Intersect(area, {0, 0, backing->w, backing->h});
  if (clipped.Empty()) return;
  const SDL_Rect target = ToArea(clipped);
  SDL_FillRect(backing, &target, SDL_MapRGB(backing->format, colour.r, colour.g, colour.b));
  MarkDrawn(target);
}

void InvalidateRect(const Rect& area) {
  if (window == nullptr) return;
  updateRect = Union(updateRect, Intersect(area, ClientRect()));
}

void InvalidateWindow() { InvalidateRect(ClientRect()); }

bool TakeUpdateRect(Rect& area) {
  if (updateRect.Empty()) return false;
  area = updateRect;
  updateRect = {};
  return true;
}

void CreateCaret(int width, int height) {
  if (window == nullptr) return;
  CaretChanged();
  caret.exists = true;
  caret.visible = false;
  caret.area.w = std::max(1, width);
  caret.area.h = std::max(1, height);
}

void SetCaretPos(int x, int y) {
  if (!caret.exists) return;
  CaretChanged();
  caret.area.x = x;
  caret.area.y = y;
  CaretChanged();
}

void ShowCaret() {
  if (!caret.exists || caret.visible) return;
  caret.visible = true;
  CaretChanged();
}

void DestroyCaret() {
  CaretChanged();
  caret = {};
}

bool CaretVisible() { return caret.exists && caret.visible; }

void TakeSnapshot(int width, int height) {
  DropSnapshot();
  if (window == nullptr) return;
  width = std::min(width, backing->w);
  height = std::min(height, backing->h);
  if (width <= 0 || height <= 0) return;
  snapshot = NewSurface(width, height);
  if (snapshot == nullptr) return;
  SDL_Rect source{0, 0, width, height};
  SDL_BlitSurface(backing, &source, snapshot, nullptr);
}

void DrawSnapshotStretched(const Rect& source, const Rect& destination) {
  if (window == nullptr || snapshot == nullptr || !Sane(source) || !Sane(destination)) return;
  SDL_Rect from = ToArea(source);
  SDL_Rect to = ToArea(destination);
  SDL_BlitScaled(snapshot, &from, backing, &to);
  MarkDrawn(ToArea(destination));
}

void DropSnapshot() {
  if (snapshot != nullptr) SDL_FreeSurface(snapshot);
  snapshot = nullptr;
}

}  // namespace platform
