// Segments spoken by espeak-ng and cut at the marked sounds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "espeak_voice.h"
#include "recording.h"

namespace {

class RecordingTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string error;
    ASSERT_TRUE(voicedata::VoiceStart(error)) << error;
  }
  static void TearDownTestSuite() { voicedata::VoiceEnd(); }

  static std::size_t Length(const std::string& mnemonics) {
    std::vector<float> samples;
    std::string error;
    EXPECT_TRUE(voicedata::RecordSounds(mnemonics, samples, error)) << mnemonics << ": " << error;
    return samples.size();
  }
};

TEST_F(RecordingTest, KeepsOnlyTheMarkedPart) {
  const std::size_t whole = Length("b@");
  const std::size_t stop = Length("(b)@");
  // The stop and its release: far shorter than with its vowel, but not nothing.
  EXPECT_GT(stop, 200u);
  EXPECT_LT(stop, whole / 2);
  // A tap after a vowel: the vowel before it is not kept.
  const std::size_t withVowel = Length("&*'a");
  const std::size_t tap = Length("&(*'a)");
  EXPECT_GT(tap, 1000u);
  EXPECT_LT(tap, withVowel - 500);
  // Whole syllables are recorded at 11 025 Hz: about a fifth of a second.
  const std::size_t syllable = Length("k'a");
  EXPECT_GT(syllable, 1500u);
  EXPECT_LT(syllable, 4000u);
}

TEST_F(RecordingTest, RejectsMalformedMarksAndSilence) {
  for (const char* bad : {"((b)@", "(b))@", "b)(@", "()@", "a(b)c)"}) {
    std::vector<float> samples;
    std::string error;
    EXPECT_FALSE(voicedata::RecordSounds(bad, samples, error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
    EXPECT_TRUE(samples.empty()) << bad;
  }
  // A pause alone is silent: an error, not an empty segment.
  std::vector<float> samples;
  std::string error;
  EXPECT_FALSE(voicedata::RecordSounds("_:", samples, error));
  EXPECT_NE(error.find("audible"), std::string::npos) << error;
}

TEST_F(RecordingTest, ReadsWindows1252TextAndPhonemeInput) {
  std::vector<float> accented;
  std::vector<float> phonemes;
  std::string error;
  ASSERT_TRUE(voicedata::RecordText("medi\xe7\xe3o", accented, error)) << error;  // "medição"
  ASSERT_TRUE(voicedata::RecordText("[['i]]", phonemes, error)) << error;
  EXPECT_GT(accented.size(), 4000u);
  EXPECT_GT(phonemes.size(), 1000u);
  EXPECT_LT(phonemes.size(), accented.size());
}

}  // namespace
