// Opens the console window through the win32 backend and writes every key, character and
// right-button event it receives to standard output, one a line, and the mouse moves (each
// place once), until Escape is released (exit code 0), or until 30 seconds have passed (exit
// code 2). Mouse positions are written in screen pixels. key_test.sh types at it with
// xdotool.

#include <chrono>
#include <cstdio>

#include "platform/events.h"
#include "platform/keys.h"
#include "platform/win32/win32_internal.h"
#include "platform/window.h"

namespace {

const char* KindName(platform::EventKind kind) {
  switch (kind) {
    case platform::EventKind::KeyDown: return "KeyDown";
    case platform::EventKind::KeyUp: return "KeyUp";
    case platform::EventKind::SysKeyDown: return "SysKeyDown";
    case platform::EventKind::SysKeyUp: return "SysKeyUp";
    case platform::EventKind::Char: return "Char";
    case platform::EventKind::RightDown: return "RightDown";
    case platform::EventKind::RightUp: return "RightUp";
    case platform::EventKind::MouseMove: return "MouseMove";
    default: return nullptr;
  }
}

}  // namespace

int main() {
  if (!platform::CreateWindow("win32 key probe", 0, 0, 400, 200)) return 1;
  platform::ShowWindow(false);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  POINT lastMove{-1, -1};
  while (std::chrono::steady_clock::now() < end) {
    platform::Event event;
    while (platform::PeekEvent(event)) {
      const char* name = KindName(event.kind);
      if (name == nullptr) continue;
      if (event.kind == platform::EventKind::RightDown ||
          event.kind == platform::EventKind::RightUp ||
          event.kind == platform::EventKind::MouseMove) {
        POINT place{event.x, event.y};
        ::ClientToScreen(platform::win32::ConsoleWindow(), &place);
        if (event.kind == platform::EventKind::MouseMove && place.x == lastMove.x &&
            place.y == lastMove.y) {
          continue;
        }
        if (event.kind == platform::EventKind::MouseMove) lastMove = place;
        std::printf("%s %ld %ld\n", name, static_cast<long>(place.x), static_cast<long>(place.y));
      } else {
        std::printf("%s %d%s%s%s\n", name, event.code, event.ctrl ? " ctrl" : "",
                    event.alt ? " alt" : "", event.shift ? " shift" : "");
      }
      std::fflush(stdout);
      if (event.kind == platform::EventKind::KeyUp && event.code == platform::kVkEscape) return 0;
    }
    ::platform::WaitEvent();
  }
  return 2;
}
