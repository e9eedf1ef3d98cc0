#include "speech/engines/service_text.h"

#include "platform/encoding.h"

namespace engines {
namespace {

bool IsControl(unsigned char byte) {
  if (byte < 0x20 || byte == 0x7F) return true;
  return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

// ASCII letters only: the services' voice names and languages are ASCII but for a few
// accented names.
std::string Lowered(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

}  // namespace

std::string BlankedControls(std::string text) {
  for (char& c : text) {
    if (IsControl(static_cast<unsigned char>(c))) c = ' ';
  }
  return text;
}

std::string ServiceText(const std::string& text) { return platform::Cp1252ToUtf8(BlankedControls(text)); }

bool OfLanguage(const std::string& language, const std::string& wanted) {
  const std::string have = Lowered(language);
  const std::string want = Lowered(wanted);
  return have.compare(0, want.size(), want) == 0 &&
         (have.size() == want.size() || have[want.size()] == '-');
}

int FindVoiceByName(const std::vector<ServiceVoice>& voices, const std::string& name) {
  const std::string wanted = Lowered(platform::Cp1252ToUtf8(name));
  if (wanted.empty()) return -1;
  for (std::size_t k = 0; k < voices.size(); ++k) {
    if (Lowered(voices[k].name) == wanted || Lowered(voices[k].variant) == wanted) {
      return static_cast<int>(k);
    }
  }
  return -1;
}

}  // namespace engines
