// `fala voices --engine N [--lang L]`: the voices of engine type N (those of language L and
// its variants), each with the number VOZ takes to choose it, and last, as 0, the voice VOZ
// falls back to.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "commands.h"
#include "platform/encoding.h"
#include "speech/engines/dispatcher.h"
#include "speech/engines/sapi4_backend.h"
#include "speech/engines/sapi5_backend.h"
#include "speech/engines/service_text.h"

namespace fala {
namespace {

constexpr const char* kUsage =
    "usage: fala voices --engine N [--lang L]\n"
#ifdef _WIN32
    "  N: 5 (SAPI 5), 54 (SAPI 5.4), 3 (the Aravo engine), any other number (SAPI 4);\n"
    "  also sapi5, sapi54, sapi4 or aravo\n"
#else
    "  N: 5 or 54 (the speech service), 3 (the Aravo engine), any other number (the\n"
    "  synthesizer library); also sapi5, sapi54, sapi4 or aravo\n"
#endif
    "  L: only the voices of that language, such as pt or pt-BR\n";

// The engine type a name or number stands for; false when it is neither.
bool ParseEngineType(const std::string& text, std::int32_t& type) {
  if (text == "sapi5") type = engines::kSystemSpeech5;
  else if (text == "sapi54") type = engines::kSystemSpeech54;
  else if (text == "sapi4") type = engines::kStartEngineType;
  else if (text == "aravo") type = engines::kAravoEngine;
  else {
    try {
      std::size_t used = 0;
      const long value = std::stol(text, &used);
      if (used != text.size() || value < INT32_MIN || value > INT32_MAX) return false;
      type = static_cast<std::int32_t>(value);
    } catch (...) {
      return false;
    }
  }
  return true;
}

#ifdef _WIN32
constexpr const char* kNoServiceVoice = "fala voices: SAPI 5 is not installed or has no voice\n";
constexpr const char* kNoLibraryVoice = "fala voices: SAPI 4 is not installed or has no engine mode\n";
#else
constexpr const char* kNoServiceVoice = "fala voices: the speech service cannot be reached or has no voice\n";
constexpr const char* kNoLibraryVoice = "fala voices: the synthesizer library cannot start or has no voice\n";
#endif

}  // namespace

int VoicesCommand(const Output& output, const std::vector<std::string>& arguments) {
  std::int32_t type = 0;
  const bool filtered = arguments.size() == 4 && arguments[2] == "--lang" && !arguments[3].empty();
  if ((arguments.size() != 2 && !filtered) || arguments[0] != "--engine" ||
      !ParseEngineType(arguments[1], type)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (type == engines::kAravoEngine) {
    std::fputs("fala voices: the Aravo engine has one voice; it does not use VOZ\n", stderr);
    return 1;
  }
  std::vector<engines::ServiceVoice> voices;
  const bool service = type == engines::kSystemSpeech5 || type == engines::kSystemSpeech54;
  const bool listed = service ? engines::Sapi5Voices(type, voices) : engines::Sapi4Voices(voices);
  if (!listed || voices.empty()) {
    std::fputs(service ? kNoServiceVoice : kNoLibraryVoice, stderr);
    return 1;
  }
  // The services name their voices in UTF-8; Print takes Windows-1252.
  for (std::size_t k = 0; k < voices.size(); ++k) {
    const engines::ServiceVoice& voice = voices[k];
    if (filtered && !engines::OfLanguage(voice.language, arguments[3])) continue;
    std::string line = std::to_string(k + 1) + "\t" + voice.name + "\t" + voice.language;
    if (service && !voice.variant.empty() && voice.variant != "none") line += "\t" + voice.variant;
    Print(output, platform::Utf8ToCp1252(line) + "\n");
  }
  std::string fallBack;
  if (service) {
#ifdef _WIN32
    fallBack = "0\t" + voices[0].name + "\t(at speed 0: VOZ absent, 0 or past " +
               std::to_string(voices.size()) + ")";
#else
    fallBack = "0\t(the service's own voice for pt-BR: VOZ absent, 0 or past " +
               std::to_string(voices.size()) + ")";
#endif
  } else {
#ifdef _WIN32
    const engines::ServiceVoice& voice = voices[0];
#else
    const engines::ServiceVoice& voice = voices[engines::Sapi4BrazilianVoice(voices)];
#endif
    fallBack = "0\t" + voice.name + "\t" + voice.language + "\t(VOZ absent, 0 or below)";
  }
  Print(output, platform::Utf8ToCp1252(fallBack) + "\n");
  return 0;
}

}  // namespace fala
