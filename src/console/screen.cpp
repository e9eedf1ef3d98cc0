#include <algorithm>
#include <cstdint>
#include <vector>

#include "console/console.h"
#include "console/screen_state.h"
#include "platform/sound.h"
#include "platform/window.h"

namespace console {
namespace {

constexpr std::uint8_t kStartAttribute = 0x0F;

struct ScreenBuffer {
  bool open = false;
  int columns = 0;
  int rows = 0;
  std::vector<char> characters;
  std::vector<std::uint8_t> attributes;
  int column = 0;
  int row = 0;
  std::uint8_t attribute = kStartAttribute;
  screen::CellLayout layout;
  video::ColourTable colourTable = video::IdentityColourTable();
  bool pixelScrolling = false;
  // The changed stretch of the cursor's line, columns [changedFrom, changedTo).
  int changedFrom = 0;
  int changedTo = 0;
};

ScreenBuffer state;

int CellIndex(int column, int row) { return row * state.columns + column; }

void ShowRun(int from, int to, int row) {
  from = std::max(from, 0);
  to = std::min(to, state.columns);
  if (to <= from || row < 0 || row >= state.rows) return;
  const screen::CellLayout& layout = state.layout;
  int start = from;
  while (start < to) {
    std::uint8_t attribute = state.attributes[CellIndex(start, row)];
    int end = start + 1;
    while (end < to && state.attributes[CellIndex(end, row)] == attribute) ++end;
    platform::DrawText(layout.font, start * layout.cellWidth + layout.overhang,
                       row * layout.cellHeight, &state.characters[CellIndex(start, row)],
                       end - start, video::PaletteColour(state.colourTable, attribute & 15),
                       video::PaletteColour(state.colourTable, attribute >> 4));
    start = end;
  }
}

void WidenChangedStretch(int column) {
  state.changedFrom = std::min(state.changedFrom, column);
  state.changedTo = std::max(state.changedTo, column + 1);
}

void ShowChangedStretch() {
  ShowRun(state.changedFrom, state.changedTo, state.row);
  state.changedFrom = state.columns;
  state.changedTo = 0;
}

void ScrollUp() {
  int bottom = state.rows - 1;
  std::copy(state.characters.begin() + state.columns, state.characters.end(),
            state.characters.begin());
  std::copy(state.attributes.begin() + state.columns, state.attributes.end(),
            state.attributes.begin());
  std::fill_n(state.characters.begin() + CellIndex(0, bottom), state.columns, ' ');
  std::fill_n(state.attributes.begin() + CellIndex(0, bottom), state.columns, state.attribute);

  const screen::CellLayout& layout = state.layout;
  const platform::ScreenMetrics metrics = platform::GetScreenMetrics();
  bool roomBelow = metrics.screenHeight - platform::GetWindowRect().bottom > 32;
  if (state.pixelScrolling && platform::IsWindowActive() && roomBelow) {
    int width = state.columns * layout.cellWidth + layout.overhang;
    platform::ScrollPixels({0, 0, width, state.rows * layout.cellHeight}, -layout.cellHeight);
    platform::FillRect({0, bottom * layout.cellHeight, width, state.rows * layout.cellHeight},
                       video::PaletteColour(state.colourTable, state.attribute >> 4));
  } else {
    platform::InvalidateWindow();
  }
}

void NextLine() {
  ShowChangedStretch();
  ++state.row;
  if (state.row >= state.rows) {
    state.row = state.rows - 1;
    ScrollUp();
  }
  screen::PaintPending();
}

void PutByte(unsigned char byte) {
  switch (byte) {
    case 7:
      platform::Beep();
      return;
    case 8:
      if (state.column > 0) {
        --state.column;
        state.characters[CellIndex(state.column, state.row)] = ' ';
        state.attributes[CellIndex(state.column, state.row)] = state.attribute;
        WidenChangedStretch(state.column);
      }
      return;
    case 10:
      NextLine();
      state.column = 0;
      return;
    case 13:
      state.column = 0;
      return;
    default:
      break;
  }
  if (byte < 32) return;
  if (state.column >= state.columns) {
    state.column = 0;
    NextLine();
  }
  state.characters[CellIndex(state.column, state.row)] = static_cast<char>(byte);
  state.attributes[CellIndex(state.column, state.row)] = state.attribute;
  WidenChangedStretch(state.column);
  ++state.column;
}

}  // namespace

namespace screen {

void Open(int columns, int rows, std::uint8_t attribute, const CellLayout& layout,
          const video::ColourTable& colourTable, bool pixelScrolling) {
  state = ScreenBuffer{};
  state.open = true;
  state.columns = std::max(columns, 1);
  state.rows = std::max(rows, 1);
  state.attribute = attribute;
  state.layout = layout;
  state.layout.cellWidth = std::max(layout.cellWidth, 1);
  state.layout.cellHeight = std::max(layout.cellHeight, 1);
  state.colourTable = colourTable;
  state.pixelScrolling = pixelScrolling;
  std::size_t cells = static_cast<std::size_t>(state.columns) * state.rows;
  state.characters.assign(cells, ' ');
  state.attributes.assign(cells, attribute);
}

void Close() { state = ScreenBuffer{}; }

bool IsOpen() { return state.open; }

const CellLayout& Layout() { return state.layout; }

void SetAttribute(std::uint8_t attribute) { state.attribute = attribute; }

void PaintRect(const platform::Rect& area) {
  if (!state.open || area.Empty()) return;
  const CellLayout& layout = state.layout;
  auto ceilDiv = [](int value, int divisor) {
    return value <= 0 ? 0 : (value + divisor - 1) / divisor;
  };
  int firstColumn = std::max(0, area.left / layout.cellWidth);
  int lastColumn = std::min(state.columns, ceilDiv(area.right, layout.cellWidth));
  int firstRow = std::max(0, area.top / layout.cellHeight);
  int lastRow = std::min(state.rows, ceilDiv(area.bottom, layout.cellHeight));
  for (int row = firstRow; row < lastRow; ++row) ShowRun(firstColumn, lastColumn, row);
}

void PaintPending() {
  platform::Rect area;
  if (platform::TakeUpdateRect(area)) PaintRect(area);
}

}  // namespace screen

void WriteText(const char* bytes, int count) {
  EnsureConsole();
  if (!state.open || bytes == nullptr) return;
  state.row = std::clamp(state.row, 0, state.rows - 1);
  state.column = std::clamp(state.column, 0, state.columns);
  state.changedFrom = state.column;
  state.changedTo = state.column;
  for (int i = 0; i < count; ++i) PutByte(static_cast<unsigned char>(bytes[i]));
  ShowChangedStretch();
}

int CursorColumn() { return state.column; }
int CursorRow() { return state.row; }
std::uint8_t CurrentAttribute() { return state.attribute; }

char ScreenCharacter(int column, int row) {
  if (!state.open || column < 0 || column >= state.columns || row < 0 || row >= state.rows) {
    return ' ';
  }
  return state.characters[CellIndex(column, row)];
}

std::uint8_t ScreenAttribute(int column, int row) {
  if (!state.open || column < 0 || column >= state.columns || row < 0 || row >= state.rows) {
    return state.attribute;
  }
  return state.attributes[CellIndex(column, row)];
}

}  // namespace console
