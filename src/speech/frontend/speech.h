#pragma once

#include <cstdint>
#include <string>

// The speech front end: the one place that decides how things are said. After SpeechStart
// it is in engine mode (an external engine opened: whole texts go to it) or internal mode
// (words to the diphone voice, numbers to number-word recordings, signs to character
// recordings). A waiting key stops any speech and stays queued for the caller.
namespace frontend {

// Program start: component services for the thread, the state's start values, the click
// sample. Called before main's flow, like every module start.
void FrontendStart();
// Reads the speech settings for `speed` (below 1: from VERANTO.INI), opens the diphone voice
// (a failure writes both error lines, waits for Enter and ends the program) and, when
// configured, an external engine. `programFolder` holds the program's own prompts.
void SpeechStart(std::int32_t speed, const std::string& programFolder);
// For tools that choose the engine themselves: later SpeechStart calls ask for an engine of
// `engineType` whatever [TRADUTOR] SAPI and [SERVFALA] TIPOSAPI say (voice, speed and pitch
// still come from [SERVFALA]). FrontendStart clears the choice.
void ForceEngineType(std::int32_t engineType);
// In engine mode hands the whole text to the engine and returns; with the internal voice
// returns when words and numbers have sounded (the last sign's recording may still play).
void Speak(const std::string& text);
// Writes and speaks the decimal form of `value` (with a minus sign when negative).
void SpeakNumber(std::int32_t value);
// Writes `text` to the console without a line end, then speaks it.
void WriteAndSpeak(const std::string& text);
// Plays the recording `name` + ".wav": from the letters folder when the name begins with "_",
// else from the program folder. An empty name plays nothing.
void PlayPrompt(const std::string& name);
// Each character's recording "_" + code + ".wav" from the letters folder, until a key waits.
void SpellText(const std::string& text);
void PlayLetter(std::uint8_t character);
// The short click that stands for a sign repeated more than four times; waits for its end.
void PlayClick();
// Whether a punctuation sign is first played as its character recording (on at start).
void SetPunctuationAnnouncing(bool on);
// Waits for pending speech, stops, closes the engine and the diphone voice.
void SpeechEnd();

}  // namespace frontend
