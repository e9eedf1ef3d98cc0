#include <gtest/gtest.h>

#include <iostream>
#include <string>

#include "console/console.h"
#include "console/keyboard.h"
#include "console_fixture.h"
#include "platform/keys.h"
#include "platform/sim/sim.h"

namespace console_test {
namespace {

using ConsoleStdio = ConsoleTest;

TEST_F(ConsoleStdio, OutputReachesTheWindowAtLineEndsAndFlushes) {
  WriteIni(kSmallWindow);
  std::string beforeFlush;
  int column = -1;
  int row = -1;
  RunProgram([&] {
    std::cout << "Linha um" << std::endl << "dois\n" << "tr\xeas";
    beforeFlush = sim::ScreenRow(2);
    std::cout << std::flush;
    column = console::CursorColumn();
    row = console::CursorRow();
  });
  EXPECT_EQ(sim::ScreenRow(0), "Linha um");
  EXPECT_EQ(sim::ScreenRow(1), "dois");
  EXPECT_EQ(beforeFlush, "");
  EXPECT_EQ(sim::ScreenRow(2), "tr\xeas");
  // A line end is carriage return and line feed: the next line starts in column 0.
  EXPECT_EQ(column, 4);
  EXPECT_EQ(row, 2);
}

TEST_F(ConsoleStdio, FullBufferIsFlushed) {
  WriteIni(kSmallWindow);
  std::string secondRow;
  RunProgram([&] {
    std::cout << std::string(130, 'x');
    secondRow = sim::ScreenRow(1);
    std::cout.flush();
  });
  EXPECT_EQ(secondRow, std::string(128 - 80, 'x'));
  EXPECT_EQ(sim::ScreenRow(1), std::string(130 - 80, 'x'));
}

TEST_F(ConsoleStdio, FlushHandlesPendingMessages) {
  int queuedBefore = -1;
  int queuedAfter = -1;
  RunProgram([&] {
    sim::PressKeyAt(0, platform::VkLetter('A'));
    std::cout << "x";
    queuedBefore = console::QueuedKeyCount();
    std::cout << std::flush;
    queuedAfter = console::QueuedKeyCount();
  });
  EXPECT_EQ(queuedBefore, 0);
  EXPECT_EQ(queuedAfter, 1);
}

TEST_F(ConsoleStdio, LineInputWithoutTheCarriageReturn) {
  WriteIni(kSmallWindow);
  std::string name;
  int number = 0;
  std::string rest;
  RunProgram([&] {
    sim::TypeText("ola mundo\r42\r");
    std::cout << "Nome: ";  // shown before the read, since std::cin flushes std::cout
    std::getline(std::cin, name);
    std::cin >> number;
    std::getline(std::cin, rest);
  });
  EXPECT_EQ(name, "ola mundo");
  EXPECT_EQ(number, 42);
  EXPECT_EQ(rest, "");
  EXPECT_EQ(sim::ScreenRow(0), "Nome: ola mundo");
  EXPECT_EQ(sim::ScreenRow(1), "42");
}

TEST_F(ConsoleStdio, LongLineKeepsRoomForTheLineEnd) {
  std::string line;
  RunProgram([&] {
    sim::TypeText(std::string(130, 'a') + "\r");
    std::getline(std::cin, line);
  });
  EXPECT_EQ(line, std::string(126, 'a'));
}

TEST_F(ConsoleStdio, EndOfFileKey) {
  struct Case {
    const char* name;
    bool endOfFileKey;
    std::string typed;
    std::string firstLine;
    bool endOfFile;
  };
  const Case cases[] = {
      {"Ctrl+Z ends the input", true, "abc\x1a", "abc", true},
      {"Ctrl+Z alone", true, "\x1a", "", true},
      {"Ctrl+Z ignored when off", false, "a\x1a" "b\r", "ab", false},
  };
  for (const Case& c : cases) {
    console::ConsoleStop();
    std::string first;
    bool endOfFile = false;
    std::string next;
    RunProgram([&] {
      console::SetEndOfFileKey(c.endOfFileKey);
      sim::TypeText(c.typed + "next\r");
      std::getline(std::cin, first);
      endOfFile = std::cin.eof();
      std::cin.clear();
      std::getline(std::cin, next);
    });
    EXPECT_EQ(first, c.firstLine) << c.name;
    EXPECT_EQ(endOfFile, c.endOfFile) << c.name;
    EXPECT_EQ(next, "next") << c.name;
  }
}

TEST_F(ConsoleStdio, UnansweredReadEndsTheRun) {
  sim::RunResult result = RunProgram([] {
    std::string line;
    std::getline(std::cin, line);
  });
  EXPECT_TRUE(result.stalled);
}

TEST_F(ConsoleStdio, StopRestoresTheStreams) {
  std::streambuf* output = std::cout.rdbuf();
  std::streambuf* input = std::cin.rdbuf();
  sim::Reset();
  console::ConsoleStart();
  EXPECT_NE(std::cout.rdbuf(), output);
  EXPECT_NE(std::cin.rdbuf(), input);
  std::cout << "dropped";
  console::ConsoleStop();
  EXPECT_EQ(std::cout.rdbuf(), output);
  EXPECT_EQ(std::cin.rdbuf(), input);
  EXPECT_EQ(sim::CreateWindowCount(), 0);
  EXPECT_TRUE(std::cout.good());
}

}  // namespace
}  // namespace console_test
