// Driving the synthesizer library through its C interface, and measuring what it produces.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace formant_test {

const char* VoicePath();
// Loads the shipped voice (once per test) and clears the library's state.
void LoadVoice();
// Writes the text, flushes, and reads everything up to the end of the utterance.
// error receives the first negative read result (0 when none).
std::vector<int16_t> Synthesize(const std::string& pho, int* error = nullptr);

// Fundamental frequency of samples[start, start+length) by autocorrelation, in Hz.
double MeasurePitch(const std::vector<int16_t>& samples, size_t start, size_t length);
// The first two formant frequencies of samples[start, start+length) by LPC, in Hz.
void MeasureFormants(const std::vector<int16_t>& samples, size_t start, size_t length, double& f1,
                     double& f2);
// A target ("f1", "f2", ...) of a phoneme as written in the shipped voice file; 0 if absent.
double VoiceTarget(const std::string& phoneme, const std::string& key);

}  // namespace formant_test
