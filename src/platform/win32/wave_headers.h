#pragma once

// What the wave-output and wave-input devices of the win32 backend share: one open device of
// the Windows multimedia API, and the WAVEHDR kept for each of the program's WaveHeaders.
//
// The program's WaveHeader is its own struct (platform/wave.h), not a WAVEHDR, so every header
// the program prepares gets a WAVEHDR of ours that describes the same bytes; Windows reads and
// fills the program's data through it. Each WAVEHDR lives at one address from prepare to
// unprepare (or the device's close), while Windows may hold it.
//
// The device reports to a window (CALLBACK_WINDOW, win32::DeviceWindow()), so its notices are
// handled on the program's thread. Windows marks a WAVEHDR done (WHDR_DONE) on its own thread
// before it posts the notice; a sweep, run for every notice and at reset, stop, unprepare and
// close, hands each queued header that Windows has marked done back to the program, in the
// order they were queued: its recorded count, then its done flag with release semantics, then
// its event. A notice that arrives for a header that was already handed back (the sweep of a
// reset got there first) or that no longer exists finds nothing done in the queue and does
// nothing; the notice's WAVEHDR pointer is never followed.

#include <algorithm>
#include <atomic>
#include <deque>
#include <map>
#include <memory>

#include "platform/wave.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {

// Api: the handle type and the calls of one direction, as static members:
//   using Handle = HWAVEOUT;
//   static MMRESULT Prepare(Handle, WAVEHDR*), Unprepare(Handle, WAVEHDR*),
//                   Queue(Handle, WAVEHDR*), Close(Handle);
//   static void HandBack(WaveHeader& header, const WAVEHDR& native);  // count, flag, event
template <typename Api>
class WaveDevice {
 public:
  using Handle = typename Api::Handle;

  bool IsOpen() const { return handle_ != nullptr; }
  Handle NativeHandle() const { return handle_; }
  // A device opened by the caller; the device must not be open already.
  void Opened(Handle handle) { handle_ = handle; }

  int Prepare(WaveHeader& header) {
    if (!IsOpen()) return kMmInvalidHandle;
    if (!Describable(header)) return kMmInvalidParameter;
    auto found = entries_.find(&header);
    if (found != entries_.end()) {
      Entry& entry = *found->second;
      if (entry.queued) return kWaveStillPlaying;
      const int result = SameBytes(entry, header) ? kMmNoError : Describe(entry, header);
      if (result != kMmNoError) {
        entries_.erase(found);
        header.flags.fetch_and(~kWaveHeaderPrepared, std::memory_order_relaxed);
        return result;
      }
    } else {
      auto entry = std::make_unique<Entry>();
      entry->owner = &header;
      SetBytes(entry->native, header);
      const int result = static_cast<int>(Api::Prepare(handle_, &entry->native));
      if (result != kMmNoError) return result;
      entries_.emplace(&header, std::move(entry));
    }
    header.flags.fetch_or(kWaveHeaderPrepared, std::memory_order_relaxed);
    return kMmNoError;
  }

  // waveOutWrite / waveInAddBuffer.
  int Queue(WaveHeader& header) {
    if (!IsOpen()) return kMmInvalidHandle;
    const std::uint32_t flags = header.flags.load(std::memory_order_acquire);
    auto found = entries_.find(&header);
    if (found == entries_.end() || (flags & kWaveHeaderPrepared) == 0) return kWaveUnprepared;
    Entry& entry = *found->second;
    if (entry.queued || (flags & kWaveHeaderInQueue) != 0) return kWaveStillPlaying;
    if (!Describable(header)) return kMmInvalidParameter;
    // The program may have pointed the header at other bytes since it prepared it.
    if (!SameBytes(entry, header)) {
      const int result = Describe(entry, header);
      if (result != kMmNoError) {
        entries_.erase(found);
        header.flags.fetch_and(~kWaveHeaderPrepared, std::memory_order_relaxed);
        return result;
      }
    }
    header.bytesRecorded.store(0, std::memory_order_relaxed);
    header.flags.store((flags & ~kWaveHeaderDone) | kWaveHeaderInQueue, std::memory_order_relaxed);
    entry.native.dwBytesRecorded = 0;
    const int result = static_cast<int>(Api::Queue(handle_, &entry.native));
    if (result != kMmNoError) {
      header.flags.store(flags, std::memory_order_relaxed);
      return result;
    }
    entry.queued = true;
    queue_.push_back(&entry);
    return kMmNoError;
  }

  int Unprepare(WaveHeader& header) {
    auto found = entries_.find(&header);
    if (found == entries_.end()) {
      // Not prepared with this device (or the device was closed since): nothing to let go.
      header.flags.fetch_and(~kWaveHeaderPrepared, std::memory_order_relaxed);
      return kMmNoError;
    }
    Entry& entry = *found->second;
    if (entry.queued) Sweep();
    if (entry.queued) return kWaveStillPlaying;
    const int result = static_cast<int>(Api::Unprepare(handle_, &entry.native));
    if (result != kMmNoError) return result;
    entries_.erase(found);
    header.flags.fetch_and(~kWaveHeaderPrepared, std::memory_order_relaxed);
    return kMmNoError;
  }

  // Hands back, in queue order, every queued header that Windows has marked done.
  void Sweep() {
    for (auto at = queue_.begin(); at != queue_.end();) {
      Entry& entry = **at;
      if ((NativeFlags(entry.native) & WHDR_DONE) == 0) {
        ++at;
        continue;
      }
      std::atomic_thread_fence(std::memory_order_acquire);
      at = queue_.erase(at);
      entry.queued = false;
      Api::HandBack(*entry.owner, entry.native);
    }
  }

  bool AnyQueued() const { return !queue_.empty(); }

  // waveOutClose / waveInClose: refused while headers are queued, as Windows does; the
  // WAVEHDRs still prepared are unprepared first, so Windows holds none of them afterwards.
  int Close() {
    if (!IsOpen()) return kMmInvalidHandle;
    Sweep();
    if (AnyQueued()) return kWaveStillPlaying;
    for (auto& [owner, entry] : entries_) Api::Unprepare(handle_, &entry->native);
    const int result = static_cast<int>(Api::Close(handle_));
    if (result != kMmNoError) {
      for (auto& [owner, entry] : entries_) Api::Prepare(handle_, &entry->native);
      return result;
    }
    // The program's headers stay marked prepared until it unprepares them; that then answers
    // kMmNoError without a device.
    entries_.clear();
    handle_ = nullptr;
    return kMmNoError;
  }

 private:
  struct Entry {
    WAVEHDR native{};
    WaveHeader* owner = nullptr;
    bool queued = false;
  };

  static bool Describable(const WaveHeader& header) {
    return header.length >= 0 && (header.data != nullptr || header.length == 0);
  }

  static void SetBytes(WAVEHDR& native, const WaveHeader& header) {
    native = WAVEHDR{};
    native.lpData = reinterpret_cast<LPSTR>(header.data);
    native.dwBufferLength = static_cast<DWORD>(header.length);
  }

  static bool SameBytes(const Entry& entry, const WaveHeader& header) {
    return entry.native.lpData == reinterpret_cast<LPSTR>(header.data) &&
           entry.native.dwBufferLength == static_cast<DWORD>(header.length);
  }

  // Points an entry that Windows does not hold queued at the header's bytes, prepared afresh.
  int Describe(Entry& entry, const WaveHeader& header) {
    Api::Unprepare(handle_, &entry.native);
    SetBytes(entry.native, header);
    return static_cast<int>(Api::Prepare(handle_, &entry.native));
  }

  // Windows writes the flags on its own thread.
  static DWORD NativeFlags(const WAVEHDR& native) {
    return *static_cast<const volatile DWORD*>(&native.dwFlags);
  }

  Handle handle_ = nullptr;
  std::map<const WaveHeader*, std::unique_ptr<Entry>> entries_;
  std::deque<Entry*> queue_;  // queued, in the order they were queued
};

}  // namespace platform::win32

namespace platform::win32 {

// Hands back what each device has finished (wave_out.cpp, wave_in.cpp); program thread.
void SweepWaveOutput();
void SweepWaveInput();

// The WAVEFORMATEX of a format: PCM, block alignment and byte rate from the others.
inline WAVEFORMATEX NativeWaveFormat(const WaveFormat& format) {
  WAVEFORMATEX native{};
  native.wFormatTag = WAVE_FORMAT_PCM;
  native.nChannels = static_cast<WORD>(format.channels);
  native.nSamplesPerSec = static_cast<DWORD>(format.rate);
  native.wBitsPerSample = static_cast<WORD>(format.bits);
  native.nBlockAlign = static_cast<WORD>(format.channels * (format.bits / 8));
  native.nAvgBytesPerSec = native.nBlockAlign * native.nSamplesPerSec;
  native.cbSize = 0;
  return native;
}

// The formats of the contract (8 or 16 bits, 1 or 2 channels, a positive rate); Windows
// itself judges whether its device takes one.
inline bool ContractWaveFormat(const WaveFormat& format) {
  return (format.bits == 8 || format.bits == 16) && (format.channels == 1 || format.channels == 2) &&
         format.rate > 0;
}

}  // namespace platform::win32
