// The Aravo engine's start-up and close: the synthesizer library and voice, the language
// files, and the choice between the sound card and an output wave file.
#include "speech/aravo/engine.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/system.h"
#include "speech/aravo/engine_internal.h"
#include "speech/aravo/lexicon.h"
#include "speech/aravo/mbrola_binding.h"
#include "speech/aravo/normalise.h"
#include "speech/aravo/prosody_config.h"

namespace aravo {
namespace {

constexpr const char* kVoiceRegistryKey = "SOFTWARE\\TCTS\\Mbrola\\databases\\";
constexpr const char* kVoiceWhenRegistryEmpty = "c:\\lumivar\\aravotts\\br4";
constexpr const char* kLanguageFilesError = "Erro na base de dados de português";
constexpr const char* kAbbreviationsError = "Erro no arquivo de abreviaturas";
constexpr const char* kProsodyError = "Erro no arquivo de prosódia";
constexpr const char* kOutputFileError = "Arquivo de saída não pode ser criado";

std::string outputFileName;
std::string libraryPath = kMbrolaLibrary;
std::FILE* outputFile = nullptr;
// The file system's name of the open output file: a later AravoSetOutputFile does not move it.
std::string outputFilePath;
double durationFactor = 1.0;
double pitchFactor = 1.0;
std::string lastError;
bool opened = false;

std::string OrDefault(const std::string& given, const char* fallback) {
  return given.empty() ? std::string(fallback) : given;
}

// The voice database's file as the registry lists it, else `voice` unchanged.
std::string RegisteredVoice(const std::string& voice) {
  std::string registered;
  if (!platform::ReadRegistryString(kVoiceRegistryKey + voice, "", registered)) return voice;
  return registered.empty() ? std::string(kVoiceWhenRegistryEmpty) : registered;
}

void ReleaseTables() {
  FreeLetterRules();
  ReleaseDiphoneInventory();
}

// Ends what a successful init left in place, so a failed open holds nothing.
void ReleaseSynthesizer() {
  ReleaseTables();
  Mbrola().close();
  MbrolaUnbind();
}

bool LoadLanguageFiles(const std::string& rulesFile, const std::string& exceptionsFile,
                       const std::string& abbreviationsFile, const std::string& prosodyFile,
                       const std::string& inventoryFile) {
  if (!LoadLetterRules(rulesFile) || !LoadExceptionLexicon(exceptionsFile)) {
    lastError = kLanguageFilesError;
    return false;
  }
  if (!LoadAbbreviations(abbreviationsFile)) {
    lastError = kAbbreviationsError;
    return false;
  }
  if (!LoadProsody(prosodyFile) || !LoadDiphoneInventory(inventoryFile)) {
    lastError = kProsodyError;
    return false;
  }
  return true;
}

bool WriteHeader(std::FILE* file, std::int32_t dataSize) {
  std::uint8_t header[kWaveHeaderSize];
  BuildWaveHeader(header, kEngineSampleRate, 16, 1, dataSize);
  return std::fwrite(header, 1, sizeof header, file) == sizeof header;
}

bool CreateOutputFile() {
  outputFilePath = platform::FileSystemName(outputFileName);
  std::FILE* file = std::fopen(outputFilePath.c_str(), "wb");
  if (file == nullptr) return false;
  if (!WriteHeader(file, 0) || std::fflush(file) != 0) {
    lastError = kOutputFileError;
    std::fclose(file);
    return false;
  }
  outputFile = file;
  return true;
}

// Closes the output file and writes its final sizes into the header.
bool FinishOutputFile() {
  bool finished = std::fclose(outputFile) == 0;
  outputFile = nullptr;
  std::FILE* file = std::fopen(outputFilePath.c_str(), "r+b");
  if (file == nullptr) return false;
  long size = -1;
  if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
  const bool sizeFits = size >= static_cast<long>(kWaveHeaderSize) && size - 36 <= INT32_MAX;
  finished = finished && sizeFits && std::fseek(file, 0, SEEK_SET) == 0 &&
             WriteHeader(file, static_cast<std::int32_t>(size - kWaveHeaderSize));
  return std::fclose(file) == 0 && finished;
}

void PutLittleEndian(std::uint8_t* at, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

namespace detail {

std::FILE* OutputFile() { return outputFile; }
double DurationFactor() { return durationFactor; }
double PitchFactor() { return pitchFactor; }

}  // namespace detail

void AravoSetOutputFile(const std::string& fileName) { outputFileName = fileName; }

void AravoSetVoiceFactors(double duration, double pitch) {
  durationFactor = duration;
  pitchFactor = pitch;
}

void AravoSetLibrary(const std::string& path) { libraryPath = path; }

bool AravoOpen(const std::string& voiceDatabase, const std::string& rulesFile,
               const std::string& exceptionsFile, const std::string& abbreviationsFile,
               const std::string& prosodyFile, const std::string& inventoryFile) {
  // Opening again first finishes the engine opened before.
  if (opened) AravoClose();
  // The reason always belongs to this open, never to an earlier one.
  lastError.clear();
  if (!MbrolaBind(libraryPath)) return false;
  const std::string voice = RegisteredVoice(OrDefault(voiceDatabase, "br4"));
  std::string voicePath = platform::FileSystemName(voice);
  if (Mbrola().init(voicePath.data()) < 0) {
    MbrolaUnbind();
    return false;
  }
  Mbrola().setNoError(1);
  ReleaseTables();
  if (!LoadLanguageFiles(OrDefault(rulesFile, "portug.nrl"), OrDefault(exceptionsFile, "portug.exc"),
                         OrDefault(abbreviationsFile, "portug.abr"),
                         OrDefault(prosodyFile, "portug.pro"),
                         OrDefault(inventoryFile, "portug.dfn")) ||
      (!outputFileName.empty() && !CreateOutputFile())) {
    ReleaseSynthesizer();
    return false;
  }
  opened = true;
  return true;
}

bool AravoClose() {
  if (!opened) return true;
  const bool finished = outputFile == nullptr || FinishOutputFile();
  ReleaseSynthesizer();
  opened = false;
  return finished;
}

bool AravoOpened() { return opened; }

const std::string& AravoLastError() { return lastError; }

void BuildWaveHeader(std::uint8_t* header, std::int32_t sampleRate, std::uint16_t bitsPerSample,
                     std::uint16_t channels, std::int32_t dataSize) {
  const auto blockAlign = static_cast<std::uint16_t>(channels * bitsPerSample / 8);
  const auto size = static_cast<std::uint32_t>(dataSize);
  const auto rate = static_cast<std::uint32_t>(sampleRate);
  std::copy_n("RIFF", 4, header);
  PutLittleEndian(header + 4, size + 36, 4);
  std::copy_n("WAVEfmt ", 8, header + 8);
  PutLittleEndian(header + 16, 16, 4);
  PutLittleEndian(header + 20, 1, 2);
  PutLittleEndian(header + 22, channels, 2);
  PutLittleEndian(header + 24, rate, 4);
  PutLittleEndian(header + 28, rate * blockAlign, 4);
  PutLittleEndian(header + 32, blockAlign, 2);
  PutLittleEndian(header + 34, bitsPerSample, 2);
  std::copy_n("data", 4, header + 36);
  PutLittleEndian(header + 40, size, 4);
}

}  // namespace aravo
