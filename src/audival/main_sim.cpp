// audival-sim: the same test run on the simulated machine, driven by a key script and a
// microphone script; prints the final screen and the sounds that were played.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "audival/program_start.h"
#include "audival/sim_script.h"
#include "audival/sound_log.h"
#include "audival/test_run.h"
#include "config/suite_setting.h"
#include "console/console.h"
#include "console/video_settings.h"
#include "platform/encoding.h"
#include "platform/sim/sim.h"
#include "platform/system.h"

namespace {

constexpr const char* kUsage =
    "usage: audival-sim [--keys SCRIPT] [--mic SCRIPT] [--mic-fail CODE] [--colours]\n"
    "\n"
    "Runs the microphone test on the simulated machine (virtual time, no devices) with the\n"
    "configuration and recordings the environment gives ($VERANTO_WINDIR/VERANTO.INI), then\n"
    "prints the final screen and the sound log: every recording of the prompt and letters\n"
    "folders that was played, with its virtual start time in ms and \"(cut)\" when a key\n"
    "stopped it; other sound (the internal voice, clicks, speech shortened by CORTAFALA) is\n"
    "listed as \"(other sound, N ms)\". The exit code is 1 when the program was left waiting\n"
    "for a key the script did not give.\n"
    "\n"
    "--keys SCRIPT   key strokes, separated by blanks or commas (default: enter enter enter\n"
    "                enter, which answers every question):\n"
    "                  enter esc space tab backspace up down left right f1..f12,\n"
    "                  a letter or digit; text:WORDS, a stroke for each letter or digit\n"
    "                  of WORDS (\"_\" for a space)\n"
    "                A stroke is pressed when the program waits for an answer (its prompts\n"
    "                finished, no measurement running); KEY@MS presses it at virtual time MS\n"
    "                whatever the program is doing (to cut a prompt, say).\n"
    "--mic SCRIPT    what the microphone hears in each measurement (ambient 5 s, normal speech\n"
    "                10 s, plosives 10 s), in order; missing ones are silence:\n"
    "                  silence | L (every buffer peaks at level L, 0-128) | file:PATH.wav\n"
    "                (a PCM WAV file, any rate; PATH without blanks or commas)\n"
    "--mic-fail CODE the wave-input device cannot be opened: every open answers CODE\n"
    "--colours       under each screen row, the foreground colour (hex) of each character\n"
    "\n"
    "example: audival-sim --keys \"enter enter x@20000 enter enter\" --mic \"9, 120, file:voz.wav\"\n";

struct Options {
  std::string keys = "enter enter enter enter";
  std::string microphone;
  int failCode = 0;
  bool colours = false;
};

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--colours") {
      options.colours = true;
      continue;
    }
    if (i + 1 >= argc) return false;
    const std::string value = argv[++i];
    if (option == "--keys") {
      options.keys = value;
    } else if (option == "--mic") {
      options.microphone = value;
    } else if (option == "--mic-fail") {
      char* end = nullptr;
      const long code = std::strtol(value.c_str(), &end, 10);
      if (value.empty() || *end != '\0' || code <= 0 || code > 0xFFFF) return false;
      options.failCode = static_cast<int>(code);
    } else {
      return false;
    }
  }
  return true;
}

// The prompt folder and the letters folder, as the program reads them.
std::vector<audival::Recording> KnownRecordings() {
  std::vector<audival::Recording> recordings =
      audival::LoadRecordings(config::ReadSuiteSetting("AUDIVAL", "DIRAUDIVAL"));
  std::vector<audival::Recording> letters = audival::LoadRecordings(
      platform::ReadProfileString("TRADUTOR", "DIRLETRAS", "c:\\lumivar\\som\\letras", platform::kPathCapacity, "VERANTO.INI"));
  for (audival::Recording& recording : letters) recordings.push_back(std::move(recording));
  return recordings;
}

// The colour number (as a hex digit) that draws in `colour` with the standard colour table.
char ColourDigit(const platform::Rgb& colour) {
  const console::video::ColourTable table = console::video::IdentityColourTable();
  for (int number = 0; number < 16; ++number) {
    if (console::video::PaletteColour(table, number) == colour) return "0123456789abcdef"[number];
  }
  return '?';
}

std::string Screen(bool colours) {
  std::string text;
  char gutter[16];
  for (int row = 0; row < console::Rows(); ++row) {
    const std::string line = sim::ScreenRow(row);
    std::snprintf(gutter, sizeof gutter, "%2d |", row + 1);
    text += gutter + platform::Cp1252ToUtf8(line) + "\n";
    if (colours && !line.empty()) {
      std::string attributes = "   |";
      for (int column = 0; column < static_cast<int>(line.size()); ++column) {
        attributes += ColourDigit(sim::ScreenCell(column, row).foreground);
      }
      text += attributes + "\n";
    }
  }
  return text;
}

std::string Ending(const sim::RunResult& result) {
  if (result.stalled) return "stalled: " + result.message + "\n";
  if (result.exited) return "ended with exit code " + std::to_string(result.exitCode) + "\n";
  return "returned\n";
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "help")) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (!ParseOptions(argc, argv, options)) {
    std::fputs(kUsage, stderr);
    return 2;
  }

  std::string error;
  std::vector<audival::KeyPress> keys;
  if (!audival::ParseKeys(options.keys, keys, error)) {
    std::fprintf(stderr, "audival-sim: %s\n", error.c_str());
    return 2;
  }
  sim::Reset();
  const std::string scratch = (std::filesystem::temp_directory_path() /
                               ("audival-sim-mic-" + std::to_string(getpid()) + ".wav")).string();
  if (!audival::SetMicrophoneScript(options.microphone, scratch, error)) {
    std::fprintf(stderr, "audival-sim: %s\n", error.c_str());
    return 2;
  }
  audival::ScheduleKeys(keys);
  if (options.failCode != 0) sim::FailWaveInOpen(options.failCode, true);

  const sim::RunResult result = sim::Run([] {
    audival::ProgramStart();
    audival::RunMicrophoneTest();
  });

  const std::string screen = Screen(options.colours);
  const std::string sounds =
      audival::FormatSoundLog(audival::RecogniseSounds(sim::WaveBlocks(), KnownRecordings()));
  audival::ProgramStop();

  std::printf("screen:\n%s\nsound log (virtual ms):\n%s\n%s", screen.c_str(), sounds.c_str(),
              Ending(result).c_str());
  return result.stalled ? 1 : 0;
}
