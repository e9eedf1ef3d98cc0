#include <cstdint>
#include <vector>

#include "console/keyboard.h"
#include "platform/sound.h"

namespace console {
namespace {

constexpr int kSampleRate = 11025;
constexpr int kHeaderSize = 44;
constexpr int kToneBufferSize = 11071;
constexpr std::uint8_t kLow = 96;
constexpr std::uint8_t kHigh = 160;
constexpr std::uint8_t kSilence = 128;

// The wave image of the tone that is sounding; empty when none is.
std::vector<std::uint8_t> toneImage;

void PutText(std::vector<std::uint8_t>& image, int at, const char (&text)[5]) {
  for (int i = 0; i < 4; ++i) image[at + i] = static_cast<std::uint8_t>(text[i]);
}

void PutNumber(std::vector<std::uint8_t>& image, int at, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) image[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void PutHeader(std::vector<std::uint8_t>& image, std::uint32_t dataLength) {
  PutText(image, 0, "RIFF");
  PutNumber(image, 4, dataLength + 36, 4);
  PutText(image, 8, "WAVE");
  PutText(image, 12, "fmt ");
  PutNumber(image, 16, 16, 4);           // format chunk size
  PutNumber(image, 20, 1, 2);            // PCM
  PutNumber(image, 22, 1, 2);            // mono
  PutNumber(image, 24, kSampleRate, 4);  // samples per second
  PutNumber(image, 28, kSampleRate, 4);  // bytes per second
  PutNumber(image, 32, 1, 2);            // block alignment
  PutNumber(image, 34, 8, 2);            // bits per sample
  PutText(image, 36, "data");
  PutNumber(image, 40, dataLength, 4);
}

std::uint32_t DataLength(const std::vector<std::uint8_t>& image) {
  std::uint32_t length = 0;
  for (int i = 3; i >= 0; --i) length = (length << 8) | image[40 + i];
  return length;
}

}  // namespace

std::vector<std::uint8_t> BuildToneWave(std::uint16_t frequency) {
  // Outside 1..11 025 Hz there is no period of at least one sample: no wave.
  if (frequency < 1 || frequency > kSampleRate) return {};
  std::vector<std::uint8_t> image(kToneBufferSize, 0);
  const int period = kSampleRate / frequency;
  const int half = period / 2;
  // Every period writes position..position + period, and the loop ends before position +
  // period can pass 11 025, so the writes stay inside the buffer for every frequency.
  int position = kHeaderSize;
  int k = 0;
  while (position <= kSampleRate - period) {
    for (int i = 0; i <= half; ++i) image[position + i] = kLow;
    for (int i = 0; i <= period - half; ++i) image[position + half + i] = kHigh;
    // Period starts follow k × 11 025 / f exactly, so the pitch does not drift.
    position = k * kSampleRate / frequency + kHeaderSize;
    ++k;
  }
  // With 1 Hz no period fits and the data stays empty; the header is not touched then.
  if (position > kHeaderSize) image[position - 1] = kSilence;
  PutHeader(image, static_cast<std::uint32_t>(position - kHeaderSize));
  return image;
}

void ToneStart(std::uint16_t frequency) {
  ToneStop();
  std::vector<std::uint8_t> image = BuildToneWave(frequency);
  // An out-of-range frequency, or 1 Hz with no whole period, has nothing to sound.
  if (image.empty() || DataLength(image) == 0) return;
  toneImage = std::move(image);
  platform::PlayLoopingSound(toneImage.data(), toneImage.size());
}

void ToneStop() {
  if (toneImage.empty()) return;
  platform::StopLoopingSound();
  toneImage.clear();
  toneImage.shrink_to_fit();
}

}  // namespace console
