#include "synthesizer.h"

#include <algorithm>
#include <cmath>

namespace formant {
namespace {

constexpr double kFormantTransitionMs = 35;
constexpr double kAmplitudeTransitionMs = 8;
constexpr double kBurstMs = 5;
// A sound dies away over its last milliseconds before a silence: the resonators still ring and
// voicing only changes at a period start, so the parameter tracks alone would end on a step.
constexpr double kFadeOutMs = 12;
constexpr double kPi = 3.14159265358979323846;
constexpr int kPieceSamples = 32;
constexpr float kLowestPitch = 30;
constexpr float kHighestPitch = 1000;

bool Transparent(PhoneClass phoneClass) {
  return phoneClass == PhoneClass::kSilence || phoneClass == PhoneClass::kAspirate;
}

bool HasClosure(PhoneClass phoneClass) {
  return phoneClass == PhoneClass::kStop || phoneClass == PhoneClass::kAffricate;
}

float Ramp(float from, float to, double position, double length) {
  if (length <= 0) return to;
  return static_cast<float>(from + (to - from) * std::clamp(position / length, 0.0, 1.0));
}

}  // namespace

void Synthesizer::Configure(const Voice* voice, int outputRate) {
  voice_ = voice;
  outputRate_ = outputRate;
  Reset();
}

void Synthesizer::Reset() {
  queue_.clear();
  queuedPoints_ = 0;
  writeMs_ = 0;
  started_ = false;
  front_ = nullptr;
  pendingCount_ = pendingPosition_ = 0;
  EndUtterance();
}

void Synthesizer::EndUtterance() {
  cursor_ = 0;
  lastPoint_.reset();
  hasPreviousPhone_ = false;
  silent_ = true;
  fadeEnd_ = -1;
  scanned_ = 0;
  if (voice_ != nullptr) klatt_.Configure(*voice_, outputRate_);
}

void Synthesizer::AddPhone(int phoneme, float durationMs, std::vector<PitchPoint> points,
                           float pitchRatio) {
  Item item;
  item.phoneme = phoneme;
  item.startMs = writeMs_;
  item.durationMs = durationMs;
  item.pitchRatio = pitchRatio;
  std::stable_sort(points.begin(), points.end(),
                   [](const PitchPoint& a, const PitchPoint& b) { return a.percent < b.percent; });
  for (const PitchPoint& point : points) {
    item.points.push_back({writeMs_ + durationMs * point.percent / 100.0,
                           std::clamp(point.hz * pitchRatio, kLowestPitch, kHighestPitch)});
  }
  writeMs_ += durationMs;
  queuedPoints_ += item.points.size();
  queue_.push_back(std::move(item));
}

void Synthesizer::AddFlush() {
  Item item;
  item.kind = Item::kFlush;
  queue_.push_back(item);
  writeMs_ = 0;
}

void Synthesizer::AddError(int code) {
  Item item;
  item.kind = Item::kError;
  item.error = code;
  queue_.push_back(item);
}

Params Synthesizer::Resolved(int phoneme, const Item* neighbour, const Params* fallback) const {
  const int index = phoneme < 0 ? voice_->silence : phoneme;
  const Phoneme& own = voice_->phonemes[index];
  Params result = own.targets;
  if (!Transparent(own.phoneClass)) return result;
  // Silence and aspiration take the mouth shape of their neighbours.
  const Params* shape = fallback;
  Params neighbourTargets;
  if (neighbour != nullptr && neighbour->kind == Item::kPhone) {
    const int other = neighbour->phoneme < 0 ? voice_->silence : neighbour->phoneme;
    if (!Transparent(voice_->phonemes[other].phoneClass)) {
      neighbourTargets = voice_->phonemes[other].targets;
      shape = &neighbourTargets;
    }
  }
  if (shape != nullptr) {
    for (int p = 0; p < kFirstAmplitude; ++p) result[p] = (*shape)[p];
  }
  return result;
}

// A phone can be synthesized once its successor is known (for the transition into it) and
// its pitch is settled: it has points, or a later phone has, or the utterance has ended.
// A full queue forces the front phone out with the pitch known so far.
bool Synthesizer::StartFront() {
  const Item& item = queue_.front();
  const bool forced = !HasRoomFor(2);  // as full as a writer can make it
  if (queue_.size() < 2 && !forced) return false;
  std::optional<TimedPoint> nextPoint;
  if (item.points.empty()) {
    bool settled = forced;
    for (size_t i = 1; i < queue_.size(); ++i) {
      if (queue_[i].kind != Item::kPhone) {
        settled = true;
        break;
      }
      if (!queue_[i].points.empty()) {
        nextPoint = queue_[i].points.front();
        settled = true;
        break;
      }
    }
    if (!settled) return false;
  }
  const Item* next = queue_.size() >= 2 && queue_[1].kind == Item::kPhone ? &queue_[1] : nullptr;
  Context context;
  const int index = item.phoneme < 0 ? voice_->silence : item.phoneme;
  context.phoneme = &voice_->phonemes[index];
  context.phoneClass = context.phoneme->phoneClass;
  context.hasPrevious = hasPreviousPhone_;
  context.previous = previousResolved_;
  context.current = Resolved(item.phoneme, next, hasPreviousPhone_ ? &previousResolved_ : nullptr);
  if (next != nullptr) {
    context.hasNext = true;
    context.next = Resolved(next->phoneme, nullptr, &context.current);
  }
  context.durationMs = item.durationMs;
  const double samplesPerMs = outputRate_ / 1000.0;
  context.firstSample = std::llround(item.startMs * samplesPerMs);
  context.endSample = std::llround((item.startMs + item.durationMs) * samplesPerMs);
  context.nextPoint = nextPoint;
  if (!PlanFadeOut(context, forced)) return false;
  cursor_ = context.firstSample;
  context_ = context;
  front_ = &item;
  started_ = true;
  return true;
}

// A sounding phone fades out when a silence (a silent phone, the end of the utterance or an
// error) starts less than kFadeOutMs after its end. The fade may have begun in an earlier
// phone, but never begins before the current phone: a sound shorter than the fade fades over
// its whole length. Returns false while the queue does not yet show whether a silence follows.
bool Synthesizer::PlanFadeOut(const Context& context, bool forced) {
  // Silence is zeros, nothing to fade; a fade planned in an earlier phone goes on.
  if (context.phoneClass == PhoneClass::kSilence || fadeEnd_ > context.firstSample) return true;
  fadeEnd_ = -1;
  const double samplesPerMs = outputRate_ / 1000.0;
  const int64_t length = std::llround(kFadeOutMs * samplesPerMs);
  const int64_t reach = context.endSample + length;
  // Goes on where the last look stopped, so that many tiny phones cost no more than few.
  size_t i = scanned_ > 1 ? scanned_ : 1;
  int64_t end = scanned_ > 1 ? scannedEnd_ : context.endSample;  // of the last phone looked at
  int64_t silence = -1;
  for (; i < queue_.size() && end < reach; ++i) {
    const Item& item = queue_[i];
    if (item.kind != Item::kPhone) {
      silence = end;
      break;
    }
    const int64_t start = std::llround(item.startMs * samplesPerMs);
    const int64_t itemEnd = std::llround((item.startMs + item.durationMs) * samplesPerMs);
    const int index = item.phoneme < 0 ? voice_->silence : item.phoneme;
    // A silence too short to hold a sample leaves the sound going on.
    if (voice_->phonemes[index].phoneClass == PhoneClass::kSilence && itemEnd > start) {
      silence = start;
      break;
    }
    end = itemEnd;
  }
  scanned_ = i;
  scannedEnd_ = end;
  if (silence < 0) return end >= reach || forced;  // no silence within reach (or cannot know)
  if (silence >= reach) return true;
  fadeEnd_ = silence;
  fadeStart_ = std::max(silence - length, context.firstSample);
  return true;
}

double Synthesizer::FadeGain(int64_t sample) const {
  if (fadeEnd_ < 0 || sample < fadeStart_) return 1;
  if (sample >= fadeEnd_) return 0;
  // Raised cosine: flat where it begins (no kink at the fade's start), near zero at the end.
  const double s = std::sin(kPi / 2 * (static_cast<double>(fadeEnd_ - sample) - 0.5) /
                            static_cast<double>(fadeEnd_ - fadeStart_));
  return s * s;
}

Params Synthesizer::ParamsAt(double ms) const {
  const Context& c = context_;
  const double duration = c.durationMs;
  Params result = c.current;
  const double formantEdge = std::min(kFormantTransitionMs, duration / 2);
  const double amplitudeEdge = std::min(kAmplitudeTransitionMs, duration / 2);
  for (int p = 0; p < kParamCount; ++p) {
    const bool amplitude = p >= kFirstAmplitude;
    const double edge = amplitude ? amplitudeEdge : formantEdge;
    const float target = c.current[p];
    if (c.hasPrevious && ms < edge) {
      const float boundary =
          amplitude ? std::min(c.previous[p], target) : (c.previous[p] + target) / 2;
      result[p] = Ramp(boundary, target, ms, edge);
    } else if (c.hasNext && ms > duration - edge) {
      const float boundary = amplitude ? std::min(c.next[p], target) : (c.next[p] + target) / 2;
      result[p] = Ramp(target, boundary, ms - (duration - edge), edge);
    } else if (amplitude && (ms < edge || ms > duration - edge)) {
      // Utterance edges: fade in and out.
      const double distance = std::min(ms, duration - ms);
      result[p] = Ramp(0, target, distance, edge);
    }
  }
  if (HasClosure(c.phoneClass)) {
    const Phoneme& phoneme = *c.phoneme;
    const double release = std::min<double>(phoneme.releaseMs, duration * 0.6);
    const double closureEnd = duration - release;
    const bool voiced = c.current[kVoicing] > 0;
    result[kAspiration] = 0;
    result[kFrication] = 0;
    result[kVoicing] = voiced ? c.current[kVoicing] : 0;
    if (ms >= closureEnd && ms < closureEnd + kBurstMs) {
      result[kFrication] = phoneme.burstDb;
    } else if (ms >= closureEnd + kBurstMs) {
      if (c.phoneClass == PhoneClass::kAffricate) {
        result[kFrication] = c.current[kFrication];
      } else {
        result[kAspiration] = c.current[kAspiration];
      }
    }
  } else if (c.phoneClass == PhoneClass::kTap) {
    // A brief closure: the voicing dips in the middle of the tap.
    const double middle = std::fabs(ms / duration - 0.5) * 2;  // 0 at the centre, 1 at edges
    result[kVoicing] -= static_cast<float>(18 * std::max(0.0, 1 - middle * 1.6));
  }
  return result;
}

float Synthesizer::PitchAt(double ms) const {
  const Item& item = *front_;
  float hz = 0;
  if (!item.points.empty()) {
    const auto& points = item.points;
    if (ms <= points.front().ms) {
      hz = points.front().hz;
    } else if (ms >= points.back().ms) {
      hz = points.back().hz;
    } else {
      size_t i = 1;
      while (points[i].ms < ms) ++i;
      const TimedPoint& a = points[i - 1];
      const TimedPoint& b = points[i];
      hz = b.ms > a.ms ? static_cast<float>(a.hz + (b.hz - a.hz) * (ms - a.ms) / (b.ms - a.ms))
                       : b.hz;
    }
  } else if (lastPoint_ && context_.nextPoint) {
    const TimedPoint& a = *lastPoint_;
    const TimedPoint& b = *context_.nextPoint;
    hz = b.ms > a.ms ? static_cast<float>(
                           a.hz + (b.hz - a.hz) * std::clamp((ms - a.ms) / (b.ms - a.ms), 0.0, 1.0))
                     : b.hz;
  } else if (lastPoint_) {
    hz = lastPoint_->hz;
  } else if (context_.nextPoint) {
    hz = context_.nextPoint->hz;
  } else {
    hz = voice_->defaultPitch * item.pitchRatio;
  }
  return std::clamp(hz, kLowestPitch, kHighestPitch);
}

void Synthesizer::RenderPiece() {
  const int64_t end = std::min<int64_t>(cursor_ + kPieceSamples, context_.endSample);
  const int count = static_cast<int>(end - cursor_);
  pendingPosition_ = 0;
  pendingCount_ = count;
  if (context_.phoneClass == PhoneClass::kSilence) {
    // Silence is exact zeros, and the next sound starts from rest.
    if (!silent_) klatt_.Clear();
    silent_ = true;
    std::fill(pending_, pending_ + count, 0);
  } else {
    silent_ = false;
    const double msPerSample = 1000.0 / outputRate_;
    const double fromMs = (cursor_ - context_.firstSample) * msPerSample;
    const double toMs = (end - context_.firstSample) * msPerSample;
    const double base = front_->startMs;
    float samples[kPieceSamples];
    klatt_.Render(ParamsAt(fromMs), ParamsAt(toMs), PitchAt(base + fromMs), PitchAt(base + toMs),
                  samples, count);
    const double scale = voice_->gain * volume_ * 32767.0;
    for (int i = 0; i < count; ++i) {
      const double faded = samples[i] * scale * FadeGain(cursor_ + i);
      const double value = std::clamp(faded, -32767.0, 32767.0);
      pending_[i] = static_cast<int16_t>(std::lround(value));
    }
  }
  cursor_ = end;
}

int Synthesizer::Read(int16_t* buffer, int wanted, float volume) {
  if (voice_ == nullptr) return 0;
  volume_ = volume;
  int produced = 0;
  while (produced < wanted) {
    if (pendingPosition_ < pendingCount_) {
      const int take = std::min(wanted - produced, pendingCount_ - pendingPosition_);
      std::copy(pending_ + pendingPosition_, pending_ + pendingPosition_ + take, buffer + produced);
      pendingPosition_ += take;
      produced += take;
      continue;
    }
    if (started_ && cursor_ >= context_.endSample) {
      // The phone is finished: it becomes the previous phone of the next one.
      if (!front_->points.empty()) lastPoint_ = front_->points.back();
      previousResolved_ = context_.current;
      hasPreviousPhone_ = true;
      started_ = false;
      front_ = nullptr;
      queuedPoints_ -= queue_.front().points.size();
      queue_.pop_front();
      if (scanned_ > 0) --scanned_;
      continue;
    }
    if (started_) {
      RenderPiece();
      continue;
    }
    if (queue_.empty()) break;
    const Item& item = queue_.front();
    if (item.kind == Item::kError) {
      if (produced > 0) break;
      return item.error;  // stays until reset
    }
    if (item.kind == Item::kFlush) {
      if (produced > 0) break;
      queue_.pop_front();
      EndUtterance();
      return 0;
    }
    if (!StartFront()) break;
  }
  return produced;
}

}  // namespace formant
