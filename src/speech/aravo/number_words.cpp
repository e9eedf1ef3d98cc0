#include <array>
#include <string>

#include "speech/aravo/normalise.h"

namespace aravo {
namespace {

constexpr std::array<const char*, 10> kUnits = {"zero", "um",   "dois", "três", "quatro",
                                                "cinco", "seis", "sete", "oito", "nove"};
constexpr std::array<const char*, 10> kTeens = {"dez",    "onze",      "doze",      "treze",
                                                "quatorze", "quinze", "dezesseis", "dezessete",
                                                "dezoito", "dezenove"};
constexpr std::array<const char*, 10> kTens = {"",         "",         "vinte",   "trinta",
                                               "quarenta", "cinqüenta", "sessenta", "setenta",
                                               "oitenta",  "noventa"};
constexpr std::array<const char*, 10> kHundreds = {
    "",           "cento",      "duzentos",   "trezentos",  "quatrocentos",
    "quinhentos", "seiscentos", "setecentos", "oitocentos", "novecentos"};
// Scale words of the groups from trillions down to thousands; the units group has none.
constexpr std::array<const char*, 4> kScaleSingular = {"trilhão ", "bilhão ", "milhão ", "mil "};
constexpr std::array<const char*, 4> kScalePlural = {"trilhões ", "bilhões ", "milhões ", "mil "};

constexpr std::array<const char*, 10> kOrdinalUnits = {
    "", "primeiro", "segundo", "terceiro", "quarto", "quinto", "sexto", "sétimo", "oitavo", "nono"};
constexpr std::array<const char*, 10> kOrdinalTens = {
    "",            "décimo",     "vigésimo",    "trigésimo",    "quadragésimo",
    "quinquagésimo", "sexagésimo", "septuagésimo", "octagésimo", "nonagésimo"};
constexpr std::array<const char*, 10> kOrdinalHundreds = {
    "",               "centésimo",     "ducentésimo",    "tricentésimo",   "quadrigentésimo",
    "quingentésimo", "seiscentésimo", "septigentésimo", "octigentésimo", "nongentésimo"};

constexpr std::uint64_t kCardinalLimit = 1'000'000'000'000'000;  // 10^15

// The words of one group of three digits, 0..999.
std::string GroupWords(int group) {
  if (group == 0) return {};
  if (group == 100) return "cem";
  const int hundreds = group / 100;
  const int tens = group / 10 % 10;
  const int units = group % 10;
  std::string words;
  if (hundreds != 0) {
    words = kHundreds[hundreds];
    if (group % 100 == 0) return words;
    words += " e ";
  }
  if (tens == 1) return words + kTeens[units];
  if (tens >= 2) {
    words += kTens[tens];
    if (units == 0) return words;
    words += " e ";
  }
  if (units > 0) words += kUnits[units];
  return words;
}

}  // namespace

std::string CardinalWords(std::uint64_t value) {
  if (value == 0) return "zero";
  value %= kCardinalLimit;
  std::array<std::string, 5> groupTexts;
  std::uint64_t rest = value;
  for (int index = 4; index >= 0; --index) {
    const int group = static_cast<int>(rest % 1000);
    rest /= 1000;
    std::string words = GroupWords(group);
    if (index < 4 && !words.empty()) {
      words += ' ';
      words += group == 1 ? kScaleSingular[index] : kScalePlural[index];
    }
    groupTexts[index] = std::move(words);
  }
  int last = -1;
  for (int index = 0; index < 5; ++index) {
    if (!groupTexts[index].empty()) last = index;
  }
  std::string result;
  for (int index = 0; index < 5; ++index) {
    if (index == last && !result.empty()) result += "e ";
    result += groupTexts[index];
  }
  // "um mil" is said "mil"; "um milhão" keeps its "um".
  if (result.starts_with("um mil") && !result.starts_with("um milh")) result.erase(0, 3);
  return result;
}

std::string OrdinalWords(Gender gender, std::uint64_t value) {
  if (value == 0) return "zero";
  if (value >= 2000) return CardinalWords(value);
  const int digits[4] = {static_cast<int>(value % 10), static_cast<int>(value / 10 % 10),
                         static_cast<int>(value / 100 % 10), static_cast<int>(value / 1000)};
  const std::array<const char*, 10>* tables[3] = {&kOrdinalUnits, &kOrdinalTens,
                                                  &kOrdinalHundreds};
  std::string result;
  for (int place = 0; place < 4; ++place) {
    if (digits[place] == 0) continue;
    std::string word = place < 3 ? (*tables[place])[digits[place]] : "milésimo";
    if (gender == Gender::kFeminine) word.back() = 'a';
    result = word + (result.empty() ? "" : " ") + result;
  }
  return result;
}

}  // namespace aravo
