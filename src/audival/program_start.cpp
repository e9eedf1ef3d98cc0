// The order in which the modules are started: each one's start-up may rely only on those
// before it. The Aravo adapter builds its paths before the start-up folder is recorded, so
// its configuration fall-backs use an empty folder.
#include "audival/program_start.h"

#include "audio/capture/capture.h"
#include "audio/player/player.h"
#include "console/console.h"
#include "speech/diphone/synthesizer.h"
#include "speech/engines/aravo_adapter.h"
#include "speech/engines/dispatcher.h"
#include "speech/frontend/speech.h"

namespace audival {

void ProgramStart() {
  console::ConsoleStart();
  audio::PlayerStart();
  engines::AravoAdapterStart();
  engines::DispatcherStart();
  diphone::DiphoneStart();
  // Last of the starts: it also records the start-up folder for the configuration reader.
  frontend::FrontendStart();
  // The capture module sits below the front end: a device that cannot be opened has its code
  // written and spoken through the front end's number speaker.
  audio::SetNumberSpeaker(frontend::SpeakNumber);
}

void ProgramStop() {
  audio::SetNumberSpeaker(nullptr);
  audio::CaptureClose();
  diphone::DiphoneClose();
  audio::PlayerStop();
  console::ConsoleStop();
}

}  // namespace audival
