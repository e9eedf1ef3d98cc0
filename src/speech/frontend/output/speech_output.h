#pragma once

#include <cstddef>
#include <cstdint>

// What every speaker of the front end waits with: the wave header, stopping, polling and
// waiting for speech, and the front-end state those need (engine mode, engine spoke, stop
// requested). A waiting key stops everything and is left in the queue for the caller.
namespace frontend {

constexpr std::size_t kWaveHeaderSize = 44;
constexpr int kStopSpeechMessage = 1123;  // posted to wake loops blocked waiting for a message

// The canonical 44-byte RIFF/WAVE PCM header at the start of `buffer`.
void MakeWaveHeader(std::uint8_t* buffer, std::uint32_t dataSize, std::uint32_t sampleRate,
                    std::uint16_t bits, std::uint16_t channels);

// Program-start values: engine mode off, engine spoke true, stop requested false.
void ResetSpeechOutput();
void SetEngineMode(bool on);
bool EngineMode();
void SetEngineSpoke(bool spoke);
bool EngineSpoke();
void ClearStopRequested();
bool StopRequested();

// Silences the player, sets stop requested, stops a busy engine (always the Aravo engine)
// and posts kStopSpeechMessage.
void StopSpeech();
// True while something still sounds; a waiting key stops everything and gives false.
bool SpeechPending();
// While SpeechPending, blocks until the next window message and asks again.
void WaitForSpeech();
// When the engine spoke since the last wait: waits for speech and clears engine spoke.
void FinishEngineSpeech();
// Finishes engine speech, plays the header-prefixed wave image and waits for speech.
void PlayBufferAndWait(std::uint8_t* image, std::size_t size);

}  // namespace frontend
