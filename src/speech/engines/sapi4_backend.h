#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "speech/engines/speech_service.h"

// The older system speech backend, the dispatcher's default, on the synthesizer library: a
// voice is a 1-based position in the library's listing order, speed is in words per minute.
// Texts queue; the library synthesizes one at a time in the background, and its samples go to
// the wave player as they come and as the player has room (on the program's thread, whenever
// it waits), so speak returns once the first sound is queued. A text is pending until its last
// sample was handed to the player; audio is active until the player falls silent. With a WAV
// file given to open, each text is synthesized whole into the file when it is handed over.
namespace engines {

// The Wake events that carry the reports to the program's thread: samples are ready, and
// audio has started.
constexpr int kSapi4SamplesReadyMessage = 2983;
constexpr int kSapi4AudioStartMessage = 2985;

// The most characters handed over as one text; a longer text goes in pieces of at most this
// many, each cut after its last blank when it has one.
constexpr std::size_t kSapi4TextLimit = 64000;

// The texts a text becomes: trimmed of blanks and control characters at both ends, a lone
// digit followed by ".", cut into pieces no longer than kSapi4TextLimit. None for a text
// that trims to nothing.
std::vector<std::string> Sapi4Texts(const std::string& text);

// `voice` 0 or below is the first voice for Brazilian Portuguese (or else the first voice),
// above the number of voices the last; `speed` (words per minute) and `pitch` are set when not
// 0, over the library's defaults. A non-empty `outputFile` receives the speech as a 16-bit
// mono WAV file instead of the sound card. False when the library cannot start, has no
// voice, or refuses the voice, speed or pitch, or the file cannot be made.
// A `voiceName` (Windows-1252, a voice's name or identifier) is looked for before the number
// is; one that names no voice takes the Brazilian voice.
bool Sapi4Open(std::int32_t voice, std::int32_t speed, std::int32_t pitch,
               const std::string& outputFile, const std::string& voiceName = "");
// Completes the WAV file, then ends the library; sound handed to the player plays on.
void Sapi4Close();
// Hands the text over, unless a waiting key interrupts speech.
void Sapi4Speak(const std::string& text);
// `queueOnly` 1: texts pending; otherwise texts pending or audio active.
bool Sapi4Busy(std::uint8_t queueOnly);
// Silences the player when anything is pending or sounding, and clears both counters.
void Sapi4Stop();

// Where in `voices` the first voice for Brazilian Portuguese is (0 when there is none): the
// voice a number of 0 or below takes.
std::size_t Sapi4BrazilianVoice(const std::vector<ServiceVoice>& voices);

// The voices `fala voices` lists, in the order the voice number counts them.
bool Sapi4Voices(std::vector<ServiceVoice>& voices);

}  // namespace engines
