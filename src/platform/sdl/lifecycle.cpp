// Starting SDL subsystems at first need, and the end of the program: the end-of-program
// handler runs once, then every open SDL object is closed and SDL quits.

#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "platform/sdl/sdl_internal.h"
#include "platform/system.h"
#include "platform/wave.h"

namespace platform::sdl {
namespace {

std::mutex startMutex;
bool coreStarted = false;
std::vector<void (*)()> shutdownSteps;
bool shuttingDown = false;
bool videoUnavailable = false;

std::once_flag exitHookOnce;
void (*endOfProgramHandler)() = nullptr;
std::atomic<bool> endOfProgramHandlerRan{false};
bool insideExitHook = false;

void RunEndOfProgramHandler() {
  if (endOfProgramHandlerRan.exchange(true)) return;
  if (endOfProgramHandler != nullptr) endOfProgramHandler();
}

// Normal return from main (and std::exit) passes through here: the handler first, while SDL
// still works, then the teardown.
void ExitHook() {
  insideExitHook = true;
  RunEndOfProgramHandler();
  ShutdownAll();
}

void RegisterExitHook() {
  std::call_once(exitHookOnce, [] { std::atexit(ExitHook); });
}

// Caller holds startMutex.
bool StartCoreLocked() {
  if (coreStarted) return true;
  // The program handles Ctrl+C itself through the terminal's default; SDL must not turn it
  // into a quit event. SDL must not keep the screen saver from starting either.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_POLL_SENTINEL, "0");
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  // The window surface is presented straight to the window system. Through a GL renderer each
  // present re-uploads and redraws the whole window, which with a software GL costs close to
  // a millisecond for a changed line of text.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  // SDL's pulseaudio driver asks the sound server to hold no more than one callback of
  // sound (24 ms), so a moment's stall of the machine cuts a gap into a prompt. The sound
  // server's client library reads this variable when a stream connects: 60 ms on the server
  // ride out such stalls. A value the user set is kept.
  setenv("PULSE_LATENCY_MSEC", "60", 0);
  if (SDL_Init(0) != 0) return false;
  coreStarted = true;
  RegisterExitHook();
  return true;
}

// ALSA's library writes every failure to the terminal: on a machine without a sound server
// or sound card, SDL's attempt to open its default device fills it with about twenty lines.
// Its error handler is one per process, so setting a silent one here also quiets the copy
// SDL loads. The library stays loaded until the program ends.
void QuietAlsaHandler(const char*, int, const char*, int, const char*, ...) {}

void QuietAlsa() {
  static void* alsa = nullptr;
  if (alsa != nullptr) return;
  alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
  if (alsa == nullptr) return;
  using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
  using SetHandler = int (*)(Handler);
  auto setHandler = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler"));
  if (setHandler != nullptr) setHandler(QuietAlsaHandler);
}

bool StartSubsystem(Uint32 flag) {
  std::lock_guard<std::mutex> lock(startMutex);
  if (shuttingDown || !StartCoreLocked()) return false;
  if (SDL_WasInit(flag) == flag) return true;
  return SDL_InitSubSystem(flag) == 0;
}

// Whether the video driver SDL chose shows anything to a person. Without a display SDL falls
// back to drawing off screen, which would give the user a window nobody can see.
bool VisibleVideoDriver() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver == nullptr) return false;
  if (SDL_strcmp(driver, "offscreen") != 0 && SDL_strcmp(driver, "dummy") != 0) return true;
  const char* asked = SDL_getenv("SDL_VIDEODRIVER");
  return asked != nullptr && SDL_strcasecmp(asked, driver) == 0;
}

}  // namespace

bool StartEvents() { return StartSubsystem(SDL_INIT_EVENTS); }

bool StartVideo() {
  // A display does not come and go while the program runs: one attempt decides.
  if (videoUnavailable) return false;
  if (!StartSubsystem(SDL_INIT_VIDEO)) {
    videoUnavailable = true;
    return false;
  }
  if (!VisibleVideoDriver()) {
    std::lock_guard<std::mutex> lock(startMutex);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    videoUnavailable = true;
    return false;
  }
  return true;
}

namespace {

// Whether a PipeWire server accepts connections on the socket its clients use.
bool PipewireServerAnswers() {
  const char* remote = std::getenv("PIPEWIRE_REMOTE");
  std::string path = remote != nullptr && remote[0] != '\0' ? remote : "pipewire-0";
  if (path[0] != '/') {
    const char* folder = std::getenv("PIPEWIRE_RUNTIME_DIR");
    if (folder == nullptr || folder[0] == '\0') folder = std::getenv("XDG_RUNTIME_DIR");
    if (folder == nullptr || folder[0] == '\0') return false;
    path = std::string(folder) + "/" + path;
  }
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int connection = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (connection < 0) return false;
  const bool answers = connect(connection, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  close(connection);
  return answers;
}

bool NamesPipewire(const char* driver) {
  return driver != nullptr && SDL_strncasecmp(driver, "pipewire", 8) == 0;
}

}  // namespace

bool StartAudio() {
  if (SDL_WasInit(SDL_INIT_AUDIO) == 0) {
    QuietAlsa();
    // A monitor of an output is never a microphone, whatever the environment asks for.
    SDL_SetHintWithPriority(SDL_HINT_AUDIO_INCLUDE_MONITORS, "0", SDL_HINT_OVERRIDE);
    if (AudioServerGone()) return false;
  }
  return StartSubsystem(SDL_INIT_AUDIO);
}

bool AudioServerGone() {
  const bool pipewire = SDL_WasInit(SDL_INIT_AUDIO) != 0 ? NamesPipewire(SDL_GetCurrentAudioDriver())
                                                        : NamesPipewire(SDL_GetHint(SDL_HINT_AUDIODRIVER));
  return pipewire && !PipewireServerAnswers();
}

bool RestartAudioIfIdle() {
  ReleaseFinishedBeep();
  if (WaveOutIsOpen() || WaveInIsOpen() || TonesOpen()) return false;
  std::lock_guard<std::mutex> lock(startMutex);
  if (shuttingDown || SDL_WasInit(SDL_INIT_AUDIO) == 0) return false;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  return true;
}

void AddShutdownStep(void (*step)()) {
  std::lock_guard<std::mutex> lock(startMutex);
  for (auto known : shutdownSteps) {
    if (known == step) return;
  }
  shutdownSteps.push_back(step);
}

void ShutdownAll() {
  std::vector<void (*)()> steps;
  {
    std::lock_guard<std::mutex> lock(startMutex);
    if (shuttingDown) return;
    shuttingDown = true;
    steps.swap(shutdownSteps);
  }
  // Steps run without the lock: closing an audio device waits for its callback, which may be
  // pushing an event at that moment.
  for (auto step = steps.rbegin(); step != steps.rend(); ++step) (*step)();
  // Every device is closed now, so no callback pushes another event.
  DrainPushedEvents();
  // SDL's pipewire driver can wait for ever to tear itself down once its server has gone;
  // the program is ending, so SDL is then left as it is.
  const bool audioStuck = SDL_WasInit(SDL_INIT_AUDIO) != 0 && AudioServerGone();
  std::lock_guard<std::mutex> lock(startMutex);
  if (coreStarted && !audioStuck) SDL_Quit();
  coreStarted = false;
  shuttingDown = false;
}

}  // namespace platform::sdl

namespace platform {

void ExitProgram(int exitCode) {
  sdl::RunEndOfProgramHandler();
  sdl::ShutdownAll();
  // std::exit must not be re-entered from inside an exit handler.
  if (sdl::insideExitHook) std::_Exit(exitCode);
  std::exit(exitCode);
}

void SetEndOfProgramHandler(void (*handler)()) {
  sdl::endOfProgramHandler = handler;
  sdl::RegisterExitHook();
}

}  // namespace platform
