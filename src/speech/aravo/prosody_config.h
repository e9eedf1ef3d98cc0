#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

// The prosody configuration (phoneme durations, key words with their classes, intonation
// patterns, base pitch and pitch table) and the voice's diphone inventory. Loaded at
// engine start-up, read while speaking.
namespace aravo {

struct DurationEntry {
  std::string phoneme;  // at most 2 characters
  int duration = 0;     // base duration in milliseconds
};

struct KeyWord {
  std::string word;       // upper case
  std::string wordClass;  // at most 2 characters, upper case
};

// "before|current|after=code": each pattern is a class or empty (matches any class).
struct IntonationPattern {
  std::string before;
  std::string current;
  std::string after;
  std::string code;  // three digits, or "?" and two digits
};

// Shows one message to the user (title, text).
using ProsodyMessage = std::function<void(const std::string&, const std::string&)>;

// Reads the "[DURAÇÃO]", "[CHAVES]" and "[PROSÓDIA]" sections, in any order. A fault shows
// its message through platform::MessageBox and ends the load with false; a duration that is
// not an integer shows its message, takes 100 and loading goes on. The tables grow with the
// file. HERTZ and TABHERTZ are written only when their whole line reads as integers.
bool LoadProsody(const std::string& fileName);
// The same, showing its messages through `showMessage`.
bool LoadProsody(const std::string& fileName, const ProsodyMessage& showMessage);

// Reads "first second ..." lines into the inventory of diphones the voice has.
bool LoadDiphoneInventory(const std::string& fileName);
void ReleaseDiphoneInventory();
// Whether the inventory holds the diphone first-second, letter case not minding.
bool HasDiphone(const std::string& first, const std::string& second);
// The inventory's entries, "FIRST-SECOND" in ASCII upper case, sorted.
const std::vector<std::string>& DiphoneInventory();

const std::vector<DurationEntry>& DurationTable();
// The duration of the first table entry named exactly `phoneme`; false when there is none.
bool FindDuration(const std::string& phoneme, int& duration);
const std::vector<KeyWord>& KeyWordTable();  // sorted by word, byte order
const std::vector<IntonationPattern>& IntonationPatterns();
int BasePitch();
const std::array<int, 10>& PitchTable();

}  // namespace aravo
