// The simulated window: its state, fonts, caret and magnifier snapshot.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/sim/sim.h"
#include "platform/sim/sim_internal.h"
#include "platform/window.h"

namespace sim {
namespace {

// Where the window goes when its creator leaves the position to the system.
constexpr int kDefaultX = 22;
constexpr int kDefaultY = 22;

struct FontEntry {
  platform::FontRequest request;
  bool live = true;
};

struct WindowState {
  Options options;
  bool exists = false;
  bool shown = false;
  bool maximised = false;
  bool active = false;
  bool closeEnabled = true;
  platform::Rect created;
  int createCount = 0;
  std::vector<std::string> titles;
  std::string title;
  SizeLimitRecord sizeLimits;
  platform::Rect update;
  CaretState caret;
  bool snapshotHeld = false;
  int snapshotCount = 0;
  std::vector<StretchRecord> stretches;
  std::vector<FontEntry> fonts;
};

WindowState state;

void QueueSimple(platform::EventKind kind) {
  platform::Event event;
  event.kind = kind;
  sim::detail::PushEvent(event);
}

platform::Rect Intersect(const platform::Rect& a, const platform::Rect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

platform::Rect Union(const platform::Rect& a, const platform::Rect& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

}  // namespace

namespace detail {

void ResetWindow(const Options& options) {
  state = WindowState{};
  state.options = options;
}

}  // namespace detail

const std::vector<std::string>& Titles() { return state.titles; }
bool WindowShown() { return state.exists && state.shown; }
bool WindowMaximised() { return state.exists && state.maximised; }
bool CloseCommandEnabled() { return state.closeEnabled; }
platform::Rect CreatedWindowRect() { return state.created; }
int CreateWindowCount() { return state.createCount; }
SizeLimitRecord SizeLimits() { return state.sizeLimits; }
CaretState Caret() { return state.caret; }
int SnapshotCount() { return state.snapshotCount; }
bool SnapshotHeld() { return state.snapshotHeld; }
const std::vector<StretchRecord>& Stretches() { return state.stretches; }

std::vector<platform::FontRequest> FontsCreated() {
  std::vector<platform::FontRequest> requests;
  for (const FontEntry& font : state.fonts) requests.push_back(font.request);
  return requests;
}

int LiveFontCount() {
  return static_cast<int>(std::count_if(state.fonts.begin(), state.fonts.end(),
                                        [](const FontEntry& font) { return font.live; }));
}

void SetActive(bool active) {
  if (active == state.active) return;
  state.active = active;
  if (state.exists) QueueSimple(active ? platform::EventKind::FocusIn : platform::EventKind::FocusOut);
}

}  // namespace sim

namespace platform {

using sim::state;

ScreenMetrics GetScreenMetrics() { return state.options.metrics; }

bool CreateWindow(const std::string& title, int x, int y, int width, int height) {
  if (!state.options.displayAvailable) return false;
  const ScreenMetrics& metrics = state.options.metrics;
  if (x == kDefaultPosition || y == kDefaultPosition) {
    x = sim::kDefaultX;
    y = sim::kDefaultY;
  }
  if (width == kDefaultPosition || height == kDefaultPosition) {
    width = metrics.screenWidth * 3 / 4;
    height = metrics.screenHeight * 3 / 4;
  }
  state.exists = true;
  state.shown = false;
  state.maximised = false;
  state.active = false;
  state.closeEnabled = true;
  state.created = {x, y, x + std::max(0, width), y + std::max(0, height)};
  state.update = {};
  ++state.createCount;
  state.title = title;
  state.titles.push_back(title);
  return true;
}

void ShowWindow(bool maximised) {
  if (!state.exists) return;
  const bool firstShow = !state.shown;
  const bool sizeChanged = maximised != state.maximised;
  state.shown = true;
  state.maximised = maximised;
  if (!state.active) {
    state.active = true;
    sim::QueueSimple(EventKind::FocusIn);
  }
  if (firstShow || sizeChanged) {
    InvalidateWindow();
    Event paint;
    paint.kind = EventKind::Paint;
    paint.x = state.update.left;
    paint.y = state.update.top;
    paint.width = state.update.Width();
    paint.height = state.update.Height();
    sim::detail::PushEvent(paint);
  }
}

void DestroyWindow() {
  if (!state.exists) return;
  state.exists = false;
  state.shown = false;
  state.maximised = false;
  state.active = false;
  state.update = {};
  state.caret = {};
  state.snapshotHeld = false;
}

bool WindowExists() { return state.exists; }

void SetWindowTitle(const std::string& title) {
  if (!state.exists || title == state.title) return;
  state.title = title;
  state.titles.push_back(title);
}

void EnableCloseCommand(bool enabled) {
  if (state.exists) state.closeEnabled = enabled;
}

bool IsWindowActive() { return state.exists && state.active; }

Rect GetWindowRect() {
  if (!state.exists) return {};
  if (state.maximised) return state.options.metrics.workArea;
  return state.created;
}

Rect GetClientRect() {
  if (!state.exists) return {};
  const Rect outer = GetWindowRect();
  const ScreenMetrics& metrics = state.options.metrics;
  const int width = outer.Width() - 2 * metrics.frameWidth;
  const int height = outer.Height() - 2 * metrics.frameHeight - metrics.captionHeight;
  return {0, 0, std::max(0, width), std::max(0, height)};
}

void SetWindowSizeLimits(int minWidth, int minHeight, int maxWidth, int maxHeight) {
  state.sizeLimits = {true, minWidth, minHeight, maxWidth, maxHeight};
}

int CreateFont(const FontRequest& request) {
  state.fonts.push_back({request, true});
  return static_cast<int>(state.fonts.size());
}

void DeleteFont(int font) {
  if (font >= 1 && font <= static_cast<int>(state.fonts.size())) state.fonts[font - 1].live = false;
}

FontMetrics MeasureFont(int font) {
  FontMetrics metrics;
  if (font < 1 || font > static_cast<int>(state.fonts.size()) || !state.fonts[font - 1].live) {
    // The stock fixed font, which is also what a device context keeps when a font is unusable.
    metrics.averageWidth = 8;
    metrics.height = 16;
    metrics.ascent = 13;
    return metrics;
  }
  const FontRequest& request = state.fonts[font - 1].request;
  metrics.height = request.height == 0 ? 16 : std::abs(request.height);
  metrics.averageWidth = request.width == 0 ? std::max(1, metrics.height / 2) : std::abs(request.width);
  metrics.ascent = metrics.height * 4 / 5;
  return metrics;
}

void InvalidateRect(const Rect& area) {
  if (!state.exists) return;
  const Rect clipped = sim::Intersect(area, GetClientRect());
  if (clipped.Empty()) return;
  state.update = sim::Union(state.update, clipped);
}

void InvalidateWindow() { InvalidateRect(GetClientRect()); }

bool TakeUpdateRect(Rect& area) {
  if (state.update.Empty()) return false;
  area = state.update;
  state.update = {};
  return true;
}

void CreateCaret(int width, int height) {
  if (!state.exists) return;
  state.caret = {true, false, 0, 0, width, height};
}

void SetCaretPos(int x, int y) {
  if (!state.caret.exists) return;
  state.caret.x = x;
  state.caret.y = y;
}

void ShowCaret() {
  if (state.caret.exists) state.caret.visible = true;
}

void DestroyCaret() { state.caret = {}; }

bool CaretVisible() { return state.caret.exists && state.caret.visible; }

void TakeSnapshot(int, int) {
  if (!state.exists) return;
  state.snapshotHeld = true;
  ++state.snapshotCount;
}

void DrawSnapshotStretched(const Rect& source, const Rect& destination) {
  if (!state.exists || !state.snapshotHeld) return;
  state.stretches.push_back({source, destination});
}

void DropSnapshot() { state.snapshotHeld = false; }

}  // namespace platform
