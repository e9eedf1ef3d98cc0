#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/wave.h"

// The wave images the tones are played from, as every backend reads them. Nothing outside
// src/platform includes this header.
namespace platform {

// A RIFF/WAVE image of PCM samples (8 or 16 bits, one or two channels, a rate above 0) with
// its "fmt " chunk before its "data" chunk: its format, and where its samples start and how
// many bytes of them the image holds, cut to whole sample frames (at least one). False for
// anything else.
bool FindLoopingWaveSamples(const std::uint8_t* image, std::size_t size, WaveFormat& format,
                            std::size_t& samplesAt, std::size_t& samplesSize);

}  // namespace platform
