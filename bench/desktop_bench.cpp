// AUDIVAL on the real desktop of the tests (tests/desktop: a private X server, window manager
// and PipeWire sound server), in wall time, a few runs each:
// - start to sound: from the program's start (fork and exec) to the first sample of its
//   first prompt on the speakers' monitor;
// - key to silence: a key typed with xdotool while a 5-second first prompt plays, to the
//   first sample of the silence that follows it on the monitor.
// A sample's time comes from when parec's output carrying it arrived, so each figure is late
// by at most parec's latency, which is printed with them.
// Usage: bench_desktop [RUNS]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "desktop/desktop_rig.h"
#include "desktop/tone_voice.h"

namespace {

using desktop::SteadyTime;

constexpr int kRecorderLatencyMs = 5;
constexpr int kSoundLevel = 16;  // |sample - 128| from which a sample sounds
constexpr std::size_t kSilentRun = 221;  // 20 ms without a sounding sample is silence
constexpr std::int64_t kTimeoutMs = 10000;

double Milliseconds(SteadyTime from, SteadyTime to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

bool Sounds(std::uint8_t sample) { return std::abs(static_cast<int>(sample) - 128) >= kSoundLevel; }

// The index of the first sounding sample from `from` on, waiting for it.
std::optional<std::size_t> FirstSound(const desktop::Recorder& speakers, std::size_t from) {
  std::optional<std::size_t> found;
  desktop::WaitUntil(
      [&] {
        desktop::Samples samples;
        speakers.CopyFrom(from, samples);
        const auto it = std::find_if(samples.begin(), samples.end(), Sounds);
        if (it != samples.end()) found = from + static_cast<std::size_t>(it - samples.begin());
        return found.has_value();
      },
      kTimeoutMs, 1);
  return found;
}

// The index of the first sample of a silence from `from` on, waiting for it.
std::optional<std::size_t> FirstSilence(const desktop::Recorder& speakers, std::size_t from) {
  std::optional<std::size_t> found;
  desktop::WaitUntil(
      [&] {
        desktop::Samples samples;
        speakers.CopyFrom(from, samples);
        std::size_t quiet = 0;
        for (std::size_t k = 0; k < samples.size() && !found; ++k) {
          quiet = Sounds(samples[k]) ? 0 : quiet + 1;
          if (quiet == kSilentRun) found = from + k + 1 - kSilentRun;
        }
        return found.has_value();
      },
      kTimeoutMs, 1);
  return found;
}

struct Figures {
  std::vector<double> values;
  void Add(double value) { values.push_back(value); }
  double Median() const {
    std::vector<double> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t n = sorted.size();
    return n % 2 == 1 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
  }
  double Max() const { return *std::max_element(values.begin(), values.end()); }
};

void Report(const char* what, const Figures& figures) {
  std::printf("%-40s median %7.1f ms, max %7.1f ms (%zu runs)\n", what, figures.Median(), figures.Max(),
              figures.values.size());
}

// One run of the program: its start to the first prompt's sound, then a key to silence.
void MeasureOnce(desktop::DesktopRig& rig, Figures& startToSound, Figures& keyToSilence, Figures& keyTool) {
  desktop::Recorder& speakers = rig.Speakers();
  const std::size_t before = speakers.Size();
  const SteadyTime started = std::chrono::steady_clock::now();
  desktop::Process audival = rig.StartProgram({BENCH_AUDIVAL_PROGRAM}, "audival");
  const std::optional<std::size_t> sound = FirstSound(speakers, before);
  if (!sound) throw std::runtime_error("the first prompt was never heard: " + rig.ProgramErrors("audival"));
  startToSound.Add(Milliseconds(started, *speakers.SampleTime(*sound)));

  // The window has the focus before the key; then the prompt has played a second.
  const std::optional<std::string> window = rig.ProgramWindow(audival.Pid());
  if (!window || !rig.RunTool({"xdotool", "windowactivate", "--sync", *window}).Ok()) {
    throw std::runtime_error("cannot activate the window: " + rig.LastError());
  }
  desktop::WaitUntil([&] { return speakers.Size() >= *sound + desktop::kSampleRate; }, kTimeoutMs, 5);
  // What has been recorded was played before the key: the silence can only come after it.
  const std::size_t played = speakers.Size();
  const SteadyTime pressed = std::chrono::steady_clock::now();
  if (!rig.RunTool({"xdotool", "key", "Return"}).Ok()) throw std::runtime_error("xdotool key failed");
  keyTool.Add(Milliseconds(pressed, std::chrono::steady_clock::now()));
  const std::optional<std::size_t> silence = FirstSilence(speakers, played);
  if (!silence) throw std::runtime_error("the prompt did not stop");
  keyToSilence.Add(Milliseconds(pressed, *speakers.SampleTime(*silence)));
  audival.Stop();
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  try {
    desktop::DesktopRig rig(kRecorderLatencyMs);
    desktop::ToneVoiceOptions voice;
    voice.lengths["AVINIC"] = 5.0;
    desktop::WriteToneVoice(rig.WindowsFolder(), voice);
    Figures startToSound;
    Figures keyToSilence;
    Figures keyTool;
    for (int run = 0; run < runs; ++run) MeasureOnce(rig, startToSound, keyToSilence, keyTool);
    const desktop::Recorder& speakers = rig.Speakers();
    std::printf("AUDIVAL on the desktop rig (PipeWire; the speakers' monitor read by parec with\n"
                "--latency-msec=%d, its samples arriving in pieces of %.1f ms on average: each\n"
                "time below is late by about that much at most)\n",
                kRecorderLatencyMs, 1000.0 * speakers.Size() / desktop::kSampleRate / speakers.Pieces());
    Report("start to first prompt's sound:", startToSound);
    Report("key to silence (from xdotool's start):", keyToSilence);
    Report("xdotool key's own run time:", keyTool);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "bench_desktop: %s\n", error.what());
    return 1;
  }
  return 0;
}
