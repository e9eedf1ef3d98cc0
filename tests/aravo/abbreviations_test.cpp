// The abbreviation file: how lines become keys and expansions, and how many it may hold.
#include <gtest/gtest.h>

#include <string>

#include "aravo/data_files.h"
#include "speech/aravo/normalise.h"

namespace {

class AbbreviationsTest : public LanguageFileTest {
 protected:
  void TearDown() override {
    aravo::LoadAbbreviations(PathOf("none.abr"));
    LanguageFileTest::TearDown();
  }
};

TEST_F(AbbreviationsTest, ReadsTrimmedUpperCaseKeysAndSkipsCommentsAndLinesWithoutKey) {
  ASSERT_TRUE(aravo::LoadAbbreviations(WriteFile("a.abr",
      "; abbreviations\r\n"
      "\r\n"
      "  \t Sr = senhor  \r\n"
      "pág=página\n"
      "núm=número=n\r\n"
      "sem sinal de igual\r\n"
      "=sem chave\r\n"
      ";Dr=doutor\r\n"
      "Sr=segunda\r\n"    // the first line of a key counts
      "VAZIA=\r\n")));
  const struct {
    const char* word;
    const char* expansion;
  } rows[] = {
      {"Sr", "senhor"},   {"SR", "senhor"},   {"sr", "senhor"},   {"PÁG", "página"},
      {"pág", "página"},  {"NÚM", "número=n"}, {"Dr", ""},        {"", ""},
      {"SEM SINAL DE IGUAL", ""},             {"VAZIA", ""},      {"S", ""},
  };
  for (const auto& row : rows) EXPECT_EQ(aravo::LookupAbbreviation(row.word), row.expansion) << row.word;
}

TEST_F(AbbreviationsTest, ExpansionsAreCutAtNineHundredNinetyNineCharacters) {
  ASSERT_TRUE(aravo::LoadAbbreviations(WriteFile("a.abr", "LONGA=" + std::string(1500, 'x') + "\r\n")));
  EXPECT_EQ(aravo::LookupAbbreviation("longa"), std::string(999, 'x'));
}

// The table grows past its customary 2000 entries, so no line of a big file is lost.
TEST_F(AbbreviationsTest, EveryEntryOfALargeFileIsFound) {
  std::string text;
  for (int i = 0; i < 5000; ++i) text += "K" + std::to_string(i) + "=e" + std::to_string(i) + "\r\n";
  ASSERT_TRUE(aravo::LoadAbbreviations(WriteFile("a.abr", text)));
  EXPECT_EQ(aravo::LookupAbbreviation("K0"), "e0");
  EXPECT_EQ(aravo::LookupAbbreviation("K2000"), "e2000");
  EXPECT_EQ(aravo::LookupAbbreviation("k4999"), "e4999");
}

TEST_F(AbbreviationsTest, ALoadReplacesTheTableAndAnUnreadableFileLeavesItEmpty) {
  ASSERT_TRUE(aravo::LoadAbbreviations(WriteFile("a.abr", "SR=senhor\r\n")));
  ASSERT_TRUE(aravo::LoadAbbreviations(WriteFile("b.abr", "DR=doutor\r\n")));
  EXPECT_EQ(aravo::LookupAbbreviation("SR"), "");
  EXPECT_EQ(aravo::LookupAbbreviation("DR"), "doutor");
  EXPECT_FALSE(aravo::LoadAbbreviations(PathOf("missing.abr")));
  EXPECT_EQ(aravo::LookupAbbreviation("DR"), "");
  EXPECT_FALSE(aravo::LoadAbbreviations(folder_.string()));
}

TEST_F(AbbreviationsTest, AFileSavedAsUtf8WithByteOrderMarkIsReadAsItsWindows1252Text) {
  ASSERT_TRUE(aravo::LoadAbbreviations(
      WriteFile("a.abr", "\xEF\xBB\xBFp\xC3\xA1g=p\xC3\xA1gina\r\n")));  // pág=página
  EXPECT_EQ(aravo::LookupAbbreviation("PÁG"), "página");
}

}  // namespace
