// The rules file: how lines become rules, and how each context symbol matches.
#include <gtest/gtest.h>

#include <string>

#include "diphone/translator_fixture.h"
#include "speech/diphone/translator.h"

namespace {

using diphone::TranslateToPhonemes;

// Every symbol on the side(s) where it has a meaning, matching and failing, at the word's
// edges and inside it. Each case's rule stands before the letter rules, so "X" shows that it
// won. The words are chosen so that stress marking leaves them alone, or its mark is shown.
TEST_F(TranslatorTest, EachContextSymbolMatchesWhatItStandsFor) {
  struct Case {
    const char* rule;
    const char* text;
    const char* expected;
  } cases[] = {
      // # one or more vowels or accent marks, all of them passed over
      {"#(B)=X", "ab", "[a/X]"},
      {"#(B)=X", "bo", "[b/o]"},
      {"#(B)=X", "a'b", "[a/ /_'/X]"},
      {"%#(B)=X", "eab", "[e/a/X]"},  // read from right to left: vowels, then the start
      {"%#(B)=X", "ceab", "[c/E/a/b]"},
      {"(B)#=X", "bo", "[X/o]"},
      {"(B)#=X", "ob", "[o/b]"},  // the word's end is no vowel
      {"(B)#%=X", "bae", "[X/A/e]"},
      {"(B)#%=X", "baec", "[b/A/e/c]"},
      // % outside the word
      {"%(B)=X", "ba", "[X/a]"},
      {"%(B)=X", "aba", "[a/b/a]"},
      {"(B)%=X", "ab", "[a/X]"},
      {"(B)%=X", "aba", "[a/b/a]"},
      // ] a or o, with or without a mark
      {"](B)=X", "ab", "[a/X]"},
      {"](B)=X", "ob", "[o/X]"},
      {"](B)=X", "a~b", "[a/ /_~/X]"},
      {"](B)=X", "eb", "[e/b]"},
      {"](B)=X", "ba", "[b/a]"},
      // _ a vowel, with or without a mark, or the word's start
      {"_(B)=X", "ub", "[u/X]"},
      {"_(B)=X", "e'b", "[e/ /_'/X]"},
      {"_(B)=X", "ba", "[X/a]"},
      {"_(B)=X", "cba", "[c/b/a]"},
      {"%_(B)=X", "ab", "[a/X]"},  // the vowel is passed over
      // | n, r or s
      {"|(B)=X", "nba", "[n/X/a]"},
      {"|(B)=X", "rba", "[r/X/a]"},
      {"|(B)=X", "sba", "[s/X/a]"},
      {"|(B)=X", "tba", "[t/b/a]"},
      {"|(B)=X", "ba", "[b/a]"},
      // + e or i, with or without a mark
      {"(C)+=X", "ce", "[X/e]"},
      {"(C)+=X", "ci", "[X/i]"},
      {"(C)+=X", "ca", "[c/a]"},
      {"(C)+=X", "ac", "[a/c]"},
      {"(C)+%=X", "ce'", "[X/e/ /_']"},
      {"(C)+%=X", "cel", "[c/E/l]"},
      // & l, m, n, r or z
      {"(A)&=X", "al", "[X/l]"},
      {"(A)&=X", "az", "[X/z]"},
      {"(A)&=X", "ab", "[a/b]"},
      {"(A)&=X", "a", "[a]"},
      // * a consonant other than r and l, not passed over
      {"(A)*=X", "ab", "[X/b]"},
      {"(A)*=X", "ar", "[a/r]"},
      {"(A)*=X", "al", "[a/l]"},
      {"(A)*=X", "a", "[a]"},
      {"(A)*B=X", "ab", "[X/b]"},
      // [ the word's end or a consonant other than h, not passed over
      {"(A)[=X", "a", "[X]"},
      {"(A)[=X", "ab", "[X/b]"},
      {"(A)[=X", "ah", "[a/h]"},
      {"(A)[=X", "ae", "[a/e]"},
      {"(A)[B=X", "ab", "[X/b]"},
      // \ an optional s
      {"(A)\\%=X", "a", "[X]"},
      {"(A)\\%=X", "as", "[X/s]"},
      {"(A)\\%=X", "at", "[a/t]"},
      // any other character stands for itself, the word's letter upper-cased; the left
      // context is read from right to left
      {"BC(A)S=X", "bcas", "[b/c/X/s]"},
      {"BC(A)S=X", "cbas", "[c/b/a/s]"},
      {"BC(A)S=X", "bcat", "[b/c/a/t]"},
      {"(A)~=X", "a~", "[X/ /_~]"},
      {"(A~)=X", "a~", "[X]"},
      {"(A)+=X", "a+", "[a][ /_+]"},  // a sign is a word of its own
  };
  for (const Case& c : cases) {
    UseRules(std::string(c.rule) + "\n" + LetterRules());
    EXPECT_EQ(TranslateToPhonemes(c.text), c.expected) << c.rule << " on " << c.text;
  }
}

TEST_F(TranslatorTest, ReadsRuleLinesIntoCutFields) {
  UseRules(
      "; legend: # (one or more vowels) = anything\r\n"  // comments, though they hold ( ) =
      "  ; (B)=comment\r\n"
      "// a note without the rule's signs\r\n"
      "\r\n"
      "(B)\r\n"                    // no "=": skipped
      "B(=x\r\n"                   // no ")": skipped
      "()=x\r\n"                   // empty match: skipped
      "(b)=x\r\n"                  // lower-case match: no group
      "(`)=x\n(~)=x\n(\x01)=x\n"  // outside codes 32 to 95: no group
      "(\x7F)=x\n"
      "ABCDEFG(HIJKLMN)OPQRSTU=abcdefghijklmnop\r\n"  // fields cut to 5, 5, 5, 11
      "(C)=k |the blank before the bar belongs to the unit\r\n"
      "(D)=d|note\r\n" +
      LetterRules());
  struct Case {
    const char* text;
    const char* expected;
  } cases[] = {
      {"bo", "[b/o]"},
      {"abcdehijklopqrs", "[a/b/k /d/e/abcdefghijk/o/p/q/r/s]"},
      {"cado", "[k /A/d/o]"},
      {"a`", "[a/ /_`]"},
      {"a~", "[a/ /_~]"},
      {"\x7F", "[ /_\x7F]"},
  };
  for (const Case& c : cases) EXPECT_EQ(TranslateToPhonemes(c.text), c.expected) << c.text;
}

TEST_F(TranslatorTest, TriesTheRulesOfALetterInFileOrder) {
  // The last A rules stand after the B and C rules; they still belong to the A group.
  UseRules("(A)%=1\n(AB)=2\n(B)=b\n(C)=c\n(A)=3\n(A)=4\n");
  struct Case {
    const char* text;
    const char* expected;
  } cases[] = {
      {"a", "[1]"},
      {"abc", "[2/c]"},  // a two-letter match moves on by two
      {"ac", "[3/c]"},   // the first rule that matches wins
      {"ab", "[2]"},
      {"cab", "[c/2]"},
      {"aab", "[3/2]"},
      {"caa", "[c/3/1]"},
  };
  for (const Case& c : cases) EXPECT_EQ(TranslateToPhonemes(c.text), c.expected) << c.text;
}

TEST_F(TranslatorTest, TheStressedLetterMarksTheFirstVowelOfItsUnit) {
  UseRules("(C)=k\n(A)%=a^\n(A)=pa\n(S)#=z\n(E)=x\n(L)=l\n(P)=p\n");
  EXPECT_EQ(TranslateToPhonemes("casa"), "[k/pA/z/a^]");
  EXPECT_EQ(TranslateToPhonemes("papel"), "[p/pa/p/x/l]");   // a unit without a vowel
  EXPECT_EQ(TranslateToPhonemes("tatu"), "[ /_T/pa/ /_T/ /_U]");  // the default unit
}

TEST_F(TranslatorTest, RulesAreReplacedOnLoadAndFreedAtClose) {
  UseRules("(A)=1\n");
  UseRules("(A)=2\n");
  EXPECT_EQ(TranslateToPhonemes("a"), "[2]");
  diphone::FreeRules();
  EXPECT_EQ(TranslateToPhonemes("a"), "[ /_A]");
  EXPECT_FALSE(diphone::LoadRules(Folder() + "/missing.rgr"));
  EXPECT_FALSE(diphone::LoadRules(Folder()));  // a folder is no rules file
}

}  // namespace
