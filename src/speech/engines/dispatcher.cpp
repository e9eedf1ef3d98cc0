#include "speech/engines/dispatcher.h"

#include "console/keyboard.h"
#include "speech/engines/aravo_adapter.h"

namespace engines {
namespace {

constexpr std::uint16_t kSettleStepMs = 50;

std::int32_t engineType = kStartEngineType;

// Engine types 5, 54 and every other value belong to the system speech services, which have
// no backend on this platform yet: opening fails, so the front end keeps its internal voice.
bool SystemSpeechOpen(std::int32_t, std::int32_t, std::int32_t, const std::string&) { return false; }
void SystemSpeechClose() {}
void SystemSpeechSpeak(const std::string&) {}
bool SystemSpeechBusy(std::uint8_t) { return false; }
void SystemSpeechStop() {}

}  // namespace

void DispatcherStart() { engineType = kStartEngineType; }

std::int32_t CurrentEngineType() { return engineType; }

bool EngineOpen(std::int32_t voice, std::int32_t speed, std::int32_t pitch, std::int32_t type,
                const std::string& outputFile) {
  engineType = type;
  bool opened;
  if (type == kAravoEngine) {
    opened = AravoAdapterOpen(voice, speed, pitch, outputFile);
  } else {
    opened = SystemSpeechOpen(voice, speed, pitch, outputFile);
  }
  if (opened) {
    while (EngineBusy(1)) console::Delay(kSettleStepMs);
  }
  return opened;
}

void EngineClose() {
  if (engineType == kAravoEngine) {
    AravoAdapterClose();
  } else {
    SystemSpeechClose();
  }
}

void EngineSpeak(const std::string& text) {
  if (engineType == kAravoEngine) {
    AravoAdapterSpeak(text);
  } else {
    SystemSpeechSpeak(text);
  }
}

bool EngineBusy(std::uint8_t queueOnly) {
  console::PumpMessages();
  if (engineType == kAravoEngine) return AravoAdapterBusy();
  return SystemSpeechBusy(queueOnly);
}

void EngineStop() {
  if (engineType == kAravoEngine) {
    AravoAdapterStop();
  } else {
    SystemSpeechStop();
  }
}

}  // namespace engines
