#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The scripts audival-sim takes: key strokes for the simulated keyboard, and what the
// simulated microphone hears during each of the three measurements.
namespace audival {

struct KeyPress {
  int virtualKey = 0;
  std::int64_t atMs = -1;  // a virtual time, or -1: when the program waits with nothing to come
};

// Key script: words separated by blanks or commas, each one key stroke:
//   enter esc space tab backspace up down left right f1..f12, a letter or digit,
//   text:WORDS  (one stroke per letter, digit or "_", which stands for a space)
// A word ending in "@MS" is pressed at virtual time MS whatever the program is doing; any
// other is pressed when the program next waits for input while nothing plays or records:
// an answer to the question on the screen once its prompts have finished.
// False with `error` set for a word it does not know.
bool ParseKeys(const std::string& script, std::vector<KeyPress>& keys, std::string& error);

// Scripts the keys on the simulated machine: timed ones at their times, the others as answers
// (sim::PressKeyWhenIdle).
void ScheduleKeys(const std::vector<KeyPress>& keys);

// Microphone script: one item per measurement, in order (ambient 5 s, speech 10 s, plosives
// 10 s), separated by commas or blanks; measurements without an item hear silence.
//   silence     nothing
//   L           every buffer peaks at level L (0-128): samples alternate 128 - L, 128 + L
//   file:PATH   a PCM WAV file (8 or 16 bits, mono or stereo, any rate), cut or padded with
//               silence to the measurement's length
// A measurement's first 32 frames (3 ms) are silent whatever its item: the device may take up
// to a millisecond of frames beyond a measurement's last buffer, and the guard keeps those
// from carrying the next measurement's sound into it.
// The 8-bit mono 11 025 Hz samples the whole script gives, or false with `error` set.
bool BuildMicrophoneSignal(const std::string& script, std::vector<std::uint8_t>& samples,
                           std::string& error);
// Builds the signal and hands it to the simulated microphone through the WAV file
// `scratchPath` (removed again); false with `error` set.
bool SetMicrophoneScript(const std::string& script, const std::string& scratchPath, std::string& error);

}  // namespace audival
