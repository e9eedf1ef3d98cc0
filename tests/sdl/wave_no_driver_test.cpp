// The wave devices when SDL has no audio driver at all.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/wave.h"

namespace {

TEST(NoAudioDriverWave, OpenAnswersNoDriverAndStillChecksTheFormat) {
  const char* driver = std::getenv("SDL_AUDIODRIVER");
  if (driver == nullptr || std::string(driver) != "veranto_no_such_driver") {
    GTEST_SKIP() << "run through the sdl_wave_no_driver test entry";
  }
  EXPECT_EQ(platform::WaveOutOpen({11025, 8, 1}), platform::kMmNoDriver);
  EXPECT_EQ(platform::WaveInOpen({11025, 8, 1}), platform::kMmNoDriver);
  EXPECT_FALSE(platform::WaveOutIsOpen());
  EXPECT_FALSE(platform::WaveInIsOpen());
  EXPECT_EQ(platform::WaveOutOpen({11025, 8, 5}), platform::kWaveBadFormat);
}

}  // namespace
