#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "audio/player/player.h"
#include "console/console.h"
#include "platform/sim/sim.h"
#include "platform/temp_folder.h"
#include "speech/diphone/synthesizer.h"
#include "speech/engines/dispatcher.h"
#include "speech/frontend/output/speech_output.h"
#include "support/wave_builder.h"

// A small diphone database, letter recordings and translator files written by the test into
// a temporary folder that VERANTO.INI points at, and the modules the voice plays through.
namespace diphone_test {

using Bytes = std::vector<std::uint8_t>;
using namespace test_support;

// Samples of a segment: a ramp that starts where the name says, so every segment differs
// and a wrong length or offset shows.
inline Bytes SegmentSamples(const std::string& name, std::size_t length) {
  std::uint32_t seed = 0;
  for (const char c : name) seed = seed * 31 + static_cast<std::uint8_t>(c);
  Bytes bytes(length);
  for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<std::uint8_t>(20 + (seed + i * 3) % 200);
  return bytes;
}

inline Bytes Silence(std::size_t count) { return Bytes(count, 128); }

inline Bytes Join(const std::vector<Bytes>& parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

inline Bytes Prefix(const Bytes& bytes, std::size_t count) {
  return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min(count, bytes.size())));
}

// One index record as the file holds it.
inline std::string IndexRecord(const std::string& name, std::uint32_t length, std::uint32_t offset,
                               int nameLength = -1) {
  std::string record(1, static_cast<char>(nameLength < 0 ? name.size() : nameLength));
  std::string padded = name.substr(0, 8);
  padded.resize(8, '\0');
  record += padded;
  Put16(record, length);
  Put32(record, offset);
  return record;
}

class SynthesizerTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    letters_ = Folder() + "/letras";
    diphones_ = Folder() + "/difones";
    WriteSettings("DIRLETRAS=" + letters_ + "\r\nDIRDIFONES=" + diphones_ + "\r\n");
    WriteFile("difones/regras.rgr", "(A)=a\r\n(B)=b\r\n");
    WriteFile("difones/portug.exc", "voce^=vose^\r\n");
    WriteFile("letras/.keep", "");
    diphone::DiphoneSetDatabase("TESTE");
    diphone::DiphoneSetCut(400);
    diphone::DiphoneSetFloor(0);
    diphone::DiphoneSetGap(100);
  }

  void TearDown() override {
    diphone::DiphoneClose();
    diphone::DiphoneSetOutputSink({});
    diphone::DiphoneSetDatabase("DIFONES2");
    diphone::DiphoneSetCut(400);
    diphone::DiphoneSetFloor(0);
    diphone::DiphoneSetGap(100);
    audio::PlayerStop();
    console::ConsoleStop();
    TempFolderTest::TearDown();
  }

  void WriteSettings(const std::string& tradutorKeys) { WriteFile("VERANTO.INI", "[TRADUTOR]\r\n" + tradutorKeys); }

  // Adds a segment of `length` bytes (its samples from SegmentSamples).
  void AddSegment(const std::string& name, std::size_t length) { segments_[name] = SegmentSamples(name, length); }
  const Bytes& Segment(const std::string& name) { return segments_.at(name); }

  // Writes TESTE.IND (sorted) and TESTE.DIF from the segments added so far.
  void WriteDatabase(const std::string& base = "difones/TESTE") {
    std::string index;
    std::string data;
    for (const auto& [name, samples] : segments_) {
      index += IndexRecord(name, static_cast<std::uint32_t>(samples.size()), static_cast<std::uint32_t>(data.size()));
      data += AsString(samples);
    }
    WriteFile(base + ".IND", index);
    WriteFile(base + ".DIF", data);
  }

  // A letter recording "_" + code + ".wav" with these samples.
  void WriteLetter(int code, const Bytes& samples) {
    WriteFile("letras/_" + std::to_string(code) + ".wav", WaveImage(11025, 1, 8, samples));
  }

  // Runs `body` on a fresh simulated machine with the modules the voice plays through.
  static sim::RunResult RunVoice(const std::function<void()>& body) {
    sim::Reset();
    console::ConsoleStart();
    audio::PlayerStart();
    engines::DispatcherStart();
    frontend::ResetSpeechOutput();
    return sim::Run(body);
  }

  // Opens the database, speaks `phonemes` and closes again, on the simulated machine.
  void Speak(const std::string& phonemes, bool keepPunctuation = false) {
    const sim::RunResult result = RunVoice([&] {
      ASSERT_EQ(diphone::DiphoneOpen(), diphone::kDiphoneReady);
      diphone::DiphoneSpeak(phonemes, keepPunctuation);
      diphone::DiphoneClose();
    });
    ASSERT_FALSE(result.stalled) << result.message;
  }

  std::string letters_;
  std::string diphones_;
  std::map<std::string, Bytes> segments_;
};

// What the device receives for one buffer of samples: the player makes the last byte of a
// piece silent and plays a piece shorter than 256 bytes as 256, padded with silence.
inline Bytes AsPlayed(Bytes samples) {
  if (!samples.empty()) samples.back() = 128;
  if (samples.size() < 256) samples.resize(256, 128);
  return samples;
}

// The blocks the device received, in order.
inline std::vector<Bytes> PlayedBlocks() {
  std::vector<Bytes> blocks;
  for (const sim::WaveBlockRecord& block : sim::WaveBlocks()) blocks.push_back(block.bytes);
  return blocks;
}

// Every played block is 8-bit mono at 11 025 Hz.
inline bool AllBlocksInVoiceFormat() {
  return std::all_of(sim::WaveBlocks().begin(), sim::WaveBlocks().end(), [](const sim::WaveBlockRecord& block) {
    return block.format.rate == 11025 && block.format.bits == 8 && block.format.channels == 1;
  });
}

}  // namespace diphone_test
