// espeak-ng in synchronous mode: every call to espeak_Synth hands its samples and events to
// the callback before it returns.
#include "espeak_voice.h"

#include <espeak-ng/speak_lib.h>

#include <cstring>

namespace voicedata {
namespace {

bool started = false;
Take* current = nullptr;

// Pitch range 0 is a monotone; a little range keeps the segments from sounding mechanical
// while their pitch still meets at the joins.
constexpr int kLevelRange = 8;
constexpr int kNaturalRange = 50;
// Words per minute. A syllable said alone is drawn out as at the end of a sentence; a
// quicker rate for the segments brings them nearer the length of a syllable in running speech.
constexpr int kLevelRate = 210;
constexpr int kNaturalRate = espeakRATE_NORMAL;

int Collect(short* samples, int count, espeak_EVENT* events) {
  if (current == nullptr) return 0;
  if (samples != nullptr && count > 0) current->samples.insert(current->samples.end(), samples, samples + count);
  for (espeak_EVENT* event = events; event != nullptr && event->type != espeakEVENT_LIST_TERMINATED; ++event) {
    // Pause "sounds" ("_", "_:", "_!") are left out: only what is said counts.
    if (event->type == espeakEVENT_PHONEME && event->id.string[0] != '_' && event->id.string[0] != '\0') {
      current->soundStartsMs.push_back(event->audio_position);
    }
  }
  return 0;
}

}  // namespace

bool VoiceStart(std::string& error) {
  if (started) return true;
  const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr,
                                     espeakINITIALIZE_PHONEME_EVENTS | espeakINITIALIZE_DONT_EXIT);
  if (rate != kVoiceRate) {
    if (rate > 0) espeak_Terminate();
    error = rate <= 0 ? "espeak-ng cannot start (is the espeak-ng-data package installed?)"
                      : "espeak-ng speaks at " + std::to_string(rate) + " Hz, expected 22050";
    return false;
  }
  espeak_SetSynthCallback(Collect);
  if (espeak_SetVoiceByName("pt-br") != EE_OK) {
    espeak_Terminate();
    error = "espeak-ng has no pt-br voice";
    return false;
  }
  started = true;
  return true;
}

void VoiceEnd() {
  if (!started) return;
  espeak_Terminate();
  started = false;
}

std::string VoiceVersion() {
  const char* path = nullptr;
  const char* version = espeak_Info(&path);
  return version == nullptr ? std::string() : std::string(version);
}

bool VoiceSpeak(const std::string& utf8Text, Intonation intonation, Take& take) {
  take.samples.clear();
  take.soundStartsMs.clear();
  if (!started) return false;
  espeak_SetParameter(espeakRANGE, intonation == Intonation::kLevel ? kLevelRange : kNaturalRange, 0);
  espeak_SetParameter(espeakRATE, intonation == Intonation::kLevel ? kLevelRate : kNaturalRate, 0);
  espeak_SetParameter(espeakPITCH, 50, 0);
  current = &take;
  const espeak_ERROR result = espeak_Synth(utf8Text.c_str(), utf8Text.size() + 1, 0, POS_CHARACTER, 0,
                                           espeakCHARS_UTF8 | espeakPHONEMES, nullptr, nullptr);
  const espeak_ERROR finished = espeak_Synchronize();
  current = nullptr;
  return result == EE_OK && finished == EE_OK;
}

}  // namespace voicedata
