#pragma once

#include <cstdint>
#include <string>

// One set of five operations over the external speech engines, routed by engine type:
// 3 is the Aravo engine, 5 and 54 the system speech services, any other value the older
// system speech service.
namespace engines {

constexpr std::int32_t kAravoEngine = 3;
constexpr std::int32_t kSystemSpeech5 = 5;
constexpr std::int32_t kSystemSpeech54 = 54;
constexpr std::int32_t kStartEngineType = 4;

// Module start: the engine type goes back to 4, and voices are chosen by number.
void DispatcherStart();
std::int32_t CurrentEngineType();

// A voice chosen by its name (in Windows-1252, compared without regard to case) instead of
// its number: the opens of types 4, 5 and 54 that follow look for it first, and a name that
// matches no voice takes the voice a number outside the list takes. Empty: by number.
void SetEngineVoiceName(const std::string& name);

// Records `engineType` (kept even when the open fails), opens that backend and, when it
// opened, waits in 50 ms steps until it no longer answers busy. An empty `outputFile` speaks
// through the sound card.
bool EngineOpen(std::int32_t voice, std::int32_t speed, std::int32_t pitch, std::int32_t engineType,
                const std::string& outputFile);
// Waits until speech has ended, then closes the backend.
void EngineClose();
void EngineSpeak(const std::string& text);
// Handles pending window messages, then asks the backend. `queueOnly` 1 counts only texts
// still queued in the engine; only the older system speech service tells the two apart.
bool EngineBusy(std::uint8_t queueOnly);
void EngineStop();

}  // namespace engines
