// The internal voice's shipped language data against its shipped segment list: every word of
// data/diphone/palavras.txt, translated with regras.rgr and portug.exc and split exactly as
// DiphoneSpeak splits it, must ask only for segments the database holds - never a letter
// recording (a letter no rule read) and never a name that would fall back or become noise.
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
      if (name.empty() || name[0] == '_' || segments.count(name) == 0) missing += " " + name;
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

}  // namespace
