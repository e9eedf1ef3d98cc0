// Folding text to the translator's alphabet: lower- and upper-case ASCII letters, separate
// accent marks, and " \x01 " for every character the translator has no reading for.
#include <iterator>
#include <string>

#include "speech/diphone/translator.h"
#include "speech/diphone/translator_internal.h"

namespace diphone {
namespace {

using translation::IsLetter;

// What codes 128 to 255 become. Codes 128 to 165 are read as the accented letters of the DOS
// code pages 437 and 850, codes 192 to 255 as those of Windows-1252, so text from either
// source reads the same. An empty entry has no reading.
constexpr const char* kHighCodes[] = {
    "ss",     "u\"", "e'",  "a^",  "a~",  "a`",  "a'",  "ss",  // 128-135
    "e^",     "e\"", "e`",  "i\"", "i^",  "i`",  "a~",  "a'",  // 136-143
    "e'",     "ae",  "-",   "o^",  "o~",  "o`",  "u^",  "u`",  // 144-151
    "y-",     "o~",  "u\"", "",    "",    "",    "",    "",    // 152-159
    "a'",     "i'",  "o'",  "u'",  "nh",  "nh",  "",    "\xA7",  // 160-167
    "?",      "",    "",    "\xAA", "",   "!",   "\"",  "\"",  // 168-175
    "",       "",    "",    "",    "",    "",    "",    "",    // 176-183
    "",       "",    "",    "\xBA", "",   "",    "",    "?",   // 184-191
    "a`",     "a'",  "a^",  "a~",  "a~",  "a",   "ae",  "ss",  // 192-199
    "e`",     "e'",  "e^",  "e\"", "i`",  "i'",  "i^",  "i\"", // 200-207
    "",       "nh",  "o`",  "o'",  "o^",  "o~",  "o`",  "x",   // 208-215
    "0",      "u`",  "u'",  "u^",  "u",   "",    "",    "",    // 216-223
    "a`",     "a'",  "a^",  "a~",  "a~",  "a",   "ae",  "ss",  // 224-231
    "e`",     "e'",  "e^",  "e\"", "i`",  "i'",  "i^",  "i\"", // 232-239
    "",       "nh",  "o`",  "o'",  "o^",  "o~",  "o`",  "x",   // 240-247
    "0",      "u`",  "u'",  "u^",  "u",   "",    "",    "",    // 248-255
};
static_assert(std::size(kHighCodes) == 128, "one entry for each of the codes 128 to 255");

constexpr const char* kNoReading = " \x01 ";

}  // namespace

std::string NormaliseForTranslation(const std::string& text) {
  std::string result;
  result.reserve(text.size() + text.size() / 2);
  for (std::size_t k = 0; k < text.size(); ++k) {
    const char c = text[k];
    const auto code = static_cast<unsigned char>(c);
    const bool letterBefore = k > 0 && IsLetter(text[k - 1]);
    const bool letterAfter = k + 1 < text.size() && IsLetter(text[k + 1]);
    // W and Y beside a letter are read as the vowels they stand for (Wagner, Yolanda).
    if ((c == 'W' || c == 'w') && (letterBefore || letterAfter)) {
      result += 'u';
    } else if ((c == 'Y' || c == 'y') && (letterBefore || letterAfter)) {
      result += 'i';
    } else if (c == '\'' && k > 0 && (text[k - 1] == 'D' || text[k - 1] == 'd')) {
      // D'Ávila: the apostrophe would otherwise be read as an acute mark on the d.
    } else if (code < 32) {
      result += kNoReading;
    } else if (code < 128) {
      result += c;
    } else {
      const char* reading = kHighCodes[code - 128];
      result += *reading == '\0' ? kNoReading : reading;
    }
  }
  return result;
}

}  // namespace diphone
