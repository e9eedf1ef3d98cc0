#include "desktop/desktop_rig.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "support/file_bytes.h"
#include "support/wave_builder.h"

namespace desktop {
namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kStartTimeoutMs = 15000;
constexpr double kFeedFrequency = 110.25;  // 100 samples a period: the crest is sampled
constexpr double kFeedSeconds = 40.0;
constexpr const char* kSpeakers = "speakers";
constexpr const char* kFeedSink = "mic_feed";
constexpr const char* kMicrophone = "microphone";

// What the desktop the tests run in may have set and the rig sets for itself (or leaves
// unset on purpose), so nothing reaches a desktop outside the rig.
const std::vector<std::string> kOwnVariables = {
    "DISPLAY", "XAUTHORITY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR", "DBUS_SESSION_BUS_ADDRESS",
    "HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME",
    "PULSE_SERVER", "PULSE_SINK", "PULSE_SOURCE", "PULSE_RUNTIME_PATH", "PULSE_COOKIE",
    "PIPEWIRE_REMOTE", "PIPEWIRE_RUNTIME_DIR", "PIPEWIRE_CORE", "SDL_AUDIODRIVER",
    "SDL_VIDEODRIVER", "AUDIODEV", "VERANTO_WINDIR", "VERANTO_DATA", "VERANTO_VOICE",
    "LSAN_OPTIONS", "SPEECHD_ADDRESS"};

// The last lines of a log, for a message.
std::string Tail(const std::string& path, std::size_t lines = 15) {
  const std::string text = test_support::ReadFileBytes(path);
  std::size_t at = text.size();
  for (std::size_t n = 0; n <= lines && at > 0; ++n) {
    const std::size_t found = text.rfind('\n', at - 1);
    at = found == std::string::npos ? 0 : found;
  }
  return "\n" + text.substr(at);
}

std::string RandomHex(std::size_t bytes) {
  std::random_device device;
  std::string hex;
  char digits[3];
  for (std::size_t k = 0; k < bytes; ++k) {
    std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned>(device() & 0xFF));
    hex += digits;
  }
  return hex;
}

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

// The blocks of a `pactl list` output, each from its header line to the next.
std::vector<std::string> Blocks(const std::string& list, const std::string& header) {
  std::vector<std::string> blocks;
  std::size_t at = list.find(header);
  while (at != std::string::npos) {
    const std::size_t next = list.find(header, at + 1);
    blocks.push_back(list.substr(at, next == std::string::npos ? std::string::npos : next - at));
    at = next;
  }
  return blocks;
}

}  // namespace

Recorder::Recorder(const Environment& environment, const std::string& source, int latencyMs,
                   const std::string& errorLog)
    : latencyMs_(latencyMs), errorLog_(errorLog) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return;
  readFd_ = fds[0];
  ProcessOptions options;
  options.arguments = {"parec", "-d", source, "--format=u8", "--rate=11025", "--channels=1", "--raw",
                       "--latency-msec=" + std::to_string(latencyMs)};
  options.environment = environment;
  options.stdoutFd = fds[1];
  options.stderrPath = errorLog;
  parec_ = Process(options);
  close(fds[1]);
  reader_ = std::thread([this] { Read(); });
}

Recorder::~Recorder() {
  parec_.Stop();
  if (reader_.joinable()) reader_.join();
  if (readFd_ >= 0) close(readFd_);
  if (std::getenv("VERANTO_KEEP_DESKTOP") != nullptr && !errorLog_.empty()) {
    std::ofstream(errorLog_ + ".u8", std::ios::binary)
        .write(reinterpret_cast<const char*>(samples_.data()), static_cast<std::streamsize>(samples_.size()));
  }
}

void Recorder::Read() {
  std::uint8_t buffer[4096];
  for (;;) {
    const ssize_t count = read(readFd_, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return;
    const SteadyTime now = std::chrono::steady_clock::now();
    std::lock_guard<std::mutex> lock(mutex_);
    samples_.insert(samples_.end(), buffer, buffer + count);
    arrivals_.push_back({samples_.size(), now});
  }
}

std::size_t Recorder::Size() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return samples_.size();
}

std::size_t Recorder::Pieces() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return arrivals_.size();
}

std::size_t Recorder::CopyFrom(std::size_t from, Samples& out) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (from < samples_.size()) out.insert(out.end(), samples_.begin() + from, samples_.end());
  return samples_.size();
}

std::optional<SteadyTime> Recorder::SampleTime(std::size_t index) const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::optional<SteadyTime> earliest;
  const auto first = std::upper_bound(arrivals_.begin(), arrivals_.end(), index,
                                      [](std::size_t value, const Arrival& arrival) { return value < arrival.end; });
  // Arrivals within two seconds of the sample bound it; later ones add only clock drift.
  for (auto it = first; it != arrivals_.end() && it->end - index <= 2 * kSampleRate; ++it) {
    const auto played = std::chrono::duration_cast<SteadyTime::duration>(
        std::chrono::duration<double>(static_cast<double>(it->end - 1 - index) / kSampleRate));
    const SteadyTime time = it->time - played;
    if (!earliest || time < *earliest) earliest = time;
  }
  return earliest;
}

TempFolder::TempFolder() {
  std::string pattern = (fs::temp_directory_path() / "veranto-desktop-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a temporary folder");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  if (std::getenv("VERANTO_KEEP_DESKTOP") != nullptr) {
    std::fprintf(stderr, "desktop folder kept: %s\n", path_.c_str());
    return;
  }
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

DesktopRig::DesktopRig(int recorderLatencyMs) {
  for (const char* folder : {"run", "home", "data", "logs", "windir"}) fs::create_directories(Folder() + "/" + folder);
  const std::string runtime = Folder() + "/run";
  chmod(runtime.c_str(), 0700);
  baseEnvironment_ = DerivedEnvironment(kOwnVariables, {"XDG_RUNTIME_DIR=" + runtime, "HOME=" + Folder() + "/home",
                                                        "DBUS_SESSION_BUS_ADDRESS=unix:path=" + runtime + "/bus"});
  StartBus();
  StartDisplay();
  StartWindowManager();
  StartSoundServer();
  AddDevices();
  speakers_ = std::make_unique<Recorder>(baseEnvironment_, std::string(kSpeakers) + ".monitor",
                                         recorderLatencyMs, LogPath("parec.log"));
  if (!WaitUntil([this] { return speakers_->Size() > 0; }, kStartTimeoutMs)) {
    throw std::runtime_error("the speakers' monitor records nothing:" + Tail(LogPath("parec.log")));
  }
}

DesktopRig::~DesktopRig() {
  // The programs' clients go before their servers: feed and recorder, then the sound server
  // in the reverse order of its start, then the window manager, the display and the bus.
  feed_.Stop();
  speakers_.reset();
  pipewirePulse_.Stop();
  wireplumber_.Stop();
  pipewire_.Stop();
  windowManager_.Stop();
  xServer_.Stop();
  bus_.Stop();
}

Process DesktopRig::StartService(const std::vector<std::string>& arguments, const std::string& log,
                                 const Environment& environment, int extraFd) {
  ProcessOptions options;
  options.arguments = arguments;
  options.environment = environment;
  options.stdoutPath = LogPath(log);
  options.stderrPath = LogPath(log);
  options.extraFd = extraFd;
  Process process(options);
  if (!process.Started()) throw std::runtime_error("cannot start " + arguments[0]);
  return process;
}

void DesktopRig::StartBus() {
  const std::string socket = Folder() + "/run/bus";
  bus_ = StartService({"dbus-daemon", "--session", "--address=unix:path=" + socket, "--nofork"}, "dbus.log",
                      baseEnvironment_);
  if (!WaitUntil([&] { return fs::exists(socket); }, kStartTimeoutMs)) {
    throw std::runtime_error("the session bus did not start:" + Tail(LogPath("dbus.log")));
  }
}

void DesktopRig::StartDisplay() {
  const std::string cookieFile = Folder() + "/xauthority";
  const std::string cookie = RandomHex(16);
  // The server accepts every cookie in its file, whatever display an entry names; a client
  // uses the entry of its display, written once the server has said which one it took.
  if (!RunTool({"xauth", "-f", cookieFile, "add", ":0", ".", cookie}).Ok()) {
    throw std::runtime_error("xauth cannot write the cookie file");
  }
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
  xServer_ = StartService({"Xvfb", "-displayfd", "3", "-auth", cookieFile, "-nolisten", "tcp", "-screen", "0",
                           "1024x768x24"},
                          "xvfb.log", baseEnvironment_, fds[1]);
  close(fds[1]);
  std::string number;
  const std::int64_t deadline = NowMs() + kStartTimeoutMs;
  while (number.find('\n') == std::string::npos && NowMs() < deadline) {
    pollfd wait{fds[0], POLLIN, 0};
    if (poll(&wait, 1, 100) <= 0) continue;
    char buffer[16];
    const ssize_t count = read(fds[0], buffer, sizeof buffer);
    if (count <= 0) break;
    number.append(buffer, static_cast<std::size_t>(count));
  }
  close(fds[0]);
  number = FirstLine(number);
  if (number.empty()) throw std::runtime_error("Xvfb gave no display:" + Tail(LogPath("xvfb.log")));
  display_ = ":" + number;
  if (!RunTool({"xauth", "-f", cookieFile, "add", display_, ".", cookie}).Ok()) {
    throw std::runtime_error("xauth cannot add the display's cookie");
  }
  xEnvironment_ = baseEnvironment_;
  xEnvironment_.push_back("DISPLAY=" + display_);
  xEnvironment_.push_back("XAUTHORITY=" + cookieFile);
}

void DesktopRig::StartWindowManager() {
  windowManager_ = StartService({"openbox", "--sm-disable"}, "openbox.log", xEnvironment_);
  if (!WaitUntil([this] { return RunTool({"wmctrl", "-m"}).Ok(); }, kStartTimeoutMs, 50)) {
    throw std::runtime_error("the window manager did not answer:" + Tail(LogPath("openbox.log")));
  }
}

void DesktopRig::StartSoundServer() {
  pipewire_ = StartService({"pipewire"}, "pipewire.log", baseEnvironment_);
  const std::string socket = Folder() + "/run/pipewire-0";
  if (!WaitUntil([&] { return fs::exists(socket); }, kStartTimeoutMs)) {
    throw std::runtime_error("pipewire did not start:" + Tail(LogPath("pipewire.log")));
  }
  wireplumber_ = StartService({"wireplumber"}, "wireplumber.log", baseEnvironment_);
  pipewirePulse_ = StartService({"pipewire-pulse"}, "pipewire-pulse.log", baseEnvironment_);
  // No client before the server's socket is there: a client that finds no server makes the
  // runtime folder's "pulse" directory itself, and the server then fails to make it.
  const std::string pulseSocket = Folder() + "/run/pulse/native";
  if (!WaitUntil([&] { return fs::exists(pulseSocket); }, kStartTimeoutMs) ||
      !WaitUntil([this] { return RunTool({"pactl", "info"}).Ok(); }, kStartTimeoutMs, 50)) {
    throw std::runtime_error("pipewire-pulse did not answer:" + Tail(LogPath("pipewire-pulse.log")));
  }
}

std::string DesktopRig::PactlField(const std::string& field) {
  const ToolResult info = RunTool({"pactl", "info"});
  std::istringstream lines(info.out);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(field + ": ", 0) == 0) return line.substr(field.size() + 2);
  }
  return "";
}

void DesktopRig::AddDevices() {
  const auto load = [this](const std::vector<std::string>& arguments) {
    std::vector<std::string> command = {"pactl", "load-module"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    const ToolResult result = RunTool(command);
    if (!result.Ok()) throw std::runtime_error("pactl load-module " + arguments[0] + ": " + result.err);
    return std::stoi(result.out);
  };
  load({"module-null-sink", std::string("sink_name=") + kSpeakers});
  load({"module-null-sink", std::string("sink_name=") + kFeedSink, "channels=1", "channel_map=mono"});
  microphoneModule_ = load({"module-remap-source", std::string("master=") + kFeedSink + ".monitor",
                            std::string("source_name=") + kMicrophone, "channels=1", "channel_map=mono"});
  // The session manager may not have made the default-device metadata yet: ask until it holds.
  const bool defaults = WaitUntil(
      [this] {
        RunTool({"pactl", "set-default-sink", kSpeakers});
        RunTool({"pactl", "set-default-source", kMicrophone});
        return PactlField("Default Sink") == kSpeakers && PactlField("Default Source") == kMicrophone;
      },
      kStartTimeoutMs, 100);
  if (!defaults) throw std::runtime_error("the default devices were not taken:" + Tail(LogPath("wireplumber.log")));
}

ToolResult DesktopRig::RunTool(const std::vector<std::string>& arguments, std::int64_t timeoutMs) {
  ProcessOptions options;
  options.arguments = arguments;
  options.environment = xEnvironment_.empty() ? baseEnvironment_ : xEnvironment_;
  options.stdoutPath = LogPath("tool.out");
  options.stderrPath = LogPath("tool.err");
  Process tool(options);
  ToolResult result;
  if (!tool.Started()) {
    result.err = "cannot start " + arguments[0];
    return result;
  }
  result.status = tool.WaitForExit(timeoutMs);
  tool.Kill();
  result.out = test_support::ReadFileBytes(LogPath("tool.out"));
  result.err = test_support::ReadFileBytes(LogPath("tool.err"));
  return result;
}

Process DesktopRig::StartProgram(const std::vector<std::string>& arguments, const std::string& name,
                                 const std::string& audioDriver) {
  ProcessOptions options;
  options.arguments = arguments;
  options.environment = xEnvironment_;
  options.environment.push_back("VERANTO_WINDIR=" + WindowsFolder());
  options.environment.push_back("VERANTO_DATA=" + Folder() + "/data");
  options.environment.push_back("SDL_VIDEODRIVER=x11");
  if (!audioDriver.empty()) options.environment.push_back("SDL_AUDIODRIVER=" + audioDriver);
#ifdef DESKTOP_LSAN_SUPPRESSIONS
  options.environment.push_back(std::string("LSAN_OPTIONS=suppressions=") + DESKTOP_LSAN_SUPPRESSIONS);
#endif
  options.stdoutPath = Folder() + "/" + name + ".out";
  options.stderrPath = Folder() + "/" + name + ".err";
  return Process(options);
}

std::string DesktopRig::ProgramOutput(const std::string& name) const {
  return test_support::ReadFileBytes(Folder() + "/" + name + ".out");
}

std::string DesktopRig::ProgramErrors(const std::string& name) const {
  return test_support::ReadFileBytes(Folder() + "/" + name + ".err");
}

bool DesktopRig::FeedMicrophone(int peak) {
  StopFeed();
  const std::string path = Folder() + "/feed-" + std::to_string(peak) + ".wav";
  if (!fs::exists(path)) {
    const auto count = static_cast<std::size_t>(kFeedSeconds * kSampleRate);
    std::ofstream(path, std::ios::binary)
        << test_support::WaveImage(kSampleRate, 1, 8, SineSamples(peak, kFeedFrequency, count));
  }
  ProcessOptions options;
  options.arguments = {"paplay", "-d", kFeedSink, path};
  options.environment = baseEnvironment_;
  options.stdoutPath = LogPath("paplay.log");
  options.stderrPath = LogPath("paplay.log");
  feed_ = Process(options);
  if (!feed_.Started()) return Fail("cannot start paplay");
  // The server plays it once it lists a stream of the process that is not corked.
  return WaitUntil([this] { return HasStream(feed_.Pid(), "sink-inputs"); }, kStartTimeoutMs, 20) ||
         Fail("the feed does not play:" + Tail(LogPath("paplay.log")));
}

bool DesktopRig::HasStream(pid_t process, const std::string& kind) {
  // A stream names its client; a client names its process.
  std::vector<std::string> clients;
  const std::string owner = "application.process.id = \"" + std::to_string(process) + "\"";
  for (const std::string& block : Blocks(RunTool({"pactl", "list", "clients"}).out, "Client #")) {
    if (block.find(owner) != std::string::npos) clients.push_back(FirstLine(block.substr(8)));
  }
  const std::string header = kind == "sink-inputs" ? "Sink Input #" : "Source Output #";
  for (const std::string& block : Blocks(RunTool({"pactl", "list", kind}).out, header)) {
    for (const std::string& client : clients) {
      if (block.find("\tClient: " + client + "\n") != std::string::npos &&
          block.find("Corked: no") != std::string::npos) {
        return true;
      }
    }
  }
  return false;
}

void DesktopRig::StopFeed() { feed_.Stop(); }

bool DesktopRig::UnplugMicrophone() {
  const ToolResult result = RunTool({"pactl", "unload-module", std::to_string(microphoneModule_)});
  if (!result.Ok()) return Fail("pactl unload-module: " + result.err);
  return WaitUntil([this] { return PactlField("Default Source") != kMicrophone; }, kStartTimeoutMs, 50) ||
         Fail("the default source stayed the microphone");
}

// The server first, as when it crashes: its clients' streams and devices go with it at once.
// (Killing its PulseAudio layer first would remove the devices that layer made while the
// server still runs, and SDL's pipewire driver, starting up against a server that dies under
// it, waits for ever.)
void DesktopRig::KillSoundServer() {
  pipewire_.Kill();
  wireplumber_.Kill();
  pipewirePulse_.Kill();
}

std::optional<std::string> DesktopRig::ProgramWindow(pid_t program) {
  const ToolResult found = RunTool({"xdotool", "search", "--sync", "--pid", std::to_string(program)});
  const std::string window = FirstLine(found.out);
  if (!found.Ok() || window.empty()) {
    Fail("no window of process " + std::to_string(program) + ": " + found.err);
    return std::nullopt;
  }
  return window;
}

bool DesktopRig::PressKey(pid_t program, const std::string& key) {
  const std::optional<std::string> window = ProgramWindow(program);
  return window && PressKeyIn(*window, key);
}

bool DesktopRig::PressKeyIn(const std::string& window, const std::string& key) {
  const ToolResult typed = RunTool({"xdotool", "windowactivate", "--sync", window, "key", key}, 5000);
  return typed.Ok() || Fail("xdotool key " + key + ": " + DescribeStatus(typed.status) + " " + typed.err);
}

bool DesktopRig::CloseWindow(pid_t program) {
  const std::optional<std::string> window = ProgramWindow(program);
  if (!window) return false;
  char hex[32];
  std::snprintf(hex, sizeof hex, "0x%lx", std::stoul(*window));
  const ToolResult closed = RunTool({"wmctrl", "-i", "-c", hex});
  return closed.Ok() || Fail("wmctrl -c: " + closed.err);
}

bool DesktopRig::Fail(const std::string& message) {
  lastError_ = message;
  return false;
}

std::string DescribeStatus(const std::optional<int>& status) {
  if (!status) return "still running";
  if (*status > 128) return "killed by signal " + std::to_string(*status - 128);
  return "exit code " + std::to_string(*status);
}

}  // namespace desktop
