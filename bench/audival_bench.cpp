// The microphone test run on the simulated machine (real CPU time, virtual sound time):
// - from program start to the first prompt's first block queued on the output device, which
//   includes reading the settings, loading the diphone database and the translator's rules;
// - the peak memory of a whole test run, three measurements and every prompt, in a child
//   process of its own.
// The voice is the generated one when the data folder ($VERANTO_DATA) holds it, else the
// shipped rules and exceptions with a synthetic database of the shipped segment list.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "audio/player/player.h"
#include "audival/program_start.h"
#include "audival/sim_script.h"
#include "audival/test_run.h"
#include "config/suite_setting.h"
#include "console/console.h"
#include "peer.h"
#include "platform/keys.h"
#include "platform/sim/sim.h"
#include "platform/system.h"
#include "speech/frontend/speech.h"
#include "support/voice_data.h"

namespace {

constexpr int kRuns = 30;

// A Windows folder whose VERANTO.INI points at the voice to measure; a description of it.
std::string PrepareVoice(const std::filesystem::path& windows) {
  const std::filesystem::path root = platform::DataFolder();
  const std::filesystem::path som = root / "lumivar" / "som";
  if (std::filesystem::exists(som / "difones" / "DIFONES2.IND")) {
    std::ofstream(windows / "VERANTO.INI")
        << "[AUDIVAL]\nDIRAUDIVAL=" << (som / "audival").string() << "\n[TRADUTOR]\nVELOCIDADE=3\nDIRLETRAS="
        << (som / "letras").string() << "\nDIRDIFONES=" << (som / "difones").string()
        << "\n[SINTETIZADOR]\nDIFONES3=DIFONES2\n[VIDEO]\nLARGURALETRA=8\nALTURALETRA=16\nCANTOTELA=NS\n";
    return "the generated voice in " + som.string();
  }
  test_support::VoiceDataOptions options;
  options.diphoneSource = AUDIVAL_DIPHONE_DATA_DIR;
  options.promptBytes = 2 * 11025;
  options.wordBytes = 4000;
  test_support::WriteVoiceData(windows.string(), options);
  return "the shipped rules with a synthetic database (no generated voice in " + root.string() + ")";
}

// The program's first steps up to its first prompt, with the player told not to wait, so that
// the run ends as soon as the prompt's first block is queued.
void StartToFirstBlock() {
  audival::ProgramStart();
  frontend::SpeechStart(0, config::ReadSuiteSetting("AUDIVAL", "DIRAUDIVAL"));
  frontend::SetPunctuationAnnouncing(false);
  console::SetRows(18);
  std::cout << "Programa de medição do volume do microfone." << std::endl;
  audio::SetNoWait(true);
  frontend::PlayPrompt("AVINIC");
}

// A whole test run: every question answered, three measurements.
void WholeRun() {
  std::string error;
  if (!audival::SetMicrophoneScript("20 80 120", (std::filesystem::temp_directory_path() /
                                                   ("bench-mic-" + std::to_string(getpid()) + ".wav")).string(),
                                    error)) {
    std::fprintf(stderr, "bench_audival: %s\n", error.c_str());
    std::exit(1);
  }
  for (int i = 0; i < 4; ++i) sim::PressKeyWhenIdle(platform::kVkReturn);
  sim::Run([] {
    audival::ProgramStart();
    audival::RunMicrophoneTest();
  });
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main() {
  std::string pattern = (std::filesystem::temp_directory_path() / "veranto-bench-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) return 1;
  const std::filesystem::path windows(pattern);
  setenv("VERANTO_WINDIR", pattern.c_str(), 1);
  const std::string voice = PrepareVoice(windows);

  std::vector<double> milliseconds;
  bool queued = true;
  for (int run = 0; run < kRuns; ++run) {
    sim::Reset();
    const double start = bench::ProcessCpuSeconds();
    sim::Run(StartToFirstBlock);
    milliseconds.push_back((bench::ProcessCpuSeconds() - start) * 1000);
    queued = queued && !sim::WaveBlocks().empty();
    audival::ProgramStop();
    audio::SetNoWait(false);
  }

  // The whole run in a child, so that its peak memory is its own.
  const pid_t child = fork();
  if (child == 0) {
    sim::Reset();
    WholeRun();
    const bool ended = !sim::WaveBlocks().empty() && sim::WaveInOpens().size() == 3;
    audival::ProgramStop();
    _exit(ended ? 0 : 3);
  }
  int status = 0;
  rusage usage{};
  const bool whole = child > 0 && wait4(child, &status, 0, &usage) == child && WIFEXITED(status) &&
                     WEXITSTATUS(status) == 0;
  std::filesystem::remove_all(windows);

  const double median = Median(milliseconds);
  const double worst = *std::max_element(milliseconds.begin(), milliseconds.end());
  const double peakMiB = usage.ru_maxrss / 1024.0;
  std::printf("voice: %s\n", voice.c_str());
  std::printf("start to the first prompt's first block (CPU ms, median of %d): %.1f ms, first run %.1f ms, "
              "worst %.1f ms (target under 300 ms): %s\n",
              kRuns, median, milliseconds.front(), worst, queued && worst < 300 ? "met" : "NOT met");
  if (!whole) {
    std::printf("whole test run: did not end as expected\n");
    return 1;
  }
  std::printf("peak memory of a whole test run (resident, MiB): %.1f MiB (target under 64 MiB): %s\n", peakMiB,
              peakMiB < 64 ? "met" : "NOT met");
  return queued ? 0 : 1;
}
