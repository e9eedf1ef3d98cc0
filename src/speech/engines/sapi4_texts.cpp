// The older system speech backend's texts and its fall-back voice, alike on every platform.
#include "speech/engines/sapi4_backend.h"

#include "speech/engines/service_text.h"

namespace engines {
namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

std::size_t Sapi4BrazilianVoice(const std::vector<ServiceVoice>& voices) {
  for (std::size_t k = 0; k < voices.size(); ++k) {
    if (OfLanguage(voices[k].language, "pt-br")) return k;
  }
  return 0;
}

std::vector<std::string> Sapi4Texts(const std::string& text) {
  std::size_t first = 0;
  std::size_t end = text.size();
  while (first < end && IsBlank(text[first])) ++first;
  while (end > first && IsBlank(text[end - 1])) --end;
  std::vector<std::string> texts;
  if (first == end) return texts;
  if (end - first == 1 && text[first] >= '0' && text[first] <= '9') {
    texts.push_back(text.substr(first, 1) + ".");
    return texts;
  }
  while (end - first > kSapi4TextLimit) {
    std::size_t cut = first + kSapi4TextLimit;
    std::size_t blank = cut;
    while (blank > first && !IsBlank(text[blank - 1])) --blank;
    if (blank > first) cut = blank;
    texts.push_back(text.substr(first, cut - first));
    first = cut;
  }
  texts.push_back(text.substr(first, end - first));
  return texts;
}

}  // namespace engines
