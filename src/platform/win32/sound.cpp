// Tones and the beep: Windows' own sndPlaySoundA on a copy of the wave image, and MessageBeep.

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/sound.h"
#include "platform/win32/windows_api.h"

namespace platform {
namespace {

// The copy Windows plays from while the tone sounds. Held through a pointer that nothing
// frees at the end of the program, since the sound may still be playing from it then.
std::vector<std::uint8_t>* playing = nullptr;

std::uint32_t Read32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t{p[3]} << 24);
}
std::uint16_t Read16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

// A RIFF/WAVE image of PCM samples (8 or 16 bits, one or two channels) with samples in its
// "data" chunk: what sndPlaySoundA can play. Windows answers true for any image it is handed
// to play asynchronously, so the image is judged here. `dataAt` is where the "data" chunk
// starts and `dataSize` how many of its bytes the image holds.
bool PlayableWave(const std::uint8_t* image, std::size_t size, std::size_t& dataAt,
                  std::uint32_t& dataSize) {
  if (image == nullptr || size < 12 || std::memcmp(image, "RIFF", 4) != 0 ||
      std::memcmp(image + 8, "WAVE", 4) != 0) {
    return false;
  }
  bool haveFormat = false;
  std::size_t at = 12;
  while (size - at >= 8) {
    const std::uint8_t* chunk = image + at;
    const std::size_t chunkSize = Read32(chunk + 4);
    const std::size_t available = size - at - 8;
    const std::uint8_t* body = chunk + 8;
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      if (chunkSize < 16 || available < 16 || Read16(body) != WAVE_FORMAT_PCM) return false;
      const int channels = Read16(body + 2);
      const int bits = Read16(body + 14);
      if ((channels != 1 && channels != 2) || Read32(body + 4) == 0 || (bits != 8 && bits != 16)) {
        return false;
      }
      haveFormat = true;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      dataAt = at;
      dataSize = static_cast<std::uint32_t>(std::min(chunkSize, available));
      return haveFormat && dataSize > 0;
    }
    if (chunkSize > available) return false;
    at += 8 + chunkSize + (chunkSize & 1);
    if (at > size) return false;
  }
  return false;
}

}  // namespace

bool PlayLoopingSound(const std::uint8_t* image, std::size_t size) {
  StopLoopingSound();
  std::size_t dataAt = 0;
  std::uint32_t dataSize = 0;
  if (!PlayableWave(image, size, dataAt, dataSize) || ::waveOutGetNumDevs() == 0) return false;
  auto* copy = new std::vector<std::uint8_t>(image, image + size);
  // Windows reads as many samples as the chunk says: never more than the copy holds.
  for (int k = 0; k < 4; ++k) (*copy)[dataAt + 4 + k] = static_cast<std::uint8_t>(dataSize >> (8 * k));
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
