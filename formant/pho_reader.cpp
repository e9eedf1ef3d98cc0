#include "pho_reader.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "errors.h"

namespace formant {
namespace {

bool ParseNumber(const std::string& text, float& value) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const double parsed = std::strtod(text.c_str(), &end);
  if (errno != 0 || *end != '\0' || !std::isfinite(parsed) || std::fabs(parsed) > 1e7) {
    return false;
  }
  value = static_cast<float>(parsed);
  return true;
}

PhoLine Error(int code, const std::string& message) {
  PhoLine result;
  result.kind = PhoLine::kError;
  result.error = code;
  result.message = message;
  return result;
}

std::string Quoted(const std::string& line) {
  return "\"" + (line.size() > 60 ? line.substr(0, 60) + "..." : line) + "\"";
}

PhoLine ReadCommand(const std::string& text, const std::string& line) {
  std::istringstream words(text);
  std::string word;
  if (!(words >> word)) return PhoLine();
  PhoLine result;
  if (word == "FLUSH") {
    std::string symbol, extra;
    if (!(words >> symbol) || (words >> extra) || symbol.size() > 7) {
      return Error(kErrorSyntax, "bad FLUSH command " + Quoted(line));
    }
    result.kind = PhoLine::kFlushSymbol;
    result.name = symbol;
    return result;
  }
  // T=x and F=x, with or without blanks around "=".
  std::string rest;
  std::getline(words, rest);
  std::string assignment = word + rest;
  std::string compact;
  for (char c : assignment) {
    if (c != ' ' && c != '\t') compact += c;
  }
  if (compact.size() < 3 || compact[1] != '=' || (compact[0] != 'T' && compact[0] != 'F')) {
    return Error(kErrorCommand, "unknown command " + Quoted(line));
  }
  if (!ParseNumber(compact.substr(2), result.ratio) || result.ratio < 0.05f || result.ratio > 20) {
    return Error(kErrorSyntax, "bad ratio in " + Quoted(line));
  }
  result.kind = compact[0] == 'T' ? PhoLine::kTimeRatio : PhoLine::kFrequencyRatio;
  return result;
}

}  // namespace

PhoLine ReadPhoLine(const std::string& line, const std::string& flushSymbol) {
  const size_t first = line.find_first_not_of(" \t");
  if (first == std::string::npos) return PhoLine();
  if (line[first] == ';') {
    if (first + 1 < line.size() && line[first + 1] == ';') {
      return ReadCommand(line.substr(first + 2), line);
    }
    return PhoLine();
  }
  // Pairs may be written "(pos,f0)": parentheses and commas separate like blanks.
  std::string spaced = line;
  for (char& c : spaced) {
    if (c == '(' || c == ')' || c == ',') c = ' ';
  }
  std::istringstream words(spaced);
  PhoLine result;
  words >> result.name;
  if (result.name == flushSymbol) {
    // The flush symbol may carry a duration and pitch; they are ignored.
    result.kind = PhoLine::kFlush;
    return result;
  }
  std::string word;
  if (!(words >> word)) return Error(kErrorSyntax, "missing duration in " + Quoted(line));
  if (!ParseNumber(word, result.durationMs) || result.durationMs < 0 ||
      result.durationMs > kLongestPhoneMs) {
    return Error(kErrorSyntax, "bad duration in " + Quoted(line));
  }
  std::string pitchWord;
  while (words >> word) {
    if (!(words >> pitchWord)) return Error(kErrorSyntax, "unpaired pitch in " + Quoted(line));
    PitchPoint point{};
    if (!ParseNumber(word, point.percent) || !ParseNumber(pitchWord, point.hz) ||
        point.percent < 0 || point.percent > 100 || point.hz < 0 || point.hz > 5000) {
      return Error(kErrorSyntax, "bad pitch point in " + Quoted(line));
    }
    if (result.points.size() == kMostPitchPoints) {
      return Error(kErrorSyntax, "too many pitch points in " + Quoted(line));
    }
    result.points.push_back(point);
  }
  result.kind = PhoLine::kPhone;
  return result;
}

}  // namespace formant
