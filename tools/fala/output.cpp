#include <cstdio>

#include "commands.h"
#include "platform/encoding.h"
#include "platform/system.h"
#include "speech/aravo/mbrola_binding.h"

namespace fala {

void Print(const Output& output, const std::string& text) {
  const std::string bytes = output.raw ? text : platform::Cp1252ToUtf8(text);
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

std::string ArgumentText(const Output& output, const std::string& argument) {
  return output.raw ? argument : platform::Utf8ToCp1252(argument);
}

std::string SynthesizerLibraryPath() {
  const std::string program = platform::ProgramPath();
  const std::size_t separator = program.rfind(platform::kPathSeparator);
  if (separator != std::string::npos) {
    const std::string besideProgram = program.substr(0, separator + 1) + aravo::kMbrolaLibrary;
    if (platform::FileExists(besideProgram)) return besideProgram;
  }
  if (platform::FileExists(FALA_MBROLA_LIBRARY)) return FALA_MBROLA_LIBRARY;
  return aravo::kMbrolaLibrary;
}

}  // namespace fala
