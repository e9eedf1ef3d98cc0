// fala diphone: a text translated and spoken by the internal voice, through the sound device
// or into an 8-bit mono 11 025 Hz wave file.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "aravo_input.h"
#include "audio/player/player.h"
#include "commands.h"
#include "config/suite_setting.h"
#include "console/console.h"
#include "platform/encoding.h"
#include "platform/system.h"
#include "speech/diphone/synthesizer.h"
#include "speech/diphone/translator.h"
#include "speech/engines/dispatcher.h"
#include "speech/frontend/output/speech_output.h"

namespace fala {
namespace {

constexpr const char* kUsage = "usage: fala diphone [--data DIR] [--wav FILE] [TEXT...]\n";
constexpr std::uint32_t kRate = 11025;


// The speed-3 tuning of VERANTO.INI where it is set, the load-time values elsewhere.
void ApplySettings() {
  const std::string database = config::ReadSuiteSetting("SINTETIZADOR", "DIFONES3");
  diphone::DiphoneStart();
  if (!database.empty()) diphone::DiphoneSetDatabase(database);
  const struct {
    const char* key;
    void (*set)(int);
  } numbers[] = {{"CORTEFON3", diphone::DiphoneSetCut},
                 {"SOBRAFON3", diphone::DiphoneSetFloor},
                 {"INTERPAL3", diphone::DiphoneSetGap}};
  for (const auto& number : numbers) {
    const std::string value = config::ReadSuiteSetting("SINTETIZADOR", number.key);
    if (!value.empty()) number.set(std::atoi(value.c_str()));
  }
}

const char* OpenFailure(int result) {
  return result == diphone::kDiphoneRulesMissing ? "regras.rgr or portug.exc cannot be read"
                                                 : "a folder, the index or the data file cannot be opened";
}

bool WriteWave(const std::string& path, const std::vector<std::uint8_t>& samples) {
  std::FILE* file = std::fopen(platform::FileSystemName(path).c_str(), "wb");
  if (file == nullptr) return false;
  std::uint8_t header[frontend::kWaveHeaderSize];
  frontend::MakeWaveHeader(header, static_cast<std::uint32_t>(samples.size()), kRate, 8, 1);
  bool written = std::fwrite(header, 1, sizeof header, file) == sizeof header &&
                 std::fwrite(samples.data(), 1, samples.size(), file) == samples.size();
  written = std::fclose(file) == 0 && written;
  return written;
}

}  // namespace

int DiphoneCommand(const Output& output, const std::vector<std::string>& arguments) {
  std::vector<std::string> rest = arguments;
  std::string wavFile;
  if (!TakeOption(rest, "--wav", wavFile)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  AravoInput input;
  if (!ReadAravoInput(output, rest, input)) return 2;
  // The data folder stands for the "c:" drive of the configured folders.
  if (!input.dataFolder.empty()) setenv("VERANTO_DATA", platform::Cp1252ToUtf8(input.dataFolder).c_str(), 1);
  ApplySettings();

  const bool toFile = !wavFile.empty();
  std::vector<std::uint8_t> samples;
  if (toFile) {
    diphone::DiphoneSetOutputSink([&samples](const std::uint8_t* from, std::size_t count) {
      samples.insert(samples.end(), from, from + count);
    });
  } else {
    console::ConsoleStart();
    audio::PlayerStart();
    engines::DispatcherStart();
    frontend::ResetSpeechOutput();
  }

  const int opened = diphone::DiphoneOpen();
  if (opened == diphone::kDiphoneReady) {
    for (const std::string& text : input.texts) {
      diphone::DiphoneSpeak(diphone::TranslateToPhonemes(text), false);
    }
  }
  diphone::DiphoneClose();
  diphone::DiphoneSetOutputSink({});
  if (!toFile) {
    audio::PlayerStop();
    console::ConsoleStop();
  }

  if (opened != diphone::kDiphoneReady) {
    std::fprintf(stderr, "fala diphone: the internal voice cannot start (%d): %s\n", opened, OpenFailure(opened));
    return 1;
  }
  if (toFile && !WriteWave(ArgumentText(output, wavFile), samples)) {
    std::fprintf(stderr, "fala diphone: cannot write %s\n", wavFile.c_str());
    return 1;
  }
  return 0;
}

}  // namespace fala
