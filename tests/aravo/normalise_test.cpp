// Text normalisation: one row per case, text in, normalised text out, grouped by feature.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "aravo/data_files.h"
#include "speech/aravo/normalise.h"

namespace {

struct Row {
  const char* in;
  const char* out;
};

// Abbreviations the rows rely on, loaded once per test.
class NormaliseTest : public LanguageFileTest {
 protected:
  void SetUp() override {
    LanguageFileTest::SetUp();
    ASSERT_TRUE(aravo::LoadAbbreviations(WriteFile("t.abr",
        "SR=senhor\r\nDra=doutora\r\nkm=quilômetros\r\npág=página\r\n")));
  }
  void TearDown() override {
    aravo::LoadAbbreviations(PathOf("none.abr"));  // leaves the table empty
    LanguageFileTest::TearDown();
  }
  static void Check(const Row* rows, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
      EXPECT_EQ(aravo::NormaliseText(rows[i].in), rows[i].out) << "text: [" << rows[i].in << "]";
    }
  }
};

template <std::size_t N>
constexpr std::size_t CountOf(const Row (&)[N]) { return N; }

TEST_F(NormaliseTest, Numbers) {
  const Row rows[] = {
      {"a 0", "a zero "},
      {"a 00", "a zero zero "},
      {"a 05", "a zero cinco "},
      {"007 a", "zero zero sete  a"},
      {"100", "cem "},
      {"101", "cento e um "},
      {"110", "cento e dez "},
      {"123", "cento e vinte e três "},
      {"205", "duzentos e cinco "},
      {"1000", "mil  "},
      {"1001", "mil e um "},
      {"1234", "mil e duzentos e trinta e quatro "},
      {"2020", "dois mil e vinte "},
      {"2000000", "dois milhões  "},
      {"1000005", "um milhão e cinco "},
      {"1200000", "um milhão e duzentos mil  "},
      {"1.000", "mil  "},
      {"1.000 pessoas", "mil   pessoas"},
      {"1.000.000", "um milhão  "},
      {"1.0000", "um ponto zero zero zero zero "},
      {"999999999999999",
       "novecentos e noventa e nove trilhões novecentos e noventa e nove bilhões novecentos e "
       "noventa e nove milhões novecentos e noventa e nove mil e novecentos e noventa e nove "},
      // A 16th digit begins a new number.
      {"9999999999999999",
       "novecentos e noventa e nove trilhões novecentos e noventa e nove bilhões novecentos e "
       "noventa e nove milhões novecentos e noventa e nove mil e novecentos e noventa e nove "
       "nove "},
      // A thousands point whose digits no longer fit is read as a point, not swallowed.
      {"1000000000000.000", "um trilhão  ponto zero zero zero "},
  };
  Check(rows, CountOf(rows));
}

TEST_F(NormaliseTest, Decimals) {
  const Row rows[] = {
      {"3,14", "três vírgula quatorze "},
      {"1.5", "um ponto cinco "},
      {"1.00", "um ponto zero zero "},
      {"0,5%", "zero vírgula cinco  porcento "},
      {"1,2,3", "um vírgula dois vírgula três "},
      {"fim 3, e", "fim três , e"},
  };
  Check(rows, CountOf(rows));
}

TEST_F(NormaliseTest, Ordinals) {
  const Row rows[] = {
      {"1º", "primeiro "},
      {"1ª", "primeira "},
      {"2os.", "segundos "},
      {"2as.", "segundas "},
      {"2o. lugar", "segundo  lugar"},
      {"3a. vez", "terceira  vez"},
      {"21º", "vigésimo primeiro "},
      {"21ª", "vigésima primeira "},
      {"70ª", "septuagésima "},
      {"100º", "centésimo "},
      {"1999º", "milésimo nongentésimo nonagésimo nono "},
      {"2000º", "dois mil  "},
      {"007º", "sétimo "},  // the leading zeros are not spoken before an ordinal
      {"2o", "dois o"},
  };
  Check(rows, CountOf(rows));
}

TEST_F(NormaliseTest, HyphensAndSigns) {
  const Row rows[] = {
      {"-5", "menos cinco "},
      {"5-3", " cinco traço três "},
      {"123-45", " um dois três traço quatro cinco "},
      {"9-", " nove traço "},
      {"sim - não", "sim , não"},
      {" - não", " , não"},
      {"guarda-chuva", "guarda-chuva"},
      {"a - - o", "a , , o"},
      {"a -o", "a  traço o"},
  };
  Check(rows, CountOf(rows));
}

TEST_F(NormaliseTest, Abbreviations) {
  const Row rows[] = {
      {"Sr. Silva", "senhor Silva"},
      {"o sr. Silva", "o senhor Silva"},
      {"a Dra. Ana", "a doutora Ana"},
      {"DRA. Ana", "doutora Ana"},
      {"5 km. depois", "cinco  quilômetros depois"},
      {"na pág. 3", "na página três "},
      {"Sr.", "Sr."},           // at the very end of the text the point stays
      {"o Sr.Silva", "o Sr ponto Silva"},
      {"Sra. Silva", "Sra. Silva"},  // not in the table
      {"BH. Cidade", "bêagá. Cidade"},
  };
  Check(rows, CountOf(rows));
}

TEST_F(NormaliseTest, ConsonantWordsAreSpelled) {
  const Row rows[] = {
      {"www", "dábliudábliudábliu"},
      {"NBR", "ênebêérre"},
      {"nbr", "enebêérre"},
      {"CD", " sê dê"},
      {"o BH", "o bêagá"},
      {"çç", "Cê cedilhaCê cedilha"},
      {"km", "cáême"},  // an abbreviation is kept whole only before its point
      {"TV", "têvê"},
  };
  Check(rows, CountOf(rows));
}

TEST_F(NormaliseTest, OneCharacterTextsAreNamed) {
  const Row rows[] = {
      {"a", "a"},  {"b", "bê"},     {"5", "cinco"},      {"0", "zéro"}, {"7", "séte"},
      {"?", "interrogação"},         {"à", "A grave"},    {"C", " sê"},  {" ", "espaço"},
      {"\n", ""},  {"\xFF", ""},     {"÷", "vezes"},
  };
  Check(rows, CountOf(rows));
}

TEST_F(NormaliseTest, PunctuationAndOtherCharacters) {
  const Row rows[] = {
      {"fim.Depois", "fim ponto Depois"},
      {"Ah...", "Ah... "},
      {"Olá, mundo!", "Olá, mundo!"},
      {"(sim); não: talvez?", "(sim); não: talvez?"},
      {"a@b", "a arrôba bê"},
      {"a # o", "a  sustenido  o"},
      {"a\x01o", "a  o"},
      {"1+1=2", "um  mais um  igual dois "},
      {"«Sim»", " Aspas esquerdas Sim aspas direitas "},
  };
  Check(rows, CountOf(rows));
  EXPECT_EQ(aravo::NormaliseText(std::string("a\0o", 3)), "a  o");
}

// Line breaks and tabs count as a blank: dropping them would join "casa" and "mesa", and
// would read the point that ends a line as "ponto".
TEST_F(NormaliseTest, LineBreaksAndTabsActAsBlanks) {
  const Row rows[] = {
      {"casa\nmesa", "casa mesa"},
      {"casa\r\nmesa", "casa mesa"},
      {"a\te", "a e"},
      {"fim.\r\n", "fim. "},
      {"fim.\r\nDepois", "fim. Depois"},
      {"\n\nola", " ola"},
      {"1\n2", "um  dois "},
      {"Sr.\nSilva", "senhor Silva"},
  };
  Check(rows, CountOf(rows));
}

TEST(NumberWordsTest, Cardinals) {
  const struct {
    std::uint64_t value;
    const char* words;
  } rows[] = {
      {0, "zero"},
      {13, "treze"},
      {20, "vinte"},
      {50, "cinqüenta"},
      {1000, "mil "},
      {1000000, "um milhão "},
      {2000000000, "dois bilhões "},
      {1001000, "um milhão e um mil "},
      {1000000000000, "um trilhão "},
      {100100, "cem mil e cem"},
      {999999999999999, "novecentos e noventa e nove trilhões novecentos e noventa e nove "
                        "bilhões novecentos e noventa e nove milhões novecentos e noventa e nove "
                        "mil e novecentos e noventa e nove"},
  };
  for (const auto& row : rows) EXPECT_EQ(aravo::CardinalWords(row.value), row.words) << row.value;
  EXPECT_EQ(aravo::CardinalWords(UINT64_MAX), aravo::CardinalWords(UINT64_MAX % 1000000000000000));
}

TEST(NumberWordsTest, Ordinals) {
  using aravo::Gender;
  const struct {
    Gender gender;
    std::uint64_t value;
    const char* words;
  } rows[] = {
      {Gender::kMasculine, 0, "zero"},
      {Gender::kMasculine, 1, "primeiro"},
      {Gender::kFeminine, 10, "décima"},
      {Gender::kMasculine, 1000, "milésimo"},
      {Gender::kFeminine, 1001, "milésima primeira"},
      {Gender::kMasculine, 1999, "milésimo nongentésimo nonagésimo nono"},
      {Gender::kFeminine, 2000, "dois mil "},
      {Gender::kMasculine, 405, "quadrigentésimo quinto"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(aravo::OrdinalWords(row.gender, row.value), row.words) << row.value;
  }
}

TEST(CharacterNameTest, NamesAndCodesWithout) {
  const struct {
    int code;
    const char* name;
  } rows[] = {
      {32, "espaço"}, {48, "zéro"},  {74, "jóta"},   {106, "jota"},       {78, "êne"},
      {110, "ene"},   {126, "til"},  {161, "exclamação reversa"},         {186, "ordinal masculino"},
      {192, "A grave"},                {220, "U com trema"},                {224, "A grave"},
      {231, "Cê cedilha"},             {247, "vezes"},                      {252, "U com trema"},
      {0, ""},        {31, ""},      {127, ""},      {160, ""},           {221, ""},
      {223, ""},      {253, ""},     {255, ""},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(aravo::CharacterName(static_cast<unsigned char>(row.code)), row.name) << row.code;
  }
}

// Whatever the bytes, normalisation gives text and stays linear in the text's length.
TEST(NormaliseRobustnessTest, EveryByteAndHugeTexts) {
  for (int first = 0; first < 256; ++first) {
    const std::string one(1, static_cast<char>(first));
    EXPECT_NO_FATAL_FAILURE(aravo::NormaliseText(one));
    for (int second = 0; second < 256; second += 1) {
      std::string pair = one + static_cast<char>(second) + one;
      const std::string out = aravo::NormaliseText(pair);
      EXPECT_LE(out.size(), 200u);
    }
  }

  const std::string digits(10000, '7');
  const std::string spokenDigits = aravo::NormaliseText(digits);
  // 666 numbers of 15 sevens and one of 10.
  std::size_t trillions = 0;
  for (std::size_t at = spokenDigits.find("trilhões"); at != std::string::npos;
       at = spokenDigits.find("trilhões", at + 1)) {
    ++trillions;
  }
  EXPECT_EQ(trillions, 666u);

  std::string million;
  std::uint32_t state = 12345;
  while (million.size() < 1000000) {
    state = state * 1103515245u + 12345u;
    million += static_cast<char>(state >> 24);
  }
  const std::string spoken = aravo::NormaliseText(million);
  EXPECT_GT(spoken.size(), million.size());

  const std::string zeros = "a " + std::string(10000, '0');
  EXPECT_EQ(aravo::NormaliseText(zeros).size(), 2 + 9999 * 5 + 5);
}

}  // namespace
