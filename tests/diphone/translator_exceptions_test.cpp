// The exceptions dictionary: reading it, finding words in it, held s and m endings.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "diphone/translator_fixture.h"
#include "speech/diphone/translator.h"
#include "speech/diphone/translator_internal.h"

namespace {

using diphone::TranslateToPhonemes;
using diphone::translation::kWordCapacity;
using diphone::translation::Word;

std::string Replaced(const std::string& letters) {
  Word word;
  word.letters = letters;
  diphone::translation::ApplyExceptions(word);
  return word.letters;
}

TEST_F(TranslatorTest, ExceptionsReplaceWordsAndServeTheirPluralsAndNasalEndings) {
  UseRules(LetterRules());
  UseExceptions(
      "; comment line\r\n"
      "meu=mEu\r\n"
      "portugues=purtugEs\r\n"
      "voce^=vose^\r\n"
      "bo=bO|the ending m is held: bom\r\n"
      "pq=porke\r\n"
      "\r\n"
      "foo\r\n"          // no "=": not an entry
      "  ze = zE  \r\n"  // blanks around the fields dropped
      "a=b=c|d|e\r\n");
  struct Case {
    const char* text;
    const char* expected;
  } cases[] = {
      {"meu", "[m/E/u]"},
      {"Meu", "[m/E/u]"},
      {"meus", "[m/E/u/s]"},
      {"meuss", "[m/E/u/s/s]"},
      {"bom", "[b/O/m]"},
      {"portugues", "[p/u/r/t/u/g/E/s]"},
      // Only s and m are held back: "portuguese" is not looked for without its e.
      {"portugueses", "[p/o/r/t/u/g/u/E/s/e/s]"},
      {"você", "[v/o/s/e/ /_^]"},
      {"vocês", "[v/o/s/e/ /_^/s]"},
      {"pq", "[p/o/r/k/e]"},  // the vowel count stays the original's: no stress step
      {"foo", "[f/O/o]"},
      {"ze", "[z/E]"},
      {"a", "[b/ /_=/c]"},  // split at the first "=" and the next "|"
      {"s", "[ /_s]"},
  };
  for (const Case& c : cases) EXPECT_EQ(TranslateToPhonemes(c.text), c.expected) << c.text;
}

TEST_F(TranslatorTest, FindsEveryEntryInByteOrder) {
  // Keys that differ in marks, case and bytes above 127, written in shuffled order.
  std::vector<std::string> keys = {"a",    "a'",   "a'gua", "a^",     "a~o", "agua", "ab",
                                   "b",    "ba",   "ba\"",  "Zebra",  "zebra", "\xE9", "\xE9z",
                                   "c`a",  "caa",  "ca",    "u\"i",   "ui"};
  for (int k = 0; k < 400; ++k) keys.push_back("k" + std::to_string(k * 7919 % 1000));
  std::shuffle(keys.begin(), keys.end(), std::mt19937(5));
  std::string file;
  for (const std::string& key : keys) file += key + "=<" + key + ">\n";
  UseExceptions(file);
  for (const std::string& key : keys) EXPECT_EQ(Replaced(key), "<" + key + ">") << key;
  EXPECT_EQ(Replaced("k1000"), "k1000");
  EXPECT_EQ(Replaced("aa"), "aa");
}

TEST_F(TranslatorTest, ReadsAtMost15000EntriesOfLinesCutTo255) {
  std::string file = "dup=one\ndup=two\n";  // the first of equal keys is found
  file += "x=" + std::string(300, 'y') + "\n";
  file += std::string(255, 'q') + "ab=cd\n";  // "=" beyond the cut: no entry at all
  file += "w=" + std::string(250, 'v') + "\n";
  for (int k = 4; k < 15000; ++k) file += "e" + std::to_string(k) + "=ok\n";
  file += "aaaa=late\n";  // the 15001st entry
  UseExceptions(file);
  EXPECT_EQ(Replaced("dup"), "one");
  EXPECT_EQ(Replaced("x"), std::string(253, 'y'));
  EXPECT_EQ(Replaced("ab"), "ab");
  EXPECT_EQ(Replaced(std::string(255, 'q')), std::string(255, 'q'));
  EXPECT_EQ(Replaced("e14999"), "ok");
  EXPECT_EQ(Replaced("aaaa"), "aaaa");
  // A replacement with its held ending is cut to the word buffer.
  EXPECT_EQ(Replaced("w" + std::string(10, 's')), std::string(250, 'v') + std::string(7, 's'));
}

TEST_F(TranslatorTest, ExceptionsStayUntilTheNextLoad) {
  UseRules(LetterRules());
  UseExceptions("meu=mEu\n");
  diphone::FreeRules();
  EXPECT_EQ(TranslateToPhonemes("meu"), "[ /_M/ /_E/ /_U]");
  UseRules("(A)=a\n");
  EXPECT_EQ(Replaced("meu"), "mEu");
  UseExceptions("teu=tEu\n");
  EXPECT_EQ(Replaced("meu"), "meu");
  EXPECT_EQ(Replaced("teu"), "tEu");
  EXPECT_FALSE(diphone::LoadExceptions(Folder() + "/missing.exc"));
  EXPECT_EQ(Replaced("teu"), "teu");
  EXPECT_FALSE(diphone::LoadExceptions(Folder()));
}

}  // namespace
