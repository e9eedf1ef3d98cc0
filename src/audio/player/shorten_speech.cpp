// Speech cut: mono speech is made shorter at the same pitch by dropping every other pitch
// period, found as the distance between successive peaks.
#include <cstdlib>
#include <cstring>

#include "audio/player/wave_format.h"

namespace audio {
namespace {

constexpr int kBaseRate = 11025;
constexpr int kShortestShortened = 1000;
constexpr int kQuietDistance = 20;

// Position of the largest byte in [from, to] (the first of equal maxima); `to` is kept
// inside the samples.
int PeakPosition(const std::uint8_t* samples, int count, int from, int to) {
  if (to > count - 1) to = count - 1;
  int best = from;
  for (int i = from + 1; i <= to; ++i) {
    if (samples[i] > samples[best]) best = i;
  }
  return best;
}

}  // namespace

int ShortenSpeech(std::uint8_t* samples, int count, int bits, int rate) {
  if (samples == nullptr || count <= 0) return 0;
  if (bits == 16) {
    count /= 2;
    // The high byte of each signed sample, its top bit inverted, is the unsigned 8-bit sample.
    for (int i = 0; i < count; ++i) samples[i] = samples[2 * i + 1] ^ 0x80;
  }
  if (count < kShortestShortened) return count;

  const int scale = rate == kBaseRate ? 1 : 4;
  const int start = 200 * scale;
  const int skip = 80 * scale;
  const int window = 50 * scale;

  int read = PeakPosition(samples, count, start, start + skip + window);
  int write = read;
  while (read < count - 2 * (skip + window)) {
    const int dropUntil = PeakPosition(samples, count, read + skip, read + skip + window);
    const int keepUntil = PeakPosition(samples, count, dropUntil + skip, dropUntil + skip + window);
    const int kept = keepUntil - dropUntil + 1;
    std::memmove(samples + write, samples + dropUntil, static_cast<std::size_t>(kept));
    write += kept;
    read = keepUntil;
  }
  // The tail runs on only until the written stretch reaches a quiet byte, so it ends near silence.
  while (read < count && std::abs(samples[write] - 128) > kQuietDistance) {
    samples[write++] = samples[read++];
  }
  return write;
}

}  // namespace audio
