// The tracker on streams made here, where every segment's tone, start and length is known.
#include <gtest/gtest.h>

#include <random>

#include "desktop/tones.h"

namespace desktop {
namespace {

const std::vector<double> kTones = {300, 360, 420, 2000, 4260};
constexpr int kAmplitude = 110;

constexpr int kSilence = -2;

struct Piece {
  int tone;  // an index into kTones, kNoTone for white noise, or kSilence
  double seconds;
  double sounding = 0;  // when not 0, silenced after this many seconds, as a key cuts a prompt
  double Heard() const { return sounding > 0 ? sounding : seconds; }
};

Samples Render(const std::vector<Piece>& pieces) {
  std::mt19937 noise(7);
  Samples stream;
  for (const Piece& piece : pieces) {
    const auto count = static_cast<std::size_t>(piece.seconds * 11025);
    Samples samples(count, 128);
    if (piece.tone >= 0) samples = ToneSamples(kTones[piece.tone], count, kAmplitude);
    if (piece.tone == kNoTone) {
      for (std::uint8_t& sample : samples) sample = static_cast<std::uint8_t>(16 + noise() % 224);
    }
    std::fill(samples.begin() + static_cast<long>(piece.Heard() * 11025), samples.end(), 128);
    stream.insert(stream.end(), samples.begin(), samples.end());
  }
  return stream;
}

// Each sound is found with its tone, its start and its length within about a window's hop.
TEST(DesktopToneTracker, ReadsBackTheSoundsOfAStream) {
  const std::vector<std::pair<const char*, std::vector<Piece>>> cases = {
      {"back-to-back tones", {{kSilence, 0.2}, {0, 0.15}, {1, 0.15}, {2, 0.15}, {kSilence, 0.2}}},
      {"a gap between tones", {{kSilence, 0.1}, {3, 0.3}, {kSilence, 0.05}, {4, 0.3}, {kSilence, 0.1}}},
      {"a tone cut short", {{kSilence, 0.1}, {1, 0.3, 0.12}, {kSilence, 0.1}}},
      {"noise is no tone", {{kSilence, 0.1}, {0, 0.3}, {kNoTone, 0.2}, {kSilence, 0.1}}},
  };
  for (const auto& [what, stream] : cases) {
    SCOPED_TRACE(what);
    const std::vector<ToneSegment> segments = TrackTones(kTones, Render(stream));
    std::size_t next = 0;
    double start = 0;
    for (const Piece& piece : stream) {
      if (piece.tone != kSilence) {
        ASSERT_LT(next, segments.size());
        EXPECT_EQ(segments[next].tone, piece.tone) << "segment " << next;
        EXPECT_NEAR(segments[next].start / 11025.0, start, 0.012) << "segment " << next;
        EXPECT_NEAR(segments[next].length / 11025.0, piece.Heard(), 0.012) << "segment " << next;
        ++next;
      }
      start += piece.seconds;
    }
    EXPECT_EQ(segments.size(), next);
  }
}

}  // namespace
}  // namespace desktop
