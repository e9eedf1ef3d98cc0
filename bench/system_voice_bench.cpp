// The synthesizer library's voice (engine type 4) on the real SDL backend: wall time from
// speak to its return, which comes once the first block is queued, for a 10 000-character
// text; against espeak-ng's own time from espeak_Synth to its first samples for the same text
// and voice, in the same run. Medians of N runs each (run it with run_system_voice.sh).
#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/player/player.h"
#include "platform/encoding.h"
#include "speech/engines/dispatcher.h"
#include "speech/engines/sapi4_backend.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Windows-1252, as the program hands texts over.
std::string LongText(std::size_t characters) {
  const std::string sentence =
      "O teste do microfone come\xE7" "a agora, fale com calma e n\xE3o se preocupe com o ru\xED" "do. ";
  std::string text;
  while (text.size() < characters) text += sentence;
  text.resize(characters);
  return text;
}

Clock::time_point synthStart;
double firstSamplesMs = -1;

int FirstSamples(short* samples, int count, espeak_EVENT*) {
  if (samples == nullptr || count <= 0) return 0;
  firstSamplesMs = MillisecondsSince(synthStart);
  return 1;  // enough: stop synthesizing
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  const std::string text = LongText(10000);
  engines::DispatcherStart();
  audio::PlayerStart();
  audio::SetKeyInterrupt(false);
  std::vector<engines::ServiceVoice> voices;
  if (!engines::Sapi4Voices(voices) || voices.empty()) {
    std::fputs("bench_system_voice: the synthesizer library does not start\n", stderr);
    return 1;
  }
  const std::string voice = voices[engines::Sapi4BrazilianVoice(voices)].variant;

  std::vector<double> ours;
  for (int run = 0; run < runs; ++run) {
    if (!engines::EngineOpen(0, 0, 0, 4, "")) {
      std::fputs("bench_system_voice: the synthesizer library does not open\n", stderr);
      return 1;
    }
    const Clock::time_point start = Clock::now();
    engines::EngineSpeak(text);
    ours.push_back(MillisecondsSince(start));
    engines::EngineStop();
    engines::EngineClose();
  }

  // The library stays initialised once the backend has started it.
  espeak_SetSynthCallback(FirstSamples);
  espeak_SetVoiceByName(voice.c_str());
  const std::string utf8 = platform::Cp1252ToUtf8(text);
  std::vector<double> theirs;
  for (int run = 0; run < runs; ++run) {
    firstSamplesMs = -1;
    synthStart = Clock::now();
    espeak_Synth(utf8.c_str(), utf8.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
    theirs.push_back(firstSamplesMs);
  }
  audio::PlayerStop();

  const double our = Median(ours);
  const double their = Median(theirs);
  std::printf("voice %s, %zu characters, median of %d runs\n", voice.c_str(), text.size(), runs);
  std::printf("speak to first block queued:     %8.2f ms\n", our);
  std::printf("espeak-ng to its first samples:  %8.2f ms\n", their);
  std::printf("ratio %.2f, difference %+.2f ms (target: at most +10 ms)\n", our / their, our - their);
  return 0;
}
