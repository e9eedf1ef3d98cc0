#pragma once

#include <cstdint>
#include <vector>

// Keyboard queue, waits that keep window messages flowing, the Braille chord keyboard and
// tones. Keys are bytes: characters as one byte, function and cursor keys as 0 then a code.
namespace console {

// Handles every pending window message; true when a key byte is queued.
bool KeyPressed();
// Waits for and removes the first queued byte (the caret shows while waiting); no echo.
int ReadKey();
// Line input with echo and Backspace; stores the ending 13 and a 10 after it. Returns the
// number of bytes stored (at most capacity).
int ReadLine(char* buffer, int capacity);
// Handles every pending window message.
void PumpMessages();
// Sleeps, then handles pending messages.
void Delay(std::uint16_t milliseconds);

// A continuous square-wave tone (1 to 11 025 Hz) until ToneStop. Any other frequency, and
// 1 Hz (no whole period fits), sounds nothing; a tone already sounding stops in every case.
void ToneStart(std::uint16_t frequency);
void ToneStop();
// The looping one-second wave image ToneStart plays: 11 071 bytes, of which the header's
// lengths say how many are played; empty for a frequency outside 1..11 025 Hz.
std::vector<std::uint8_t> BuildToneWave(std::uint16_t frequency);

// 0 off, 1 plain chords, 2 chords with number and capital signs; announced with tones.
void SetBrailleMode(int mode);
int BrailleMode();

// Number of bytes waiting in the key queue.
int QueuedKeyCount();

}  // namespace console
