#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// Plays an in-memory wave image (canonical 44-byte RIFF/WAVE header, PCM) over and over until
// StopLoopingSound or the next call (sndPlaySound with SND_ASYNC | SND_MEMORY | SND_LOOP).
// The backend copies what it needs; the caller may free the image afterwards. False when the
// image is not a playable wave or no device is available.
bool PlayLoopingSound(const std::uint8_t* image, std::size_t size);
void StopLoopingSound();

// The system's default beep (MessageBeep(0)).
void Beep();

}  // namespace platform
