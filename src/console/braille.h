#pragma once

// The six-key Braille chord keyboard: F D S J K L are dots 1 to 6, space is the seventh key.
// A chord is every key pressed since the last character; it becomes a character when the last
// of its keys is released. Pure functions over a small state, so the sign rules can be tested
// without a window.
namespace console::braille {

constexpr int kSpaceBit = 64;
constexpr int kNoCharacter = -1;

struct ChordState {
  int chord = 0;  // bits of every chord key pressed since the last character
  int held = 0;   // bits of the chord keys still down
  bool capitalNext = false;
  bool capitalsLocked = false;
  bool numberMode = false;
};

// The bit of a chord key (F 1, D 2, S 4, J 8, K 16, L 32, space 64); 0 for any other key.
int ChordBit(int virtualKey);
// The Windows-1252 code of a cell, pattern 0 to 63 (the sum of its dot bits).
int CellCode(int pattern);

void ClearSigns(ChordState& state);
void ClearAll(ChordState& state);

// A chord key went down (Ctrl not held, chord keyboard on).
void PressKey(ChordState& state, int virtualKey);

// A key went up while the chord keyboard is on (mode 1 or 2). False when the key is left to the
// default handling. `character` receives the completed character or kNoCharacter.
bool ReleaseKey(ChordState& state, int mode, int virtualKey, bool ctrl, int& character);

// The mode-2 number and capital signs applied to a completed cell; kNoCharacter for a sign.
int ApplySignRules(ChordState& state, int character);

}  // namespace console::braille
