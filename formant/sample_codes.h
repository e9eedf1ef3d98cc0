// The sample types readtype_MBR converts to.
#pragma once

#include <cstdint>

namespace formant {

enum SampleType { kLinear16 = 0, kUnsigned8 = 1, kMuLaw = 2, kALaw = 3 };

uint8_t ToUnsigned8(int16_t sample);
uint8_t ToMuLaw(int16_t sample);
uint8_t ToALaw(int16_t sample);

}  // namespace formant
