// The hand-made pronunciation lists of tests/aravo/words: ordinary but less frequent words,
// grouped by what makes them hard. Each line is "word | phonemes | alternative ; ...", in
// UTF-8; "##" starts a group, "#" a comment. Every miss is printed with the group's tally.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/encoding.h"
#include "speech/aravo/lexicon.h"
#include "word_phonemes.h"

namespace {

// The share of the lists' words the shipped rules must get right. It only ever rises; the
// rules have to keep at least 97.
constexpr std::size_t kRequiredPercent = 99;
constexpr std::size_t kLeastWords = 1500;

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find(separator, start)) != std::string::npos; start = end + 1) {
    fields.push_back(Trimmed(text.substr(start, end - start)));
  }
  fields.push_back(Trimmed(text.substr(start)));
  return fields;
}

struct Tally {
  std::size_t right = 0;
  std::size_t total = 0;
};

TEST(WordListsTest, TheRulesSayTheHarderWordsAsBraziliansDo) {
  ASSERT_TRUE(aravo::LoadLetterRules(std::string(ARAVO_DATA_DIR) + "/portug.nrl"));
  ASSERT_TRUE(aravo::LoadExceptionLexicon(std::string(ARAVO_DATA_DIR) + "/portug.exc"));
  std::vector<std::filesystem::path> lists;
  for (const auto& entry : std::filesystem::directory_iterator(WORD_LISTS_DIR)) {
    if (entry.path().extension() == ".txt") lists.push_back(entry.path());
  }
  std::sort(lists.begin(), lists.end());
  std::map<std::string, Tally> groups;
  std::set<std::string> seen;
  Tally all;
  for (const std::filesystem::path& list : lists) {
    std::ifstream file(list);
    std::string line;
    std::string group = list.stem().string();
    for (int number = 1; std::getline(file, line); ++number) {
      line = Trimmed(line);
      if (line.rfind("##", 0) == 0) group = list.stem().string() + ": " + Trimmed(line.substr(2));
      if (line.empty() || line[0] == '#') continue;
      const std::vector<std::string> fields = Split(line, '|');
      const std::string where = list.filename().string() + ":" + std::to_string(number);
      if (fields.size() < 2 || fields.size() > 3 || fields[0].empty() || fields[1].empty()) {
        ADD_FAILURE() << where << ": not \"word | phonemes | alternatives\": " << line;
        continue;
      }
      if (!seen.insert(fields[0]).second) ADD_FAILURE() << where << ": " << fields[0] << " is listed twice";
      std::vector<std::string> accepted = {fields[1]};
      if (fields.size() == 3) {
        for (const std::string& alternative : Split(fields[2], ';')) accepted.push_back(alternative);
      }
      const std::string got = WordPhonemes(platform::Utf8ToCp1252(fields[0]));
      const bool right = std::find(accepted.begin(), accepted.end(), got) != accepted.end();
      Tally& tally = groups[group];
      tally.right += right;
      ++tally.total;
      all.right += right;
      ++all.total;
      if (!right) std::printf("  %-18s expected [%s], got [%s]\n", fields[0].c_str(), fields[1].c_str(), got.c_str());
    }
  }
  aravo::FreeLetterRules();
  for (const auto& [group, tally] : groups) std::printf("  %3zu of %3zu  %s\n", tally.right, tally.total, group.c_str());
  std::printf("  %zu of %zu words right (%.1f %%)\n", all.right, all.total,
              all.total == 0 ? 0.0 : 100.0 * all.right / all.total);
  EXPECT_GE(all.total, kLeastWords);
  EXPECT_GE(all.right * 100, all.total * kRequiredPercent);
}

}  // namespace
