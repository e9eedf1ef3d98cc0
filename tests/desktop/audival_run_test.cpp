// AUDIVAL on the real desktop, driven as a user drives it: keys typed into its window once a
// question has been said whole, a sine of known peak in the microphone during each
// measurement, and what it says checked on a recording of the speakers.
#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "desktop/desktop_rig.h"
#include "desktop/listening.h"
#include "desktop/tone_voice.h"

namespace desktop {
namespace {

constexpr std::int64_t kExitTimeoutMs = 10000;
// A recording heard whole lasts its own length, give or take the tracker's edges.
constexpr double kLengthTolerance = 0.025;

struct Levels {
  int ambient;
  int normal;
  int plosives;
};

void PrintTo(const Levels& levels, std::ostream* out) {
  *out << levels.ambient << ", " << levels.normal << ", " << levels.plosives;
}

// "1.234 s after AVINIC, ..." for messages: each moment with the recording heard last before it.
std::string Moments(const std::vector<double>& seconds, const std::vector<Heard>& heard) {
  std::string text;
  char moment[64];
  for (const double at : seconds) {
    std::string before = "the start";
    for (const Heard& sound : heard) {
      if (sound.start < at) before = sound.name;
    }
    std::snprintf(moment, sizeof moment, "%s%.3f s after %s", text.empty() ? "" : ", ", at, before.c_str());
    text += moment;
  }
  return text;
}

void Append(std::vector<std::string>& names, const std::vector<std::string>& more) {
  names.insert(names.end(), more.begin(), more.end());
}

// The recordings the script plays for these levels, in order: each result as its percentage
// in number words and its unit, and the grades the level (not the percentage) calls for.
std::vector<std::string> ExpectedRun(const Levels& levels) {
  const auto percent = [](int level) {
    std::vector<std::string> names = NumberRecordings(level * 100 / 128);
    names.push_back("AVPORCEN");
    return names;
  };
  std::vector<std::string> names = {"AVINIC", "AVRUIAMB", "AVENTSIL", "AVRUI2"};
  Append(names, percent(levels.ambient));
  names.push_back(levels.ambient <= 9 ? "AVEXEL" : levels.ambient <= 29 ? "AVNORMAL" : "AVMUIRUI");
  Append(names, {"AVENTNOR", "AVTESMIC", "AVVOLNOR"});
  Append(names, percent(levels.normal));
  if (levels.normal <= 29) names.push_back("AVMUIBAI");
  if (levels.normal >= 121) names.push_back("AVMUIALT");
  Append(names, {"AVENTFOR", "AVPPP", "AVVOLEXP"});
  Append(names, percent(levels.plosives));
  if (levels.plosives <= 29) names.push_back("AVMUIBAIX");
  if (levels.plosives >= 127) names.push_back("AVMUIALT");
  names.push_back("AVOKTERM");
  return names;
}

// Once `question` has been said whole: the sine of `peak` in the microphone, Enter, and the
// microphone silent again when `result` starts.
::testing::AssertionResult MeasureAfter(DesktopRig& rig, Listener& listener, Process& program,
                                        const std::string& question, int peak, const std::string& result) {
  if (!WaitForPause(listener, question)) {
    return ::testing::AssertionFailure() << question << " was not said whole; heard " << Names(listener.Update());
  }
  if (!rig.FeedMicrophone(peak)) return ::testing::AssertionFailure() << rig.LastError();
  if (!rig.PressKey(program.Pid(), "Return")) return ::testing::AssertionFailure() << rig.LastError();
  if (!WaitToHear(listener, result)) {
    return ::testing::AssertionFailure() << result << " never came; heard " << Names(listener.Update());
  }
  rig.StopFeed();
  return ::testing::AssertionSuccess();
}

class DesktopAudivalRun : public ::testing::TestWithParam<Levels> {};

TEST_P(DesktopAudivalRun, SaysEveryPromptWholeAndTheResultsTheLevelsCallFor) {
  const Levels levels = GetParam();
  DesktopRig rig;
  const ToneVoice voice = WriteToneVoice(rig.WindowsFolder());
  Listener listener(rig.Speakers(), voice);
  Process audival = rig.StartProgram({AUDIVAL_PROGRAM}, "audival");
  ASSERT_TRUE(audival.Started());

  ASSERT_TRUE(MeasureAfter(rig, listener, audival, "AVENTSIL", levels.ambient, "AVRUI2"));
  ASSERT_TRUE(MeasureAfter(rig, listener, audival, "AVTESMIC", levels.normal, "AVVOLNOR"));
  ASSERT_TRUE(MeasureAfter(rig, listener, audival, "AVPPP", levels.plosives, "AVVOLEXP"));
  ASSERT_TRUE(WaitForPause(listener, "AVOKTERM")) << "heard " << Names(listener.Update());
  ASSERT_TRUE(rig.PressKey(audival.Pid(), "Return")) << rig.LastError();
  const std::optional<int> status = audival.WaitForExit(kExitTimeoutMs);

  std::vector<Heard> heard;
  std::vector<double> unknown;
  for (const Heard& sound : listener.Update()) {
    if (sound.name == kUnknownSound) unknown.push_back(sound.start);
    if (sound.name != kUnknownSound) heard.push_back(sound);
  }
  EXPECT_EQ(NamesOf(heard), ExpectedRun(levels));
  EXPECT_EQ(Moments(unknown, heard), "") << "sounds that are no recording";
  EXPECT_EQ(Moments(listener.Clicks(kLoudestHeard), heard), "") << "clicks louder than any recording";
  for (const Heard& sound : heard) {
    EXPECT_NEAR(sound.seconds, voice.Seconds(sound.name), kLengthTolerance)
        << sound.name << " at " << sound.start << " s";
  }
  EXPECT_EQ(status, 0) << DescribeStatus(status) << "; stderr: " << rig.ProgramErrors("audival");
}

// Between them the levels reach both sides of every grade's limit.
INSTANTIATE_TEST_SUITE_P(Levels, DesktopAudivalRun,
                         ::testing::Values(Levels{5, 64, 128}, Levels{29, 29, 29}, Levels{30, 121, 126}),
                         [](const ::testing::TestParamInfo<Levels>& info) {
                           return "Ambient" + std::to_string(info.param.ambient) + "Normal" +
                                  std::to_string(info.param.normal) + "Plosives" +
                                  std::to_string(info.param.plosives);
                         });

TEST(DesktopAudivalEscape, AtTheFirstQuestionEndsTheProgramWithoutMeasuring) {
  DesktopRig rig;
  const ToneVoice voice = WriteToneVoice(rig.WindowsFolder());
  Listener listener(rig.Speakers(), voice);
  Process audival = rig.StartProgram({AUDIVAL_PROGRAM}, "audival");
  ASSERT_TRUE(WaitForPause(listener, "AVENTSIL")) << "heard " << Names(listener.Update());
  ASSERT_TRUE(rig.PressKey(audival.Pid(), "Escape")) << rig.LastError();
  const std::optional<int> status = audival.WaitForExit(kExitTimeoutMs);
  EXPECT_EQ(status, 0) << DescribeStatus(status) << "; stderr: " << rig.ProgramErrors("audival");
  EXPECT_EQ(RecordingsOf(listener.Update()), (std::vector<std::string>{"AVINIC", "AVRUIAMB", "AVENTSIL"}));
}

}  // namespace
}  // namespace desktop
