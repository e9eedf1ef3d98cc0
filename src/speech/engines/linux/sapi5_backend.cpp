#include "speech/engines/sapi5_backend.h"

#include <deque>
#include <memory>

#include "console/console.h"
#include "console/keyboard.h"
#include "platform/events.h"
#include "platform/sound.h"
#include "platform/system.h"
#include "speech/engines/aravo_adapter.h"
#include "speech/engines/service_text.h"

namespace engines {
namespace {

constexpr int kRateStep = 10;
constexpr int kLowestSpeed = -10;
constexpr int kHighestSpeed = 10;
constexpr int kBusySteps = 4;
constexpr std::uint16_t kBusyStepMs = kSapi5BusyWaitMs / kBusySteps;
constexpr std::uint16_t kStopSettleMs = 50;
// How often busy asks a silent service whether it is still there.
constexpr std::int64_t kAliveCheckMs = 500;
constexpr const char* kFallbackLanguage = "pt-BR";

// A text handed to the service whose end or cancel has not been reported.
struct HeldText {
  int id;
  std::size_t length;
  bool begun = false;
  std::int64_t since = 0;  // when it began, or when it came first in line
};

struct Binding {
  const char* connectionName;
  int noticeMessage;
  std::unique_ptr<SpeechServiceConnection> connection;
  int voiceCount = 0;
  std::deque<HeldText> held{};  // in the order said: the first is the one sounding or next
  std::int64_t lastAliveCheck = 0;
};

Binding bindings[2] = {{"sapi5", kSapi5NoticeMessage, nullptr},
                       {"sapi54", kSapi54NoticeMessage, nullptr}};

Binding& BindingOf(std::int32_t engineType) { return bindings[engineType == 54 ? 1 : 0]; }

void ComeFirst(Binding& binding) {
  if (!binding.held.empty() && !binding.held.front().begun) {
    binding.held.front().since = platform::ClockMilliseconds();
  }
}

void Apply(Binding& binding, const ServiceNotice& notice) {
  for (auto text = binding.held.begin(); text != binding.held.end(); ++text) {
    if (text->id != notice.text) continue;
    if (notice.kind == ServiceNoticeKind::Begin) {
      text->begun = true;
      text->since = platform::ClockMilliseconds();
      return;
    }
    const bool first = text == binding.held.begin();
    binding.held.erase(text);
    if (first) ComeFirst(binding);
    return;
  }
}

// Runs on the program's thread while messages are pumped: the service reported on a text.
void HandleNotice(int message) {
  for (Binding& binding : bindings) {
    if (binding.noticeMessage != message || binding.connection == nullptr) continue;
    for (const ServiceNotice& notice : binding.connection->TakeNotices()) Apply(binding, notice);
  }
}

// A service that cannot play (its audio output failed) accepts texts and never reports on
// them; one that stalls never ends the text it began. The first text in line counts as
// ended once it has waited for its start too long, and then the service's queue is failed
// as a whole (discarded, one beep); or once it has sounded far longer than its length calls
// for.
void EndOverdueTexts(Binding& binding) {
  const std::int64_t now = platform::ClockMilliseconds();
  while (!binding.held.empty()) {
    const HeldText& first = binding.held.front();
    if (!first.begun && now - first.since > kSapi5StartTimeoutMs) {
      binding.held.clear();
      binding.connection->Cancel();
      platform::Beep();
      return;
    }
    if (!first.begun || now - first.since <= Sapi5LongestSoundingMs(first.length)) return;
    binding.held.pop_front();
    ComeFirst(binding);
  }
}

void Disconnect(Binding& binding) {
  console::SetWakeHandler(binding.noticeMessage, nullptr);
  binding.connection.reset();
  binding.voiceCount = 0;
  binding.held.clear();
}

// A service that crashed or was stopped sends no more notices: what it held has ended.
bool ServiceGone(Binding& binding) {
  const std::int64_t now = platform::ClockMilliseconds();
  if (now - binding.lastAliveCheck < kAliveCheckMs) return false;
  binding.lastAliveCheck = now;
  return !binding.connection->Alive();
}

}  // namespace

bool Sapi5ServiceRate(std::int32_t speed, int& rate) {
  if (speed < kLowestSpeed || speed > kHighestSpeed) return false;
  rate = speed * kRateStep;
  return true;
}

bool Sapi5Open(std::int32_t engineType, std::int32_t voice, std::int32_t speed, std::int32_t,
               const std::string& outputFile, const std::string& voiceName) {
  Binding& binding = BindingOf(engineType);
  Disconnect(binding);
  if (!outputFile.empty()) return false;
  binding.connection = ConnectSpeechService(binding.connectionName, binding.noticeMessage);
  if (binding.connection == nullptr) return false;
  std::vector<ServiceVoice> voices;
  if (!binding.connection->ListVoices(voices) || voices.empty()) {
    Disconnect(binding);
    return false;
  }
  binding.voiceCount = static_cast<int>(voices.size());
  // The voice list is the service's own order, which changes as voice modules are updated:
  // a number outside it says nothing about the voice wanted, and the service's first voice
  // is seldom Portuguese. The language goes first, since choosing it resets the voice.
  bool chosen = true;
  if (!voiceName.empty()) {
    const int named = FindVoiceByName(voices, voiceName);
    voice = named >= 0 ? named + 1 : 0;
  }
  if (voice < 1 || voice > binding.voiceCount) {
    speed = 0;
    chosen = binding.connection->SetLanguage(kFallbackLanguage);
  } else {
    const ServiceVoice& wanted = voices[static_cast<std::size_t>(voice - 1)];
    if (!wanted.language.empty()) binding.connection->SetLanguage(wanted.language);
    chosen = binding.connection->SelectVoice(wanted.name);
  }
  if (!chosen) {
    Disconnect(binding);
    return false;
  }
  int rate = 0;
  // A rate the service refuses leaves the voice at its default rate.
  if (Sapi5ServiceRate(speed, rate)) binding.connection->SetRate(rate);
  binding.lastAliveCheck = platform::ClockMilliseconds();
  console::SetWakeHandler(binding.noticeMessage, HandleNotice);
  return true;
}

void Sapi5Close(std::int32_t engineType) {
  Binding& binding = BindingOf(engineType);
  while (Sapi5Busy(engineType)) console::Delay(kSapi5CloseStepMs);
  Disconnect(binding);
}

void Sapi5Speak(std::int32_t engineType, const std::string& text) {
  Binding& binding = BindingOf(engineType);
  if (binding.connection == nullptr) return;
  const std::string said = ServiceText(text.empty() ? std::string(" ") : text);
  const int id = binding.connection->Say(said);
  if (id <= 0) {
    platform::Beep();
    return;
  }
  binding.held.push_back({id, said.size()});
  if (binding.held.size() == 1) ComeFirst(binding);
}

bool Sapi5Busy(std::int32_t engineType) {
  Binding& binding = BindingOf(engineType);
  if (binding.connection == nullptr) return false;
  for (int step = 0; step < kBusySteps && !binding.held.empty(); ++step) {
    console::Delay(kBusyStepMs);
  }
  EndOverdueTexts(binding);
  if (binding.held.empty()) return false;
  if (ServiceGone(binding)) {
    binding.held.clear();
    return false;
  }
  platform::PostWake(kEngineWakeMessage);
  return true;
}

void Sapi5Stop(std::int32_t engineType) {
  Binding& binding = BindingOf(engineType);
  if (binding.connection == nullptr) return;
  // Busy is false at once; the cancel notices that follow name texts no longer held.
  binding.connection->Cancel();
  binding.held.clear();
  console::Delay(kStopSettleMs);
}

bool Sapi5Voices(std::int32_t engineType, std::vector<ServiceVoice>& voices) {
  Binding& binding = BindingOf(engineType);
  voices.clear();
  if (binding.connection != nullptr) return binding.connection->ListVoices(voices);
  const std::unique_ptr<SpeechServiceConnection> connection =
      ConnectSpeechService(binding.connectionName, binding.noticeMessage);
  return connection != nullptr && connection->ListVoices(voices);
}

}  // namespace engines
