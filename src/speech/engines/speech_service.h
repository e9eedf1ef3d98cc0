#pragma once

#include <memory>
#include <string>
#include <vector>

// The speech service the newer system speech backends talk to, behind a thin connection
// that tests replace with a scripted service. Every text is UTF-8.
namespace engines {

struct ServiceVoice {
  std::string name;
  std::string language;
  std::string variant;
};

// What the service reports of a text it was handed: it began to sound, it ended, or it was
// cancelled. `text` is the number Say gave it.
enum class ServiceNoticeKind { Begin, End, Cancel };
struct ServiceNotice {
  int text;
  ServiceNoticeKind kind;
};

// One connection to the service. The service reports each text's begin and its end or
// cancel; the connection keeps the notices for TakeNotices and posts the Wake event
// `noticeMessage` given when it was made (from the library's own thread) for each one.
class SpeechServiceConnection {
 public:
  virtual ~SpeechServiceConnection() = default;
  // False once the service has gone away (it crashed or was stopped).
  virtual bool Alive() = 0;
  // The service's voices in its own order; false when it cannot tell.
  virtual bool ListVoices(std::vector<ServiceVoice>& voices) = 0;
  // A language such as "pt-BR": the service then speaks with its default voice for it.
  virtual bool SetLanguage(const std::string& language) = 0;
  virtual bool SelectVoice(const std::string& name) = 0;
  // -100 to 100; false when refused.
  virtual bool SetRate(int rate) = 0;
  // Queues a text after those said before: the text's number (above 0), which its notices
  // carry, or 0 when the service refused it.
  virtual int Say(const std::string& text) = 0;
  // Silences the text sounding and discards every queued one (each gets its cancel notice).
  virtual bool Cancel() = 0;
  // The notices that arrived since the last call, oldest first.
  virtual std::vector<ServiceNotice> TakeNotices() = 0;
};

// Makes a connection; null when the service cannot be reached. The service can keep settings
// per connection name.
using SpeechServiceConnector = std::unique_ptr<SpeechServiceConnection> (*)(
    const std::string& connectionName, int noticeMessage);

std::unique_ptr<SpeechServiceConnection> ConnectSpeechService(const std::string& connectionName,
                                                              int noticeMessage);
// Replaces the connector (tests); null brings back the one that uses speech-dispatcher.
void SetSpeechServiceConnector(SpeechServiceConnector connector);

}  // namespace engines
