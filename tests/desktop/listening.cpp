#include "desktop/listening.h"

#include <cstdlib>
#include <sstream>

#include "speech/frontend/numbers.h"

namespace desktop {
namespace {

constexpr int kPollMs = 30;
constexpr double kClickSeconds = 0.01;  // loud runs closer than this are one click

}  // namespace

Listener::Listener(const Recorder& speakers, const ToneVoice& voice)
    : speakers_(speakers), tracker_(voice.Frequencies()) {
  for (const ToneRecording& recording : voice.recordings) names_.push_back(recording.name);
}

const std::vector<Heard>& Listener::Update() {
  fresh_.clear();
  speakers_.CopyFrom(tracker_.SampleCount(), fresh_);
  if (fresh_.empty()) return heard_;
  tracker_.Add(fresh_.data(), fresh_.size());
  heard_.clear();
  for (const ToneSegment& segment : tracker_.Segments()) {
    heard_.push_back({segment.tone >= 0 ? names_[segment.tone] : kUnknownSound,
                      static_cast<double>(segment.start) / kSampleRate,
                      static_cast<double>(segment.length) / kSampleRate});
  }
  return heard_;
}

double Listener::QuietSeconds() const {
  const double recorded = static_cast<double>(tracker_.SampleCount()) / kSampleRate;
  return heard_.empty() ? recorded : recorded - heard_.back().start - heard_.back().seconds;
}

std::vector<double> Listener::Clicks(int deviation) const {
  std::vector<double> starts;
  const Samples& samples = tracker_.Recorded();
  bool inside = false;
  for (std::size_t k = 0; k < samples.size(); ++k) {
    const bool loud = std::abs(static_cast<int>(samples[k]) - 128) > deviation;
    const double at = static_cast<double>(k) / kSampleRate;
    if (loud && !inside && (starts.empty() || at - starts.back() > kClickSeconds)) starts.push_back(at);
    inside = loud;
  }
  return starts;
}

std::vector<std::string> NamesOf(const std::vector<Heard>& heard) {
  std::vector<std::string> names;
  for (const Heard& sound : heard) names.push_back(sound.name);
  return names;
}

std::vector<std::string> RecordingsOf(const std::vector<Heard>& heard) {
  std::vector<std::string> names;
  for (const Heard& sound : heard) {
    if (sound.name != kUnknownSound) names.push_back(sound.name);
  }
  return names;
}

std::string Names(const std::vector<Heard>& heard) {
  std::string text;
  for (const Heard& sound : heard) text += (text.empty() ? "" : " ") + sound.name;
  return text.empty() ? "(nothing)" : text;
}

bool WaitToHear(Listener& listener, const std::string& name, std::int64_t timeoutMs) {
  return WaitUntil(
      [&] {
        for (const Heard& sound : listener.Update()) {
          if (sound.name == name) return true;
        }
        return false;
      },
      timeoutMs, kPollMs);
}

bool WaitForPause(Listener& listener, const std::string& name, double quietSeconds, std::int64_t timeoutMs) {
  return WaitUntil(
      [&] {
        const std::vector<std::string> recordings = RecordingsOf(listener.Update());
        return !recordings.empty() && recordings.back() == name && listener.QuietSeconds() >= quietSeconds;
      },
      timeoutMs, kPollMs);
}

bool WaitForRecording(DesktopRig& rig, pid_t program, std::int64_t timeoutMs) {
  return WaitUntil([&] { return rig.HasStream(program, "source-outputs"); }, timeoutMs, kPollMs);
}

bool PressUntilEnd(DesktopRig& rig, Process& program, const std::string& key, std::int64_t timeoutMs) {
  const std::optional<std::string> window = rig.ProgramWindow(program.Pid());
  if (!window) return !program.Running();
  return WaitUntil(
      [&] {
        if (!program.Running()) return true;
        rig.PressKeyIn(*window, key);
        return false;
      },
      timeoutMs, 1000);
}

std::vector<std::string> NumberRecordings(int number) {
  std::istringstream words(frontend::NumberToWords(static_cast<std::uint32_t>(number)));
  std::vector<std::string> names;
  for (std::string word; words >> word;) {
    for (char& character : word) {
      if (character == 'ã') character = 'a';
      if (character == 'õ') character = 'o';
    }
    if (word == "dezessete") word = "dezeset";
    names.push_back(("_" + word).substr(0, 8));
  }
  return names;
}

}  // namespace desktop
