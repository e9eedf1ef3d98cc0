#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "platform/events.h"
#include "platform/sim/sim.h"
#include "platform/wave.h"

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

// ---- wave_out.cpp, wave_in.cpp: device happenings in virtual time
//
// The machine asks for the next happening when a wait or a sleep moves the clock, moves the
// clock there, and lets the device run what has come due (marking headers done and queuing
// their events), so events reach the queue in time order.

constexpr std::int64_t kNoHappening = std::numeric_limits<std::int64_t>::max();

// The first whole millisecond at which the device next finishes a header; kNoHappening when
// it will finish none without the program acting.
std::int64_t NextWaveOutHappening();
std::int64_t NextWaveInHappening();
// Finishes every header whose time has come by Now().
void RunDueWaveOut();
void RunDueWaveIn();

// ---- wave_faults.cpp: scripted faults and the checks shared by both devices

// kWaveBadFormat unless rate is 1..200000, bits 8 or 16 and channels 1 or 2.
int CheckWaveFormat(const platform::WaveFormat& format);
// The scripted result of this open attempt (consuming it), or kMmNoError when none is scripted.
int ScriptedWaveOutOpenResult();
int ScriptedWaveInOpenResult();
int ScriptedWaveOutUnprepareResult();

// ---- microphone.cpp: the scripted signal

// Takes the next `frames` frames of the microphone signal at the device format and writes them
// to `destination` (frames × channels × bits / 8 bytes), or drops them when it is nullptr.
void TakeMicrophoneFrames(std::int64_t frames, const platform::WaveFormat& format,
                          std::uint8_t* destination);

// ---- resets of the other parts, called by sim::Reset

void ResetWindow(const Options& options);
void ResetScreen();
void ResetSound();
void ResetSystem();
void ResetWaveOut();
void ResetWaveIn();
void ClearWaveInLoss();
void ResetWaveFaults();
void ResetMicrophone();

}  // namespace sim::detail
