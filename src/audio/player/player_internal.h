#pragma once

#include <cstdint>

// What the file and image front of the player asks of its device side.
namespace audio::detail {

// The 65 534-byte buffer file pieces are read into; nullptr before PlayerStart.
std::uint8_t* ReadBuffer();

}  // namespace audio::detail
