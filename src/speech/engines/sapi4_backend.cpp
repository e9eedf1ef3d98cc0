#include "speech/engines/sapi4_backend.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>

#include "audio/player/player.h"
#include "console/console.h"
#include "console/keyboard.h"
#include "platform/events.h"
#include "platform/system.h"
#include "speech/aravo/engine.h"
#include "speech/engines/service_text.h"
#include "speech/engines/speech_library.h"

namespace engines {
namespace {

constexpr std::uint16_t kPendingDelayMs = 20;
constexpr std::uint16_t kBeforeResetMs = 50;
constexpr std::uint16_t kAfterResetMs = 150;
constexpr std::uint16_t kSampleBits = 16;
// The most sample bytes a WAV header can count (its RIFF length adds 36 to it).
constexpr std::int64_t kLargestWaveData = INT32_MAX - 36;

struct State {
  bool open = false;
  bool toFile = false;
  std::FILE* file = nullptr;
  std::int64_t fileDataBytes = 0;
  int sampleRate = 0;
  int pendingTexts = 0;
  bool audioActive = false;
};

State state;

// ---- the reports, handled on the program's thread while messages are pumped

void HandleReport(int message) {
  if (message == kSapi4TextStartedMessage) {
    ++state.pendingTexts;
  } else if (message == kSapi4TextDoneMessage) {
    if (state.pendingTexts > 0) --state.pendingTexts;
  } else if (message == kSapi4AudioStartMessage) {
    state.audioActive = true;
  }
}

void SetReportHandlers(console::WakeHandler handler) {
  console::SetWakeHandler(kSapi4TextStartedMessage, handler);
  console::SetWakeHandler(kSapi4TextDoneMessage, handler);
  console::SetWakeHandler(kSapi4AudioStartMessage, handler);
}

// ---- the WAV file destination

bool OpenWaveFile(const std::string& path) {
  state.file = std::fopen(platform::FileSystemName(path).c_str(), "wb");
  if (state.file == nullptr) return false;
  std::uint8_t header[aravo::kWaveHeaderSize] = {};
  state.fileDataBytes = 0;
  return std::fwrite(header, 1, sizeof header, state.file) == sizeof header;
}

// 16-bit samples, little-endian as WAV files keep them.
bool AppendToWaveFile(const std::vector<std::int16_t>& samples) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(samples.size() * 2);
  for (const std::int16_t sample : samples) {
    bytes.push_back(static_cast<std::uint8_t>(sample & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>((sample >> 8) & 0xFF));
  }
  if (std::fwrite(bytes.data(), 1, bytes.size(), state.file) != bytes.size()) return false;
  state.fileDataBytes += static_cast<std::int64_t>(bytes.size());
  return true;
}

// Writes the header with the lengths now known, and closes the file.
void FlushWaveFile() {
  if (state.file == nullptr) return;
  std::uint8_t header[aravo::kWaveHeaderSize];
  const std::int64_t dataBytes = std::min<std::int64_t>(state.fileDataBytes, kLargestWaveData);
  aravo::BuildWaveHeader(header, state.sampleRate, kSampleBits, 1,
                         static_cast<std::int32_t>(dataBytes));
  if (std::fseek(state.file, 0, SEEK_SET) == 0) std::fwrite(header, 1, sizeof header, state.file);
  std::fclose(state.file);
  state.file = nullptr;
}

// ---- handing a text over

void PlaySamples(std::vector<std::int16_t>& samples) {
  if (samples.empty()) return;
  platform::PostWake(kSapi4AudioStartMessage);
  audio::WavPlayData(reinterpret_cast<std::uint8_t*>(samples.data()),
                     static_cast<int>(samples.size() * 2), state.sampleRate, 1, kSampleBits);
}

bool HandOver(const std::string& text) {
  if (state.pendingTexts > 0) console::Delay(kPendingDelayMs);
  std::vector<std::int16_t> samples;
  const bool synthesized =
      CurrentSpeechLibrary().Synthesize(ServiceText(text), kSapi4TextStartedMessage, samples);
  platform::PostWake(kSapi4TextDoneMessage);
  if (!synthesized) return false;
  if (state.toFile) return AppendToWaveFile(samples);
  PlaySamples(samples);
  return true;
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

bool OpenLibrary(std::int32_t voice, std::int32_t speed, std::int32_t pitch,
                 const std::string& voiceName) {
  SpeechLibrary& library = CurrentSpeechLibrary();
  state.sampleRate = library.Start();
  if (state.sampleRate <= 0) return false;
  std::vector<ServiceVoice> voices;
  if (!library.ListVoices(voices) || voices.empty()) return false;
  const std::size_t count = voices.size();
  if (!voiceName.empty()) {
    const int named = FindVoiceByName(voices, voiceName);
    voice = named >= 0 ? named + 1 : 0;
  }
  const std::size_t index =
      voice < 1 ? Sapi4BrazilianVoice(voices) : std::min(static_cast<std::size_t>(voice), count) - 1;
  if (!library.SelectVoice(voices[index].variant)) return false;
  if (speed != 0 && !library.SetRate(speed)) return false;
  if (pitch != 0 && !library.SetPitch(static_cast<std::int16_t>(pitch))) return false;
  return true;
}

}  // namespace

std::size_t Sapi4BrazilianVoice(const std::vector<ServiceVoice>& voices) {
  for (std::size_t k = 0; k < voices.size(); ++k) {
    std::string language = voices[k].language;
    std::transform(language.begin(), language.end(), language.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (language == "pt-br") return k;
  }
  return 0;
}

std::vector<std::string> Sapi4Texts(const std::string& text) {
  std::size_t first = 0;
  std::size_t end = text.size();
  while (first < end && IsBlank(text[first])) ++first;
  while (end > first && IsBlank(text[end - 1])) --end;
  std::vector<std::string> texts;
  if (first == end) return texts;
  if (end - first == 1 && text[first] >= '0' && text[first] <= '9') {
    texts.push_back(text.substr(first, 1) + ".");
    return texts;
  }
  while (end - first > kSapi4TextLimit) {
    std::size_t cut = first + kSapi4TextLimit;
    std::size_t blank = cut;
    while (blank > first && !IsBlank(text[blank - 1])) --blank;
    if (blank > first) cut = blank;
    texts.push_back(text.substr(first, cut - first));
    first = cut;
  }
  texts.push_back(text.substr(first, end - first));
  return texts;
}

bool Sapi4Open(std::int32_t voice, std::int32_t speed, std::int32_t pitch,
               const std::string& outputFile, const std::string& voiceName) {
  if (state.open) Sapi4Close();
  state = {};
  state.toFile = !outputFile.empty();
  // The library may change the current folder while it loads its data.
  const std::string folder = platform::CurrentFolder();
  bool opened = !state.toFile || OpenWaveFile(outputFile);
  if (opened) opened = OpenLibrary(voice, speed, pitch, voiceName);
  platform::SetCurrentFolder(folder);
  if (!opened) {
    if (state.file != nullptr) FlushWaveFile();
    CurrentSpeechLibrary().Finish();
    state = {};
    return false;
  }
  state.open = true;
  SetReportHandlers(HandleReport);
  return true;
}

void Sapi4Close() {
  FlushWaveFile();
  SetReportHandlers(nullptr);
  if (state.open) CurrentSpeechLibrary().Finish();
  state = {};
}

void Sapi4Speak(const std::string& text) {
  const std::vector<std::string> texts = Sapi4Texts(text);
  if (texts.empty() || !state.open) return;
  for (const std::string& piece : texts) {
    // A waiting key keeps back this text, and the rest of a long one.
    if (audio::KeyInterrupt() && console::KeyPressed()) return;
    if (!HandOver(piece)) {
      Sapi4Stop();
      return;
    }
  }
}

bool Sapi4Busy(std::uint8_t queueOnly) {
  // Audio is active from the first samples handed to the player until it falls silent.
  if (state.audioActive && !audio::WavBusy()) state.audioActive = false;
  if (queueOnly == 1) return state.pendingTexts > 0;
  return state.pendingTexts > 0 || state.audioActive;
}

void Sapi4Stop() {
  // Reports already posted count before deciding whether anything sounds.
  console::PumpMessages();
  if (state.open && (state.audioActive || state.pendingTexts > 0)) {
    console::Delay(kBeforeResetMs);
    if (!state.toFile) audio::WavStop();
    console::Delay(kAfterResetMs);
  }
  state.audioActive = false;
  state.pendingTexts = 0;
}

bool Sapi4Voices(std::vector<ServiceVoice>& voices) {
  SpeechLibrary& library = CurrentSpeechLibrary();
  voices.clear();
  if (state.open) return library.ListVoices(voices);
  if (library.Start() <= 0) return false;
  const bool listed = library.ListVoices(voices);
  library.Finish();
  return listed;
}

}  // namespace engines
