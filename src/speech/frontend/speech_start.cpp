// Program start and SpeechStart: the front end's state, the click sample, the speech settings
// handed on to the diphone voice and the player, and the choice of an external engine.
#include <cstdint>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "audio/player/player.h"
#include "config/suite_setting.h"
#include "console/console.h"
#include "console/keyboard.h"
#include "platform/system.h"
#include "speech/diphone/synthesizer.h"
#include "speech/engines/dispatcher.h"
#include "speech/frontend/frontend_state.h"
#include "speech/frontend/output/speech_output.h"
#include "speech/frontend/speech.h"
#include "speech/frontend/speech_settings.h"

namespace frontend {
namespace {

constexpr const char* kDefaultPromptLetters = "c:\\lumivar\\som\\letras\\";
constexpr std::uint32_t kClickRate = 11025;
constexpr std::size_t kClickSamples = 256;
constexpr std::size_t kClickNoise = 64;
constexpr int kClickNoiseSpread = 60;  // noise bytes are 128 + 0..59
constexpr int kEnterLineCapacity = 256;

std::string programFolder;
std::string promptLettersFolder;
PunctuationPauses pauses;
bool punctuationAnnouncing = true;
std::vector<std::uint8_t> clickSample;
// Never set by this program: an empty name speaks through the sound card.
std::string engineOutputFile;
bool engineTypeForced = false;
std::int32_t forcedEngineType = 0;

std::string WithSeparator(std::string folder) {
  if (!folder.empty() && folder.back() != '\\' && folder.back() != platform::kPathSeparator) {
    folder += platform::kPathSeparator;
  }
  return folder;
}

void BuildClickSample() {
  clickSample.assign(kWaveHeaderSize + kClickSamples, 128);
  MakeWaveHeader(clickSample.data(), kClickSamples, kClickRate, 8, 1);
  std::minstd_rand generator(std::random_device{}());
  std::uniform_int_distribution<int> spread(0, kClickNoiseSpread - 1);
  for (std::size_t i = 0; i < kClickNoise; ++i) {
    clickSample[kWaveHeaderSize + i] = static_cast<std::uint8_t>(128 + spread(generator));
  }
}

// The internal voice could not start: both lines, the synthesizer closed, Enter, the end.
[[noreturn]] void FailStart(int result, const std::string& database) {
  std::cout << "Erro de inicialização: " << result << std::endl;
  std::cout << "Banco de dados de voz: " << database << std::endl;
  diphone::DiphoneClose();
  char line[kEnterLineCapacity];
  console::ReadLine(line, kEnterLineCapacity);
  console::CloseConsole();
}

}  // namespace

namespace detail {

const std::string& ProgramFolder() { return programFolder; }
const std::string& PromptLettersFolder() { return promptLettersFolder; }
const PunctuationPauses& Pauses() { return pauses; }
bool PunctuationAnnouncing() { return punctuationAnnouncing; }
std::vector<std::uint8_t>& ClickSample() { return clickSample; }

}  // namespace detail

void FrontendStart() {
  platform::StartComponentServices();
  ResetSpeechOutput();
  punctuationAnnouncing = true;
  engineOutputFile.clear();
  programFolder.clear();
  promptLettersFolder.clear();
  pauses = {};
  engineTypeForced = false;
  forcedEngineType = 0;
  BuildClickSample();
  config::RecordStartupFolder(platform::CurrentFolder());
}

void ForceEngineType(std::int32_t engineType) {
  engineTypeForced = true;
  forcedEngineType = engineType;
}

void SpeechStart(std::int32_t speed, const std::string& folder) {
  speed = ResolveSpeed(speed);
  const SynthesizerSettings settings = ReadSynthesizerSettings(speed);
  diphone::DiphoneSetDatabase(settings.database);
  diphone::DiphoneSetCut(settings.cut);
  diphone::DiphoneSetFloor(settings.floor);
  diphone::DiphoneSetGap(settings.gap);
  audio::SetSpeechCut(settings.speechCut);
  audio::SetFastPlayback(settings.fastPlayback);
  pauses = {settings.fullStopPause, settings.commaPause, settings.colonPause};

  const int opened = diphone::DiphoneOpen();
  if (opened != diphone::kDiphoneReady) FailStart(opened, settings.database);

  programFolder = WithSeparator(folder);
  promptLettersFolder = WithSeparator(
      platform::ReadProfileString("TRADUTOR", "DIRLETRAS", kDefaultPromptLetters, platform::kPathCapacity, "VERANTO.INI"));

  SetEngineMode(false);
  const EngineSettings engine = ReadEngineSettings(engineTypeForced, forcedEngineType);
  if (engine.wanted) {
    engines::SetEngineVoiceName(engine.voiceName);
    SetEngineMode(engines::EngineOpen(engine.voice, engine.speed, engine.pitch, engine.type, engineOutputFile));
  }
}

void SetPunctuationAnnouncing(bool on) { punctuationAnnouncing = on; }

}  // namespace frontend
