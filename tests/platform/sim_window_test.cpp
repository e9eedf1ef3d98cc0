#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/events.h"
#include "platform/sim/sim.h"
#include "platform/sound.h"
#include "platform/system.h"
#include "platform/window.h"

namespace {

using platform::Event;
using platform::EventKind;
using platform::Rect;
using platform::Rgb;

const Rgb kWhite{255, 255, 255};
const Rgb kBlack{0, 0, 0};
const Rgb kBlue{0, 0, 128};

std::vector<Event> Drain() {
  std::vector<Event> events;
  Event event;
  while (platform::PeekEvent(event)) events.push_back(event);
  return events;
}

class SimWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { sim::Reset(); }
};

TEST_F(SimWindowTest, CreatesAndShowsTheWindow) {
  ASSERT_TRUE(platform::CreateWindow("AUDIVAL", 10, 20, 648, 424));
  EXPECT_TRUE(platform::WindowExists());
  EXPECT_FALSE(sim::WindowShown());
  EXPECT_FALSE(platform::IsWindowActive());
  EXPECT_EQ(sim::CreatedWindowRect(), (Rect{10, 20, 658, 444}));
  EXPECT_EQ(platform::GetWindowRect(), (Rect{10, 20, 658, 444}));
  // 648 - 2 * 4 wide; 424 - 2 * 4 - 20 high with the default metrics.
  EXPECT_EQ(platform::GetClientRect(), (Rect{0, 0, 640, 396}));
  EXPECT_TRUE(Drain().empty());

  platform::ShowWindow(false);
  EXPECT_TRUE(sim::WindowShown());
  EXPECT_TRUE(platform::IsWindowActive());
  const std::vector<Event> events = Drain();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].kind, EventKind::FocusIn);
  EXPECT_EQ(events[1].kind, EventKind::Paint);
  EXPECT_EQ(events[1].width, 640);
  EXPECT_EQ(events[1].height, 396);
  Rect update;
  ASSERT_TRUE(platform::TakeUpdateRect(update));
  EXPECT_EQ(update, (Rect{0, 0, 640, 396}));
  EXPECT_FALSE(platform::TakeUpdateRect(update));

  platform::ShowWindow(true);
  EXPECT_TRUE(sim::WindowMaximised());
  EXPECT_EQ(platform::GetWindowRect(), (Rect{0, 0, 1024, 738}));
  EXPECT_EQ(platform::GetClientRect(), (Rect{0, 0, 1016, 710}));
}

TEST_F(SimWindowTest, WithoutADisplayNoWindowIsMade) {
  sim::Options options;
  options.displayAvailable = false;
  sim::Reset(options);
  EXPECT_FALSE(platform::CreateWindow("AUDIVAL", 0, 0, 100, 100));
  EXPECT_FALSE(platform::WindowExists());
  EXPECT_EQ(sim::CreateWindowCount(), 0);
}

TEST_F(SimWindowTest, LeavesDefaultPositionsToTheSystem) {
  ASSERT_TRUE(platform::CreateWindow("x", platform::kDefaultPosition, platform::kDefaultPosition, 300, 200));
  EXPECT_EQ(sim::CreatedWindowRect(), (Rect{22, 22, 322, 222}));
  EXPECT_EQ(platform::GetScreenMetrics().screenWidth, 1024);
}

TEST_F(SimWindowTest, RecordsTitlesCloseCommandAndSizeLimits) {
  ASSERT_TRUE(platform::CreateWindow("first", 0, 0, 100, 100));
  platform::SetWindowTitle("second");
  platform::SetWindowTitle("second");
  EXPECT_EQ(sim::Titles(), (std::vector<std::string>{"first", "second"}));
  EXPECT_TRUE(sim::CloseCommandEnabled());
  platform::EnableCloseCommand(false);
  EXPECT_FALSE(sim::CloseCommandEnabled());
  EXPECT_FALSE(sim::SizeLimits().set);
  platform::SetWindowSizeLimits(100, 50, 800, 600);
  const sim::SizeLimitRecord limits = sim::SizeLimits();
  EXPECT_TRUE(limits.set);
  EXPECT_EQ(limits.minWidth, 100);
  EXPECT_EQ(limits.maxHeight, 600);
}

TEST_F(SimWindowTest, FocusFollowsActivation) {
  ASSERT_TRUE(platform::CreateWindow("x", 0, 0, 100, 100));
  platform::ShowWindow(false);
  Drain();
  sim::SetActive(false);
  EXPECT_FALSE(platform::IsWindowActive());
  sim::SetActive(false);
  sim::SetActive(true);
  const std::vector<Event> events = Drain();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].kind, EventKind::FocusOut);
  EXPECT_EQ(events[1].kind, EventKind::FocusIn);
  EXPECT_TRUE(platform::IsWindowActive());
}

TEST_F(SimWindowTest, InvalidatingGrowsTheUpdateRectangleWithoutPainting) {
  ASSERT_TRUE(platform::CreateWindow("x", 0, 0, 648, 424));
  platform::InvalidateRect({10, 10, 20, 20});
  platform::InvalidateRect({100, 5, 120, 15});
  platform::InvalidateRect({600, 380, 900, 900});  // clipped to the client area
  EXPECT_TRUE(Drain().empty());
  Rect update;
  ASSERT_TRUE(platform::TakeUpdateRect(update));
  EXPECT_EQ(update, (Rect{10, 5, 640, 396}));
}

TEST_F(SimWindowTest, DestroyingTheWindowDropsCaretAndSnapshotButKeepsFontsAndScreen) {
  ASSERT_TRUE(platform::CreateWindow("x", 0, 0, 648, 424));
  const int font = platform::CreateFont({"Lucida Console", 16, 8, 400, false});
  platform::DrawText(font, 0, 0, "hi", 2, kWhite, kBlack);
  platform::CreateCaret(8, 2);
  platform::SetCaretPos(16, 30);
  EXPECT_FALSE(platform::CaretVisible());
  platform::ShowCaret();
  EXPECT_TRUE(platform::CaretVisible());
  EXPECT_EQ(sim::Caret().x, 16);
  platform::TakeSnapshot(640, 396);
  platform::DrawSnapshotStretched({0, 0, 320, 198}, {0, 0, 640, 396});
  EXPECT_TRUE(sim::SnapshotHeld());
  platform::DestroyWindow();
  EXPECT_FALSE(platform::WindowExists());
  EXPECT_FALSE(sim::Caret().exists);
  EXPECT_FALSE(platform::CaretVisible());
  EXPECT_FALSE(sim::SnapshotHeld());
  EXPECT_EQ(sim::SnapshotCount(), 1);
  ASSERT_EQ(sim::Stretches().size(), 1u);
  EXPECT_EQ(sim::Stretches()[0].destination, (Rect{0, 0, 640, 396}));
  EXPECT_EQ(sim::LiveFontCount(), 1);
  EXPECT_EQ(sim::ScreenRow(0), "hi");
  platform::DeleteFont(font);
  EXPECT_EQ(sim::LiveFontCount(), 0);
}

TEST_F(SimWindowTest, MeasuresFontsDeterministically) {
  EXPECT_EQ(platform::MeasureFont(platform::kStockFont).averageWidth, 8);
  EXPECT_EQ(platform::MeasureFont(platform::kStockFont).height, 16);
  EXPECT_EQ(platform::MeasureFont(platform::kStockFont).ascent, 13);
  const int sized = platform::CreateFont({"Courier", 20, 9, 700, true});
  const int chosen = platform::CreateFont({"Courier", 0, 0, 0, false});
  EXPECT_EQ(sized, 1);
  EXPECT_EQ(chosen, 2);
  EXPECT_EQ(platform::MeasureFont(sized).height, 20);
  EXPECT_EQ(platform::MeasureFont(sized).averageWidth, 9);
  EXPECT_EQ(platform::MeasureFont(sized).ascent, 16);
  EXPECT_EQ(platform::MeasureFont(sized).externalLeading, 0);
  EXPECT_EQ(platform::MeasureFont(chosen).height, 16);
  EXPECT_EQ(platform::MeasureFont(chosen).averageWidth, 8);
  ASSERT_EQ(sim::FontsCreated().size(), 2u);
  EXPECT_TRUE(sim::FontsCreated()[0].oemCharset);
  EXPECT_EQ(sim::LiveFontCount(), 2);
}

TEST_F(SimWindowTest, DrawingFillsTheScreenGrid) {
  ASSERT_TRUE(platform::CreateWindow("x", 0, 0, 648, 424));  // client 640 x 396
  const int font = platform::CreateFont({"Courier", 20, 10, 400, false});  // 64 columns, 19.8 rows
  platform::Sleep(7);
  platform::DrawText(font, 20, 40, "medi\xE7\xE3o", 7, kWhite, kBlue);
  ASSERT_EQ(sim::TextRuns().size(), 1u);
  EXPECT_EQ(sim::TextRuns()[0].time, 7);
  EXPECT_EQ(sim::TextRuns()[0].text, "medi\xE7\xE3o");
  EXPECT_EQ(sim::ScreenRow(2), "  medi\xE7\xE3o");
  EXPECT_EQ(sim::ScreenCell(2, 2).character, 'm');
  EXPECT_EQ(sim::ScreenCell(2, 2).background, kBlue);
  EXPECT_EQ(sim::ScreenCell(1, 2).character, ' ');

  platform::DrawText(font, 620, 0, "abcd", 4, kWhite, kBlack);  // clipped at the right edge
  EXPECT_EQ(sim::ScreenRow(0), std::string(62, ' ') + "ab");
  platform::DrawText(font, 0, 400, "gone", 4, kWhite, kBlack);  // below the client area
  EXPECT_EQ(sim::ScreenRow(20), "");
  sim::ClearTextRuns();
  EXPECT_TRUE(sim::TextRuns().empty());
}

TEST_F(SimWindowTest, ScrollingAndFillingMoveAndClearCells) {
  ASSERT_TRUE(platform::CreateWindow("x", 0, 0, 648, 424));  // client 640 x 396
  const int font = platform::CreateFont({"Courier", 20, 10, 400, false});
  for (int row = 0; row < 4; ++row) {
    const std::string text = "row" + std::to_string(row);
    platform::DrawText(font, 0, row * 20, text.c_str(), 4, kWhite, kBlack);
  }
  platform::ScrollPixels({0, 0, 640, 80}, -20);
  EXPECT_EQ(sim::ScreenRow(0), "row1");
  EXPECT_EQ(sim::ScreenRow(2), "row3");
  EXPECT_EQ(sim::ScreenRow(3), "row3");  // the uncovered row keeps its pixels
  platform::FillRect({0, 60, 640, 80}, kBlue);
  EXPECT_EQ(sim::ScreenRow(3), "");
  EXPECT_EQ(sim::ScreenCell(0, 3).background, kBlue);

  platform::ScrollPixels({0, 0, 640, 60}, 20);
  EXPECT_EQ(sim::ScreenRow(0), "row1");
  EXPECT_EQ(sim::ScreenRow(1), "row1");
  EXPECT_EQ(sim::ScreenRow(2), "row2");

  // Only cells wholly covered are cleared; a fill reaching the edge takes the partial cells.
  platform::FillRect({5, 0, 30, 20}, kBlack);
  EXPECT_EQ(sim::ScreenRow(0), "r  1");
  platform::DrawText(font, 630, 380, "z", 1, kWhite, kBlack);
  EXPECT_EQ(sim::ScreenCell(63, 19).character, 'z');
  platform::FillRect({0, 0, 640, 396}, kBlack);
  EXPECT_EQ(sim::ScreenCell(63, 19).character, ' ');
  EXPECT_EQ(sim::ScreenRow(1), "");
}

TEST_F(SimWindowTest, RecordsTonesBeepsAndMessageBoxes) {
  std::vector<std::uint8_t> wave(44 + 10, 128);
  const std::string header = "RIFF....WAVE";
  std::copy(header.begin(), header.end(), wave.begin());
  EXPECT_FALSE(platform::PlayLoopingSound(wave.data(), 43));
  std::vector<std::uint8_t> notWave = wave;
  notWave[8] = 'X';
  EXPECT_FALSE(platform::PlayLoopingSound(notWave.data(), notWave.size()));
  EXPECT_TRUE(sim::Tones().empty());

  platform::Sleep(10);
  EXPECT_TRUE(platform::PlayLoopingSound(wave.data(), wave.size()));
  platform::Sleep(5);
  EXPECT_TRUE(platform::PlayLoopingSound(wave.data(), wave.size()));
  platform::Sleep(5);
  platform::StopLoopingSound();
  platform::Beep();
  platform::MessageBox("Aviso", "texto");
  ASSERT_EQ(sim::Tones().size(), 2u);
  EXPECT_EQ(sim::Tones()[0].started, 10);
  EXPECT_EQ(sim::Tones()[0].stopped, 15);
  EXPECT_EQ(sim::Tones()[1].started, 15);
  EXPECT_EQ(sim::Tones()[1].stopped, 20);
  EXPECT_EQ(sim::Tones()[1].image, wave);
  EXPECT_EQ(sim::Beeps(), std::vector<std::int64_t>{20});
  ASSERT_EQ(sim::MessageBoxes().size(), 1u);
  EXPECT_EQ(sim::MessageBoxes()[0].title, "Aviso");
  EXPECT_EQ(sim::MessageBoxes()[0].time, 20);
  EXPECT_EQ(platform::ProgramPath(), "/opt/veranto/audival");
}

}  // namespace
