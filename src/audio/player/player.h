#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The wave player: the program's only sound output. Plays RIFF/WAVE files and in-memory wave
// images through the wave-output device in up to four queued blocks; a waiting key silences
// it at once (and stays queued for the caller).
namespace audio {

// Module start and end: the four block slots and the read buffer are allocated once here;
// playing allocates nothing. PlayerStop closes a device still open and frees them.
void PlayerStart();
void PlayerStop();

// 0 when played, stopped by a key, or skipped because a key was waiting; -1 when the file
// cannot be opened or read as RIFF/WAVE (a "fmt " body under 16 bytes included) or its data is
// cut short (what is there is played first); a multimedia result code when the device refuses
// the format, kWaveBadFormat for a format no device plays. Waits for the end unless no-wait is on.
int WavPlayFile(const std::string& path);
// Plays an in-memory RIFF/WAVE image of `size` bytes without waiting. Only what lies inside
// the image and its RIFF length is played; an image without "data", with a short "fmt " body or
// a format no device plays, plays nothing. With speech cut on, mono samples are shortened in
// place.
void WavPlayBuffer(std::uint8_t* image, std::size_t size);
// 0, or the device-open result code. A format no device plays (a rate, once fast playback
// has raised it, outside 1 to 2 147 483 647; channels other than 1 or 2; bits other than 8 or
// 16) is refused with kWaveBadFormat without touching the device. With speech cut on, mono samples are shortened
// in place.
int WavPlayData(std::uint8_t* data, int length, int rate, int channels, int bits);
// True while sound is still queued; handles pending window messages first.
bool WavBusy();
// How many blocks of kBlockBytes WavPlayData takes now without waiting for the device.
std::size_t WavFreeBlocks();
// Called on the program's thread each time the device has handed a block back (null: none).
void SetBlockDoneListener(void (*listener)());
// Silences at once and closes the device.
void WavStop();

void SetKeyInterrupt(bool on);
void SetNoWait(bool on);
void SetFastPlayback(bool on);
void SetSpeechCut(bool on);
bool KeyInterrupt();
bool NoWait();
bool FastPlayback();
bool SpeechCut();
// The rate a buffer of `rate` samples a second plays at with fast playback: raised by half.
constexpr std::int64_t FastPlaybackRate(std::int64_t rate) { return rate * 3 / 2; }

}  // namespace audio
