#pragma once

#include <atomic>
#include <cstdint>

// Wave output and input devices, in the Windows multimedia model: one default device each
// way, blocks described by headers that the program owns, and the Windows result numbers.
//
// Contract:
// - Output: a written block is played in order after the blocks written before it; when it
//   has been played (or returned by WaveOutReset) the device marks its header done and a
//   WaveOutDone event carrying the header's `user` value arrives on the event queue. The
//   device reads the block's bytes until then; the program must not touch them.
// - Input: added buffers are filled in the order they were added once the device is started;
//   a full buffer (or one returned by WaveInReset, possibly partly filled) gets its
//   bytesRecorded and then its done flag, stored with release semantics, and a WaveInData
//   event arrives to wake a waiting program. The program reads the flag with acquire
//   semantics and touches the buffer only after it is set.
// - The input device is a microphone: WaveInOpen answers kMmBadDeviceId when there is none,
//   also when the system's default recording source is a monitor of an output (a sound server
//   offers one even with nothing plugged in), so a measurement never records the computer's
//   own output. What a newly opened device needs to settle (a sound server's resampler
//   overshoots a signal that is already there for its first samples) is not recorded.
// - A lost device (unplugged, its sound server gone, or no longer moving samples for seconds):
//   output blocks, queued or written later, come back done at once without being heard; input
//   buffers queued come back done with what they hold, and WaveInAddBuffer and WaveInStart
//   answer kMmNoDriver until the device is closed. Nothing is recorded from then on.
// - A backend's own threads only move samples, set flags and push events.
namespace platform {

constexpr int kMmNoError = 0;
constexpr int kMmError = 1;
constexpr int kMmBadDeviceId = 2;
constexpr int kMmAllocated = 4;
constexpr int kMmInvalidHandle = 5;
constexpr int kMmNoDriver = 6;
constexpr int kMmNoMemory = 7;
constexpr int kMmInvalidParameter = 11;
constexpr int kWaveBadFormat = 32;
constexpr int kWaveStillPlaying = 33;
constexpr int kWaveUnprepared = 34;

constexpr std::uint32_t kWaveHeaderDone = 1;
constexpr std::uint32_t kWaveHeaderPrepared = 2;
constexpr std::uint32_t kWaveHeaderInQueue = 16;

struct WaveFormat {
  int rate = 0;      // samples per second
  int bits = 0;      // 8 (unsigned, silence 128) or 16 (signed little-endian)
  int channels = 0;  // 1 or 2
};

// WAVEHDR: owned by the program, shared with the device while prepared.
struct WaveHeader {
  std::uint8_t* data = nullptr;
  int length = 0;  // bytes in data
  int user = 0;    // the owner's tag; WaveOutDone events carry it
  std::atomic<int> bytesRecorded{0};
  std::atomic<std::uint32_t> flags{0};

  // Clears everything but leaves the header in place (the device may hold its address).
  void Clear() {
    data = nullptr;
    length = 0;
    user = 0;
    bytesRecorded.store(0, std::memory_order_relaxed);
    flags.store(0, std::memory_order_relaxed);
  }
};

// ---- output (waveOut...)
int WaveOutOpen(const WaveFormat& format);
int WaveOutPrepareHeader(WaveHeader& header);
int WaveOutWrite(WaveHeader& header);
int WaveOutUnprepareHeader(WaveHeader& header);  // kWaveStillPlaying while queued
int WaveOutReset();                               // every queued block comes back done
int WaveOutClose();                               // kWaveStillPlaying while blocks are queued
bool WaveOutIsOpen();

// ---- input (waveIn...)
int WaveInOpen(const WaveFormat& format);
int WaveInPrepareHeader(WaveHeader& header);
int WaveInAddBuffer(WaveHeader& header);
int WaveInUnprepareHeader(WaveHeader& header);
int WaveInStart();
int WaveInStop();
int WaveInReset();  // every queued buffer comes back done
int WaveInClose();
bool WaveInIsOpen();

}  // namespace platform
