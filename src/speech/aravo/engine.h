#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The Aravo engine: start-up with the synthesizer library, a voice and the five language
// files, speaking a text to the wave player or to an output wave file, and closing again.
// Samples are 16 000 Hz, 16-bit, mono.
namespace aravo {

constexpr int kEngineSampleRate = 16000;
constexpr std::size_t kWaveHeaderSize = 44;

// Takes effect at the next AravoOpen; empty text means the sound card.
void AravoSetOutputFile(const std::string& fileName);
// Both factors act on every later AravoSpeak; 1.0 until set.
void AravoSetVoiceFactors(double durationFactor, double pitchFactor);
// The synthesizer library AravoOpen binds; kMbrolaLibrary until set.
void AravoSetLibrary(const std::string& libraryPath);

// An empty argument takes its default: "br4", "portug.nrl", "portug.exc", "portug.abr",
// "portug.pro", "portug.dfn". A voice listed in the registry is taken from there. On failure
// nothing stays loaded or bound, and AravoLastError may tell why.
bool AravoOpen(const std::string& voiceDatabase, const std::string& rulesFile,
               const std::string& exceptionsFile, const std::string& abbreviationsFile,
               const std::string& prosodyFile, const std::string& inventoryFile);
// Finishes the output file's header, releases the tables and the library. False when the
// output file could not be finished.
bool AravoClose();
bool AravoOpened();
// Why the last open failed, Windows-1252; empty after a success and when the library or the
// voice could not be started.
const std::string& AravoLastError();

// Speaks `text` (Windows-1252); returns once every sample is with the player or in the file.
// False when the engine is not open or the synthesizer or the file reported an error.
bool AravoSpeak(const std::string& text);
// Silences the player (not with file output).
void AravoStop();
// True while the player still sounds; always false with file output.
bool AravoWait();

// A 44-byte little-endian RIFF/WAVE PCM header.
void BuildWaveHeader(std::uint8_t* header, std::int32_t sampleRate, std::uint16_t bitsPerSample,
                     std::uint16_t channels, std::int32_t dataSize);

}  // namespace aravo
