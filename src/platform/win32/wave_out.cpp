// The wave-output device: Windows' default output (WAVE_MAPPER) through waveOut..., reporting
// to the device window. Windows plays the written blocks in order; each one it has played or
// returned through waveOutReset is handed back to the program with a WaveOutDone event (see
// wave_headers.h). Windows' result codes are the program's, unchanged.

#include "platform/wave.h"
#include "platform/win32/wave_headers.h"
#include "platform/win32/win32_internal.h"

namespace platform::win32 {
namespace {

struct OutputApi {
  using Handle = HWAVEOUT;
  static MMRESULT Prepare(Handle device, WAVEHDR* native) {
    return ::waveOutPrepareHeader(device, native, sizeof(WAVEHDR));
  }
  static MMRESULT Unprepare(Handle device, WAVEHDR* native) {
    return ::waveOutUnprepareHeader(device, native, sizeof(WAVEHDR));
  }
  static MMRESULT Queue(Handle device, WAVEHDR* native) {
    return ::waveOutWrite(device, native, sizeof(WAVEHDR));
  }
  static MMRESULT Close(Handle device) { return ::waveOutClose(device); }
  static void HandBack(WaveHeader& header, const WAVEHDR&) {
    const int slot = header.user;  // read before the header goes back to the program
    const std::uint32_t flags = header.flags.load(std::memory_order_relaxed);
    header.flags.store((flags & ~kWaveHeaderInQueue) | kWaveHeaderDone, std::memory_order_release);
    QueueEvent(Event{.kind = EventKind::WaveOutDone, .slot = slot});
  }
};

// Never destroyed: Windows may still be playing the program's blocks when the program ends,
// and the WAVEHDRs it holds must outlive it.
WaveDevice<OutputApi>& Output() {
  static auto* device = new WaveDevice<OutputApi>;
  return *device;
}

}  // namespace

void SweepWaveOutput() { Output().Sweep(); }

bool HandleDeviceMessage(UINT message, WPARAM, LPARAM) {
  switch (message) {
    case MM_WOM_DONE:
      SweepWaveOutput();
      return true;
    case MM_WIM_DATA:
      SweepWaveInput();
      return true;
    case MM_WOM_OPEN:
    case MM_WOM_CLOSE:
    case MM_WIM_OPEN:
    case MM_WIM_CLOSE:
      return true;
    default:
      return false;
  }
}

}  // namespace platform::win32

namespace platform {

using win32::Output;

int WaveOutOpen(const WaveFormat& format) {
  if (!win32::ContractWaveFormat(format)) return kWaveBadFormat;
  if (Output().IsOpen()) return kMmAllocated;
  const HWND window = win32::DeviceWindow();
  // Without a window the device's notices would reach nobody and no block would come back.
  if (window == nullptr) return kMmError;
  const WAVEFORMATEX native = win32::NativeWaveFormat(format);
  HWAVEOUT device = nullptr;
  const MMRESULT result = ::waveOutOpen(&device, WAVE_MAPPER, &native, reinterpret_cast<DWORD_PTR>(window),
                                        0, CALLBACK_WINDOW | WAVE_ALLOWSYNC);
  if (result != MMSYSERR_NOERROR) return static_cast<int>(result);
  Output().Opened(device);
  return kMmNoError;
}

int WaveOutPrepareHeader(WaveHeader& header) { return Output().Prepare(header); }

int WaveOutWrite(WaveHeader& header) { return Output().Queue(header); }

int WaveOutUnprepareHeader(WaveHeader& header) { return Output().Unprepare(header); }

int WaveOutReset() {
  if (!Output().IsOpen()) return kMmInvalidHandle;
  const MMRESULT result = ::waveOutReset(Output().NativeHandle());
  // Windows has marked every queued block done by now; they come back at once, in order.
  Output().Sweep();
  return static_cast<int>(result);
}

int WaveOutClose() { return Output().Close(); }

bool WaveOutIsOpen() { return Output().IsOpen(); }

}  // namespace platform
