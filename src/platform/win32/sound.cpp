// Tones and the beep: Windows' own sndPlaySoundA on a copy of the wave image, and MessageBeep.

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/common/wave_image.h"
#include "platform/sound.h"
#include "platform/win32/windows_api.h"

namespace platform {
namespace {

// The copy Windows plays from while the tone sounds. Held through a pointer that nothing
// frees at the end of the program, since the sound may still be playing from it then.
std::vector<std::uint8_t>* playing = nullptr;

}  // namespace

bool PlayLoopingSound(const std::uint8_t* image, std::size_t size) {
  StopLoopingSound();
  // Windows answers true for any image it is handed to play asynchronously, so the image is
  // judged here.
  WaveFormat format;
  std::size_t samplesAt = 0;
  std::size_t samplesSize = 0;
  if (!FindLoopingWaveSamples(image, size, format, samplesAt, samplesSize) || ::waveOutGetNumDevs() == 0) {
    return false;
  }
  auto* copy = new std::vector<std::uint8_t>(image, image + size);
  // Windows reads as many samples as the chunk says: never more than the copy holds.
  for (int k = 0; k < 4; ++k) (*copy)[samplesAt - 4 + k] = static_cast<std::uint8_t>(samplesSize >> (8 * k));
  if (!::sndPlaySoundA(reinterpret_cast<LPCSTR>(copy->data()),
                       SND_ASYNC | SND_MEMORY | SND_LOOP | SND_NODEFAULT)) {
    ::sndPlaySoundA(nullptr, 0);
    delete copy;
    return false;
  }
  playing = copy;
  return true;
}

void StopLoopingSound() {
  if (playing == nullptr) return;
  // Without SND_ASYNC the call returns once the sound has stopped and its copy is let go.
  ::sndPlaySoundA(nullptr, 0);
  delete playing;
  playing = nullptr;
}

void Beep() { ::MessageBeep(0); }

}  // namespace platform
