#include <cstdio>

#include "commands.h"
#include "platform/encoding.h"

namespace fala {

void Print(const Output& output, const std::string& text) {
  const std::string bytes = output.raw ? text : platform::Cp1252ToUtf8(text);
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

std::string ArgumentText(const Output& output, const std::string& argument) {
  return output.raw ? argument : platform::Utf8ToCp1252(argument);
}

}  // namespace fala
