// Fuzzes the wave image reader and the speech shortener with arbitrary bytes: the reader must
// keep its answer inside the image, and shortening a copy of what it found must stay inside
// that copy.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "audio/player/wave_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  audio::WaveImageInfo info;
  if (!audio::ParseWaveBuffer(data, size, info)) return 0;
  if (info.dataOffset > size || info.dataLength > size - info.dataOffset) std::abort();
  // Exactly the samples found, in a buffer of their own size, so a read past them is caught.
  std::vector<std::uint8_t> samples(data + info.dataOffset,
                                    data + info.dataOffset + info.dataLength);
  const int count = static_cast<int>(std::min<std::size_t>(samples.size(), audio::kBlockBytes));
  const int bits = info.bits == 16 ? 16 : 8;
  const int shortened = audio::ShortenSpeech(samples.data(), count, bits, static_cast<int>(info.rate));
  if (shortened < 0 || shortened > count) std::abort();
  return 0;
}
