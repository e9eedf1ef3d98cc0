// `fala play`: plays a wave file through the wave player on the talking console; any key
// stops it. It ends by itself when the sound has ended, failing when it could not play.
#include <cstdio>
#include <iostream>
#include <string>

#include "audio/player/player.h"
#include "commands.h"
#include "console/console.h"
#include "console/keyboard.h"
#include "platform/system.h"

namespace fala {
namespace {

constexpr int kUnreadable = -1;

std::string ResultText(int result, bool interrupted) {
  if (result == 0) return interrupted ? "Interrompido." : "Terminado.";
  if (result == kUnreadable) return "Arquivo não pôde ser lido (-1).";
  return "Erro do dispositivo: " + std::to_string(result);
}

}  // namespace

int PlayCommand(const Output& output, const std::vector<std::string>& arguments) {
  if (arguments.size() != 1) {
    std::fputs("usage: fala play FILE.wav\n", stderr);
    return 2;
  }
  const std::string path = ArgumentText(output, arguments[0]);
  if (!platform::FileExists(path)) {
    std::fprintf(stderr, "fala play: no such file: %s\n", arguments[0].c_str());
    return 1;
  }

  console::ConsoleStart();
  audio::PlayerStart();
  std::cout << "Tocando " << path << "; qualquer tecla interrompe." << std::endl;
  const int result = audio::WavPlayFile(path);
  // The key that stopped the sound stays queued; it has done its work.
  const bool interrupted = console::KeyPressed();
  while (console::KeyPressed()) console::ReadKey();

  const std::string outcome = ResultText(result, interrupted);
  std::cout << outcome << std::endl;
  Print(output, outcome + "\n");
  audio::PlayerStop();
  console::CloseConsole(result == 0 ? 0 : 1);
}

}  // namespace fala
