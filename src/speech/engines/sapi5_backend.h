#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "speech/engines/speech_service.h"

// The newer system speech backends, engine types 5 and 54. A voice is a 1-based position in
// the installed voices' list; texts queue and speak in the background, and busy holds until
// every text handed over has ended. Types 5 and 54 behave alike and keep separate state.
//
// On Windows they are SAPI 5 and SAPI 5.4 through COM: any voice number outside the list
// takes the first voice at speed 0, speed is the voice's Rate, and an output file receives
// the speech as a wave file.
//
// On Linux they are the speech service: any voice number outside the list takes the
// service's own voice for Brazilian Portuguese at the default rate. The two types give the
// service different connection names ("sapi5", "sapi54"), under which it can keep its own
// settings (another output module, voice or rate for one of them). The service has no file
// output: an open with an output file fails.
namespace engines {

#ifndef _WIN32
// The Wake events that carry the service's end and cancel notices to the program's thread.
constexpr int kSapi5NoticeMessage = 2981;
constexpr int kSapi54NoticeMessage = 2982;
#endif

// The 20 ms busy answers within and the steps close waits in.
constexpr int kSapi5BusyWaitMs = 20;
constexpr int kSapi5CloseStepMs = 300;

// A text that has not begun to sound this long after it came first in line counts as failed.
// A service started on demand loads its voice module first, which takes a second or two on a
// slow machine; a text queued behind others waits only from the moment they have ended.
constexpr std::int64_t kSapi5StartTimeoutMs = 5000;
// A begun text counts as ended after the start time-out plus this much per character: four
// characters a second, slower than any voice speaks at its slowest rate.
constexpr std::int64_t kSapi5MsPerCharacter = 250;
constexpr std::int64_t Sapi5LongestSoundingMs(std::size_t length) {
  return kSapi5StartTimeoutMs + static_cast<std::int64_t>(length) * kSapi5MsPerCharacter;
}

#ifndef _WIN32
// The service's rate (-100 to 100) for a speed of -10 to 10; false for any other speed,
// which the service would refuse (the voice keeps its default rate).
bool Sapi5ServiceRate(std::int32_t speed, int& rate);
#endif

// `engineType` 54 is the 5.4 binding; any other value the 5 binding. `pitch` is not used.
// A `voiceName` (Windows-1252) is looked for before the number is; one that names no voice
// takes the fall-back above.
bool Sapi5Open(std::int32_t engineType, std::int32_t voice, std::int32_t speed, std::int32_t pitch,
               const std::string& outputFile, const std::string& voiceName = "");
// Waits in 300 ms steps until busy answers false, then lets the voice go.
void Sapi5Close(std::int32_t engineType);
// Queues the text (an empty one as a blank); a text the service refuses beeps once.
void Sapi5Speak(std::int32_t engineType, const std::string& text);
// True while a text handed over has not ended; waits at most about 20 ms for the last ones
// to end, and posts the wake-up message 2980 each time it answers true. A service that has
// gone away ends every text, and so do the time-outs above (on Windows: the texts handed
// over since the voice was last silent count as one, of their length together).
bool Sapi5Busy(std::int32_t engineType);
// Discards every text queued and sounding (busy is false from then on), then waits 50 ms.
void Sapi5Stop(std::int32_t engineType);

// The voices `fala voices` lists, in the order the voice number counts them; false when the
// service cannot be reached.
bool Sapi5Voices(std::int32_t engineType, std::vector<ServiceVoice>& voices);

}  // namespace engines
