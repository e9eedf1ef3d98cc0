// The translator from text to the phoneme string: normalisation, words, stress and spelling.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "diphone/translator_fixture.h"
#include "speech/diphone/translator.h"
#include "speech/diphone/translator_internal.h"

namespace {

using diphone::NormaliseForTranslation;
using diphone::TranslateToPhonemes;
using diphone::translation::kWordCapacity;
using diphone::translation::Word;

TEST(TranslatorNormaliseTest, FoldsTextToLettersAndSeparateMarks) {
  std::string noReadings;  // the twelve empty entries below, each " \x01 "
  for (int k = 0; k < 12; ++k) noReadings += " \x01 ";
  struct Case {
    std::string text;
    std::string expected;
  } cases[] = {
      {"Wagner", "uagner"},  // W beside a letter reads as u
      {"W", "W"},            // a lone W stays
      {"w. W-9", "w. W-9"},
      {"Yara e Guy", "iara e Gui"},
      {"D'Ávila", "Da'vila"},  // the apostrophe after D is dropped, the accent kept apart
      {"d'água", "da'gua"},
      {"it's", "it's"},  // an apostrophe after another letter is an acute mark
      {"ção", "ssa~o"},
      {"ÇÃO", "ssa~O"},  // ASCII letters keep their case here
      {"\x80\x87\xA4\xA5", "ssssnhnh"},  // DOS Ç ç ñ Ñ
      {"\x82\xE9\x90\xC9", "e'e'e'e'"},  // é and É from DOS and from Windows
      {"\x85\xE0\x86\xE5", "a`a`a'a"},   // DOS à and Windows à, DOS å and Windows å
      {"\x81\x9A\xFC", "u\"u\"u"},       // DOS ü Ü, Windows ü
      {"\x94\x99\xF5", "o~o~o~"},        // DOS ö and Ö read as o with a tilde
      {"\x91\xE6\x92\x98", "aeae-y-"},
      {"\xD7\xF7\xD8\xF8", "xx00"},
      {"\xA7\xAB\xBB", "\xA7\xAA\xBA"},  // § stays, « and » become ª and º
      {"\xA8\xBF\xAD\xAE\xAF", "?\?!\"\""},
      {"\x7F~", "\x7F~"},                // 32 to 127 stay
      {"a\tb", "a \x01 b"},              // control characters have no reading
      {std::string("a\0b", 3), "a \x01 b"},
      {"\x9B\xA6\xA9\xAA\xAC\xB0\xBA\xBC\xD0\xDD\xF0\xFF", noReadings},
  };
  for (const Case& c : cases) EXPECT_EQ(NormaliseForTranslation(c.text), c.expected) << c.text;
}

TEST(TranslatorWordsTest, SplitsRunsOfLettersAndMarksAndSingleCharacters) {
  const std::string text = "  Casa,a'gua  5 u\"i'x";
  diphone::translation::WordCursor cursor;
  Word word;
  std::vector<std::string> words;
  std::vector<int> vowels;
  std::vector<bool> accented;
  while (diphone::translation::NextWord(text, cursor, word)) {
    words.push_back(word.letters);
    vowels.push_back(word.vowels);
    accented.push_back(word.accented);
  }
  EXPECT_EQ(words, (std::vector<std::string>{"casa", ",", "a'gua", "5", "u\"i'x"}));
  EXPECT_EQ(vowels, (std::vector<int>{2, 0, 3, 0, 2}));
  EXPECT_EQ(accented, (std::vector<bool>{false, false, true, false, true}));

  // The diaeresis alone does not count as an accent.
  cursor = {};
  ASSERT_TRUE(diphone::translation::NextWord("lingu\"ica", cursor, word));
  EXPECT_FALSE(word.accented);
}

// The word buffer holds 257 characters; the rest of a longer run of letters is read as the
// next word, even when it begins with an accent mark, so nothing written is dropped.
TEST(TranslatorWordsTest, CutsALongRunIntoWordsThatFitTheBuffer) {
  const std::string run = std::string(kWordCapacity - 1, 'b') + "a'" + std::string(43, 'c');
  diphone::translation::WordCursor cursor;
  Word word;
  ASSERT_TRUE(diphone::translation::NextWord(run + " d", cursor, word));
  EXPECT_EQ(word.letters, std::string(kWordCapacity - 1, 'b') + "a");
  EXPECT_EQ(word.vowels, 1);
  EXPECT_FALSE(word.accented);
  ASSERT_TRUE(diphone::translation::NextWord(run + " d", cursor, word));
  EXPECT_EQ(word.letters, "'" + std::string(43, 'c'));
  EXPECT_TRUE(word.accented);
  ASSERT_TRUE(diphone::translation::NextWord(run + " d", cursor, word));
  EXPECT_EQ(word.letters, "d");
  EXPECT_FALSE(diphone::translation::NextWord(run + " d", cursor, word));
}

// The units of each word of a phoneme string ("[a/b][c]" gives {{"a", "b"}, {"c"}}); every
// unit here comes from a rule, so none holds a "/".
std::vector<std::vector<std::string>> WordsAndUnits(const std::string& phonemes) {
  std::vector<std::vector<std::string>> words;
  std::string unit;
  for (const char c : phonemes) {
    if (c == '[') {
      words.emplace_back();
    } else if (c == '/' || c == ']') {
      words.back().push_back(unit);
      unit.clear();
    } else {
      unit += c;
    }
  }
  return words;
}

TEST_F(TranslatorTest, ALongWordIsSpokenWhole) {
  // Marks for the first and last letter of each word show where the word was cut.
  UseRules("%(B)=<\n(B)%=>\n(B)=b\n%(A)=<\n(A)%=>\n(A)=a\n");
  std::string run;
  for (int k = 0; k < 150; ++k) run += "ba";
  const auto words = WordsAndUnits(TranslateToPhonemes(run));
  ASSERT_EQ(words.size(), 2u);
  ASSERT_EQ(words[0].size(), kWordCapacity);
  ASSERT_EQ(words[1].size(), 300 - kWordCapacity);
  EXPECT_EQ(words[0].front(), "<");
  EXPECT_EQ(words[0][1], "a");
  EXPECT_EQ(words[0].back(), ">");
  EXPECT_EQ(words[1].front(), "<");
  EXPECT_EQ(words[1][1], "b");
  EXPECT_EQ(words[1].back(), ">");
}

TEST(TranslatorStressTest, MarksTheStressedVowelByTheWordsEnding) {
  struct Case {
    const char* word;
    const char* expected;
  } cases[] = {
      {"casa", "cAsa"},      {"casas", "cAsas"},   {"papel", "papEl"},
      {"tatu", "tatU"},      {"caixa", "cAixa"},   {"abacaxi", "abacaxI"},
      {"lapis", "lapIs"},    {"falam", "fAlam"},   {"homem", "hOmem"},
      {"bombom", "bombOm"},  {"feliz", "felIz"},   {"brasil", "brasIl"},
      {"mel", "mEl"},        {"aqui", "aquI"},     {"sagui", "saguI"},
      {"guia", "guIa"},      {"quase", "quAse"},   {"caindo", "caIndo"},
      {"rainha", "raInha"},  {"enguia", "enguIa"}, {"averiguo", "averigUo"},
      // A decision taken on the first letter marks nothing.
      {"ama", "ama"},        {"ai", "ai"},         {"tia", "tia"},
      // One vowel and no final l, or no vowel: no stress to find.
      {"mar", "mar"},        {"pa", "pa"},         {"psst", "psst"},
  };
  for (const Case& c : cases) {
    Word word;
    word.letters = c.word;
    for (const char letter : word.letters) word.vowels += diphone::translation::IsVowel(letter);
    diphone::translation::MarkStress(word);
    EXPECT_EQ(word.letters, c.expected) << c.word;
  }
}

TEST(TranslatorStressTest, LeavesWordsWithAnAccentOrAMarkAlone) {
  Word accented{"voce^", 2, true};
  diphone::translation::MarkStress(accented);
  EXPECT_EQ(accented.letters, "voce^");
  // A replacement from the exceptions that carries its own mark gets no second one.
  Word marked{"pEpel", 2, false};
  diphone::translation::MarkStress(marked);
  EXPECT_EQ(marked.letters, "pEpel");
}

TEST_F(TranslatorTest, TranslatesTextWordByWord) {
  UseRules(LetterRules());
  struct Case {
    std::string text;
    std::string expected;
  } cases[] = {
      {"casa", "[c/A/s/a]"},
      {"BR", "[ /_b][ /_r]"},  // consonants only: spelled
      {"BR casa", "[ /_b][ /_r][c/A/s/a]"},
      {"Wagner", "[u/a/g/n/E/r]"},
      {"W", "[ /_w]"},
      {"D'Ávila", "[d/a/ /_'/v/i/l/a]"},  // carries an accent: not stress-marked
      {"você", "[v/o/c/e/ /_^]"},
      {"ção", "[s/s/a/ /_~/o]"},
      {"sim, não.", "[s/i/m][ /_,][n/a/ /_~/o][ /_.]"},
      {"pá!?", "[p/a/ /_'][ /_!][ /_?]"},
      {"a\tb", "[a][ /_\x01][ /_b]"},
      {"R$5", "[ /_r][ /_$][ /_5]"},  // signs other than separators take the default unit
      {"à", "[a/ /_`]"},              // codes 96 and 126 have no rule group
      {"", ""},
      {"   ", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(TranslateToPhonemes(c.text), c.expected) << c.text;
}

}  // namespace
