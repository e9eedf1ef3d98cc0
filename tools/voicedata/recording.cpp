// Speaking segments and recordings and cutting them to what is heard.
#include "recording.h"

#include <algorithm>

#include "espeak_voice.h"
#include "platform/encoding.h"
#include "shaping.h"

namespace voicedata {
namespace {

// Silence kept before the first sound (the closure of a stop) and after the last.
constexpr int kLeadMs = 30;
constexpr int kTailMs = 5;
// After the last kept sound, a little of the next one, so that a stop keeps its release burst.
constexpr int kReleaseMs = 20;
constexpr int kFadeMs = 4;

// How many sounds espeak-ng makes of these mnemonics on their own.
bool CountSounds(const std::string& mnemonics, int& count) {
  Take take;
  if (!VoiceSpeak("[[" + mnemonics + "]]", Intonation::kLevel, take)) return false;
  count = static_cast<int>(take.soundStartsMs.size());
  return true;
}

long MsToSample(int ms) { return static_cast<long>(ms) * kVoiceRate / 1000; }

void Fade(std::vector<std::int16_t>& part, bool in) {
  const long length = std::min(static_cast<long>(part.size()), MsToSample(kFadeMs));
  for (long i = 0; i < length; ++i) {
    const long at = in ? i : static_cast<long>(part.size()) - 1 - i;
    part[at] = static_cast<std::int16_t>(part[at] * i / length);
  }
}

bool Finish(const std::vector<std::int16_t>& part, std::vector<float>& samples, std::string& error,
            long* keptFrom = nullptr) {
  const std::vector<std::int16_t> audible = KeepAudible(part, kVoiceRate, kLeadMs, kTailMs, keptFrom);
  if (audible.empty()) {
    error = "espeak-ng said nothing audible";
    return false;
  }
  samples = HalveRate(audible);
  return true;
}

}  // namespace

bool RecordSounds(const std::string& mnemonics, std::vector<float>& samples, std::string& error, long* stressedAt) {
  samples.clear();
  if (stressedAt != nullptr) *stressedAt = -1;
  const std::size_t open = mnemonics.find('(');
  const std::size_t close = mnemonics.find(')');
  const bool hasOpen = open != std::string::npos;
  const bool hasClose = close != std::string::npos;
  if ((hasOpen && mnemonics.find('(', open + 1) != std::string::npos) ||
      (hasClose && mnemonics.find(')', close + 1) != std::string::npos) ||
      (hasOpen && hasClose && close < open)) {
    error = "\"(\" and \")\" must each appear at most once, in that order";
    return false;
  }
  const std::string left = hasOpen ? mnemonics.substr(0, open) : std::string();
  const std::size_t coreStart = hasOpen ? open + 1 : 0;
  const std::size_t coreEnd = hasClose ? close : mnemonics.size();
  const std::string core = mnemonics.substr(coreStart, coreEnd - coreStart);
  const std::string right = hasClose ? mnemonics.substr(close + 1) : std::string();
  if (core.empty()) {
    error = "nothing to keep between \"(\" and \")\"";
    return false;
  }

  Take take;
  if (!VoiceSpeak("[[" + left + core + right + "]]", Intonation::kLevel, take)) {
    error = "espeak-ng failed";
    return false;
  }
  long begin = 0;
  long end = static_cast<long>(take.samples.size());
  const int soundCount = static_cast<int>(take.soundStartsMs.size());
  if (!left.empty()) {
    int before = 0;
    if (!CountSounds(left, before) || before >= soundCount) {
      error = "cannot find where \"(\" falls";
      return false;
    }
    begin = MsToSample(take.soundStartsMs[before]);
  }
  if (!right.empty()) {
    int kept = 0;
    if (!CountSounds(left + core, kept) || kept >= soundCount) {
      error = "cannot find where \")\" falls";
      return false;
    }
    end = std::min(end, MsToSample(take.soundStartsMs[kept] + kReleaseMs));
  }
  if (begin >= end) {
    error = "the kept part is empty";
    return false;
  }
  std::vector<std::int16_t> part(take.samples.begin() + begin, take.samples.begin() + end);
  // A cut inside running speech would click: fade in and out over a few milliseconds.
  if (!left.empty()) Fade(part, true);
  if (!right.empty()) Fade(part, false);
  long keptFrom = 0;
  if (!Finish(part, samples, error, &keptFrom)) return false;
  if (stressedAt != nullptr) {
    // The stressed sound is the one after as many sounds as the mnemonics before the mark make.
    std::string plain;
    for (char c : mnemonics) {
      if (c != '(' && c != ')') plain += c;
    }
    const std::size_t mark = plain.find('\'');
    int before = 0;
    if (mark != std::string::npos && (mark == 0 || CountSounds(plain.substr(0, mark), before)) &&
        before < soundCount) {
      // At the full rate from the start of the kept part, then halved as the samples were.
      const long start = MsToSample(take.soundStartsMs[before]);
      const long at = std::max(0L, (start - begin - keptFrom) / 2);
      if (start >= begin && at < static_cast<long>(samples.size())) *stressedAt = at;
    }
  }
  return true;
}

bool RecordText(const std::string& text, std::vector<float>& samples, std::string& error) {
  samples.clear();
  Take take;
  if (!VoiceSpeak(platform::Cp1252ToUtf8(text), Intonation::kNatural, take)) {
    error = "espeak-ng failed";
    return false;
  }
  return Finish(take.samples, samples, error);
}

}  // namespace voicedata
