#pragma once

#include "platform/events.h"

// What the window side and the keyboard side of the console ask of each other.
namespace console::detail {

// ---- window side (window.cpp)

// The window procedure: handles one event taken from the platform queue.
void DispatchEvent(const platform::Event& event);
bool WindowFocused();
// Marks that a key read is waiting: the caret shows at the cursor while the window has the
// focus, and goes when the wait ends or the focus goes.
void BeginKeyWait();
void EndKeyWait();
// [BRAILLE] MODO as read with the video settings, low two bits of its first character.
int ConfiguredBrailleMode();

// ---- keyboard side (keyboard.cpp)

void HandleChar(const platform::Event& event);
void HandleKeyDown(const platform::Event& event);
// False when the key is left to the default handling (Alt+F4 then closes the window).
bool HandleSysKeyDown(const platform::Event& event);
// False when the key is left to the default handling.
bool HandleKeyUp(const platform::Event& event);
// Empties the queue and forgets chord state and mode (ConsoleStop).
void ResetKeyboard();
// Discards every queued byte (CloseConsole).
void DiscardQueuedKeys();

}  // namespace console::detail
