#pragma once

#include <cstdint>
#include <string>

// The dispatcher's backend for the Aravo engine: finds the engine's files from the
// [ARAVOTTS] settings, maps speed and pitch onto the engine's factors, lets a waiting key end
// speech, and posts the wake-up message 2980 so that waiting loops poll again.
namespace engines {

constexpr int kEngineWakeMessage = 2980;

struct AravoAdapterSettings {
  std::string voiceDatabase;
  std::string folder;  // ends with a separator
  std::string baseName;
  std::string rulesPath;
  std::string exceptionsPath;
  std::string abbreviationsPath;
  std::string prosodyPath;
  std::string inventoryPath;
};

// Module start: reads MBROLA_DB, DIR and BASE from [ARAVOTTS] and builds the five paths.
void AravoAdapterStart();
const AravoAdapterSettings& AravoAdapterSettingsInUse();

struct VoiceFactors {
  double duration = 1.0;
  double pitch = 1.0;
};
// Duration factor 0.8 - speed / 15, pitch factor (pitch + 11) / 11.
VoiceFactors AravoVoiceFactors(std::int32_t speed, std::int32_t pitch);

// `voice` is not used. The factors are set whether or not the open succeeds.
bool AravoAdapterOpen(std::int32_t voice, std::int32_t speed, std::int32_t pitch,
                      const std::string& outputFile);
// Waits in 500 ms steps until speech has ended, then stops and closes the engine.
void AravoAdapterClose();
void AravoAdapterSpeak(const std::string& text);
// True while the engine still sounds; a waiting key stops it and answers false, the key staying
// queued for its reader.
bool AravoAdapterBusy();
void AravoAdapterStop();

}  // namespace engines
