// fala wav: a text spoken by the Aravo engine into a wave file, as the engine writes it.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "aravo_input.h"
#include "commands.h"
#include "platform/encoding.h"
#include "platform/system.h"
#include "speech/aravo/engine.h"
#include "speech/aravo/mbrola_binding.h"

namespace fala {
namespace {

constexpr const char* kUsage =
    "usage: fala wav [--data DIR] [--voice PATH] [TEXT...] -o FILE.wav\n";


// Linux has no registry to name the voice, so the engine gets the voice file's path itself:
// --voice, else $VERANTO_VOICE, else the formant voice of the source tree.
std::string VoicePath(const std::string& given) {
  if (!given.empty()) return given;
  const char* fromEnvironment = std::getenv("VERANTO_VOICE");
  if (fromEnvironment != nullptr && *fromEnvironment != '\0') return fromEnvironment;
  return FALA_FORMANT_VOICE;
}

}  // namespace

int WavCommand(const Output& output, const std::vector<std::string>& arguments) {
  std::vector<std::string> rest = arguments;
  std::string outputFile;
  std::string voice;
  if (!TakeOption(rest, "-o", outputFile) || !TakeOption(rest, "--voice", voice) ||
      outputFile.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  AravoInput input;
  if (!ReadAravoInput(output, rest, input)) return 2;

  aravo::AravoSetLibrary(SynthesizerLibraryPath());
  aravo::AravoSetOutputFile(ArgumentText(output, outputFile));
  const bool opened = aravo::AravoOpen(
      ArgumentText(output, VoicePath(voice)), AravoDataFile(input, "portug.nrl"),
      AravoDataFile(input, "portug.exc"), AravoDataFile(input, "portug.abr"),
      AravoDataFile(input, "portug.pro"), AravoDataFile(input, "portug.dfn"));
  aravo::AravoSetOutputFile("");
  if (!opened) {
    const std::string& lastError = aravo::AravoLastError();
    const std::string reason = output.raw ? lastError : platform::Cp1252ToUtf8(lastError);
    std::fputs("fala wav: the engine cannot start", stderr);
    if (!reason.empty()) std::fputs((": " + reason).c_str(), stderr);
    std::fputs("\n", stderr);
    return 1;
  }
  bool spoken = true;
  for (const std::string& text : input.texts) spoken = aravo::AravoSpeak(text) && spoken;
  const bool finished = aravo::AravoClose();
  if (!finished) {
    std::fprintf(stderr, "fala wav: cannot finish %s\n", outputFile.c_str());
    return 1;
  }
  if (!spoken) {
    std::fputs("fala wav: the synthesizer reported an error\n", stderr);
    return 1;
  }
  return 0;
}

}  // namespace fala
