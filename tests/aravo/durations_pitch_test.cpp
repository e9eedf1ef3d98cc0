// Phoneme lines to .pho lines: durations, lengthening, pitch targets and bridges.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "aravo/data_files.h"
#include "platform/sim/sim.h"
#include "speech/aravo/durations_pitch.h"
#include "speech/aravo/prosody_config.h"

namespace {

using Lines = std::vector<std::string>;

constexpr const char* kPhonemes[] = {"_", "a", "k", "z", "@", "e", "i", "r2", "y", "s", "ng"};

class DurationsPitchTest : public LanguageFileTest {
 protected:
  void SetUp() override {
    LanguageFileTest::SetUp();
    sim::Reset();
    ASSERT_TRUE(aravo::LoadProsody(WriteFile(
        "portug.pro",
        "[DURAÇÃO]\r\na=100\r\nk=80\r\nz=70\r\n@=60\r\n_,=250\r\n__=40\r\n_=90\r\nng=-5\r\n"
        "[CHAVES]\r\n[PROSÓDIA]\r\nTABHERTZ=0,85,90,95,100,105,110,115,120,125\r\n")));
    std::string pairs;
    for (const char* first : kPhonemes) {
      for (const char* second : kPhonemes) pairs += std::string(first) + " " + second + "\r\n";
    }
    ASSERT_TRUE(aravo::LoadDiphoneInventory(WriteFile("portug.dfn", pairs)));
  }
  void TearDown() override {
    aravo::ReleaseDiphoneInventory();
    LanguageFileTest::TearDown();
  }
};

TEST_F(DurationsPitchTest, AWordGetsItsThreeTargetsAndItsLengthening) {
  EXPECT_EQ(aravo::ComputeProsody({";555|casa", "k", ">a", "z", "\xA8@", ""}, 1.0, 1.0),
            (Lines{";casa", "k 80 50 241", "a 145 80 241", "z 101", "@ 60 50 241", ""}));
  EXPECT_EQ(aravo::ComputeProsody({";357|aza", ">a", "z", "a", ""}, 1.0, 1.0),
            (Lines{";aza", "a 145 80 241", "z 101", "a 145 50 264", ""}));
  // No stress mark: only the first target, and no lengthening.
  EXPECT_EQ(aravo::ComputeProsody({";468|ka", "k", "a", ""}, 1.0, 1.0),
            (Lines{";ka", "k 80 50 230", "a 100", ""}));
  // A code digit whose table entry is 0, or that is no digit, gives no target.
  EXPECT_EQ(aravo::ComputeProsody({";0x5|ka", "k", ">a", ""}, 1.0, 1.0),
            (Lines{";ka", "k 80", "a 145", ""}));
}

TEST_F(DurationsPitchTest, LongTokensShortenWhatComesBeforeTheStress) {
  const struct {
    const char* token;
    const char* before;
  } rows[] = {{";555|abcdefghijklmn", "a 80 50 241"},
              {";555|abcdefghij", "a 90 50 241"},
              {";555|abcdefgh", "a 100 50 241"}};
  for (const auto& row : rows) {
    const Lines lines = aravo::ComputeProsody({row.token, "a", "k", ">a", "a", ""}, 1.0, 1.0);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[1], row.before) << row.token;
    EXPECT_EQ(lines[3], "a 145 80 241") << row.token;
    EXPECT_EQ(lines[4], "a 145 50 241") << row.token;
  }
}

TEST_F(DurationsPitchTest, PausesAndTheFactors) {
  EXPECT_EQ(
      aravo::ComputeProsody({";555|", "__", "", ";888|,", "_,", ";555|", "_", "_ 30", "__"}, 1.0,
                            1.0),
      (Lines{";", "_ 40 50 241", "", ";,", "_ 250 50 276", ";", "_ 100 50 241", "_ 30", "_ 40"}));
  EXPECT_EQ(aravo::ComputeProsody({";555|ka", "k", ">a", ""}, 2.0, 0.5),
            (Lines{";ka", "k 40 50 483", "a 72 80 483", ""}));
  // A phoneme missing from the table lasts 100 ms; an unreadable pause length is the
  // silence's; a negative duration is no duration.
  EXPECT_EQ(aravo::ComputeProsody({";555|xi", "i", "_ x", "ng", ""}, 1.0, 1.0),
            (Lines{";xi", "i 100 50 241", "_ 90", "ng 0", ""}));
  // Huge factors stay within what a line can carry.
  const Lines huge = aravo::ComputeProsody({";555|a", ">a", ""}, 1e300, 1e300);
  EXPECT_EQ(huge[1], "a 10000000000000 80 10000000000000");
}

TEST_F(DurationsPitchTest, PitchPointAdvancesTheStressState) {
  int state = 0;
  EXPECT_EQ(aravo::PitchPoint(state, "159", false, 1.0), " 50 195");  // 85 % of 230
  EXPECT_EQ(state, 1);
  EXPECT_EQ(aravo::PitchPoint(state, "159", true, 1.0), "");
  state = 2;
  EXPECT_EQ(aravo::PitchPoint(state, "159", true, 1.0), " 80 241");
  EXPECT_EQ(state, 3);
  EXPECT_EQ(aravo::PitchPoint(state, "159", false, 1.0), "");
  EXPECT_EQ(aravo::PitchPoint(state, "159", true, 1.0), " 50 287");
  EXPECT_EQ(aravo::PitchPoint(state, "", true, 1.0), "");
}

TEST_F(DurationsPitchTest, MissingDiphonesAreBridged) {
  ASSERT_TRUE(aravo::LoadDiphoneInventory(WriteFile("small.dfn", "r2 _\r\n_ a\r\nk y\r\na k\r\n")));
  const struct {
    const char* previous;
    const char* current;
    Lines bridge;
  } rows[] = {
      {"a", "k", {}},          {"A", "K", {}},          {"r2", "a", {"_ 50"}},
      {"k", "z", {"y 50"}},    {"z", "k", {"_ 50"}},    {"a", "", {}},
  };
  for (const auto& row : rows) {
    Lines lines;
    aravo::BridgeMissingDiphone(row.previous, row.current, lines);
    EXPECT_EQ(lines, row.bridge) << row.previous << "-" << row.current;
  }
  EXPECT_EQ(aravo::ComputeProsody({";555|mar", "r2", "a", "", ";555|k", "k", "z", ""}, 1.0, 1.0),
            (Lines{";mar", "_ 50", "r2 100 50 241", "_ 50", "a 100", "", ";k", "k 80 50 241",
                   "y 50", "z 70", ""}));
}

TEST_F(DurationsPitchTest, PhonemeDurationIsExact) {
  EXPECT_EQ(aravo::PhonemeDuration("a"), 100);
  EXPECT_EQ(aravo::PhonemeDuration("A"), 100);  // not in the table
  EXPECT_EQ(aravo::PhonemeDuration("_,"), 250);
  EXPECT_EQ(aravo::PhonemeDuration(""), 100);
}

}  // namespace
