#include "sample_codes.h"

namespace formant {
namespace {

// The segment (exponent) of a magnitude: the number of bits above the lowest `shift` ones.
int Segment(int magnitude, int shift) {
  int segment = 0;
  magnitude >>= shift;
  while (magnitude > 1 && segment < 7) {
    magnitude >>= 1;
    ++segment;
  }
  return segment;
}

}  // namespace

uint8_t ToUnsigned8(int16_t sample) { return static_cast<uint8_t>(128 + (sample >> 8)); }

uint8_t ToMuLaw(int16_t sample) {
  constexpr int kBias = 0x84;
  constexpr int kClip = 32635;
  int value = sample;
  const int sign = value < 0 ? 0x80 : 0;
  if (value < 0) value = -value;
  if (value > kClip) value = kClip;
  value += kBias;
  int exponent = 7;
  for (int mask = 0x4000; (value & mask) == 0 && exponent > 0; mask >>= 1) --exponent;
  const int mantissa = (value >> (exponent + 3)) & 0x0F;
  return static_cast<uint8_t>(~(sign | (exponent << 4) | mantissa));
}

uint8_t ToALaw(int16_t sample) {
  int value = sample >> 3;  // 13-bit magnitude range
  const int sign = value >= 0 ? 0x80 : 0;
  if (value < 0) value = -value - 1;
  if (value > 4095) value = 4095;
  uint8_t code;
  if (value < 32) {
    code = static_cast<uint8_t>(value >> 1);
  } else {
    const int segment = Segment(value, 4);
    code = static_cast<uint8_t>((segment << 4) | ((value >> segment) & 0x0F));
  }
  return static_cast<uint8_t>((code | sign) ^ 0x55);
}

}  // namespace formant
