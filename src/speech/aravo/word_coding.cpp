#include "speech/aravo/word_coding.h"

#include <algorithm>
#include <utility>

#include "speech/aravo/letters.h"
#include "speech/aravo/prosody_config.h"

namespace aravo {
namespace {

constexpr const char* kPhraseMark = "[--]";
constexpr const char* kNeutralCode = "555";

std::string ClassOf(const std::string& item) {
  return item.size() > 1 ? item.substr(1, 2) : std::string();
}
std::string TextOf(const std::string& item) {
  return item.size() > 4 ? item.substr(4) : std::string();
}

bool Fits(const std::string& pattern, const std::string& itemClass) {
  return pattern.empty() || pattern == itemClass;
}

// The code keeps three characters, so that the coded line always reads "ddd|text".
std::string ThreeCharacters(std::string code) {
  code.resize(3, '5');
  return code;
}

}  // namespace

std::string WordClass(const std::string& word) {
  const std::string key = UpperCase(word);
  const auto& table = KeyWordTable();
  const auto found = std::lower_bound(table.begin(), table.end(), key,
                                      [](const KeyWord& entry, const std::string& wanted) {
                                        return entry.word < wanted;
                                      });
  if (found != table.end() && found->word == key) return found->wordClass;
  return {};
}

std::vector<std::string> SplitTokens(const std::string& text) {
  std::vector<std::string> items{kPhraseMark};
  std::size_t position = 0;
  const std::size_t size = text.size();
  while (position < size) {
    while (position < size && text[position] == ' ') ++position;
    std::string itemClass;
    std::string itemText;
    if (position + 1 < size && text[position] == '.' && text[position + 1] == '.') {
      itemClass.append(1, '.').append(1, '-');
      itemText.append(1, '.');
      while (position < size && text[position] == '.') ++position;
    } else if (position < size && !IsWordLetter(static_cast<unsigned char>(text[position]))) {
      itemClass = std::string(2, text[position]);
      itemText = std::string(1, text[position]);
      ++position;
    } else {
      const std::size_t start = position;
      while (position < size && IsWordLetter(static_cast<unsigned char>(text[position])))
        ++position;
      if (position == start) break;  // only blanks were left
      itemText = text.substr(start, position - start);
      itemClass = WordClass(itemText);
      if (itemClass.empty()) itemClass = "XX";
    }
    std::string item;
    item.reserve(4 + itemText.size());
    item.append(1, '[').append(itemClass).append(1, ']').append(itemText);
    items.push_back(std::move(item));
    const char first = itemText.front();
    if (first == '!' || first == '.' || first == '?') items.emplace_back(kPhraseMark);
  }
  return items;
}

std::vector<std::string> AssignCodes(const std::vector<std::string>& items, bool apply) {
  const auto& patterns = IntonationPatterns();
  std::vector<std::string> coded;
  coded.reserve(items.size());
  char previousLast = '5';
  for (std::size_t i = 0; i < items.size(); ++i) {
    std::string code = kNeutralCode;
    if (apply) {
      const std::string before = i > 0 ? ClassOf(items[i - 1]) : std::string();
      const std::string current = ClassOf(items[i]);
      const std::string after = i + 1 < items.size() ? ClassOf(items[i + 1]) : std::string();
      for (const IntonationPattern& pattern : patterns) {
        if (Fits(pattern.before, before) && Fits(pattern.current, current) &&
            Fits(pattern.after, after)) {
          code = ThreeCharacters(pattern.code);
          break;
        }
      }
      if (code[0] == '?') code[0] = previousLast;
    }
    previousLast = code[2];
    coded.push_back(code + "|" + TextOf(items[i]));
  }
  return coded;
}

}  // namespace aravo
