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
namespace {

// The diphone voice's load-time settings, which SpeechStart replaces from VERANTO.INI.
constexpr const char* kDiphoneDatabase = "DIFONES2";
constexpr int kDiphoneCut = 400;
constexpr int kDiphoneFloor = 0;
constexpr int kDiphoneGap = 100;

}  // namespace

void ProgramStart() {
  console::ConsoleStart();
  audio::PlayerStart();
  engines::AravoAdapterStart();
  engines::DispatcherStart();
  diphone::DiphoneSetDatabase(kDiphoneDatabase);
  diphone::DiphoneSetCut(kDiphoneCut);
  diphone::DiphoneSetFloor(kDiphoneFloor);
  diphone::DiphoneSetGap(kDiphoneGap);
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
