// The cut and floor set-up writes for each speed, against the segments espeak-ng records:
// no unstressed syllable may be cut below its vowel. Every segment of data/diphone/segmentos.txt
// is recorded as set-up records it (`voicedata segments`), its vowel found from espeak-ng's
// sound events, and the synthesizer's rule (length - CORTEFON, or the smaller of the length
// and SOBRAFON when that is less than SOBRAFON) must keep its consonant and at least half its
// vowel at every speed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "source_list.h"
#include "voice_settings.h"

namespace {

const std::string kSourceData = VOICEDATA_SOURCE_DATA;
const std::string kProgram = VOICEDATA_PROGRAM;

// `voicedata segments` on the source data: name, bytes and vowel start of every segment. Run
// as a program: espeak-ng does not start again in a process that has ended it, as
// RecordingTest does in this one.
std::string SegmentTable() {
  std::string table;
  // espeak-ng is not built with the sanitizers; what it keeps until exit is not ours.
  setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
  std::FILE* pipe = popen(("'" + kProgram + "' segments '" + kSourceData + "'").c_str(), "r");
  if (pipe == nullptr) return table;
  char chunk[4096];
  for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) table.append(chunk, got);
  EXPECT_EQ(pclose(pipe), 0) << "voicedata segments failed";
  return table;
}

struct RecordedSegment {
  std::string name;
  long length = 0;  // bytes at 11 025 Hz, as the database holds it
  long vowel = -1;  // where its vowel begins; -1: it has none (then half its length counts)
};

// What PlayName keeps of an unstressed segment of more than 2 characters.
long Kept(long length, int cut, int floor) {
  long kept = length - cut;
  if (kept < floor) kept = std::min<long>(length, floor);
  return std::clamp<long>(kept, 0, length);
}

int SettingOf(const std::vector<voicedata::ProfileEntry>& entries, const std::string& key) {
  for (const auto& e : entries) {
    if (e.section == "SINTETIZADOR" && e.key == key) return std::stoi(e.value);
  }
  ADD_FAILURE() << key << " is not set";
  return 0;
}

// Every segment whose name has more than 2 characters: the ones the cut applies to.
std::vector<RecordedSegment> CutSegments() {
  std::vector<voicedata::SourceEntry> entries;
  std::string error;
  EXPECT_TRUE(voicedata::ReadSourceList(kSourceData + "/diphone/segmentos.txt", entries, error)) << error;
  std::istringstream lines(SegmentTable());
  std::vector<RecordedSegment> segments;
  std::size_t listed = 0;
  for (RecordedSegment s; lines >> s.name >> s.length >> s.vowel; ++listed) {
    if (listed >= entries.size()) break;
    EXPECT_EQ(s.name, entries[listed].name);
    // Every segment with a stressed sound but the nasal murmur $NN holds its vowel; a
    // consonant alone ($TCH) has none and must keep half its length.
    if (entries[listed].text.find('\'') != std::string::npos && s.name != "$NN") {
      EXPECT_GE(s.vowel, 0) << s.name;
    }
    if (s.name.size() > 2) segments.push_back(s);
  }
  EXPECT_EQ(listed, entries.size()) << "voicedata segments printed one line per segment";
  return segments;
}

// The vowel of a syllable begins after its consonant (and the closure kept before it).
TEST(SpeedTuningTest, FindsTheVowelAfterTheConsonant) {
  std::map<std::string, RecordedSegment> byName;
  for (const RecordedSegment& s : CutSegments()) byName[s.name] = s;
  const struct {
    const char* name;
    long least;
    long most;
  } cases[] = {{"$ACIRC", 0, 0}, {"$PA", 400, 900}, {"$RA", 100, 1000}, {"$KWA", 1200, 2500}};
  for (const auto& c : cases) {
    ASSERT_TRUE(byName.count(c.name)) << c.name;
    const RecordedSegment& s = byName[c.name];
    EXPECT_GE(s.vowel, c.least) << c.name;
    EXPECT_LE(s.vowel, c.most) << c.name;
    EXPECT_LT(s.vowel, s.length - 500) << c.name;
  }
  EXPECT_EQ(byName.at("$NN").vowel, -1) << "its vowel is not in the kept part";
  EXPECT_EQ(byName.at("$TCH").vowel, -1) << "a consonant alone";
}

// Regression: at speeds 3 to 5 the cut of 800 to 1 200 bytes with a floor of 900 left some
// unstressed syllables ($MUCIRC, $NHA, ...) with less than half their vowel or none of it.
TEST(SpeedTuningTest, NoSpeedCutsASyllableBelowHalfItsVowel) {
  const std::vector<RecordedSegment> segments = CutSegments();
  ASSERT_GT(segments.size(), 300u);
  const std::vector<voicedata::ProfileEntry> entries = voicedata::VoiceSettings("/dados", "");
  for (int speed = 1; speed <= 5; ++speed) {
    const int cut = SettingOf(entries, "CORTEFON" + std::to_string(speed));
    const int floor = SettingOf(entries, "SOBRAFON" + std::to_string(speed));
    std::ostringstream cutShort;
    for (const RecordedSegment& s : segments) {
      const long kept = Kept(s.length, cut, floor);
      const long vowelStart = std::max(0L, s.vowel);
      const long least = vowelStart + (s.length - vowelStart + 1) / 2;
      if (kept < least) {
        cutShort << " " << s.name << " (" << s.length << " bytes, vowel from " << s.vowel << ", keeps " << kept << ")";
      }
    }
    EXPECT_EQ(cutShort.str(), "") << "speed " << speed << " (CORTEFON " << cut << ", SOBRAFON " << floor
                                  << ") cuts into the vowel of";
  }
}

}  // namespace
