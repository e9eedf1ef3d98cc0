#pragma once

#include <string>
#include <vector>

#include "platform/events.h"
#include "platform/sim/sim.h"

// What the parts of the simulated machine ask of each other.
namespace sim::detail {

// ---- machine.cpp: clock, event queue, scripts, runs

void PushEvent(const platform::Event& event);

// Thrown by ExitProgram and by a wait that can never be answered; Run catches both. They do
// not derive from std::exception so that program code catching library errors lets them pass.
struct ExitSignal {
  int exitCode = 0;
};
struct StallSignal {
  std::string message;
};

// ---- key_strokes.cpp: what a Windows keyboard delivers for a stroke

// Down, the Char that TranslateMessage would add, up; system keys for Alt (without Ctrl) and F10.
std::vector<platform::Event> KeyStrokeEvents(int virtualKey, Modifiers modifiers);
// The events that type one Windows-1252 byte.
std::vector<platform::Event> TypedByteEvents(unsigned char byte);
// Every key down in order (each with its Char), then every key up in order.
std::vector<platform::Event> ChordEvents(const std::string& letters);

// ---- resets of the other parts, called by sim::Reset

void ResetWindow(const Options& options);
void ResetScreen();
void ResetSound();
void ResetSystem();

}  // namespace sim::detail
