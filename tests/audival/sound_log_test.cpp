// Naming the played sound after the recordings it was made of, as the player hands them to
// the device: joined in one block, ended on silence, padded, cut by a key.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audival/sound_log.h"
#include "support/voice_fixture.h"

namespace {

using test_support::Bytes;
using test_support::RecordingSamples;

constexpr platform::WaveFormat kFormat{11025, 8, 1};

// A block as the simulated device records it, starting at `startMs`.
sim::WaveBlockRecord Block(const Bytes& bytes, double startMs, int played = -1) {
  sim::WaveBlockRecord block;
  block.format = kFormat;
  block.bytes = bytes;
  block.startMs = startMs;
  block.playedLength = played < 0 ? static_cast<int>(bytes.size()) : played;
  block.cut = played >= 0;
  block.endMs = startMs + block.playedLength * 1000.0 / 11025;
  return block;
}

// What the player writes for a piece that does not fill a block: its last byte silenced, and
// silence up to 256 bytes.
Bytes AsPlayed(Bytes bytes) {
  bytes.back() = 128;
  if (bytes.size() < 256) bytes.resize(256, 128);
  return bytes;
}

Bytes Join(const std::vector<Bytes>& parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

std::vector<audival::Recording> Recordings(const std::vector<std::pair<std::string, Bytes>>& list) {
  std::vector<audival::Recording> recordings;
  for (const auto& [name, samples] : list) recordings.push_back({name, samples});
  return recordings;
}

std::vector<std::string> Names(const std::vector<audival::HeardSound>& sounds) {
  std::vector<std::string> names;
  for (const auto& sound : sounds) names.push_back(sound.name.empty() ? "?" : sound.name + (sound.cut ? " (cut)" : ""));
  return names;
}

TEST(SoundLog, NamesRecordingsJoinedInOneBlockWithTheirTimes) {
  const Bytes vinte = RecordingSamples("_vinte", 551);
  const Bytes e = RecordingSamples("_e", 200);
  const Bytes tres = RecordingSamples("_tres", 100);
  const auto recordings = Recordings({{"_e", e}, {"_tres", tres}, {"_vinte", vinte}});

  // One buffer of three words, then a prompt-sized piece of its own, a second later.
  const auto sounds = audival::RecogniseSounds(
      {Block(AsPlayed(Join({vinte, e, tres})), 0), Block(AsPlayed(tres), 1000)}, recordings);

  EXPECT_EQ(Names(sounds), (std::vector<std::string>{"_vinte", "_e", "_tres", "_tres"}));
  ASSERT_EQ(sounds.size(), 4u);
  EXPECT_DOUBLE_EQ(sounds[1].startMs, 551 * 1000.0 / 11025);
  EXPECT_DOUBLE_EQ(sounds[2].endMs, 851 * 1000.0 / 11025);
  EXPECT_DOUBLE_EQ(sounds[3].startMs, 1000);
}

TEST(SoundLog, ARecordingStoppedByAKeyIsCut) {
  const Bytes prompt = RecordingSamples("AVENTSIL", 20000);
  const Bytes next = RecordingSamples("AVRUI2", 3000);
  const auto recordings = Recordings({{"AVENTSIL", prompt}, {"AVRUI2", next}});

  const auto sounds = audival::RecogniseSounds(
      {Block(AsPlayed(prompt), 0, 5000), Block(AsPlayed(next), 2000)}, recordings);

  EXPECT_EQ(Names(sounds), (std::vector<std::string>{"AVENTSIL (cut)", "AVRUI2"}));
  ASSERT_EQ(sounds.size(), 2u);
  EXPECT_DOUBLE_EQ(sounds[0].endMs, 5000 * 1000.0 / 11025);
}

TEST(SoundLog, TheLongestExactMatchWinsAndOtherSoundIsReportedApart) {
  const Bytes whole = RecordingSamples("AVMUIBAIX", 900);
  const Bytes prefix(whole.begin(), whole.begin() + 300);
  const Bytes noise = RecordingSamples("diphone speech", 400);
  const auto recordings = Recordings({{"AVMUIBAI", prefix}, {"AVMUIBAIX", whole}});

  // The longer recording; then the shorter one followed by sound that is neither, after a
  // stretch of silence that is not reported at all.
  const auto sounds = audival::RecogniseSounds(
      {Block(AsPlayed(whole), 0), Block(Bytes(1000, 128), 200), Block(AsPlayed(Join({prefix, noise})), 400)},
      recordings);

  EXPECT_EQ(Names(sounds), (std::vector<std::string>{"AVMUIBAIX", "AVMUIBAI", "?"}));
  ASSERT_EQ(sounds.size(), 3u);
  EXPECT_NEAR(sounds[2].endMs - sounds[2].startMs, 399 * 1000.0 / 11025, 0.2);  // the last byte is silenced
}

TEST(SoundLog, ARecordingThatBeginsInSilenceIsNamedFromItsStart) {
  // Both recordings open with the same silence; only what follows tells them apart.
  Bytes quiet(2000, 128);
  Bytes first = quiet;
  Bytes second = quiet;
  const Bytes a = RecordingSamples("AVINIC", 500);
  const Bytes b = RecordingSamples("AVRUIAMB", 500);
  first.insert(first.end(), a.begin(), a.end());
  second.insert(second.end(), b.begin(), b.end());
  const auto recordings = Recordings({{"AVINIC", first}, {"AVRUIAMB", second}});

  // Silence of its own before the second one: it is not taken as part of either.
  Bytes played = Join({Bytes(3000, 128), second});
  const auto sounds = audival::RecogniseSounds({Block(AsPlayed(first), 0), Block(AsPlayed(played), 1000)}, recordings);

  EXPECT_EQ(Names(sounds), (std::vector<std::string>{"AVINIC", "AVRUIAMB"}));
  ASSERT_EQ(sounds.size(), 2u);
  EXPECT_DOUBLE_EQ(sounds[0].startMs, 0);
  EXPECT_DOUBLE_EQ(sounds[1].startMs, 1000 + 3000 * 1000.0 / 11025);
}

}  // namespace
