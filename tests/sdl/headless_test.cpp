// The SDL backend on a machine without a display: what must still work (events, fonts,
// sound on the dummy driver, the system functions) and what must fail cleanly (the window).

#include <SDL.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "event_pump.h"
#include "platform/events.h"
#include "platform/sdl/sdl_internal.h"
#include "platform/sound.h"
#include "platform/system.h"
#include "platform/window.h"
#include "wave_image.h"

namespace {

using platform::EventKind;

TEST(HeadlessWindow, NoDisplayMeansNoWindowAndNoCrash) {
  ASSERT_EQ(std::getenv("DISPLAY"), nullptr) << "run through the sdl_headless test entry";
  EXPECT_FALSE(platform::CreateWindow("Teste", 0, 0, 648, 428));
  EXPECT_FALSE(platform::WindowExists());
  EXPECT_TRUE(platform::GetClientRect().Empty());
  // Everything that draws or asks about the window is harmless without one.
  platform::ShowWindow(true);
  platform::DrawText(platform::kStockFont, 0, 0, "abc", 3, {255, 255, 0}, {0, 0, 0});
  platform::FillRect({0, 0, 10, 10}, {1, 2, 3});
  platform::ScrollPixels({0, 0, 10, 10}, -2);
  platform::InvalidateWindow();
  platform::CreateCaret(2, 16);
  platform::ShowCaret();
  platform::TakeSnapshot(10, 10);
  platform::DrawSnapshotStretched({0, 0, 5, 5}, {0, 0, 10, 10});
  platform::DropSnapshot();
  platform::Rect update;
  EXPECT_FALSE(platform::TakeUpdateRect(update));
  EXPECT_FALSE(platform::CaretVisible());
  EXPECT_FALSE(platform::IsWindowActive());
  platform::Event event;
  EXPECT_FALSE(platform::PeekEvent(event));

  const platform::ScreenMetrics metrics = platform::GetScreenMetrics();
  EXPECT_GT(metrics.screenWidth, 0);
  EXPECT_GT(metrics.screenHeight, 0);
  EXPECT_EQ(metrics.frameWidth, 4);
  EXPECT_EQ(metrics.frameHeight, 4);
  EXPECT_EQ(metrics.captionHeight, 20);
  EXPECT_FALSE(metrics.workArea.Empty());
}

struct FontCase {
  const char* face;
  int height;
  int width;
  int weight;
  int expectedHeight;
  int expectedWidth;  // 0: whatever the face's digits measure, within reason
};

TEST(HeadlessFonts, FacesResolveToMonospacedFilesWithRequestedMetrics) {
  const FontCase cases[] = {
      {"Lucida Console", 16, 0, 400, 16, 0},
      {"Lucida Console", 20, 10, 700, 20, 10},
      {"Courier New", 0, 0, 0, 16, 0},
      {"No Such Face Anywhere", 24, 12, 0, 24, 12},
      {"Lucida Console", -18, 0, 0, 18, 0},
  };
  ASSERT_EQ(TTF_Init(), 0);
  for (const FontCase& c : cases) {
    SCOPED_TRACE(std::string(c.face) + " height " + std::to_string(c.height));
    const int font = platform::CreateFont({c.face, c.height, c.width, c.weight, false});
    ASSERT_GT(font, platform::kStockFont);
    const platform::FontMetrics metrics = platform::MeasureFont(font);
    EXPECT_EQ(metrics.height, c.expectedHeight);
    if (c.expectedWidth != 0) {
      EXPECT_EQ(metrics.averageWidth, c.expectedWidth);
    } else {
      EXPECT_GE(metrics.averageWidth, c.expectedHeight * 4 / 10);
      EXPECT_LE(metrics.averageWidth, c.expectedHeight * 7 / 10);
    }
    EXPECT_GT(metrics.ascent, metrics.height / 2);
    EXPECT_LE(metrics.ascent, metrics.height);
    EXPECT_EQ(metrics.externalLeading, 0);
    EXPECT_EQ(metrics.overhang, 0);

    const std::string file = platform::sdl::FontFile(font);
    ASSERT_FALSE(file.empty());
    TTF_Font* opened = TTF_OpenFont(file.c_str(), 16);
    ASSERT_NE(opened, nullptr) << file;
    EXPECT_TRUE(TTF_FontFaceIsFixedWidth(opened)) << file;
    TTF_CloseFont(opened);
    if (c.weight >= 600) {
      EXPECT_NE(file.find("Bold"), std::string::npos) << file;
    }
    platform::DeleteFont(font);
  }
  TTF_Quit();
}

bool SameMetrics(const platform::FontMetrics& a, const platform::FontMetrics& b) {
  return a.averageWidth == b.averageWidth && a.height == b.height && a.ascent == b.ascent &&
         a.externalLeading == b.externalLeading && a.overhang == b.overhang;
}

TEST(HeadlessFonts, StockFontServesUnknownAndDeletedHandles) {
  const platform::FontMetrics stock = platform::MeasureFont(platform::kStockFont);
  EXPECT_EQ(stock.height, 16);
  EXPECT_GT(stock.averageWidth, 0);
  const int font = platform::CreateFont({"Lucida Console", 30, 15, 400, false});
  ASSERT_GT(font, 0);
  EXPECT_EQ(platform::MeasureFont(font).height, 30);
  platform::DeleteFont(font);
  platform::DeleteFont(font);
  platform::DeleteFont(platform::kStockFont);
  EXPECT_TRUE(SameMetrics(platform::MeasureFont(font), stock));
  EXPECT_TRUE(SameMetrics(platform::MeasureFont(12345), stock));
}

TEST(HeadlessEvents, PostedEventsArriveInOrder) {
  platform::PostWake(1123);
  platform::PostWake(2980);
  platform::PostQuit(7);
  platform::WaitEvent();  // returns at once: events are pending
  std::vector<platform::Event> events;
  platform::Event event;
  while (platform::PeekEvent(event)) events.push_back(event);
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].kind, EventKind::Wake);
  EXPECT_EQ(events[0].code, 1123);
  EXPECT_EQ(events[1].kind, EventKind::Wake);
  EXPECT_EQ(events[1].code, 2980);
  EXPECT_EQ(events[2].kind, EventKind::Quit);
  EXPECT_EQ(events[2].code, 7);
  EXPECT_FALSE(platform::PeekEvent(event));
}

TEST(HeadlessEvents, WakeFromAnotherThreadEndsAWait) {
  std::thread poster([] {
    SDL_Delay(50);
    platform::PostWake(2980);
  });
  const sdltest::EventList events = sdltest::CollectUntil(
      [](const sdltest::EventList& got) { return !got.empty(); });
  poster.join();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].kind, EventKind::Wake);
  EXPECT_EQ(events[0].code, 2980);
}

// Whether a second output device can be opened right now. The dummy driver has a single
// output, so this tells whether the backend holds one open.
bool OutputDeviceFree() {
  SDL_AudioSpec wanted{};
  wanted.freq = 8000;
  wanted.format = AUDIO_U8;
  wanted.channels = 1;
  wanted.samples = 512;
  const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
  if (device == 0) return false;
  SDL_CloseAudioDevice(device);
  return true;
}

TEST(HeadlessSound, LoopingToneHoldsTheDeviceUntilStopped) {
  const std::vector<std::uint8_t> tone = sdltest::WaveImage(11025, 1, 8, sdltest::Ramp(1000));
  ASSERT_TRUE(platform::PlayLoopingSound(tone.data(), tone.size()));
  EXPECT_FALSE(OutputDeviceFree());
  platform::StopLoopingSound();
  EXPECT_TRUE(OutputDeviceFree());

  // A new tone replaces the playing one.
  const std::vector<std::uint8_t> stereo = sdltest::WaveImage(44100, 2, 16, sdltest::Ramp(4000));
  ASSERT_TRUE(platform::PlayLoopingSound(tone.data(), tone.size()));
  ASSERT_TRUE(platform::PlayLoopingSound(stereo.data(), stereo.size()));
  platform::StopLoopingSound();
  platform::StopLoopingSound();
  EXPECT_TRUE(OutputDeviceFree());
}

TEST(HeadlessSound, ImagesThatAreNotPlayablePcmAreRefused) {
  const std::vector<std::uint8_t> good = sdltest::WaveImage(8000, 1, 8, sdltest::Ramp(100));
  struct Case {
    const char* what;
    std::vector<std::uint8_t> image;
  };
  std::vector<Case> cases;
  cases.push_back({"empty", {}});
  cases.push_back({"header cut short", {good.begin(), good.begin() + 30}});
  auto notRiff = good;
  notRiff[0] = 'X';
  cases.push_back({"not RIFF", notRiff});
  auto floatFormat = good;
  floatFormat[20] = 3;
  cases.push_back({"IEEE float", floatFormat});
  cases.push_back({"24-bit", sdltest::WaveImage(8000, 1, 24, sdltest::Ramp(99))});
  cases.push_back({"three channels", sdltest::WaveImage(8000, 3, 8, sdltest::Ramp(99))});
  cases.push_back({"no samples", sdltest::WaveImage(8000, 1, 8, {})});
  cases.push_back({"data before format", sdltest::SwapChunks(good)});
  for (const Case& c : cases) {
    EXPECT_FALSE(platform::PlayLoopingSound(c.image.data(), c.image.size())) << c.what;
  }
  EXPECT_TRUE(OutputDeviceFree());
  EXPECT_FALSE(platform::PlayLoopingSound(nullptr, 100));

  // A data size beyond the image is clamped to what the image holds.
  auto oversized = good;
  oversized[40] = 0xFF;
  oversized[41] = 0xFF;
  oversized[42] = 0xFF;
  oversized[43] = 0x7F;
  EXPECT_TRUE(platform::PlayLoopingSound(oversized.data(), oversized.size()));
  platform::StopLoopingSound();
}

TEST(HeadlessSound, BeepPlaysOnTheAudioDevice) {
  testing::internal::CaptureStderr();
  platform::Beep();
  platform::Beep();  // while the first still sounds: nothing more
  const std::string written = testing::internal::GetCapturedStderr();
  EXPECT_EQ(written.find('\a'), std::string::npos) << "the beep fell back to the terminal bell";
  EXPECT_FALSE(OutputDeviceFree());
  // A tone takes the single dummy output over from the beep.
  const std::vector<std::uint8_t> tone = sdltest::WaveImage(11025, 1, 8, sdltest::Ramp(500));
  EXPECT_TRUE(platform::PlayLoopingSound(tone.data(), tone.size()));
  platform::StopLoopingSound();
  EXPECT_TRUE(OutputDeviceFree());
}

TEST(HeadlessSystem, ProgramPathClockAndSleep) {
  const std::string path = platform::ProgramPath();
  EXPECT_EQ(path.substr(path.rfind('/') + 1), "test_sdl");
  const std::int64_t before = platform::ClockMilliseconds();
  platform::Sleep(30);
  EXPECT_GE(platform::ClockMilliseconds() - before, 30);
}

TEST(HeadlessSystem, MessageBoxWithoutDisplayGoesToTheTerminalInUtf8) {
  testing::internal::CaptureStderr();
  platform::MessageBox("Atenção", "Não foi possível abrir o microfone.");
  const std::string written = testing::internal::GetCapturedStderr();
  EXPECT_EQ(written, reinterpret_cast<const char*>(
                         u8"Atenção: Não foi possível abrir o microfone.\n"));
}

void WriteEndMark() { std::fputs("[end]\n", stderr); }

TEST(HeadlessSystem, ExitProgramRunsTheEndHandlerOnceAndClosesEverything) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::vector<std::uint8_t> tone = sdltest::WaveImage(11025, 1, 8, sdltest::Ramp(500));
  EXPECT_EXIT(
      {
        platform::SetEndOfProgramHandler(WriteEndMark);
        platform::CreateFont({"Lucida Console", 16, 0, 400, false});
        platform::PlayLoopingSound(tone.data(), tone.size());
        platform::PostWake(1123);
        platform::ExitProgram(3);
      },
      testing::ExitedWithCode(3), "^\\[end\\]\n$");
}

TEST(HeadlessSystem, NormalEndRunsTheEndHandlerOnce) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        platform::SetEndOfProgramHandler(WriteEndMark);
        std::exit(0);
      },
      testing::ExitedWithCode(0), "^\\[end\\]\n$");
}

}  // namespace
