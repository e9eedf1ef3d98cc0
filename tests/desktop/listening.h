#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "desktop/desktop_rig.h"
#include "desktop/tone_voice.h"
#include "desktop/tones.h"

// What the user of a program under test hears, read from the rig's speakers by name, and
// the waits the tests make on it.
namespace desktop {

constexpr const char* kUnknownSound = "?";

struct Heard {
  std::string name;  // a recording of the tone voice, or kUnknownSound
  double start;      // seconds from the start of the speakers' recording
  double seconds;
};

class Listener {
 public:
  Listener(const Recorder& speakers, const ToneVoice& voice);
  // Everything heard so far, with what arrived since the last call.
  const std::vector<Heard>& Update();
  // Seconds of the recording after the end of the last sound heard (all of it when none).
  double QuietSeconds() const;
  // Where (in seconds) runs of samples further than `deviation` from 128 begin (one start for
  // runs within 10 ms): louder than any recording of the voice, so clicks.
  std::vector<double> Clicks(int deviation) const;

 private:
  const Recorder& speakers_;
  std::vector<std::string> names_;
  ToneTracker tracker_;
  Samples fresh_;
  std::vector<Heard> heard_;
};

// The names in order, for messages: "AVINIC AVRUIAMB ...".
std::string Names(const std::vector<Heard>& heard);
std::vector<std::string> NamesOf(const std::vector<Heard>& heard);
// The names of the recordings alone, without sounds that are none (the run's own test looks
// at those).
std::vector<std::string> RecordingsOf(const std::vector<Heard>& heard);

// Waits until `name` has been heard (it may still be playing).
bool WaitToHear(Listener& listener, const std::string& name, std::int64_t timeoutMs = 20000);
// Waits until `name` is the last recording heard and `quietSeconds` of silence have followed
// the last sound: the program has said it whole and waits.
bool WaitForPause(Listener& listener, const std::string& name, double quietSeconds = 0.3,
                  std::int64_t timeoutMs = 20000);

// Waits until the program records from the microphone.
bool WaitForRecording(DesktopRig& rig, pid_t program, std::int64_t timeoutMs = 20000);

// Types `key` into the program's window every second until the program has ended; false
// when it still runs after `timeoutMs`.
bool PressUntilEnd(DesktopRig& rig, Process& program, const std::string& key, std::int64_t timeoutMs);

// The number-word recordings a number is said with: "_" and each word of its words, cut to 8
// characters ("dezessete" has the recording "_dezeset").
std::vector<std::string> NumberRecordings(int number);

}  // namespace desktop
