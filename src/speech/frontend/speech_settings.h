#pragma once

#include <cstdint>
#include <string>

// The speech settings of VERANTO.INI as SpeechStart reads them: the synthesizer keys of one
// speed ([SINTETIZADOR] DIFONES3, CORTEFON3, ...) and the external engine's keys ([TRADUTOR]
// SAPI, [SERVFALA]). Absent or malformed values take their defaults; none is reported.
namespace frontend {

// A setting read as an integer: an optional sign and the decimal digits before the first bad
// character; `whole` is false when the text is not wholly such a number (empty included).
struct SettingInteger {
  std::int32_t value = 0;
  bool whole = false;
};
SettingInteger ParseSettingInteger(const std::string& text);

// A yes/no setting: true when the text is non-empty and does not begin with "N" or "n".
bool SettingFlag(const std::string& text);

// The speed argument, or [TRADUTOR] VELOCIDADE when it is below 1; 3 unless 1 to 5.
std::int32_t ResolveSpeed(std::int32_t speedArgument);

struct SynthesizerSettings {
  std::string database;  // DIFONESn, at most 8 characters
  int cut = 0;           // CORTEFONn, taken even with trailing garbage
  int floor = 0;         // SOBRAFONn
  int gap = 0;           // INTERPALn, samples
  bool speechCut = false;     // CORTAFALAn
  bool fastPlayback = false;  // RAPIDINHOn
  int fullStopPause = 250;    // PAUSAPONTOn, ms
  int commaPause = 150;       // PAUSAVIRGn, ms
  int colonPause = 200;       // PAUSADOISPONTOSn, ms
};
// The [SINTETIZADOR] keys of `speed` (1 to 5).
SynthesizerSettings ReadSynthesizerSettings(std::int32_t speed);

struct PunctuationPauses {
  int fullStop = 0;
  int comma = 0;  // also after a dash
  int colon = 0;  // also after a semicolon or a bracket
};
// The pause after `sign` when `next` follows it in the text, in ms: brackets, colons and
// semicolons always; a comma, dash or full stop only where it ends a clause (a blank follows;
// inside a token, as in 3.5, it is spelled). -1 when the sign makes no pause.
int ClausePauseMs(std::uint8_t sign, std::uint8_t next, const PunctuationPauses& pauses);

struct EngineSettings {
  bool wanted = false;  // [TRADUTOR] SAPI
  std::int32_t voice = 0;
  std::string voiceName;  // VOZ when it holds a name rather than a number
  std::int32_t speed = 0;  // 0 when the type is not 4 and the speed is above 10
  std::int32_t pitch = 0;
  std::int32_t type = 0;
};
// [TRADUTOR] SAPI and, when it asks for an engine, [SERVFALA] VOZ, VELOCIDADE, TOM, TIPOSAPI.
// With `forceType`, an engine is wanted whatever SAPI says, and of type `forcedType`.
EngineSettings ReadEngineSettings(bool forceType = false, std::int32_t forcedType = 0);

}  // namespace frontend
