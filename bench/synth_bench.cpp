// Synthesis speed of the formant library on a long .pho file, against espeak-ng speaking the
// same text in the same run. Both are measured in seconds of audio per second of CPU.
// Usage: bench_synth VOICE FILE.pho FILE.txt
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "peer.h"
#include "mbrola.h"

namespace {

using bench::ChildCpuSeconds;
using bench::ProcessCpuSeconds;

// Synthesizes the lines as the Aravo engine does (write a line, read what is ready);
// returns the number of samples, or -1 on an error.
long SynthesizeLines(const std::vector<std::string>& lines) {
  std::vector<int16_t> buffer(16000);
  long total = 0;
  auto drain = [&]() {
    for (;;) {
      const int count = read_MBR(buffer.data(), 16000);
      if (count < 0) return false;
      if (count == 0) return true;
      total += count;
    }
  };
  reset_MBR();
  for (const std::string& line : lines) {
    write_MBR(const_cast<char*>(line.c_str()));
    if (lastError_MBR() != 0 || !drain()) return -1;
  }
  flush_MBR();
  return drain() && drain() ? total : -1;
}

// Runs espeak-ng on the text into a WAV file; returns the seconds of audio it made.
double RunEspeak(const std::string& textPath, const std::string& wavePath) {
  if (!bench::RunPeer({"espeak-ng", "-v", "pt-br", "-w", wavePath, "-f", textPath})) return -1;
  std::ifstream wave(wavePath, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(wave)), std::istreambuf_iterator<char>());
  if (bytes.size() < 44) return -1;
  auto field = [&](size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(bytes[at])) |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3])) << 24;
  };
  const double bytesPerSecond = field(28);
  return bytesPerSecond > 0 ? (bytes.size() - 44) / bytesPerSecond : -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fputs("usage: bench_synth VOICE FILE.pho FILE.txt\n", stderr);
    return 2;
  }
  if (init_MBR(argv[1]) != 0) {
    std::fprintf(stderr, "bench_synth: cannot load the voice %s\n", argv[1]);
    return 1;
  }
  std::ifstream pho(argv[2]);
  std::vector<std::string> lines;
  for (std::string line; std::getline(pho, line);) lines.push_back(line + "\r\n");

  constexpr int kRounds = 3;
  double best = 1e9;
  long samples = 0;
  for (int round = 0; round < kRounds; ++round) {
    const double start = ProcessCpuSeconds();
    samples = SynthesizeLines(lines);
    best = std::min(best, ProcessCpuSeconds() - start);
    if (samples < 0) {
      std::fputs("bench_synth: synthesis failed\n", stderr);
      return 1;
    }
  }
  close_MBR();
  const double audioSeconds = samples / 16000.0;
  const double ours = audioSeconds / best;

  double espeakBest = 1e9, espeakAudio = 0;
  const std::string wavePath = "/tmp/bench_synth_espeak_" + std::to_string(getpid()) + ".wav";
  for (int round = 0; round < kRounds; ++round) {
    const double start = ChildCpuSeconds();
    espeakAudio = RunEspeak(argv[3], wavePath);
    espeakBest = std::min(espeakBest, ChildCpuSeconds() - start);
  }
  std::remove(wavePath.c_str());
  std::printf("formant library: %.1f s of audio in %.3f s CPU: %.1f times real time\n",
              audioSeconds, best, ours);
  if (espeakAudio <= 0) {
    std::puts("espeak-ng (pt-br) could not be run: no ratio");
    return 1;
  }
  const double theirs = espeakAudio / espeakBest;
  std::printf("espeak-ng pt-br: %.1f s of audio in %.3f s CPU: %.1f times real time\n", espeakAudio,
              espeakBest, theirs);
  std::printf("ratio to espeak-ng: %.2f (target at least 1.5): %s\n", ours / theirs,
              ours / theirs >= 1.5 ? "met" : "NOT met");
  return 0;
}
