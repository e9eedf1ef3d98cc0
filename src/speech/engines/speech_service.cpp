// The speech service through speech-dispatcher's client library, in its threaded mode: end and
// cancel notices arrive on the library's thread and only become Wake events.
#include "speech/engines/speech_service.h"

#include <libspeechd.h>

#include <cstdlib>
#include <map>
#include <mutex>

#include "platform/events.h"

namespace engines {
namespace {

constexpr const char* kClientName = "veranto";

// Which Wake event each open connection's notices become, by the service's client id. A
// notice for a connection already closed finds nothing and is dropped. Never destroyed: the
// library's thread may still report while the program ends.
struct NoticeRoutes {
  std::mutex mutex;
  std::map<std::size_t, int> messages;
};
NoticeRoutes& Routes() {
  static NoticeRoutes* routes = new NoticeRoutes;
  return *routes;
}

void PostNotice(std::size_t, std::size_t clientId, SPDNotificationType) {
  NoticeRoutes& routes = Routes();
  std::lock_guard<std::mutex> lock(routes.mutex);
  const auto found = routes.messages.find(clientId);
  if (found != routes.messages.end()) platform::PostWake(found->second);
}

bool EnableNotices(SPDConnection* connection) {
  const auto notices = static_cast<SPDNotification>(SPD_END | SPD_CANCEL);
  return spd_set_notification_on(connection, notices) == 0;
}

class DispatcherConnection : public SpeechServiceConnection {
 public:
  DispatcherConnection(SPDConnection* connection, std::size_t clientId)
      : connection_(connection), clientId_(clientId) {}

  ~DispatcherConnection() override {
    {
      std::lock_guard<std::mutex> lock(Routes().mutex);
      Routes().messages.erase(clientId_);
    }
    spd_close(connection_);
  }

  // Asks again for the notices already on: a service gone away refuses. (Questions that
  // return text crash inside the client library once the service is gone.)
  bool Alive() override { return EnableNotices(connection_); }

  bool ListVoices(std::vector<ServiceVoice>& voices) override {
    voices.clear();
    SPDVoice** list = spd_list_synthesis_voices(connection_);
    if (list == nullptr) return false;
    for (SPDVoice** voice = list; *voice != nullptr; ++voice) {
      ServiceVoice entry;
      if ((*voice)->name != nullptr) entry.name = (*voice)->name;
      if ((*voice)->language != nullptr) entry.language = (*voice)->language;
      if ((*voice)->variant != nullptr) entry.variant = (*voice)->variant;
      voices.push_back(entry);
    }
    free_spd_voices(list);
    return true;
  }

  bool SelectVoice(const std::string& name) override {
    return spd_set_synthesis_voice(connection_, name.c_str()) == 0;
  }

  bool SetRate(int rate) override { return spd_set_voice_rate(connection_, rate) == 0; }

  // Message priority: texts queue behind one another instead of cutting each other off.
  bool Say(const std::string& text) override {
    return spd_say(connection_, SPD_MESSAGE, text.c_str()) > 0;
  }

  bool Cancel() override { return spd_cancel(connection_) == 0; }

 private:
  SPDConnection* connection_;
  std::size_t clientId_;
};

std::unique_ptr<SpeechServiceConnection> ConnectDispatcher(const std::string& connectionName,
                                                           int noticeMessage) {
  char* error = nullptr;
  // Autospawn: a service that is installed but not yet running is started.
  SPDConnection* connection = spd_open2(kClientName, connectionName.c_str(), nullptr,
                                        SPD_MODE_THREADED, nullptr, 1, &error);
  std::free(error);
  if (connection == nullptr) return nullptr;
  const int clientId = spd_get_client_id(connection);
  if (clientId < 0) {
    spd_close(connection);
    return nullptr;
  }
  {
    std::lock_guard<std::mutex> lock(Routes().mutex);
    Routes().messages[static_cast<std::size_t>(clientId)] = noticeMessage;
  }
  auto result =
      std::make_unique<DispatcherConnection>(connection, static_cast<std::size_t>(clientId));
  connection->callback_end = PostNotice;
  connection->callback_cancel = PostNotice;
  if (!EnableNotices(connection)) return nullptr;
  return result;
}

SpeechServiceConnector connector = ConnectDispatcher;

}  // namespace

std::unique_ptr<SpeechServiceConnection> ConnectSpeechService(const std::string& connectionName,
                                                              int noticeMessage) {
  return connector(connectionName, noticeMessage);
}

void SetSpeechServiceConnector(SpeechServiceConnector replacement) {
  connector = replacement != nullptr ? replacement : ConnectDispatcher;
}

}  // namespace engines
