// Scripted faults of the simulated wave devices, and the format check both devices share.
#include "platform/sim/sim.h"
#include "platform/sim/sim_internal.h"
#include "platform/wave.h"

namespace sim {
namespace {

struct OpenFault {
  int code = platform::kMmNoError;
  bool always = false;

  int Take() {
    const int result = code;
    if (!always) code = platform::kMmNoError;
    return result;
  }
};

OpenFault outOpenFault;
OpenFault inOpenFault;
int outBusyAttempts = 0;
int outUnprepareCode = platform::kMmNoError;
int outUnprepareCount = 0;

}  // namespace

namespace detail {

int CheckWaveFormat(const platform::WaveFormat& format) {
  const bool valid = format.rate >= 1 && format.rate <= 200000 &&
                     (format.bits == 8 || format.bits == 16) &&
                     (format.channels == 1 || format.channels == 2);
  return valid ? platform::kMmNoError : platform::kWaveBadFormat;
}

int ScriptedWaveOutOpenResult() {
  if (outBusyAttempts > 0) {
    --outBusyAttempts;
    return platform::kMmAllocated;
  }
  return outOpenFault.Take();
}

int ScriptedWaveInOpenResult() { return inOpenFault.Take(); }

int ScriptedWaveOutUnprepareResult() {
  if (outUnprepareCount <= 0) return platform::kMmNoError;
  --outUnprepareCount;
  return outUnprepareCode;
}

void ResetWaveFaults() { ClearWaveFaults(); }

}  // namespace detail

void FailWaveOutOpen(int code, bool always) { outOpenFault = {code, always}; }

void MakeWaveOutBusy(int attempts) { outBusyAttempts = attempts; }

void FailWaveOutUnprepare(int code, int count) {
  outUnprepareCode = code;
  outUnprepareCount = count;
}

void FailWaveInOpen(int code, bool always) { inOpenFault = {code, always}; }

void ClearWaveFaults() {
  outOpenFault = {};
  inOpenFault = {};
  outBusyAttempts = 0;
  outUnprepareCode = platform::kMmNoError;
  outUnprepareCount = 0;
  detail::ClearWaveInLoss();
}

}  // namespace sim
