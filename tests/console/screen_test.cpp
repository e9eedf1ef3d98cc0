#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/console.h"
#include "console_fixture.h"
#include "platform/sim/sim.h"

namespace console_test {
namespace {

using ConsoleScreen = ConsoleTest;

TEST_F(ConsoleScreen, ControlBytesAndWrapping) {
  struct Case {
    const char* name;
    std::string text;
    std::string row0;
    std::string row1;
    int column;
    int row;
  };
  const std::string eighty(80, 'x');
  const std::vector<Case> cases = {
      {"tab writes nothing", "ab\tc", "abc", "", 3, 0},
      {"backspace in column 0", "\b", "", "", 0, 0},
      {"backspace blanks the cell", "abc\b", "ab", "", 2, 0},
      {"backspace then overwrite", "abc\b\bZ", "aZ", "", 2, 0},
      {"carriage return", "abc\rX", "Xbc", "", 1, 0},
      {"line feed alone", "ab\ncd", "ab", "cd", 2, 1},
      {"CR LF", "ab\r\ncd", "ab", "cd", 2, 1},
      {"ignored control bytes", std::string("a\x01\x06\x0b\x0c\x0e\x1a\x1f", 8) + "b", "ab", "",
       2, 0},
      {"NUL ignored", std::string("a\0b", 3), "ab", "", 2, 0},
      {"high bytes stored", "ma\xe7\xe3", "ma\xe7\xe3", "", 4, 0},
      {"80 characters stay on the line", eighty, eighty, "", 80, 0},
      {"line end after 80 gives no empty line", eighty + "\r\nz", eighty, "z", 1, 1},
      {"the 81st character wraps", eighty + "yz", eighty, "yz", 2, 1},
      {"backspace in column 80", eighty + "\b", std::string(79, 'x'), "", 79, 0},
  };
  for (const Case& c : cases) {
    sim::RunResult result;
    console::ConsoleStop();
    WriteIni(kSmallWindow);
    std::vector<std::string> arrays;
    int column = -1;
    int row = -1;
    result = RunProgram([&] {
      console::SetRows(18);
      Write(c.text);
      column = console::CursorColumn();
      row = console::CursorRow();
      arrays = {BufferRow(0), BufferRow(1)};
    });
    ASSERT_FALSE(result.stalled) << c.name << ": " << result.message;
    EXPECT_EQ(arrays[0], c.row0) << c.name;
    EXPECT_EQ(arrays[1], c.row1) << c.name;
    EXPECT_EQ(sim::ScreenRow(0), c.row0) << c.name;
    EXPECT_EQ(sim::ScreenRow(1), c.row1) << c.name;
    EXPECT_EQ(column, c.column) << c.name;
    EXPECT_EQ(row, c.row) << c.name;
  }
}

TEST_F(ConsoleScreen, BellBeepsWithoutMovingTheCursor) {
  WriteIni(kSmallWindow);
  int column = -1;
  RunProgram([&] {
    Write("a\a\ab");
    column = console::CursorColumn();
  });
  EXPECT_EQ(sim::Beeps().size(), 2u);
  EXPECT_EQ(column, 2);
  EXPECT_EQ(sim::ScreenRow(0), "ab");
}

struct ScrollCase {
  const char* name;
  std::string ini;
  bool active;
  std::size_t runsAtLineEnd;
};

std::vector<ScrollCase> ScrollCases() {
  const std::string smallFont = std::string(kSmallFont) + "CORFUNDO=1\n";
  return {
      // Every row is repainted.
      {"repaint", smallFont + "CANTOTELA=NS\n", true, 18},
      // The pixels move; nothing is redrawn.
      {"pixel scrolling", smallFont + "CANTOTELA=NS\nLENTO=S\n", true, 0},
      // A maximised window reaches within 32 pixels of the screen's bottom.
      {"pixel scrolling, maximised", smallFont + "LENTO=S\n", true, 18},
      {"pixel scrolling, inactive", smallFont + "CANTOTELA=NS\nLENTO=S\n", false, 18},
  };
}

// Eighteen rows; the nineteenth line scrolls the text up and the top line is lost, whichever
// way the window's pixels follow.
TEST_F(ConsoleScreen, NineteenthLineScrolls) {
  for (const ScrollCase& c : ScrollCases()) {
    console::ConsoleStop();
    WriteIni(c.ini);
    std::vector<std::string> arrays;
    int row = -1;
    sim::RunResult result = RunProgram([&] {
      console::SetRows(18);
      Write("L0");
      sim::SetActive(c.active);
      for (int line = 1; line < 19; ++line) Write("\r\nL" + std::to_string(line));
      row = console::CursorRow();
      for (int r = 0; r < 18; ++r) arrays.push_back(BufferRow(r));
    });
    ASSERT_FALSE(result.stalled) << c.name;
    EXPECT_EQ(row, 17) << c.name;
    for (int r = 0; r < 18; ++r) {
      const std::string expected = "L" + std::to_string(r + 1);
      EXPECT_EQ(arrays[r], expected) << c.name << " row " << r;
      EXPECT_EQ(sim::ScreenRow(r), expected) << c.name << " row " << r;
    }
  }
}

TEST_F(ConsoleScreen, ScrollRepaintsEveryRowOrMovesPixels) {
  for (const ScrollCase& c : ScrollCases()) {
    console::ConsoleStop();
    WriteIni(c.ini);
    RunProgram([&] {
      console::SetRows(18);
      Settle();
      sim::SetActive(c.active);
      for (int line = 0; line < 18; ++line) Write("L" + std::to_string(line) + "\r\n");
      Write("last");
      sim::ClearTextRuns();
      Write("\r\n");
    });
    EXPECT_EQ(sim::TextRuns().size(), c.runsAtLineEnd) << c.name;
    EXPECT_EQ(sim::ScreenRow(0), "L2") << c.name;
    EXPECT_EQ(sim::ScreenRow(16), "last") << c.name;
    EXPECT_EQ(sim::ScreenRow(17), "") << c.name;
    // The freed line has the background colour, painted or filled.
    EXPECT_EQ(sim::ScreenCell(10, 17).background, kBlue) << c.name;
  }
}

struct ColourCase {
  const char* name;
  std::string ini;
  int textColour;  // -1: no TextColor call
  platform::Rgb foreground;
  platform::Rgb background;
};

TEST_F(ConsoleScreen, ColoursFromTheSettings) {
  const std::vector<ColourCase> cases = {
      {"no file", "", -1, kWhite, kBlack},
      {"CORLETRA empty", "[VIDEO]\nCORLETRA=\n", -1, kLightGrey, kBlack},
      {"CORLETRA absent, CORFUNDO empty", "[VIDEO]\nCORFUNDO=\n", -1, kWhite, kBlack},
      {"yellow on blue", "[VIDEO]\nCORFUNDO=1\nCORLETRA=14\n", -1, kYellow, kBlue},
      {"TextColor 14", "", 14, kYellow, kBlack},
      {"TextColor low four bits", "", 14 + 32, kYellow, kBlack},
      {"TABCORES maps 14 to 0",
       "[VIDEO]\nTABCORES=0,1,2,3,4,5,6,7,8,9,10,11,12,13,0,15\n", 14, kBlack, kBlack},
      {"TABCORES entry above 15",
       "[VIDEO]\nTABCORES=0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,20\n", -1, kBlack, kBlack},
      {"TABCORES entry wraps as a byte",
       "[VIDEO]\nTABCORES=0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,271\n", -1, kWhite, kBlack},
      {"CORESFIXAS keeps the colour", "[VIDEO]\nCORESFIXAS=S\n", 14, kWhite, kBlack},
      {"CORFUNDO out of range", "[VIDEO]\nCORFUNDO=99\nCORLETRA=-1\n", -1, kWhite, kCyan},
      {"CORLETRA with trailing junk", "[VIDEO]\nCORLETRA=14abc\n", -1, kYellow, kBlack},
  };
  for (const ColourCase& c : cases) {
    console::ConsoleStop();
    WriteIni(c.ini);
    RunProgram([&] {
      Settle();
      if (c.textColour >= 0) console::TextColor(c.textColour);
      sim::ClearTextRuns();
      Write("A");
    });
    ASSERT_EQ(sim::TextRuns().size(), 1u) << c.name;
    EXPECT_EQ(sim::TextRuns()[0].foreground, c.foreground) << c.name;
    EXPECT_EQ(sim::TextRuns()[0].background, c.background) << c.name;
  }
}

TEST_F(ConsoleScreen, OnlyTheChangedStretchIsDrawn) {
  WriteIni(kSmallWindow);
  RunProgram([] {
    Write("abcdef");
    sim::ClearTextRuns();
    Write("gh");
  });
  ASSERT_EQ(sim::TextRuns().size(), 1u);
  EXPECT_EQ(sim::TextRuns()[0].text, "gh");
  EXPECT_EQ(sim::TextRuns()[0].x, 6 * 8);
  EXPECT_EQ(sim::TextRuns()[0].y, 0);

  // Backspacing and overwriting redraws from the leftmost changed cell to the rightmost.
  console::ConsoleStop();
  WriteIni(kSmallWindow);
  RunProgram([] {
    Write("abcdef");
    sim::ClearTextRuns();
    Write("\b\b\bX\rY");
  });
  ASSERT_EQ(sim::TextRuns().size(), 1u);
  EXPECT_EQ(sim::TextRuns()[0].text, "YbcX  ");
  EXPECT_EQ(sim::TextRuns()[0].x, 0);
}

TEST_F(ConsoleScreen, RunsOfEqualColour) {
  WriteIni(kSmallWindow);
  RunProgram([] {
    Write("ab");
    console::TextColor(14);
    Write("cd");
    console::TextColor(15);
    Write("e");
    sim::ClearTextRuns();
    Write("\rABCDE");
  });
  const std::vector<sim::TextRun>& runs = sim::TextRuns();
  ASSERT_EQ(runs.size(), 1u);  // every cell rewritten in colour 15
  EXPECT_EQ(runs[0].text, "ABCDE");

  console::ConsoleStop();
  WriteIni(kSmallWindow);
  RunProgram([] {
    Write("ab");
    console::TextColor(14);
    Write("cd");
    console::TextColor(15);
    Write("e");
    Settle();
    sim::ClearTextRuns();
    // A paint of the first row draws it again run by run.
    platform::Event paint = MakeEvent(platform::EventKind::Paint, 0, 0);
    paint.width = 5 * 8;
    paint.height = 16;
    sim::QueueStep({paint});
    DeliverNextStep();
  });
  const std::vector<sim::TextRun>& painted = sim::TextRuns();
  ASSERT_EQ(painted.size(), 3u);
  EXPECT_EQ(painted[0].text, "ab");
  EXPECT_EQ(painted[0].foreground, kWhite);
  EXPECT_EQ(painted[1].text, "cd");
  EXPECT_EQ(painted[1].foreground, kYellow);
  EXPECT_EQ(painted[1].x, 2 * 8);
  EXPECT_EQ(painted[2].text, "e");
  EXPECT_EQ(painted[2].x, 4 * 8);
}

TEST_F(ConsoleScreen, PaintingAnUpdateRectangle) {
  WriteIni(kSmallWindow);
  RunProgram([] {
    console::SetRows(18);
    Write("0123456789\r\nabcdefghij\r\nABCDEFGHIJ\r\nklmnopqrst");
    Settle();
    sim::ClearTextRuns();
    // Pixels 19..28 across and 21..40 down: columns 2 and 3 of rows 1 and 2.
    platform::Event paint = MakeEvent(platform::EventKind::Paint, 19, 21);
    paint.width = 10;
    paint.height = 20;
    sim::QueueStep({paint});
    DeliverNextStep();
  });
  const std::vector<sim::TextRun>& runs = sim::TextRuns();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].text, "cd");
  EXPECT_EQ(runs[0].x, 16);
  EXPECT_EQ(runs[0].y, 16);
  EXPECT_EQ(runs[1].text, "CD");
  EXPECT_EQ(runs[1].y, 32);
}

TEST_F(ConsoleScreen, PaintBeyondTheGridIsClipped) {
  WriteIni(kSmallWindow);
  RunProgram([] {
    console::SetRows(3);
    console::SetColumns(4);
    Write("abcd");
    Settle();
    sim::ClearTextRuns();
    platform::Event paint = MakeEvent(platform::EventKind::Paint, -50, -50);
    paint.width = 5000;
    paint.height = 5000;
    sim::QueueStep({paint});
    DeliverNextStep();
  });
  const std::vector<sim::TextRun>& runs = sim::TextRuns();
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].text, "abcd");
  EXPECT_EQ(runs[1].text, "    ");
  EXPECT_EQ(runs[2].y, 32);
}

// Whatever the grid's size, writing stays inside it.
TEST_F(ConsoleScreen, TinyGridKeepsTheCursorInside) {
  WriteIni(kSmallWindow);
  std::vector<int> positions;
  sim::RunResult result = RunProgram([&] {
    console::SetRows(0);
    console::SetColumns(-3);
    Write("abc\n\b\b\rxyz\r\n\n");
    positions = {console::Rows(), console::Columns(), console::CursorColumn(),
                 console::CursorRow()};
    Write("q");
  });
  ASSERT_FALSE(result.stalled);
  EXPECT_EQ(positions, (std::vector<int>{1, 1, 0, 0}));
  EXPECT_EQ(console::ScreenCharacter(0, 0), 'q');
  EXPECT_EQ(console::ScreenCharacter(1, 0), ' ');
  EXPECT_EQ(console::ScreenCharacter(0, 1), ' ');
}

}  // namespace
}  // namespace console_test
