// Numbers in words, and number words played from their recordings as one utterance.
#include "speech/frontend/numbers.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "audio/player/wave_format.h"
#include "platform/system.h"
#include "speech/diphone/synthesizer.h"
#include "speech/frontend/output/speech_output.h"

namespace frontend {
namespace {

const char* const kUnits[] = {"zero", "um", "dois", "tres", "quatro", "cinco", "seis", "sete", "oito", "nove"};
const char* const kTeens[] = {"dez",     "onze",      "doze",      "treze",   "quatorze",
                              "quinze",  "dezesseis", "dezessete", "dezoito", "dezenove"};
const char* const kTens[] = {"", "", "vinte", "trinta", "quarenta", "cinquenta", "sessenta", "setenta", "oitenta", "noventa"};
const char* const kHundreds[] = {"cem",        "cento",       "duzentos",   "trezentos", "quatrocentos",
                                 "quinhentos", "seiscentos",  "setecentos", "oitocentos", "novecentos"};

constexpr int kGroups = 5;
// Names of the groups of three digits, from the most significant; each ends in a space.
const char* const kSingularNames[kGroups] = {"trilhão ", "bilhão ", "milhão ", "mil ", ""};
const char* const kPluralNames[kGroups] = {"trilhões ", "bilhões ", "milhões ", "mil ", ""};

constexpr std::size_t kBufferSamples = 30000;
constexpr std::uint32_t kRecordingRate = 11025;
constexpr std::size_t kNameLength = 8;  // "_" and the word, cut

// A group of three digit characters in words ("123": "cento e vinte e tres").
std::string GroupWords(const std::string& digits) {
  if (digits == "000") return "";
  if (digits == "100") return "cem";
  const int h = digits[0] - '0';
  const int t = digits[1] - '0';
  const int u = digits[2] - '0';
  std::string words;
  if (h != 0) {
    words = kHundreds[h];
    if (t == 0 && u == 0) return words;
    words += " e ";
  }
  if (t == 1) return words + kTeens[u];
  if (t != 0) {
    words += kTens[t];
    if (u == 0) return words;
    words += " e ";
  }
  if (u > 0) words += kUnits[u];
  return words;
}

// Collects the recordings' samples behind a wave header and plays them when full and at the end.
class WordBuffer {
 public:
  WordBuffer() : image_(kWaveHeaderSize + kBufferSamples) {}

  // Samples that would overflow the held ones are played first, so a number is cut between
  // words; a recording larger than the whole buffer is played in pieces.
  void Add(const std::vector<std::uint8_t>& samples) {
    if (held_ > 0 && held_ + samples.size() > kBufferSamples) Play();
    std::size_t taken = 0;
    while (taken < samples.size()) {
      if (held_ == kBufferSamples) Play();
      const std::size_t count = std::min(samples.size() - taken, kBufferSamples - held_);
      std::copy_n(samples.begin() + static_cast<std::ptrdiff_t>(taken), count,
                  image_.begin() + static_cast<std::ptrdiff_t>(kWaveHeaderSize + held_));
      held_ += count;
      taken += count;
    }
  }

  void Play() {
    if (held_ == 0) return;
    MakeWaveHeader(image_.data(), static_cast<std::uint32_t>(held_), kRecordingRate, 8, 1);
    PlayBufferAndWait(image_.data(), kWaveHeaderSize + held_);
    held_ = 0;
  }

 private:
  std::vector<std::uint8_t> image_;
  std::size_t held_ = 0;
};

// The samples of a recording: its "data" chunk, wherever it lies, as far as the file holds
// it. A file that is no wave file holds none. False when it does not open.
bool ReadRecording(const std::string& path, std::vector<std::uint8_t>& samples) {
  std::FILE* file = std::fopen(platform::FileSystemName(path).c_str(), "rb");
  if (file == nullptr) return false;
  samples.clear();
  audio::WaveChunks chunks;
  if (audio::FindWaveChunks(file, false, chunks) && chunks.dataOffset <= static_cast<std::uint64_t>(LONG_MAX) &&
      std::fseek(file, static_cast<long>(chunks.dataOffset), SEEK_SET) == 0) {
    std::uint8_t piece[4096];
    std::size_t remaining = chunks.dataLength;
    std::size_t count;
    while (remaining > 0 && (count = std::fread(piece, 1, std::min(sizeof piece, remaining), file)) > 0) {
      samples.insert(samples.end(), piece, piece + count);
      remaining -= count;
    }
  }
  std::fclose(file);
  return true;
}

// "_" and the word with "ã" and "õ" unaccented, cut to 8 characters; "dezessete" is kept
// apart from "dezesseis", which the cut would make the same.
std::string RecordingName(std::string word, bool feminineLast) {
  for (char& character : word) {
    if (character == 'ã') character = 'a';
    if (character == 'õ') character = 'o';
  }
  if (word == "dezessete") word = "dezeset";
  std::string name = ("_" + word).substr(0, kNameLength);
  if (feminineLast && name == "_um") name = "_uma";
  if (feminineLast && name == "_dois") name = "_duas";
  return name;
}

}  // namespace

std::string NumberToWords(std::uint32_t value) {
  if (value == 0) return "zero";
  std::string digits = std::string(14, '0') + std::to_string(value);
  digits = digits.substr(digits.size() - 3 * kGroups);
  std::string texts[kGroups];
  int last = -1;
  for (int i = 0; i < kGroups; ++i) {
    const std::string group = digits.substr(static_cast<std::size_t>(3 * i), 3);
    texts[i] = GroupWords(group);
    if (*kSingularNames[i] != '\0' && group != "000") {
      texts[i] += std::string(" ") + (group == "001" ? kSingularNames[i] : kPluralNames[i]);
    }
    if (!texts[i].empty()) last = i;
  }
  std::string words;
  for (int i = 0; i <= last; ++i) {
    if (i == last && !words.empty()) words += "e ";
    words += texts[i];
  }
  if (words.rfind("um mil", 0) == 0 && words.rfind("um milh", 0) != 0) words.erase(0, 3);
  return words;
}

void SpeakWords(const std::string& words, bool feminine) {
  const std::string text = words + " *";
  const std::string folder = diphone::DiphoneLettersFolder();
  WordBuffer buffer;
  std::vector<std::uint8_t> samples;
  std::size_t at = 0;
  for (;;) {
    while (at < text.size() && text[at] == ' ') ++at;
    if (at >= text.size() || text[at] == '*') break;
    const std::size_t end = std::min(text.find(' ', at), text.size());
    const std::string word = text.substr(at, end - at);
    at = end;
    std::size_t following = at;
    while (following < text.size() && text[following] == ' ') ++following;
    const bool lastWord = following >= text.size() || text[following] == '*';
    if (ReadRecording(folder + RecordingName(word, feminine && lastWord) + ".wav", samples)) {
      buffer.Add(samples);
    }
  }
  buffer.Play();
}

}  // namespace frontend
