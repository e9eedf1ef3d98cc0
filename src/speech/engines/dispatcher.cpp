#include "speech/engines/dispatcher.h"

#include "console/keyboard.h"
#include "speech/engines/aravo_adapter.h"
#include "speech/engines/sapi4_backend.h"
#include "speech/engines/sapi5_backend.h"

namespace engines {
namespace {

constexpr std::uint16_t kSettleStepMs = 50;

std::int32_t engineType = kStartEngineType;
std::string voiceName;

// Engine types 5 and 54 speak through the speech service, every other value through the
// synthesizer library.
bool IsSapi5(std::int32_t type) { return type == kSystemSpeech5 || type == kSystemSpeech54; }

bool SystemSpeechOpen(std::int32_t voice, std::int32_t speed, std::int32_t pitch,
                      const std::string& outputFile) {
  if (IsSapi5(engineType)) return Sapi5Open(engineType, voice, speed, pitch, outputFile, voiceName);
  return Sapi4Open(voice, speed, pitch, outputFile, voiceName);
}

void SystemSpeechClose() {
  if (IsSapi5(engineType)) {
    Sapi5Close(engineType);
  } else {
    Sapi4Close();
  }
}

void SystemSpeechSpeak(const std::string& text) {
  if (IsSapi5(engineType)) {
    Sapi5Speak(engineType, text);
  } else {
    Sapi4Speak(text);
  }
}

bool SystemSpeechBusy(std::uint8_t queueOnly) {
  if (IsSapi5(engineType)) return Sapi5Busy(engineType);
  return Sapi4Busy(queueOnly);
}

void SystemSpeechStop() {
  if (IsSapi5(engineType)) {
    Sapi5Stop(engineType);
  } else {
    Sapi4Stop();
  }
}

}  // namespace

void DispatcherStart() {
  engineType = kStartEngineType;
  voiceName.clear();
}

void SetEngineVoiceName(const std::string& name) { voiceName = name; }

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
