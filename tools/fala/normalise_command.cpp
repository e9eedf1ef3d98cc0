// fala normalise: the first stage of the Aravo pipeline, text to speakable words.
#include <cstdio>
#include <string>
#include <vector>

#include "aravo_input.h"
#include "commands.h"
#include "platform/encoding.h"
#include "platform/system.h"
#include "speech/aravo/normalise.h"

namespace fala {

bool ReadAravoInput(const Output& output, const std::vector<std::string>& arguments,
                    AravoInput& input) {
  input.dataFolder = platform::Utf8ToCp1252(FALA_ARAVO_DATA_DIR);
  input.texts.clear();
  std::string joined;
  bool hasText = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (arguments[i] == "--data") {
      if (i + 1 == arguments.size()) {
        std::fputs("fala: --data needs the folder of the language files\n", stderr);
        return false;
      }
      input.dataFolder = ArgumentText(output, arguments[++i]);
      continue;
    }
    if (hasText) joined += ' ';
    joined += ArgumentText(output, arguments[i]);
    hasText = true;
  }
  if (hasText) {
    input.texts.push_back(joined);
    return true;
  }
  std::string line;
  int c;
  while ((c = std::getchar()) != EOF) {
    if (c != '\n') {
      line += static_cast<char>(c);
      continue;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    input.texts.push_back(ArgumentText(output, line));
    line.clear();
  }
  if (!line.empty()) input.texts.push_back(ArgumentText(output, line));
  return true;
}

std::string AravoDataFile(const AravoInput& input, const std::string& name) {
  std::string path = input.dataFolder;
  if (!path.empty() && path.back() != platform::kPathSeparator) path += platform::kPathSeparator;
  return path + name;
}

int NormaliseCommand(const Output& output, const std::vector<std::string>& arguments) {
  AravoInput input;
  if (!ReadAravoInput(output, arguments, input)) return 2;
  const std::string abbreviations = AravoDataFile(input, "portug.abr");
  if (!aravo::LoadAbbreviations(abbreviations)) {
    std::fprintf(stderr, "fala: cannot read the abbreviations file %s\n",
                 platform::Cp1252ToUtf8(abbreviations).c_str());
    return 1;
  }
  for (const std::string& text : input.texts) Print(output, aravo::NormaliseText(text) + "\n");
  return 0;
}

}  // namespace fala
