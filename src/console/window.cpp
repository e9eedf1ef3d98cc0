#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>

#include "console/console.h"
#include "console/console_internal.h"
#include "console/keyboard.h"
#include "console/screen_state.h"
#include "console/stdio_binding.h"
#include "console/video_settings.h"
#include "platform/encoding.h"
#include "platform/keys.h"
#include "platform/system.h"
#include "platform/window.h"

namespace console {
namespace {

constexpr int kStartColumns = 80;
constexpr int kStartRows = 25;
constexpr int kLargestDimension = 1000;  // rows or columns; keeps the arrays a sane size
constexpr int kTitleLength = 79;
constexpr int kCaretHeight = 2;
constexpr const char* kEndTitle = "Programa terminado";
constexpr const char* kNoDisplayMessage = "não foi possível abrir a janela (sem tela gráfica?)\n";

struct Settings {
  int columns = kStartColumns;
  int rows = kStartRows;
  bool breakCheck = true;
  bool endOfFileKey = false;
};

struct WindowState {
  bool created = false;
  // After the program has ended with the window open, only the default handling remains.
  bool ended = false;
  bool focused = false;
  bool waitingForKey = false;
  bool caretShown = false;
  bool fixedColours = false;
  int magnifierFactor = 2;
  bool magnifierActive = false;
  int brailleMode = 0;
  std::string title;
  WaveDoneHandler waveDoneHandler = nullptr;
  bool waveDoneEnabled = false;
};

Settings settings;
WindowState state;

struct WindowGeometry {
  int width = 0;
  int height = 0;
  int minWidth = 0;
  int minHeight = 0;
  int maxWidth = 0;
  int maxHeight = 0;
};

// Outer window sizes for the grid. The window is made as large as the grid and held within
// the limits the user may drag it to, as the system does when a window is created.
WindowGeometry ComputeGeometry(const platform::ScreenMetrics& metrics,
                               const screen::CellLayout& layout) {
  const int frameWidth = 2 * metrics.frameWidth;
  const int frameHeight = 2 * metrics.frameHeight;
  const int gridWidth = settings.columns * layout.cellWidth;
  const int gridHeight = settings.rows * layout.cellHeight;
  WindowGeometry geometry;
  geometry.maxWidth = std::min(gridWidth, metrics.screenWidth) + frameWidth;
  geometry.maxHeight = std::min(metrics.captionHeight + gridHeight, metrics.screenHeight) + frameHeight;
  // A font too large for the screen would put the smallest size above the largest.
  geometry.minWidth = std::min(frameWidth + 16 * layout.cellWidth, geometry.maxWidth);
  geometry.minHeight =
      std::min(frameHeight + 4 * layout.cellHeight + metrics.captionHeight, geometry.maxHeight);
  geometry.width = std::clamp(frameWidth + gridWidth, geometry.minWidth, geometry.maxWidth);
  geometry.height = std::clamp(frameHeight + gridHeight + metrics.captionHeight,
                               geometry.minHeight, geometry.maxHeight);
  return geometry;
}

std::string ProgramTitle() { return platform::ProgramPath().substr(0, kTitleLength); }

// The program file's name without its folder or ".exe", for messages on the terminal.
std::string ProgramName() {
  std::string name = platform::ProgramPath();
  name.erase(0, name.find_last_of("/\\") + 1);
  if (name.size() > 4 && platform::SameIgnoringCase(std::string_view(name).substr(name.size() - 4), ".exe")) {
    name.resize(name.size() - 4);
  }
  return name;
}

void ShowCaretAtCursor() {
  const screen::CellLayout& layout = screen::Layout();
  platform::CreateCaret(layout.cellWidth, kCaretHeight);
  platform::SetCaretPos(CursorColumn() * layout.cellWidth + layout.overhang,
                        CursorRow() * layout.cellHeight + layout.ascent);
  platform::ShowCaret();
  state.caretShown = true;
}

void HideCaret() {
  if (!state.caretShown) return;
  platform::DestroyCaret();
  state.caretShown = false;
}

void DrawMagnified(int x, int y) {
  const platform::Rect client = platform::GetClientRect();
  const int factor = state.magnifierFactor;
  const int width = client.Width();
  const int height = client.Height();
  const int sourceWidth = width / factor;
  const int sourceHeight = height / factor;
  const int left = std::clamp(x - x / factor, 0, std::max(0, width - sourceWidth));
  const int top = std::clamp(y - y / factor, 0, std::max(0, height - sourceHeight));
  platform::DrawSnapshotStretched({left, top, left + sourceWidth, top + sourceHeight},
                                  {0, 0, width, height});
}

void StartMagnifier(const platform::Event& event) {
  if (state.magnifierActive) return;
  state.magnifierActive = true;
  const platform::Rect client = platform::GetClientRect();
  platform::TakeSnapshot(client.Width(), client.Height());
  DrawMagnified(event.x, event.y);
}

void StopMagnifier() {
  if (!state.magnifierActive) return;
  state.magnifierActive = false;
  platform::DropSnapshot();
  platform::InvalidateWindow();
  screen::PaintPending();
}

void PaintEvent(const platform::Event& event) {
  platform::Rect area{event.x, event.y, event.x + event.width, event.y + event.height};
  platform::Rect pending;
  if (platform::TakeUpdateRect(pending)) {
    area = area.Empty() ? pending
                        : platform::Rect{std::min(area.left, pending.left),
                                         std::min(area.top, pending.top),
                                         std::max(area.right, pending.right),
                                         std::max(area.bottom, pending.bottom)};
  }
  screen::PaintRect(area);
}

// Everything the window holds goes; the program itself carries on (or ends, for the caller).
void DestroyConsoleWindow() {
  HideCaret();
  if (state.magnifierActive) platform::DropSnapshot();
  state.magnifierActive = false;
  if (screen::Layout().font != platform::kStockFont) platform::DeleteFont(screen::Layout().font);
  platform::DestroyWindow();
  screen::Close();
  state.created = false;
  state.focused = false;
}

// What is left once the program has ended with the window still open: repaint the text so
// the last screen stays readable, and let Close (or Alt+F4) take the window away.
void DispatchAfterEnd(const platform::Event& event) {
  switch (event.kind) {
    case platform::EventKind::Paint:
      PaintEvent(event);
      break;
    case platform::EventKind::Close:
      DestroyConsoleWindow();
      break;
    case platform::EventKind::SysKeyDown:
      if (event.alt && event.code == platform::kVkF4) DestroyConsoleWindow();
      break;
    default:
      break;
  }
}

void EndOfProgram() {
  if (!state.created || !platform::WindowExists() || state.ended) return;
  stdio::FlushStandardOutput();
  platform::SetWindowTitle(kEndTitle);
  platform::EnableCloseCommand(true);
  settings.breakCheck = false;
  state.ended = true;
}

}  // namespace

void ConsoleStart() {
  settings = Settings{};
  state = WindowState{};
  state.title = ProgramTitle();
  stdio::BindStandardStreams();
  platform::SetEndOfProgramHandler(&EndOfProgram);
}

void ConsoleStop() {
  stdio::UnbindStandardStreams();
  if (state.created) DestroyConsoleWindow();
  detail::ResetKeyboard();
  platform::SetEndOfProgramHandler(nullptr);
  settings = Settings{};
  state = WindowState{};
}

void SetRows(int rows) {
  if (!state.created) settings.rows = std::clamp(rows, 1, kLargestDimension);
}

void SetColumns(int columns) {
  if (!state.created) settings.columns = std::clamp(columns, 1, kLargestDimension);
}

int Rows() { return settings.rows; }
int Columns() { return settings.columns; }
void SetBreakCheck(bool on) { settings.breakCheck = on; }
void SetEndOfFileKey(bool on) { settings.endOfFileKey = on; }
bool BreakCheck() { return settings.breakCheck; }
bool EndOfFileKey() { return settings.endOfFileKey; }
bool ConsoleCreated() { return state.created; }

void EnsureConsole() {
  if (state.created || state.ended) return;
  const platform::ScreenMetrics metrics = platform::GetScreenMetrics();
  const video::VideoSettings video = video::ReadVideoSettings(metrics.workArea);
  state.fixedColours = video.fixedColours;
  state.magnifierFactor = video.magnifierFactor;
  state.brailleMode = video.brailleMode;

  // The weight stays 0 (the face's own): only a weight chosen before creation would make
  // the PESOLETRA key count, and nothing chooses one.
  platform::FontRequest request;
  request.face = video.fontFace;
  request.height = video.fontHeight;
  request.width = video.fontWidth;
  const int font = platform::CreateFont(request);
  const platform::FontMetrics measured = platform::MeasureFont(font);
  screen::CellLayout layout;
  layout.font = font;
  layout.cellWidth = std::max(1, measured.averageWidth);
  layout.cellHeight = std::max(1, measured.height + measured.externalLeading);
  layout.ascent = measured.ascent;
  layout.overhang = measured.overhang;
  const WindowGeometry geometry = ComputeGeometry(metrics, layout);

  if (state.title.empty()) state.title = ProgramTitle();
  if (!platform::CreateWindow(state.title, platform::kDefaultPosition,
                              platform::kDefaultPosition, geometry.width, geometry.height)) {
    if (font != platform::kStockFont) platform::DeleteFont(font);
    std::fputs(platform::Cp1252ToUtf8(
        (ProgramName().empty() ? "" : ProgramName() + ": ") + kNoDisplayMessage).c_str(), stderr);
    std::fflush(stderr);
    platform::ExitProgram(1);
  }
  state.created = true;
  screen::Open(settings.columns, settings.rows, video.attribute, layout, video.colourTable,
               video.pixelScrolling);
  platform::SetWindowSizeLimits(geometry.minWidth, geometry.minHeight, geometry.maxWidth,
                                geometry.maxHeight);
  platform::ShowWindow(video.showMaximised);
  state.focused = platform::IsWindowActive();
  screen::PaintPending();
  SetBrailleMode(state.brailleMode);
}

void TextColor(int colour) {
  EnsureConsole();
  if (state.fixedColours) return;
  screen::SetAttribute(static_cast<std::uint8_t>((CurrentAttribute() & 0xF0) | (colour & 15)));
}

void CloseConsole(int exitCode) {
  if (state.created) {
    detail::DiscardQueuedKeys();
    DestroyConsoleWindow();
  }
  platform::ExitProgram(exitCode);
}

void SetWaveDoneHandler(WaveDoneHandler handler, bool enabled) {
  state.waveDoneHandler = handler;
  state.waveDoneEnabled = enabled;
}

namespace detail {

void DispatchEvent(const platform::Event& event) {
  if (!state.created) return;
  if (state.ended) {
    DispatchAfterEnd(event);
    return;
  }
  switch (event.kind) {
    case platform::EventKind::Paint:
      PaintEvent(event);
      break;
    case platform::EventKind::Close:
      CloseConsole();  // ends the program
    case platform::EventKind::FocusIn:
      state.focused = true;
      if (state.waitingForKey && !state.caretShown) ShowCaretAtCursor();
      break;
    case platform::EventKind::FocusOut:
      state.focused = false;
      HideCaret();
      break;
    case platform::EventKind::KeyDown:
      HandleKeyDown(event);
      break;
    case platform::EventKind::SysKeyDown:
      // The default handling of a system key: Alt+F4 closes the window.
      if (!HandleSysKeyDown(event) && event.alt && event.code == platform::kVkF4) {
        CloseConsole();
      }
      break;
    case platform::EventKind::KeyUp:
    case platform::EventKind::SysKeyUp:
      HandleKeyUp(event);
      break;
    case platform::EventKind::Char:
      HandleChar(event);
      break;
    case platform::EventKind::RightDown:
      StartMagnifier(event);
      break;
    case platform::EventKind::MouseMove:
      if (state.magnifierActive) DrawMagnified(event.x, event.y);
      break;
    case platform::EventKind::RightUp:
      StopMagnifier();
      break;
    case platform::EventKind::WaveOutDone:
      if (state.waveDoneHandler != nullptr && state.waveDoneEnabled) {
        state.waveDoneHandler(event.slot);
      }
      break;
    case platform::EventKind::WaveInData:
    case platform::EventKind::Wake:
    case platform::EventKind::Quit:
      break;
  }
}

bool WindowFocused() { return state.focused; }

void BeginKeyWait() {
  state.waitingForKey = true;
  if (state.focused && state.created && !state.caretShown) ShowCaretAtCursor();
}

void EndKeyWait() {
  HideCaret();
  state.waitingForKey = false;
}

int ConfiguredBrailleMode() { return state.brailleMode; }

}  // namespace detail
}  // namespace console
