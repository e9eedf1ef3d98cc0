// Coded tokens to phoneme lines: stress, rules and their contexts, pauses, liaison.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "aravo/data_files.h"
#include "speech/aravo/lexicon.h"
#include "speech/aravo/transcription.h"

namespace {

using Lines = std::vector<std::string>;

TEST(StressPositionTest, RightToLeftScan) {
  const struct {
    const char* word;
    int position;
  } rows[] = {
      {"casa", 2},   {"animal", 5}, {"café", 4},   {"falam", 2},   {"jardim", 5},
      {"quase", 3},  {"aqui", 4},   {"rua", 2},    {"muito", 2},   {"feito", 2},
      {"pai", 2},    {"meu", 2},    {"urubu", 5},  {"que", 3},     {"CASAS", 2},
      {"LÂMPADA", 2}, {"ÁRVORE", 1}, {"tênis", 2},  {"homem", 2},   {"bbb", 0},
      {"", 0},       {"s", 0},      {"qual", 3},   {"guia", 3},    {"seguir", 5},
      // A glide i before the last vowel, a hiatus i before nh, a tilde after an accent, -ns.
      {"ceia", 2},   {"balaio", 4}, {"apoio", 3},  {"dia", 2},     {"rainha", 3},
      {"moinho", 3}, {"saia", 2},   {"órgãos", 1}, {"bênção", 2},  {"irmãos", 4},
      {"itens", 1},  {"homens", 2}, {"jardins", 5}, {"bombons", 5},
  };
  for (const auto& row : rows) EXPECT_EQ(aravo::StressPosition(row.word), row.position) << row.word;
}

TEST(StressPositionTest, LongWordsAreScannedSafely) {
  EXPECT_EQ(aravo::StressPosition(std::string(1000000, 'b') + "casa"), 1000002);
  EXPECT_EQ(aravo::StressPosition(std::string(1000000, 'm')), 0);
  EXPECT_EQ(aravo::StressPosition(std::string(1000000, 'a')), 999999);
}

TEST(UnstressedWordTest, ShortWordsAndAFewListedOnes) {
  for (const char* word : {"DE", "A", "", "COM", "NÃO", "POR", "DAS", "DOS", "SIM"}) {
    EXPECT_TRUE(aravo::IsUnstressedWord(word)) << word;
  }
  for (const char* word : {"CASA", "PARA", "COMO", "NÃOS", "com"}) {
    EXPECT_FALSE(aravo::IsUnstressedWord(word)) << word;
  }
}

TEST(PunctuationPauseTest, EachSignHasItsPause) {
  Lines lines;
  for (const char sign : std::string("!(),.:;? -x'")) aravo::PunctuationPause(sign, lines);
  EXPECT_EQ(lines, (Lines{"_!", "_(", "_)", "_,", "_.", "_:", "_;", "_?"}));
}

class RuleTranscriptionTest : public LanguageFileTest {
 protected:
  void TearDown() override {
    aravo::FreeLetterRules();
    aravo::LoadExceptionLexicon(PathOf("none"));
    LanguageFileTest::TearDown();
  }
  void LoadRules(const std::string& rules, const std::string& exceptions = "") {
    ASSERT_TRUE(aravo::LoadLetterRules(WriteFile("rules.nrl", rules)));
    ASSERT_TRUE(aravo::LoadExceptionLexicon(WriteFile("words.exc", exceptions)));
  }
  static Lines Word(const std::string& word, int stress) {
    Lines lines;
    aravo::TranscribeWord(word, stress, lines);
    return lines;
  }
};

TEST_F(RuleTranscriptionTest, RulesSplitOutputsAndMarkTheStressOnce) {
  LoadRules("(X)=k&s\r\n(H)=\r\n(A)=a\r\n(B)=b\r\n(CH)=x\r\n");
  EXPECT_EQ(Word("AXA", 3), (Lines{"a", "k", "s", ">a", ""}));
  EXPECT_EQ(Word("AXA", 2), (Lines{"a", ">k", "s", "a", ""}));
  // A silent letter at the stress passes the mark on to the next phoneme.
  EXPECT_EQ(Word("BHA", 2), (Lines{"b", ">a", ""}));
  EXPECT_EQ(Word("BHA", 0), (Lines{"b", "a", ""}));
  // A two-letter match is consumed whole; a letter without a rule yields nothing.
  EXPECT_EQ(Word("ACHZA", 1), (Lines{">a", "x", "a", ""}));
  EXPECT_EQ(Word("", 1), (Lines{""}));
}

TEST_F(RuleTranscriptionTest, ContextSymbols) {
  LoadRules(
      "%(A)=i\r\n"        // word start
      "#(B)=v\r\n"        // after a vowel
      "](C)=k\r\n"        // after a back vowel
      "|(D)=t\r\n"        // after N R S
      "(E)%=y\r\n"        // word end
      "(F)#=f\r\n"        // before a vowel
      "(G)&=g\r\n"        // before L M N R Z
      "(I)*P=j\r\n"       // before a consonant other than L R, not consumed
      "(J)+=j\r\n"        // before a front vowel
      "(K)[=q\r\n"        // at a syllable end
      "(L)\\O=l\r\n"      // an optional S, then O
      "(A)=a\r\n(B)=b\r\n(C)=c\r\n(D)=d\r\n(E)=e\r\n(F)=ff\r\n(G)=gg\r\n(I)=i\r\n(J)=jj\r\n"
      "(K)=k\r\n(L)=ll\r\n(N)=n\r\n(O)=o\r\n(P)=p\r\n(R)=r\r\n(S)=s\r\n(M)=m\r\n(U)=u\r\n"
      "(H)=h\r\n");
  const struct {
    const char* word;
    Lines phonemes;
  } rows[] = {
      {"AA", {"i", "a", ""}},          {"ABUB", {"i", "v", "u", "v", ""}},
      {"BB", {"b", "b", ""}},          {"OCUC", {"o", "k", "u", "c", ""}},
      {"NDAD", {"n", "t", "a", "d", ""}}, {"EE", {"e", "y", ""}},
      {"FAF", {"f", "a", "ff", ""}},   {"GMGA", {"g", "m", "gg", "a", ""}},
      {"IP", {"j", "p", ""}},          {"IR", {"i", "r", ""}},
      {"JEJA", {"j", "e", "jj", "a", ""}}, {"KAKHK", {"k", "a", "k", "h", "q", ""}},
      {"LSOLO", {"l", "s", "o", "l", "o", ""}}, {"LSA", {"ll", "s", "a", ""}},
  };
  for (const auto& row : rows) EXPECT_EQ(Word(row.word, 0), row.phonemes) << row.word;
}

TEST_F(RuleTranscriptionTest, LongWordsAndEveryByteAreTranscribedSafely) {
  LoadRules("%(A)=i\r\n(AAAAA)=x\r\n(A)[=an\r\n(A)=a\r\n");
  const Lines lines = Word(std::string(100003, 'A'), 50000);
  ASSERT_EQ(lines.size(), 20000u + 3 + 1);
  EXPECT_EQ(lines[0], "i");
  EXPECT_EQ(lines[10001], ">x");  // the first rule from position 50000 on
  EXPECT_EQ(lines[20001], "a");
  EXPECT_EQ(lines[20002], "an");
  std::string every;
  for (int code = 0; code < 256; ++code) every += static_cast<char>(code);
  EXPECT_EQ(Word(every, 200).back(), "");
}

TEST_F(RuleTranscriptionTest, TheStageWritesCommentsPausesAndWordsThroughTheExceptions) {
  LoadRules("(A)=a\r\n(B)=b\r\n(C)=k\r\n(Ó)=oo\r\n", "BOCA=BÓCA\r\n");
  EXPECT_EQ(
      aravo::TranscribeItems({"555|", "541|ab", "888|,", "555|de", "444|boca", "000|.", "123"}),
      (Lines{";555|",     "__", "",        ";541|ab", "a", "b", "",  // two letters: no stress mark
             ";888|,",    "_,", ";555|de", "",                       // no rule for D or E
             ";444|boca", "b",  ">oo",     "k",       "a", "",  ";000|.", "_.",
             ";123",      "__", "",        "__"}));
}

TEST(LiaisonTest, AFinalR2OrS2BeforeAnUnstressedVowelIsJoined) {
  Lines lines = {";555|", "__", "", ";555|mais", "m", ">a", "y", "s2", "",
                 ";555|amigos", "a", "m", ">i", "g", "\xA8w", "s2", "",
                 ";555|ar", "a", "r2", "", ";555|e", "\xA8y", "",
                 ";555|mar", "m", ">a", "r2", "", ";555|alto", ">a", "w", "t", "\xA8w", "",
                 ";555|,", "_,", ";555|os", "u", "s2", "", "__"};
  aravo::ApplyLiaison(lines);
  EXPECT_EQ(lines[7], "z");    // mais amigos
  EXPECT_EQ(lines[15], "z");   // amigos ar
  EXPECT_EQ(lines[19], "r");   // ar e: a leading "¨" is passed over
  EXPECT_EQ(lines[27], "r2");  // mar alto: the stressed vowel keeps the r2
  EXPECT_EQ(lines[39], "s2");  // os at the end
}

class ShippedTranscriptionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(aravo::LoadLetterRules(std::string(ARAVO_DATA_DIR) + "/portug.nrl"));
    ASSERT_TRUE(aravo::LoadExceptionLexicon(std::string(ARAVO_DATA_DIR) + "/portug.exc"));
  }
  void TearDown() override { aravo::FreeLetterRules(); }
};

// The S and M letters a look-up takes off one by one are not copied again each time.
TEST_F(ShippedTranscriptionTest, WordsOfAMillionLettersPassTheLookUp) {
  std::string word = "CAS" + std::string(1000000, 'S');
  aravo::LookupException(word);
  EXPECT_EQ(word, "CAS" + std::string(1000000, 'S'));
  word = "PORTA" + std::string(1000000, 'M');
  aravo::LookupException(word);
  EXPECT_EQ(word, "PÓRTA" + std::string(1000000, 'M'));
  const Lines lines = aravo::TranscribeItems({"555|p" + std::string(1000000, 'a')});
  EXPECT_EQ(lines.size(), 1000000u + 1 + 1 + 1 + 1);
}

TEST_F(ShippedTranscriptionTest, LiaisonAcrossWords) {
  const struct {
    Lines coded;
    std::size_t line;
    const char* phoneme;
  } rows[] = {
      {{"555|mais", "555|amigos"}, 4, "z"},
      {{"555|mais", "555|altos"}, 4, "s2"},
      {{"555|falar", "555|amanhã"}, 5, "r"},
      {{"555|falar", "555|sempre"}, 5, "r2"},
  };
  for (const auto& row : rows) {
    const Lines lines = aravo::TranscribeItems(row.coded);
    ASSERT_GT(lines.size(), row.line);
    EXPECT_EQ(lines[row.line], row.phoneme) << row.coded[0] << " " << row.coded[1];
  }
}

}  // namespace
