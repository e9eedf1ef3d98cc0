// Reading a phoneme string unit by unit, splitting each unit into pieces the database is
// likely to hold, and building the segment names of each piece.
#include "speech/diphone/unit_split.h"

#include <cstdint>
#include <cstring>
#include <string_view>

namespace diphone::detail {
namespace {

// One string after another. (GCC 12's -Wrestrict misreads operator+ on short strings here.)
std::string Joined(std::string_view first, std::string_view second) {
  std::string joined;
  joined.reserve(first.size() + second.size());
  joined.append(first);
  joined.append(second);
  return joined;
}

constexpr std::size_t kMergeLength = 8;  // a "/" ends a unit only after more than this
constexpr double kGlideFactor = 0.6;
constexpr double kPluralFactor = 0.7;

// Samples of silence for a punctuation unit, 0 when the unit is not one.
int PunctuationPause(const std::string& unit) {
  if (unit.size() != 2 || unit[0] != '_') return 0;
  switch (unit[1]) {
    case ',':
      return 4000;
    case '.':
    case ':':
      return 8000;
    case ';':
      return 6000;
    default:
      return 0;
  }
}

bool InSet(const char* set, char c) { return c != '\0' && std::strchr(set, c) != nullptr; }
bool IsGlide(char c) { return c == 'w' || c == 'y'; }
bool IsVowelMark(char c) { return c == '^' || c == '~'; }
bool IsStressedVowel(char c) { return InSet("AEIOU", c); }
bool EndsWith(const std::string& text, const char* ending) {
  const std::size_t length = std::strlen(ending);
  return text.size() >= length && text.compare(text.size() - length, length, ending) == 0;
}

class Walk {
 public:
  Walk(const std::string& phonemes, const PhonemeWalker& walker) : text_(phonemes), walker_(walker) {}

  // A unit that ends other than in a space is followed by the gap, but only when something
  // was played or paused on since the last gap: an empty unit (a rule that writes nothing, as
  // the hyphen's in "guarda-chuva", or a word of nothing) adds no gap of its own.
  void Run(bool keepPunctuation, int gap) {
    while (position_ < text_.size()) {
      std::string unit = NextUnit();
      const int pause = keepPunctuation ? 0 : PunctuationPause(unit);
      if (pause > 0) {
        unit.clear();
        walker_.silence(pause);
        soundSinceGap_ = true;
      }
      SplitAndSpeak(unit, 1.0);
      if (position_ < text_.size() && text_[position_ - 1] != ' ' && soundSinceGap_) {
        walker_.silence(gap);
        soundSinceGap_ = false;
      }
    }
  }

 private:
  void AppendTo(std::string& unit, char c) {
    if (unit.size() < kUnitCapacity) unit += c;
  }

  // Collects one unit and steps over its terminator (a space, "]", or a "/" after a long
  // enough unit); short units of a word are merged across "/".
  std::string NextUnit() {
    std::string unit;
    if (text_[position_] == '[') {
      stressMode_ = kWordStart;
      ++position_;
    }
    while (position_ < text_.size() && text_[position_] != ' ' && text_[position_] != ']') {
      const char c = text_[position_];
      if (c == '/') {
        if (unit.size() > kMergeLength) break;
        ++position_;
      } else if (c == '_') {
        ++position_;
        AppendTo(unit, '_');
        if (position_ < text_.size()) AppendTo(unit, text_[position_++]);
      } else if (c == '|') {
        unit = "_TRACO";
        ++position_;
      } else {
        AppendTo(unit, c);
        ++position_;
      }
    }
    if (position_ < text_.size()) ++position_;
    return unit;
  }

  void SplitAndSpeak(const std::string& unit, double factor) {
    const std::size_t n = unit.size();
    if (n == 0) return;
    if (n == 1) {
      SpeakPiece(unit, factor);
      return;
    }
    if (n >= 3) {
      const std::string firstTwo = unit.substr(0, 2);
      if (IsSplitConsonant(unit[0]) && IsSplitConsonant(unit[1]) && firstTwo != "dj" &&
          firstTwo != "nh" && firstTwo != "rr" && firstTwo != "ks" && unit.compare(0, 3, "tch") != 0) {
        SpeakPiece(unit.substr(0, 1), 1.0);
        SplitAndSpeak(unit.substr(1), factor);
        return;
      }
      if (EndsWith(unit, "rr")) {
        SplitAndSpeak(unit.substr(0, n - 2), factor);
        SpeakPiece("rr", factor);
        return;
      }
      if (IsSplitConsonant(unit[n - 1])) {
        SplitAndSpeak(unit.substr(0, n - 1), factor);
        SpeakPiece(unit.substr(n - 1), factor);
        return;
      }
    }
    const char last = unit[n - 1];
    const char before = unit[n - 2];
    if (IsGlide(last) && IsVowelLike(before) && n >= 3) {
      SplitAndSpeak(unit.substr(0, n - 1), kGlideFactor);
      SpeakPiece(unit.substr(n - 2), factor);
      return;
    }
    if (IsGlide(last) && IsVowelMark(before)) {
      // A marked vowel before a glide: the part before it keeps the closed form, then the
      // vowel, the glide and the mark make one piece.
      if (n >= 4) {
        const std::string rest = before == '~' ? unit.substr(0, n - 2) + "^" : unit.substr(0, n - 1);
        SplitAndSpeak(rest, kGlideFactor);
      }
      std::string piece;
      if (n >= 3) piece += unit[n - 3];
      piece += last;
      piece += before;
      SpeakPiece(piece, factor);
      return;
    }
    if (unit != "_s" && last == 's') {
      SplitAndSpeak(unit.substr(0, n - 1), kPluralFactor);
      SpeakPiece("s", factor);
      return;
    }
    SpeakPiece(unit, factor);
  }

  void PlayName(const std::string& name, double factor) {
    walker_.playName(name, stressMode_, factor);
    soundSinceGap_ = true;
  }

  void SpeakPiece(const std::string& piece, double factor) {
    if (piece.empty()) return;
    if (piece[0] == '_') {
      if (piece.size() >= 2) {
        PlayName(Joined("_", std::to_string(static_cast<std::uint8_t>(piece[1]))), factor);
      }
      return;
    }
    std::string name = "$";
    bool stressed = false;
    for (const char c : piece) {
      if (IsStressedVowel(c)) {
        stressMode_ = kStressed;
        stressed = true;
      }
      if (c == '^') {
        PlayName(Joined(name, "CIRC"), factor);
        name.assign(1, '$');
      } else if (c == '~') {
        PlayName(Joined(name, "TIL"), factor);
        name.assign(1, '$');
      } else if (name.size() < kNameCapacity) {
        name += c;
      }
    }
    if (name != "$") PlayName(name, factor);
    if (stressed) stressMode_ = 0;
  }

  const std::string& text_;
  const PhonemeWalker& walker_;
  std::size_t position_ = 0;
  int stressMode_ = kWordStart;
  bool soundSinceGap_ = false;  // a name played or a pause made since the last gap
};

}  // namespace

bool IsSplitConsonant(char c) { return InSet("bcdfgjklmnpqrstvxz", c); }
bool IsVowelLike(char c) { return InSet("AEIOUaeiouwy", c); }

void WalkPhonemes(const std::string& phonemes, bool keepPunctuation, int gap,
                  const PhonemeWalker& walker) {
  Walk(phonemes, walker).Run(keepPunctuation, gap);
}

}  // namespace diphone::detail
