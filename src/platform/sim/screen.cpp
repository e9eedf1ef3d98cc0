// The simulated window's pixels, kept as a grid of character cells, and the record of text runs.
#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/sim.h"
#include "platform/sim/sim_internal.h"
#include "platform/system.h"
#include "platform/window.h"

namespace sim {
namespace {

using CellKey = std::pair<int, int>;  // row, column

struct ScreenState {
  std::vector<TextRun> runs;
  std::map<CellKey, Cell> cells;  // cells never drawn are blank
  int cellWidth = 8;              // of the font last drawn with
  int cellHeight = 16;
};

ScreenState screen;

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
int CeilDiv(int a, int b) { return -FloorDiv(-a, b); }

// The cells a pixel rectangle covers completely, counting only the part of each cell inside
// the client area (so a partial cell at the right or bottom edge is covered by an area that
// reaches the edge). Columns and rows are half-open ranges.
struct CellRange {
  int firstColumn = 0;
  int endColumn = 0;
  int firstRow = 0;
  int endRow = 0;
};

CellRange CoveredCells(const platform::Rect& area) {
  const platform::Rect client = platform::GetClientRect();
  const platform::Rect clipped{std::max(area.left, client.left), std::max(area.top, client.top),
                               std::min(area.right, client.right), std::min(area.bottom, client.bottom)};
  CellRange range;
  if (clipped.Empty()) return range;
  const int w = screen.cellWidth;
  const int h = screen.cellHeight;
  range.firstColumn = CeilDiv(clipped.left, w);
  range.endColumn = clipped.right >= client.right ? CeilDiv(client.right, w) : FloorDiv(clipped.right, w);
  range.firstRow = CeilDiv(clipped.top, h);
  range.endRow = clipped.bottom >= client.bottom ? CeilDiv(client.bottom, h) : FloorDiv(clipped.bottom, h);
  return range;
}

}  // namespace

namespace detail {

void ResetScreen() { screen = ScreenState{}; }

}  // namespace detail

const std::vector<TextRun>& TextRuns() { return screen.runs; }

void ClearTextRuns() { screen.runs.clear(); }

Cell ScreenCell(int column, int row) {
  auto found = screen.cells.find({row, column});
  return found == screen.cells.end() ? Cell{} : found->second;
}

std::string ScreenRow(int row) {
  std::string text;
  for (auto cell = screen.cells.lower_bound({row, 0}); cell != screen.cells.end() && cell->first.first == row;
       ++cell) {
    const int column = cell->first.second;
    if (static_cast<int>(text.size()) < column) text.resize(column, ' ');
    text += cell->second.character;
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

}  // namespace sim

namespace platform {

using sim::screen;

void DrawText(int font, int x, int y, const char* bytes, int count, Rgb foreground, Rgb background) {
  if (!WindowExists() || bytes == nullptr || count <= 0) return;
  const std::string text(bytes, static_cast<std::size_t>(count));
  screen.runs.push_back({ClockMilliseconds(), x, y, text, foreground, background});

  const FontMetrics metrics = MeasureFont(font);
  screen.cellWidth = std::max(1, metrics.averageWidth);
  screen.cellHeight = std::max(1, metrics.height + metrics.externalLeading);
  const Rect client = GetClientRect();
  if (y < 0 || y >= client.bottom) return;
  const int row = y / screen.cellHeight;
  const int firstColumn = sim::FloorDiv(x - metrics.overhang, screen.cellWidth);
  for (int i = 0; i < count; ++i) {
    const int column = firstColumn + i;
    if (column < 0) continue;
    if (column * screen.cellWidth >= client.right) break;
    screen.cells[{row, column}] = sim::Cell{text[i], foreground, background};
  }
}

void ScrollPixels(const Rect& area, int dy) {
  if (!WindowExists()) return;
  const sim::CellRange range = sim::CoveredCells(area);
  const int rows = dy >= 0 ? (dy + screen.cellHeight / 2) / screen.cellHeight
                           : -((-dy + screen.cellHeight / 2) / screen.cellHeight);
  if (rows == 0 || range.firstColumn >= range.endColumn || range.firstRow >= range.endRow) return;
  std::map<sim::CellKey, sim::Cell> moved;
  for (int row = range.firstRow; row < range.endRow; ++row) {
    const int source = row - rows;
    if (source < range.firstRow || source >= range.endRow) continue;  // uncovered: left as it was
    for (int column = range.firstColumn; column < range.endColumn; ++column) {
      moved[{row, column}] = sim::ScreenCell(column, source);
    }
  }
  for (const auto& [key, cell] : moved) screen.cells[key] = cell;
}

void FillRect(const Rect& area, Rgb colour) {
  if (!WindowExists()) return;
  const sim::CellRange range = sim::CoveredCells(area);
  for (int row = range.firstRow; row < range.endRow; ++row) {
    for (int column = range.firstColumn; column < range.endColumn; ++column) {
      screen.cells[{row, column}] = sim::Cell{' ', colour, colour};
    }
  }
}

}  // namespace platform
