// The internal voice's shipped language data against its shipped segment list: every word of
// data/diphone/palavras.txt, translated with regras.rgr and portug.exc and split exactly as
// DiphoneSpeak splits it, must ask only for segments the database holds - never a letter
// recording (a letter no rule read) and never a name that would fall back or become noise.
// The one exception is a name the index cannot hold (more than 8 characters: "$TCHECIRC"),
// which is always played through its fallback; then the fallback's names must be held.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "diphone/shipped_voice_fixture.h"
#include "speech/diphone/synthesizer.h"
#include "speech/diphone/translator.h"

namespace {

using VoiceCoverageTest = ShippedVoiceDataTest;

// The names of segmentos.txt: the first field of every line that is not a comment.
std::set<std::string> SegmentNames() {
  std::set<std::string> names;
  for (const std::string& line : ShippedVoiceDataTest::DataLines("segmentos.txt")) {
    if (ShippedVoiceDataTest::IsComment(line)) continue;
    names.insert(line.substr(0, line.find_first_of(" \t")));
  }
  return names;
}

constexpr std::size_t kIndexNameCapacity = 8;

// Whether the database plays `name` whole: it holds it, or the name is too long for any index
// and ends in CIRC, and the database holds both names its fallback plays (all but the last 5
// characters, then "$" and the last 5: "$TCH" and "$ECIRC" for "$TCHECIRC").
bool Playable(const std::set<std::string>& segments, const std::string& name) {
  if (segments.count(name) != 0) return true;
  const std::size_t n = name.size();
  if (n <= kIndexNameCapacity || name.compare(n - 4, 4, "CIRC") != 0) return false;
  return segments.count(name.substr(0, n - 5)) != 0 && segments.count("$" + name.substr(n - 5)) != 0;
}

TEST_F(VoiceCoverageTest, EveryListedWordAsksOnlyForRecordedSegments) {
  const std::set<std::string> segments = SegmentNames();
  std::vector<std::string> words;
  for (const std::string& line : DataLines("palavras.txt")) {
    if (!IsComment(line)) words.push_back(line);
  }
  ASSERT_GT(segments.size(), 300u) << "segmentos.txt is missing or cut short";
  ASSERT_GE(words.size(), 2000u) << "palavras.txt is missing or cut short";

  std::ostringstream misses;
  int missCount = 0;
  for (const std::string& word : words) {
    const std::string phonemes = diphone::TranslateToPhonemes(word);
    const std::vector<std::string> names = diphone::DiphoneSegmentNames(phonemes, false);
    std::string missing;
    for (const std::string& name : names) {
      // "_" + a code is a letter recording: no rule read that letter.
      if (name.empty() || name[0] == '_' || !Playable(segments, name)) missing += " " + name;
    }
    if (names.empty()) missing = " (nothing to play)";
    if (!missing.empty()) {
      ++missCount;
      misses << word << "  " << phonemes << "  missing:" << missing << "\n";
    }
  }
  EXPECT_EQ(missCount, 0) << missCount << " of " << words.size()
                          << " words ask for segments the database lacks:\n"
                          << misses.str();
}

// Regression: "tch" before a closed vowel asked for $TCHECIRC, which no index can hold, and
// its fallback found no $TCH: the "tch" of tchê and tcheco played nothing, and so did a final
// tch (sketch).
TEST_F(VoiceCoverageTest, TchIsPlayedBeforeEveryVowelAndAlone) {
  const std::set<std::string> segments = SegmentNames();
  for (const char* word : {"tchê", "tcheco", "tchau", "tchin", "sketch"}) {
    const std::vector<std::string> names = diphone::DiphoneSegmentNames(diphone::TranslateToPhonemes(word), false);
    ASSERT_FALSE(names.empty()) << word;
    EXPECT_TRUE(names.front().compare(0, 4, "$TCH") == 0 || names.back() == "$TCH") << word;
    for (const std::string& name : names) EXPECT_TRUE(Playable(segments, name)) << word << ": " << name;
  }
}

}  // namespace
