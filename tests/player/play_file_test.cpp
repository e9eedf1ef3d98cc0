// Playing wave files: the chunk walk, the pieces, the options and the waits.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/keys.h"
#include "platform/wave.h"
#include "player/player_fixture.h"
#include "support/native_paths.h"

namespace {

using namespace player_test;

// 11 025 bytes of 8-bit mono last a second.
constexpr int kRate = 11025;

class PlayFileTest : public PlayerTest {};

TEST_F(PlayFileTest, WaitingKeySkipsThePlayAndStaysQueued) {
  const std::string path = WriteWave("a.wav", WaveImage(kRate, 1, 8, Ramp(5000)));
  int result = -99;
  RunPlayer([&] {
    QueueKeyNow(platform::VkLetter('A'));
    result = audio::WavPlayFile(path);
    EXPECT_EQ(sim::Now(), 0);
    EXPECT_EQ(console::QueuedKeyCount(), 1);
    EXPECT_EQ(console::ReadKey(), 'a');
  });
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(sim::WaveOutOpens().empty());
  EXPECT_TRUE(sim::WaveBlocks().empty());
}

TEST_F(PlayFileTest, PlaysPiecesSoThatNoTinyPieceIsLeft) {
  const Bytes samples = Ramp(65600);
  const std::string path = WriteWave("long.wav", WaveImage(kRate, 1, 8, samples));
  int result = -99;
  RunPlayer([&] { result = audio::WavPlayFile(path); });
  EXPECT_EQ(result, 0);
  ASSERT_EQ(BlockLengths(), (std::vector<int>{65278, 322}));
  Bytes expected = WithSilentLastByte(Bytes(samples.begin(), samples.begin() + 65278));
  const Bytes tail = WithSilentLastByte(Bytes(samples.begin() + 65278, samples.end()));
  expected.insert(expected.end(), tail.begin(), tail.end());
  EXPECT_EQ(sim::PlayedWaveBytes(), expected);
  // It returned when the sound had ended, with the device closed.
  EXPECT_GE(static_cast<double>(sim::Now()), sim::WaveBlocks().back().endMs);
  EXPECT_FALSE(platform::WaveOutIsOpen());
}

TEST_F(PlayFileTest, SixteenBitSamplesArePlayedByteForByteInFullBlocks) {
  Bytes samples(140000);
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<std::uint8_t>(i * 13 + i / 256);
  const std::string path = WriteWave("speech.wav", WaveImage(16000, 1, 16, samples));
  int result = -99;
  RunPlayer([&] { result = audio::WavPlayFile(path); });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(BlockLengths(), (std::vector<int>{65534, 65534, 8932}));
  EXPECT_EQ(sim::PlayedWaveBytes(), samples);
  ASSERT_EQ(sim::WaveOutOpens().size(), 1u);
  EXPECT_EQ(sim::WaveOutOpens()[0].format.rate, 16000);
  EXPECT_EQ(sim::WaveOutOpens()[0].format.bits, 16);
  EXPECT_EQ(sim::WaveOutOpens()[0].format.channels, 1);
}

TEST_F(PlayFileTest, AcceptsEveryChunkLayoutThatLeadsToTheSamples) {
  const Bytes samples = Ramp(500);
  const std::string data = Chunk("data", AsString(samples));
  const std::string fmt = Chunk("fmt ", FmtBody(kRate, 1, 8));
  const struct {
    const char* name;
    std::string file;
  } cases[] = {
      {"LIST chunk before data", Riff(fmt + Chunk("LIST", std::string(26, 'i')) + data)},
      {"LIST chunk before fmt", Riff(Chunk("LIST", std::string(26, 'i')) + fmt + data)},
      {"fmt after data", Riff(data + Chunk("LIST", "abcd") + fmt)},
      {"odd chunk and its pad byte", Riff(Chunk("LIST", "abc") + '\0' + fmt + Chunk("junk", "x") + '\0' + data)},
      {"odd chunk and a non-zero pad byte", Riff(fmt + Chunk("LIST", "abc") + '\x01' + data)},
      {"odd chunk without its pad byte", Riff(fmt + Chunk("LIST", "abc") + data)},
      {"lower-case riff", Riff(fmt + data, std::nullopt, "riff")},
      {"upper-case FMT", Riff(Chunk("FMT ", FmtBody(kRate, 1, 8)) + data)},
      {"fmt with an extension", Riff(Chunk("fmt ", FmtBody(kRate, 1, 8, 2)) + data)},
      {"fmt larger than the read buffer", Riff(Chunk("fmt ", FmtBody(kRate, 1, 8, 70000)) + data)},
      {"chunk larger than the read buffer", Riff(fmt + Chunk("junk", std::string(70000, 'j')) + data)},
      {"RIFF length of 0", Riff(fmt + data, 0)},
  };
  for (const auto& c : cases) {
    const std::string path = WriteWave("layout.wav", c.file);
    int result = -99;
    RunPlayer([&] { result = audio::WavPlayFile(path); });
    EXPECT_EQ(result, 0) << c.name;
    EXPECT_EQ(sim::PlayedWaveBytes(), WithSilentLastByte(samples)) << c.name;
  }
}

TEST_F(PlayFileTest, FindsFilesWithAccentedNamesAndBackslashes) {
  // Windows' ANSI file functions take the Windows-1252 name itself; Linux keeps it in UTF-8.
  const std::string nameOnDisk =
      test_paths::kWindowsRules ? "sons/ação.wav" : reinterpret_cast<const char*>(u8"sons/ação.wav");
  WriteWave(nameOnDisk, WaveImage(kRate, 1, 8, Ramp(300)));
  int result = -99;
  RunPlayer([&] { result = audio::WavPlayFile(Folder() + "\\sons\\ação.wav"); });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(sim::PlayedWaveBytes(), WithSilentLastByte(Ramp(300)));
}

TEST_F(PlayFileTest, FastPlaybackRaisesTheRateByHalf) {
  const struct {
    int fileRate;
    int deviceRate;
  } cases[] = {{11025, 16537}, {16000, 24000}, {8001, 12001}};
  for (const auto& c : cases) {
    const std::string path = WriteWave("fast.wav", WaveImage(static_cast<std::uint32_t>(c.fileRate), 1, 8, Ramp(400)));
    RunPlayer([&] {
      audio::SetFastPlayback(true);
      EXPECT_EQ(audio::WavPlayFile(path), 0);
    });
    ASSERT_EQ(sim::WaveOutOpens().size(), 1u);
    EXPECT_EQ(sim::WaveOutOpens()[0].format.rate, c.deviceRate) << c.fileRate;
    EXPECT_EQ(sim::PlayedWaveBytes(), WithSilentLastByte(Ramp(400)));
  }
}

TEST_F(PlayFileTest, SpeechCutPlaysSixteenBitMonoAsEightBits) {
  // 500 samples: converted, but too short to be shortened.
  Bytes samples;
  for (int i = 0; i < 500; ++i) {
    const auto value = static_cast<std::int16_t>((i * 131) - 32000);
    samples.push_back(static_cast<std::uint8_t>(value & 0xFF));
    samples.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
  }
  const std::string path = WriteWave("aravo.wav", WaveImage(16000, 1, 16, samples));
  RunPlayer([&] {
    audio::SetSpeechCut(true);
    EXPECT_EQ(audio::WavPlayFile(path), 0);
  });
  ASSERT_EQ(sim::WaveOutOpens().size(), 1u);
  EXPECT_EQ(sim::WaveOutOpens()[0].format.bits, 8);
  EXPECT_EQ(sim::WaveOutOpens()[0].format.rate, 16000);
  Bytes expected;
  for (int i = 0; i < 500; ++i) expected.push_back(samples[2 * i + 1] ^ 0x80);
  EXPECT_EQ(sim::PlayedWaveBytes(), WithSilentLastByte(expected));
}

TEST_F(PlayFileTest, SpeechCutLeavesStereoAlone) {
  const Bytes samples = Ramp(4000);
  const std::string path = WriteWave("stereo.wav", WaveImage(kRate, 2, 8, samples));
  RunPlayer([&] {
    audio::SetSpeechCut(true);
    EXPECT_EQ(audio::WavPlayFile(path), 0);
  });
  EXPECT_EQ(sim::PlayedWaveBytes(), samples);
}

TEST_F(PlayFileTest, FastPlaybackAndSpeechCutShortenWithTheRaisedRatesConstants) {
  // Peaks every 400 samples from 200: with the constants for rates other than 11 025 the
  // 8000 samples shorten to 1000 + 8 kept periods of 401 bytes.
  Bytes samples(8000);
  for (int i = 0; i < 8000; ++i) samples[i] = (i >= 200 && (i - 200) % 400 == 0) ? 255 : 128 + i % 16;
  const std::string path = WriteWave("cut.wav", WaveImage(kRate, 1, 8, samples));
  RunPlayer([&] {
    audio::SetFastPlayback(true);
    audio::SetSpeechCut(true);
    EXPECT_EQ(audio::WavPlayFile(path), 0);
  });
  ASSERT_EQ(sim::WaveOutOpens().size(), 1u);
  EXPECT_EQ(sim::WaveOutOpens()[0].format.rate, 16537);
  EXPECT_EQ(BlockLengths(), (std::vector<int>{1000 + 8 * 401}));
}

TEST_F(PlayFileTest, KeyPressedDuringPlaybackSilencesAtOnce) {
  const std::string path = WriteWave("three.wav", WaveImage(kRate, 1, 8, Ramp(3 * kRate)));
  int result = -99;
  std::int64_t returnedAt = -1;
  RunPlayer([&] {
    sim::PressKeyAt(1000, platform::kVkEscape);
    result = audio::WavPlayFile(path);
    returnedAt = sim::Now();
    EXPECT_FALSE(platform::WaveOutIsOpen());
    EXPECT_EQ(console::QueuedKeyCount(), 1);
    EXPECT_EQ(console::ReadKey(), 27);
  });
  EXPECT_EQ(result, 0);
  EXPECT_GE(returnedAt, 1000);
  EXPECT_LE(returnedAt, 1010);
  ASSERT_EQ(sim::WaveBlocks().size(), 1u);
  EXPECT_TRUE(sim::WaveBlocks()[0].cut);
  EXPECT_LE(sim::WaveBlocks()[0].endMs, 1010.0);
}

TEST_F(PlayFileTest, WithoutKeyInterruptAKeyDoesNotStopTheSound) {
  const std::string path = WriteWave("three.wav", WaveImage(kRate, 1, 8, Ramp(3 * kRate)));
  RunPlayer([&] {
    audio::SetKeyInterrupt(false);
    sim::PressKeyAt(1000, platform::kVkEscape);
    EXPECT_EQ(audio::WavPlayFile(path), 0);
    EXPECT_GE(sim::Now(), 3000);
    EXPECT_EQ(console::QueuedKeyCount(), 1);
  });
  EXPECT_FALSE(sim::WaveBlocks()[0].cut);
}

TEST_F(PlayFileTest, NoWaitReturnsWhileTheSoundPlays) {
  const std::string path = WriteWave("one.wav", WaveImage(kRate, 1, 8, Ramp(kRate)));
  RunPlayer([&] {
    audio::SetNoWait(true);
    EXPECT_EQ(audio::WavPlayFile(path), 0);
    EXPECT_EQ(sim::Now(), 0);
    EXPECT_TRUE(audio::WavBusy());
    EXPECT_TRUE(platform::WaveOutIsOpen());
    while (audio::WavBusy()) platform::WaitEvent();
    EXPECT_EQ(sim::Now(), 1000);
    EXPECT_FALSE(platform::WaveOutIsOpen());
  });
}

TEST_F(PlayFileTest, BusyDeviceIsRetriedEveryTenthOfASecond) {
  const std::string path = WriteWave("a.wav", WaveImage(kRate, 1, 8, Ramp(300)));
  int result = -99;
  RunPlayer([&] {
    sim::MakeWaveOutBusy(3);
    result = audio::WavPlayFile(path);
  });
  EXPECT_EQ(result, 0);
  const auto& opens = sim::WaveOutOpens();
  ASSERT_EQ(opens.size(), 4u);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(opens[i].time, 100 * i);
  EXPECT_EQ(opens[3].result, platform::kMmNoError);
  EXPECT_EQ(sim::PlayedWaveBytes(), WithSilentLastByte(Ramp(300)));
}

TEST_F(PlayFileTest, DeviceBusyForTenSecondsGivesItsCode) {
  const std::string path = WriteWave("a.wav", WaveImage(kRate, 1, 8, Ramp(300)));
  int result = -99;
  RunPlayer([&] {
    sim::MakeWaveOutBusy(1000);
    result = audio::WavPlayFile(path);
  });
  EXPECT_EQ(result, platform::kMmAllocated);
  ASSERT_EQ(sim::WaveOutOpens().size(), 100u);
  EXPECT_EQ(sim::WaveOutOpens().back().time, 9900);
  EXPECT_TRUE(sim::WaveBlocks().empty());
}

TEST_F(PlayFileTest, DeviceRefusalIsTheResult) {
  const std::string path = WriteWave("a.wav", WaveImage(kRate, 1, 8, Ramp(300)));
  for (int code : {platform::kMmNoDriver, platform::kWaveBadFormat, platform::kMmBadDeviceId}) {
    int result = -99;
    RunPlayer([&] {
      sim::FailWaveOutOpen(code);
      result = audio::WavPlayFile(path);
    });
    EXPECT_EQ(result, code);
    EXPECT_EQ(sim::WaveOutOpens().size(), 1u);
    EXPECT_TRUE(sim::WaveBlocks().empty());
  }
}

TEST_F(PlayFileTest, FailedUnprepareIsReportedAndWaitsForEnter) {
  const std::string path = WriteWave("a.wav", WaveImage(kRate, 1, 8, Ramp(1000)));
  const struct {
    int code;
    const char* text;
  } cases[] = {
      {platform::kMmInvalidHandle, "Specified device handle is invalid."},
      {platform::kMmNoDriver, "No device driver is present."},
      {platform::kMmNoMemory, "Unable to allocate or lock memory."},
      {platform::kWaveStillPlaying, "The data block pointed to by the pwh parameter is still in queue"},
      {platform::kMmError, ""},
  };
  for (const auto& c : cases) {
    int result = -99;
    RunPlayer([&] {
      sim::FailWaveOutUnprepare(c.code);
      // The block ends after about 91 ms; Enter comes well after.
      sim::PressKeyAt(500, platform::kVkReturn);
      result = audio::WavPlayFile(path);
      EXPECT_EQ(sim::Now(), 500) << c.code;
      EXPECT_EQ(BufferRow(0), c.text);
      // The line end came from the Enter, not from the message.
      EXPECT_EQ(console::CursorRow(), 1);
      EXPECT_FALSE(platform::WaveOutIsOpen());
    });
    EXPECT_EQ(result, 0) << c.code;
  }
}

TEST_F(PlayFileTest, FailedUnprepareWaitsForEnterOnly) {
  const std::string path = WriteWave("a.wav", WaveImage(kRate, 1, 8, Ramp(1000)));
  const sim::RunResult run = RunPlayer([&] {
    sim::FailWaveOutUnprepare(platform::kMmNoMemory);
    audio::WavPlayFile(path);
  });
  EXPECT_TRUE(run.stalled);
}

struct BadFileCase {
  const char* name;
  std::string file;
  int result;
  std::size_t played;
};

TEST_F(PlayFileTest, BadFilesGiveAResultAndPlayOnlyWhatIsThere) {
  const std::string fmt = Chunk("fmt ", FmtBody(kRate, 1, 8));
  const std::string samples = AsString(Ramp(1000));
  const std::string good = Riff(fmt + Chunk("data", samples));
  auto withFormat = [&](std::uint32_t rate, std::uint32_t channels, std::uint32_t bits) {
    return Riff(Chunk("fmt ", FmtBody(rate, channels, bits)) + Chunk("data", samples));
  };
  const BadFileCase cases[] = {
      {"empty file", "", -1, 0},
      {"RIFF only", "RIFF", -1, 0},
      {"no fmt header", good.substr(0, 12), -1, 0},
      {"not RIFF", Riff(fmt + Chunk("data", samples), std::nullopt, "RIFX"), -1, 0},
      {"no fmt chunk", Riff(Chunk("LIST", "abcd") + Chunk("data", samples)), -1, 0},
      {"fmt after a 4 GB data chunk", Riff(Chunk("data", samples, 0xFFFFFFFFu) + fmt), -1, 0},
      {"4 GB odd chunk", Riff(fmt + Chunk("LIST", "", 0xFFFFFFFFu) + Chunk("data", samples)), -1, 0},
      {"pad byte missing at the end", Riff(fmt + Chunk("LIST", "abc")), -1, 0},
      {"fmt body of 14 bytes", Riff(Chunk("fmt ", FmtBody(kRate, 1, 8).substr(0, 14)) + Chunk("data", samples)), -1, 0},
      {"fmt body cut short", good.substr(0, 30), -1, 0},
      {"no data chunk", Riff(fmt + Chunk("LIST", "abcd")), -1, 0},
      {"data header cut short", Riff(fmt) + "da", -1, 0},
      {"chunk length past the end", Riff(fmt + Chunk("LIST", "", 0xFFFFFFF0u) + Chunk("data", samples)), -1, 0},
      {"4 GB data in a 1 KB file", Riff(fmt + Chunk("data", samples, 0xFFFFFFFFu)), -1, 1000},
      {"data cut short in the last piece", Riff(fmt + Chunk("data", samples, 1500)), -1, 1000},
      {"data cut short after a full piece",
       Riff(fmt + Chunk("data", AsString(Ramp(70000)), 140000)), -1, 65534 + 4466},
      {"empty data chunk", Riff(fmt + Chunk("data", "")), 0, 0},
      {"0 channels", withFormat(kRate, 0, 8), platform::kWaveBadFormat, 0},
      {"3 channels", withFormat(kRate, 3, 8), platform::kWaveBadFormat, 0},
      {"0 rate", withFormat(0, 1, 8), platform::kWaveBadFormat, 0},
      {"rate beyond 32-bit signed", withFormat(0xFFFFFFFFu, 1, 8), platform::kWaveBadFormat, 0},
      {"0 bits", withFormat(kRate, 1, 0), platform::kWaveBadFormat, 0},
      {"12 bits", withFormat(kRate, 1, 12), platform::kWaveBadFormat, 0},
      {"odd byte count of 16-bit data", Riff(Chunk("fmt ", FmtBody(kRate, 1, 16)) + Chunk("data", samples + "z")), 0,
       1001},
  };
  for (const BadFileCase& c : cases) {
    const std::string path = WriteWave("bad.wav", c.file);
    int result = -99;
    const sim::RunResult run = RunPlayer([&] { result = audio::WavPlayFile(path); });
    EXPECT_FALSE(run.stalled) << c.name;
    EXPECT_EQ(result, c.result) << c.name;
    EXPECT_EQ(sim::PlayedWaveBytes().size(), c.played < 256 && c.played > 0 ? 256 : c.played) << c.name;
    EXPECT_FALSE(platform::WaveOutIsOpen()) << c.name;
    if (c.result == platform::kWaveBadFormat) {
      EXPECT_TRUE(sim::WaveOutOpens().empty()) << c.name;
    }
  }
}

TEST_F(PlayFileTest, MissingFileGivesMinusOneAtOnce) {
  int result = -99;
  RunPlayer([&] { result = audio::WavPlayFile(Folder() + "/nothing.wav"); });
  EXPECT_EQ(result, -1);
  RunPlayer([&] { result = audio::WavPlayFile(Folder()); });
  EXPECT_EQ(result, -1);
}

TEST_F(PlayFileTest, RandomFilesNeverCrash) {
  const std::string header = Riff(Chunk("fmt ", FmtBody(kRate, 1, 8)));
  unsigned seed = 99;
  auto next = [&] {
    seed = seed * 1103515245u + 12345u;
    return seed >> 8;
  };
  for (int round = 0; round < 150; ++round) {
    std::string file(next() % 300, '\0');
    for (char& byte : file) byte = static_cast<char>(next());
    if (round % 3 != 0) file.replace(0, std::min(file.size(), header.size()), header.substr(0, file.size()));
    const std::string path = WriteWave("random.wav", file);
    int result = -99;
    const sim::RunResult run = RunPlayer([&] { result = audio::WavPlayFile(path); });
    EXPECT_FALSE(run.stalled) << round;
    EXPECT_TRUE(result == -1 || result == 0 || result == platform::kWaveBadFormat) << round << ": " << result;
  }
}

}  // namespace
