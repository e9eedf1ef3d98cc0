// Cutting normalised text into classed tokens and giving them intonation codes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "aravo/data_files.h"
#include "platform/sim/sim.h"
#include "speech/aravo/prosody_config.h"
#include "speech/aravo/word_coding.h"

namespace {

using Lines = std::vector<std::string>;

class WordCodingTest : public LanguageFileTest {
 protected:
  void SetUp() override {
    LanguageFileTest::SetUp();
    sim::Reset();
  }
  void LoadPatterns(const std::string& keys, const std::string& patterns) {
    ASSERT_TRUE(
        aravo::LoadProsody(WriteFile("portug.pro", "[DURAÇÃO]\r\na=100\r\n[CHAVES]\r\n" + keys +
                                                       "[PROSÓDIA]\r\n" + patterns)));
  }
};

TEST_F(WordCodingTest, TokensAndTheirClasses) {
  LoadPatterns("o=AR\r\nde=pr\r\n", "");
  const struct {
    const char* text;
    Lines items;
  } rows[] = {
      {"Olá, mundo.", {"[--]", "[XX]Olá", "[,,],", "[XX]mundo", "[..].", "[--]"}},
      {"Ah...", {"[--]", "[XX]Ah", "[.-].", "[--]"}},
      {"O livro de João?", {"[--]", "[AR]O", "[XX]livro", "[PR]de", "[XX]João", "[??]?", "[--]"}},
      {"guarda-chuva!", {"[--]", "[XX]guarda", "[--]-", "[XX]chuva", "[!!]!", "[--]"}},
      {"  a  (b)  ", {"[--]", "[XX]a", "[((](", "[XX]b", "[))])"}},
      {"", {"[--]"}},
      {"   ", {"[--]"}},
  };
  for (const auto& row : rows) EXPECT_EQ(aravo::SplitTokens(row.text), row.items) << row.text;
  EXPECT_EQ(aravo::WordClass("DE"), "PR");
  EXPECT_EQ(aravo::WordClass("de"), "PR");
  EXPECT_EQ(aravo::WordClass("casa"), "");
}

TEST_F(WordCodingTest, CodesComeFromTheFirstFittingSpecification) {
  LoadPatterns("o=AR\r\n",
                     "|AR|=444\r\n"
                     "||..=541\r\n"
                     "XX|XX|=?53\r\n"
                     "|..|=000\r\n");
  const Lines items = {"[--]", "[AR]O", "[XX]gato", "[XX]preto", "[XX]dorme", "[..].", "[--]"};
  EXPECT_EQ(aravo::AssignCodes(items, true),
            (Lines{"555|", "444|O", "555|gato", "553|preto", "541|dorme", "000|.", "555|"}));
  // Without the flag, and with no pattern fitting, every code is "555".
  EXPECT_EQ(aravo::AssignCodes(items, false),
            (Lines{"555|", "555|O", "555|gato", "555|preto", "555|dorme", "555|.", "555|"}));
}

TEST_F(WordCodingTest, AQuestionMarkRepeatsTheLastDigitOfThePreviousCode) {
  LoadPatterns("", "|XX|=?53\r\n|YY|=541\r\n");
  EXPECT_EQ(aravo::AssignCodes({"[YY]a", "[XX]b"}, true), (Lines{"541|a", "153|b"}));
  EXPECT_EQ(aravo::AssignCodes({"[XX]b", "[XX]c"}, true), (Lines{"553|b", "353|c"}));
}

// Codes always keep three characters so that later stages find the "|" in its place.
TEST_F(WordCodingTest, ShortOrLongCodesKeepThreeCharacters) {
  LoadPatterns("", "|XX|=7\r\n|YY|=12345\r\n");
  EXPECT_EQ(aravo::AssignCodes({"[XX]a", "[YY]b", "[", ""}, true),
            (Lines{"755|a", "123|b", "555|", "555|"}));
}

TEST_F(WordCodingTest, EveryByteAndLongWordsAreCutSafely) {
  LoadPatterns("", "|XX|=565\r\n");
  std::string text;
  for (int round = 0; round < 4; ++round) {
    for (int code = 0; code < 256; ++code) text += static_cast<char>(code);
  }
  text += std::string(100000, 'a');
  const Lines items = aravo::SplitTokens(text);
  const Lines coded = aravo::AssignCodes(items, true);
  ASSERT_EQ(coded.size(), items.size());
  EXPECT_EQ(items.back(), "[XX]" + std::string(100000, 'a'));
  EXPECT_EQ(coded.back(), "565|" + std::string(100000, 'a'));
  for (std::size_t i = 0; i < items.size(); ++i) {
    ASSERT_EQ(items[i].front(), '[');
    ASSERT_EQ(items[i][3], ']');
    ASSERT_EQ(coded[i][3], '|');
  }
}

}  // namespace
