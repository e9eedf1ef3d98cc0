// The program's event queue: SDL events translated into the Windows message model, in order.

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>

#include "platform/encoding.h"
#include "platform/events.h"
#include "platform/keys.h"
#include "platform/sdl/key_map.h"
#include "platform/sdl/sdl_internal.h"

namespace platform::sdl {
namespace {

struct Modifiers {
  bool ctrl = false;
  bool alt = false;
  bool shift = false;
};

// Program thread only.
std::deque<Event> queue;
// Whether the last key down keeps its text input from becoming characters (Alt without Ctrl
// gives none; Ctrl without Alt gives the control codes made below instead).
bool textBlocked = false;
// The modifiers of the last key down, which its text input carries too.
Modifiers textModifiers;
// The virtual key of the last key down (0 for a key that has none).
int textVirtualKey = 0;

// Events pushed from other threads while SDL's queue could not be started.
std::mutex fallbackMutex;
std::condition_variable fallbackArrived;
std::deque<Event> fallbackQueue;

std::once_flag pushedTypeOnce;
std::atomic<Uint32> pushedType{0};

Uint32 PushedEventType() {
  std::call_once(pushedTypeOnce, [] { pushedType = SDL_RegisterEvents(1); });
  return pushedType;
}

void PushFallback(const Event& event) {
  {
    std::lock_guard<std::mutex> lock(fallbackMutex);
    fallbackQueue.push_back(event);
  }
  fallbackArrived.notify_one();
}

void MoveFallbackEvents() {
  std::lock_guard<std::mutex> lock(fallbackMutex);
  while (!fallbackQueue.empty()) {
    queue.push_back(fallbackQueue.front());
    fallbackQueue.pop_front();
  }
}

// Right Alt is read as AltGr, which Windows reports as Ctrl+Alt: it types characters on the
// Brazilian and most European layouts and must not turn keys into system keys.
Modifiers ModifiersOf(Uint16 mod) {
  Modifiers modifiers;
  modifiers.ctrl = (mod & (KMOD_CTRL | KMOD_RALT)) != 0;
  modifiers.alt = (mod & KMOD_ALT) != 0;
  modifiers.shift = (mod & KMOD_SHIFT) != 0;
  return modifiers;
}

Event KeyEvent(EventKind kind, int code, const Modifiers& modifiers) {
  return Event{.kind = kind,
               .code = code,
               .ctrl = modifiers.ctrl,
               .alt = modifiers.alt,
               .shift = modifiers.shift};
}

// The character TranslateMessage makes of a key that SDL gives no text for; -1 when none.
int ControlCharacterOf(int virtualKey, const Modifiers& modifiers) {
  const bool ctrlOnly = modifiers.ctrl && !modifiers.alt;
  switch (virtualKey) {
    case kVkBack: return ctrlOnly ? 127 : 8;
    case kVkReturn: return ctrlOnly ? 10 : 13;
    case kVkEscape: return 27;
    case kVkTab: return modifiers.ctrl ? -1 : 9;
    case kVkSpace: return ctrlOnly ? 32 : -1;  // without Ctrl the text input gives the blank
    default: break;
  }
  if (ctrlOnly && virtualKey >= kVkA && virtualKey <= VkLetter('Z')) return virtualKey - kVkA + 1;
  return -1;
}

void TranslateKey(const SDL_KeyboardEvent& key) {
  const bool down = key.type == SDL_KEYDOWN;
  Modifiers modifiers = ModifiersOf(key.keysym.mod);
  int virtualKey = VirtualKeyOf(key.keysym.scancode, key.keysym.mod);
  if (virtualKey == 0) {
    // No key message, but the key's text is still typed, whatever chord came before.
    if (down) {
      textBlocked = false;
      textModifiers = modifiers;
      textVirtualKey = 0;
    }
    return;
  }
  if (virtualKey == kVkPause && modifiers.ctrl) virtualKey = kVkCancel;
  // Linux keeps Ctrl+Alt+F1..F12 for switching to text consoles, so those strokes never
  // reach a window. The Braille keyboard's Ctrl+Alt+F11 and Ctrl+Alt+F12 are therefore also
  // taken from Ctrl+Shift+F11 and Ctrl+Shift+F12.
  if ((virtualKey == kVkF11 || virtualKey == kVkF12) && modifiers.ctrl && modifiers.shift &&
      !modifiers.alt) {
    modifiers.alt = true;
    modifiers.shift = false;
  }
  // Left Alt itself is a system key both ways: its release no longer carries the Alt state.
  const bool leftAlt = key.keysym.scancode == SDL_SCANCODE_LALT;
  const bool system = ((modifiers.alt || leftAlt) && !modifiers.ctrl) || virtualKey == kVkF10;
  EventKind kind;
  if (system) {
    kind = down ? EventKind::SysKeyDown : EventKind::SysKeyUp;
  } else {
    kind = down ? EventKind::KeyDown : EventKind::KeyUp;
  }
  queue.push_back(KeyEvent(kind, virtualKey, modifiers));
  if (!down) return;
  textBlocked = modifiers.ctrl != modifiers.alt;
  textModifiers = modifiers;
  textVirtualKey = virtualKey;
  if (system) return;
  const int character = ControlCharacterOf(virtualKey, modifiers);
  if (character >= 0) queue.push_back(KeyEvent(EventKind::Char, character, modifiers));
}

// Ctrl+Alt+digit on Linux types the plain digit, where Windows types nothing (or the
// layout's AltGr character, which is kept): the console already made a code of the key.
bool PlainDigitOfCtrlAlt(const char* text) {
  return textModifiers.ctrl && textModifiers.alt && textVirtualKey >= VkDigit(0) &&
         textVirtualKey <= VkDigit(9) && text[0] == '0' + (textVirtualKey - VkDigit(0)) && text[1] == '\0';
}

void TranslateText(const SDL_TextInputEvent& text) {
  if (textBlocked || PlainDigitOfCtrlAlt(text.text)) return;
  for (char byte : Utf8ToCp1252(text.text)) {
    queue.push_back(KeyEvent(EventKind::Char, static_cast<unsigned char>(byte), textModifiers));
  }
}

void TranslateMouse(EventKind kind, int x, int y) {
  Event event;
  event.kind = kind;
  event.x = x;
  event.y = y;
  queue.push_back(event);
}

void Translate(const SDL_Event& event) {
  if (event.type == PushedEventType()) {
    Event* carried = static_cast<Event*>(event.user.data1);
    if (carried != nullptr) queue.push_back(*carried);
    delete carried;
    return;
  }
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      TranslateKey(event.key);
      break;
    case SDL_TEXTINPUT:
      TranslateText(event.text);
      break;
    case SDL_WINDOWEVENT:
      HandleWindowEvent(event.window);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      if (event.button.button == SDL_BUTTON_RIGHT) {
        TranslateMouse(event.type == SDL_MOUSEBUTTONDOWN ? EventKind::RightDown : EventKind::RightUp,
                       event.button.x, event.button.y);
      }
      break;
    case SDL_MOUSEMOTION:
      TranslateMouse(EventKind::MouseMove, event.motion.x, event.motion.y);
      break;
    case SDL_AUDIODEVICEREMOVED:
      AudioDeviceRemoved(event.adevice.which, event.adevice.iscapture != 0);
      break;
    default:
      break;
  }
}

// Moves everything SDL has into the program's queue; first, a wave device found lost hands
// its blocks back, so their events come in this batch. True while a wave device is watched.
bool TakeSdlEvents() {
  MoveFallbackEvents();
  if (SDL_WasInit(SDL_INIT_EVENTS) == 0) return false;
  const bool watching = WatchWaveDevices();
  SDL_PumpEvents();
  SDL_Event batch[32];
  int count;
  while ((count = SDL_PeepEvents(batch, 32, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT)) > 0) {
    for (int k = 0; k < count; ++k) Translate(batch[k]);
  }
  return watching;
}

}  // namespace

void PushEventFromAnyThread(const Event& event) {
  if (SDL_WasInit(SDL_INIT_EVENTS) == 0) {
    PushFallback(event);
    return;
  }
  SDL_Event carrier{};
  carrier.type = PushedEventType();
  carrier.user.data1 = new Event(event);
  if (SDL_PushEvent(&carrier) != 1) {
    delete static_cast<Event*>(carrier.user.data1);
    PushFallback(event);
  }
}

void QueueEvent(const Event& event) { queue.push_back(event); }

// The copies carried by pushed events are freed here when nobody read them.
void DrainPushedEvents() {
  if (SDL_WasInit(SDL_INIT_EVENTS) == 0) return;
  const Uint32 type = PushedEventType();
  SDL_Event batch[32];
  int count;
  while ((count = SDL_PeepEvents(batch, 32, SDL_GETEVENT, type, type)) > 0) {
    for (int k = 0; k < count; ++k) delete static_cast<Event*>(batch[k].user.data1);
  }
}

}  // namespace platform::sdl

namespace platform {

bool PeekEvent(Event& event) {
  sdl::TakeSdlEvents();
  sdl::PresentPending();
  if (sdl::queue.empty()) return false;
  event = sdl::queue.front();
  sdl::queue.pop_front();
  return true;
}

void WaitEvent() {
  bool watching = sdl::TakeSdlEvents();
  sdl::PresentPending();
  if (!sdl::queue.empty()) return;
  if (!sdl::StartEvents()) {
    std::unique_lock<std::mutex> lock(sdl::fallbackMutex);
    sdl::fallbackArrived.wait(lock, [] { return !sdl::fallbackQueue.empty(); });
    lock.unlock();
    sdl::MoveFallbackEvents();
    return;
  }
  // While a wave device is watched, the wait wakes now and then to look for a stall: a device
  // that stopped calling back sends nothing that would end an untimed wait.
  constexpr int kWatchIntervalMs = 250;
  while (sdl::queue.empty()) {
    sdl::PresentPending();
    SDL_Event event;
    const Uint64 before = SDL_GetTicks64();
    const int got = watching ? SDL_WaitEventTimeout(&event, kWatchIntervalMs) : SDL_WaitEvent(&event);
    if (got == 1) {
      sdl::Translate(event);
    } else if (!watching || SDL_GetTicks64() - before < kWatchIntervalMs / 2) {
      SDL_Delay(10);  // an error, not an event: do not spin
    }
    watching = sdl::TakeSdlEvents();
  }
}

void PostWake(int message) {
  sdl::StartEvents();
  sdl::PushEventFromAnyThread(Event{.kind = EventKind::Wake, .code = message});
}

void PostQuit(int exitCode) {
  sdl::StartEvents();
  sdl::PushEventFromAnyThread(Event{.kind = EventKind::Quit, .code = exitCode});
}

}  // namespace platform
