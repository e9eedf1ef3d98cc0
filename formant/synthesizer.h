// Turns a queue of phones into samples: pitch curve, parameter tracks across phone edges,
// stop and tap structure, and output as soon as each sample is fully determined.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "klatt.h"
#include "pho_reader.h"
#include "voice.h"

namespace formant {

constexpr size_t kMaxQueuedItems = 4096;
constexpr size_t kMaxQueuedPitchPoints = 65536;

class Synthesizer {
 public:
  void Configure(const Voice* voice, int outputRate);
  // Forgets all input and output and returns every filter to rest.
  void Reset();
  bool HasRoomFor(size_t items) const {
    return queue_.size() + items <= kMaxQueuedItems && queuedPoints_ < kMaxQueuedPitchPoints;
  }
  // phoneme < 0 is silence standing in for an unknown phoneme. Durations are in output time
  // (after the time ratio), pitch already scaled by the frequency ratio.
  void AddPhone(int phoneme, float durationMs, std::vector<PitchPoint> points, float pitchRatio);
  void AddFlush();
  void AddError(int code);
  // Stores up to wanted samples; returns their count, 0 when none is ready (more input
  // needed, or the end of an utterance was reached), or a negative error code.
  int Read(int16_t* buffer, int wanted, float volume);

 private:
  struct TimedPoint {
    double ms;
    float hz;
  };
  struct Item {
    enum Kind { kPhone, kFlush, kError } kind = kPhone;
    int phoneme = -1;
    double startMs = 0;
    double durationMs = 0;
    std::vector<TimedPoint> points;
    float pitchRatio = 1;
    int error = 0;
  };
  struct Context {
    Params previous{}, current{}, next{};
    bool hasPrevious = false, hasNext = false;
    PhoneClass phoneClass = PhoneClass::kSilence;
    const Phoneme* phoneme = nullptr;
    double durationMs = 0;
    int64_t firstSample = 0, endSample = 0;
    std::optional<TimedPoint> nextPoint;
  };

  bool StartFront();
  bool PlanFadeOut(const Context& context, bool forced);
  double FadeGain(int64_t sample) const;
  Params Resolved(int phoneme, const Item* neighbour, const Params* fallback) const;
  Params ParamsAt(double msInPhone) const;
  float PitchAt(double utteranceMs) const;
  void RenderPiece();
  void EndUtterance();

  const Voice* voice_ = nullptr;
  int outputRate_ = 16000;
  Klatt klatt_;
  std::deque<Item> queue_;
  size_t queuedPoints_ = 0;
  double writeMs_ = 0;  // where the next phone starts in the utterance being written
  bool started_ = false;
  Context context_;
  const Item* front_ = nullptr;
  int64_t cursor_ = 0;  // next sample of the utterance being read
  std::optional<TimedPoint> lastPoint_;
  Params previousResolved_{};
  bool hasPreviousPhone_ = false;
  bool silent_ = true;
  // A sound dies away over the samples [fadeStart_, fadeEnd_) before the silence at fadeEnd_
  // (fadeEnd_ < 0: no fade planned).
  int64_t fadeStart_ = 0, fadeEnd_ = -1;
  // queue_[1, scanned_) are known to be sounding phones, ending at scannedEnd_.
  size_t scanned_ = 0;
  int64_t scannedEnd_ = 0;
  int16_t pending_[64] = {};
  int pendingCount_ = 0, pendingPosition_ = 0;
  float volume_ = 1;
};

}  // namespace formant
