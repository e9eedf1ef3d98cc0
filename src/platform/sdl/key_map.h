#pragma once

#include <SDL.h>

// SDL scancodes to Windows virtual-key codes, by key position, so that the keyboard tables of
// the console apply whatever the layout.
namespace platform::sdl {

// The virtual key of `scancode`; keypad keys follow Num Lock as on Windows. 0 for a key that
// has no virtual key.
int VirtualKeyOf(SDL_Scancode scancode, Uint16 modifiers);

}  // namespace platform::sdl
