#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "audio/player/player.h"
#include "config/suite_setting.h"
#include "console/console.h"
#include "platform/events.h"
#include "platform/sim/sim.h"
#include "platform/temp_folder.h"
#include "support/scripted_speech_services.h"
#include "speech/aravo/engine.h"
#include "speech/aravo/mbrola_binding.h"
#include "speech/engines/aravo_adapter.h"
#include "speech/engines/dispatcher.h"

namespace engines {

constexpr int kVkA = 0x41;

// A fresh simulated machine with VERANTO.INI in a temporary Windows folder; the engine
// modules start as the program starts them, after the test has written its settings.
class EngineModuleTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    sim::Reset();
    config::RecordStartupFolder("");
    aravo::AravoSetLibrary(MBROLA_LIBRARY);
    InstallScriptedServices();
  }

  void TearDown() override {
    RemoveScriptedServices();
    aravo::AravoClose();
    aravo::AravoSetOutputFile("");
    aravo::AravoSetVoiceFactors(1.0, 1.0);
    aravo::AravoSetLibrary(aravo::kMbrolaLibrary);
    audio::SetKeyInterrupt(true);
    audio::PlayerStop();
    console::ConsoleStop();
    TempFolderTest::TearDown();
  }

  void WriteSettings(const std::string& aravoSection) {
    WriteFile("VERANTO.INI", "[ARAVOTTS]\r\n" + aravoSection);
  }

  // Settings that find the shipped language files and the test voice.
  void WriteWorkingSettings() {
    WriteSettings(std::string("MBROLA_DB=") + FORMANT_VOICE + "\r\nDIR=" + ARAVO_DATA_DIR + "\r\n");
  }

  static void StartModules() {
    AravoAdapterStart();
    DispatcherStart();
  }

  static sim::RunResult RunWithSound(const std::function<void()>& body) {
    console::ConsoleStart();
    audio::PlayerStart();
    return sim::Run(body);
  }

  // Starts `milliseconds` of 16 000 Hz 16-bit silence on the player, without waiting.
  void PlaySound(int milliseconds) {
    const std::size_t dataSize = static_cast<std::size_t>(milliseconds) * 32;
    image_.assign(aravo::kWaveHeaderSize + dataSize, 0);
    aravo::BuildWaveHeader(image_.data(), aravo::kEngineSampleRate, 16, 1,
                           static_cast<std::int32_t>(dataSize));
    audio::WavPlayBuffer(image_.data(), image_.size());
  }

  // Removes every pending event and returns the numbers of the wake-ups among them.
  static std::vector<int> TakeWakes() {
    std::vector<int> wakes;
    platform::Event event;
    while (platform::PeekEvent(event)) {
      if (event.kind == platform::EventKind::Wake) wakes.push_back(event.code);
    }
    return wakes;
  }

 private:
  std::vector<std::uint8_t> image_;
};

}  // namespace engines
