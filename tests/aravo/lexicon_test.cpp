// The rules and exception files: how their lines are cut into fields, filed and found.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "aravo/data_files.h"
#include "speech/aravo/lexicon.h"

namespace {

using aravo::LetterRule;

class LetterRulesTest : public LanguageFileTest {
 protected:
  void TearDown() override {
    aravo::FreeLetterRules();
    LanguageFileTest::TearDown();
  }
};

bool SameRule(const LetterRule& rule, const LetterRule& expected) {
  return rule.leftContext == expected.leftContext && rule.match == expected.match &&
         rule.rightContext == expected.rightContext && rule.output == expected.output;
}

TEST_F(LetterRulesTest, CutsEachLineIntoItsFieldsAndFilesItUnderTheMatchsFirstLetter) {
  ASSERT_TRUE(aravo::LoadLetterRules(WriteFile("r.nrl",
      "; legend: # vowel, % word boundary\r\n"
      "%(CH)=x|comment after the bar\r\n"
      "#(S)#=z\r\n"
      "(S)=s2\r\n"
      "ABCDEFG(AAAAAAA)HIJKLMN=abcdefghijklmnopqrstuvwxyz|long fields are cut\r\n"
      "(Ç)=s\n"
      "(K)=k&s   \r\n")));
  struct Case {
    unsigned char first;
    std::vector<LetterRule> rules;
  } cases[] = {
      {'C', {{"%", "CH", "", "x"}}},
      {'S', {{"#", "S", "#", "z"}, {"", "S", "", "s2"}}},  // file order
      {'A', {{"ABCDE", "AAAAA", "HIJKL", "abcdefghijklmnopqrst"}}},
      {0xC7, {{"", "Ç", "", "s"}}},
      {'K', {{"", "K", "", "k&s"}}},  // blanks at the line's end are not output
      {'B', {}},
  };
  for (const Case& c : cases) {
    const std::vector<LetterRule>& rules = aravo::LetterRulesFor(c.first);
    ASSERT_EQ(rules.size(), c.rules.size()) << "list of " << c.first;
    for (std::size_t i = 0; i < rules.size(); ++i) {
      EXPECT_TRUE(SameRule(rules[i], c.rules[i]))
          << c.first << " rule " << i << ": " << rules[i].leftContext << "(" << rules[i].match
          << ")" << rules[i].rightContext << "=" << rules[i].output;
    }
  }
}

TEST_F(LetterRulesTest, UnfinishedLinesRunToTheirEndAndLinesWithoutMatchAreSkipped) {
  ASSERT_TRUE(aravo::LoadLetterRules(WriteFile("r.nrl",
      "no parenthesis at all\r\n"
      "\r\n"
      "   \r\n"
      "X()Y=z\r\n"
      "#(L\r\n"
      "(M)%\r\n"
      "(N)#=n|\r\n"
      "(\x01)=a\r\n")));
  const auto& l = aravo::LetterRulesFor('L');
  ASSERT_EQ(l.size(), 1u);
  EXPECT_TRUE(SameRule(l[0], {"#", "L", "", ""}));
  const auto& m = aravo::LetterRulesFor('M');
  ASSERT_EQ(m.size(), 1u);
  EXPECT_TRUE(SameRule(m[0], {"", "M", "%", ""}));
  const auto& n = aravo::LetterRulesFor('N');
  ASSERT_EQ(n.size(), 1u);
  EXPECT_TRUE(SameRule(n[0], {"", "N", "#", "n"}));
  for (int code = 0; code < 256; ++code) {
    if (code == 'L' || code == 'M' || code == 'N') continue;
    EXPECT_TRUE(aravo::LetterRulesFor(static_cast<unsigned char>(code)).empty()) << code;
  }
}

TEST_F(LetterRulesTest, ALoadReplacesTheRulesAndFreeingEmptiesEveryList) {
  ASSERT_TRUE(aravo::LoadLetterRules(WriteFile("a.nrl", "(A)=a\r\n(B)=b\r\n")));
  ASSERT_TRUE(aravo::LoadLetterRules(WriteFile("b.nrl", "(A)=@\r\n")));
  ASSERT_EQ(aravo::LetterRulesFor('A').size(), 1u);
  EXPECT_EQ(aravo::LetterRulesFor('A')[0].output, "@");
  EXPECT_TRUE(aravo::LetterRulesFor('B').empty());
  aravo::FreeLetterRules();
  EXPECT_TRUE(aravo::LetterRulesFor('A').empty());
}

TEST_F(LetterRulesTest, AFileThatCannotBeReadFailsTheLoad) {
  EXPECT_FALSE(aravo::LoadLetterRules(PathOf("missing.nrl")));
  EXPECT_FALSE(aravo::LoadLetterRules(folder_.string()));  // a folder opens but cannot be read
}

class ExceptionLexiconTest : public LanguageFileTest {};

std::string Looked(std::string word) {
  aravo::LookupException(word);
  return word;
}

TEST_F(ExceptionLexiconTest, FindsWordsAndFallsBackToStemsWithoutFinalSAndM) {
  ASSERT_TRUE(aravo::LoadExceptionLexicon(WriteFile("e.exc",
      "porta=pórta\r\n"    // lower-case lines match upper-case words
      "TÁXI=TÁKSI\r\n"
      "BE=BÉ\r\n"
      "CASA=KÁZA\r\n"
      "VAZIO=\r\n"         // an empty alias
      "SEM IGUAL\r\n"      // no "=": the word ends in "|" and is never found
      "\r\n"
      "ÊXITO=ÊZITO\r\n"
      "DUAS=DÚAS\r\n"
      "DUAS=DÚUAS\r\n")));  // a word listed twice: its first line counts
  const struct {
    const char* word;
    const char* expected;
  } cases[] = {
      {"PORTA", "PÓRTA"},
      {"PORTAS", "PÓRTAS"},
      {"TÁXI", "TÁKSI"},
      {"CASAS", "KÁZAS"},
      {"BEM", "BÉM"},
      {"BESMS", "BÉSMS"},
      {"SSMM", "SSMM"},     // only S and M letters, not listed: unchanged
      {"MESA", "MESA"},
      {"VAZIO", ""},
      {"SEM IGUAL", "SEM IGUAL"},
      {"ÊXITO", "ÊZITO"},   // byte order with letters above 127
      {"ÊXITOS", "ÊZITOS"},
      {"DUAS", "DÚAS"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(Looked(c.word), c.expected) << c.word;
}

TEST_F(ExceptionLexiconTest, KeepsTheFirstFifteenThousandEntriesOnly) {
  std::string text;
  for (int i = 1; i <= aravo::kMaxExceptionEntries + 1; ++i) {
    text += "W" + std::to_string(i) + "=A" + std::to_string(i) + "\r\n";
    if (i % 1000 == 0) text += "\r\n";  // empty lines take no entry
  }
  ASSERT_TRUE(aravo::LoadExceptionLexicon(WriteFile("e.exc", text)));
  EXPECT_EQ(Looked("W1"), "A1");
  EXPECT_EQ(Looked("W15000"), "A15000");
  EXPECT_EQ(Looked("W15001"), "W15001");
}

TEST_F(ExceptionLexiconTest, LongLinesKeepTheirWordAndAlias) {
  const std::string longWord(300, 'X');
  const std::string longAlias(400, 'Y');
  ASSERT_TRUE(aravo::LoadExceptionLexicon(WriteFile("e.exc",
      std::string(252, 'A') + "=B\r\n" + longWord + "=" + longAlias + "\r\n" +
      "C=" + std::string(260, 'D') + "\r\n")));
  EXPECT_EQ(Looked(std::string(252, 'A')), "B");
  EXPECT_EQ(Looked(longWord), longAlias);
  EXPECT_EQ(Looked("C"), std::string(260, 'D'));
}

TEST_F(ExceptionLexiconTest, ALoadReplacesTheTableAndAnUnreadableFileFails) {
  ASSERT_TRUE(aravo::LoadExceptionLexicon(WriteFile("a.exc", "UM=ÚM\r\n")));
  ASSERT_TRUE(aravo::LoadExceptionLexicon(WriteFile("b.exc", "DOIS=DÔIS\r\n")));
  EXPECT_EQ(Looked("UM"), "UM");
  EXPECT_EQ(Looked("DOIS"), "DÔIS");
  EXPECT_FALSE(aravo::LoadExceptionLexicon(PathOf("missing.exc")));
  EXPECT_EQ(Looked("DOIS"), "DOIS");
}

}  // namespace
