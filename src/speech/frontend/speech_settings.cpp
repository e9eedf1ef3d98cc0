#include "speech/frontend/speech_settings.h"

#include <cstdint>
#include <limits>
#include <string>

#include "config/suite_setting.h"

namespace frontend {
namespace {

constexpr std::size_t kDatabaseNameLength = 8;
constexpr std::int32_t kDefaultSpeed = 3;
constexpr std::int32_t kSlowestSpeed = 1;
constexpr std::int32_t kFastestSpeed = 5;
constexpr std::int32_t kOlderSystemSpeech = 4;
constexpr std::int32_t kFastestEngineSpeed = 10;

std::string Synthesizer(const std::string& key, std::int32_t speed) {
  return config::ReadSuiteSetting("SINTETIZADOR", key + std::to_string(speed));
}

// The value when the text is wholly a number, else `fallback`.
int WholeOr(const std::string& text, int fallback) {
  const SettingInteger read = ParseSettingInteger(text);
  return read.whole ? read.value : fallback;
}

// A VOZ that begins with anything but a digit or a sign names a voice: the numbers written
// for Windows can never be read as one. Blanks around the name are dropped.
std::string VoiceName(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  const char lead = text[first];
  if ((lead >= '0' && lead <= '9') || lead == '+' || lead == '-') return "";
  const std::size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

}  // namespace

int ClausePauseMs(std::uint8_t sign, std::uint8_t next, const PunctuationPauses& pauses) {
  switch (sign) {
    case '(':
    case ')':
    case ':':
    case ';':
      return pauses.colon;
    case ',':
    case '-':
    case '.':
      if (next != ' ') return -1;
      return sign == '.' ? pauses.fullStop : pauses.comma;
    default:
      return -1;
  }
}

SettingInteger ParseSettingInteger(const std::string& text) {
  SettingInteger result;
  std::size_t at = 0;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    negative = text[at] == '-';
    ++at;
  }
  const std::size_t firstDigit = at;
  // Accumulated as a magnitude and held within the 32-bit range; a number beyond it is not a
  // whole setting.
  std::int64_t magnitude = 0;
  bool inRange = true;
  const std::int64_t limit = negative ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
                                      : std::numeric_limits<std::int32_t>::max();
  while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
    magnitude = magnitude * 10 + (text[at] - '0');
    if (magnitude > limit) {
      magnitude = limit;
      inRange = false;
    }
    ++at;
  }
  result.value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
  result.whole = at == text.size() && at > firstDigit && inRange;
  return result;
}

bool SettingFlag(const std::string& text) { return !text.empty() && text[0] != 'N' && text[0] != 'n'; }

std::int32_t ResolveSpeed(std::int32_t speedArgument) {
  std::int32_t speed = speedArgument;
  if (speed < 1) speed = ParseSettingInteger(config::ReadSuiteSetting("TRADUTOR", "VELOCIDADE")).value;
  if (speed < kSlowestSpeed || speed > kFastestSpeed) speed = kDefaultSpeed;
  return speed;
}

SynthesizerSettings ReadSynthesizerSettings(std::int32_t speed) {
  SynthesizerSettings settings;
  settings.database = Synthesizer("DIFONES", speed).substr(0, kDatabaseNameLength);
  settings.cut = ParseSettingInteger(Synthesizer("CORTEFON", speed)).value;
  settings.floor = WholeOr(Synthesizer("SOBRAFON", speed), 0);
  settings.gap = WholeOr(Synthesizer("INTERPAL", speed), 0);
  settings.speechCut = SettingFlag(Synthesizer("CORTAFALA", speed));
  settings.fastPlayback = SettingFlag(Synthesizer("RAPIDINHO", speed));
  settings.fullStopPause = WholeOr(Synthesizer("PAUSAPONTO", speed), settings.fullStopPause);
  settings.commaPause = WholeOr(Synthesizer("PAUSAVIRG", speed), settings.commaPause);
  settings.colonPause = WholeOr(Synthesizer("PAUSADOISPONTOS", speed), settings.colonPause);
  return settings;
}

EngineSettings ReadEngineSettings(bool forceType, std::int32_t forcedType) {
  EngineSettings settings;
  settings.wanted = forceType || SettingFlag(config::ReadSuiteSetting("TRADUTOR", "SAPI"));
  if (!settings.wanted) return settings;
  const std::string voice = config::ReadSuiteSetting("SERVFALA", "VOZ");
  settings.voice = ParseSettingInteger(voice).value;
  settings.voiceName = VoiceName(voice);
  settings.speed = ParseSettingInteger(config::ReadSuiteSetting("SERVFALA", "VELOCIDADE")).value;
  settings.pitch = ParseSettingInteger(config::ReadSuiteSetting("SERVFALA", "TOM")).value;
  settings.type = forceType ? forcedType
                            : ParseSettingInteger(config::ReadSuiteSetting("SERVFALA", "TIPOSAPI")).value;
  if (settings.type != kOlderSystemSpeech && settings.speed > kFastestEngineSpeed) settings.speed = 0;
  return settings;
}

}  // namespace frontend
