// The system speech backends against the real speech service and synthesizer library. The
// service runs headless: a configuration of its own sends its audio to libao's null driver,
// so texts end as they would through a sound card.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "audio/player/player.h"
#include "platform/system.h"
#include "speech/engines/dispatcher.h"
#include "speech/engines/sapi4_backend.h"
#include "speech/engines/sapi5_backend.h"
#include "support/file_bytes.h"
#include "support/find_program.h"

// Sanitizer settings for this program. The service's client library reads its voice list
// with strstr from the start each time, which under the sanitizer's strstr check takes
// minutes for the ten thousand voices. The leak check leaves alone what libraries keep:
// D-Bus's data, SDL's data for the client library's thread (which starts the event queue
// when it posts a notice), and the messages the client library builds with vasprintf when a
// connection fails (its frames carry no frame pointers to name them by), and the connection
// to a hung service, which is left open on purpose.
extern "C" const char* __asan_default_options() { return "intercept_strstr=0"; }
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libdbus-1.so\nleak:libSDL2\nleak:__vasprintf_internal\nleak:libspeechd.so\n";
}

namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kSpeechTimeoutMs = 20000;
constexpr std::int64_t kStartTimeoutMs = 10000;

// Sets environment variables for one test and puts them back afterwards.
class Environment {
 public:
  void Set(const char* name, const std::string& value) {
    const char* old = std::getenv(name);
    saved_.push_back({name, old != nullptr ? std::optional<std::string>(old) : std::nullopt});
    setenv(name, value.c_str(), 1);
  }
  ~Environment() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->second) {
        setenv(it->first, it->second->c_str(), 1);
      } else {
        unsetenv(it->first);
      }
    }
  }

 private:
  std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

// Waits in real time, up to `timeoutMs`, for `done`.
template <typename Done>
bool WaitFor(Done done, std::int64_t timeoutMs) {
  const std::int64_t start = platform::ClockMilliseconds();
  while (!done()) {
    if (platform::ClockMilliseconds() - start > timeoutMs) return false;
    platform::Sleep(20);
  }
  return true;
}

// A speech service of the test's own, started headless in a temporary home.
class SpeechServiceTest : public ::testing::Test {
 protected:
  // Audio to libao's null driver.
  virtual std::string AudioSettings() { return "AudioOutputMethod \"libao\"\n"; }
  virtual std::string ClientSettings() { return ""; }

  void SetUp() override {
    const std::optional<std::string> program = test_support::FindProgram("speech-dispatcher");
    if (!program) GTEST_SKIP() << "speech-dispatcher is not installed";
    std::string pattern = (fs::temp_directory_path() / "veranto-speechd-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    home_ = pattern;
    const fs::path config = home_ / "config" / "speech-dispatcher";
    const fs::path runtime = home_ / "run";
    fs::create_directories(config);
    fs::create_directories(runtime);
    chmod(runtime.c_str(), 0700);
    std::string settings;
    std::ifstream system("/etc/speech-dispatcher/speechd.conf", std::ios::binary);
    if (system) settings.assign(std::istreambuf_iterator<char>(system), {});
    // No service starting by itself once the test's is gone.
    settings += "\n" + AudioSettings() + ClientSettings() + "DisableAutoSpawn\n";
    std::ofstream(config / "speechd.conf", std::ios::binary) << settings;
    std::ofstream(home_ / ".libao", std::ios::binary) << "default_driver=null\n";
    environment_.Set("HOME", home_.string());
    environment_.Set("XDG_CONFIG_HOME", (home_ / "config").string());
    environment_.Set("XDG_RUNTIME_DIR", runtime.string());
    // The client library keeps the first runtime folder it saw for the rest of the process;
    // the address names this test's service directly.
    environment_.Set("SPEECHD_ADDRESS",
                     "unix_socket:" + (runtime / "speech-dispatcher" / "speechd.sock").string());
    pidFile_ = home_ / "speechd.pid";
    const std::string command = *program + " -d -t 60 -P " + pidFile_.string() +
                                " > " + (home_ / "speechd.out").string() + " 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const fs::path socket = runtime / "speech-dispatcher" / "speechd.sock";
    ASSERT_TRUE(WaitFor([&] { return fs::exists(socket) && ServerPid() > 0; }, kStartTimeoutMs))
        << "the speech service did not start";
    engines::DispatcherStart();
  }

  void TearDown() override {
    StopServer();
    std::error_code ignored;
    if (!home_.empty()) fs::remove_all(home_, ignored);
  }

  int ServerPid() const {
    std::ifstream file(pidFile_);
    int pid = 0;
    file >> pid;
    return pid;
  }

  // Asks the service to end; one that takes too long is killed.
  void StopServer() {
    const int pid = ServerPid();
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    if (!WaitFor([pid] { return kill(pid, 0) != 0; }, kStartTimeoutMs)) CrashServer();
  }

  void CrashServer() {
    const int pid = ServerPid();
    if (pid <= 0) return;
    kill(pid, SIGKILL);
    WaitFor([pid] { return kill(pid, 0) != 0; }, kStartTimeoutMs);
  }

  // Asks EngineBusy until it answers false; false when that takes longer than the timeout.
  static bool WaitForSpeechEnd() {
    return WaitFor([] { return !engines::EngineBusy(0); }, kSpeechTimeoutMs);
  }

 private:
  fs::path home_;
  fs::path pidFile_;
  Environment environment_;
};

TEST_F(SpeechServiceTest, BothBindingsSpeakATextAndReceiveItsEnd) {
  for (const std::int32_t type : {5, 54}) {
    SCOPED_TRACE(type);
    std::vector<engines::ServiceVoice> voices;
    ASSERT_TRUE(engines::Sapi5Voices(type, voices));
    ASSERT_FALSE(voices.empty());
    ASSERT_TRUE(engines::EngineOpen(1, 3, 0, type, ""));
    engines::EngineSpeak("Um, dois, três: o teste do microfone.");
    engines::EngineSpeak("");
    EXPECT_TRUE(WaitForSpeechEnd()) << "the service never reported the end";
    engines::EngineClose();
  }
}

TEST_F(SpeechServiceTest, StopEndsALongTextAtOnce) {
  ASSERT_TRUE(engines::EngineOpen(1, 0, 0, 5, ""));
  std::string text;
  for (int k = 0; k < 200; ++k) text += "uma frase longa para falar devagar, ";
  engines::EngineSpeak(text);
  engines::EngineSpeak(text);
  engines::EngineStop();
  EXPECT_TRUE(WaitFor([] { return !engines::EngineBusy(0); }, 3000));
  engines::EngineClose();
}

TEST_F(SpeechServiceTest, AServiceThatDiesMidSpeechEndsBusyInsteadOfHanging) {
  ASSERT_TRUE(engines::EngineOpen(1, -10, 0, 5, ""));
  std::string text;
  for (int k = 0; k < 500; ++k) text += "uma frase longa para falar devagar, ";
  engines::EngineSpeak(text);
  CrashServer();
  EXPECT_TRUE(WaitFor([] { return !engines::EngineBusy(0); }, 3000));
  engines::EngineSpeak("depois");  // refused: a beep, nothing else
  engines::EngineClose();
  EXPECT_FALSE(engines::EngineOpen(1, 0, 0, 5, "")) << "no service, no voice";
}

// A client section for type 54 alone, as the README shows it.
class SpeechServiceClientSectionTest : public SpeechServiceTest {
  std::string ClientSettings() override {
    return "BeginClient \"*:veranto:sapi54*\"\n DefaultModule \"dummy\"\nEndClient\n";
  }
};

// The voice list is the output module's: type 54 lists the other module's voices.
TEST_F(SpeechServiceClientSectionTest, GivesTypeFiftyFourItsOwnOutputModule) {
  std::vector<engines::ServiceVoice> five;
  std::vector<engines::ServiceVoice> fiftyFour;
  ASSERT_TRUE(engines::Sapi5Voices(5, five));
  engines::Sapi5Voices(54, fiftyFour);
  EXPECT_GT(five.size(), 100u) << "espeak-ng's voices";
  EXPECT_LT(fiftyFour.size(), 10u) << "the dummy module's voices";
}

// A service whose audio output fails: it takes texts and never reports on them.
class SpeechServiceWithoutSoundTest : public SpeechServiceTest {
 protected:
  std::string AudioSettings() override { return "AudioOutputMethod \"pulse\"\n"; }
  void SetUp() override {
    environment_.Set("PULSE_SERVER", "unix:/nonexistent/veranto-no-sound");
    SpeechServiceTest::SetUp();
  }
  Environment environment_;
};

TEST_F(SpeechServiceWithoutSoundTest, SpeakBusyStopAndCloseAllReturn) {
  constexpr std::int64_t kBoundMs = engines::kSapi5StartTimeoutMs + kStartTimeoutMs;
  ASSERT_TRUE(engines::EngineOpen(1, 0, 0, 5, ""));
  engines::EngineSpeak("Um, dois, três.");
  engines::EngineSpeak("Quatro.");
  EXPECT_TRUE(WaitFor([] { return !engines::EngineBusy(0); }, kBoundMs));
  engines::EngineSpeak("Cinco.");
  engines::EngineStop();
  EXPECT_FALSE(engines::EngineBusy(0));
  engines::EngineSpeak("Seis.");
  std::int64_t start = platform::ClockMilliseconds();
  engines::EngineClose();
  EXPECT_LT(platform::ClockMilliseconds() - start, kBoundMs);
  // The service no longer answers at all: the other binding does not open, and says so soon.
  start = platform::ClockMilliseconds();
  EXPECT_FALSE(engines::EngineOpen(1, 0, 0, 54, ""));
  EXPECT_LT(platform::ClockMilliseconds() - start, kBoundMs);
}

// Through the player on SDL's dummy audio driver, which plays in real time.
TEST(SynthesizerLibrary, SpeakReturnsAtOnceAndTheSpeechPlaysToItsEnd) {
  Environment environment;
  environment.Set("SDL_AUDIODRIVER", "dummy");
  environment.Set("SDL_VIDEODRIVER", "dummy");
  engines::DispatcherStart();
  audio::PlayerStart();
  audio::SetKeyInterrupt(false);
  ASSERT_TRUE(engines::EngineOpen(0, 0, 0, 4, ""));
  std::string text;
  for (int k = 0; k < 4; ++k) text += "Um, dois, três: o teste do microfone terminou bem. ";
  const std::int64_t start = platform::ClockMilliseconds();
  engines::EngineSpeak(text);
  const std::int64_t returned = platform::ClockMilliseconds() - start;
  EXPECT_TRUE(WaitFor([] { return !engines::EngineBusy(0); }, kSpeechTimeoutMs));
  const std::int64_t ended = platform::ClockMilliseconds() - start;
  engines::EngineClose();
  audio::PlayerStop();
  // About 36 words at 175 a minute: some ten seconds of speech, played in real time however
  // loaded the machine is, of which speak waits only for the first sound.
  EXPECT_GT(ended, 6000);
  EXPECT_LT(returned * 10, ended);
}

TEST(SynthesizerLibrary, EachOpenStartsFromTheDefaultSpeed) {
  const fs::path file = fs::temp_directory_path() / ("veranto-speed-" + std::to_string(getpid()) + ".wav");
  const std::string path = file.string();
  engines::DispatcherStart();
  audio::SetKeyInterrupt(false);
  std::size_t bytes[3] = {};
  const std::int32_t speeds[3] = {0, 450, 0};
  for (int k = 0; k < 3; ++k) {
    ASSERT_TRUE(engines::EngineOpen(0, speeds[k], 0, 4, path));
    engines::EngineSpeak("Um, dois, três: o teste do microfone.");
    engines::EngineClose();
    bytes[k] = test_support::ReadFileBytes(path).size();
  }
  std::remove(path.c_str());
  EXPECT_LT(bytes[1] * 2, bytes[0]) << "450 words a minute is faster";
  // Within a twentieth: the library's pauses vary a little from one use to the next.
  EXPECT_NEAR(static_cast<double>(bytes[2]), static_cast<double>(bytes[0]), bytes[0] / 20.0);
}

TEST(SynthesizerLibrary, WritesATextToAWaveFileOfPlausibleLength) {
  std::vector<engines::ServiceVoice> voices;
  ASSERT_TRUE(engines::Sapi4Voices(voices));
  ASSERT_FALSE(voices.empty());
  std::int32_t brazilian = 1;
  for (std::size_t k = 0; k < voices.size(); ++k) {
    if (voices[k].language == "pt-br") brazilian = static_cast<std::int32_t>(k + 1);
  }
  const fs::path path = fs::temp_directory_path() / ("veranto-sapi4-" + std::to_string(getpid()) + ".wav");
  engines::DispatcherStart();
  // No console here to look for a waiting key in.
  audio::SetKeyInterrupt(false);
  ASSERT_TRUE(engines::EngineOpen(brazilian, 175, 0, 4, path.string()));
  engines::EngineSpeak("Um, dois, três: o teste do microfone.");
  engines::EngineSpeak("7");
  EXPECT_FALSE(engines::EngineBusy(0));
  engines::EngineClose();
  const std::string bytes = test_support::ReadFileBytes(path.string());
  std::error_code ignored;
  fs::remove(path, ignored);
  ASSERT_GT(bytes.size(), 44u);
  EXPECT_EQ(bytes.substr(0, 4), "RIFF");
  EXPECT_EQ(bytes.substr(8, 4), "WAVE");
  const std::uint32_t rate = test_support::LittleEndianField(bytes, 24, 4);
  const std::uint32_t dataBytes = test_support::LittleEndianField(bytes, 40, 4);
  EXPECT_EQ(dataBytes, bytes.size() - 44);
  ASSERT_GT(rate, 0u);
  // About eight words and a number at 175 words per minute: between 1.5 and 8 seconds.
  const double seconds = dataBytes / 2.0 / rate;
  EXPECT_GT(seconds, 1.5);
  EXPECT_LT(seconds, 8.0);
}

}  // namespace
