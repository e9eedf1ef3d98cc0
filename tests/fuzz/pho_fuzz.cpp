// Fuzzes the synthesizer library with arbitrary .pho text: written line by line and read
// back as it comes, with unknown phonemes tolerated on odd inputs and refused on even ones.
// Any answer is acceptable except a crash, a hang or a read count outside the buffer.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "mbrola.h"

namespace {

bool voiceLoaded = false;

void DrainSamples() {
  static std::int16_t samples[4096];
  // A phone lasts at most a minute, so a bounded number of reads always empties the queue.
  for (int round = 0; round < 4096; ++round) {
    const int got = read_MBR(samples, 4096);
    if (got > 4096) std::abort();
    if (got <= 0) return;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!voiceLoaded) {
    static char voice[] = FORMANT_VOICE;
    if (init_MBR(voice) != 0) std::abort();
    voiceLoaded = true;
  }
  reset_MBR();
  setNoError_MBR(size % 2);
  std::string text(reinterpret_cast<const char*>(data), size);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    std::string line = text.substr(start, end - start);
    write_MBR(line.data());
    DrainSamples();
    start = end;
  }
  flush_MBR();
  DrainSamples();
  return 0;
}
