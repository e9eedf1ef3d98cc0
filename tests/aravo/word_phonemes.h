#pragma once

#include <string>
#include <vector>

#include "speech/aravo/transcription.h"

// A word's phonemes through the engine's phonetic stage, joined by blanks, without the mark
// of unlengthened vowels: the form the pronunciation lists are written in.
inline std::string WordPhonemes(const std::string& word) {
  const std::vector<std::string> lines = aravo::TranscribeItems({"555|" + word});
  std::string joined;
  for (std::size_t i = 1; i < lines.size() && !lines[i].empty(); ++i) {
    std::string phoneme = lines[i];
    const std::size_t mark = phoneme.find('\xA8');
    if (mark != std::string::npos) phoneme.erase(mark, 1);
    if (!joined.empty()) joined += ' ';
    joined += phoneme;
  }
  return joined;
}
