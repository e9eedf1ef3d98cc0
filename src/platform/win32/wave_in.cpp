// The wave-input device: Windows' default recording device (WAVE_MAPPER) through waveIn...,
// reporting to the device window. Windows fills the added buffers in order once started; each
// buffer it has filled, or returned through waveInStop or waveInReset, is handed back to the
// program with its recorded count, its done flag and a WaveInData event (see wave_headers.h).
// Windows' result codes are the program's, unchanged.

#include <algorithm>

#include "platform/wave.h"
#include "platform/win32/wave_headers.h"
#include "platform/win32/win32_internal.h"

namespace platform::win32 {
namespace {

struct InputApi {
  using Handle = HWAVEIN;
  static MMRESULT Prepare(Handle device, WAVEHDR* native) {
    return ::waveInPrepareHeader(device, native, sizeof(WAVEHDR));
  }
  static MMRESULT Unprepare(Handle device, WAVEHDR* native) {
    return ::waveInUnprepareHeader(device, native, sizeof(WAVEHDR));
  }
  static MMRESULT Queue(Handle device, WAVEHDR* native) {
    return ::waveInAddBuffer(device, native, sizeof(WAVEHDR));
  }
  static MMRESULT Close(Handle device) { return ::waveInClose(device); }
  static void HandBack(WaveHeader& header, const WAVEHDR& native) {
    // The count before the release store of the flag: a program that sees the flag sees both.
    const DWORD recorded = std::min<DWORD>(native.dwBytesRecorded, native.dwBufferLength);
    header.bytesRecorded.store(static_cast<int>(recorded), std::memory_order_relaxed);
    const std::uint32_t flags = header.flags.load(std::memory_order_relaxed);
    header.flags.store((flags & ~kWaveHeaderInQueue) | kWaveHeaderDone, std::memory_order_release);
    QueueEvent(Event{.kind = EventKind::WaveInData});
  }
};

// Never destroyed, like the output device: Windows may still fill buffers at the end.
WaveDevice<InputApi>& Input() {
  static auto* device = new WaveDevice<InputApi>;
  return *device;
}

}  // namespace

void SweepWaveInput() { Input().Sweep(); }

}  // namespace platform::win32

namespace platform {

using win32::Input;

int WaveInOpen(const WaveFormat& format) {
  if (!win32::ContractWaveFormat(format)) return kWaveBadFormat;
  if (Input().IsOpen()) return kMmAllocated;
  const HWND window = win32::DeviceWindow();
  if (window == nullptr) return kMmError;
  const WAVEFORMATEX native = win32::NativeWaveFormat(format);
  HWAVEIN device = nullptr;
  const MMRESULT result =
      ::waveInOpen(&device, WAVE_MAPPER, &native, reinterpret_cast<DWORD_PTR>(window), 0, CALLBACK_WINDOW);
  if (result != MMSYSERR_NOERROR) return static_cast<int>(result);
  Input().Opened(device);
  return kMmNoError;
}

int WaveInPrepareHeader(WaveHeader& header) { return Input().Prepare(header); }

int WaveInAddBuffer(WaveHeader& header) { return Input().Queue(header); }

int WaveInUnprepareHeader(WaveHeader& header) { return Input().Unprepare(header); }

int WaveInStart() {
  if (!Input().IsOpen()) return kMmInvalidHandle;
  return static_cast<int>(::waveInStart(Input().NativeHandle()));
}

// Windows returns the buffer being filled, with what it holds; the empty ones stay queued.
int WaveInStop() {
  if (!Input().IsOpen()) return kMmInvalidHandle;
  const MMRESULT result = ::waveInStop(Input().NativeHandle());
  Input().Sweep();
  return static_cast<int>(result);
}

int WaveInReset() {
  if (!Input().IsOpen()) return kMmInvalidHandle;
  const MMRESULT result = ::waveInReset(Input().NativeHandle());
  Input().Sweep();
  return static_cast<int>(result);
}

int WaveInClose() { return Input().Close(); }

bool WaveInIsOpen() { return Input().IsOpen(); }

}  // namespace platform
