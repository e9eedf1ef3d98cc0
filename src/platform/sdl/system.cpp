// The program file, message boxes, sleeping and the clock on the real machine.

#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/encoding.h"
#include "platform/sdl/sdl_internal.h"
#include "platform/system.h"

namespace platform {

std::string ProgramPath() {
  std::string path(4096, '\0');
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0) return {};
  path.resize(static_cast<std::size_t>(length));
  return Utf8ToCp1252(path);
}

// Linux has no registry: every value is absent.
bool ReadRegistryString(const std::string&, const std::string&, std::string&) { return false; }

// Linux has no component services to start.
void StartComponentServices() {}

void MessageBox(const std::string& title, const std::string& text) {
  sdl::PresentPending();
  const std::string utf8Title = Cp1252ToUtf8(title);
  const std::string utf8Text = Cp1252ToUtf8(text);
  // Without a display the message still reaches the user, on the terminal.
  if (!sdl::StartVideo() || SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, utf8Title.c_str(),
                                                     utf8Text.c_str(), nullptr) != 0) {
    std::fprintf(stderr, "%s: %s\n", utf8Title.c_str(), utf8Text.c_str());
    std::fflush(stderr);
  }
}

void Sleep(int milliseconds) {
  sdl::PresentPending();
  if (milliseconds > 0) SDL_Delay(static_cast<Uint32>(milliseconds));
}

std::int64_t ClockMilliseconds() { return static_cast<std::int64_t>(SDL_GetTicks64()); }

}  // namespace platform
