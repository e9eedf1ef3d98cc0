#include "speech/aravo/normalise.h"

#include <algorithm>
#include <string_view>

#include "speech/aravo/letters.h"

namespace aravo {
namespace {

constexpr const char* kDigitWords[10] = {"zero", "um",   "dois", "três", "quatro",
                                         "cinco", "seis", "sete", "oito", "nove"};
// A number holds at most 15 digits: a digit is taken only while the value is below this.
constexpr std::uint64_t kLastDigitBound = 100'000'000'000'000;  // 10^14
// A thousands point is read only when its three digits still fit in those 15 digits.
constexpr std::uint64_t kThousandsPointBound = 1'000'000'000'000;  // 10^12

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return IsWordLetter(static_cast<unsigned char>(c)); }

bool IsPassThroughPunctuation(char c) {
  switch (c) {
    case ' ': case '!': case '(': case ')': case ',': case '.': case ':': case ';': case '?':
      return true;
    default:
      return false;
  }
}

bool HasAt(std::string_view text, std::size_t position, std::string_view part) {
  return text.substr(std::min(position, text.size()), part.size()) == part;
}

// A "." followed by exactly three digits that end the number separates thousands.
bool IsThousandsPoint(std::string_view text, std::size_t position) {
  if (position + 3 >= text.size()) return false;
  for (std::size_t offset = 1; offset <= 3; ++offset) {
    if (!IsDigit(text[position + offset])) return false;
  }
  return position + 4 >= text.size() || !IsDigit(text[position + 4]);
}

bool IsLineBreakOrTab(char c) { return c == '\t' || c == '\n' || c == '\r'; }

// Each run of tabs and line-break characters becomes one blank, so that words on two lines
// stay apart and a point at a line's end ends a sentence.
std::string WithLineBreaksAsBlanks(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!IsLineBreakOrTab(text[i])) {
      result += text[i];
    } else if (i == 0 || !IsLineBreakOrTab(text[i - 1])) {
      result += ' ';
    }
  }
  return result;
}

}  // namespace

std::string ReadNumber(const std::string& text, std::size_t& position) {
  const std::size_t size = text.size();
  std::string words;

  // Digits joined by hyphens (telephone and document numbers) are read one sign at a time.
  std::size_t runEnd = position;
  bool hasHyphen = false;
  while (runEnd < size && (IsDigit(text[runEnd]) || text[runEnd] == '-')) {
    hasHyphen = hasHyphen || text[runEnd] == '-';
    ++runEnd;
  }
  if (hasHyphen) {
    for (; position < runEnd; ++position) {
      if (text[position] == '-') {
        words += " traço";
      } else {
        words += ' ';
        words += kDigitWords[text[position] - '0'];
      }
    }
    return words;
  }

  std::string zeros;
  while (position + 1 < size && text[position] == '0' && IsDigit(text[position + 1])) {
    zeros += "zero ";
    ++position;
  }

  std::uint64_t value = 0;
  while (position < size) {
    const char c = text[position];
    if (IsDigit(c)) {
      if (value >= kLastDigitBound) break;
      value = value * 10 + static_cast<std::uint64_t>(c - '0');
      ++position;
    } else if (c == '.' && value < kThousandsPointBound && IsThousandsPoint(text, position)) {
      ++position;
    } else {
      break;
    }
  }

  Gender gender = Gender::kMasculine;
  std::size_t markLength = 0;
  bool plural = false;
  if (position < size) {
    const auto c = static_cast<unsigned char>(text[position]);
    if (c == 0xBA) {  // º
      markLength = 1;
    } else if (c == 0xAA) {  // ª
      gender = Gender::kFeminine;
      markLength = 1;
    } else if (HasAt(text, position, "o.") || HasAt(text, position, "a.")) {
      gender = c == 'a' ? Gender::kFeminine : Gender::kMasculine;
      markLength = 2;
    } else if (HasAt(text, position, "os.") || HasAt(text, position, "as.")) {
      gender = c == 'a' ? Gender::kFeminine : Gender::kMasculine;
      markLength = 3;
      plural = true;
    }
  }
  if (markLength == 0) return zeros + CardinalWords(value);
  position += markLength;
  std::string ordinal = OrdinalWords(gender, value);
  if (plural) ordinal += 's';
  return ordinal;
}

std::string ScanWord(const std::string& text, std::size_t& position) {
  const std::size_t start = position;
  bool consonantsOnly = true;
  while (position < text.size() && IsLetter(text[position])) {
    consonantsOnly = consonantsOnly && IsWordConsonant(static_cast<unsigned char>(text[position]));
    ++position;
    if (position < text.size() && text[position] == '-') ++position;
  }
  std::string word = text.substr(start, position - start);
  if (!consonantsOnly) return word;
  if (position < text.size() && text[position] == '.' && !LookupAbbreviation(word).empty()) {
    return word;
  }
  std::string spelled;
  for (const char c : word) spelled += CharacterName(static_cast<unsigned char>(c));
  return spelled;
}

std::string NormaliseText(const std::string& input) {
  const std::string text = WithLineBreaksAsBlanks(
      input.size() == 1 ? CharacterName(static_cast<unsigned char>(input[0])) : input);
  const std::size_t size = text.size();
  std::string output;
  output.reserve(size + size / 2);
  std::size_t position = 0;
  while (position < size) {
    const char c = text[position];
    const bool hasNext = position + 1 < size;
    if (c == '-' && position > 0 && text[position - 1] == ' ' && hasNext &&
        text[position + 1] == ' ') {
      // A dash between blanks is a pause.
      output += ',';
      ++position;
    } else if (c == '-' && hasNext && IsDigit(text[position + 1])) {
      output += "menos ";
      ++position;
    } else if (IsDigit(c)) {
      output += ReadNumber(text, position);
      output += ' ';
      while (position + 1 < size && (text[position] == ',' || text[position] == '.') &&
             IsDigit(text[position + 1])) {
        output += text[position] == ',' ? "vírgula " : "ponto ";
        ++position;
        output += ReadNumber(text, position);
        output += ' ';
      }
    } else if (IsLetter(c)) {
      const std::string word = ScanWord(text, position);
      if (HasAt(text, position, ". ")) {
        const std::string expansion = LookupAbbreviation(word);
        if (expansion.empty()) {
          output += word;
        } else {
          output += expansion;
          ++position;  // the point; the blank after it stays
        }
      } else {
        output += word;
      }
    } else if (HasAt(text, position, "...")) {
      output += "... ";
      position += 3;
    } else if (c == '.' && hasNext && text[position + 1] != ' ') {
      output += " ponto ";
      ++position;
    } else if (IsPassThroughPunctuation(c)) {
      output += c;
      ++position;
    } else {
      output += ' ';
      output += CharacterName(static_cast<unsigned char>(c));
      output += ' ';
      ++position;
    }
  }
  return output;
}

}  // namespace aravo
