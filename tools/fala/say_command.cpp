// `fala say [--engine aravo] TEXT...`: speaks a text through the speech front end as
// VERANTO.INI configures it, or through the Aravo engine when asked.
#include <cstdio>
#include <string>
#include <vector>

#include "audio/player/player.h"
#include "commands.h"
#include "console/console.h"
#include "platform/system.h"
#include "speech/aravo/engine.h"
#include "speech/aravo/mbrola_binding.h"
#include "speech/engines/aravo_adapter.h"
#include "speech/engines/dispatcher.h"
#include "speech/frontend/output/speech_output.h"
#include "speech/frontend/speech.h"

namespace fala {
namespace {

constexpr const char* kUsage = "usage: fala say [--engine aravo] TEXT...\n";

}  // namespace

int SayCommand(const Output& output, const std::vector<std::string>& arguments) {
  std::vector<std::string> words = arguments;
  bool aravoEngine = false;
  if (words.size() >= 2 && words[0] == "--engine") {
    if (words[1] != "aravo") {
      std::fprintf(stderr, "fala say: unknown engine '%s' (only 'aravo')\n", words[1].c_str());
      return 2;
    }
    aravoEngine = true;
    words.erase(words.begin(), words.begin() + 2);
  }
  if (words.empty() || words[0] == "--engine") {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::string text;
  for (const std::string& word : words) text += (text.empty() ? "" : " ") + ArgumentText(output, word);

  // The modules start as the program starts them.
  console::ConsoleStart();
  audio::PlayerStart();
  engines::AravoAdapterStart();
  engines::DispatcherStart();
  frontend::FrontendStart();
  if (aravoEngine) {
    aravo::AravoSetLibrary(SynthesizerLibraryPath());
    frontend::ForceEngineType(engines::kAravoEngine);
  }
  frontend::SpeechStart(0, "");
  const bool engineSpeaks = frontend::EngineMode();
  if (aravoEngine && !engineSpeaks) {
    std::fputs("fala say: the Aravo engine cannot start; the internal voice speaks instead\n", stderr);
  }
  frontend::Speak(text);
  frontend::SpeechEnd();
  audio::PlayerStop();
  console::ConsoleStop();
  return 0;
}

}  // namespace fala
