// On Windows the speech service and the synthesizer library that the Linux backends reach
// are not there: connecting fails and the library does not start, so an engine of those
// types does not open and the internal voice speaks. Tests still replace both.
#include "speech/engines/speech_library.h"
#include "speech/engines/speech_service.h"

#include "platform/events.h"

namespace engines {
namespace {

class AbsentLibrary : public SpeechLibrary {
 public:
  int Start() override { return 0; }
  void Finish() override {}
  bool ListVoices(std::vector<ServiceVoice>&) override { return false; }
  bool SelectVoice(const std::string&) override { return false; }
  bool SetRate(int) override { return false; }
  bool SetPitch(int) override { return false; }
  bool Synthesize(const std::string&, int, std::vector<std::int16_t>&) override { return false; }
  void StartStream(const std::string&, int readyMessage, std::shared_ptr<SampleStream> stream) override {
    {
      const std::lock_guard<std::mutex> lock(stream->mutex);
      stream->failed = true;
      stream->finished = true;
    }
    platform::PostWake(readyMessage);
  }
  void EndStream() override {}
};

AbsentLibrary absentLibrary;
SpeechLibrary* library = &absentLibrary;

std::unique_ptr<SpeechServiceConnection> ConnectNowhere(const std::string&, int) { return nullptr; }
SpeechServiceConnector connector = ConnectNowhere;

}  // namespace

std::unique_ptr<SpeechServiceConnection> ConnectSpeechService(const std::string& connectionName,
                                                              int noticeMessage) {
  return connector(connectionName, noticeMessage);
}

void SetSpeechServiceConnector(SpeechServiceConnector replacement) {
  connector = replacement != nullptr ? replacement : ConnectNowhere;
}

SpeechLibrary& CurrentSpeechLibrary() { return *library; }

void SetSpeechLibrary(SpeechLibrary* replacement) {
  library = replacement != nullptr ? replacement : &absentLibrary;
}

}  // namespace engines
