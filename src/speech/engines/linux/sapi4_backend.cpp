#include "speech/engines/sapi4_backend.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <memory>
#include <mutex>

#include "audio/player/player.h"
#include "audio/player/wave_format.h"
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

// One player block of 16-bit samples.
constexpr std::size_t kBlockSamples = audio::kBlockBytes / 2;

struct State {
  bool open = false;
  bool toFile = false;
  std::FILE* file = nullptr;
  std::int64_t fileDataBytes = 0;
  int sampleRate = 0;
  bool audioActive = false;
  std::deque<std::string> waiting;         // handed over, not yet being synthesized
  std::shared_ptr<SampleStream> stream;    // the text being synthesized and played
  bool feeding = false;
  std::int64_t piecesPlayed = 0;
};

State state;

void Feed();

// ---- the reports, handled on the program's thread while messages are pumped

void HandleReport(int message) {
  if (message == kSapi4AudioStartMessage) state.audioActive = true;
  if (message == kSapi4SamplesReadyMessage) Feed();
}

void SetReportHandlers(console::WakeHandler handler) {
  console::SetWakeHandler(kSapi4SamplesReadyMessage, handler);
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
  ++state.piecesPlayed;
  audio::WavPlayData(reinterpret_cast<std::uint8_t*>(samples.data()),
                     static_cast<int>(samples.size() * 2), state.sampleRate, 1, kSampleBits);
}

bool WriteToFile(const std::string& text) {
  std::vector<std::int16_t> samples;
  return CurrentSpeechLibrary().Synthesize(ServiceText(text), kSapi4SamplesReadyMessage, samples) &&
         AppendToWaveFile(samples);
}

void DropTexts() {
  CurrentSpeechLibrary().EndStream();
  state.stream.reset();
  state.waiting.clear();
}

// Takes what the stream has made, as much as the player has room for: whole blocks while
// more is to come, so no short block makes a gap. True when the stream has ended.
bool TakeFromStream(std::vector<std::int16_t>& piece, bool& failed) {
  SampleStream& stream = *state.stream;
  std::lock_guard<std::mutex> lock(stream.mutex);
  std::size_t count = std::min(stream.samples.size(), audio::WavFreeBlocks() * kBlockSamples);
  if (!stream.finished) count -= count % kBlockSamples;
  const auto end = stream.samples.begin() + static_cast<std::ptrdiff_t>(count);
  piece.assign(stream.samples.begin(), end);
  stream.samples.erase(stream.samples.begin(), end);
  stream.taken.notify_all();
  failed = stream.failed;
  return stream.finished && stream.samples.empty();
}

// Hands the player what the library has made and starts the next text once one has ended.
// Runs on the program's thread: from speak and busy, and whenever samples are ready or the
// player hands back a block.
void Feed() {
  if (!state.open || state.toFile || state.feeding) return;
  state.feeding = true;
  bool failed = false;
  while (!failed) {
    // A waiting key keeps back the rest, as the player silences what it holds.
    if (audio::KeyInterrupt() && console::KeyPressed()) {
      DropTexts();
      break;
    }
    if (state.stream == nullptr) {
      if (state.waiting.empty()) break;
      state.stream = std::make_shared<SampleStream>();
      CurrentSpeechLibrary().StartStream(ServiceText(state.waiting.front()), kSapi4SamplesReadyMessage,
                                         state.stream);
      state.waiting.pop_front();
    }
    std::vector<std::int16_t> piece;
    const bool ended = TakeFromStream(piece, failed);
    PlaySamples(piece);
    if (ended) {
      CurrentSpeechLibrary().EndStream();
      state.stream.reset();
    } else if (piece.empty()) {
      break;
    }
  }
  state.feeding = false;
  // A text the library refused ends everything handed over.
  if (failed) Sapi4Stop();
}

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
  audio::SetBlockDoneListener(Feed);
  return true;
}

void Sapi4Close() {
  DropTexts();
  FlushWaveFile();
  SetReportHandlers(nullptr);
  audio::SetBlockDoneListener(nullptr);
  if (state.open) CurrentSpeechLibrary().Finish();
  state = {};
}

void Sapi4Speak(const std::string& text) {
  const std::vector<std::string> texts = Sapi4Texts(text);
  if (texts.empty() || !state.open) return;
  // A waiting key keeps back this text.
  if (audio::KeyInterrupt() && console::KeyPressed()) return;
  if (state.toFile) {
    for (const std::string& piece : texts) {
      if (!WriteToFile(piece)) return;
    }
    return;
  }
  const bool pending = state.stream != nullptr || !state.waiting.empty();
  if (pending) console::Delay(kPendingDelayMs);
  state.waiting.insert(state.waiting.end(), texts.begin(), texts.end());
  // The first text in line returns once its first sound is queued.
  const std::int64_t played = state.piecesPlayed;
  Feed();
  while (!pending && state.open && state.stream != nullptr && state.piecesPlayed == played) {
    console::Delay(1);
    Feed();
  }
}

bool Sapi4Busy(std::uint8_t queueOnly) {
  Feed();
  // Audio is active from the first samples handed to the player until it falls silent.
  if (state.audioActive && !audio::WavBusy()) state.audioActive = false;
  const bool pending = state.stream != nullptr || !state.waiting.empty();
  if (queueOnly == 1) return pending;
  return pending || state.audioActive;
}

void Sapi4Stop() {
  // Reports already posted count before deciding whether anything sounds.
  console::PumpMessages();
  const bool sounding = state.audioActive || state.stream != nullptr || !state.waiting.empty();
  DropTexts();
  if (state.open && sounding) {
    console::Delay(kBeforeResetMs);
    if (!state.toFile) audio::WavStop();
    console::Delay(kAfterResetMs);
  }
  state.audioActive = false;
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
