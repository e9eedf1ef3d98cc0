// Recordings: named prompts, character recordings and the click.
#include <cstdint>
#include <string>
#include <vector>

#include "audio/player/player.h"
#include "console/keyboard.h"
#include "speech/diphone/synthesizer.h"
#include "speech/frontend/frontend_state.h"
#include "speech/frontend/output/speech_output.h"
#include "speech/frontend/speech.h"

namespace frontend {

void PlayPrompt(const std::string& name) {
  if (name.empty()) return;
  FinishEngineSpeech();
  const std::string& folder = name[0] == '_' ? detail::PromptLettersFolder() : detail::ProgramFolder();
  audio::WavPlayFile(folder + name + ".wav");
}

void PlayLetter(std::uint8_t character) {
  FinishEngineSpeech();
  audio::WavPlayFile(diphone::DiphoneLettersFolder() + "_" + std::to_string(character) + ".wav");
}

void SpellText(const std::string& text) {
  for (const char character : text) {
    if (console::KeyPressed()) return;
    PlayLetter(static_cast<std::uint8_t>(character));
  }
}

void PlayClick() {
  std::vector<std::uint8_t>& click = detail::ClickSample();
  if (click.empty()) return;  // FrontendStart makes it
  FinishEngineSpeech();
  // The click is already short; shortening it would leave nothing to hear.
  const bool speechCut = audio::SpeechCut();
  audio::SetSpeechCut(false);
  PlayBufferAndWait(click.data(), click.size());
  audio::SetSpeechCut(speechCut);
}

}  // namespace frontend
