// Text on a machine where no font file can be opened: cells are still drawn, as boxes.

#include <algorithm>
#include <string>

#include "x11_window.h"

namespace {

using platform::Rgb;
using NoFontsX11 = sdltest::X11WindowTest;

TEST_F(NoFontsX11, TextIsDrawnAsBoxesWithoutAnyFont) {
  ASSERT_EQ(platform::CreateFont({"Lucida Console", 16, 0, 400, false}), platform::kStockFont)
      << "run through the sdl_x11_no_fonts test entry";
  const platform::FontMetrics metrics = platform::MeasureFont(platform::kStockFont);
  EXPECT_EQ(metrics.height, 16);
  ASSERT_GT(metrics.averageWidth, 2);
  const std::string text = "A B";
  platform::DrawText(platform::kStockFont, 10, 10, text.data(), 3, {255, 255, 0}, {0, 0, 255});
  Present();
  for (int k = 0; k < 3; ++k) {
    const int left = 10 + k * metrics.averageWidth;
    const auto cell = Shot({left, 10, left + metrics.averageWidth, 10 + metrics.height});
    const auto yellow = std::count_if(cell.begin(), cell.end(), [](const Rgb& p) {
      return p.r > 200 && p.g > 200 && p.b < 60;
    });
    const auto blue = std::count_if(cell.begin(), cell.end(), [](const Rgb& p) {
      return p.r < 30 && p.g < 30 && p.b > 200;
    });
    SCOPED_TRACE("cell " + std::to_string(k));
    EXPECT_EQ(yellow + blue, static_cast<long>(cell.size()));
    EXPECT_EQ(yellow > 0, text[static_cast<std::size_t>(k)] != ' ');
  }
}

}  // namespace
