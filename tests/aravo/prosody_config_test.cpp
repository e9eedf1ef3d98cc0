// Loading the prosody configuration and the diphone inventory.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "aravo/data_files.h"
#include "platform/sim/sim.h"
#include "speech/aravo/durations_pitch.h"
#include "speech/aravo/prosody_config.h"
#include "speech/aravo/word_coding.h"

namespace {

constexpr const char* kDurations = "[DURAÇÃO]\r\na=100\r\np=80\r\n";
constexpr const char* kKeys = "[CHAVES]\r\no=ar\r\nde=PR\r\n";
constexpr const char* kPatterns =
    "[PROSÓDIA]\r\nHERTZ=200\r\nTABHERTZ=80,85,90,95,100,105,110,115,120,125\r\n|XX|=?53\r\n";

class ProsodyConfigTest : public LanguageFileTest {
 protected:
  void SetUp() override {
    LanguageFileTest::SetUp();
    sim::Reset();
  }
  void TearDown() override {
    aravo::ReleaseDiphoneInventory();
    LanguageFileTest::TearDown();
  }
  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const auto& box : sim::MessageBoxes()) texts.push_back(box.text);
    return texts;
  }
  bool Load(const std::string& text) { return aravo::LoadProsody(WriteFile("portug.pro", text)); }
};

using Texts = std::vector<std::string>;

TEST_F(ProsodyConfigTest, SectionsLoadInAnyOrder) {
  for (const std::string& text : {std::string(kDurations) + kKeys + kPatterns,
                                  std::string(kPatterns) + kKeys + kDurations}) {
    ASSERT_TRUE(Load(text));
    ASSERT_EQ(aravo::DurationTable().size(), 2u);
    EXPECT_EQ(aravo::DurationTable()[1].phoneme, "p");
    EXPECT_EQ(aravo::DurationTable()[1].duration, 80);
    ASSERT_EQ(aravo::KeyWordTable().size(), 2u);
    EXPECT_EQ(aravo::KeyWordTable()[0].word, "DE");  // sorted
    EXPECT_EQ(aravo::KeyWordTable()[1].wordClass, "AR");
    EXPECT_EQ(aravo::BasePitch(), 200);
    EXPECT_EQ(aravo::PitchTable()[9], 125);
    ASSERT_EQ(aravo::IntonationPatterns().size(), 1u);
    EXPECT_EQ(aravo::IntonationPatterns()[0].current, "XX");
    EXPECT_EQ(aravo::IntonationPatterns()[0].code, "?53");
  }
  EXPECT_EQ(Messages(), Texts{});
}

TEST_F(ProsodyConfigTest, FieldsAreTrimmedCutAndUpperCased) {
  ASSERT_TRUE(Load("[DURAÇÃO]\r\n* comment\r\n;comment\r\n\r\n  abc  =  70 \r\n"
                   "[CHAVES]\r\n  ação = verbo \r\n"
                   "[PROSÓDIA]\r\n abcd|ef|ghij = 123 \r\nxx=9\r\n"));
  EXPECT_EQ(aravo::DurationTable()[0].phoneme, "ab");
  EXPECT_EQ(aravo::DurationTable()[0].duration, 70);
  EXPECT_EQ(aravo::KeyWordTable()[0].word, "AÇÃO");
  EXPECT_EQ(aravo::KeyWordTable()[0].wordClass, "VE");
  const auto& first = aravo::IntonationPatterns()[0];
  EXPECT_EQ(first.before + "/" + first.current + "/" + first.after + "/" + first.code,
            "ABC/EF/GHI/123");
  const auto& second = aravo::IntonationPatterns()[1];
  EXPECT_EQ(second.before + "/" + second.current + "/" + second.after + "/" + second.code,
            "XX///9");
  EXPECT_EQ(aravo::BasePitch(), 230);  // no HERTZ line: the default of every load
}

TEST_F(ProsodyConfigTest, FaultsShowTheirMessageOnceAndFailTheLoad) {
  const struct {
    std::string text;
    bool loads;
    std::string message;
  } rows[] = {
      {std::string(kKeys) + kPatterns, false, "Duração dos difones errada ou ausente"},
      {std::string(kDurations) + kPatterns, false, "Prosódia: palavras chaves ausentes"},
      {std::string(kDurations) + kKeys, false, "Prosódia: especificações ausentes"},
      {std::string("[DURAÇÃO]\r\np=abc\r\n") + kKeys + kPatterns, true,
       "Configuração da prosódia: fonema errado: p=abc"},
      {std::string("[DURAÇÃO]\r\np 80\r\n") + kKeys + kPatterns, false,
       "Configuração da prosódia: fonema errado: p 80"},
      {std::string(kDurations) + "[CHAVES]\r\nde PR\r\n" + kPatterns, false,
       "Configuração da prosódia: chave errada: de PR"},
      {std::string(kDurations) + kKeys + "[PROSÓDIA]\r\n|XX| 555\r\n", false,
       "Configuração da prosódia: chave errada: |XX| 555"},
  };
  for (const auto& row : rows) {
    sim::Reset();
    EXPECT_EQ(Load(row.text), row.loads) << row.message;
    EXPECT_EQ(Messages(), Texts{row.message});
  }
  // The unreadable duration is stored as 100.
  ASSERT_TRUE(Load(std::string("[DURAÇÃO]\r\np=abc\r\n") + kKeys + kPatterns));
  EXPECT_EQ(aravo::DurationTable()[0].duration, 100);

  sim::Reset();
  EXPECT_FALSE(aravo::LoadProsody(PathOf("missing.pro")));
  EXPECT_EQ(Messages(), Texts{"Configuração da prosódia não foi achada"});
}

// A pitch line that does not read whole fails the load and leaves the pitch values as they
// were, never half-written.
TEST_F(ProsodyConfigTest, BadPitchLinesFailTheLoadWithoutWritingHalfATable) {
  ASSERT_TRUE(Load(std::string(kDurations) + kKeys + kPatterns));
  const auto before = aravo::PitchTable();
  const std::string bad[] = {"TABHERTZ=1,2,3,4,5",
                             "TABHERTZ=1,2,3,4,5,6,7,8,9,x",
                             "TABHERTZ=1,2,3,4,,6,7,8,9,10",
                             "TABHERTZ=99999999999,2,3,4,5,6,7,8,9,10",
                             "HERTZ=abc",
                             "HERTZ="};
  for (const std::string& line : bad) {
    sim::Reset();
    EXPECT_FALSE(Load(std::string(kDurations) + kKeys + "[PROSÓDIA]\r\n" + line + "\r\n")) << line;
    EXPECT_EQ(aravo::PitchTable(), before) << line;
    EXPECT_EQ(Messages().size(), 1u) << line;
  }
  // More than ten values: the rest is ignored.
  ASSERT_TRUE(Load(std::string(kDurations) + kKeys +
                   "[PROSÓDIA]\r\nTABHERTZ= 1, 2,3,4,5,6,7,8,9, 10 ,11,zz\r\n"));
  EXPECT_EQ(aravo::PitchTable()[0], 1);
  EXPECT_EQ(aravo::PitchTable()[9], 10);
}

// Beyond 99 durations, 1000 keys and 300 patterns the tables grow: nothing is lost.
TEST_F(ProsodyConfigTest, TablesGrowPastTheirUsualSizes) {
  std::string text = "[DURAÇÃO]\r\n";
  for (int i = 0; i < 150; ++i)
    text += "d" + std::to_string(i % 10) + "=" + std::to_string(i) + "\r\n";
  text += "[CHAVES]\r\n";
  for (int i = 0; i < 1500; ++i) text += "palavra" + std::to_string(i) + "=XY\r\n";
  text += "[PROSÓDIA]\r\n";
  for (int i = 0; i < 400; ++i)
    text += "|C" + std::to_string(i % 10) + "|=" + std::to_string(100 + i) + "\r\n";
  ASSERT_TRUE(Load(text));
  EXPECT_EQ(aravo::DurationTable().size(), 150u);
  EXPECT_EQ(aravo::DurationTable()[149].duration, 149);
  EXPECT_EQ(aravo::KeyWordTable().size(), 1500u);
  EXPECT_EQ(aravo::IntonationPatterns().size(), 400u);
  EXPECT_EQ(aravo::IntonationPatterns()[399].code, "499");
}

TEST_F(ProsodyConfigTest, InventoryLinesGiveTheirFirstTwoPhonemeNames) {
  const std::string file = WriteFile("portug.dfn",
                                     "; comment\r\n! comment\r\n* comment\r\n\r\n"
                                     "a b 1234 ...\r\n  r2 _  \r\nee-@\r\nS2\t\tY\r\nnh, x\r\n");
  ASSERT_TRUE(aravo::LoadDiphoneInventory(file));
  EXPECT_EQ(aravo::DiphoneInventory(),
            (std::vector<std::string>{"A-B", "EE-@", "NH-X", "R2-_", "S2-Y"}));
  EXPECT_TRUE(aravo::HasDiphone("a", "b"));
  EXPECT_TRUE(aravo::HasDiphone("R2", "_"));
  EXPECT_TRUE(aravo::HasDiphone("s2", "y"));
  EXPECT_FALSE(aravo::HasDiphone("b", "a"));
  aravo::ReleaseDiphoneInventory();
  EXPECT_FALSE(aravo::HasDiphone("a", "b"));
  EXPECT_FALSE(aravo::LoadDiphoneInventory(PathOf("missing.dfn")));
  EXPECT_FALSE(aravo::LoadDiphoneInventory(folder_.string()));  // a folder is no file
}

// Random files, with the section headers strewn among random bytes, load or fail cleanly;
// the stages that read the tables work on whatever was loaded.
TEST_F(ProsodyConfigTest, RandomFilesLoadOrFailCleanly) {
  static const char* kPieces[] = {"[DURAÇÃO]\r\n", "[CHAVES]\r\n", "[PROSÓDIA]\r\n", "=", "|",
                                  "\r\n", "HERTZ=", "TABHERTZ=", ",", "?", "a", "5", " ", ";", "*"};
  for (std::uint32_t seed = 1; seed <= 40; ++seed) {
    sim::Reset();
    std::string bytes;
    for (int i = 0; i < 3000; ++i) {
      seed = seed * 1664525u + 1013904223u;
      const unsigned pick = seed >> 24;
      bytes +=
          pick < 128 ? kPieces[pick % std::size(kPieces)] : std::string(1, static_cast<char>(pick));
    }
    const bool loaded = Load(bytes);
    EXPECT_TRUE(loaded || !sim::MessageBoxes().empty()) << "a failed load always says why";
    ASSERT_TRUE(aravo::LoadDiphoneInventory(WriteFile("random.dfn", bytes)));
    const auto coded = aravo::AssignCodes(aravo::SplitTokens(bytes), true);
    for (const std::string& line : coded) ASSERT_EQ(line[3], '|');
    const auto pho =
        aravo::ComputeProsody({";555|ab", "a", ">" + bytes.substr(0, 40), "\xA8", ""}, 1.0, 1.0);
    EXPECT_EQ(pho.front(), ";ab");
  }
}

}  // namespace
