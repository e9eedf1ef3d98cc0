#pragma once

#include <cstdint>

// Microphone capture and the level measurement: the largest deviation of any 8-bit sample
// from silence (128), on a scale of 0 to 128, with a live bar on the console.
namespace audio {

// Opens the default wave-input device and starts recording into eight buffers of
// `bufferSize` bytes; the wave-input result code (0 on success).
int CaptureOpen(int rate, int bits, int channels, int bufferSize);
// Waits (handling window messages) for the next filled buffer, copies it to `destination`
// (at least bufferSize bytes) and requeues it; the number of bytes copied. After a failure
// it returns at once what the buffer holds, if anything.
int CaptureRead(std::uint8_t* destination);
// The wave-input code of a failure while recording (the device was lost, so a buffer could
// not be queued again, or it would not start), or 0 while recording goes well.
int CaptureFailure();
void CaptureClose();

// The largest |b - 128| over the bytes (a byte of 0 counts as 128); 0 for none.
int BufferPeak(const std::uint8_t* samples, int count);
// Writes the 64-character bar for a level (0-128) at the cursor, then a carriage return.
void DrawLevelBar(int level);
// The number of 1024-byte buffers of 11 025 Hz 8-bit mono sound that make up `seconds`,
// rounded to the nearest (5 s: 54, 10 s: 108); 0 for no time.
int BufferCount(int seconds);
// A level as a percentage of full scale (128), truncated toward zero.
int LevelPercent(int level);
// Measures for `seconds` while drawing the live bar; the level 0-128. When the device cannot
// be opened, or is lost while it records, reports the code and ends the program after Enter.
int MicLevel(int seconds);

// What writes and speaks the code of a device that cannot be opened: the speech front end's
// SpeakNumber, installed at program start (it sits above this module). Without one
// (nullptr, the start value) the digits are only written.
using NumberSpeaker = void (*)(std::int32_t value);
void SetNumberSpeaker(NumberSpeaker speaker);

// What ends the program once a measurement's problem has been shown, given the code shown.
// Without one (nullptr, the start value) the user presses Enter and CloseConsole (exit code 0)
// follows; an installed end runs at once, so a command-line tool ends without waiting. Should
// it return, CloseConsole follows.
using ProblemEnd = void (*)(int code);
void SetProblemEnd(ProblemEnd end);

}  // namespace audio
