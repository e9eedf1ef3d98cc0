// What the user meets on the real desktop when things go wrong: the microphone unplugged, the
// sound server gone mid-run, the window closed during a measurement.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "desktop/desktop_rig.h"
#include "desktop/listening.h"
#include "desktop/tone_voice.h"
#include "platform/encoding.h"

namespace desktop {
namespace {

constexpr std::int64_t kExitTimeoutMs = 10000;
constexpr std::int64_t kNoServerEndMs = 30000;
constexpr std::int64_t kClosedEndMs = 3000;

std::string ErrorsOf(DesktopRig& rig, const std::string& name) {
  return platform::Utf8ToCp1252(rig.ProgramErrors(name));
}

class DesktopMicrophoneUnplugged : public ::testing::TestWithParam<const char*> {};

// With only monitors left the server still opens a "microphone" that records the speakers;
// the program must see that there is none.
TEST_P(DesktopMicrophoneUnplugged, FalaLevelReportsCodeTwoAndExitsWithOne) {
  DesktopRig rig;
  ASSERT_TRUE(rig.UnplugMicrophone()) << rig.LastError();
  Process fala = rig.StartProgram({FALA_PROGRAM, "level", "2"}, "fala", GetParam());
  // It shows the problem in its window and waits for Enter; the terminal is told at the end.
  ASSERT_TRUE(PressUntilEnd(rig, fala, "Return", 20000)) << rig.LastError();
  EXPECT_EQ(fala.ExitStatus(), 1) << DescribeStatus(fala.ExitStatus());
  EXPECT_NE(ErrorsOf(rig, "fala").find("Problemas, código 2\n"), std::string::npos) << rig.ProgramErrors("fala");
  EXPECT_EQ(platform::Utf8ToCp1252(rig.ProgramOutput("fala")).find("Nível:"), std::string::npos)
      << rig.ProgramOutput("fala");
}

INSTANTIATE_TEST_SUITE_P(Drivers, DesktopMicrophoneUnplugged, ::testing::Values("pulseaudio", "pipewire"));

TEST(DesktopMicrophoneUnpluggedAudival, SaysCodeTwoInsteadOfMeasuring) {
  DesktopRig rig;
  const ToneVoice voice = WriteToneVoice(rig.WindowsFolder());
  Listener listener(rig.Speakers(), voice);
  Process audival = rig.StartProgram({AUDIVAL_PROGRAM}, "audival");
  ASSERT_TRUE(WaitForPause(listener, "AVENTSIL")) << "heard " << Names(listener.Update());
  ASSERT_TRUE(rig.UnplugMicrophone()) << rig.LastError();
  ASSERT_TRUE(rig.PressKey(audival.Pid(), "Return")) << rig.LastError();
  ASSERT_TRUE(WaitForPause(listener, "_dois")) << "heard " << Names(listener.Update());
  ASSERT_TRUE(rig.PressKey(audival.Pid(), "Return")) << rig.LastError();
  const std::optional<int> status = audival.WaitForExit(kExitTimeoutMs);
  EXPECT_EQ(status, 0) << DescribeStatus(status) << "; stderr: " << rig.ProgramErrors("audival");
  EXPECT_EQ(RecordingsOf(listener.Update()),
            (std::vector<std::string>{"AVINIC", "AVRUIAMB", "AVENTSIL", "_dois"}));
}

enum class Moment { kMeasurement, kPrompt };

struct KillCase {
  Moment moment;
  const char* driver;  // SDL's pulseaudio driver hears of the server's end; its pipewire driver does not
};

void PrintTo(const KillCase& kill, std::ostream* out) {
  *out << (kill.moment == Moment::kMeasurement ? "measurement, " : "prompt, ") << kill.driver;
}

class DesktopSoundServerKilled : public ::testing::TestWithParam<KillCase> {};

// Without a server every later prompt and measurement fails, and each question still waits
// for its Enter: pressed every second, the run must come to its end.
TEST_P(DesktopSoundServerKilled, AudivalGoesOnToItsEnd) {
  DesktopRig rig;
  // Prompts of a second, so that one is surely playing when the server goes.
  ToneVoiceOptions options;
  options.promptSeconds = 1.0;
  const ToneVoice voice = WriteToneVoice(rig.WindowsFolder(), options);
  Listener listener(rig.Speakers(), voice);
  Process audival = rig.StartProgram({AUDIVAL_PROGRAM}, "audival", GetParam().driver);
  if (GetParam().moment == Moment::kPrompt) {
    ASSERT_TRUE(WaitToHear(listener, "AVRUIAMB")) << "heard " << Names(listener.Update());
  } else {
    ASSERT_TRUE(WaitForPause(listener, "AVENTSIL")) << "heard " << Names(listener.Update());
    ASSERT_TRUE(rig.FeedMicrophone(40)) << rig.LastError();
    ASSERT_TRUE(rig.PressKey(audival.Pid(), "Return")) << rig.LastError();
    ASSERT_TRUE(WaitForRecording(rig, audival.Pid()));
  }
  rig.KillSoundServer();
  const std::int64_t killedAt = NowMs();
  EXPECT_TRUE(PressUntilEnd(rig, audival, "Return", kNoServerEndMs))
      << "still running " << (NowMs() - killedAt) << " ms after the server went";
  EXPECT_EQ(audival.ExitStatus(), 0) << DescribeStatus(audival.ExitStatus())
                                     << "; stderr: " << rig.ProgramErrors("audival");
}

INSTANTIATE_TEST_SUITE_P(Moments, DesktopSoundServerKilled,
                         ::testing::Values(KillCase{Moment::kMeasurement, "pulseaudio"},
                                           KillCase{Moment::kMeasurement, "pipewire"},
                                           KillCase{Moment::kPrompt, "pulseaudio"},
                                           KillCase{Moment::kPrompt, "pipewire"}),
                         [](const ::testing::TestParamInfo<KillCase>& info) {
                           return std::string(info.param.moment == Moment::kMeasurement ? "DuringAMeasurement"
                                                                                         : "DuringAPrompt") +
                                  "_" + info.param.driver;
                         });

// Closing the window ends the program at once, even while it records.
TEST(DesktopWindowClosed, DuringAMeasurementEndsTheProgram) {
  DesktopRig rig;
  const ToneVoice voice = WriteToneVoice(rig.WindowsFolder());
  Listener listener(rig.Speakers(), voice);
  for (const std::string name : {"audival", "fala"}) {
    SCOPED_TRACE(name);
    Process program = name == "audival" ? rig.StartProgram({AUDIVAL_PROGRAM}, name)
                                        : rig.StartProgram({FALA_PROGRAM, "level", "20"}, name);
    if (name == "audival") {
      ASSERT_TRUE(WaitForPause(listener, "AVENTSIL")) << "heard " << Names(listener.Update());
      ASSERT_TRUE(rig.PressKey(program.Pid(), "Return")) << rig.LastError();
    }
    ASSERT_TRUE(WaitForRecording(rig, program.Pid()));
    ASSERT_TRUE(rig.CloseWindow(program.Pid())) << rig.LastError();
    const std::optional<int> status = program.WaitForExit(kClosedEndMs);
    EXPECT_EQ(status, 0) << DescribeStatus(status) << "; stderr: " << rig.ProgramErrors(name);
  }
}

}  // namespace
}  // namespace desktop
