// Speed of the Aravo language stages, text to .pho lines, against espeak-ng turning the same
// text into its phoneme mnemonics (espeak-ng -q -x -v pt-br) in the same run. Both are
// measured in characters of text per second of CPU.
// Usage: bench_aravo DATA_DIR TEXT.txt   (the text in UTF-8, one text per line)
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "peer.h"
#include "platform/encoding.h"
#include "speech/aravo/durations_pitch.h"
#include "speech/aravo/lexicon.h"
#include "speech/aravo/normalise.h"
#include "speech/aravo/prosody_config.h"
#include "speech/aravo/transcription.h"
#include "speech/aravo/word_coding.h"

namespace {

using bench::ChildCpuSeconds;
using bench::ProcessCpuSeconds;

// Every stage after normalisation, as the engine runs them for one text; returns the
// number of .pho lines.
std::size_t TextToPho(const std::string& text) {
  const auto items = aravo::SplitTokens(aravo::NormaliseText(text));
  const auto phonemes = aravo::TranscribeItems(aravo::AssignCodes(items, true));
  return aravo::ComputeProsody(phonemes, 1.0, 1.0).size();
}

// espeak-ng's phoneme mnemonics of the text file, thrown away.
bool RunEspeak(const std::string& textPath) {
  return bench::RunPeer({"espeak-ng", "-q", "-x", "-v", "pt-br", "-f", textPath});
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: bench_aravo DATA_DIR TEXT.txt\n", stderr);
    return 2;
  }
  const std::string data = std::string(argv[1]) + "/";
  if (!aravo::LoadLetterRules(data + "portug.nrl") ||
      !aravo::LoadExceptionLexicon(data + "portug.exc") ||
      !aravo::LoadAbbreviations(data + "portug.abr") || !aravo::LoadProsody(data + "portug.pro") ||
      !aravo::LoadDiphoneInventory(data + "portug.dfn")) {
    std::fprintf(stderr, "bench_aravo: cannot load the language files of %s\n", argv[1]);
    return 1;
  }
  std::ifstream file(argv[2]);
  std::vector<std::string> texts;
  std::size_t characters = 0;
  for (std::string line; std::getline(file, line);) {
    texts.push_back(platform::Utf8ToCp1252(line));
    characters += texts.back().size() + 1;
  }
  if (characters < 100000) {
    std::fprintf(stderr, "bench_aravo: %zu characters; the measurement wants 100 000 or more\n",
                 characters);
    return 1;
  }

  constexpr int kRounds = 5;
  double best = 1e9;
  std::size_t lines = 0;
  for (int round = 0; round < kRounds; ++round) {
    const double start = ProcessCpuSeconds();
    lines = 0;
    for (const std::string& text : texts) lines += TextToPho(text);
    best = std::min(best, ProcessCpuSeconds() - start);
  }

  constexpr int kEspeakRounds = 2;
  double espeakBest = 1e9;
  for (int round = 0; round < kEspeakRounds; ++round) {
    const double start = ChildCpuSeconds();
    if (!RunEspeak(argv[2])) {
      std::fputs("bench_aravo: espeak-ng failed (apt-get install espeak-ng)\n", stderr);
      return 1;
    }
    espeakBest = std::min(espeakBest, ChildCpuSeconds() - start);
  }

  const double ours = characters / best;
  const double theirs = characters / espeakBest;
  std::printf("text: %zu characters in %zu lines\n", characters, texts.size());
  std::printf("aravo stages: %zu .pho lines in %.4f s CPU: %.0f characters per second\n", lines,
              best, ours);
  std::printf("espeak-ng -q -x -v pt-br: %.3f s CPU: %.0f characters per second\n", espeakBest,
              theirs);
  std::printf("ratio: %.1f times espeak-ng's rate (target: 50)\n", ours / theirs);
  return 0;
}
