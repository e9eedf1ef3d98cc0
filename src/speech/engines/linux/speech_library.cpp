// The synthesizer library through espeak-ng, in its synchronous mode: the samples of a text
// come to a callback on the thread that runs espeak_Synth, the caller's or, for a stream, a
// thread of its own.
#include "speech/engines/speech_library.h"

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <thread>

#include "platform/events.h"

namespace engines {
namespace {

constexpr int kLowestPitch = 0;
constexpr int kHighestPitch = 100;

// The text being synthesized: where its samples go and whether it was reported yet.
struct Collection {
  std::vector<std::int16_t>* samples = nullptr;
  SampleStream* stream = nullptr;
  int message = 0;
  bool started = false;
};
Collection collection;

// Waits while the program's thread has enough samples ahead; 1 (stop) once it cancelled.
int AddToStream(SampleStream& stream, const short* samples, int count) {
  std::unique_lock<std::mutex> lock(stream.mutex);
  stream.taken.wait(lock, [&] { return stream.cancelled || stream.samples.size() < kSamplesAhead; });
  if (stream.cancelled) return 1;
  if (samples != nullptr && count > 0) stream.samples.insert(stream.samples.end(), samples, samples + count);
  lock.unlock();
  platform::PostWake(collection.message);
  return 0;
}

int TakeSamples(short* samples, int count, espeak_EVENT*) {
  if (collection.stream != nullptr) return AddToStream(*collection.stream, samples, count);
  if (collection.samples == nullptr) return 0;
  if (!collection.started) {
    collection.started = true;
    platform::PostWake(collection.message);
  }
  if (samples != nullptr && count > 0) {
    collection.samples->insert(collection.samples->end(), samples, samples + count);
  }
  return 0;
}

espeak_ERROR SynthesizeText(const std::string& text) {
  return espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr,
                      nullptr);
}

// espeak-ng cannot be ended and started again within one process (the second end waits
// forever for a thread of the first), so the library starts once and stays ready; Finish
// only ends its use.
class EspeakLibrary : public SpeechLibrary {
 public:
  ~EspeakLibrary() override { EndStream(); }

  int Start() override {
    if (rate_ == 0) {
      const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, 0);
      if (rate <= 0) return 0;
      espeak_SetSynthCallback(TakeSamples);
      rate_ = rate;
    }
    // The library keeps its speed and pitch from one use to the next: each use starts from
    // the library's defaults, so that 0 means the default again.
    espeak_SetParameter(espeakRATE, espeak_GetParameter(espeakRATE, 0), 0);
    espeak_SetParameter(espeakPITCH, espeak_GetParameter(espeakPITCH, 0), 0);
    started_ = true;
    return rate_;
  }

  void Finish() override {
    EndStream();
    started_ = false;
  }

  bool ListVoices(std::vector<ServiceVoice>& voices) override {
    voices.clear();
    const espeak_VOICE** list = espeak_ListVoices(nullptr);
    if (list == nullptr) return false;
    for (const espeak_VOICE** voice = list; *voice != nullptr; ++voice) {
      ServiceVoice entry;
      if ((*voice)->name != nullptr) entry.name = (*voice)->name;
      // The languages field is a priority byte, then the language's name.
      if ((*voice)->languages != nullptr && (*voice)->languages[0] != 0) {
        entry.language = (*voice)->languages + 1;
      }
      if ((*voice)->identifier != nullptr) entry.variant = (*voice)->identifier;
      voices.push_back(entry);
    }
    return true;
  }

  bool SelectVoice(const std::string& identifier) override {
    return espeak_SetVoiceByName(identifier.c_str()) == EE_OK;
  }

  bool SetRate(int wordsPerMinute) override {
    const int rate = std::clamp(wordsPerMinute, espeakRATE_MINIMUM, espeakRATE_MAXIMUM);
    return espeak_SetParameter(espeakRATE, rate, 0) == EE_OK;
  }

  bool SetPitch(int pitch) override {
    const int held = std::clamp(pitch, kLowestPitch, kHighestPitch);
    return espeak_SetParameter(espeakPITCH, held, 0) == EE_OK;
  }

  bool Synthesize(const std::string& text, int startedMessage,
                  std::vector<std::int16_t>& samples) override {
    if (!started_) return false;
    collection = {&samples, nullptr, startedMessage, false};
    const espeak_ERROR result = SynthesizeText(text);
    collection = {};
    return result == EE_OK;
  }

  void StartStream(const std::string& text, int readyMessage, std::shared_ptr<SampleStream> stream) override {
    EndStream();
    collection = {nullptr, stream.get(), readyMessage, false};
    worker_ = std::thread([this, text, stream] {
      const bool made = started_ && SynthesizeText(text) == EE_OK;
      {
        std::lock_guard<std::mutex> lock(stream->mutex);
        stream->failed = !made && !stream->cancelled;
        stream->finished = true;
      }
      platform::PostWake(collection.message);
    });
  }

  void EndStream() override {
    if (!worker_.joinable()) return;
    if (collection.stream != nullptr) {
      std::lock_guard<std::mutex> lock(collection.stream->mutex);
      collection.stream->cancelled = true;
      collection.stream->taken.notify_all();
    }
    worker_.join();
    collection = {};
  }

 private:
  bool started_ = false;
  int rate_ = 0;
  std::thread worker_;
};

EspeakLibrary espeakLibrary;
SpeechLibrary* library = &espeakLibrary;

}  // namespace

SpeechLibrary& CurrentSpeechLibrary() { return *library; }

void SetSpeechLibrary(SpeechLibrary* replacement) {
  library = replacement != nullptr ? replacement : &espeakLibrary;
}

}  // namespace engines
