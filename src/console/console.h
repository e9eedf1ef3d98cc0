#pragma once

#include <cstdint>

// The talking console: a text window with a screen buffer of characters and colour
// attributes, standing in for a text-mode console. The program's std::cout and std::cin are
// bound to it by ConsoleStart.
namespace console {

// Module start: binds std::cout and std::cin to the window's 128-byte drivers, takes the
// title from the program's path, resets the colour table, magnifier factor and Braille mode.
// The window itself is created by the first output or key query (EnsureConsole).
void ConsoleStart();
// Undoes ConsoleStart without ending the program: restores std::cout and std::cin, destroys
// the window if it exists and forgets every setting (tests start each case afresh).
void ConsoleStop();

// Settings that take effect when the window is created; change them before the first output.
void SetRows(int rows);
void SetColumns(int columns);
int Rows();
int Columns();
void SetBreakCheck(bool on);   // Ctrl+Break ends the program
void SetEndOfFileKey(bool on); // Ctrl+Z ends a line read
bool BreakCheck();
bool EndOfFileKey();

// Creates the window on first use; every output, TextColor, KeyPressed and ReadKey call it.
void EnsureConsole();
bool ConsoleCreated();

// Puts bytes at the cursor (7 beeps, 8 backspace, 10 next line, 13 column 0; 32-255 stored).
void WriteText(const char* bytes, int count);
// Foreground colour number (0-15) of later text, unless colours are fixed.
void TextColor(int colour);
// Closes the window and ends the program with `exitCode`.
[[noreturn]] void CloseConsole(int exitCode = 0);

int CursorColumn();
int CursorRow();
std::uint8_t CurrentAttribute();
char ScreenCharacter(int column, int row);
std::uint8_t ScreenAttribute(int column, int row);

// The slot for the wave-output "block done" notification: the window procedure calls the
// installed handler with the block's slot while it is enabled.
using WaveDoneHandler = void (*)(int slot);
void SetWaveDoneHandler(WaveDoneHandler handler, bool enabled);

// Posted wake-up messages that carry news for a module (a speech service's completion
// notices): PumpMessages calls the handler set for a message number with that number each
// time it takes such a message from the queue, whether or not the window exists. A null
// handler removes the number's handler; at most eight numbers have handlers at once.
using WakeHandler = void (*)(int message);
void SetWakeHandler(int message, WakeHandler handler);

}  // namespace console
