// The shipped prosody configuration and diphone inventory, and the whole chain of stages
// from text to .pho lines on them.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/sim/sim.h"
#include "speech/aravo/durations_pitch.h"
#include "speech/aravo/lexicon.h"
#include "speech/aravo/normalise.h"
#include "speech/aravo/prosody_config.h"
#include "speech/aravo/transcription.h"
#include "speech/aravo/word_coding.h"

namespace {

const std::string kDataFolder = ARAVO_DATA_DIR;

const std::vector<std::string> kPhonemeSet = {
    "a", "ee", "e", "i", "oo", "o", "u", "@", "an", "en", "in", "on", "un", "y", "w",
    "p", "b", "t", "d", "k", "g", "tx", "dj", "f", "v", "s", "z", "x", "j", "h",
    "s2", "r", "rr", "r2", "m", "n", "nh", "l", "lh", "_"};

class ShippedProsodyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::Reset();
    ASSERT_TRUE(aravo::LoadAbbreviations(kDataFolder + "/portug.abr"));
    ASSERT_TRUE(aravo::LoadLetterRules(kDataFolder + "/portug.nrl"));
    ASSERT_TRUE(aravo::LoadExceptionLexicon(kDataFolder + "/portug.exc"));
    ASSERT_TRUE(aravo::LoadProsody(kDataFolder + "/portug.pro"));
    ASSERT_TRUE(aravo::LoadDiphoneInventory(kDataFolder + "/portug.dfn"));
    ASSERT_TRUE(sim::MessageBoxes().empty());
  }
  void TearDown() override {
    aravo::FreeLetterRules();
    aravo::ReleaseDiphoneInventory();
  }

  static std::vector<std::string> Pho(const std::string& text) {
    const auto items = aravo::SplitTokens(aravo::NormaliseText(text));
    const auto phonemes = aravo::TranscribeItems(aravo::AssignCodes(items, true));
    return aravo::ComputeProsody(phonemes, 1.0, 1.0);
  }

  // The pitch targets (in order) of the phonemes of the word whose comment is ";word".
  static std::vector<int> TargetsOf(const std::vector<std::string>& pho, const std::string& word) {
    std::vector<int> targets;
    std::size_t i = 0;
    while (i < pho.size() && pho[i] != ";" + word) ++i;
    for (++i; i < pho.size() && !pho[i].empty(); ++i) {
      std::istringstream fields(pho[i]);
      std::string name;
      int duration = 0;
      int position = 0;
      int frequency = 0;
      if (fields >> name >> duration >> position >> frequency) targets.push_back(frequency);
    }
    return targets;
  }
};

TEST_F(ShippedProsodyTest, EveryPhonemeAndPauseHasADuration) {
  std::set<std::string> named;
  for (const auto& entry : aravo::DurationTable()) {
    EXPECT_TRUE(named.insert(entry.phoneme).second) << "listed twice: " << entry.phoneme;
    EXPECT_GT(entry.duration, 0) << entry.phoneme;
    EXPECT_LT(entry.duration, 500) << entry.phoneme;
  }
  for (const std::string& phoneme : kPhonemeSet) EXPECT_EQ(named.count(phoneme), 1u) << phoneme;
  for (const char* pause : {"__", "_,", "_.", "_?", "_!", "_:", "_;", "_(", "_)"}) {
    EXPECT_EQ(named.count(pause), 1u) << pause;
  }
}

TEST_F(ShippedProsodyTest, KeyWordsCarryTheSixClasses) {
  const std::set<std::string> classes = {"AR", "PR", "CT", "CJ", "PN", "VB"};
  std::set<std::string> words;
  for (const auto& key : aravo::KeyWordTable()) {
    EXPECT_EQ(classes.count(key.wordClass), 1u) << key.word << "=" << key.wordClass;
    EXPECT_TRUE(words.insert(key.word).second) << "listed twice: " << key.word;
  }
  const struct {
    const char* word;
    const char* wordClass;
  } rows[] = {{"o", "AR"},   {"uma", "AR"},  {"de", "PR"},  {"para", "PR"}, {"do", "CT"},
              {"na", "CT"},  {"pela", "CT"}, {"e", "CJ"},   {"mas", "CJ"},  {"eu", "PN"},
              {"você", "PN"}, {"é", "VB"},   {"tem", "VB"}, {"casa", ""}};
  for (const auto& row : rows) EXPECT_EQ(aravo::WordClass(row.word), row.wordClass) << row.word;
}

TEST_F(ShippedProsodyTest, TheInventoryHoldsEveryPairOfTheSet) {
  EXPECT_EQ(aravo::DiphoneInventory().size(), kPhonemeSet.size() * kPhonemeSet.size());
  for (const std::string& first : kPhonemeSet) {
    for (const std::string& second : kPhonemeSet) {
      EXPECT_TRUE(aravo::HasDiphone(first, second)) << first << "-" << second;
    }
  }
}

// Statements fall at the end, yes/no questions rise, and a comma leaves the voice up.
TEST_F(ShippedProsodyTest, SentenceEndsFallRiseOrHang) {
  const auto statement = TargetsOf(Pho("Ele comprou o carro."), "carro");
  ASSERT_EQ(statement.size(), 3u);
  EXPECT_LT(statement[2], statement[1]);
  EXPECT_LT(statement[2], aravo::BasePitch());

  const auto question = TargetsOf(Pho("Ele comprou o carro?"), "carro");
  ASSERT_EQ(question.size(), 3u);
  EXPECT_GT(question[2], question[1]);
  EXPECT_GT(question[2], statement[2]);

  const auto comma = TargetsOf(Pho("Quando chegou em casa, ele dormiu."), "casa");
  ASSERT_EQ(comma.size(), 3u);
  EXPECT_GT(comma[2], comma[1]);
}

TEST_F(ShippedProsodyTest, TheWholeChainGivesWellFormedLines) {
  const auto pho = Pho("Olá, tudo bem?");
  const std::vector<std::string> expected = {
      ";",     "_ 60 50 206", "", ";Olá", "o 80 50 194", "l 60", "a 123 80 220", "",
      ";,",    "_ 200 50 254", ";tudo", "t 70 50 206", "u 101 80 220", "d 87", "w 55 50 206", "",
      ";bem",  "b 65 50 194", "en 137 80 236", "y 72 50 274", "",
      ";?",    "_ 400 50 274", ";", "_ 60 50 274", "", "_ 60"};
  EXPECT_EQ(pho, expected);
}

// A million characters of sentences with every byte value strewn among them, and a stretch
// of random bytes: every line that comes out is a comment, empty, or a phoneme line the
// synthesizer reads.
TEST_F(ShippedProsodyTest, AMillionCharactersOfEveryByteGiveWellFormedLines) {
  const std::string sentence = "O Sr. Silva comprou 1.500 pães às 7h30, não? Que ótimo! ";
  std::string text;
  std::uint32_t seed = 7;
  for (int i = 0; i < 100000; ++i) {
    seed = seed * 1664525u + 1013904223u;
    text += static_cast<char>(seed >> 24);
  }
  while (text.size() < 1000000) {
    for (int i = 0; i < 60; ++i) text += sentence;
    for (int code = 0; code < 256; ++code) text += static_cast<char>(code);
  }
  const auto pho = Pho(text);
  ASSERT_GT(pho.size(), 1000u);
  const std::set<std::string> names(kPhonemeSet.begin(), kPhonemeSet.end());
  for (const std::string& line : pho) {
    if (line.empty() || line.front() == ';') continue;
    std::istringstream fields(line);
    std::string name;
    long long duration = -1;
    ASSERT_TRUE(fields >> name >> duration) << line;
    ASSERT_EQ(names.count(name), 1u) << line;
    ASSERT_GE(duration, 0) << line;
    int position = 0;
    int frequency = 0;
    if (fields >> position) {
      ASSERT_TRUE(fields >> frequency) << line;
      ASSERT_TRUE(position == 50 || position == 80) << line;
      ASSERT_GT(frequency, 0) << line;
    }
    std::string rest;
    ASSERT_FALSE(fields >> rest) << line;
  }
}

}  // namespace
