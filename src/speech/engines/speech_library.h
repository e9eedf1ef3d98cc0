#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "speech/engines/speech_service.h"

// The synthesizer library the older system speech backend talks to, behind a thin interface
// that tests replace with a scripted library. The library synthesizes on the calling thread;
// every text is UTF-8.
namespace engines {

// The samples of a text as the library makes them, for the program's thread to take while
// the text is still being synthesized.
struct SampleStream {
  std::mutex mutex;
  std::condition_variable taken;      // samples were taken, or the stream was cancelled
  std::vector<std::int16_t> samples;  // made and not yet taken
  bool finished = false;              // every sample of the text is in `samples`
  bool failed = false;                // the library refused the text
  bool cancelled = false;             // set by the program's thread: stop synthesizing
};

// A streaming library makes at most this many samples ahead of the program's taking them.
constexpr std::size_t kSamplesAhead = 1 << 18;

class SpeechLibrary {
 public:
  virtual ~SpeechLibrary() = default;
  // Starts the library at its default speed and pitch; the rate of its 16-bit mono samples,
  // or 0 when it cannot start.
  virtual int Start() = 0;
  // Ends this use of the library (the library itself may stay loaded and ready).
  virtual void Finish() = 0;
  // The voices in the library's listing order; `variant` holds what SelectVoice takes.
  virtual bool ListVoices(std::vector<ServiceVoice>& voices) = 0;
  virtual bool SelectVoice(const std::string& identifier) = 0;
  // Words per minute and the library's pitch; out-of-range values are held to its limits.
  virtual bool SetRate(int wordsPerMinute) = 0;
  virtual bool SetPitch(int pitch) = 0;
  // Synthesizes `text`, appending its samples. The library's callback posts the Wake event
  // `startedMessage` the first time it reports on the text. False when the library refused
  // the text.
  virtual bool Synthesize(const std::string& text, int startedMessage,
                          std::vector<std::int16_t>& samples) = 0;
  // Starts synthesizing `text` into `stream`, on a thread of the library's own or before it
  // returns; each time samples are added, and at the end, the Wake event `readyMessage` is
  // posted. One stream at a time: EndStream comes before the next call to the library.
  virtual void StartStream(const std::string& text, int readyMessage, std::shared_ptr<SampleStream> stream) = 0;
  // Cancels the stream being synthesized, if any, and waits until the library has let go of it.
  virtual void EndStream() = 0;
};

// The library in use: espeak-ng unless a test set another.
SpeechLibrary& CurrentSpeechLibrary();
// Replaces the library (tests); null brings back espeak-ng.
void SetSpeechLibrary(SpeechLibrary* library);

}  // namespace engines
