// The cut and floor set-up writes for each speed, against every segment as set-up records it
// (`voicedata segments`, the vowel found from espeak-ng's events): what the synthesizer keeps
// of an unstressed syllable holds its consonant and at least half its vowel at every speed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

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

// Every segment whose name has more than 2 characters (the ones the cut applies to), as
// `voicedata segments` prints them one a line.
std::vector<RecordedSegment> CutSegments() {
  std::istringstream lines(SegmentTable());
  std::vector<RecordedSegment> segments;
  for (RecordedSegment s; lines >> s.name >> s.length >> s.vowel;) {
    if (s.name.size() > 2) segments.push_back(s);
  }
  return segments;
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
