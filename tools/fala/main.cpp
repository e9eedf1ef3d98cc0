// fala: the speech stack's stages, one subcommand each.
#include <cstdio>
#include <string>
#include <vector>

#include "commands.h"
#include "config/suite_setting.h"
#include "platform/system.h"

namespace {

constexpr const char* kUsage =
    "usage: fala [--raw] COMMAND [ARGUMENTS]\n"
    "\n"
    "commands:\n"
    "  setting SECTION KEY   print the VERANTO.INI value as the programs read it,\n"
    "                        with \"@\" folder references expanded\n"
    "  console               open the talking console and show the code(s) of every\n"
    "                        key read, Braille chords included, until Escape\n"
    "  play FILE.wav         play a wave file through the sound device; any key stops it\n"
    "  level [SECONDS]       measure the microphone for 1 to 60 seconds (default 5) with\n"
    "                        the live level bar, then print the level and its percentage\n"
    "  synth [FILE.pho|-] -o OUT.wav [--voice PATH]\n"
    "                        synthesize .pho lines into a 16-bit mono WAV file\n"
    "  normalise [--data DIR] [TEXT...]\n"
    "                        print the Aravo engine's normalised text: numbers, signs and\n"
    "                        abbreviations in words (TEXT, or each line of standard input;\n"
    "                        DIR holds portug.abr, by default the source tree's data/aravo)\n"
    "  tokens [--data DIR] [TEXT...]\n"
    "                        the normalised text cut into classed tokens, one a line\n"
    "  codes [--data DIR] [TEXT...]\n"
    "                        the tokens with their three-digit intonation codes\n"
    "  phonemes [--explain] [--data DIR] [TEXT...]\n"
    "                        the phoneme lines of each token (\">\" marks the stress); with\n"
    "                        --explain, the exception, stress and rule that decided each word\n"
    "  pho [--data DIR] [--pitch F] [--duration F] [TEXT...]\n"
    "                        the synthesizer's .pho lines: phoneme, milliseconds, pitch\n"
    "  wav [--data DIR] [--voice PATH] [TEXT...] -o FILE.wav\n"
    "                        speak TEXT (or each line of standard input) through the Aravo\n"
    "                        engine into a 16 000 Hz 16-bit mono WAV file; the voice file is\n"
    "                        --voice, else $VERANTO_VOICE, else the source tree's formant voice\n"
    "  translate [--data DIR] [TEXT...]\n"
    "                        print the internal voice's phoneme string of TEXT (or of each\n"
    "                        line of standard input); DIR holds regras.rgr and portug.exc,\n"
    "                        by default the source tree's data/diphone\n"
    "  say [--engine aravo|sapi5|sapi54|sapi4] TEXT...\n"
    "                        speak TEXT through the speech front end as VERANTO.INI\n"
    "                        configures it (the internal voice, numbers from recordings),\n"
    "                        or through the engine named: the Aravo engine (type 3),\n"
    "                        speech-dispatcher (5, 54) or the espeak-ng library (4)\n"
    "  numwords N            print the words the internal voice says for the number N\n"
    "  diphone [--data DIR] [--speed N] [--wav FILE] [TEXT...]\n"
    "                        translate TEXT (or each line of standard input) and speak it\n"
    "                        with the internal voice through the sound device, or write it\n"
    "                        to FILE as an 8-bit mono 11 025 Hz WAV file; the folders come\n"
    "                        from VERANTO.INI's DIRLETRAS and DIRDIFONES, the database from\n"
    "                        [SINTETIZADOR] DIFONESn (else DIFONES2) with speed n's settings\n"
    "                        (N 1-5, default 3); DIR is the data folder\n"
    "                        a \"c:\" drive in those settings stands for\n"
    "  voices --engine N     list the voices of engine type N with the numbers VOZ takes:\n"
    "                        5 or 54 the speech service's, other types but 3 the\n"
    "                        synthesizer library's (also sapi5, sapi54, sapi4)\n"
    "\n"
    "--raw  read arguments and write results as Windows-1252 bytes instead of UTF-8\n";

}  // namespace

int main(int argc, char** argv) {
  fala::Output output;
  std::vector<std::string> words = platform::TerminalProgramArguments(argc, argv);
  if (!words.empty() && words.front() == "--raw") {
    output.raw = true;
    words.erase(words.begin());
  }
  if (words.empty() || words.front() == "help" || words.front() == "--help") {
    std::fputs(kUsage, words.empty() ? stderr : stdout);
    return words.empty() ? 2 : 0;
  }
  const std::string command = words.front();
  words.erase(words.begin());

  // The folder the configuration reader falls back to when VERANTO.INI is not in the
  // Windows folder.
  config::RecordStartupFolder(platform::CurrentFolder());

  if (command == "setting") return fala::SettingCommand(output, words);
  if (command == "console") return fala::ConsoleCommand(output, words);
  if (command == "play") return fala::PlayCommand(output, words);
  if (command == "level") return fala::LevelCommand(output, words);
  if (command == "synth") return fala::SynthCommand(output, words);
  if (command == "normalise") return fala::NormaliseCommand(output, words);
  if (command == "tokens") return fala::TokensCommand(output, words);
  if (command == "codes") return fala::CodesCommand(output, words);
  if (command == "phonemes") return fala::PhonemesCommand(output, words);
  if (command == "pho") return fala::PhoCommand(output, words);
  if (command == "wav") return fala::WavCommand(output, words);
  if (command == "translate") return fala::TranslateCommand(output, words);
  if (command == "diphone") return fala::DiphoneCommand(output, words);
  if (command == "say") return fala::SayCommand(output, words);
  if (command == "numwords") return fala::NumwordsCommand(output, words);
  if (command == "voices") return fala::VoicesCommand(output, words);
  std::fprintf(stderr, "fala: unknown command '%s'\n\n%s", command.c_str(), kUsage);
  return 2;
}
