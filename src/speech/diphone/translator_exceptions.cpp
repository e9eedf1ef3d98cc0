// The exceptions dictionary "portug.exc": whole words with their replacements, both in the
// word-buffer form ("voce^=vose^"), one entry a line:
//
//   key "=" replacement [ "|" anything ]
//
// Lines are read up to 255 characters (the rest of a longer line is dropped). Empty lines,
// lines starting with ";" (comments) and lines without "=" or without a key are skipped;
// blanks around the key and the replacement are dropped, since words never hold blanks. At
// most 15000 entries are read; they are kept sorted by key in byte order.
#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system.h"
#include "speech/diphone/translator.h"
#include "speech/diphone/translator_internal.h"

namespace diphone {
namespace {

constexpr std::size_t kLineLength = 255;
constexpr std::size_t kMostEntries = 15000;

struct Exception {
  std::string key;
  std::string replacement;
};

// Sorted by key; kept until the next LoadExceptions.
std::vector<Exception> exceptions;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// Also drops the CR of a CR LF line end.
std::string_view WithoutBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

void AddEntry(std::string_view line) {
  line = WithoutBlanks(line);
  if (line.empty() || line.front() == ';') return;
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return;
  const std::string_view key = WithoutBlanks(line.substr(0, equals));
  std::string_view replacement = line.substr(equals + 1);
  replacement = WithoutBlanks(replacement.substr(0, replacement.find('|')));
  if (key.empty()) return;
  exceptions.push_back({std::string(key), std::string(replacement)});
}

const std::string* FindReplacement(const std::string& key) {
  const auto found = std::lower_bound(
      exceptions.begin(), exceptions.end(), key,
      [](const Exception& entry, const std::string& wanted) { return entry.key < wanted; });
  if (found == exceptions.end() || found->key != key) return nullptr;
  return &found->replacement;
}

}  // namespace

bool LoadExceptions(const std::string& path) {
  exceptions.clear();
  std::FILE* file = std::fopen(platform::FileSystemName(path).c_str(), "rb");
  if (file == nullptr) return false;
  std::string line;
  int c;
  while (exceptions.size() < kMostEntries && (c = std::fgetc(file)) != EOF) {
    if (c != '\n') {
      if (line.size() < kLineLength) line += static_cast<char>(c);
      continue;
    }
    AddEntry(line);
    line.clear();
  }
  if (exceptions.size() < kMostEntries) AddEntry(line);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) {
    exceptions.clear();
    return false;
  }
  std::stable_sort(exceptions.begin(), exceptions.end(),
                   [](const Exception& a, const Exception& b) { return a.key < b.key; });
  return true;
}

namespace translation {

void ApplyExceptions(Word& word) {
  if (exceptions.empty()) return;
  std::string stem = word.letters;
  std::string held;
  const std::string* replacement = FindReplacement(stem);
  while (replacement == nullptr && !stem.empty() && (stem.back() == 's' || stem.back() == 'm')) {
    held.insert(held.begin(), stem.back());
    stem.pop_back();
    if (stem.empty()) break;
    replacement = FindReplacement(stem);
  }
  std::string result = replacement != nullptr ? *replacement : stem;
  result += held;
  if (result.size() > kWordCapacity) result.resize(kWordCapacity);
  word.letters = std::move(result);
}

}  // namespace translation
}  // namespace diphone
