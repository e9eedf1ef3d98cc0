#include "speech/engines/sapi5_backend.h"

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

struct Binding {
  const char* connectionName;
  int noticeMessage;
  std::unique_ptr<SpeechServiceConnection> connection;
  int voiceCount = 0;
  // Texts handed to the service whose end or cancel notice has not been handled yet.
  int outstanding = 0;
  std::int64_t lastAliveCheck = 0;
};

Binding bindings[2] = {{"sapi5", kSapi5NoticeMessage, nullptr},
                       {"sapi54", kSapi54NoticeMessage, nullptr}};

Binding& BindingOf(std::int32_t engineType) { return bindings[engineType == 54 ? 1 : 0]; }

// Runs on the program's thread while messages are pumped: one text has ended or was cancelled.
void HandleNotice(int message) {
  for (Binding& binding : bindings) {
    if (binding.noticeMessage == message && binding.outstanding > 0) --binding.outstanding;
  }
}

void Disconnect(Binding& binding) {
  console::SetWakeHandler(binding.noticeMessage, nullptr);
  binding.connection.reset();
  binding.voiceCount = 0;
  binding.outstanding = 0;
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
               const std::string& outputFile) {
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
  if (voice < 1 || voice > binding.voiceCount) {
    voice = 1;
    speed = 0;
  }
  if (!binding.connection->SelectVoice(voices[static_cast<std::size_t>(voice - 1)].name)) {
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
  if (binding.connection->Say(ServiceText(text.empty() ? std::string(" ") : text))) {
    ++binding.outstanding;
  } else {
    platform::Beep();
  }
}

bool Sapi5Busy(std::int32_t engineType) {
  Binding& binding = BindingOf(engineType);
  if (binding.connection == nullptr) return false;
  for (int step = 0; step < kBusySteps && binding.outstanding > 0; ++step) {
    console::Delay(kBusyStepMs);
  }
  if (binding.outstanding == 0) return false;
  if (ServiceGone(binding)) {
    binding.outstanding = 0;
    return false;
  }
  platform::PostWake(kEngineWakeMessage);
  return true;
}

void Sapi5Stop(std::int32_t engineType) {
  Binding& binding = BindingOf(engineType);
  if (binding.connection == nullptr) return;
  // The cancel notices of the discarded texts end them for busy.
  binding.connection->Cancel();
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
