// Consonants carry their acoustic cues: where the noise sits, closures, bursts, murmurs.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>

#include "mbrola.h"
#include "synth_support.h"

namespace formant_test {
namespace {

struct Spectrum {
  double energy = 0;    // mean square
  double centroid = 0;  // Hz
  double above4k = 0;   // share of the energy above 4 kHz
  double below1k = 0;   // share below 1 kHz
};

Spectrum Analyse(const std::vector<int16_t>& samples, size_t startMs, size_t lengthMs) {
  constexpr double kPi = 3.14159265358979323846;
  const size_t start = startMs * 16, length = lengthMs * 16;
  Spectrum result;
  double total = 0, weighted = 0, high = 0, low = 0;
  for (size_t n = 0; n < length; ++n)
    result.energy += double(samples[start + n]) * samples[start + n];
  result.energy /= length;
  for (size_t bin = 1; bin < length / 2; ++bin) {
    std::complex<double> sum = 0;
    for (size_t n = 0; n < length; ++n) {
      sum += double(samples[start + n]) * std::polar(1.0, -2 * kPi * bin * n / length);
    }
    const double power = std::norm(sum), hz = bin * 16000.0 / length;
    total += power;
    weighted += power * hz;
    if (hz > 4000) high += power;
    if (hz < 1000) low += power;
  }
  if (total > 0) {
    result.centroid = weighted / total;
    result.above4k = high / total;
    result.below1k = low / total;
  }
  return result;
}

class Consonants : public ::testing::Test {
 protected:
  void SetUp() override { LoadVoice(); }
  void TearDown() override { close_MBR(); }
  // The consonant C between two a vowels, 150 ms each side, C lasting durationMs.
  std::vector<int16_t> Between(const std::string& consonant, int durationMs) {
    reset_MBR();
    return Synthesize("a 150 0 200\n" + consonant + " " + std::to_string(durationMs) +
                      "\na 150 100 200\n");
  }
};

TEST_F(Consonants, SibilantsAreHighAndPostalveolarsLower) {
  const Spectrum vowel = Analyse(Between("s", 120), 60, 32);
  const Spectrum s = Analyse(Between("s", 120), 190, 32);
  const Spectrum x = Analyse(Between("x", 120), 190, 32);
  EXPECT_GT(s.above4k, 0.6);
  EXPECT_GT(s.centroid, 4500);
  EXPECT_GT(x.centroid, 2000);
  EXPECT_LT(x.centroid, s.centroid - 1000);
  EXPECT_LT(vowel.centroid, 1500);
}

TEST_F(Consonants, VoicelessStopsCloseThenBurst) {
  for (const char* stop : {"p", "t", "k"}) {
    const auto samples = Between(stop, 100);
    const double vowel = Analyse(samples, 60, 32).energy;
    const double closure = Analyse(samples, 160, 40).energy;
    double burst = 0;
    for (size_t ms = 200; ms < 250; ms += 2)
      burst = std::max(burst, Analyse(samples, ms, 4).energy);
    EXPECT_LT(closure, vowel * 1e-4) << stop;  // at least 40 dB down
    EXPECT_GT(burst, closure * 100) << stop;
  }
}

TEST_F(Consonants, VoicedSoundsKeepTheirPitch) {
  for (const char* consonant : {"z", "j", "v", "m", "n", "l"}) {
    reset_MBR();
    const auto samples = Synthesize(std::string("a 150 0 200\n") + consonant +
                                    " 120 0 200 100 200\na 150 100 200\n");
    EXPECT_NEAR(MeasurePitch(samples, 180 * 16, 640), 200, 6) << consonant;
  }
}

TEST_F(Consonants, NasalsAreLowMurmurs) {
  for (const char* nasal : {"m", "n", "nh"}) {
    const auto samples = Between(nasal, 100);
    const Spectrum vowel = Analyse(samples, 60, 32);
    const Spectrum murmur = Analyse(samples, 184, 32);
    EXPECT_LT(murmur.energy, vowel.energy) << nasal;
    EXPECT_GT(murmur.below1k, 0.8) << nasal;
  }
}

TEST_F(Consonants, TheTapDipsBriefly) {
  const auto samples = Between("r", 30);
  const double vowel = Analyse(samples, 60, 8).energy;
  const double dip = Analyse(samples, 161, 8).energy;
  EXPECT_LT(dip, vowel / 4);
}

}  // namespace
}  // namespace formant_test
