// `fala console`: a keyboard and Braille-chord tester on the talking console.
#include <iostream>
#include <string>

#include "commands.h"
#include "console/console.h"
#include "console/keyboard.h"

namespace fala {
namespace {

constexpr int kEscape = 27;

// The name of the key behind an extended code (the byte after 0).
std::string ExtendedKeyName(int code) {
  static const char* const kAltLetters = "QWERTYUIOP....ASDFGHJKL.....ZXCVBNM";
  if (code >= 59 && code <= 70) return "F" + std::to_string(code - 58);
  if (code >= 94 && code <= 105) return "Ctrl+F" + std::to_string(code - 93);
  if (code >= 120 && code <= 128) return "Alt+" + std::to_string(code - 119);
  if (code == 129) return "Alt+0";
  if (code >= 16 && code <= 50 && kAltLetters[code - 16] != '.') {
    return std::string("Alt+") + kAltLetters[code - 16];
  }
  switch (code) {
    case 82: return "Insert";
    case 254: return "Shift+Insert";
    case 255: return "Ctrl+Insert";
    case 83: return "Delete";
    case 71: return "Home";
    case 119: return "Ctrl+Home";
    case 79: return "End";
    case 117: return "Ctrl+End";
    case 73: return "Page Up";
    case 132: return "Ctrl+Page Up";
    case 81: return "Page Down";
    case 118: return "Ctrl+Page Down";
    case 72: return "Seta acima";
    case 113: return "Ctrl+Seta acima";
    case 80: return "Seta abaixo";
    case 114: return "Ctrl+Seta abaixo";
    case 75: return "Seta à esquerda";
    case 115: return "Ctrl+Seta à esquerda";
    case 77: return "Seta à direita";
    case 116: return "Ctrl+Seta à direita";
    default: return "?";
  }
}

std::string CharacterDescription(int code) {
  switch (code) {
    case 8: return "Backspace";
    case 9: return "Tab";
    case 10: return "Ctrl+Enter";
    case 13: return "Enter";
    case 127: return "Ctrl+Backspace";
    default: break;
  }
  if (code >= 1 && code <= 26) return std::string("Ctrl+") + static_cast<char>('A' + code - 1);
  if (code < 32) return "controle";
  return std::string("'") + static_cast<char>(code) + "'";
}

}  // namespace

int ConsoleCommand(const Output&, const std::vector<std::string>& arguments) {
  if (!arguments.empty()) {
    std::cerr << "usage: fala console\n";
    return 2;
  }
  console::ConsoleStart();
  std::cout << "Teste do teclado. Aperte teclas para ver seus códigos; Esc termina.\n"
            << "Modo Braille (teclas F D S J K L e espaço): Ctrl+Alt+F11 liga ou muda,\n"
            << "Ctrl+Alt+F12 desliga (no Linux também Ctrl+Shift+F11 e Ctrl+Shift+F12).\n\n";
  int brailleMode = console::BrailleMode();
  for (;;) {
    const int code = console::ReadKey();
    if (code == kEscape) break;
    if (code == 0) {
      const int extended = console::ReadKey();
      std::cout << "Tecla estendida: 0 " << extended << "  " << ExtendedKeyName(extended);
    } else {
      std::cout << "Caractere: " << code << "  " << CharacterDescription(code);
    }
    if (console::BrailleMode() != brailleMode) {
      brailleMode = console::BrailleMode();
      std::cout << "  (modo Braille " << brailleMode << ")";
    }
    std::cout << std::endl;
  }
  std::cout << "Fim do teste." << std::endl;
  console::CloseConsole();
}

}  // namespace fala
