#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/wave_builder.h"

// A complete, tiny voice installation in a folder, for tests and benchmarks of the speech
// stack and the test run: VERANTO.INI pointing at a prompt folder, a letters folder and a diphone
// folder; the recorded prompts, character and number-word recordings; a diphone database
// (index and samples) with its rules and exceptions. Every recording has samples of its own
// from the first byte on, so a test can tell from the played sound which file it came from.
namespace test_support {

// The prompts of the microphone test run.
inline const std::vector<std::string>& PromptNames() {
  static const std::vector<std::string> names = {
      "AVINIC",   "AVRUIAMB", "AVENTSIL", "AVRUI2",   "AVPORCEN", "AVEXEL",
      "AVNORMAL", "AVMUIRUI", "AVENTNOR", "AVTESMIC", "AVVOLNOR", "AVMUIBAI",
      "AVMUIALT", "AVENTFOR", "AVPPP",    "AVVOLEXP", "AVMUIBAIX", "AVOKTERM"};
  return names;
}

// Every number-word recording (names cut to 8 characters) and the minus sign.
inline const std::vector<std::string>& NumberWordNames() {
  static const std::vector<std::string> names = {
      "_zero",    "_um",      "_uma",     "_dois",    "_duas",    "_tres",    "_quatro",
      "_cinco",   "_seis",    "_sete",    "_oito",    "_nove",    "_dez",     "_onze",
      "_doze",    "_treze",   "_quatorz", "_quinze",  "_dezesse", "_dezeset", "_dezoito",
      "_dezenov", "_vinte",   "_trinta",  "_quarent", "_cinquen", "_sessent", "_setenta",
      "_oitenta", "_noventa", "_cem",     "_cento",   "_duzento", "_trezent", "_quatroc",
      "_quinhen", "_seiscen", "_setecen", "_oitocen", "_novecen", "_e",       "_mil",
      "_milhao",  "_milhoes", "_bilhao",  "_bilhoes", "_trilhao", "_trilhoe", "_MENOS"};
  return names;
}

// Audible 8-bit samples that belong to `name` alone: a generator seeded by the name, never
// the silence value 128.
inline Bytes RecordingSamples(const std::string& name, std::size_t length) {
  std::uint64_t state = 1469598103934665603ull;
  for (const unsigned char c : name) state = (state ^ c) * 1099511628211ull;
  Bytes samples(length);
  for (std::uint8_t& sample : samples) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    sample = static_cast<std::uint8_t>(16 + (state >> 33) % 224);
    if (sample == 128) sample = 129;
  }
  return samples;
}

struct VoiceDataOptions {
  bool promptFolderSetting = true;  // [AUDIVAL] DIRAUDIVAL names the prompt folder
  bool database = true;             // the diphone index and sample files exist
  bool rules = true;                // regras.rgr and portug.exc exist
  std::size_t promptBytes = 2205;   // 0.2 s at 11 025 Hz
  std::size_t wordBytes = 551;      // 0.05 s
  std::string extraSettings;        // appended to VERANTO.INI as written
  std::string translatorSettings;   // more [TRADUTOR] lines (only a file's first section counts)
  // A folder holding regras.rgr, portug.exc and segmentos.txt (the shipped data/diphone): its
  // rules and exceptions are copied and the database gets one segment of `segmentBytes` for
  // each name segmentos.txt lists. Empty: the tiny database and rules below.
  std::string diphoneSource;
  std::size_t segmentBytes = 1500;
};

// The folders of a written installation; each ends without a separator.
struct VoiceDataFolders {
  std::string root;
  std::string prompts;
  std::string letters;
  std::string diphones;
};

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

inline void WriteRecording(const std::filesystem::path& folder, const std::string& name, std::size_t length) {
  WriteBytes(folder / (name + ".wav"), WaveImage(11025, 1, 8, RecordingSamples(name, length)));
}

// A diphone database "TESTE" of these segment names (at most 8 characters), sorted by name as
// the index must be, `segmentBytes` samples each.
inline void WriteDiphoneDatabase(const std::filesystem::path& folder, std::vector<std::string> names,
                                 std::size_t segmentBytes) {
  std::sort(names.begin(), names.end());
  std::string index;
  std::string samples;
  for (const std::string& name : names) {
    index += static_cast<char>(name.size());
    index += name + std::string(8 - name.size(), ' ');
    Put16(index, static_cast<std::uint32_t>(segmentBytes));
    Put32(index, static_cast<std::uint32_t>(samples.size()));
    samples += AsString(RecordingSamples(name, segmentBytes));
  }
  WriteBytes(folder / "TESTE.IND", index);
  WriteBytes(folder / "TESTE.DIF", samples);
}

// The tiny database: one segment "$" + letter for each letter A-Z.
inline std::vector<std::string> LetterSegmentNames() {
  std::vector<std::string> names;
  for (char letter = 'A'; letter <= 'Z'; ++letter) names.push_back(std::string("$") + letter);
  return names;
}

// The segment names of a segmentos.txt: the text before the tab of each line that is not a
// comment.
inline std::vector<std::string> ListedSegmentNames(const std::filesystem::path& file) {
  std::vector<std::string> names;
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == ';') continue;
    const std::string name = line.substr(0, line.find_first_of("\t\r "));
    if (!name.empty() && name.size() <= 8) names.push_back(name);
  }
  return names;
}

// Letter-to-phoneme rules that say every letter as itself, and two exceptions.
inline void WriteTranslatorFiles(const std::filesystem::path& folder) {
  std::string rules;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    rules += std::string("(") + letter + ")=" + static_cast<char>(letter + 32) + "\n";
  }
  WriteBytes(folder / "regras.rgr", rules);
  WriteBytes(folder / "portug.exc", "voce^=vose^\nnao~=na~u\n");
}

inline VoiceDataFolders WriteVoiceData(const std::string& root, const VoiceDataOptions& options = {}) {
  const std::filesystem::path base(root);
  VoiceDataFolders folders{root, (base / "prompts").string(), (base / "letras").string(),
                           (base / "difones").string()};
  for (const std::string& name : PromptNames()) WriteRecording(folders.prompts, name, options.promptBytes);
  for (int code = 0; code < 256; ++code) {
    std::string name = "_";
    name += std::to_string(code);
    WriteRecording(folders.letters, name, options.wordBytes);
  }
  for (const std::string& name : NumberWordNames()) WriteRecording(folders.letters, name, options.wordBytes);
  std::filesystem::create_directories(folders.diphones);
  const std::filesystem::path source(options.diphoneSource);
  if (options.database) {
    WriteDiphoneDatabase(folders.diphones,
                         source.empty() ? LetterSegmentNames() : ListedSegmentNames(source / "segmentos.txt"),
                         source.empty() ? 300 : options.segmentBytes);
  }
  if (options.rules && source.empty()) WriteTranslatorFiles(folders.diphones);
  if (options.rules && !source.empty()) {
    for (const char* file : {"regras.rgr", "portug.exc"}) {
      std::filesystem::copy_file(source / file, std::filesystem::path(folders.diphones) / file,
                                 std::filesystem::copy_options::overwrite_existing);
    }
  }

  std::string ini;
  if (options.promptFolderSetting) ini += "[AUDIVAL]\nDIRAUDIVAL=" + folders.prompts + "\n";
  ini += "[TRADUTOR]\nVELOCIDADE=3\nDIRLETRAS=" + folders.letters + "\nDIRDIFONES=" + folders.diphones + "\n" +
         options.translatorSettings;
  ini += "[SINTETIZADOR]\nDIFONES3=TESTE\nCORTEFON3=400\nSOBRAFON3=0\nINTERPAL3=100\n";
  // A font small enough that 80 columns fit the simulated screen.
  ini += "[VIDEO]\nLARGURALETRA=8\nALTURALETRA=16\nCANTOTELA=NS\n";
  ini += options.extraSettings;
  WriteBytes(base / "VERANTO.INI", ini);
  return folders;
}

}  // namespace test_support
