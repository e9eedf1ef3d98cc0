// `fala level`: measures the microphone with the live level bar on the talking console, as
// the test run does, and gives the level and its percentage.
#include <cstdio>
#include <iostream>
#include <string>

#include "audio/capture/capture.h"
#include "commands.h"
#include "console/console.h"
#include "platform/encoding.h"

namespace fala {
namespace {

constexpr int kDefaultSeconds = 5;
constexpr int kLongestSeconds = 60;
constexpr int kYellow = 14;

// A whole number of seconds from 1 to 60, written in plain digits; 0 for anything else.
int ParseSeconds(const std::string& text) {
  if (text.empty() || text.size() > 2) return 0;
  int seconds = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return 0;
    seconds = seconds * 10 + (c - '0');
  }
  return seconds <= kLongestSeconds ? seconds : 0;
}

// A microphone that cannot be measured: once the window has shown the problem, the terminal
// is told too, and the command fails.
void EndWithProblem(int code) {
  audio::SetProblemEnd(nullptr);
  const std::string problem = "Problemas, código " + std::to_string(code) + "\n";
  std::fputs(platform::Cp1252ToUtf8(problem).c_str(), stderr);
  std::fflush(stderr);
  console::CloseConsole(1);
}

}  // namespace

int LevelCommand(const Output& output, const std::vector<std::string>& arguments) {
  int seconds = kDefaultSeconds;
  if (arguments.size() == 1) seconds = ParseSeconds(arguments[0]);
  if (arguments.size() > 1 || seconds == 0) {
    std::fputs("usage: fala level [SECONDS]  (a whole number from 1 to 60; 5 if not given)\n", stderr);
    return 2;
  }

  console::ConsoleStart();
  std::cout << "Medindo o volume do microfone por " << seconds << (seconds == 1 ? " segundo." : " segundos.")
            << "\nA barra mostra o nível de cada décimo de segundo.\n";
  audio::SetProblemEnd(EndWithProblem);
  const int level = audio::MicLevel(seconds);
  audio::SetProblemEnd(nullptr);

  const int textColour = console::CurrentAttribute() & 15;
  console::TextColor(kYellow);
  audio::DrawLevelBar(level);
  const std::string result = "Nível: " + std::to_string(level) + " de 128 (" +
                             std::to_string(audio::LevelPercent(level)) + " por cento)";
  std::cout << '\n' << result << std::endl;
  console::TextColor(textColour);
  Print(output, result + "\n");
  console::CloseConsole();
}

}  // namespace fala
