#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/braille.h"
#include "console/keyboard.h"
#include "keyboard_fixture.h"
#include "platform/keys.h"
#include "platform/sim/sim.h"

namespace keyboard_test {
namespace {

using console::braille::ChordState;
using console::braille::kNoCharacter;
using platform::EventKind;

// ---- the chord logic alone

// Presses every key of `letters` (F D S J K L and space), then releases them in order, and
// returns the character the last release completes.
int TypeChord(ChordState& state, int mode, const std::string& letters) {
  std::vector<int> keys;
  for (char c : letters) {
    keys.push_back(c == ' ' ? platform::kVkSpace : platform::VkLetter(static_cast<char>(c - 'a' + 'A')));
  }
  for (int key : keys) console::braille::PressKey(state, key);
  int character = kNoCharacter;
  for (int key : keys) {
    EXPECT_EQ(character, kNoCharacter) << "completed before every key was released";
    EXPECT_TRUE(console::braille::ReleaseKey(state, mode, key, false, character));
  }
  return character;
}

std::string TypeChords(ChordState& state, int mode, const std::vector<std::string>& chords) {
  std::string text;
  for (const std::string& chord : chords) {
    const int character = TypeChord(state, mode, chord);
    if (character != kNoCharacter) text.push_back(static_cast<char>(character));
  }
  return text;
}

TEST(BrailleChords, CellsOfSingleDotsAndSigns) {
  struct Case {
    const char* chord;
    int code;
  };
  const Case cases[] = {
      {"f", 'a'},  {"fd", 'b'},  {"fj", 'c'},   {"fjk", 'd'}, {"fk", 'e'},   {"s", '\''},
      {"k", '~'},  {"sjkl", '#'}, {"jl", '{'},  {"fdsjkl", 233}, {"dsjk", 116}, {"fsjl", 'x'},
      {"fdsl", 'v'}, {"dk", ':'}, {"djkl", 'w'}, {"dsk", '!'},
  };
  for (const Case& c : cases) {
    ChordState state;
    EXPECT_EQ(TypeChord(state, 1, c.chord), c.code) << c.chord;
    EXPECT_EQ(state.chord, 0);
    EXPECT_EQ(state.held, 0);
  }
}

TEST(BrailleChords, SpaceChordsGiveControlCharacters) {
  struct Case {
    const char* chord;
    int code;
  };
  const Case cases[] = {
      {" ", ' '},
      {" f", 1},          // a: Ctrl+A
      {" fd", 2},         // b
      {" fdsjkl", 233 & 31},
      {" fdjl", kNoCharacter},  // à has no low five bits: no lone 0 in the queue
  };
  for (const Case& c : cases) {
    ChordState state;
    state.capitalsLocked = state.capitalNext = state.numberMode = true;
    EXPECT_EQ(TypeChord(state, 2, c.chord), c.code) << "'" << c.chord << "'";
    EXPECT_FALSE(state.capitalsLocked || state.capitalNext || state.numberMode) << c.chord;
  }
}

TEST(BrailleChords, SignRulesOfModeTwo) {
  struct Case {
    std::vector<std::string> chords;
    std::string typed;
  };
  const Case cases[] = {
      {{"sjkl", "f", "fd"}, "12"},
      {{"jl", "f"}, "A"},
      {{"jl", "jl", "f", "fd"}, "AB"},
      {{"jl", "f", "fd"}, "Ab"},
      {{"sjkl", "dj", "djk", "s", "fj"}, "90.3"},
      {{"sjkl", "f", "k", "f"}, "1~a"},         // dots 5 ends number mode and is typed
      {{"sjkl", "fjk", "skl"}, "4}"},            // other cells pass unchanged
      {{"jl", "fdjl"}, "\xE0"},                 // accented letters keep their case
      {{"jl", "jl", "f", " ", "f"}, "A a"},     // a space ends capitals
      {{"sjkl", "f", " ", "f"}, "1 a"},         // and number mode
      {{"jl", "sjkl", "f"}, "1"},
  };
  for (const Case& c : cases) {
    ChordState state;
    EXPECT_EQ(TypeChords(state, 2, c.chords), c.typed) << c.typed;
  }
}

TEST(BrailleChords, ReleasesOutsideTheChordKeyboard) {
  ChordState state;
  state.capitalsLocked = true;
  int character = 0;
  // A key other than a letter or space clears the signs and is left to the default handling.
  EXPECT_FALSE(console::braille::ReleaseKey(state, 2, platform::kVkShift, false, character));
  EXPECT_EQ(character, kNoCharacter);
  EXPECT_FALSE(state.capitalsLocked);

  // A letter that is no chord key completes the empty chord: a space.
  EXPECT_TRUE(console::braille::ReleaseKey(state, 2, platform::VkLetter('A'), false, character));
  EXPECT_EQ(character, ' ');

  // While a chord key is held, a released letter only waits for it.
  console::braille::PressKey(state, platform::VkLetter('F'));
  EXPECT_TRUE(console::braille::ReleaseKey(state, 2, platform::VkLetter('A'), false, character));
  EXPECT_EQ(character, kNoCharacter);
  EXPECT_TRUE(console::braille::ReleaseKey(state, 2, platform::VkLetter('F'), false, character));
  EXPECT_EQ(character, 'a');
}

TEST(BrailleChords, AChordKeyReleasedWithCtrlLeavesNothingHeld) {
  ChordState state;
  console::braille::PressKey(state, platform::VkLetter('F'));
  int character = 0;
  EXPECT_FALSE(console::braille::ReleaseKey(state, 2, platform::VkLetter('F'), true, character));
  EXPECT_EQ(character, kNoCharacter);
  EXPECT_EQ(state.held, 0);
  EXPECT_EQ(state.chord, 0);
  EXPECT_EQ(TypeChord(state, 2, "d"), ',');
}

// ---- through the window procedure

using BrailleKeyboard = KeyboardFixture;

void ScriptChords(const std::vector<std::string>& chords) {
  for (const std::string& chord : chords) sim::Chord(chord);
}

TEST_F(BrailleKeyboard, ChordsInModeTwo) {
  // Number mode lasts until a space (or dots 5), so a space separates the examples.
  ScriptChords({"sjkl", "f", "fd", " ", "jl", "f", "jl", "jl", "f", "fd", " f"});
  const auto result = RunProgram([] {
    console::EnsureConsole();
    console::SetBrailleMode(2);
    DeliverSteps(11);
    EXPECT_EQ(AsText(DrainQueue()), "12 AAB\x01");
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

TEST_F(BrailleKeyboard, ChordsInModeOne) {
  ScriptChords({"fd", "df", "sjkl", " "});
  const auto result = RunProgram([] {
    console::EnsureConsole();
    console::SetBrailleMode(1);
    DeliverSteps(4);
    EXPECT_EQ(AsText(DrainQueue()), "bb# ");
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

TEST_F(BrailleKeyboard, OtherKeysStillWork) {
  ScriptChords({"jl", "jl"});
  sim::PressKey(platform::kVkShift);               // releasing a modifier ends capitals
  sim::Chord("f");
  sim::PressKey(platform::VkLetter('F'), {.ctrl = true});  // Ctrl+F is Ctrl+F, not a chord
  sim::PressKey(platform::kVkUp);
  sim::TypeText("7\r");
  sim::PressKey(platform::VkLetter('A'));          // not a chord key: the empty chord, a space
  sim::PressKey(platform::VkLetter('S'), {.alt = true});  // a system key is no chord key
  const auto result = RunProgram([] {
    console::EnsureConsole();
    console::SetBrailleMode(2);
    DeliverSteps(10);
    EXPECT_EQ(DrainQueue(), (std::vector<int>{'a', 6, 0, 72, '7', 13, ' '}));
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

TEST_F(BrailleKeyboard, CtrlDuringAChordDoesNotLeaveAKeyStuck) {
  sim::QueueStep({KeyEvent(EventKind::KeyDown, platform::VkLetter('F')),
                  KeyEvent(EventKind::KeyDown, platform::kVkControl, true),
                  KeyEvent(EventKind::KeyUp, platform::VkLetter('F'), true),
                  KeyEvent(EventKind::KeyUp, platform::kVkControl)});
  sim::Chord("d");
  const auto result = RunProgram([] {
    console::EnsureConsole();
    console::SetBrailleMode(1);
    DeliverSteps(2);
    EXPECT_EQ(AsText(DrainQueue()), ",");
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

TEST_F(BrailleKeyboard, ChordFloodsNeverOverflow) {
  for (int i = 0; i < 100; ++i) sim::Chord(i % 3 == 0 ? "sjkl" : "fd");
  const auto result = RunProgram([] {
    console::EnsureConsole();
    console::SetBrailleMode(2);
    DeliverSteps(100);
    EXPECT_EQ(console::QueuedKeyCount(), 64);
    EXPECT_EQ(AsText(DrainQueue()).substr(0, 4), "2222");
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

TEST_F(BrailleKeyboard, ModeZeroLeavesLettersToTheCharacterMessages) {
  sim::Chord("fd");
  const auto result = RunProgram([] {
    DeliverStep();
    EXPECT_EQ(AsText(DrainQueue()), "fd");
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

// ---- switching modes: Ctrl+Alt+F11 steps up, Ctrl+Alt+F12 switches off

struct Sound {
  int frequency;
  std::int64_t started;
  std::int64_t stopped;
};

void ExpectTones(const std::vector<Sound>& expected) {
  const auto& tones = sim::Tones();
  ASSERT_EQ(tones.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(tones[i].image, console::BuildToneWave(expected[i].frequency))
        << "tone " << i << " is not " << expected[i].frequency << " Hz";
    EXPECT_EQ(tones[i].started, expected[i].started) << i;
    EXPECT_EQ(tones[i].stopped, expected[i].stopped) << i;
  }
}

TEST_F(BrailleKeyboard, CtrlAltF11AndF12SwitchModesWithTones) {
  const sim::Modifiers ctrlAlt{.ctrl = true, .alt = true};
  for (int i = 0; i < 3; ++i) sim::PressKey(platform::kVkF11, ctrlAlt);
  for (int i = 0; i < 2; ++i) sim::PressKey(platform::kVkF12, ctrlAlt);
  std::vector<int> modes;
  const auto result = RunProgram([&] {
    console::EnsureConsole();
    for (int i = 0; i < 5; ++i) {
      DeliverStep();
      modes.push_back(console::BrailleMode());
    }
    EXPECT_EQ(console::QueuedKeyCount(), 0);
  });
  EXPECT_FALSE(result.stalled) << result.message;
  EXPECT_EQ(modes, (std::vector<int>{1, 2, 1, 0, 0}));
  ExpectTones({{800, 0, 200},
               {1600, 200, 400},
               {800, 400, 600},
               {400, 600, 800},
               {800, 800, 1000},
               {1600, 1000, 1200},
               {100, 1200, 1400}});
}

TEST_F(BrailleKeyboard, SetBrailleModeRules) {
  const auto result = RunProgram([] {
    console::SetBrailleMode(7);
    EXPECT_EQ(console::BrailleMode(), 1);
    console::SetBrailleMode(-3);
    EXPECT_EQ(console::BrailleMode(), 0);
    console::SetBrailleMode(2);
    EXPECT_EQ(console::BrailleMode(), 2);
  });
  EXPECT_FALSE(result.stalled) << result.message;
  ExpectTones({{800, 0, 200}, {1600, 200, 400}, {100, 400, 600}, {800, 600, 800}, {400, 800, 1000}});
}

TEST_F(BrailleKeyboard, SwitchingOffClearsAHalfTypedChord) {
  sim::QueueStep({KeyEvent(EventKind::KeyDown, platform::VkLetter('F'))});
  sim::QueueStep({KeyEvent(EventKind::KeyUp, platform::VkLetter('F'))});
  sim::Chord("d");
  const auto result = RunProgram([] {
    console::EnsureConsole();
    console::SetBrailleMode(1);
    DeliverStep();
    console::SetBrailleMode(0);
    DeliverStep();  // the key up of F no longer belongs to a chord
    console::SetBrailleMode(1);
    DeliverStep();
    EXPECT_EQ(AsText(DrainQueue()), ",");
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

TEST_F(BrailleKeyboard, ConfiguredModeThreeStartsAsModeOne) {
  WriteIni("[BRAILLE]\nMODO=3\n");
  const auto result = RunProgram([] {
    console::EnsureConsole();
    EXPECT_EQ(console::BrailleMode(), 1);
  });
  EXPECT_FALSE(result.stalled) << result.message;
  ExpectTones({{800, 0, 200}, {1600, 200, 400}});
}

}  // namespace
}  // namespace keyboard_test
