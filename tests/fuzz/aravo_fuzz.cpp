// Fuzzes the Aravo engine's language stages. The first byte chooses what the rest is: one of
// the five language files (loaded in place of the shipped one, then a fixed sentence goes
// through the whole pipeline), or a text for the whole pipeline with the shipped files.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "speech/aravo/durations_pitch.h"
#include "speech/aravo/lexicon.h"
#include "speech/aravo/normalise.h"
#include "speech/aravo/prosody_config.h"
#include "speech/aravo/transcription.h"
#include "speech/aravo/word_coding.h"

namespace {

const std::string kDataFolder = ARAVO_DATA_DIR;
std::string scratchFile;

void LoadShippedFiles() {
  const bool loaded = aravo::LoadLetterRules(kDataFolder + "/portug.nrl") &&
                      aravo::LoadExceptionLexicon(kDataFolder + "/portug.exc") &&
                      aravo::LoadAbbreviations(kDataFolder + "/portug.abr") &&
                      aravo::LoadProsody(kDataFolder + "/portug.pro", [](const std::string&, const std::string&) {}) &&
                      aravo::LoadDiphoneInventory(kDataFolder + "/portug.dfn");
  if (!loaded) std::abort();
}

void MakeScratchFile() {
  char pattern[] = "/tmp/aravo-fuzz-XXXXXX";
  const int descriptor = mkstemp(pattern);
  if (descriptor < 0) std::abort();
  close(descriptor);
  scratchFile = pattern;
  std::atexit([] { std::remove(scratchFile.c_str()); });
}

void WriteScratchFile(const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(scratchFile.c_str(), "wb");
  if (file == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);
}

void SpeakThroughTheStages(const std::string& text) {
  const auto items = aravo::SplitTokens(aravo::NormaliseText(text));
  const auto phonemes = aravo::TranscribeItems(aravo::AssignCodes(items, true));
  aravo::ComputeProsody(phonemes, 1.0, 1.0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (scratchFile.empty()) MakeScratchFile();
  if (size == 0) return 0;
  LoadShippedFiles();
  const int choice = data[0] % 6;
  ++data;
  --size;
  if (choice == 5) {
    SpeakThroughTheStages(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
  }
  WriteScratchFile(data, size);
  switch (choice) {
    case 0: aravo::LoadLetterRules(scratchFile); break;
    case 1: aravo::LoadExceptionLexicon(scratchFile); break;
    case 2: aravo::LoadAbbreviations(scratchFile); break;
    case 3: aravo::LoadProsody(scratchFile, [](const std::string&, const std::string&) {}); break;
    default: aravo::LoadDiphoneInventory(scratchFile); break;
  }
  SpeakThroughTheStages("O Dr. Silva, de 42 anos, chegou às 7h? Sim: 3,5% do total!");
  return 0;
}
