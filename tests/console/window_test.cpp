#include <gtest/gtest.h>

#include <iostream>
#include <string>
#include <vector>

#include "console/console.h"
#include "console/console_internal.h"
#include "console/keyboard.h"
#include "console_fixture.h"
#include "platform/keys.h"
#include "platform/sim/sim.h"
#include "platform/system.h"

namespace console_test {
namespace {

using ConsoleWindow = ConsoleTest;

TEST_F(ConsoleWindow, SizeAndLimitsFromTheFontAndScreen) {
  struct Case {
    const char* name;
    platform::ScreenMetrics metrics;
    std::string ini;
    int rows;
    int fontWidth;
    int fontHeight;
    int width;
    int height;
    int minWidth;
    int minHeight;
    int maxWidth;
    int maxHeight;
  };
  const platform::ScreenMetrics standard{1024, 768, 4, 4, 20, {0, 0, 1024, 738}};
  const platform::ScreenMetrics wide{1600, 900, 3, 3, 24, {0, 0, 1600, 860}};
  const std::vector<Case> cases = {
      // 80 x 13 pixels is wider than the screen: the window is held to the screen's width.
      {"defaults, 18 rows", standard, "", 18, 13, 28, 1032, 532, 216, 140, 1032, 532},
      {"wide screen", wide, "", 25, 20, 32, 1606, 830, 326, 158, 1606, 830},
      {"configured font", standard, "[VIDEO]\nLARGURALETRA=8\nALTURALETRA=16\n", 25, 8, 16,
       648, 428, 136, 92, 648, 428},
      {"unusable sizes", standard, "[VIDEO]\nLARGURALETRA=0\nALTURALETRA=-4\n", 18, 13, 28,
       1032, 532, 216, 140, 1032, 532},
      // The smallest size cannot exceed the largest.
      {"font too large for the screen", standard,
       "[VIDEO]\nLARGURALETRA=100\nALTURALETRA=200\n", 25, 100, 200, 1032, 776, 1032, 776,
       1032, 776},
  };
  for (const Case& c : cases) {
    console::ConsoleStop();
    WriteIni(c.ini);
    sim::Options options;
    options.metrics = c.metrics;
    RunProgram([&] {
      console::SetRows(c.rows);
      console::EnsureConsole();
    }, options);
    ASSERT_EQ(sim::FontsCreated().size(), 1u) << c.name;
    const platform::FontRequest font = sim::FontsCreated()[0];
    EXPECT_EQ(font.face, "Lucida Console") << c.name;
    EXPECT_EQ(font.width, c.fontWidth) << c.name;
    EXPECT_EQ(font.height, c.fontHeight) << c.name;
    EXPECT_EQ(font.weight, 0) << c.name;
    EXPECT_FALSE(font.oemCharset) << c.name;
    EXPECT_EQ(sim::CreatedWindowRect().Width(), c.width) << c.name;
    EXPECT_EQ(sim::CreatedWindowRect().Height(), c.height) << c.name;
    const sim::SizeLimitRecord limits = sim::SizeLimits();
    EXPECT_TRUE(limits.set) << c.name;
    EXPECT_EQ(limits.minWidth, c.minWidth) << c.name;
    EXPECT_EQ(limits.minHeight, c.minHeight) << c.name;
    EXPECT_EQ(limits.maxWidth, c.maxWidth) << c.name;
    EXPECT_EQ(limits.maxHeight, c.maxHeight) << c.name;
  }
}

TEST_F(ConsoleWindow, ShownMaximisedUnlessTheSecondLetterIsS) {
  struct Case {
    const char* line;
    bool maximised;
  };
  const Case cases[] = {{"", true},          {"CANTOTELA=SIM\n", true}, {"CANTOTELA=NAO\n", true},
                        {"CANTOTELA=N\n", true}, {"CANTOTELA=\n", true},   {"CANTOTELA=S\n", true},
                        {"CANTOTELA=NS\n", false}, {"CANTOTELA=ns\n", false}};
  for (const Case& c : cases) {
    console::ConsoleStop();
    WriteIni(std::string("[VIDEO]\n") + c.line);
    RunProgram([] { console::EnsureConsole(); });
    EXPECT_TRUE(sim::WindowShown()) << c.line;
    EXPECT_EQ(sim::WindowMaximised(), c.maximised) << c.line;
  }
}

TEST_F(ConsoleWindow, CreatedOnceByTheFirstUseWithTheProgramPathAsTitle) {
  int rowsAfter = 0;
  RunProgram([&] {
    console::SetRows(18);
    EXPECT_FALSE(console::ConsoleCreated());
    console::TextColor(3);
    EXPECT_TRUE(console::ConsoleCreated());
    Write("x");
    console::SetRows(10);  // too late: the grid exists
    console::SetColumns(20);
    rowsAfter = console::Rows();
    EXPECT_EQ(console::Columns(), 80);
  });
  EXPECT_EQ(rowsAfter, 18);
  EXPECT_EQ(sim::CreateWindowCount(), 1);
  ASSERT_FALSE(sim::Titles().empty());
  EXPECT_EQ(sim::Titles()[0], platform::ProgramPath().substr(0, 79));
}

TEST_F(ConsoleWindow, CaretDuringAKeyWait) {
  WriteIni(kSmallWindow);
  std::vector<sim::CaretState> carets;
  RunProgram([&] {
    Write("abc\r\nde");
    carets.push_back(sim::Caret());
    console::detail::BeginKeyWait();
    carets.push_back(sim::Caret());
    sim::SetActive(false);
    console::KeyPressed();
    carets.push_back(sim::Caret());
    sim::SetActive(true);
    console::KeyPressed();
    carets.push_back(sim::Caret());
    console::detail::EndKeyWait();
    carets.push_back(sim::Caret());
    // Without the focus no caret shows.
    sim::SetActive(false);
    console::KeyPressed();
    console::detail::BeginKeyWait();
    carets.push_back(sim::Caret());
    console::detail::EndKeyWait();
  });
  ASSERT_EQ(carets.size(), 6u);
  EXPECT_FALSE(carets[0].exists);
  // One cell wide, 2 pixels high, its top at the ascent of the cursor's cell (16 * 4 / 5).
  EXPECT_TRUE(carets[1].visible);
  EXPECT_EQ(carets[1].x, 2 * 8);
  EXPECT_EQ(carets[1].y, 16 + 12);
  EXPECT_EQ(carets[1].width, 8);
  EXPECT_EQ(carets[1].height, 2);
  EXPECT_FALSE(carets[2].exists);
  EXPECT_TRUE(carets[3].visible);
  EXPECT_EQ(carets[3].x, 2 * 8);
  EXPECT_FALSE(carets[4].exists);
  EXPECT_FALSE(carets[5].exists);
}

TEST_F(ConsoleWindow, CaretGoneAfterReadingAKey) {
  WriteIni(kSmallWindow);
  int key = 0;
  RunProgram([&] {
    sim::PressKey(platform::VkLetter('Q'));
    key = console::ReadKey();
  });
  EXPECT_EQ(key, 'q');
  EXPECT_FALSE(sim::Caret().exists);
}

TEST_F(ConsoleWindow, Magnifier) {
  struct Case {
    const char* amplif;
    std::vector<sim::StretchRecord> expected;
  };
  // The client area of the small window is 640 x 400.
  const platform::Rect whole{0, 0, 640, 400};
  const std::vector<Case> cases = {
      {"AMPLIF=4\n",
       {{{75, 45, 235, 145}, whole}, {{150, 75, 310, 175}, whole}, {{480, 300, 640, 400}, whole}}},
      {"AMPLIF=0\n",
       {{{50, 30, 370, 230}, whole}, {{100, 50, 420, 250}, whole}, {{320, 200, 640, 400}, whole}}},
  };
  for (const Case& c : cases) {
    console::ConsoleStop();
    WriteIni(std::string(kSmallWindow) + c.amplif);
    bool heldWhileActive = false;
    RunProgram([&] {
      Write("text");
      Settle();
      sim::QueueStep({MakeEvent(platform::EventKind::RightDown, 100, 60),
                      MakeEvent(platform::EventKind::MouseMove, 200, 100),
                      MakeEvent(platform::EventKind::RightDown, 0, 0),  // ignored
                      MakeEvent(platform::EventKind::MouseMove, 5000, 5000)});
      DeliverNextStep();
      heldWhileActive = sim::SnapshotHeld();
      sim::ClearTextRuns();
      sim::QueueStep({MakeEvent(platform::EventKind::RightUp, 0, 0),
                      MakeEvent(platform::EventKind::MouseMove, 1, 1)});  // ignored
      DeliverNextStep();
    });
    EXPECT_TRUE(heldWhileActive) << c.amplif;
    EXPECT_FALSE(sim::SnapshotHeld()) << c.amplif;
    EXPECT_EQ(sim::SnapshotCount(), 1) << c.amplif;
    const std::vector<sim::StretchRecord>& stretches = sim::Stretches();
    ASSERT_EQ(stretches.size(), c.expected.size()) << c.amplif;
    for (std::size_t i = 0; i < stretches.size(); ++i) {
      EXPECT_EQ(stretches[i].source, c.expected[i].source) << c.amplif << " #" << i;
      EXPECT_EQ(stretches[i].destination, c.expected[i].destination) << c.amplif << " #" << i;
    }
    // Releasing the button repaints the text.
    ASSERT_FALSE(sim::TextRuns().empty()) << c.amplif;
    EXPECT_EQ(sim::TextRuns()[0].text.substr(0, 4), "text") << c.amplif;
  }
}

TEST_F(ConsoleWindow, CloseConsoleEndsTheProgram) {
  bool after = false;
  sim::RunResult result = RunProgram([&] {
    sim::TypeText("ab");
    Write("x");
    Settle();
    DeliverNextStep();
    DeliverNextStep();
    EXPECT_EQ(console::QueuedKeyCount(), 2);
    console::CloseConsole();
    after = true;
  });
  EXPECT_TRUE(result.exited);
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_FALSE(after);
  EXPECT_EQ(console::QueuedKeyCount(), 0);
  EXPECT_FALSE(sim::WindowShown());
  EXPECT_EQ(sim::LiveFontCount(), 0);
  EXPECT_FALSE(console::ConsoleCreated());
  // The window was gone before the end of the program, so its title never changed.
  EXPECT_EQ(sim::Titles().size(), 1u);
}

TEST_F(ConsoleWindow, ClosingTheWindowEndsTheProgram) {
  struct Case {
    const char* name;
    std::function<void()> script;
  };
  const std::vector<Case> cases = {
      {"close button", [] { sim::QueueStep({MakeEvent(platform::EventKind::Close)}); }},
      {"Alt+F4", [] { sim::PressKey(platform::kVkF4, {false, true, false}); }},
  };
  for (const Case& c : cases) {
    console::ConsoleStop();
    bool after = false;
    sim::RunResult result = RunProgram([&] {
      c.script();
      console::ReadKey();
      after = true;
    });
    EXPECT_TRUE(result.exited) << c.name;
    EXPECT_EQ(result.exitCode, 0) << c.name;
    EXPECT_FALSE(after) << c.name;
    EXPECT_FALSE(sim::WindowShown()) << c.name;
  }
}

TEST_F(ConsoleWindow, EndOfProgramWithTheWindowOpen) {
  WriteIni(kSmallWindow);
  sim::RunResult result = RunProgram([] {
    Write("abc");
    std::cout << "pending";  // not yet flushed
  });
  EXPECT_FALSE(result.exited);
  ASSERT_FALSE(sim::Titles().empty());
  EXPECT_EQ(sim::Titles().back(), "Programa terminado");
  EXPECT_TRUE(sim::CloseCommandEnabled());
  EXPECT_FALSE(console::BreakCheck());
  EXPECT_EQ(sim::ScreenRow(0), "abcpending");

  // From now on only the default handling: keys are not queued, a paint still shows the
  // text, and closing takes the window away without ending anything twice.
  console::detail::DispatchEvent(platform::Event{platform::EventKind::Char, 'a'});
  EXPECT_EQ(console::QueuedKeyCount(), 0);
  sim::ClearTextRuns();
  platform::Event paint = MakeEvent(platform::EventKind::Paint, 0, 0);
  paint.width = 8;
  paint.height = 16;
  console::detail::DispatchEvent(paint);
  ASSERT_EQ(sim::TextRuns().size(), 1u);
  EXPECT_EQ(sim::TextRuns()[0].text, "a");
  console::detail::DispatchEvent(MakeEvent(platform::EventKind::Close));
  EXPECT_FALSE(sim::WindowShown());
  EXPECT_EQ(sim::LiveFontCount(), 0);
}

TEST_F(ConsoleWindow, EndOfProgramThroughExitProgram) {
  sim::RunResult result = RunProgram([] {
    Write("abc");
    platform::ExitProgram(3);
  });
  EXPECT_EQ(result.exitCode, 3);
  EXPECT_EQ(sim::Titles().back(), "Programa terminado");
}

TEST_F(ConsoleWindow, EndOfProgramWithoutAWindow) {
  sim::RunResult result = RunProgram([] {});
  EXPECT_FALSE(result.exited);
  EXPECT_EQ(sim::CreateWindowCount(), 0);
  EXPECT_TRUE(sim::Titles().empty());
}

TEST_F(ConsoleWindow, NoDisplayEndsWithAMessage) {
  struct Case {
    const char* name;
    std::function<void()> body;
  };
  const std::vector<Case> cases = {
      {"WriteText", [] { Write("x"); }},
      {"std::cout", [] { std::cout << "x" << std::endl; }},
      {"ReadKey", [] { console::ReadKey(); }},
  };
  for (const Case& c : cases) {
    console::ConsoleStop();
    sim::Options options;
    options.displayAvailable = false;
    testing::internal::CaptureStderr();
    sim::RunResult result = RunProgram(c.body, options);
    const std::string message = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(result.exited) << c.name;
    EXPECT_EQ(result.exitCode, 1) << c.name;
    EXPECT_EQ(sim::CreateWindowCount(), 0) << c.name;
    EXPECT_EQ(sim::LiveFontCount(), 0) << c.name;
    // The program's name, and UTF-8 on the terminal: "não foi possível abrir a janela".
    EXPECT_EQ(message.rfind("audival: n\xc3\xa3o foi poss\xc3\xadvel abrir a janela", 0), 0u)
        << c.name << ": " << message;
  }
}

TEST_F(ConsoleWindow, WaveDoneHandlerWhileEnabled) {
  static std::vector<int> slots;
  slots.clear();
  RunProgram([] {
    Settle();
    platform::Event done = MakeEvent(platform::EventKind::WaveOutDone);
    done.slot = 3;
    console::SetWaveDoneHandler([](int slot) { slots.push_back(slot); }, true);
    sim::QueueStep({done});
    DeliverNextStep();
    console::SetWaveDoneHandler([](int slot) { slots.push_back(slot); }, false);
    done.slot = 1;
    sim::QueueStep({done, MakeEvent(platform::EventKind::Wake)});
    DeliverNextStep();
  });
  EXPECT_EQ(slots, std::vector<int>{3});
}

TEST_F(ConsoleWindow, BrailleModeFromTheSettings) {
  struct Case {
    const char* ini;
    int mode;
    std::size_t tones;
  };
  const Case cases[] = {
      {"", 0, 0},
      {"[BRAILLE]\nMODO=1\n", 1, 2},
      {"[BRAILLE]\nMODO=2\n", 2, 2},
      {"[BRAILLE]\nMODO=3\n", 1, 2},  // a mode above 2 becomes 1
  };
  for (const Case& c : cases) {
    console::ConsoleStop();
    WriteIni(c.ini);
    int mode = -1;
    RunProgram([&] {
      console::EnsureConsole();
      mode = console::BrailleMode();
    });
    EXPECT_EQ(mode, c.mode) << c.ini;
    EXPECT_EQ(sim::Tones().size(), c.tones) << c.ini;
  }
}

}  // namespace
}  // namespace console_test
