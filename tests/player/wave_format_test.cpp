// The pure pieces: reading an image's format, file piece sizes, shortening speech.
#include <gtest/gtest.h>

#include <random>

#include "audio/player/wave_format.h"
#include "player/player_fixture.h"

namespace {

using audio::WaveImageInfo;
using namespace player_test;

TEST(FilePieceLength, LeavesNoTinyPieceAtTheEnd) {
  const struct {
    std::uint32_t remaining;
    int piece;
  } cases[] = {
      {0, 0},         {1, 1},         {65533, 65533}, {65534, 65534},           {65535, 65278},
      {65600, 65278}, {65789, 65278}, {65790, 65534}, {200000, 65534},          {0xFFFFFFFFu, 65534},
  };
  for (const auto& c : cases) EXPECT_EQ(audio::FilePieceLength(c.remaining), c.piece) << c.remaining;
}

struct ParseCase {
  const char* name;
  std::string image;
  bool found;
  std::size_t offset;
  std::size_t length;
};

TEST(ParseWaveBuffer, FindsTheFormatAndTheSamplesInsideTheImage) {
  const std::string samples(100, 'x');
  const std::string fmt = Chunk("fmt ", FmtBody(16000, 1, 16));
  const std::string list = Chunk("LIST", std::string(10, 'i'));
  const ParseCase cases[] = {
      {"canonical", Riff(fmt + Chunk("data", samples)), true, 44, 100},
      {"any case", Riff(Chunk("FMT ", FmtBody(16000, 1, 16)) + Chunk("data", samples), std::nullopt, "riff"),
       true, 44, 100},
      {"chunk before data", Riff(fmt + list + Chunk("data", samples)), true, 62, 100},
      {"longer fmt body", Riff(Chunk("fmt ", FmtBody(16000, 1, 16, 2)) + Chunk("data", samples)), true, 46, 100},
      {"data longer than the image", Riff(fmt + Chunk("data", samples, 5000)), true, 44, 100},
      {"4 GB data length", Riff(fmt + Chunk("data", samples, 0xFFFFFFFFu)), true, 44, 100},
      {"RIFF length ends inside the data", Riff(fmt + Chunk("data", samples), 36 + 60), true, 44, 60},
      {"no data chunk", Riff(fmt + list), false, 0, 0},
      {"data header beyond the RIFF length", Riff(fmt + Chunk("data", samples), 30), false, 0, 0},
      {"chunk length reaching past everything", Riff(fmt + Chunk("LIST", "", 0xFFFFFFF8u) + Chunk("data", samples)),
       false, 0, 0},
      {"fmt body of 14 bytes", Riff(Chunk("fmt ", FmtBody(16000, 1, 16).substr(0, 14)) + Chunk("data", samples)),
       false, 0, 0},
      {"not RIFF", Riff(fmt + Chunk("data", samples), std::nullopt, "RIFX"), false, 0, 0},
      {"fmt after a chunk", Riff(list + fmt + Chunk("data", samples)), true, 62, 100},
      {"fmt after data, odd chunk padded", Riff(Chunk("data", samples) + Chunk("LIST", "abc") + '\0' + fmt), true, 20,
       100},
      {"fmt beyond the RIFF length", Riff(Chunk("data", samples) + fmt, 4 + 108), false, 0, 0},
      {"header cut inside fmt", Riff(fmt + Chunk("data", samples)).substr(0, 30), false, 0, 0},
      {"empty", "", false, 0, 0},
  };
  for (const ParseCase& c : cases) {
    const Bytes image = AsBytes(c.image);
    WaveImageInfo info;
    EXPECT_EQ(audio::ParseWaveBuffer(image.data(), image.size(), info), c.found) << c.name;
    if (!c.found) continue;
    EXPECT_EQ(info.rate, 16000u) << c.name;
    EXPECT_EQ(info.channels, 1) << c.name;
    EXPECT_EQ(info.bits, 16) << c.name;
    EXPECT_EQ(info.dataOffset, c.offset) << c.name;
    EXPECT_EQ(info.dataLength, c.length) << c.name;
  }
}

TEST(ParseWaveBuffer, NeverReadsPastAnyPrefixOfAnImage) {
  const std::string whole = Riff(Chunk("fmt ", FmtBody(11025, 1, 8)) + Chunk("LIST", "abcd") + Chunk("data", "0123456789"));
  for (std::size_t size = 0; size <= whole.size(); ++size) {
    const Bytes prefix(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));  // exactly sized
    WaveImageInfo info;
    const bool found = audio::ParseWaveBuffer(prefix.data(), prefix.size(), info);
    EXPECT_EQ(found, size >= 56) << size;
    if (found) {
      EXPECT_EQ(info.dataLength, size - 56) << size;
    }
  }
}

TEST(ParseWaveBuffer, RandomBytesGiveSamplesInsideTheImageOrNothing) {
  std::mt19937 random(1234);
  const std::string header = Riff(Chunk("fmt ", FmtBody(11025, 1, 8)));
  for (int round = 0; round < 5000; ++round) {
    Bytes image(random() % 120);
    for (std::uint8_t& byte : image) byte = static_cast<std::uint8_t>(random());
    // Most images start as wave images, so the walk itself meets the random lengths.
    if (round % 4 != 0) {
      for (std::size_t i = 0; i < image.size() && i < 36; ++i) image[i] = static_cast<std::uint8_t>(header[i]);
      if (image.size() > 8 && round % 3 == 0) image[4] = image[5] = image[6] = image[7] = 0xFF;
    }
    WaveImageInfo info;
    if (audio::ParseWaveBuffer(image.data(), image.size(), info)) {
      EXPECT_LE(info.dataOffset + info.dataLength, image.size());
    }
  }
}

// 8-bit samples whose pitch periods begin with a single peak of 255 every `period` samples
// from `firstPeak`; between peaks a quiet pattern that tells every position from its neighbours.
Bytes SpikeTrain(int count, int period, int firstPeak) {
  Bytes samples(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    samples[i] = (i >= firstPeak && (i - firstPeak) % period == 0) ? 255 : static_cast<std::uint8_t>(128 + i % 16);
  }
  return samples;
}

TEST(ShortenSpeech, DropsEveryOtherPitchPeriodAt11025) {
  const Bytes input = SpikeTrain(2000, 100, 50);
  Bytes samples = input;
  // The first peak after 200 is at 250; from there each step drops one period (250 to 349)
  // and keeps the next one with its closing peak (350 to 450), until 1740 is passed.
  const int count = audio::ShortenSpeech(samples.data(), 2000, 8, 11025);
  ASSERT_EQ(count, 250 + 8 * 101);
  EXPECT_TRUE(std::equal(input.begin(), input.begin() + 250, samples.begin()));
  for (int kept = 0; kept < 8; ++kept) {
    const int from = 350 + 200 * kept;
    EXPECT_TRUE(std::equal(input.begin() + from, input.begin() + from + 101, samples.begin() + 250 + 101 * kept))
        << "kept period " << kept;
  }
}

TEST(ShortenSpeech, UsesFourTimesTheConstantsAtOtherRates) {
  const Bytes input = SpikeTrain(8000, 400, 200);
  Bytes samples = input;
  // Search from 800: first peak 1000; periods of 400 dropped and kept until 6960 is passed.
  const int count = audio::ShortenSpeech(samples.data(), 8000, 8, 16000);
  ASSERT_EQ(count, 1000 + 8 * 401);
  for (int kept = 0; kept < 8; ++kept) {
    const int from = 1400 + 800 * kept;
    EXPECT_TRUE(std::equal(input.begin() + from, input.begin() + from + 401, samples.begin() + 1000 + 401 * kept))
        << "kept period " << kept;
  }
}

TEST(ShortenSpeech, TailRunsOnUntilTheWrittenByteIsQuiet) {
  // Loud everywhere except the peaks' neighbourhood: the tail copy goes on to the end.
  Bytes samples(1200, 200);
  for (int i = 250; i < 1200; i += 100) samples[i] = 255;
  const Bytes input = samples;
  const int count = audio::ShortenSpeech(samples.data(), 1200, 8, 11025);
  // Four steps (reads from 250, 450, 650 and 850, each below 1200 - 260) bring the write
  // position to 250 + 4 × 101 = 654 and the read position to 1050; every byte at the write
  // position is loud, so the rest of the piece follows.
  EXPECT_EQ(count, 654 + 150);
  EXPECT_TRUE(std::equal(input.begin() + 1050, input.end(), samples.begin() + 654));
}

TEST(ShortenSpeech, ConvertsSixteenBitSamplesToEightBits) {
  const std::int16_t values[] = {-32768, -1, 0, 1, 255, 256, 32767};
  Bytes samples;
  for (std::int16_t value : values) {
    samples.push_back(static_cast<std::uint8_t>(value & 0xFF));
    samples.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
  }
  samples.push_back(0x55);  // an odd byte count leaves a half sample, which is dropped
  ASSERT_EQ(audio::ShortenSpeech(samples.data(), 15, 16, 16000), 7);
  EXPECT_EQ(Bytes(samples.begin(), samples.begin() + 7), (Bytes{0, 127, 128, 128, 128, 129, 255}));
}

TEST(ShortenSpeech, ShortPiecesAreNotShortened) {
  const Bytes input = SpikeTrain(999, 100, 50);
  Bytes samples = input;
  EXPECT_EQ(audio::ShortenSpeech(samples.data(), 999, 8, 11025), 999);
  EXPECT_EQ(samples, input);
  Bytes nothing;
  EXPECT_EQ(audio::ShortenSpeech(nothing.data(), 0, 8, 11025), 0);
  Bytes half{0x12};
  EXPECT_EQ(audio::ShortenSpeech(half.data(), 1, 16, 16000), 0);
}

TEST(ShortenSpeech, StaysInsideShortPiecesAtOtherRates) {
  // The first peak search reaches 1320, beyond a piece of 1000 to 1320 samples.
  for (int count = 1000; count <= 1330; count += 30) {
    Bytes samples(static_cast<std::size_t>(count), 128);  // exactly sized
    samples[count - 1] = 255;
    const int result = audio::ShortenSpeech(samples.data(), count, 8, 16000);
    EXPECT_GE(result, 0) << count;
    EXPECT_LE(result, count) << count;
  }
}

}  // namespace
