// Whole text-to-samples speed of the Aravo engine with our synthesizer library, written to a
// wave file, against espeak-ng -v pt-br -w on the same text in the same run: characters per
// second of CPU and times real time (seconds of audio per second of CPU) for both.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "peer.h"
#include "platform/encoding.h"
#include "speech/aravo/engine.h"

namespace {

using bench::ChildCpuSeconds;
using bench::ProcessCpuSeconds;

long FileSize(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 ? static_cast<long>(status.st_size) : -1;
}

// Seconds of sound in a canonical 16-bit mono wave file of `rate` samples per second.
double AudioSeconds(const std::string& path, int rate) {
  const long size = FileSize(path);
  return size > 44 ? (size - 44) / 2.0 / rate : 0.0;
}

bool RunEspeak(const std::string& textPath, const std::string& wavePath) {
  return bench::RunPeer({"espeak-ng", "-v", "pt-br", "-f", textPath, "-w", wavePath});
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fputs("usage: bench_engine LIBRARY VOICE DATA_DIR TEXT.txt SCRATCH_DIR\n", stderr);
    return 2;
  }
  const std::string library = argv[1];
  const std::string voice = argv[2];
  const std::string data = std::string(argv[3]) + "/";
  const std::string textPath = argv[4];
  const std::string scratch = std::string(argv[5]) + "/";

  std::ifstream file(textPath);
  std::vector<std::string> texts;
  std::size_t characters = 0;
  for (std::string line; std::getline(file, line);) {
    texts.push_back(platform::Utf8ToCp1252(line));
    characters += texts.back().size() + 1;
  }

  const std::string ourWave = scratch + "engine.wav";
  aravo::AravoSetLibrary(library);
  aravo::AravoSetOutputFile(ourWave);
  const double start = ProcessCpuSeconds();
  if (!aravo::AravoOpen(voice, data + "portug.nrl", data + "portug.exc", data + "portug.abr",
                        data + "portug.pro", data + "portug.dfn")) {
    std::fprintf(stderr, "bench_engine: the engine did not open: %s\n",
                 platform::Cp1252ToUtf8(aravo::AravoLastError()).c_str());
    return 1;
  }
  for (const std::string& text : texts) {
    if (!aravo::AravoSpeak(text)) {
      std::fputs("bench_engine: a text was not spoken\n", stderr);
      return 1;
    }
  }
  if (!aravo::AravoClose()) return 1;
  const double ours = ProcessCpuSeconds() - start;
  const double ourAudio = AudioSeconds(ourWave, aravo::kEngineSampleRate);

  const std::string theirWave = scratch + "espeak.wav";
  const double espeakStart = ChildCpuSeconds();
  if (!RunEspeak(textPath, theirWave)) {
    std::fputs("bench_engine: espeak-ng failed (apt-get install espeak-ng)\n", stderr);
    return 1;
  }
  const double theirs = ChildCpuSeconds() - espeakStart;
  const double theirAudio = AudioSeconds(theirWave, 22050);

  std::printf("text: %zu characters in %zu lines\n", characters, texts.size());
  std::printf("aravo engine: %.1f s of speech in %.2f s CPU: %.0f characters per second, "
              "%.0f times real time\n",
              ourAudio, ours, characters / ours, ourAudio / ours);
  std::printf("espeak-ng -v pt-br -w: %.1f s of speech in %.2f s CPU: %.0f characters per "
              "second, %.0f times real time\n",
              theirAudio, theirs, characters / theirs, theirAudio / theirs);
  std::printf("ratio of characters per second: %.2f (target: above 1)\n",
              (characters / ours) / (characters / theirs));
  return 0;
}
