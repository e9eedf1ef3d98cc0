// `fala say [--engine aravo] TEXT...`: speaks a text through the speech front end as
// VERANTO.INI configures it, or through the Aravo engine when asked.
#include <cstdint>
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

constexpr const char* kUsage = "usage: fala say [--engine aravo|sapi5|sapi54|sapi4] TEXT...\n";

struct NamedEngine {
  const char* name;
  std::int32_t type;
};
constexpr NamedEngine kEngines[] = {
    {"aravo", engines::kAravoEngine},
    {"sapi5", engines::kSystemSpeech5},
    {"sapi54", engines::kSystemSpeech54},
    {"sapi4", engines::kStartEngineType},
};

}  // namespace

int SayCommand(const Output& output, const std::vector<std::string>& arguments) {
  std::vector<std::string> words = arguments;
  const NamedEngine* engine = nullptr;
  if (words.size() >= 2 && words[0] == "--engine") {
    for (const NamedEngine& known : kEngines) {
      if (words[1] == known.name) engine = &known;
    }
    if (engine == nullptr) {
      std::fprintf(stderr, "fala say: unknown engine '%s' (aravo, sapi5, sapi54 or sapi4)\n", words[1].c_str());
      return 2;
    }
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
  if (engine != nullptr) {
    aravo::AravoSetLibrary(SynthesizerLibraryPath());
    frontend::ForceEngineType(engine->type);
  }
  frontend::SpeechStart(0, "");
  const bool engineSpeaks = frontend::EngineMode();
  if (engine != nullptr && !engineSpeaks) {
    std::fprintf(stderr, "fala say: the %s engine cannot start; the internal voice speaks instead\n", engine->name);
  }
  frontend::Speak(text);
  frontend::SpeechEnd();
  audio::PlayerStop();
  console::ConsoleStop();
  return 0;
}

}  // namespace fala
