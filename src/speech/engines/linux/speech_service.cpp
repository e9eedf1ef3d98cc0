// The speech service through speech-dispatcher's client library, in its threaded mode: end and
// cancel notices arrive on the library's thread and only become Wake events.
#include "speech/engines/speech_service.h"

#include <libspeechd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/events.h"

namespace engines {
namespace {

constexpr const char* kClientName = "veranto";

// Where each open connection's notices go, by the service's client id: its Wake event and
// the list TakeNotices empties. A notice for a connection already closed finds nothing and is
// dropped. Never destroyed: the library's thread may still report while the program ends.
struct NoticeRoute {
  int message = 0;
  std::vector<ServiceNotice> notices;
};
struct NoticeRoutes {
  std::mutex mutex;
  std::map<std::size_t, NoticeRoute> byClient;
};
NoticeRoutes& Routes() {
  static NoticeRoutes* routes = new NoticeRoutes;
  return *routes;
}

void Route(std::size_t textId, std::size_t clientId, ServiceNoticeKind kind) {
  NoticeRoutes& routes = Routes();
  std::lock_guard<std::mutex> lock(routes.mutex);
  const auto found = routes.byClient.find(clientId);
  if (found == routes.byClient.end()) return;
  found->second.notices.push_back({static_cast<int>(textId), kind});
  platform::PostWake(found->second.message);
}

void RouteBegin(std::size_t textId, std::size_t clientId, SPDNotificationType) {
  Route(textId, clientId, ServiceNoticeKind::Begin);
}
void RouteEnd(std::size_t textId, std::size_t clientId, SPDNotificationType) {
  Route(textId, clientId, ServiceNoticeKind::End);
}
void RouteCancel(std::size_t textId, std::size_t clientId, SPDNotificationType) {
  Route(textId, clientId, ServiceNoticeKind::Cancel);
}

bool EnableNotices(SPDConnection* connection) {
  const auto notices = static_cast<SPDNotification>(SPD_BEGIN | SPD_END | SPD_CANCEL);
  return spd_set_notification_on(connection, notices) == 0;
}

// A service whose output module hangs (its audio output cannot open) stops answering at all:
// the client library then waits for ever for each reply, and a new connection waits for its
// greeting. So every request runs on a thread of its own that the program's thread waits for
// a bounded time. A request that takes longer marks the service as hung for the rest of the
// run: its thread and connection are left to it, and every later request fails at once.
constexpr std::int64_t kRequestMs = 3000;
// Connecting may start the service first, and listing ten thousand voices takes a while.
constexpr std::int64_t kSlowRequestMs = 10000;

std::atomic<bool> serviceHung{false};

struct Request {
  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
  int result = 0;
};

// `work`'s result, or `failed` when the service is hung or does not answer in `timeoutMs`.
template <typename Work>
int Bounded(std::int64_t timeoutMs, int failed, Work work) {
  if (serviceHung.load()) return failed;
  auto request = std::make_shared<Request>();
  std::thread([request, work]() mutable {
    const int result = work();
    std::lock_guard<std::mutex> lock(request->mutex);
    request->result = result;
    request->finished = true;
    request->done.notify_all();
  }).detach();
  std::unique_lock<std::mutex> lock(request->mutex);
  const auto finished = [&] { return request->finished; };
  if (!request->done.wait_for(lock, std::chrono::milliseconds(timeoutMs), finished)) {
    serviceHung.store(true);
    return failed;
  }
  return request->result;
}

class DispatcherConnection : public SpeechServiceConnection {
 public:
  DispatcherConnection(SPDConnection* connection, std::size_t clientId)
      : connection_(connection), clientId_(clientId) {}

  ~DispatcherConnection() override {
    {
      std::lock_guard<std::mutex> lock(Routes().mutex);
      Routes().byClient.erase(clientId_);
    }
    // A hung service keeps its connection: closing it would wait for the service too.
    SPDConnection* connection = connection_;
    Bounded(kRequestMs, 0, [connection] {
      spd_close(connection);
      return 0;
    });
  }

  // Asks again for the notices already on: a service gone away refuses. (Questions that
  // return text crash inside the client library once the service is gone.)
  bool Alive() override {
    SPDConnection* connection = connection_;
    return Bounded(kRequestMs, 0, [connection] { return EnableNotices(connection) ? 1 : 0; }) == 1;
  }

  bool ListVoices(std::vector<ServiceVoice>& voices) override {
    voices.clear();
    // Filled on the request's thread; shared, since a request given up on may finish later.
    auto listed = std::make_shared<std::vector<ServiceVoice>>();
    SPDConnection* connection = connection_;
    const int found = Bounded(kSlowRequestMs, 0, [connection, listed] {
      SPDVoice** list = spd_list_synthesis_voices(connection);
      if (list == nullptr) return 0;
      for (SPDVoice** voice = list; *voice != nullptr; ++voice) {
        ServiceVoice entry;
        if ((*voice)->name != nullptr) entry.name = (*voice)->name;
        if ((*voice)->language != nullptr) entry.language = (*voice)->language;
        if ((*voice)->variant != nullptr) entry.variant = (*voice)->variant;
        listed->push_back(entry);
      }
      free_spd_voices(list);
      return 1;
    });
    if (found == 1) voices.swap(*listed);
    return found == 1;
  }

  bool SetLanguage(const std::string& language) override {
    SPDConnection* connection = connection_;
    return Bounded(kRequestMs, -1, [connection, language] {
             return spd_set_language(connection, language.c_str());
           }) == 0;
  }

  bool SelectVoice(const std::string& name) override {
    SPDConnection* connection = connection_;
    return Bounded(kRequestMs, -1, [connection, name] {
             return spd_set_synthesis_voice(connection, name.c_str());
           }) == 0;
  }

  bool SetRate(int rate) override {
    SPDConnection* connection = connection_;
    return Bounded(kRequestMs, -1, [connection, rate] { return spd_set_voice_rate(connection, rate); }) == 0;
  }

  // Message priority: texts queue behind one another instead of cutting each other off.
  int Say(const std::string& text) override {
    SPDConnection* connection = connection_;
    auto said = std::make_shared<std::string>(text);
    const int id = Bounded(kRequestMs, -1, [connection, said] {
      return spd_say(connection, SPD_MESSAGE, said->c_str());
    });
    return id > 0 ? id : 0;
  }

  bool Cancel() override {
    SPDConnection* connection = connection_;
    return Bounded(kRequestMs, -1, [connection] { return spd_cancel(connection); }) == 0;
  }

  std::vector<ServiceNotice> TakeNotices() override {
    std::lock_guard<std::mutex> lock(Routes().mutex);
    std::vector<ServiceNotice> notices;
    notices.swap(Routes().byClient[clientId_].notices);
    return notices;
  }

 private:
  SPDConnection* connection_;
  std::size_t clientId_;
};

// The connection with its client id, or null. Runs on a request's thread.
SPDConnection* OpenConnection(const std::string& connectionName, int& clientId) {
  char* error = nullptr;
  // Autospawn: a service that is installed but not yet running is started.
  SPDConnection* connection = spd_open2(kClientName, connectionName.c_str(), nullptr,
                                        SPD_MODE_THREADED, nullptr, 1, &error);
  std::free(error);
  if (connection == nullptr) return nullptr;
  clientId = spd_get_client_id(connection);
  if (clientId < 0) {
    spd_close(connection);
    return nullptr;
  }
  return connection;
}

std::unique_ptr<SpeechServiceConnection> ConnectDispatcher(const std::string& connectionName,
                                                           int noticeMessage) {
  struct Opened {
    SPDConnection* connection = nullptr;
    int clientId = -1;
  };
  auto opened = std::make_shared<Opened>();
  const int found = Bounded(kSlowRequestMs, 0, [opened, connectionName] {
    opened->connection = OpenConnection(connectionName, opened->clientId);
    return opened->connection != nullptr ? 1 : 0;
  });
  if (found != 1) return nullptr;
  SPDConnection* connection = opened->connection;
  {
    std::lock_guard<std::mutex> lock(Routes().mutex);
    Routes().byClient[static_cast<std::size_t>(opened->clientId)].message = noticeMessage;
  }
  auto result = std::make_unique<DispatcherConnection>(connection,
                                                       static_cast<std::size_t>(opened->clientId));
  connection->callback_begin = RouteBegin;
  connection->callback_end = RouteEnd;
  connection->callback_cancel = RouteCancel;
  if (!result->Alive()) return nullptr;
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
