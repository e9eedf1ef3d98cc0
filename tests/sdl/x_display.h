#pragma once

#include <string>
#include <vector>

#include "platform/window.h"

// A second connection to the X server the backend draws on: what a user sees (screenshots)
// and what a user does (keys, mouse, window manager requests), for the tests only.
namespace xtest {

bool Open();
void Close();

// The pixels of a screen rectangle, row by row.
std::vector<platform::Rgb> Screenshot(int x, int y, int width, int height);

// X key symbols by name ("a", "Shift_L", "Return", "F1"...).
void Key(const std::string& keysymName, bool down);
void MovePointer(int screenX, int screenY);
void Button(int button, bool down);

// Acts on the top-level window with this (UTF-8) title, as a window manager would.
bool AskToClose(const std::string& title);
bool Resize(const std::string& title, int width, int height);

}  // namespace xtest
