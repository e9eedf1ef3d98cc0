#pragma once

#include <cstdio>
#include <string>
#include <vector>

// What the engine's start-up and its speaking loop share.
namespace aravo::detail {

// The output file while the engine writes to one, else null.
std::FILE* OutputFile();
double DurationFactor();
double PitchFactor();

// The synthesis loop: feeds .pho lines to the synthesizer and hands its samples on.
bool SynthesizeLines(const std::vector<std::string>& phoLines);

}  // namespace aravo::detail
