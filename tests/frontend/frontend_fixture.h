#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "audio/player/player.h"
#include "console/console.h"
#include "console/keyboard.h"
#include "platform/sim/sim.h"
#include "platform/temp_folder.h"
#include "speech/diphone/synthesizer.h"
#include "speech/diphone/translator.h"
#include "speech/engines/aravo_adapter.h"
#include "speech/engines/dispatcher.h"
#include "speech/frontend/output/speech_output.h"
#include "speech/frontend/speech.h"
#include "support/scripted_speech_services.h"
#include "support/wave_builder.h"

// A simulated machine with a complete little voice in a temporary Windows folder: letter and
// number-word recordings whose samples tell them apart, a diphone database that holds the
// segments of the words the tests say, a rules file and an exceptions file; and a reading of
// the played blocks back into the names of what was heard.
namespace frontend_test {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kRecordingLength = 200;
constexpr std::uint8_t kSegmentSample = 200;  // every database segment
constexpr std::size_t kSegmentLength = 300;
constexpr const char* kVoiceName = "TESTE";
// Blocks read as these: a click sample, and speech of the diphone voice.
const std::string kClick = "click";
const std::string kVoice = "voice";

// Every recording the tests may ask for: the number words, the signs and digits they use.
inline std::vector<std::string> RecordingNames() {
  std::vector<std::string> names = {
      "_zero",    "_um",      "_uma",     "_dois",    "_duas",    "_tres",    "_quatro",  "_cinco",
      "_seis",    "_sete",    "_oito",    "_nove",    "_dez",     "_onze",    "_doze",    "_treze",
      "_quatorz", "_quinze",  "_dezesse", "_dezeset", "_dezoito", "_dezenov", "_vinte",   "_trinta",
      "_quarent", "_cinquen", "_sessent", "_setenta", "_oitenta", "_noventa", "_cem",     "_cento",
      "_duzento", "_trezent", "_quatroc", "_quinhen", "_seiscen", "_setecen", "_oitocen", "_novecen",
      "_e",       "_mil",     "_milhao",  "_milhoes", "_bilhao",  "_bilhoes", "_trilhao", "_trilhoe",
      "_MENOS"};
  for (int code = '0'; code <= '9'; ++code) names.push_back("_" + std::to_string(code));
  for (const char sign : std::string("!(),-./:;?wW")) {
    names.push_back("_" + std::to_string(static_cast<std::uint8_t>(sign)));
  }
  return names;
}

// The sample value of each recording: 1, 2, 3 ... (below the voice's noise and segments).
inline const std::map<std::string, std::uint8_t>& RecordingValues() {
  static const std::map<std::string, std::uint8_t> values = [] {
    std::map<std::string, std::uint8_t> built;
    std::uint8_t next = 1;
    for (const std::string& name : RecordingNames()) built[name] = next++;
    return built;
  }();
  return values;
}

inline std::string RecordingWithValue(std::uint8_t value) {
  for (const auto& [name, held] : RecordingValues()) {
    if (held == value) return name;
  }
  return {};
}

inline bool IsClick(const Bytes& block) {
  if (block.size() != 256) return false;
  for (std::size_t i = 0; i < block.size(); ++i) {
    if (i < 64 ? (block[i] < 128 || block[i] > 187) : block[i] != 128) return false;
  }
  return true;
}

// What a block was heard as: the click, the diphone voice (any sample that is neither silence
// nor a recording's), or the names of the recordings in it, in order.
inline std::vector<std::string> BlockNames(const Bytes& block) {
  if (IsClick(block)) return {kClick};
  for (const std::uint8_t sample : block) {
    if (sample != 128 && RecordingWithValue(sample).empty()) return {kVoice};
  }
  std::vector<std::string> names;
  std::size_t i = 0;
  while (i < block.size()) {
    const std::uint8_t value = block[i];
    std::size_t run = 0;
    while (i < block.size() && block[i] == value) ++i, ++run;
    if (value == 128) continue;
    // The player silences the last byte of a short block; a run stands for whole recordings.
    const std::size_t count = std::max<std::size_t>(1, (run + kRecordingLength / 2) / kRecordingLength);
    for (std::size_t k = 0; k < count; ++k) names.push_back(RecordingWithValue(value));
  }
  return names;
}

// Every block from `first` on, one entry per block.
inline std::vector<std::vector<std::string>> HeardBlocks(std::size_t first = 0) {
  std::vector<std::vector<std::string>> heard;
  const auto& blocks = sim::WaveBlocks();
  for (std::size_t i = first; i < blocks.size(); ++i) heard.push_back(BlockNames(blocks[i].bytes));
  return heard;
}

// The same, flattened.
inline std::vector<std::string> Heard(std::size_t first = 0) {
  std::vector<std::string> heard;
  for (const auto& names : HeardBlocks(first)) heard.insert(heard.end(), names.begin(), names.end());
  return heard;
}

// Words the tests say with the diphone voice; the database holds every segment they ask for.
inline const std::vector<std::string>& VoiceWords() {
  static const std::vector<std::string> words = {"casa", "site", "Fim", "guarda", "chuva", "ta", "te",
                                                 "ti",   "to",   "tu",  "fa",     "bom",  "dia", "abc"};
  return words;
}

class FrontendTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    sim::Reset();
    // No system speech on the simulated machine: those engines never open.
    engines::InstallScriptedServices();
    letters_ = Folder() + "/letras";
    diphones_ = Folder() + "/difones";
    for (const auto& [name, value] : RecordingValues()) WriteRecording(name, Bytes(kRecordingLength, value));
    WriteVoice();
  }

  void TearDown() override {
    engines::RemoveScriptedServices();
    diphone::DiphoneClose();
    frontend::SetEngineMode(false);
    audio::SetSpeechCut(false);
    audio::SetFastPlayback(false);
    audio::SetKeyInterrupt(true);
    audio::PlayerStop();
    console::ConsoleStop();
    TempFolderTest::TearDown();
  }

  // Lines added to VERANTO.INI's sections, each line ending in "\r\n"; `sections` are whole
  // further sections.
  struct Settings {
    std::string letters;  // DIRLETRAS; empty: the letters folder as it is
    std::string translator;
    std::string synthesizer;
    std::string sections;
    Settings& Letters(const std::string& value) { letters = value; return *this; }
    Settings& Translator(const std::string& lines) { translator = lines; return *this; }
    Settings& Synthesizer(const std::string& lines) { synthesizer = lines; return *this; }
    Settings& Sections(const std::string& text) { sections = text; return *this; }
  };

  // VERANTO.INI: the letters and diphone folders and the test voice for speed 3 with no cut
  // and no gap, and what `settings` add.
  void WriteSettings(const Settings& settings = Settings()) {
    WriteFile("VERANTO.INI", "[TRADUTOR]\r\nDIRLETRAS=" + (settings.letters.empty() ? letters_ : settings.letters) + "\r\nDIRDIFONES=" + diphones_ + "\r\n" +
                                 settings.translator + "[SINTETIZADOR]\r\nDIFONES3=" + kVoiceName +
                                 "\r\nCORTEFON3=0\r\nINTERPAL3=0\r\n" + settings.synthesizer +
                                 settings.sections);
  }

  void WriteRecording(const std::string& name, const Bytes& samples) {
    WriteFile("letras/" + name + ".wav", test_support::WaveImage(11025, 1, 8, samples));
  }

  // The modules start as the program starts them; the test's settings must be written first.
  static void StartModules() {
    console::ConsoleStart();
    audio::PlayerStart();
    engines::AravoAdapterStart();
    engines::DispatcherStart();
    frontend::FrontendStart();
  }

  // The modules started and `body` run on the simulated machine after SpeechStart at speed 0.
  sim::RunResult RunSpeech(const std::function<void()>& body, const std::string& programFolder = "") {
    StartModules();
    return sim::Run([&] {
      frontend::SpeechStart(0, programFolder);
      body();
    });
  }

  // Speaks `text` with announcing as given and returns what was heard.
  std::vector<std::string> HeardFor(const std::string& text, bool announcing) {
    std::vector<std::string> heard;
    const sim::RunResult result = RunSpeech([&] {
      frontend::SetPunctuationAnnouncing(announcing);
      const std::size_t first = sim::WaveBlocks().size();
      frontend::Speak(text);
      frontend::WaitForSpeech();
      heard = Heard(first);
    });
    EXPECT_FALSE(result.stalled) << result.message;
    EXPECT_FALSE(result.exited) << text;
    diphone::DiphoneClose();
    audio::PlayerStop();
    console::ConsoleStop();
    sim::Reset();
    return heard;
  }

  const std::string& LettersFolder() const { return letters_; }
  const std::string& DiphonesFolder() const { return diphones_; }

 private:
  // One rule per letter, an empty exceptions file, and a database of every segment the
  // test words ask for (and each single letter), all samples kSegmentSample.
  void WriteVoice() {
    std::string rules;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
      rules += std::string("(") + letter + ")=" + static_cast<char>(letter - 'A' + 'a') + "\r\n";
    }
    const std::string rulesPath = WriteFile("difones/regras.rgr", rules);
    const std::string exceptionsPath = WriteFile("difones/portug.exc", "");
    ASSERT_TRUE(diphone::LoadRules(rulesPath));
    ASSERT_TRUE(diphone::LoadExceptions(exceptionsPath));
    std::set<std::string> names;
    for (char letter = 'A'; letter <= 'Z'; ++letter) names.insert(std::string("$") + letter);
    for (const std::string& word : VoiceWords()) {
      for (const std::string& name : diphone::DiphoneSegmentNames(diphone::TranslateToPhonemes(word), false)) {
        if (name[0] == '$' && name.size() <= 8) names.insert(name);
      }
    }
    diphone::FreeRules();
    std::string index;
    std::string data;
    for (const std::string& name : names) {  // std::set keeps byte order, prefixes first
      std::string record(15, '\0');
      record[0] = static_cast<char>(name.size());
      std::copy(name.begin(), name.end(), record.begin() + 1);
      std::string fields;
      test_support::Put16(fields, kSegmentLength);
      test_support::Put32(fields, static_cast<std::uint32_t>(data.size()));
      std::copy(fields.begin(), fields.end(), record.begin() + 9);
      index += record;
      data += std::string(kSegmentLength, static_cast<char>(kSegmentSample));
    }
    WriteFile(std::string("difones/") + kVoiceName + ".IND", index);
    WriteFile(std::string("difones/") + kVoiceName + ".DIF", data);
  }

  std::string letters_;
  std::string diphones_;
};

// Inside a run: queues a key in the console's key queue now.
inline void QueueKeyNow(int virtualKey) {
  sim::PressKeyAt(sim::Now(), virtualKey);
  console::KeyPressed();
}

}  // namespace frontend_test
