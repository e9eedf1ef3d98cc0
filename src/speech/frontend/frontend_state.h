#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "speech/frontend/speech_settings.h"

// What the front end's files share: the folders and pauses SpeechStart fixed, punctuation
// announcing and the click sample made at program start.
namespace frontend::detail {

// The program's prompts; empty or ending in a separator.
const std::string& ProgramFolder();
// Prompts whose name begins with "_" (DIRLETRAS as SpeechStart read it); ends in a separator.
const std::string& PromptLettersFolder();

const PunctuationPauses& Pauses();
bool PunctuationAnnouncing();

// A 44-byte wave header for 256 bytes of 8-bit mono 11 025 Hz sound, then those bytes.
std::vector<std::uint8_t>& ClickSample();

}  // namespace frontend::detail
