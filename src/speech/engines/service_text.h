#pragma once

#include <string>
#include <vector>

#include "speech/engines/speech_service.h"

// Texts as the system speech services take them.
namespace engines {

// A Windows-1252 text in UTF-8, every control character made a blank: bytes 0-31 and 127,
// and the five bytes 0x81, 0x8D, 0x8F, 0x90, 0x9D that have no character of their own. So no
// byte sequence can end a text early, break a service's line protocol, or give invalid UTF-8.
std::string ServiceText(const std::string& text);
// The same text still in Windows-1252, its control characters made blanks.
std::string BlankedControls(std::string text);

// Where in `voices` the voice named `name` (Windows-1252) is, by its name or its variant and
// without regard to case; -1 when none is. The services name their voices in UTF-8.
int FindVoiceByName(const std::vector<ServiceVoice>& voices, const std::string& name);

// Whether a voice's `language` is `wanted` or one of its variants, without regard to case:
// "pt" takes pt, pt-BR and pt-PT; "pt-br" takes pt-BR and pt-br.
bool OfLanguage(const std::string& language, const std::string& wanted);

}  // namespace engines
