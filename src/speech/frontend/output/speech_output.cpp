// What every speaker of the front end waits with: the wave header of in-memory images, and
// stopping, polling and waiting for speech over the player and the external engine.
#include "speech/frontend/output/speech_output.h"

#include "audio/player/player.h"
#include "console/keyboard.h"
#include "platform/events.h"
#include "speech/engines/dispatcher.h"

namespace frontend {
namespace {

struct OutputState {
  bool engineMode = false;
  bool engineSpoke = true;
  bool stopRequested = false;
};

OutputState state;

void Put32(std::uint8_t* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void Put16(std::uint8_t* at, std::uint16_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}

void PutTag(std::uint8_t* at, const char* tag) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(tag[i]);
}

}  // namespace

void MakeWaveHeader(std::uint8_t* buffer, std::uint32_t dataSize, std::uint32_t sampleRate,
                    std::uint16_t bits, std::uint16_t channels) {
  PutTag(buffer, "RIFF");
  Put32(buffer + 4, dataSize + 36);
  PutTag(buffer + 8, "WAVE");
  PutTag(buffer + 12, "fmt ");
  Put32(buffer + 16, 16);
  Put16(buffer + 20, 1);  // PCM
  Put16(buffer + 22, channels);
  Put32(buffer + 24, sampleRate);
  Put32(buffer + 28, sampleRate * channels * (bits / 8u));
  // The block alignment is always written as 1, as every image of the suite has it.
  Put16(buffer + 32, 1);
  Put16(buffer + 34, bits);
  PutTag(buffer + 36, "data");
  Put32(buffer + 40, dataSize);
}

void ResetSpeechOutput() { state = OutputState{}; }
void SetEngineMode(bool on) { state.engineMode = on; }
bool EngineMode() { return state.engineMode; }
void SetEngineSpoke(bool spoke) { state.engineSpoke = spoke; }
bool EngineSpoke() { return state.engineSpoke; }
void ClearStopRequested() { state.stopRequested = false; }
bool StopRequested() { return state.stopRequested; }

void StopSpeech() {
  audio::WavStop();
  state.stopRequested = true;
  if (state.engineMode &&
      (engines::EngineBusy(0) || engines::CurrentEngineType() == engines::kAravoEngine)) {
    engines::EngineStop();
  }
  platform::PostWake(kStopSpeechMessage);
}

bool SpeechPending() {
  if (console::KeyPressed()) {
    StopSpeech();
    return false;
  }
  if (state.engineMode) return audio::WavBusy() || engines::EngineBusy(0);
  return audio::WavBusy();
}

void WaitForSpeech() {
  while (SpeechPending()) platform::WaitEvent();
}

void FinishEngineSpeech() {
  if (!state.engineSpoke) return;
  WaitForSpeech();
  state.engineSpoke = false;
}

void PlayBufferAndWait(std::uint8_t* image, std::size_t size) {
  FinishEngineSpeech();
  audio::WavPlayBuffer(image, size);
  WaitForSpeech();
}

}  // namespace frontend
