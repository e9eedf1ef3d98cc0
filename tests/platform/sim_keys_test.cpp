#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/events.h"
#include "platform/keys.h"
#include "platform/sim/sim.h"

namespace {

using platform::Event;
using platform::EventKind;

// The events of the next step the program would get at a wait, written compactly:
// "D41 C97 U41" is KeyDown 0x41, Char 97, KeyUp 0x41; "S" and "s" are system key down and up.
std::string NextStep() {
  platform::WaitEvent();
  std::string text;
  Event event;
  while (platform::PeekEvent(event)) {
    char kind = '?';
    switch (event.kind) {
      case EventKind::KeyDown: kind = 'D'; break;
      case EventKind::KeyUp: kind = 'U'; break;
      case EventKind::SysKeyDown: kind = 'S'; break;
      case EventKind::SysKeyUp: kind = 's'; break;
      case EventKind::Char: kind = 'C'; break;
      default: break;
    }
    if (!text.empty()) text += ' ';
    text += kind;
    text += kind == 'C' ? std::to_string(event.code) : [&] {
      char hex[8];
      std::snprintf(hex, sizeof hex, "%X", event.code);
      return std::string(hex);
    }();
  }
  return text;
}

class SimKeysTest : public ::testing::Test {
 protected:
  void SetUp() override { sim::Reset(); }
};

TEST_F(SimKeysTest, TranslatesKeyStrokesAsWindowsDoes) {
  struct Case {
    int vk;
    sim::Modifiers modifiers;
    const char* expected;
  };
  const sim::Modifiers none, shift{false, false, true}, ctrl{true, false, false}, alt{false, true, false},
      ctrlAlt{true, true, false};
  const Case cases[] = {
      {platform::VkLetter('A'), none, "D41 C97 U41"},
      {platform::VkLetter('Z'), shift, "D5A C90 U5A"},
      {platform::VkLetter('C'), ctrl, "D43 C3 U43"},
      {platform::VkLetter('Z'), ctrl, "D5A C26 U5A"},
      {platform::VkDigit(7), none, "D37 C55 U37"},
      {platform::VkDigit(7), shift, "D37 C55 U37"},
      {platform::VkDigit(7), ctrl, "D37 U37"},
      {platform::kVkSpace, none, "D20 C32 U20"},
      {platform::kVkReturn, none, "DD C13 UD"},
      {platform::kVkReturn, ctrl, "DD C13 UD"},
      {platform::kVkBack, none, "D8 C8 U8"},
      {platform::kVkBack, ctrl, "D8 C8 U8"},
      {platform::kVkEscape, none, "D1B C27 U1B"},
      {platform::kVkTab, none, "D9 C9 U9"},
      {platform::kVkTab, shift, "D9 C9 U9"},
      {platform::VkFunction(1), none, "D70 U70"},
      {platform::kVkLeft, none, "D25 U25"},
      {platform::kVkDelete, none, "D2E U2E"},
      {platform::kVkHome, ctrl, "D24 U24"},
      {platform::kVkNext, none, "D22 U22"},
      {platform::kVkCancel, ctrl, "D3 U3"},
      {platform::kVkF10, none, "S79 s79"},
      {platform::kVkF10, shift, "S79 s79"},
      {platform::VkLetter('X'), alt, "S58 s58"},
      {platform::kVkF4, alt, "S73 s73"},
      {platform::VkLetter('X'), ctrlAlt, "D58 U58"},
  };
  for (const Case& c : cases) {
    sim::PressKey(c.vk, c.modifiers);
    EXPECT_EQ(NextStep(), c.expected) << "key " << c.vk;
  }
}

TEST_F(SimKeysTest, EveryEventCarriesTheModifiers) {
  sim::PressKey(platform::VkLetter('B'), {true, false, true});
  platform::WaitEvent();
  Event event;
  int count = 0;
  while (platform::PeekEvent(event)) {
    ++count;
    EXPECT_TRUE(event.ctrl);
    EXPECT_FALSE(event.alt);
    EXPECT_TRUE(event.shift);
  }
  EXPECT_EQ(count, 3);
}

TEST_F(SimKeysTest, TypesTextOneStrokeAtATime) {
  sim::TypeText("aB1 \r\b\x1B\t\n.\xE7");
  const char* expected[] = {
      "D41 C97 U41", "D42 C66 U42", "D31 C49 U31", "D20 C32 U20", "DD C13 UD", "D8 C8 U8",
      "D1B C27 U1B", "D9 C9 U9",    "D4A C10 U4A", "C46",         "C231",
  };
  for (const char* step : expected) EXPECT_EQ(NextStep(), step);
}

TEST_F(SimKeysTest, ChordPressesEveryKeyBeforeReleasingAny) {
  sim::Chord("FDj");
  EXPECT_EQ(NextStep(), "D46 C102 D44 C100 D4A C106 U46 U44 U4A");
}

}  // namespace
