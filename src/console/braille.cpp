#include "console/braille.h"

#include <array>

#include "platform/keys.h"

namespace console::braille {
namespace {

// Cells in pattern order: pattern = dot 1 (1) + dot 2 (2) + dot 3 (4) + dot 4 (8) + dot 5 (16)
// + dot 6 (32).
constexpr std::array<unsigned char, 64> kCells = {
    32,  97,  44,  98,  39,  107, 59,  108,  // 0
    94,  99,  105, 102, 237, 109, 115, 112,  // 8
    126, 101, 58,  104, 42,  111, 33,  114,  // 16
    172, 100, 106, 103, 227, 110, 116, 113,  // 24
    253, 226, 63,  234, 45,  117, 34,  118,  // 32
    123, 238, 245, 224, 243, 120, 232, 231,  // 40
    36,  251, 255, 252, 125, 122, 61,  225,  // 48
    95,  244, 119, 239, 35,  121, 250, 233,  // 56
};

constexpr int kNumberSign = '#';   // dots 3456
constexpr int kCapitalSign = '{';  // dots 46

bool IsLetterKey(int virtualKey) {
  return virtualKey >= platform::kVkA && virtualKey <= platform::VkLetter('Z');
}

int CompleteChord(ChordState& state, int mode) {
  const int chord = state.chord;
  state.chord = 0;
  if ((chord & kSpaceBit) == 0) {
    const int character = CellCode(chord);
    return mode == 2 ? ApplySignRules(state, character) : character;
  }
  ClearSigns(state);
  const int dots = chord & 63;
  if (dots == 0) return ' ';
  // Space with dots gives a control character. A cell whose code has no low five bits (à)
  // would give 0, which the queue reserves as the prefix of a two-byte key: nothing then.
  const int control = CellCode(dots) & 31;
  return control == 0 ? kNoCharacter : control;
}

}  // namespace

int ChordBit(int virtualKey) {
  switch (virtualKey) {
    case platform::VkLetter('F'): return 1;
    case platform::VkLetter('D'): return 2;
    case platform::VkLetter('S'): return 4;
    case platform::VkLetter('J'): return 8;
    case platform::VkLetter('K'): return 16;
    case platform::VkLetter('L'): return 32;
    case platform::kVkSpace: return kSpaceBit;
    default: return 0;
  }
}

int CellCode(int pattern) { return kCells[static_cast<unsigned>(pattern) & 63]; }

void ClearSigns(ChordState& state) {
  state.capitalNext = false;
  state.capitalsLocked = false;
  state.numberMode = false;
}

void ClearAll(ChordState& state) { state = ChordState{}; }

void PressKey(ChordState& state, int virtualKey) {
  const int bit = ChordBit(virtualKey);
  state.chord |= bit;
  state.held |= bit;
}

bool ReleaseKey(ChordState& state, int mode, int virtualKey, bool ctrl, int& character) {
  character = kNoCharacter;
  const bool chordKeyboardKey = virtualKey == platform::kVkSpace || IsLetterKey(virtualKey);
  if (ctrl || !chordKeyboardKey) {
    ClearSigns(state);
    // A chord key let go while Ctrl is held still leaves the held set: otherwise its bit would
    // stay "down" and merge into the next chord. The chord it belonged to is abandoned.
    state.held &= ~ChordBit(virtualKey);
    if (ctrl && state.held == 0) state.chord = 0;
    return false;
  }
  state.held &= ~ChordBit(virtualKey);
  if (state.held != 0) return true;
  character = CompleteChord(state, mode);
  return true;
}

int ApplySignRules(ChordState& state, int character) {
  int c = character;
  if (state.numberMode) {
    if (c == '\'') {
      c = '.';
    } else if (c >= 'a' && c <= 'i') {
      c = '1' + (c - 'a');
    } else if (c == 'j') {
      c = '0';
    } else if (c == '~') {
      state.numberMode = false;
    }
  }
  if ((state.capitalNext || state.capitalsLocked) && c >= 'a' && c <= 'z') c = c - 'a' + 'A';
  if (c == kNumberSign) {
    state.numberMode = true;
    return kNoCharacter;
  }
  if (c == kCapitalSign) {
    if (state.capitalNext) state.capitalsLocked = true;
    state.capitalNext = true;
    return kNoCharacter;
  }
  state.capitalNext = false;
  return c;
}

}  // namespace console::braille
