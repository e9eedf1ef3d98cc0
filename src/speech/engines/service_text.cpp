#include "speech/engines/service_text.h"

#include "platform/encoding.h"

namespace engines {
namespace {

bool IsControl(unsigned char byte) {
  if (byte < 0x20 || byte == 0x7F) return true;
  return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

}  // namespace

std::string ServiceText(const std::string& text) {
  std::string clean = text;
  for (char& c : clean) {
    if (IsControl(static_cast<unsigned char>(c))) c = ' ';
  }
  return platform::Cp1252ToUtf8(clean);
}

}  // namespace engines
