#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "desktop/process.h"
#include "desktop/tones.h"

// A private desktop for one test: a temporary folder with its own runtime folder and home, a
// session bus, a virtual X server with a cookie, a window manager, and a PipeWire sound server
// (with WirePlumber and its PulseAudio layer) whose speakers are a null sink, recorded from its
// monitor, and whose microphone is a remap source over a second null sink that a sine is
// played into. Everything it starts ends by process id when the rig goes away.
namespace desktop {

using SteadyTime = std::chrono::steady_clock::time_point;

constexpr int kSampleRate = 11025;

// What a sink's monitor plays, as 8-bit unsigned mono samples at 11 025 Hz, read from parec's
// standard output by a thread that notes when each piece arrived (and, when
// VERANTO_KEEP_DESKTOP is set, left in the error log's name + ".u8" at the end).
class Recorder {
 public:
  Recorder(const Environment& environment, const std::string& source, int latencyMs,
           const std::string& errorLog);
  ~Recorder();
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  bool Started() const { return parec_.Started(); }
  std::size_t Size() const;
  // Appends the samples from `from` on to `out`; the number of samples recorded so far.
  std::size_t CopyFrom(std::size_t from, Samples& out) const;
  // When the sample at `index` reached this process: the earliest time its arrivals allow
  // (a piece that arrives at t ends with a sample played no later than t). Nothing for a
  // sample not yet recorded.
  std::optional<SteadyTime> SampleTime(std::size_t index) const;
  int LatencyMs() const { return latencyMs_; }
  // How many pieces the samples came in.
  std::size_t Pieces() const;

 private:
  void Read();

  struct Arrival {
    std::size_t end;
    SteadyTime time;
  };
  mutable std::mutex mutex_;
  Samples samples_;
  std::vector<Arrival> arrivals_;
  int latencyMs_;
  std::string errorLog_;
  int readFd_ = -1;
  Process parec_;
  std::thread reader_;
};

struct ToolResult {
  std::optional<int> status;  // nothing: killed at its deadline
  std::string out;
  std::string err;
  bool Ok() const { return status && *status == 0; }
};

// A fresh folder under the temporary folder, removed with everything in it (kept, for a look
// at the logs, when VERANTO_KEEP_DESKTOP is set).
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

class DesktopRig {
 public:
  // Starts everything, the speakers' recorder with this latency; throws std::runtime_error
  // with the failing step's log when a part does not come up within its deadline.
  explicit DesktopRig(int recorderLatencyMs = 20);
  ~DesktopRig();
  DesktopRig(const DesktopRig&) = delete;
  DesktopRig& operator=(const DesktopRig&) = delete;

  const std::string& Folder() const { return folder_.Path(); }
  // The Windows folder (VERANTO_WINDIR) of the programs under test.
  std::string WindowsFolder() const { return Folder() + "/windir"; }

  // Starts a program under test with the desktop's environment, VERANTO_WINDIR and
  // VERANTO_DATA in the folder, SDL on X11, SDL_AUDIODRIVER set to `audioDriver` (unset when
  // empty); its output goes to Folder()/name.out and name.err.
  Process StartProgram(const std::vector<std::string>& arguments, const std::string& name,
                       const std::string& audioDriver = "");
  std::string ProgramOutput(const std::string& name) const;
  std::string ProgramErrors(const std::string& name) const;

  // Runs a helper program with the desktop's environment and waits for it, at most
  // `timeoutMs` (then it is killed).
  ToolResult RunTool(const std::vector<std::string>& arguments, std::int64_t timeoutMs = 10000);

  Recorder& Speakers() { return *speakers_; }

  // Plays a 110.25 Hz sine of this peak into the microphone, and returns once the server
  // plays it; a feed already running is stopped first.
  bool FeedMicrophone(int peak);
  void StopFeed();
  // Whether the server has an uncorked stream of this process: "source-outputs" (recording)
  // or "sink-inputs" (playing).
  bool HasStream(pid_t process, const std::string& kind);
  // Unloads the microphone's module and waits until the server's default source has changed.
  bool UnplugMicrophone();
  // Kills pipewire, then wireplumber and pipewire-pulse (and with them every client's stream).
  void KillSoundServer();

  // The program's top-level window (an X window id), waiting for it to appear.
  std::optional<std::string> ProgramWindow(pid_t program);
  // Activates the program's window and types a key (X key name: "Return", "Escape").
  bool PressKey(pid_t program, const std::string& key);
  bool PressKeyIn(const std::string& window, const std::string& key);
  // Asks the window manager to close the program's window, as its close button does.
  bool CloseWindow(pid_t program);

  const std::string& LastError() const { return lastError_; }

 private:
  std::string LogPath(const std::string& name) const { return Folder() + "/logs/" + name; }
  Process StartService(const std::vector<std::string>& arguments, const std::string& log,
                       const Environment& environment, int extraFd = -1);
  void StartBus();
  void StartDisplay();
  void StartWindowManager();
  void StartSoundServer();
  void AddDevices();
  std::string PactlField(const std::string& field);
  bool Fail(const std::string& message);

  // Members end in reverse order: the recorder and the feed before the server, the server
  // before the display and the bus, the folder last.
  TempFolder folder_;
  Environment baseEnvironment_;  // runtime folder, bus, home
  Environment xEnvironment_;     // and the display
  std::string display_;
  int microphoneModule_ = -1;
  std::string lastError_;
  Process bus_;
  Process xServer_;
  Process windowManager_;
  Process pipewire_;
  Process wireplumber_;
  Process pipewirePulse_;
  std::unique_ptr<Recorder> speakers_;
  Process feed_;
};

// The shell's view of a status for messages: "exit code 3", "killed by signal 9", "still running".
std::string DescribeStatus(const std::optional<int>& status);

}  // namespace desktop
