// The cost of one redraw of the live level bar on the real window: 64 cells of "@" and "."
// in yellow on black, drawn at a row as the console draws a changed stretch of a line, and
// made visible on the screen (the present the backend does when the program next polls).

#include <benchmark/benchmark.h>

#include <string>

#include "platform/events.h"
#include "platform/window.h"

namespace {

constexpr int kCells = 64;
constexpr int kRow = 10;

// The console's window: 80 x 25 cells of a 16-pixel "Lucida Console".
bool OpenConsoleWindow(int& font) {
  font = platform::CreateFont({"Lucida Console", 16, 0, 400, false});
  const platform::FontMetrics metrics = platform::MeasureFont(font);
  if (!platform::CreateWindow("Redraw benchmark", 0, 0, 80 * metrics.averageWidth + 8,
                              25 * metrics.height + 28)) {
    return false;
  }
  platform::ShowWindow(false);
  platform::FillRect(platform::GetClientRect(), {0, 0, 0});
  platform::Event event;
  while (platform::PeekEvent(event)) {
  }
  return true;
}

void BM_RedrawLevelBar(benchmark::State& state) {
  int font = 0;
  if (!OpenConsoleWindow(font)) {
    state.SkipWithError("no window could be made (is there a display?)");
    return;
  }
  const int y = kRow * platform::MeasureFont(font).height;
  int level = 0;
  for (auto _ : state) {
    // A level that moves every redraw, as a live microphone's does.
    level = (level + 37) % 129;
    std::string bar(static_cast<std::size_t>(level / 2), '@');
    bar.resize(kCells, '.');
    platform::DrawText(font, 0, y, bar.data(), kCells, {255, 255, 0}, {0, 0, 0});
    platform::Event event;
    while (platform::PeekEvent(event)) {
    }
  }
  platform::DestroyWindow();
  platform::DeleteFont(font);
}
BENCHMARK(BM_RedrawLevelBar)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
