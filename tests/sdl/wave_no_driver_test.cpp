// The wave devices when SDL has no audio driver at all, and when its ALSA driver finds no
// sound card: the result codes, and what the user reads on the terminal.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/encoding.h"
#include "platform/sound.h"
#include "platform/wave.h"

namespace {

bool DriverIs(const char* name) {
  const char* driver = std::getenv("SDL_AUDIODRIVER");
  return driver != nullptr && std::string(driver) == name;
}

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t count = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

const std::string kNoSound =
    platform::Cp1252ToUtf8("test_sdl: nenhuma saída de som pôde ser aberta; o programa segue sem som.\n");

// Every output (the player's device, a tone, the beep) fails, and the user is told once.
TEST(NoAudioDriverWave, OpenAnswersNoDriverStillChecksTheFormatAndSaysItOnce) {
  if (!DriverIs("veranto_no_such_driver")) GTEST_SKIP() << "run through the sdl_wave_no_driver test entry";
  testing::internal::CaptureStderr();
  EXPECT_EQ(platform::WaveOutOpen({11025, 8, 1}), platform::kMmNoDriver);
  EXPECT_EQ(platform::WaveInOpen({11025, 8, 1}), platform::kMmNoDriver);
  EXPECT_FALSE(platform::WaveOutIsOpen());
  EXPECT_FALSE(platform::WaveInIsOpen());
  EXPECT_EQ(platform::WaveOutOpen({11025, 8, 5}), platform::kWaveBadFormat);
  EXPECT_EQ(platform::WaveOutOpen({16000, 16, 1}), platform::kMmNoDriver);
  platform::Beep();
  const std::string told = testing::internal::GetCapturedStderr();
  EXPECT_EQ(Count(told, kNoSound), 1u) << told;
}

// ALSA writes each failure of its own to the terminal; none of it may reach the user.
TEST(NoSoundCardWave, OpenFailsQuietlyButForOneLine) {
  if (!DriverIs("alsa")) GTEST_SKIP() << "run through the sdl_wave_alsa test entry";
  testing::internal::CaptureStderr();
  const int output = platform::WaveOutOpen({11025, 8, 1});
  const int input = platform::WaveInOpen({11025, 8, 1});
  const int again = platform::WaveOutOpen({11025, 8, 1});
  const std::string told = testing::internal::GetCapturedStderr();
  if (output == platform::kMmNoError) {
    platform::WaveOutClose();
    if (input == platform::kMmNoError) platform::WaveInClose();
    GTEST_SKIP() << "this machine has a sound card";
  }
  EXPECT_EQ(output, platform::kMmBadDeviceId);
  EXPECT_EQ(input, platform::kMmBadDeviceId);
  EXPECT_EQ(again, platform::kMmBadDeviceId);
  EXPECT_EQ(told, kNoSound);
}

}  // namespace
