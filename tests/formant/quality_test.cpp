// What the synthesizer produces: lengths, pitch, formants, silence, repeatability, level.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "mbrola.h"
#include "synth_support.h"

namespace formant_test {
namespace {

class Quality : public ::testing::Test {
 protected:
  void SetUp() override { LoadVoice(); }
  void TearDown() override { close_MBR(); }
};

TEST_F(Quality, SampleCountIsTheSumOfDurations) {
  struct Case {
    const char* pho;
    double totalMs;
    int phones;
  };
  const Case cases[] = {
      {"_ 100\n", 100, 1},
      {"_ 50\na 120 50 200\n_ 50\n", 220, 3},
      {"_ 33.3\np 71.7\na 99.99 0 210 100 180\nt 60.01\ni 80.5\n_ 10\n", 355.5, 6},
      {"_ 0.4\nm 0.4\na 0.4\n_ 0.4\n", 1.6, 4},
      {";; T=2\na 100 50 200\n", 200, 1},
      {"s 45\nee 130\nk 70\n@ 90\nan 120\nrr 80\ntx 110\nin 100\n", 745, 8},
  };
  for (const Case& c : cases) {
    reset_MBR();
    const auto samples = Synthesize(c.pho);
    EXPECT_NEAR(static_cast<double>(samples.size()), c.totalMs * 16, c.phones) << c.pho;
  }
}

TEST_F(Quality, PitchFollowsThePitchPoints) {
  struct Case {
    const char* pho;
    double startHz, endHz;  // expected pitch at 0 % and 100 % of the middle vowel
  };
  const Case cases[] = {
      {"_ 50\na 600 0 220 100 220\n_ 50\n", 220, 220},
      {"_ 50\na 600 0 150 100 250\n_ 50\n", 150, 250},
      {"_ 50\na 600 (0,280) (100,180)\n_ 50\n", 280, 180},
      // No points of its own: the straight line between the neighbours' points.
      {"_ 50 100 120\na 600\n_ 50 0 240\n", 120, 240},
      {";; F=1.5\n_ 50\na 600 0 140 100 140\n_ 50\n", 210, 210},
      // No points at all: the voice's default pitch.
      {"_ 50\na 600\n_ 50\n", 210, 210},
  };
  for (const Case& c : cases) {
    reset_MBR();
    const auto samples = Synthesize(c.pho);
    ASSERT_GE(samples.size(), 700u * 16) << c.pho;
    for (double fraction : {0.2, 0.5, 0.8}) {
      const size_t centre = 50 * 16 + static_cast<size_t>(fraction * 600 * 16);
      const double measured = MeasurePitch(samples, centre - 320, 640);
      const double expected = c.startHz + (c.endHz - c.startHz) * fraction;
      EXPECT_NEAR(measured, expected, expected * 0.03) << c.pho << " at " << fraction;
    }
  }
}

// Measured at a low pitch: on a high voice LPC follows the harmonics, not the formants.
TEST_F(Quality, OralVowelFormantsMatchTheVoice) {
  for (const char* vowel : {"a", "ee", "e", "i", "oo", "o", "u"}) {
    reset_MBR();
    const std::string pho = std::string("_ 50\n") + vowel + " 500 0 120 100 120\n_ 50\n";
    const auto samples = Synthesize(pho);
    ASSERT_EQ(samples.size(), 600u * 16);
    double f1 = 0, f2 = 0;
    MeasureFormants(samples, 250 * 16, 1024, f1, f2);
    const double target1 = VoiceTarget(vowel, "f1"), target2 = VoiceTarget(vowel, "f2");
    ASSERT_GT(target1, 0);
    EXPECT_NEAR(f1, target1, target1 * 0.10) << vowel;
    EXPECT_NEAR(f2, target2, target2 * 0.10) << vowel;
  }
}

TEST_F(Quality, SilenceIsExactlyZero) {
  int error = 0;
  const auto samples = Synthesize("_ 100\na 200 50 220\n_ 150\nsh 10\n", &error);
  // An unknown phoneme stops the utterance there.
  EXPECT_EQ(error, -63);
  ASSERT_EQ(samples.size(), 450u * 16);
  EXPECT_TRUE(
      std::all_of(samples.end() - 150 * 16, samples.end(), [](int16_t s) { return s == 0; }));
  reset_MBR();
  const auto good = Synthesize("_ 100\na 200 50 220\n_ 150\ni 200 50 220\n_ 80\n");
  ASSERT_EQ(good.size(), 730u * 16);
  auto allZero = [&](size_t fromMs, size_t toMs) {
    return std::all_of(good.begin() + fromMs * 16, good.begin() + toMs * 16,
                       [](int16_t s) { return s == 0; });
  };
  EXPECT_TRUE(allZero(0, 100));
  EXPECT_TRUE(allZero(300, 450));
  EXPECT_TRUE(allZero(650, 730));
  EXPECT_FALSE(allZero(100, 300));
  EXPECT_FALSE(allZero(450, 650));
}

TEST_F(Quality, SameInputGivesTheSameSamplesAfterFlushOrReset) {
  const std::string pho = "_ 50\ns 90\na 150 20 230 80 200\nk 70\nx 90\ni 150 50 190\n_ 50\n";
  const auto first = Synthesize(pho);
  const auto afterFlush = Synthesize(pho);
  // Stop half-way through an utterance and reset: nothing of it may remain.
  write_MBR(const_cast<char*>("a 300 50 250\nrr 200\n"));
  int16_t buffer[100];
  EXPECT_GT(read_MBR(buffer, 100), 0);
  EXPECT_EQ(reset_MBR(), 1);
  const auto afterReset = Synthesize(pho);
  ASSERT_FALSE(first.empty());
  EXPECT_EQ(first, afterFlush);
  EXPECT_EQ(first, afterReset);
}

TEST_F(Quality, NoResidueAfterAFlush) {
  Synthesize("_ 20\na 200 100 300\n");  // ends on a loud vowel, no closing silence
  const auto next = Synthesize("_ 100\n");
  ASSERT_EQ(next.size(), 1600u);
  EXPECT_TRUE(std::all_of(next.begin(), next.end(), [](int16_t s) { return s == 0; }));
}

TEST_F(Quality, LoudestSoundsDoNotClipAtFullVolume) {
  int peak = 0;
  for (const char* pho : {"a 400 0 400 100 90\n", "@ 300 0 100 100 500\n", "i 300 50 600\n",
                          "s 300\nx 300\nt 100\nk 100\ntx 200\nrr 300\nh 200\n",
                          "an 300 0 80\nm 200\nu 300 0 450\nb 80\noo 300 50 120\n"}) {
    reset_MBR();
    for (int16_t s : Synthesize(pho)) peak = std::max(peak, std::abs(static_cast<int>(s)));
  }
  EXPECT_LT(peak, 32767);
  EXPECT_GT(peak, 8000);  // and the voice is loud enough to use
}

TEST_F(Quality, VolumeRatioScalesTheOutput) {
  const std::string pho = "_ 20\na 200 50 200\n_ 20\n";
  const auto full = Synthesize(pho);
  setVolumeRatio_MBR(0.5f);
  EXPECT_FLOAT_EQ(getVolumeRatio_MBR(), 0.5f);
  const auto half = Synthesize(pho);
  ASSERT_EQ(full.size(), half.size());
  for (size_t i = 0; i < full.size(); i += 97) EXPECT_NEAR(half[i], full[i] / 2.0, 1.0);
}

TEST_F(Quality, SamplesArriveBeforeTheTextEnds) {
  int16_t buffer[16000];
  write_MBR(const_cast<char*>("_ 50 0 200\r\n"));
  // The first phone's end depends on the next: nothing yet.
  EXPECT_EQ(read_MBR(buffer, 16000), 0);
  write_MBR(const_cast<char*>("a 100 0 200 100 200\r\n"));
  EXPECT_EQ(read_MBR(buffer, 16000), 50 * 16);
  write_MBR(const_cast<char*>("_ 40 100 200\r\n"));
  EXPECT_EQ(read_MBR(buffer, 16000), 100 * 16);
  EXPECT_EQ(read_MBR(buffer, 16000), 0);
  flush_MBR();
  EXPECT_EQ(read_MBR(buffer, 16000), 40 * 16);
  EXPECT_EQ(read_MBR(buffer, 16000), 0);
}

TEST_F(Quality, OutputRateScalesDurationsAndPitch) {
  setFreq_MBR(8000);
  EXPECT_EQ(getFreq_MBR(), 8000);
  const auto samples = Synthesize("_ 50\na 500 0 200 100 200\n_ 50\n");
  EXPECT_EQ(samples.size(), 600u * 8);
  // Played at 8000 Hz the pitch is still 200 Hz: 40 samples a period.
  std::vector<int16_t> doubled;
  for (int16_t s : samples) doubled.insert(doubled.end(), {s, s});
  EXPECT_NEAR(MeasurePitch(doubled, 300 * 16, 640), 200, 6);
}

}  // namespace
}  // namespace formant_test
