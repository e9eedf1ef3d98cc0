// The shipped rules and exceptions files keep the forms their loaders rely on. The loaders cut
// over-long fields and skip malformed lines without a word, so a slip in the data would
// otherwise only show as a wrong reading somewhere.
#include <gtest/gtest.h>

#include <cstddef>
#include <set>
#include <string>
#include <vector>

#include "diphone/shipped_voice_fixture.h"
#include "support/file_bytes.h"

namespace {

using VoiceDataFormatTest = ShippedVoiceDataTest;

bool IsVoiceLetter(char c) {
  return (c >= 'a' && c <= 'z') || c == 'A' || c == 'E' || c == 'I' || c == 'O' || c == 'U' ||
         c == '^' || c == '~' || c == ' ';
}
bool IsWordBufferCharacter(char c, bool upperVowels) {
  const bool mark = c == '\'' || c == '`' || c == '^' || c == '~' || c == '"';
  const bool upperVowel = c == 'A' || c == 'E' || c == 'I' || c == 'O' || c == 'U';
  return (c >= 'a' && c <= 'z') || mark || (upperVowels && upperVowel);
}

TEST_F(VoiceDataFormatTest, FilesAreWindows1252WithCrLf) {
  for (const char* name : {"regras.rgr", "portug.exc", "palavras.txt"}) {
    const std::string bytes = test_support::ReadFileBytes(DataPath(name));
    ASSERT_FALSE(bytes.empty()) << name;
    for (std::size_t at = 0; at < bytes.size(); ++at) {
      const bool crBefore = at > 0 && bytes[at - 1] == '\r';
      ASSERT_TRUE(bytes[at] != '\n' || crBefore) << name << ": a line without CR at byte " << at;
      // Every accented letter of Portuguese in UTF-8 starts with the byte 0xC3.
      const auto byte = static_cast<unsigned char>(bytes[at]);
      const auto next = at + 1 < bytes.size() ? static_cast<unsigned char>(bytes[at + 1]) : 0;
      const bool utf8Letter = byte == 0xC3 && next >= 0x80 && next <= 0xBF;
      ASSERT_FALSE(utf8Letter) << name << ": UTF-8 text at byte " << at;
    }
  }
}

TEST_F(VoiceDataFormatTest, EveryRuleLineFitsItsFieldsAndGroup) {
  std::set<char> closedGroups;
  char currentGroup = 0;
  int rules = 0;
  for (const std::string& line : DataLines("regras.rgr")) {
    if (IsComment(line)) {
      // A comment must not read as a rule to a loader that does not know ";".
      const std::size_t open = line.find('(');
      const std::size_t close = open == std::string::npos ? open : line.find(')', open);
      EXPECT_TRUE(close == std::string::npos || line.find('=', close) == std::string::npos) << line;
      continue;
    }
    const std::size_t open = line.find('(');
    const std::size_t close = line.find(')', open + 1);
    const std::size_t equals = line.find('=', close + 1);
    const std::size_t bar = line.find('|', equals + 1);
    const bool fields = open != std::string::npos && close != std::string::npos;
    ASSERT_TRUE(fields && equals != std::string::npos) << "not a rule: " << line;
    // The bar keeps a trailing blank of the phonemes from looking like a stray space.
    ASSERT_NE(bar, std::string::npos) << "rule without its closing bar: " << line;
    const std::string match = line.substr(open + 1, close - open - 1);
    const std::string phonemes = line.substr(equals + 1, bar - equals - 1);
    EXPECT_LE(open, 5u) << line;
    EXPECT_TRUE(!match.empty() && match.size() <= 5) << line;
    EXPECT_LE(equals - close - 1, 5u) << line;
    EXPECT_LE(phonemes.size(), 11u) << line;
    for (const char c : phonemes) EXPECT_TRUE(IsVoiceLetter(c)) << "'" << c << "' in " << line;
    const char group = match.empty() ? 0 : match[0];
    EXPECT_TRUE(group >= 32 && group <= 95) << line;
    if (group != currentGroup) {
      EXPECT_EQ(closedGroups.count(group), 0u) << "rules of '" << group << "' are split: " << line;
      closedGroups.insert(currentGroup);
      currentGroup = group;
    }
    ++rules;
  }
  EXPECT_GT(rules, 100);
}

TEST_F(VoiceDataFormatTest, ExceptionsAreDistinctWordsInTheWordBufferForm) {
  std::set<std::string> keys;
  for (const std::string& line : DataLines("portug.exc")) {
    if (IsComment(line)) continue;
    const std::size_t equals = line.find('=');
    ASSERT_NE(equals, std::string::npos) << line;
    const std::string key = line.substr(0, equals);
    const std::string replacement = line.substr(equals + 1, line.find('|', equals) - equals - 1);
    EXPECT_TRUE(keys.insert(key).second) << "listed twice: " << key;
    EXPECT_FALSE(key.empty() || replacement.empty()) << line;
    for (const char c : key) EXPECT_TRUE(IsWordBufferCharacter(c, false)) << line;
    for (const char c : replacement) EXPECT_TRUE(IsWordBufferCharacter(c, true)) << line;
  }
  EXPECT_GE(keys.size(), 200u);
}

}  // namespace
