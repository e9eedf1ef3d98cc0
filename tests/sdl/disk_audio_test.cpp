// What a looping tone really sends to the audio device, caught with SDL's disk audio driver.

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/sound.h"
#include "platform/system.h"
#include "wave_image.h"

namespace {

TEST(DiskAudio, LoopingToneRepeatsTheWaveSamples) {
  if (SDL_WasInit(SDL_INIT_AUDIO) != 0) {
    GTEST_SKIP() << "needs a process of its own: run through the sdl_disk_audio test entry";
  }
  char folder[] = "/tmp/veranto_disk_audio_XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string output = std::string(folder) + "/out.raw";
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
  setenv("SDL_DISKAUDIODELAY", "5", 1);

  const std::vector<std::uint8_t> samples = sdltest::Ramp(300);
  const std::vector<std::uint8_t> image = sdltest::WaveImage(8000, 1, 8, samples);
  ASSERT_TRUE(platform::PlayLoopingSound(image.data(), image.size()));
  platform::Sleep(100);
  platform::StopLoopingSound();

  std::ifstream file(output, std::ios::binary);
  const std::vector<unsigned char> played((std::istreambuf_iterator<char>(file)),
                                          std::istreambuf_iterator<char>());
  std::remove(output.c_str());
  std::remove(folder);
  ASSERT_GT(played.size(), 2 * samples.size()) << "the tone did not loop";
  for (std::size_t k = 0; k < played.size(); ++k) {
    ASSERT_EQ(played[k], samples[k % samples.size()]) << "at byte " << k;
  }
}

}  // namespace
