#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/sim/sim.h"

// What the simulated loudspeaker played, told as the recordings it was made of: every block the
// program wrote to the output device is matched, byte for byte, against the recordings of the
// prompt and letters folders, so prompts, number words and letters played from files or joined
// in one buffer are named with the virtual times they sounded.
namespace audival {

struct Recording {
  std::string name;                   // the file name without ".wav"
  std::vector<std::uint8_t> samples;  // its "data" chunk
};

// Every readable RIFF/WAVE file of `folder` (a configured path) that holds an audible sample,
// in name order. A folder that cannot be read gives none.
std::vector<Recording> LoadRecordings(const std::string& folder);

struct HeardSound {
  double startMs = 0;
  double endMs = 0;
  std::string name;  // the recording, or empty for a sound that is none of them
  bool cut = false;  // stopped before its end (a key, or the program stopping speech)
};

// The played bytes split into recordings, in order. The player's own touches are allowed for:
// a block that is not full ends on silence (128) and a short one is padded with silence, so a
// recording may differ from what was played there. Silence between sounds is left out; played
// sound that matches no recording is one unnamed entry per stretch.
std::vector<HeardSound> RecogniseSounds(const std::vector<sim::WaveBlockRecord>& blocks,
                                        const std::vector<Recording>& recordings);

// One line per sound: start time in ms, the name (or "(other sound, N ms)"), and " (cut)".
std::string FormatSoundLog(const std::vector<HeardSound>& sounds);

}  // namespace audival
