// The three loaders read any bytes: random files load, and lookups afterwards stay sound.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "aravo/data_files.h"
#include "speech/aravo/lexicon.h"
#include "speech/aravo/normalise.h"

namespace {

class LoaderRobustnessTest : public LanguageFileTest {
 protected:
  void TearDown() override {
    aravo::FreeLetterRules();
    aravo::LoadAbbreviations(PathOf("none"));
    aravo::LoadExceptionLexicon(PathOf("none"));
    LanguageFileTest::TearDown();
  }
};

// Bytes biased towards the characters the formats give meaning to.
std::string RandomFile(std::uint32_t seed, std::size_t size) {
  static const char kSpecial[] = "()=|;\r\n SMsm#%&*+[]\\\xC3\xE3";
  std::string bytes;
  for (std::size_t i = 0; i < size; ++i) {
    seed = seed * 1664525u + 1013904223u;
    const unsigned byte = seed >> 24;
    bytes += byte < 128 ? kSpecial[byte % (sizeof kSpecial - 1)] : static_cast<char>(byte);
  }
  return bytes;
}

TEST_F(LoaderRobustnessTest, RandomFilesLoadAndLookupsStaySound) {
  for (std::uint32_t seed = 1; seed <= 40; ++seed) {
    const std::string file = WriteFile("random", RandomFile(seed, 3000 + seed * 97));
    ASSERT_TRUE(aravo::LoadLetterRules(file));
    ASSERT_TRUE(aravo::LoadExceptionLexicon(file));
    ASSERT_TRUE(aravo::LoadAbbreviations(file));
    for (int code = 0; code < 256; ++code) {
      for (const aravo::LetterRule& rule : aravo::LetterRulesFor(static_cast<unsigned char>(code))) {
        ASSERT_FALSE(rule.match.empty());
        ASSERT_EQ(static_cast<unsigned char>(rule.match[0]), code);
        ASSERT_LE(rule.leftContext.size(), aravo::kRuleContextLength);
        ASSERT_LE(rule.match.size(), aravo::kRuleContextLength);
        ASSERT_LE(rule.rightContext.size(), aravo::kRuleContextLength);
        ASSERT_LE(rule.output.size(), aravo::kRuleOutputLength);
      }
    }
    for (const std::string& word : {std::string("SSMM"), std::string("M"), std::string("CASAS"),
                                    RandomFile(seed, 12)}) {
      std::string looked = word;
      aravo::LookupException(looked);
      aravo::LookupAbbreviation(word);
    }
    const std::string text = RandomFile(seed + 1000, 2000);
    EXPECT_FALSE(aravo::NormaliseText(text).empty());
  }
}

}  // namespace
