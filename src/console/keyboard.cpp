#include "console/keyboard.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "console/braille.h"
#include "console/console.h"
#include "console/console_internal.h"
#include "platform/events.h"
#include "platform/keys.h"
#include "platform/system.h"
#include "platform/window.h"

namespace console {
namespace {

constexpr int kQueueCapacity = 64;
constexpr int kQuitExitCode = 255;
constexpr int kToneMilliseconds = 200;

std::array<std::uint8_t, kQueueCapacity> queue{};
int queuedCount = 0;
int brailleMode = 0;
braille::ChordState chordState;

// ---- the key queue: a one-byte key needs one free place, a two-byte key two

void QueueByte(int byte) {
  if (queuedCount >= kQueueCapacity) return;
  queue[queuedCount++] = static_cast<std::uint8_t>(byte);
}

void QueueExtendedKey(int code) {
  if (queuedCount > kQueueCapacity - 2) return;
  queue[queuedCount++] = 0;
  queue[queuedCount++] = static_cast<std::uint8_t>(code);
}

int TakeFirstByte() {
  const int byte = queue[0];
  std::copy(queue.begin() + 1, queue.begin() + queuedCount, queue.begin());
  --queuedCount;
  return byte;
}

// ---- key codes

struct ExtendedKey {
  int virtualKey;
  int code;
  int ctrlCode;
};

constexpr std::array<ExtendedKey, 22> kExtendedKeys = {{
    {platform::VkFunction(1), 59, 94},   {platform::VkFunction(2), 60, 95},
    {platform::VkFunction(3), 61, 96},   {platform::VkFunction(4), 62, 97},
    {platform::VkFunction(5), 63, 98},   {platform::VkFunction(6), 64, 99},
    {platform::VkFunction(7), 65, 100},  {platform::VkFunction(8), 66, 101},
    {platform::VkFunction(9), 67, 102},  {platform::VkFunction(10), 68, 103},
    {platform::VkFunction(11), 69, 104}, {platform::VkFunction(12), 70, 105},
    {platform::kVkInsert, 82, 255},      {platform::kVkDelete, 83, 83},
    {platform::kVkHome, 71, 119},        {platform::kVkEnd, 79, 117},
    {platform::kVkPrior, 73, 132},       {platform::kVkNext, 81, 118},
    {platform::kVkUp, 72, 113},          {platform::kVkDown, 80, 114},
    {platform::kVkLeft, 75, 115},        {platform::kVkRight, 77, 116},
}};

constexpr int kShiftInsertCode = 254;

constexpr std::array<std::uint8_t, 26> kAltLetterCodes = {
    30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
    49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44,
};

bool IsLetterKey(int virtualKey) {
  return virtualKey >= platform::kVkA && virtualKey <= platform::VkLetter('Z');
}

bool IsDigitKey(int virtualKey) {
  return virtualKey >= platform::kVk0 && virtualKey <= platform::VkDigit(9);
}

// Alt+1 .. Alt+9 give 120 .. 128, Alt+0 gives 129.
int AltDigitCode(int virtualKey) {
  const int digit = virtualKey - platform::kVk0;
  return digit == 0 ? 129 : 119 + digit;
}

bool IsAsciiLetter(int c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

void SoundTone(std::uint16_t frequency) {
  ToneStart(frequency);
  Delay(kToneMilliseconds);
  ToneStop();
}

// ---- posted messages with a handler of their own

struct WakeRoute {
  int message = 0;
  WakeHandler handler = nullptr;
};
constexpr int kWakeRouteCount = 8;
std::array<WakeRoute, kWakeRouteCount> wakeRoutes{};

void RouteWake(int message) {
  for (const WakeRoute& route : wakeRoutes) {
    if (route.handler != nullptr && route.message == message) {
      route.handler(message);
      return;
    }
  }
}

}  // namespace

void SetWakeHandler(int message, WakeHandler handler) {
  WakeRoute* free = nullptr;
  for (WakeRoute& route : wakeRoutes) {
    if (route.handler != nullptr && route.message == message) {
      route.handler = handler;
      return;
    }
    if (route.handler == nullptr && free == nullptr) free = &route;
  }
  if (handler != nullptr && free != nullptr) *free = {message, handler};
}

// ---- waits

void PumpMessages() {
  platform::Event event;
  while (platform::PeekEvent(event)) {
    if (event.kind == platform::EventKind::Quit) {
      if (platform::CaretVisible()) platform::DestroyCaret();
      platform::ExitProgram(kQuitExitCode);
    }
    if (event.kind == platform::EventKind::Wake) RouteWake(event.code);
    detail::DispatchEvent(event);
  }
}

bool KeyPressed() {
  EnsureConsole();
  PumpMessages();
  return queuedCount > 0;
}

int ReadKey() {
  EnsureConsole();
  if (queuedCount == 0) {
    detail::BeginKeyWait();
    do {
      platform::WaitEvent();
    } while (!KeyPressed());
    detail::EndKeyWait();
  }
  return TakeFirstByte();
}

void Delay(std::uint16_t milliseconds) {
  platform::Sleep(milliseconds);
  PumpMessages();
}

int ReadLine(char* buffer, int capacity) {
  if (buffer == nullptr || capacity < 1) return 0;
  int stored = 0;
  for (;;) {
    const int key = ReadKey();
    if (key == 13) {
      // The line end takes what room is left; capacity − 2 keeps room for both bytes.
      buffer[stored++] = 13;
      if (stored < capacity) buffer[stored++] = 10;
      WriteText("\r\n", 2);
      return stored;
    }
    if (key == 26 && EndOfFileKey()) {
      buffer[stored++] = 26;
      return stored;
    }
    if (key == 8) {
      if (stored > 0) {
        --stored;
        const char backspace = 8;
        WriteText(&backspace, 1);
      }
    } else if (key >= 32 && stored < capacity - 2) {
      buffer[stored++] = static_cast<char>(key);
      const char echo = static_cast<char>(key);
      WriteText(&echo, 1);
    }
  }
}

// ---- Braille mode

void SetBrailleMode(int mode) {
  if (mode > 2) mode = 1;
  if (mode < 0) mode = 0;
  if (mode == 0) {
    braille::ClearAll(chordState);
    if (brailleMode != 0) SoundTone(100);
  } else {
    SoundTone(800);
    SoundTone(mode == 1 ? 1600 : 400);
  }
  brailleMode = mode;
}

int BrailleMode() { return brailleMode; }

int QueuedKeyCount() { return queuedCount; }

// ---- key messages from the window procedure

namespace detail {

void HandleChar(const platform::Event& event) {
  int c = event.code;
  if (c < 0 || c > 255) return;
  // The chord keyboard makes its own letters and spaces.
  if (brailleMode != 0 && (c == ' ' || IsAsciiLetter(c))) return;
  // A lone 0 would be read as the first byte of a two-byte key and swallow the next key.
  if (c == 0) return;
  if (c == 8 && event.ctrl) c = 127;
  if (c == 13 && event.ctrl) c = 10;
  QueueByte(c);
}

void HandleKeyDown(const platform::Event& event) {
  const int key = event.code;
  if (key == platform::kVkCancel && BreakCheck()) platform::ExitProgram(kQuitExitCode);
  if (event.alt) {
    if (event.ctrl && key == platform::kVkF12) {
      SetBrailleMode(0);
      return;
    }
    if (event.ctrl && key == platform::kVkF11) {
      SetBrailleMode(brailleMode + 1);
      return;
    }
    if (IsLetterKey(key)) {
      QueueExtendedKey(kAltLetterCodes[key - platform::kVkA]);
      return;
    }
    if (IsDigitKey(key)) {
      QueueExtendedKey(AltDigitCode(key));
      return;
    }
  }
  if (!event.ctrl && brailleMode != 0 && braille::ChordBit(key) != 0) {
    braille::PressKey(chordState, key);
    return;
  }
  if (queuedCount > kQueueCapacity - 2) return;
  for (const ExtendedKey& extended : kExtendedKeys) {
    if (extended.virtualKey != key) continue;
    int code = event.ctrl ? extended.ctrlCode : extended.code;
    if (key == platform::kVkInsert && !event.ctrl && event.shift) code = kShiftInsertCode;
    QueueExtendedKey(code);
    return;
  }
}

bool HandleSysKeyDown(const platform::Event& event) {
  if (BreakCheck() && event.code != platform::kVkLeft && event.code != platform::kVkRight) {
    return false;
  }
  HandleKeyDown(event);
  return true;
}

bool HandleKeyUp(const platform::Event& event) {
  // System keys (Alt held) never take part in a chord; their release is not a chord's end.
  if (brailleMode == 0 || event.kind == platform::EventKind::SysKeyUp) return false;
  int character = braille::kNoCharacter;
  const bool handled =
      braille::ReleaseKey(chordState, brailleMode, event.code, event.ctrl, character);
  if (character != braille::kNoCharacter) QueueByte(character);
  return handled;
}

void ResetKeyboard() {
  queuedCount = 0;
  brailleMode = 0;
  braille::ClearAll(chordState);
  ToneStop();
}

void DiscardQueuedKeys() { queuedCount = 0; }

}  // namespace detail
}  // namespace console
