#include "platform/sdl/key_map.h"

#include "platform/keys.h"

namespace platform::sdl {
namespace {

struct KeyPair {
  SDL_Scancode scancode;
  int virtualKey;
};

// Keys whose virtual key does not depend on Num Lock. Punctuation keys get the VK_OEM codes of
// the same positions on a Windows keyboard.
constexpr KeyPair kFixedKeys[] = {
    {SDL_SCANCODE_RETURN, kVkReturn},
    {SDL_SCANCODE_ESCAPE, kVkEscape},
    {SDL_SCANCODE_BACKSPACE, kVkBack},
    {SDL_SCANCODE_TAB, kVkTab},
    {SDL_SCANCODE_SPACE, kVkSpace},
    {SDL_SCANCODE_MINUS, 0xBD},
    {SDL_SCANCODE_EQUALS, 0xBB},
    {SDL_SCANCODE_LEFTBRACKET, 0xDB},
    {SDL_SCANCODE_RIGHTBRACKET, 0xDD},
    {SDL_SCANCODE_BACKSLASH, 0xDC},
    {SDL_SCANCODE_NONUSHASH, 0xDC},
    {SDL_SCANCODE_SEMICOLON, 0xBA},
    {SDL_SCANCODE_APOSTROPHE, 0xDE},
    {SDL_SCANCODE_GRAVE, 0xC0},
    {SDL_SCANCODE_COMMA, 0xBC},
    {SDL_SCANCODE_PERIOD, 0xBE},
    {SDL_SCANCODE_SLASH, 0xBF},
    {SDL_SCANCODE_NONUSBACKSLASH, 0xE2},
    {SDL_SCANCODE_INTERNATIONAL1, 0xC1},  // the ABNT2 "/?" key
    {SDL_SCANCODE_KP_COMMA, 0xC2},        // the ABNT2 keypad "."
    {SDL_SCANCODE_CAPSLOCK, kVkCapital},
    {SDL_SCANCODE_PRINTSCREEN, 0x2C},
    {SDL_SCANCODE_SCROLLLOCK, 0x91},
    {SDL_SCANCODE_PAUSE, kVkPause},
    {SDL_SCANCODE_INSERT, kVkInsert},
    {SDL_SCANCODE_HOME, kVkHome},
    {SDL_SCANCODE_PAGEUP, kVkPrior},
    {SDL_SCANCODE_DELETE, kVkDelete},
    {SDL_SCANCODE_END, kVkEnd},
    {SDL_SCANCODE_PAGEDOWN, kVkNext},
    {SDL_SCANCODE_RIGHT, kVkRight},
    {SDL_SCANCODE_LEFT, kVkLeft},
    {SDL_SCANCODE_DOWN, kVkDown},
    {SDL_SCANCODE_UP, kVkUp},
    {SDL_SCANCODE_NUMLOCKCLEAR, 0x90},
    {SDL_SCANCODE_KP_DIVIDE, 0x6F},
    {SDL_SCANCODE_KP_MULTIPLY, 0x6A},
    {SDL_SCANCODE_KP_MINUS, 0x6D},
    {SDL_SCANCODE_KP_PLUS, 0x6B},
    {SDL_SCANCODE_KP_ENTER, kVkReturn},
    {SDL_SCANCODE_APPLICATION, 0x5D},
    {SDL_SCANCODE_LCTRL, kVkControl},
    {SDL_SCANCODE_RCTRL, kVkControl},
    {SDL_SCANCODE_LSHIFT, kVkShift},
    {SDL_SCANCODE_RSHIFT, kVkShift},
    {SDL_SCANCODE_LALT, kVkMenu},
    {SDL_SCANCODE_RALT, kVkMenu},
    {SDL_SCANCODE_LGUI, 0x5B},
    {SDL_SCANCODE_RGUI, 0x5C},
};

// Keypad keys: with Num Lock on they are the numeric keys, with it off the navigation keys.
struct KeypadKey {
  SDL_Scancode scancode;
  int numeric;
  int navigation;
};

constexpr KeypadKey kKeypadKeys[] = {
    {SDL_SCANCODE_KP_0, 0x60, kVkInsert},  {SDL_SCANCODE_KP_1, 0x61, kVkEnd},
    {SDL_SCANCODE_KP_2, 0x62, kVkDown},    {SDL_SCANCODE_KP_3, 0x63, kVkNext},
    {SDL_SCANCODE_KP_4, 0x64, kVkLeft},    {SDL_SCANCODE_KP_5, 0x65, 0x0C},  // VK_CLEAR
    {SDL_SCANCODE_KP_6, 0x66, kVkRight},   {SDL_SCANCODE_KP_7, 0x67, kVkHome},
    {SDL_SCANCODE_KP_8, 0x68, kVkUp},      {SDL_SCANCODE_KP_9, 0x69, kVkPrior},
    {SDL_SCANCODE_KP_PERIOD, 0x6E, kVkDelete},
};

}  // namespace

int VirtualKeyOf(SDL_Scancode scancode, Uint16 modifiers) {
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
    return kVkA + (scancode - SDL_SCANCODE_A);
  }
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) {
    return VkDigit(1 + (scancode - SDL_SCANCODE_1));
  }
  if (scancode == SDL_SCANCODE_0) return VkDigit(0);
  if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) {
    return kVkF1 + (scancode - SDL_SCANCODE_F1);
  }
  if (scancode >= SDL_SCANCODE_F13 && scancode <= SDL_SCANCODE_F24) {
    return kVkF12 + 1 + (scancode - SDL_SCANCODE_F13);
  }
  for (const KeyPair& pair : kFixedKeys) {
    if (pair.scancode == scancode) return pair.virtualKey;
  }
  const bool numLock = (modifiers & KMOD_NUM) != 0;
  for (const KeypadKey& key : kKeypadKeys) {
    if (key.scancode == scancode) return numLock ? key.numeric : key.navigation;
  }
  return 0;
}

}  // namespace platform::sdl
