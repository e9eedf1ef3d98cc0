#include "desktop/tone_voice.h"

#include <cmath>
#include <filesystem>

#include "desktop/tones.h"

namespace desktop {
namespace {

constexpr double kLowestTone = 300.0;
constexpr double kToneSpacing = 60.0;

}  // namespace

std::vector<double> ToneVoice::Frequencies() const {
  std::vector<double> frequencies;
  for (const ToneRecording& recording : recordings) frequencies.push_back(recording.frequency);
  return frequencies;
}

int ToneVoice::Find(const std::string& name) const {
  for (std::size_t k = 0; k < recordings.size(); ++k) {
    if (recordings[k].name == name) return static_cast<int>(k);
  }
  return -1;
}

double ToneVoice::Seconds(const std::string& name) const {
  const int index = Find(name);
  return index < 0 ? 0.0 : static_cast<double>(recordings[index].samples) / 11025.0;
}

ToneVoice WriteToneVoice(const std::string& root, const ToneVoiceOptions& options) {
  ToneVoice voice;
  voice.folders = test_support::WriteVoiceData(root);
  auto add = [&](const std::string& name, const std::string& folder, double seconds) {
    const auto custom = options.lengths.find(name);
    if (custom != options.lengths.end()) seconds = custom->second;
    const double frequency = kLowestTone + kToneSpacing * static_cast<double>(voice.recordings.size());
    const auto count = static_cast<std::size_t>(std::lround(seconds * 11025.0));
    voice.recordings.push_back({name, frequency, count});
    test_support::WriteBytes(std::filesystem::path(folder) / (name + ".wav"),
                             test_support::WaveImage(11025, 1, 8, ToneSamples(frequency, count, kToneAmplitude)));
  };
  for (const std::string& name : test_support::PromptNames()) {
    add(name, voice.folders.prompts, options.promptSeconds);
  }
  for (const std::string& name : test_support::NumberWordNames()) {
    add(name, voice.folders.letters, options.wordSeconds);
  }
  return voice;
}

}  // namespace desktop
