#include "speech/engines/aravo_adapter.h"

#include "config/suite_setting.h"
#include "console/keyboard.h"
#include "platform/events.h"
#include "platform/system.h"
#include "speech/aravo/engine.h"

namespace engines {
namespace {

constexpr const char* kSection = "ARAVOTTS";
constexpr const char* kDefaultVoiceDatabase = "br4";
constexpr const char* kDefaultBaseName = "portug";
constexpr const char* kDefaultFolder = "\\lumivar\\aravotts\\";
constexpr const char* kVoiceRegistryKey = "SOFTWARE\\TCTS\\Mbrola\\databases\\BR4\\";
// The registry names the voice database's file; its folder is that path without "br4".
constexpr std::size_t kVoiceFileNameLength = 3;
constexpr std::uint16_t kCloseStepMs = 500;

AravoAdapterSettings settings;

bool EndsWithSeparator(const std::string& path) {
  return !path.empty() && (path.back() == '\\' || path.back() == platform::kPathSeparator);
}

std::string RegisteredVoiceFolder() {
  std::string voicePath;
  // A value too short to hold a folder before the file name says nothing about the folder.
  if (!platform::ReadRegistryString(kVoiceRegistryKey, "", voicePath) ||
      voicePath.size() <= kVoiceFileNameLength) {
    return kDefaultFolder;
  }
  return voicePath.substr(0, voicePath.size() - kVoiceFileNameLength);
}

void PostEngineWake() { platform::PostWake(kEngineWakeMessage); }

}  // namespace

void AravoAdapterStart() {
  settings = {};
  settings.voiceDatabase = config::ReadSuiteSetting(kSection, "MBROLA_DB");
  settings.folder = config::ReadSuiteSetting(kSection, "DIR");
  settings.baseName = config::ReadSuiteSetting(kSection, "BASE");
  if (settings.voiceDatabase.empty()) settings.voiceDatabase = kDefaultVoiceDatabase;
  if (settings.folder.empty()) settings.folder = RegisteredVoiceFolder();
  if (settings.baseName.empty()) settings.baseName = kDefaultBaseName;
  if (!EndsWithSeparator(settings.folder)) settings.folder += platform::kPathSeparator;
  const std::string stem = settings.folder + settings.baseName;
  settings.rulesPath = stem + ".nrl";
  settings.exceptionsPath = stem + ".exc";
  settings.abbreviationsPath = stem + ".abr";
  settings.prosodyPath = stem + ".pro";
  settings.inventoryPath = stem + ".dfn";
}

const AravoAdapterSettings& AravoAdapterSettingsInUse() { return settings; }

VoiceFactors AravoVoiceFactors(std::int32_t speed, std::int32_t pitch) {
  return {0.8 - speed / 15.0, (pitch + 11) / 11.0};
}

bool AravoAdapterOpen(std::int32_t, std::int32_t speed, std::int32_t pitch,
                      const std::string& outputFile) {
  aravo::AravoSetOutputFile(outputFile);
  const bool opened = aravo::AravoOpen(settings.voiceDatabase, settings.rulesPath, settings.exceptionsPath,
                                       settings.abbreviationsPath, settings.prosodyPath,
                                       settings.inventoryPath);
  const VoiceFactors factors = AravoVoiceFactors(speed, pitch);
  aravo::AravoSetVoiceFactors(factors.duration, factors.pitch);
  return opened;
}

void AravoAdapterClose() {
  while (AravoAdapterBusy()) console::Delay(kCloseStepMs);
  AravoAdapterStop();
  aravo::AravoClose();
}

void AravoAdapterSpeak(const std::string& text) {
  aravo::AravoSpeak(text);
  PostEngineWake();
}

bool AravoAdapterBusy() {
  bool busy = aravo::AravoWait();
  if (console::KeyPressed()) {
    AravoAdapterStop();
    busy = false;
  }
  PostEngineWake();
  return busy;
}

void AravoAdapterStop() {
  aravo::AravoStop();
  PostEngineWake();
}

}  // namespace engines
