#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "console/console.h"
#include "console/console_internal.h"
#include "console/keyboard.h"
#include "keyboard_fixture.h"
#include "platform/events.h"
#include "platform/keys.h"
#include "platform/sim/sim.h"

namespace keyboard_test {
namespace {

using platform::EventKind;

struct KeyCase {
  const char* name;
  int virtualKey;
  sim::Modifiers modifiers;
  std::vector<int> expected;
};

// Presses each key in turn and compares the bytes it queued.
void ExpectKeyCodes(const std::vector<KeyCase>& cases) {
  for (const KeyCase& keyCase : cases) sim::PressKey(keyCase.virtualKey, keyCase.modifiers);
  for (const KeyCase& keyCase : cases) {
    DeliverStep();
    EXPECT_EQ(DrainQueue(), keyCase.expected) << keyCase.name;
  }
}

using KeyboardKeys = KeyboardFixture;

TEST_F(KeyboardKeys, ExtendedKeysWithAndWithoutCtrl) {
  struct Row {
    const char* name;
    int virtualKey;
    int code;
    int ctrlCode;
  };
  const Row rows[] = {
      {"F1", platform::VkFunction(1), 59, 94},    {"F2", platform::VkFunction(2), 60, 95},
      {"F3", platform::VkFunction(3), 61, 96},    {"F4", platform::VkFunction(4), 62, 97},
      {"F5", platform::VkFunction(5), 63, 98},    {"F6", platform::VkFunction(6), 64, 99},
      {"F7", platform::VkFunction(7), 65, 100},   {"F8", platform::VkFunction(8), 66, 101},
      {"F9", platform::VkFunction(9), 67, 102},   {"F11", platform::VkFunction(11), 69, 104},
      {"F12", platform::VkFunction(12), 70, 105}, {"Insert", platform::kVkInsert, 82, 255},
      {"Delete", platform::kVkDelete, 83, 83},    {"Home", platform::kVkHome, 71, 119},
      {"End", platform::kVkEnd, 79, 117},         {"PageUp", platform::kVkPrior, 73, 132},
      {"PageDown", platform::kVkNext, 81, 118},   {"Up", platform::kVkUp, 72, 113},
      {"Down", platform::kVkDown, 80, 114},       {"Left", platform::kVkLeft, 75, 115},
      {"Right", platform::kVkRight, 77, 116},
  };
  std::vector<KeyCase> cases;
  for (const Row& row : rows) {
    cases.push_back({row.name, row.virtualKey, {}, {0, row.code}});
    cases.push_back({row.name, row.virtualKey, {.ctrl = true}, {0, row.ctrlCode}});
  }
  cases.push_back({"Shift+Insert", platform::kVkInsert, {.shift = true}, {0, 254}});
  cases.push_back({"Ctrl+Shift+Insert", platform::kVkInsert, {.ctrl = true, .shift = true}, {0, 255}});
  cases.push_back({"Shift+Up", platform::kVkUp, {.shift = true}, {0, 72}});
  const auto result = RunProgram([&] { ExpectKeyCodes(cases); });
  EXPECT_FALSE(result.exited);
  EXPECT_FALSE(result.stalled) << result.message;
}

TEST_F(KeyboardKeys, CharactersAndTheirCtrlForms) {
  const std::vector<KeyCase> cases = {
      {"a", platform::VkLetter('A'), {}, {'a'}},
      {"Shift+A", platform::VkLetter('A'), {.shift = true}, {'A'}},
      {"7", platform::VkDigit(7), {}, {'7'}},
      {"space", platform::kVkSpace, {}, {' '}},
      {"Enter", platform::kVkReturn, {}, {13}},
      {"Ctrl+Enter", platform::kVkReturn, {.ctrl = true}, {10}},
      {"Backspace", platform::kVkBack, {}, {8}},
      {"Ctrl+Backspace", platform::kVkBack, {.ctrl = true}, {127}},
      {"Escape", platform::kVkEscape, {}, {27}},
      {"Tab", platform::kVkTab, {}, {9}},
      {"Ctrl+C", platform::VkLetter('C'), {.ctrl = true}, {3}},
      {"Shift alone", platform::kVkShift, {}, {}},
  };
  const auto result = RunProgram([&] {
    ExpectKeyCodes(cases);
    // A character without a key of its own arrives as a character message alone.
    sim::TypeText("\xE7");
    DeliverStep();
    EXPECT_EQ(DrainQueue(), std::vector<int>{0xE7});
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

// With the break check on, only Alt+Left and Alt+Right of the system keys are queued; the rest
// (Alt+F4 closes the window) is left to the default handling.
TEST_F(KeyboardKeys, SystemKeysWithBreakCheckOn) {
  const std::vector<KeyCase> cases = {
      {"Alt+Left", platform::kVkLeft, {.alt = true}, {0, 75}},
      {"Alt+Right", platform::kVkRight, {.alt = true}, {0, 77}},
      {"Alt+A", platform::VkLetter('A'), {.alt = true}, {}},
      {"F10", platform::kVkF10, {}, {}},
      {"Ctrl+Alt+A", platform::VkLetter('A'), {.ctrl = true, .alt = true}, {0, 30}},
      {"Ctrl+Alt+5", platform::VkDigit(5), {.ctrl = true, .alt = true}, {0, 124}},
  };
  const auto result = RunProgram([&] {
    ExpectKeyCodes(cases);
    platform::Event altF4 = KeyEvent(EventKind::SysKeyDown, platform::kVkF4, false, true);
    EXPECT_FALSE(console::detail::HandleSysKeyDown(altF4));
    platform::Event altA = KeyEvent(EventKind::SysKeyDown, platform::VkLetter('A'), false, true);
    EXPECT_FALSE(console::detail::HandleSysKeyDown(altA));
    EXPECT_EQ(console::QueuedKeyCount(), 0);
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

TEST_F(KeyboardKeys, AltF4EndsTheProgramThroughTheDefaultHandling) {
  sim::PressKey(platform::kVkF4, {.alt = true});
  const auto result = RunProgram([] {
    console::ReadKey();
    ADD_FAILURE() << "Alt+F4 was queued as a key";
  });
  EXPECT_TRUE(result.exited);
  EXPECT_EQ(result.exitCode, 0);
}

TEST_F(KeyboardKeys, SystemKeysWithBreakCheckOff) {
  const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  const int altLetterCodes[] = {30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
                                49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};
  std::vector<KeyCase> cases;
  for (int i = 0; i < 26; ++i) {
    cases.push_back({"Alt+letter", platform::VkLetter(letters[i]), {.alt = true}, {0, altLetterCodes[i]}});
  }
  for (int digit = 1; digit <= 9; ++digit) {
    cases.push_back({"Alt+digit", platform::VkDigit(digit), {.alt = true}, {0, 119 + digit}});
  }
  cases.push_back({"Alt+0", platform::VkDigit(0), {.alt = true}, {0, 129}});
  cases.push_back({"F10", platform::kVkF10, {}, {0, 68}});
  cases.push_back({"Alt+F4", platform::kVkF4, {.alt = true}, {0, 62}});
  cases.push_back({"Alt+Up", platform::kVkUp, {.alt = true}, {0, 72}});
  const auto result = RunProgram([&] {
    console::SetBreakCheck(false);
    ExpectKeyCodes(cases);
  });
  EXPECT_FALSE(result.exited);
  EXPECT_FALSE(result.stalled) << result.message;
}

TEST_F(KeyboardKeys, ReadKeyReturnsZeroThenTheCode) {
  sim::PressKey(platform::kVkUp);
  sim::PressKey(platform::kVkRight, {.ctrl = true});
  std::vector<int> read;
  const auto result = RunProgram([&] {
    for (int i = 0; i < 4; ++i) read.push_back(console::ReadKey());
  });
  EXPECT_FALSE(result.stalled) << result.message;
  EXPECT_EQ(read, (std::vector<int>{0, 72, 0, 116}));
}

// ---- the 64-byte queue

using KeyboardQueue = KeyboardFixture;

std::vector<platform::Event> Characters(int count, int character) {
  return std::vector<platform::Event>(count, CharEvent(character));
}

TEST_F(KeyboardQueue, SixtyThreeQueuedDropsATwoByteKeyButTakesACharacter) {
  std::vector<platform::Event> step = Characters(63, 'x');
  step.push_back(KeyEvent(EventKind::KeyDown, platform::kVkUp));
  step.push_back(KeyEvent(EventKind::KeyDown, platform::VkLetter('A'), true, true));  // Alt code
  step.push_back(CharEvent('y'));
  sim::QueueStep(step);
  const auto result = RunProgram([] {
    DeliverStep();
    EXPECT_EQ(console::QueuedKeyCount(), 64);
    const std::string text = AsText(DrainQueue());
    EXPECT_EQ(text, std::string(63, 'x') + "y");
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

TEST_F(KeyboardQueue, SixtyFourQueuedDropsEverything) {
  std::vector<platform::Event> step = Characters(64, 'x');
  step.push_back(KeyEvent(EventKind::KeyDown, platform::kVkUp));
  step.push_back(CharEvent('y'));
  step.push_back(CharEvent(8, true));
  step.push_back(KeyEvent(EventKind::KeyDown, platform::VkLetter('B'), true, true));
  sim::QueueStep(step);
  const auto result = RunProgram([] {
    DeliverStep();
    EXPECT_EQ(AsText(DrainQueue()), std::string(64, 'x'));
    // Room again once bytes are read.
    sim::PressKey(platform::kVkDown);
    DeliverStep();
    EXPECT_EQ(DrainQueue(), (std::vector<int>{0, 80}));
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

// Every 0 in the queue starts a two-byte key whose code follows it.
void ExpectWellFramed(const std::vector<int>& bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != 0) continue;
    ASSERT_LT(i + 1, bytes.size()) << "a lone 0 ends the queue";
    EXPECT_NE(bytes[i + 1], 0) << "at " << i;
    ++i;
  }
}

TEST_F(KeyboardQueue, FloodsNeverOverflowOrBreakTheTwoByteKeys) {
  std::vector<platform::Event> step;
  for (int i = 0; i < 500; ++i) {
    switch (i % 5) {
      case 0: step.push_back(CharEvent(i % 256)); break;
      case 1: step.push_back(KeyEvent(EventKind::KeyDown, platform::kVkLeft + i % 4)); break;
      case 2: step.push_back(KeyEvent(EventKind::KeyDown, platform::VkLetter('A' + i % 26), true, true)); break;
      case 3: step.push_back(KeyEvent(EventKind::KeyDown, platform::VkFunction(1 + i % 9), true)); break;
      default: step.push_back(CharEvent('0' + i % 10)); break;
    }
  }
  // Out-of-range character codes are ignored rather than truncated.
  step.push_back(CharEvent(256 + 'z'));
  step.push_back(CharEvent(-5));
  for (int round = 0; round < 3; ++round) sim::QueueStep(step);
  const auto result = RunProgram([] {
    for (int round = 0; round < 3; ++round) {
      DeliverStep();
      EXPECT_LE(console::QueuedKeyCount(), 64);
      const std::vector<int> bytes = DrainQueue();
      EXPECT_GE(bytes.size(), 63u);
      ExpectWellFramed(bytes);
    }
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

TEST_F(KeyboardQueue, ACharacterZeroIsNotQueued) {
  sim::QueueStep({CharEvent(0), CharEvent('a')});
  const auto result = RunProgram([] {
    DeliverStep();
    EXPECT_EQ(DrainQueue(), std::vector<int>{'a'});
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

// ---- line input

using KeyboardReadLine = KeyboardFixture;

TEST_F(KeyboardReadLine, EchoesBackspacesAndStoresTheLineEnd) {
  sim::TypeText("\babx\b");
  sim::PressKey(platform::kVkUp);
  sim::TypeText("\b\bOk\r");
  char buffer[32] = {};
  int count = 0;
  const auto result = RunProgram([&] {
    console::WriteText("> ", 2);
    count = console::ReadLine(buffer, sizeof buffer);
  });
  EXPECT_FALSE(result.stalled) << result.message;
  EXPECT_EQ(std::string(buffer, count), "aOk\r\n");
  // The Backspace before anything was stored left the prompt alone.
  EXPECT_EQ(sim::ScreenRow(0), "> aOk");
  EXPECT_EQ(console::CursorRow(), 1);
  EXPECT_EQ(console::CursorColumn(), 0);
}

TEST_F(KeyboardReadLine, UpStoresAndEchoesH) {
  sim::TypeText("a");
  sim::PressKey(platform::kVkUp);
  sim::TypeText("\r");
  char buffer[16] = {};
  int count = 0;
  const auto result = RunProgram([&] { count = console::ReadLine(buffer, sizeof buffer); });
  EXPECT_FALSE(result.stalled) << result.message;
  EXPECT_EQ(std::string(buffer, count), "aH\r\n");
  EXPECT_EQ(sim::ScreenRow(0), "aH");
}

TEST_F(KeyboardReadLine, KeepsTwoPlacesForTheLineEnd) {
  struct Case {
    int capacity;
    std::string typed;
    std::string stored;
  };
  const Case cases[] = {
      {5, "abcdef\r", "abc\r\n"},
      {3, "abc\r", "a\r\n"},
      {2, "abc\r", "\r\n"},
      {1, "abc\r", "\r"},
  };
  for (const Case& c : cases) sim::TypeText(c.typed);
  const auto result = RunProgram([&] {
    for (const Case& c : cases) {
      char buffer[16];
      std::memset(buffer, '#', sizeof buffer);
      const int count = console::ReadLine(buffer, c.capacity);
      EXPECT_EQ(std::string(buffer, count), c.stored) << "capacity " << c.capacity;
      EXPECT_EQ(buffer[c.capacity], '#') << "wrote past capacity " << c.capacity;
    }
    char none = '#';
    EXPECT_EQ(console::ReadLine(&none, 0), 0);
    EXPECT_EQ(none, '#');
  });
  EXPECT_FALSE(result.stalled) << result.message;
  EXPECT_EQ(sim::ScreenRow(0), "abc");
}

TEST_F(KeyboardReadLine, CtrlZEndsTheLineOnlyWithTheEndOfFileKey) {
  sim::TypeText("ab\x1A" "c\r");
  sim::TypeText("de\x1A");
  std::string first;
  std::string second;
  const auto result = RunProgram([&] {
    char buffer[16];
    first.assign(buffer, console::ReadLine(buffer, sizeof buffer));
    console::SetEndOfFileKey(true);
    second.assign(buffer, console::ReadLine(buffer, sizeof buffer));
  });
  EXPECT_FALSE(result.stalled) << result.message;
  EXPECT_EQ(first, "abc\r\n");
  EXPECT_EQ(second, "de\x1A");
  EXPECT_EQ(sim::ScreenRow(1), "de");
}

// ---- waits and the end of the program

using KeyboardWaits = KeyboardFixture;

TEST_F(KeyboardWaits, DelayAdvancesVirtualTimeAndHandlesMessages) {
  sim::PressKeyAt(100, platform::VkLetter('Q'));
  const auto result = RunProgram([] {
    console::EnsureConsole();
    const std::int64_t start = sim::Now();
    console::Delay(250);
    EXPECT_EQ(sim::Now() - start, 250);
    EXPECT_EQ(console::QueuedKeyCount(), 1);
    EXPECT_EQ(console::ReadKey(), 'q');
    console::Delay(0);
    EXPECT_EQ(sim::Now() - start, 250);
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

TEST_F(KeyboardWaits, KeyPressedHandlesPendingMessagesWithoutWaiting) {
  sim::PressKeyAt(0, platform::VkLetter('Z'));
  const auto result = RunProgram([] {
    EXPECT_TRUE(console::KeyPressed());
    EXPECT_EQ(console::ReadKey(), 'z');
    EXPECT_FALSE(console::KeyPressed());
    EXPECT_EQ(sim::Now(), 0);
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

TEST_F(KeyboardWaits, QuitEndsTheProgramWith255AndDestroysTheCaret) {
  platform::Event quit;
  quit.kind = EventKind::Quit;
  quit.code = 0;
  sim::QueueStep({quit});
  const auto result = RunProgram([] {
    console::ReadKey();
    ADD_FAILURE() << "ReadKey returned after the quit message";
  });
  EXPECT_TRUE(result.exited);
  EXPECT_EQ(result.exitCode, 255);
  EXPECT_FALSE(sim::Caret().visible);
}

TEST_F(KeyboardWaits, CtrlBreakEndsTheProgramWhileTheBreakCheckIsOn) {
  sim::PressKey(platform::kVkCancel, {.ctrl = true});
  const auto result = RunProgram([] { console::ReadKey(); });
  EXPECT_TRUE(result.exited);
  EXPECT_EQ(result.exitCode, 255);
}

TEST_F(KeyboardWaits, CtrlBreakIsIgnoredWithTheBreakCheckOff) {
  sim::PressKey(platform::kVkCancel, {.ctrl = true});
  sim::TypeText("k");
  int key = -1;
  const auto result = RunProgram([&] {
    console::SetBreakCheck(false);
    key = console::ReadKey();
  });
  EXPECT_FALSE(result.exited);
  EXPECT_FALSE(result.stalled) << result.message;
  EXPECT_EQ(key, 'k');
}

}  // namespace
}  // namespace keyboard_test
