// What a looping tone really sends to the audio device, caught with SDL's disk audio driver.

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
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
  // The driver writes through a file buffer: wait until many loops have reached the file,
  // however slowly the machine runs.
  constexpr std::uintmax_t kEnoughBytes = 8192;
  const std::int64_t deadline = platform::ClockMilliseconds() + 10000;
  std::error_code ignored;
  while (platform::ClockMilliseconds() < deadline &&
         (!std::filesystem::exists(output) || std::filesystem::file_size(output, ignored) < kEnoughBytes)) {
    platform::Sleep(20);
  }
  platform::StopLoopingSound();

  std::ifstream file(output, std::ios::binary);
  const std::vector<unsigned char> played((std::istreambuf_iterator<char>(file)),
                                          std::istreambuf_iterator<char>());
  std::remove(output.c_str());
  std::remove(folder);
  // The device may play silence before the first callback has its samples.
  std::size_t start = 0;
  while (start < played.size() && played[start] == 128) ++start;
  ASSERT_GT(played.size() - start, 2 * samples.size()) << "the tone did not loop";
  for (std::size_t k = start; k < played.size(); ++k) {
    ASSERT_EQ(played[k], samples[(k - start) % samples.size()]) << "at byte " << k;
  }
}

}  // namespace
