#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "speech/engines/speech_service.h"

// The older system speech backend, the dispatcher's default. A voice is a 1-based position in
// the engine modes' (or voices') listing order; texts queue and speak in the background. A
// text is pending from when the engine takes it until it has done with it; audio is active
// while its sound plays.
//
// On Windows it is SAPI 4 through COM: an engine enumerator picks the mode (voice 0 is the
// first), the engine's central interface takes the texts, and two notification objects of
// ours count the pending texts and follow the audio. An output file receives the speech
// through SAPI 4's audio file destination.
//
// On Linux it is the synthesizer library: speed is in words per minute; the library
// synthesizes one text at a time and its samples go to the wave player as they come and as
// the player has room (on the program's thread, whenever it waits), so speak returns once the
// first sound is queued. A text is pending until its last sample was handed to the player;
// audio is active until the player falls silent. With a WAV file given to open, each text is
// synthesized whole into the file when it is handed over.
namespace engines {

#ifndef _WIN32
// The Wake events that carry the reports to the program's thread: samples are ready, and
// audio has started.
constexpr int kSapi4SamplesReadyMessage = 2983;
constexpr int kSapi4AudioStartMessage = 2985;
#endif

// The most characters handed over as one text; a longer text goes in pieces of at most this
// many, each cut after its last blank when it has one.
constexpr std::size_t kSapi4TextLimit = 64000;

// The texts a text becomes: trimmed of blanks and control characters at both ends, a lone
// digit followed by ".", cut into pieces no longer than kSapi4TextLimit. None for a text
// that trims to nothing.
std::vector<std::string> Sapi4Texts(const std::string& text);

// `speed` and `pitch` are set when not 0. A non-empty `outputFile` receives the speech
// instead of the sound card. False when the engine cannot start, has no voice, or refuses
// the voice, speed or pitch, or the file cannot be made.
// On Windows `voice` 0 or below is the first mode. On Linux it is the first voice for
// Brazilian Portuguese (or else the first voice), a number above the number of voices is the
// last, speed is in words per minute and the file a 16-bit mono WAV file.
// A `voiceName` (Windows-1252, a voice's name or identifier) is looked for before the number
// is; one that names no voice takes the voice of number 0.
bool Sapi4Open(std::int32_t voice, std::int32_t speed, std::int32_t pitch,
               const std::string& outputFile, const std::string& voiceName = "");
// Completes the output file, then lets the engine go; on Linux, sound handed to the player
// plays on.
void Sapi4Close();
// Hands the text over, unless a waiting key interrupts speech.
void Sapi4Speak(const std::string& text);
// `queueOnly` 1: texts pending; otherwise texts pending or audio active.
bool Sapi4Busy(std::uint8_t queueOnly);
// Silences the speech when anything is pending or sounding, and clears both counters.
void Sapi4Stop();

// Where in `voices` the first voice for Brazilian Portuguese is (0 when there is none): the
// voice a number of 0 or below takes on Linux.
std::size_t Sapi4BrazilianVoice(const std::vector<ServiceVoice>& voices);

// The voices `fala voices` lists, in the order the voice number counts them.
bool Sapi4Voices(std::vector<ServiceVoice>& voices);

}  // namespace engines
