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
    "\n"
    "--raw  read arguments and write results as Windows-1252 bytes instead of UTF-8\n";

}  // namespace

int main(int argc, char** argv) {
  fala::Output output;
  std::vector<std::string> words(argv + 1, argv + argc);
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
  std::fprintf(stderr, "fala: unknown command '%s'\n\n%s", command.c_str(), kUsage);
  return 2;
}
