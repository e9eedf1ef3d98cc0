#include <cstddef>
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

bool TakeOption(std::vector<std::string>& arguments, const std::string& name, std::string& value) {
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (arguments[i] != name) continue;
    if (i + 1 >= arguments.size()) return false;
    value = arguments[i + 1];
    arguments.erase(arguments.begin() + static_cast<std::ptrdiff_t>(i),
                    arguments.begin() + static_cast<std::ptrdiff_t>(i) + 2);
    return true;
  }
  return true;
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
