// fala translate: the internal voice's phoneme string, as the diphone synthesizer reads it.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "aravo_input.h"
#include "commands.h"
#include "platform/encoding.h"
#include "speech/diphone/translator.h"

namespace fala {

int TranslateCommand(const Output& output, const std::vector<std::string>& arguments) {
  AravoInput input;
  if (!ReadAravoInput(output, arguments, input)) return 2;
  // The arguments and standard input are read as for the Aravo stages; only the folder the
  // files come from by default differs.
  if (std::find(arguments.begin(), arguments.end(), "--data") == arguments.end()) {
    input.dataFolder = platform::Utf8ToCp1252(FALA_DIPHONE_DATA_DIR);
  }
  const std::string rules = AravoDataFile(input, "regras.rgr");
  const std::string exceptions = AravoDataFile(input, "portug.exc");
  if (!diphone::LoadRules(rules)) {
    std::fprintf(stderr, "fala: cannot read the rules file %s\n",
                 platform::Cp1252ToUtf8(rules).c_str());
    return 1;
  }
  if (!diphone::LoadExceptions(exceptions)) {
    std::fprintf(stderr, "fala: cannot read the exceptions file %s\n",
                 platform::Cp1252ToUtf8(exceptions).c_str());
    diphone::FreeRules();
    return 1;
  }
  for (const std::string& text : input.texts) {
    Print(output, diphone::TranslateToPhonemes(text) + "\n");
  }
  diphone::FreeRules();
  return 0;
}

}  // namespace fala
