// The SDL window on a real (virtual) X server: what it shows on the screen and what the user's
// and window manager's actions turn into.

#include <algorithm>
#include <string>

#include "x11_window.h"

namespace {

using platform::EventKind;
using platform::Rect;
using platform::Rgb;

using X11Window = sdltest::X11WindowTest;

bool IsYellow(const Rgb& p) { return p.r > 200 && p.g > 200 && p.b < 60; }
bool IsBlack(const Rgb& p) { return p.r < 16 && p.g < 16 && p.b < 16; }
bool IsWhite(const Rgb& p) { return p.r > 240 && p.g > 240 && p.b > 240; }

int Count(const std::vector<Rgb>& pixels, bool (*test)(const Rgb&)) {
  return static_cast<int>(std::count_if(pixels.begin(), pixels.end(), test));
}

TEST_F(X11Window, OpensWithTheClientSizeAndAsksForAPaint) {
  EXPECT_TRUE(platform::WindowExists());
  EXPECT_TRUE(platform::IsWindowActive());
  EXPECT_EQ(platform::GetClientRect(), (Rect{0, 0, kClientWidth, kClientHeight}));
  const Rect outer = platform::GetWindowRect();
  EXPECT_EQ(outer.Width(), kClientWidth + 8);
  EXPECT_EQ(outer.Height(), kClientHeight + 28);
  bool painted = false;
  for (const platform::Event& event : shown) {
    if (event.kind == EventKind::Paint) {
      painted = true;
      EXPECT_EQ(event.x, 0);
      EXPECT_EQ(event.y, 0);
      EXPECT_EQ(event.width, kClientWidth);
      EXPECT_EQ(event.height, kClientHeight);
    }
  }
  EXPECT_TRUE(painted);

  const platform::ScreenMetrics metrics = platform::GetScreenMetrics();
  EXPECT_EQ(metrics.screenWidth, 1024);
  EXPECT_EQ(metrics.screenHeight, 768);
  EXPECT_EQ(metrics.workArea, (Rect{0, 0, 1024, 768}));
}

TEST_F(X11Window, YellowTextShowsInItsCellsOnly) {
  const int font = platform::CreateFont({"Lucida Console", 16, 0, 400, false});
  ASSERT_GT(font, 0);
  const platform::FontMetrics metrics = platform::MeasureFont(font);
  const std::string text = "Medição @@ .. É";  // Windows-1252 bytes
  const int x = 40;
  const int y = 48;
  platform::DrawText(font, x, y, text.data(), static_cast<int>(text.size()), {255, 255, 0},
                     {0, 0, 0});
  Present();

  const Rect run{x, y, x + metrics.averageWidth * static_cast<int>(text.size()),
                 y + metrics.height};
  for (std::size_t k = 0; k < text.size(); ++k) {
    const int left = run.left + static_cast<int>(k) * metrics.averageWidth;
    const auto cell = Shot({left, run.top, left + metrics.averageWidth, run.bottom});
    const bool blank = text[k] == ' ';
    SCOPED_TRACE("cell " + std::to_string(k));
    EXPECT_EQ(Count(cell, IsYellow) == 0, blank);
    // Only yellow, black and the blends between them: nothing of another colour.
    for (const Rgb& p : cell) EXPECT_LT(p.b, 60);
  }
  // Nothing drawn outside the run.
  const auto whole = Shot(platform::GetClientRect());
  int outside = 0;
  for (int row = 0; row < kClientHeight; ++row) {
    for (int column = 0; column < kClientWidth; ++column) {
      const bool inRun = column >= run.left && column < run.right && row >= run.top &&
                         row < run.bottom;
      if (!inRun && !IsBlack(whole[static_cast<std::size_t>(row * kClientWidth + column)])) {
        ++outside;
      }
    }
  }
  EXPECT_EQ(outside, 0);
  platform::DeleteFont(font);
}

TEST_F(X11Window, RunsReachingPastTheWindowAreClipped) {
  const std::string text(64, '@');
  const int count = static_cast<int>(text.size());
  platform::DrawText(platform::kStockFont, -2000000000, 0, text.data(), count, {255, 255, 0},
                     {0, 0, 0});
  platform::DrawText(platform::kStockFont, 2000000000, 0, text.data(), count, {255, 255, 0},
                     {0, 0, 0});
  platform::DrawText(platform::kStockFont, 0, -2000000000, text.data(), count, {255, 255, 0},
                     {0, 0, 0});
  Present();
  EXPECT_EQ(Count(Shot(platform::GetClientRect()), IsBlack), kClientWidth * kClientHeight);
  // A run that starts left of the window shows its visible end.
  const int width = platform::MeasureFont(platform::kStockFont).averageWidth;
  platform::DrawText(platform::kStockFont, -width * (count - 2), 20, text.data(), count,
                     {255, 255, 0}, {0, 0, 0});
  Present();
  EXPECT_GT(Count(Shot({0, 20, 2 * width, 36}), IsYellow), 0);
  EXPECT_EQ(Count(Shot({2 * width, 0, kClientWidth, kClientHeight}), IsBlack),
            (kClientWidth - 2 * width) * kClientHeight);
}

TEST_F(X11Window, CaretShowsOverThePictureWithoutChangingIt) {
  platform::CreateCaret(8, 3);
  EXPECT_FALSE(platform::CaretVisible());
  platform::SetCaretPos(100, 100);
  platform::ShowCaret();
  EXPECT_TRUE(platform::CaretVisible());
  Present();
  EXPECT_EQ(Count(Shot({100, 100, 108, 103}), IsWhite), 24);

  platform::SetCaretPos(200, 120);
  Present();
  EXPECT_EQ(Count(Shot({100, 100, 108, 103}), IsBlack), 24) << "the old caret stayed";
  EXPECT_EQ(Count(Shot({200, 120, 208, 123}), IsWhite), 24);

  // Drawing under the caret keeps the caret on top; the backing picture has no caret.
  platform::FillRect({190, 110, 230, 130}, {0, 0, 0});
  Present();
  EXPECT_EQ(Count(Shot({200, 120, 208, 123}), IsWhite), 24);
  platform::DestroyCaret();
  EXPECT_FALSE(platform::CaretVisible());
  Present();
  EXPECT_EQ(Count(Shot({200, 120, 208, 123}), IsBlack), 24);
}

TEST_F(X11Window, ScrollingAndStretchingMovePixels) {
  platform::FillRect({0, 32, 64, 48}, {255, 255, 0});
  platform::ScrollPixels({0, 0, kClientWidth, kClientHeight}, -16);
  Present();
  EXPECT_EQ(Count(Shot({0, 16, 64, 32}), IsYellow), 64 * 16);
  EXPECT_EQ(Count(Shot({0, 32, 64, 48}), IsBlack), 64 * 16);

  platform::TakeSnapshot(kClientWidth, kClientHeight);
  platform::FillRect(platform::GetClientRect(), {0, 0, 0});
  // Rows 16-31 of the copy, doubled, land at 200-231.
  platform::DrawSnapshotStretched({0, 16, 64, 32}, {0, 200, 128, 232});
  platform::DropSnapshot();
  Present();
  EXPECT_EQ(Count(Shot({0, 200, 128, 232}), IsYellow), 128 * 32);
  EXPECT_EQ(Count(Shot({0, 0, 128, 200}), IsBlack), 128 * 200);
}

TEST_F(X11Window, GrowingAsksToPaintOnlyTheNewArea) {
  // A title of its own, so that an earlier test's window going away cannot be the one resized.
  platform::SetWindowTitle("Janela que cresce");
  platform::FillRect({10, 10, 20, 20}, {255, 255, 0});
  Present();
  Rect update;
  while (platform::TakeUpdateRect(update)) {
  }
  ASSERT_TRUE(xtest::Resize("Janela que cresce", 700, 450));
  const sdltest::EventList events = sdltest::CollectUntil([](const sdltest::EventList& got) {
    return std::count_if(got.begin(), got.end(), [](const platform::Event& e) {
             return e.kind == EventKind::Paint;
           }) >= 2;
  });
  std::vector<Rect> painted;
  for (const platform::Event& event : events) {
    if (event.kind == EventKind::Paint) {
      painted.push_back({event.x, event.y, event.x + event.width, event.y + event.height});
    }
  }
  EXPECT_EQ(painted, (std::vector<Rect>{{640, 0, 700, 450}, {0, 400, 640, 450}}));
  EXPECT_EQ(platform::GetClientRect(), (Rect{0, 0, 700, 450}));
  ASSERT_TRUE(platform::TakeUpdateRect(update));
  EXPECT_EQ(update, (Rect{0, 0, 700, 450}));
  // What was drawn before is still there, and the new area can be drawn on.
  platform::FillRect({690, 440, 700, 450}, {255, 255, 0});
  Present();
  EXPECT_EQ(Count(Shot({10, 10, 20, 20}), IsYellow), 100);
  EXPECT_EQ(Count(Shot({690, 440, 700, 450}), IsYellow), 100);
}

TEST_F(X11Window, CloseRequestUnderANewTitleArrivesAsClose) {
  platform::SetWindowTitle("Medição");
  platform::EnableCloseCommand(false);
  Present();
  ASSERT_TRUE(xtest::AskToClose(reinterpret_cast<const char*>(u8"Medição")));
  const sdltest::EventList events = sdltest::CollectUntil([](const sdltest::EventList& got) {
    return !got.empty() && got.back().kind == EventKind::Close;
  });
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back().kind, EventKind::Close);
  EXPECT_TRUE(platform::WindowExists()) << "closing is the program's decision";
}

TEST_F(X11Window, RightButtonAndMotionArriveWithClientPositions) {
  xtest::MovePointer(ScreenX(30), ScreenY(40));
  xtest::Button(1, true);  // the left button means nothing to the program
  xtest::Button(1, false);
  xtest::Button(3, true);
  xtest::Button(3, false);
  const sdltest::EventList events = sdltest::CollectUntil([](const sdltest::EventList& got) {
    return !got.empty() && got.back().kind == EventKind::RightUp;
  });
  std::vector<std::string> seen;
  for (const platform::Event& event : events) {
    const std::string where = " " + std::to_string(event.x) + "," + std::to_string(event.y);
    if (event.kind == EventKind::MouseMove) seen.push_back("move" + where);
    if (event.kind == EventKind::RightDown) seen.push_back("down" + where);
    if (event.kind == EventKind::RightUp) seen.push_back("up" + where);
  }
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.front(), "move 30,40");
  seen.erase(std::unique(seen.begin(), seen.end()), seen.end());
  EXPECT_EQ(seen, (std::vector<std::string>{"move 30,40", "down 30,40", "up 30,40"}));
}

}  // namespace
