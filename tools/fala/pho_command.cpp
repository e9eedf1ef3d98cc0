// fala pho: the whole Aravo pipeline, text to the synthesizer's .pho lines.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "aravo_input.h"
#include "commands.h"
#include "speech/aravo/durations_pitch.h"
#include "speech/aravo/normalise.h"
#include "speech/aravo/transcription.h"
#include "speech/aravo/word_coding.h"

namespace fala {
namespace {

// "--pitch F" and "--duration F" (positive factors) are taken out of the arguments.
bool TakeFactor(std::vector<std::string>& arguments, const std::string& name, double& factor) {
  for (std::size_t i = 0; i < arguments.size();) {
    if (arguments[i] != name) {
      ++i;
      continue;
    }
    char* end = nullptr;
    const double value =
        i + 1 < arguments.size() ? std::strtod(arguments[i + 1].c_str(), &end) : 0.0;
    if (end == nullptr || *end != '\0' || !(value > 0.0 && value <= 100.0)) {
      std::fprintf(stderr, "fala: %s needs a factor above 0 and up to 100\n", name.c_str());
      return false;
    }
    factor = value;
    arguments.erase(arguments.begin() + static_cast<std::ptrdiff_t>(i),
                    arguments.begin() + static_cast<std::ptrdiff_t>(i) + 2);
  }
  return true;
}

}  // namespace

int PhoCommand(const Output& output, const std::vector<std::string>& arguments) {
  std::vector<std::string> rest = arguments;
  double pitchFactor = 1.0;
  double durationFactor = 1.0;
  if (!TakeFactor(rest, "--pitch", pitchFactor) ||
      !TakeFactor(rest, "--duration", durationFactor)) {
    return 2;
  }
  AravoInput input;
  if (!ReadAravoInput(output, rest, input)) return 2;
  if (!LoadAravoFiles(input, AravoStage::kPho)) return 1;
  for (const std::string& text : input.texts) {
    const auto items = aravo::SplitTokens(aravo::NormaliseText(text));
    const auto phonemes = aravo::TranscribeItems(aravo::AssignCodes(items, true));
    PrintLines(output, aravo::ComputeProsody(phonemes, pitchFactor, durationFactor));
  }
  return 0;
}

}  // namespace fala
