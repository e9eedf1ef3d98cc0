#include <string_view>
#include <unordered_map>
#include <vector>

#include "speech/aravo/letters.h"
#include "speech/aravo/normalise.h"
#include "speech/aravo/text_file.h"

namespace aravo {
namespace {

constexpr std::size_t kMaxExpansionLength = 999;

// Upper-case key to expansion; when a key is listed twice, its first line counts.
std::unordered_map<std::string, std::string> expansionOfKey;

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

}  // namespace

bool LoadAbbreviations(const std::string& fileName) {
  expansionOfKey.clear();
  std::vector<std::string> lines;
  if (!detail::ReadTextLines(fileName, lines)) return false;
  for (const std::string& text : lines) {
    const std::string_view line = Trimmed(text);
    if (line.empty() || line.front() == ';') continue;
    const std::size_t equals = line.find('=');
    // A line without "=" has no key and could never be found: it is left out.
    if (equals == std::string_view::npos) continue;
    std::string key = UpperCase(Trimmed(line.substr(0, equals)));
    if (key.empty()) continue;
    const std::string_view expansion =
        Trimmed(line.substr(equals + 1).substr(0, kMaxExpansionLength));
    expansionOfKey.try_emplace(std::move(key), expansion);
  }
  return true;
}

std::string LookupAbbreviation(const std::string& word) {
  const auto found = expansionOfKey.find(UpperCase(word));
  return found == expansionOfKey.end() ? std::string() : found->second;
}

}  // namespace aravo
