// `fala level` on the real desktop: what it prints for a sine of known peak played into the
// microphone, through each of SDL's two drivers for the sound server.
#include <gtest/gtest.h>

#include <string>

#include "desktop/desktop_rig.h"
#include "desktop/listening.h"
#include "platform/encoding.h"

namespace desktop {
namespace {

constexpr std::int64_t kResultTimeoutMs = 20000;

class DesktopFalaLevel : public ::testing::TestWithParam<const char*> {};

// The level is the largest |sample - 128| of what was recorded, so a sine of peak L reads L.
TEST_P(DesktopFalaLevel, ReadsExactlyThePeakFedIn) {
  DesktopRig rig;
  for (const int peak : {1, 29, 30, 64, 120, 121, 128}) {
    SCOPED_TRACE("peak " + std::to_string(peak));
    ASSERT_TRUE(rig.FeedMicrophone(peak)) << rig.LastError();
    const std::string name = "fala-level-" + std::to_string(peak);
    Process fala = rig.StartProgram({FALA_PROGRAM, "level", "2"}, name, GetParam());
    ASSERT_TRUE(fala.Started());
    // It ends by itself once the level is printed.
    const std::optional<int> status = fala.WaitForExit(kResultTimeoutMs);
    const std::string expected =
        "Nível: " + std::to_string(peak) + " de 128 (" + std::to_string(peak * 100 / 128) + " por cento)\n";
    EXPECT_EQ(platform::Utf8ToCp1252(rig.ProgramOutput(name)), expected);
    EXPECT_EQ(status, 0) << DescribeStatus(status) << "; stderr: " << rig.ProgramErrors(name);
  }
}

INSTANTIATE_TEST_SUITE_P(Drivers, DesktopFalaLevel, ::testing::Values("pulseaudio", "pipewire"));

}  // namespace
}  // namespace desktop
