// Speaking a text: the language stages, then the synthesizer's samples handed to the wave
// player in chunks of up to a second, or appended to the output file.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "audio/player/player.h"
#include "speech/aravo/durations_pitch.h"
#include "speech/aravo/engine.h"
#include "speech/aravo/engine_internal.h"
#include "speech/aravo/mbrola_binding.h"
#include "speech/aravo/normalise.h"
#include "speech/aravo/transcription.h"
#include "speech/aravo/word_coding.h"

namespace aravo {
namespace {

constexpr int kReadSamples = 16000;
constexpr int kHandOverBytes = 16000;
constexpr int kSmallestChunk = 256;
constexpr int kPlayBufferBytes = 2 * kReadSamples;

// Fixed blocks, so that speaking allocates nothing per chunk.
std::int16_t staging[kReadSamples];
std::uint8_t playBuffer[kWaveHeaderSize + kPlayBufferBytes];

std::string Trimmed(const std::string& text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  return text.substr(first, last - first);
}

// The next samples, in bytes; 0 when there are none or the read failed.
int ReadSamples(bool& result) {
  const int samples = Mbrola().read(staging, kReadSamples);
  if (samples >= 0) return 2 * samples;
  if (Mbrola().lastError() != 0) {
    Mbrola().reset();
    result = false;
  }
  return 0;
}

void HandOver(int fill) {
  BuildWaveHeader(playBuffer, kEngineSampleRate, 16, 1, fill);
  audio::WavPlayBuffer(playBuffer, kWaveHeaderSize + static_cast<std::size_t>(fill));
}

// Restores the player's options however the loop ends.
class PlainPlayback {
 public:
  PlainPlayback() : fastPlayback_(audio::FastPlayback()), speechCut_(audio::SpeechCut()) {
    audio::SetFastPlayback(false);
    audio::SetSpeechCut(false);
  }
  ~PlainPlayback() {
    audio::SetFastPlayback(fastPlayback_);
    audio::SetSpeechCut(speechCut_);
  }
  PlainPlayback(const PlainPlayback&) = delete;
  PlainPlayback& operator=(const PlainPlayback&) = delete;

 private:
  bool fastPlayback_;
  bool speechCut_;
};

}  // namespace

namespace detail {

bool SynthesizeLines(const std::vector<std::string>& phoLines) {
  if (!AravoOpened()) return false;
  bool result = true;
  const PlainPlayback plainPlayback;
  std::FILE* file = OutputFile();
  const MbrolaFunctions& mbrola = Mbrola();
  mbrola.reset();
  int fill = 0;
  std::string line;
  for (std::size_t i = 0; i < phoLines.size(); ++i) {
    const bool lastLine = i + 1 == phoLines.size();
    if (phoLines[i].empty() && !lastLine) continue;
    line = phoLines[i];
    line += "\r\n";
    mbrola.write(line.data());
    if (mbrola.lastError() != 0) {
      mbrola.reset();
      result = false;
    }
    if (lastLine) mbrola.flush();
    int n = ReadSamples(result);
    while (n > 0) {
      if (file != nullptr) {
        if (std::fwrite(staging, 1, static_cast<std::size_t>(n), file) !=
            static_cast<std::size_t>(n)) {
          result = false;
        }
      } else {
        if (fill > 0 && fill + n >= kHandOverBytes) {
          HandOver(fill);
          fill = 0;
        }
        std::memcpy(playBuffer + kWaveHeaderSize + fill, staging, static_cast<std::size_t>(n));
        fill += n;
      }
      n = ReadSamples(result);
    }
  }
  if (file == nullptr && fill > 0) {
    if (fill < kSmallestChunk) {
      std::memset(playBuffer + kWaveHeaderSize + fill, 0,
                  static_cast<std::size_t>(kSmallestChunk - fill));
      fill = kSmallestChunk;
    }
    HandOver(fill);
  }
  if (file != nullptr && std::fflush(file) != 0) result = false;
  return result;
}

}  // namespace detail

bool AravoSpeak(const std::string& text) {
  const std::string trimmed = Trimmed(text);
  if (trimmed.empty()) return true;
  if (!AravoOpened()) return false;
  const auto coded = AssignCodes(SplitTokens(NormaliseText(trimmed)), true);
  const auto pho =
      ComputeProsody(TranscribeItems(coded), detail::PitchFactor(), detail::DurationFactor());
  return detail::SynthesizeLines(pho);
}

void AravoStop() {
  if (detail::OutputFile() == nullptr) audio::WavStop();
}

bool AravoWait() { return detail::OutputFile() == nullptr && audio::WavBusy(); }

}  // namespace aravo
