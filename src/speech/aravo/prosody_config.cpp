#include "speech/aravo/prosody_config.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string_view>
#include <unordered_map>

#include "platform/system.h"
#include "speech/aravo/letters.h"
#include "speech/aravo/text_file.h"

namespace aravo {
namespace {

constexpr int kDefaultBasePitch = 230;
constexpr int kUnreadableDuration = 100;
constexpr std::size_t kPhonemeNameLength = 2;
constexpr std::size_t kClassLength = 2;
constexpr std::size_t kPatternLength = 3;
constexpr std::size_t kDurationTextLength = 999;

constexpr const char* kMessageTitle = "Aravo";
constexpr const char* kNotFound = "Configuração da prosódia não foi achada";
constexpr const char* kNoDurations = "Duração dos difones errada ou ausente";
constexpr const char* kNoKeys = "Prosódia: palavras chaves ausentes";
constexpr const char* kNoPatterns = "Prosódia: especificações ausentes";
constexpr const char* kBadPhoneme = "Configuração da prosódia: fonema errado: ";
constexpr const char* kBadKey = "Configuração da prosódia: chave errada: ";

std::vector<DurationEntry> durations;
std::unordered_map<std::string, int> durationIndex;  // name to the first entry's duration
std::vector<KeyWord> keyWords;
std::vector<IntonationPattern> patterns;
int basePitch = kDefaultBasePitch;
std::array<int, 10> pitchTable{};
std::vector<std::string> inventory;  // "FIRST-SECOND", ASCII upper case, sorted

std::string_view Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// A whole trimmed text as a signed 32-bit integer.
bool ReadInteger(std::string_view text, int& value) {
  text = Trimmed(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  std::int32_t read = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), read);
  if (error != std::errc() || end != text.data() + text.size()) return false;
  value = read;
  return true;
}

// The lines of one section: from the line after its header up to the next line starting
// with "[" or the end. False when no line, trimmed, equals the header.
bool FindSection(const std::vector<std::string>& lines, std::string_view header,
                 std::size_t& first, std::size_t& end) {
  std::size_t at = 0;
  while (at < lines.size() && Trimmed(lines[at]) != header) ++at;
  if (at == lines.size()) return false;
  first = at + 1;
  end = first;
  while (end < lines.size() && (lines[end].empty() || lines[end].front() != '[')) ++end;
  return true;
}

// Empty lines, lines of blanks only and comment lines carry nothing.
bool IsSkipped(const std::string& line) {
  return line.empty() || line.front() == '*' || line.front() == ';' || Trimmed(line).empty();
}

std::string AsciiUpper(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  return result;
}

class ProsodyLoader {
 public:
  ProsodyLoader(const std::vector<std::string>& lines, const ProsodyMessage& showMessage)
      : lines_(lines), showMessage_(showMessage) {}

  bool Load() {
    std::size_t first = 0;
    std::size_t end = 0;
    if (!FindSection(lines_, "[DURAÇÃO]", first, end)) return Fail(kNoDurations);
    if (!ReadDurations(first, end)) return false;
    if (!FindSection(lines_, "[CHAVES]", first, end)) return Fail(kNoKeys);
    if (!ReadKeys(first, end)) return false;
    if (!FindSection(lines_, "[PROSÓDIA]", first, end)) return Fail(kNoPatterns);
    return ReadPatterns(first, end);
  }

 private:
  bool Fail(const std::string& message) {
    showMessage_(kMessageTitle, message);
    return false;
  }

  bool ReadDurations(std::size_t first, std::size_t end) {
    for (std::size_t i = first; i < end; ++i) {
      const std::string& line = lines_[i];
      if (IsSkipped(line)) continue;
      const std::size_t equals = line.find('=');
      if (equals == std::string::npos) return Fail(kBadPhoneme + line);
      DurationEntry entry;
      entry.phoneme = std::string(
          Trimmed(std::string_view(line).substr(0, equals)).substr(0, kPhonemeNameLength));
      const std::string_view text = std::string_view(line).substr(equals + 1, kDurationTextLength);
      if (!ReadInteger(text, entry.duration)) {
        showMessage_(kMessageTitle, kBadPhoneme + line);
        entry.duration = kUnreadableDuration;
      }
      durationIndex.emplace(entry.phoneme, entry.duration);  // the first entry of a name wins
      durations.push_back(std::move(entry));
    }
    return true;
  }

  bool ReadKeys(std::size_t first, std::size_t end) {
    for (std::size_t i = first; i < end; ++i) {
      const std::string& line = lines_[i];
      if (IsSkipped(line)) continue;
      const std::size_t equals = line.find('=');
      if (equals == std::string::npos) return Fail(kBadKey + line);
      const std::string_view view(line);
      keyWords.push_back({UpperCase(Trimmed(view.substr(0, equals))),
                          UpperCase(Trimmed(view.substr(equals + 1)).substr(0, kClassLength))});
    }
    std::stable_sort(keyWords.begin(), keyWords.end(),
                     [](const KeyWord& a, const KeyWord& b) { return a.word < b.word; });
    return true;
  }

  bool ReadPatterns(std::size_t first, std::size_t end) {
    for (std::size_t i = first; i < end; ++i) {
      if (IsSkipped(lines_[i])) continue;
      const std::string line = UpperCase(lines_[i]);
      const std::string_view view(line);
      if (view.starts_with("HERTZ=")) {
        if (!ReadInteger(view.substr(6), basePitch)) return Fail(kBadKey + lines_[i]);
        continue;
      }
      if (view.starts_with("TABHERTZ=")) {
        if (!ReadPitchTable(view.substr(9))) return Fail(kBadKey + lines_[i]);
        continue;
      }
      const std::size_t equals = line.find('=');
      if (equals == std::string::npos) return Fail(kBadKey + lines_[i]);
      IntonationPattern pattern;
      pattern.code = std::string(Trimmed(view.substr(equals + 1)));
      std::string_view classes = Trimmed(view.substr(0, equals));
      std::string* parts[] = {&pattern.before, &pattern.current, &pattern.after};
      for (std::string* part : parts) {
        const std::size_t bar = classes.find('|');
        *part = std::string(classes.substr(0, std::min(bar, kPatternLength)));
        classes = bar == std::string_view::npos ? std::string_view() : classes.substr(bar + 1);
      }
      patterns.push_back(std::move(pattern));
    }
    return true;
  }

  // Ten integers separated by ","; anything after the tenth is ignored. The table changes
  // only when all ten read.
  static bool ReadPitchTable(std::string_view list) {
    std::array<int, 10> values{};
    for (std::size_t index = 0; index < values.size(); ++index) {
      const std::size_t comma = list.find(',');
      const bool last = index + 1 == values.size();
      if (!last && comma == std::string_view::npos) return false;
      if (!ReadInteger(list.substr(0, comma), values[index])) return false;
      list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    }
    pitchTable = values;
    return true;
  }

  const std::vector<std::string>& lines_;
  const ProsodyMessage& showMessage_;
};

// The name that starts at `at`: characters A-Z (either case), "@", "_" and "2".
bool IsNameCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '@' || c == '_' || c == '2';
}

std::string DiphoneOfLine(std::string_view line) {
  std::size_t at = 0;
  while (at < line.size() && IsNameCharacter(line[at])) ++at;
  const std::string_view first = line.substr(0, at);
  if (at < line.size()) ++at;
  while (at < line.size() && !IsNameCharacter(line[at])) ++at;
  const std::size_t start = at;
  while (at < line.size() && IsNameCharacter(line[at])) ++at;
  return AsciiUpper(first) + "-" + AsciiUpper(line.substr(start, at - start));
}

}  // namespace

bool LoadProsody(const std::string& fileName) {
  return LoadProsody(fileName, platform::MessageBox);
}

bool LoadProsody(const std::string& fileName, const ProsodyMessage& showMessage) {
  durations.clear();
  durationIndex.clear();
  keyWords.clear();
  patterns.clear();
  basePitch = kDefaultBasePitch;
  std::vector<std::string> lines;
  if (!detail::ReadTextLines(fileName, lines)) {
    showMessage(kMessageTitle, kNotFound);
    return false;
  }
  return ProsodyLoader(lines, showMessage).Load();
}

bool LoadDiphoneInventory(const std::string& fileName) {
  inventory.clear();
  std::vector<std::string> lines;
  if (!detail::ReadTextLines(fileName, lines)) return false;
  for (const std::string& text : lines) {
    const std::string_view line = Trimmed(text);
    if (line.empty() || line.front() == '!' || line.front() == '*' || line.front() == ';') continue;
    inventory.push_back(DiphoneOfLine(line));
  }
  std::sort(inventory.begin(), inventory.end());
  return true;
}

void ReleaseDiphoneInventory() {
  inventory.clear();
  inventory.shrink_to_fit();
}

bool HasDiphone(const std::string& first, const std::string& second) {
  std::string key;
  key.reserve(first.size() + second.size() + 1);
  key.append(first).append(1, '-').append(second);
  for (char& c : key) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  return std::binary_search(inventory.begin(), inventory.end(), key);
}

bool FindDuration(const std::string& phoneme, int& duration) {
  const auto found = durationIndex.find(phoneme);
  if (found == durationIndex.end()) return false;
  duration = found->second;
  return true;
}

const std::vector<std::string>& DiphoneInventory() { return inventory; }
const std::vector<DurationEntry>& DurationTable() { return durations; }
const std::vector<KeyWord>& KeyWordTable() { return keyWords; }
const std::vector<IntonationPattern>& IntonationPatterns() { return patterns; }
int BasePitch() { return basePitch; }
const std::array<int, 10>& PitchTable() { return pitchTable; }

}  // namespace aravo
