// The language files we ship in data/aravo, read exactly as they ship.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "speech/aravo/letters.h"
#include "speech/aravo/lexicon.h"
#include "speech/aravo/normalise.h"

namespace {

const std::string kDataFolder = ARAVO_DATA_DIR;

std::string ReadBytes(const std::string& path) {
  std::string bytes;
  if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
    char chunk[4096];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
    std::fclose(file);
  }
  return bytes;
}

// The "KEY=VALUE" lines of a shipped file, comments left out. Every line must end in CR LF.
std::vector<std::pair<std::string, std::string>> EntriesOf(const std::string& name) {
  const std::string bytes = ReadBytes(kDataFolder + "/" + name);
  EXPECT_FALSE(bytes.empty()) << name;
  std::vector<std::pair<std::string, std::string>> entries;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find('\n', start);
    EXPECT_NE(end, std::string::npos) << name << ": the last line has no line end";
    if (end == std::string::npos) break;
    EXPECT_TRUE(end > start && bytes[end - 1] == '\r') << name << ": a line ends in LF alone";
    const std::string line = bytes.substr(start, end - 1 - start);
    start = end + 1;
    if (line.empty() || line[0] == ';') continue;
    const std::size_t equals = line.find('=');
    EXPECT_NE(equals, std::string::npos) << name << ": " << line;
    if (equals == std::string::npos) continue;
    entries.emplace_back(line.substr(0, equals), line.substr(equals + 1));
  }
  return entries;
}

bool OnlyWordLetters(const std::string& text) {
  if (text.empty()) return false;
  for (const char c : text) {
    if (!aravo::IsWordLetter(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

class ShippedAbbreviationsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(aravo::LoadAbbreviations(kDataFolder + "/portug.abr")); }
  void TearDown() override { aravo::LoadAbbreviations(kDataFolder + "/none.abr"); }
};

TEST_F(ShippedAbbreviationsTest, EveryEntryIsAWordTheNormaliserCanExpand) {
  const auto entries = EntriesOf("portug.abr");
  std::set<std::string> keys;
  for (const auto& [key, expansion] : entries) {
    // A key with anything but letters could never be read as one word.
    EXPECT_TRUE(OnlyWordLetters(key)) << key;
    EXPECT_TRUE(keys.insert(aravo::UpperCase(key)).second) << "listed twice: " << key;
    EXPECT_EQ(aravo::LookupAbbreviation(key), expansion) << key;
    // Expansions are not normalised again, so they hold only words.
    for (const char c : expansion) {
      EXPECT_TRUE(aravo::IsWordLetter(static_cast<unsigned char>(c)) || c == ' ' || c == '-')
          << key << "=" << expansion;
    }
  }
  EXPECT_GE(keys.size(), 150u);
}

TEST_F(ShippedAbbreviationsTest, CommonAbbreviationsReadAsWords) {
  const struct {
    const char* in;
    const char* out;
  } rows[] = {
      {"Sr. Silva", "senhor Silva"},
      {"a Sra. Lima", "a senhora Lima"},
      {"Dr. Paulo e Dra. Ana", "doutor Paulo e doutora Ana"},
      {"Av. Paulista", "avenida Paulista"},
      {"ver pág. 12", "ver página doze "},
      {"tel. 3333-4444", "telefone  três três três três traço quatro quatro quatro quatro "},
      {"livros, revistas etc. e", "livros, revistas etcétera e"},
      {"Prof. Carlos", "professor Carlos"},
      {"Ltda. e Cia. de", "limitada e companhia de"},
  };
  for (const auto& row : rows) EXPECT_EQ(aravo::NormaliseText(row.in), row.out) << row.in;
}

class ShippedExceptionsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(aravo::LoadExceptionLexicon(kDataFolder + "/portug.exc")); }
  static std::string Looked(std::string word) {
    aravo::LookupException(word);
    return word;
  }
};

TEST_F(ShippedExceptionsTest, EveryEntryIsAnUpperCaseWordWithADifferentRespelling) {
  const auto entries = EntriesOf("portug.exc");
  std::set<std::string> words;
  for (const auto& [word, respelling] : entries) {
    EXPECT_TRUE(OnlyWordLetters(word) && word == aravo::UpperCase(word)) << word;
    EXPECT_TRUE(OnlyWordLetters(respelling) && respelling == aravo::UpperCase(respelling))
        << word << "=" << respelling;
    EXPECT_NE(word, respelling);
    EXPECT_TRUE(words.insert(word).second) << "listed twice: " << word;
  }
  EXPECT_GE(words.size(), 300u);
  for (const auto& [word, respelling] : entries) {
    EXPECT_EQ(Looked(word), respelling) << word;
    if (words.count(word + "S") == 0) {
      EXPECT_EQ(Looked(word + "S"), respelling + "S") << word;
    }
  }
}

TEST_F(ShippedExceptionsTest, CommonWordsAndTheirForms) {
  const struct {
    const char* word;
    const char* respelling;
  } rows[] = {
      {"PORTA", "PÓRTA"},   {"PORTAS", "PÓRTAS"},  {"FESTA", "FÉSTA"},   {"NOVOS", "NÓVOS"},
      {"NOVO", "NOVO"},     {"FORA", "FÓRA"},      {"FORAM", "FÔRAM"},   {"PODEM", "PÓDEM"},
      {"TÁXI", "TÁKSI"},    {"TÁXIS", "TÁKSIS"},   {"PRÓXIMO", "PRÓSSIMO"},
      {"SETE", "SÉTE"},     {"NOVE", "NÓVE"},      {"DEZ", "DÉZ"},       {"IDEIAS", "IDÉIAS"},
      {"CINQUENTA", "CINQÜENTA"},                  {"RAINHA", "RAÍNHA"}, {"SITES", "SÁITES"},
      {"CASA", "CASA"},     {"MESAS", "MESAS"},
  };
  for (const auto& row : rows) EXPECT_EQ(Looked(row.word), row.respelling) << row.word;
}

const std::set<std::string> kPhonemes = {
    "a", "ee", "e", "i", "oo", "o", "u", "@", "an", "en", "in", "on", "un", "y", "w",
    "p", "b", "t", "d", "k", "g", "tx", "dj", "f", "v", "s", "z", "x", "j", "h",
    "s2", "r", "rr", "r2", "m", "n", "nh", "l", "lh", "_"};

class ShippedRulesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(aravo::LoadLetterRules(kDataFolder + "/portug.nrl")); }
  void TearDown() override { aravo::FreeLetterRules(); }
};

TEST_F(ShippedRulesTest, EveryRuleReadsUpperCaseLettersAndWritesPhonemesOfTheSet) {
  int rules = 0;
  for (int code = 32; code < 256; ++code) {
    for (const aravo::LetterRule& rule : aravo::LetterRulesFor(static_cast<unsigned char>(code))) {
      ++rules;
      EXPECT_TRUE(OnlyWordLetters(rule.match) && rule.match == aravo::UpperCase(rule.match))
          << rule.match;
      std::size_t start = 0;
      while (!rule.output.empty() && start <= rule.output.size()) {
        std::size_t end = rule.output.find('&', start);
        if (end == std::string::npos) end = rule.output.size();
        std::string phoneme = rule.output.substr(start, end - start);
        if (phoneme.starts_with("¨")) phoneme.erase(0, 1);
        EXPECT_EQ(kPhonemes.count(phoneme), 1u) << rule.match << "=" << rule.output;
        start = end + 1;
      }
      // The stage uses the first 11 characters of an output.
      EXPECT_LE(rule.output.size(), 11u) << rule.match;
    }
  }
  EXPECT_GE(rules, 100);
}

// Every letter a word or a respelling can hold has a rule that reads it.
TEST_F(ShippedRulesTest, EveryLetterOfWordsAndRespellingsHasARule) {
  for (int code = 0; code < 256; ++code) {
    const auto c = static_cast<unsigned char>(code);
    if (aravo::IsWordLetter(c) && aravo::UpperCaseCharacter(c) == c) {
      bool single = false;
      for (const aravo::LetterRule& rule : aravo::LetterRulesFor(c)) {
        single = single || rule.match.size() == 1;
      }
      EXPECT_TRUE(single) << "no one-letter rule for " << c;
    }
  }
}

}  // namespace
