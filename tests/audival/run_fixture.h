#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "audival/program_start.h"
#include "audival/sim_script.h"
#include "audival/sound_log.h"
#include "audival/test_run.h"
#include "console/console.h"
#include "platform/keys.h"
#include "platform/sim/sim.h"
#include "support/voice_fixture.h"

// The whole test run on the simulated machine with a tiny voice installation: scripted keys
// and microphone in, the final screen and the names of the recordings heard out.
namespace audival_test {

constexpr platform::Rgb kYellow{255, 255, 0};
constexpr platform::Rgb kLightGrey{192, 192, 192};

// A key pressed when the program waits for an answer, and one pressed at a virtual time.
inline audival::KeyPress Answer(int virtualKey) { return {virtualKey, -1}; }
inline audival::KeyPress At(std::int64_t ms, int virtualKey) { return {virtualKey, ms}; }

struct Levels {
  int ambient = 0;
  int speech = 0;
  int plosives = 0;
};

class TestRunTest : public test_support::VoiceFixtureTest {
 protected:
  void SetUp() override {
    VoiceFixtureTest::SetUp();
    sim::Reset();
  }
  void TearDown() override {
    CleanUp();
    VoiceFixtureTest::TearDown();
  }

  // Ends a run's modules before the next run of the same test.
  static void CleanUp() {
    audival::ProgramStop();
    sim::ClearWaveFaults();
  }

  // Every buffer of each measurement peaks at that measurement's level.
  void SetLevels(const Levels& levels) const {
    std::string error;
    const std::string script = std::to_string(levels.ambient) + " " + std::to_string(levels.speech) + " " +
                               std::to_string(levels.plosives);
    ASSERT_TRUE(audival::SetMicrophoneScript(script, Folder() + "/microfone.wav", error)) << error;
  }

  // Runs the program on a fresh machine (`prepare` scripts it) to its end, or to a wait that
  // no key answers, then reads the screen and names what was played.
  sim::RunResult RunProgram(const std::vector<audival::KeyPress>& keys, const std::function<void()>& prepare) {
    CleanUp();
    sim::Reset();
    prepare();
    audival::ScheduleKeys(keys);
    const sim::RunResult result = sim::Run([] {
      audival::ProgramStart();
      audival::RunMicrophoneTest();
    });
    rows_.clear();
    for (int row = 0; row < console::Rows(); ++row) rows_.push_back(sim::ScreenRow(row));
    std::vector<audival::Recording> recordings = audival::LoadRecordings(Voice().prompts);
    for (audival::Recording& r : audival::LoadRecordings(Voice().letters)) recordings.push_back(std::move(r));
    heard_ = audival::RecogniseSounds(sim::WaveBlocks(), recordings);
    return result;
  }

  const std::vector<std::string>& Rows() const { return rows_; }
  const std::vector<audival::HeardSound>& Sounds() const { return heard_; }

  // The names of the sounds heard, " (cut)" added to those stopped early, "?" for others.
  std::vector<std::string> Heard() const {
    std::vector<std::string> names;
    for (const audival::HeardSound& sound : heard_) {
      names.push_back(sound.name.empty() ? "?" : sound.name + (sound.cut ? " (cut)" : ""));
    }
    return names;
  }

  // The names heard from the first `from` on, up to (not including) the first `to` after it.
  std::vector<std::string> HeardBetween(const std::string& from, const std::string& to) const {
    const std::vector<std::string> names = Heard();
    std::vector<std::string> part;
    bool inside = false;
    for (const std::string& name : names) {
      if (inside && name == to) break;
      if (name == from) inside = true;
      if (inside) part.push_back(name);
    }
    return part;
  }

  // The first screen row that begins with `prefix`, or -1.
  int RowOf(const std::string& prefix) const {
    for (int row = 0; row < static_cast<int>(rows_.size()); ++row) {
      if (rows_[row].rfind(prefix, 0) == 0) return row;
    }
    return -1;
  }
  std::string RowAfter(const std::string& prefix, int offset = 1) const {
    const int row = RowOf(prefix);
    if (row < 0 || row + offset >= static_cast<int>(rows_.size())) return "<none>";
    return rows_[row + offset];
  }

 private:
  std::vector<std::string> rows_;
  std::vector<audival::HeardSound> heard_;
};

}  // namespace audival_test
