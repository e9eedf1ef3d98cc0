// fala diphone: a text translated and spoken by the internal voice with one speed's settings,
// through the sound device or into an 8-bit mono wave file that lasts as long as the player
// would play it.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "aravo_input.h"
#include "audio/player/player.h"
#include "audio/player/wave_format.h"
#include "commands.h"
#include "config/suite_setting.h"
#include "console/console.h"
#include "console/keyboard.h"
#include "platform/encoding.h"
#include "platform/system.h"
#include "speech/diphone/synthesizer.h"
#include "speech/diphone/translator.h"
#include "speech/engines/dispatcher.h"
#include "speech/frontend/output/speech_output.h"
#include "speech/frontend/speech_settings.h"

namespace fala {
namespace {

constexpr const char* kUsage = "usage: fala diphone [--data DIR] [--speed N] [--wav FILE] [TEXT...]\n";
constexpr std::uint32_t kRate = 11025;
constexpr int kDefaultSpeed = 3;
constexpr int kPauseStepMs = 50;  // the front end pauses in whole steps of 50 ms

// What speed N's keys make of the player and the pauses.
struct SpeedSettings {
  bool fastPlayback = false;
  bool speechCut = false;
  frontend::PunctuationPauses pauses;
};

// Speed `speed`'s keys as SpeechStart reads them ([SINTETIZADOR] DIFONESn ... PAUSADOISPONTOSn);
// a database, cut, floor or gap key that is absent keeps the synthesizer's load-time value, so
// that the command speaks also where VERANTO.INI sets none of them.
SpeedSettings ApplySettings(int speed) {
  const frontend::SynthesizerSettings read = frontend::ReadSynthesizerSettings(speed);
  const auto present = [speed](const char* key) {
    return !config::ReadSuiteSetting("SINTETIZADOR", key + std::to_string(speed)).empty();
  };
  diphone::DiphoneStart();
  if (present("DIFONES")) diphone::DiphoneSetDatabase(read.database);
  if (present("CORTEFON")) diphone::DiphoneSetCut(read.cut);
  if (present("SOBRAFON")) diphone::DiphoneSetFloor(read.floor);
  if (present("INTERPAL")) diphone::DiphoneSetGap(read.gap);
  return {read.fastPlayback, read.speechCut, {read.fullStopPause, read.commaPause, read.colonPause}};
}

// The rate the player plays an 11 025 Hz buffer at.
std::uint32_t PlayedRate(const SpeedSettings& settings) {
  return settings.fastPlayback ? static_cast<std::uint32_t>(audio::FastPlaybackRate(kRate)) : kRate;
}

const char* OpenFailure(int result) {
  return result == diphone::kDiphoneRulesMissing ? "regras.rgr or portug.exc cannot be read"
                                                 : "a folder, the index or the data file cannot be opened";
}

bool WriteWave(const std::string& path, const std::vector<std::uint8_t>& samples, std::uint32_t rate) {
  std::FILE* file = std::fopen(platform::FileSystemName(path).c_str(), "wb");
  if (file == nullptr) return false;
  std::uint8_t header[frontend::kWaveHeaderSize];
  frontend::MakeWaveHeader(header, static_cast<std::uint32_t>(samples.size()), rate, 8, 1);
  bool written = std::fwrite(header, 1, sizeof header, file) == sizeof header &&
                 std::fwrite(samples.data(), 1, samples.size(), file) == samples.size();
  written = std::fclose(file) == 0 && written;
  return written;
}

// Speaks one text as the front end's Speak does with the internal voice: the text between
// signs goes to the voice, and a sign that ends a clause is the front end's pause for it (the
// end of the text counts as a blank). Other signs stay in the text for the translator.
// `pause` is called with whole 50 ms steps, as the front end waits them.
template <typename Pause>
void SpeakText(const std::string& text, const SpeedSettings& settings, Pause pause) {
  std::string clause;
  const auto speakClause = [&clause]() {
    if (clause.find_first_not_of(" \t") != std::string::npos) {
      diphone::DiphoneSpeak(diphone::TranslateToPhonemes(clause), false);
    }
    clause.clear();
  };
  for (std::size_t at = 0; at < text.size(); ++at) {
    const char c = text[at];
    const char next = at + 1 < text.size() ? text[at + 1] : ' ';
    const int milliseconds =
        frontend::ClausePauseMs(static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(next), settings.pauses);
    if (milliseconds < 0) {
      clause += c;
      continue;
    }
    speakClause();
    if (milliseconds >= kPauseStepMs) pause(milliseconds / kPauseStepMs * kPauseStepMs);
  }
  speakClause();
}

}  // namespace

int DiphoneCommand(const Output& output, const std::vector<std::string>& arguments) {
  std::vector<std::string> rest = arguments;
  std::string wavFile;
  std::string speedText = std::to_string(kDefaultSpeed);
  if (!TakeOption(rest, "--wav", wavFile) || !TakeOption(rest, "--speed", speedText)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const frontend::SettingInteger speed = frontend::ParseSettingInteger(speedText);
  if (!speed.whole || speed.value < 1 || speed.value > 5) {
    std::fprintf(stderr, "fala diphone: the speed is 1 (slow) to 5 (fast), not '%s'\n", speedText.c_str());
    return 2;
  }
  AravoInput input;
  if (!ReadAravoInput(output, rest, input)) return 2;
  // The data folder stands for the "c:" drive of the configured folders.
  if (!input.dataFolder.empty()) platform::SetDataFolder(input.dataFolder);
  const SpeedSettings settings = ApplySettings(speed.value);
  const std::uint32_t rate = PlayedRate(settings);

  const bool toFile = !wavFile.empty();
  std::vector<std::uint8_t> samples;
  if (toFile) {
    // What the player would do to each buffer: shorten it with speech cut (at the raised rate
    // with fast playback, as the player compares it) and play it at `rate`.
    diphone::DiphoneSetOutputSink([&samples, &settings, rate](const std::uint8_t* from, std::size_t count) {
      const std::size_t start = samples.size();
      samples.insert(samples.end(), from, from + count);
      if (settings.speechCut && count > 0) {
        const int kept = audio::ShortenSpeech(samples.data() + start, static_cast<int>(count), 8, static_cast<int>(rate));
        samples.resize(start + static_cast<std::size_t>(kept));
      }
    });
  } else {
    console::ConsoleStart();
    audio::PlayerStart();
    engines::DispatcherStart();
    frontend::ResetSpeechOutput();
    audio::SetFastPlayback(settings.fastPlayback);
    audio::SetSpeechCut(settings.speechCut);
  }

  const int opened = diphone::DiphoneOpen();
  if (opened == diphone::kDiphoneReady) {
    for (const std::string& text : input.texts) {
      if (toFile) {
        // A pause is silence in real time, whatever rate the speech is played at.
        SpeakText(text, settings, [&samples, rate](int milliseconds) {
          samples.insert(samples.end(), static_cast<std::size_t>(milliseconds) * rate / 1000, 128);
        });
      } else {
        SpeakText(text, settings, [](int milliseconds) {
          for (int step = 0; step < milliseconds / kPauseStepMs; ++step) {
            if (!console::KeyPressed()) console::Delay(kPauseStepMs);
          }
        });
      }
    }
  }
  diphone::DiphoneClose();
  diphone::DiphoneSetOutputSink({});
  if (!toFile) {
    audio::SetFastPlayback(false);
    audio::SetSpeechCut(false);
    audio::PlayerStop();
    console::ConsoleStop();
  }

  if (opened != diphone::kDiphoneReady) {
    std::fprintf(stderr, "fala diphone: the internal voice cannot start (%d): %s\n", opened, OpenFailure(opened));
    return 1;
  }
  if (toFile && !WriteWave(ArgumentText(output, wavFile), samples, rate)) {
    std::fprintf(stderr, "fala diphone: cannot write %s\n", wavFile.c_str());
    return 1;
  }
  return 0;
}

}  // namespace fala
