#include <cctype>

#include "platform/keys.h"
#include "platform/sim/sim_internal.h"

namespace sim::detail {
namespace {

using platform::Event;
using platform::EventKind;

constexpr int kNoCharacter = -1;

bool IsLetterKey(int vk) { return vk >= platform::kVkA && vk <= platform::VkLetter('Z'); }
bool IsDigitKey(int vk) { return vk >= platform::kVk0 && vk <= platform::VkDigit(9); }

// The character TranslateMessage makes of a key down on a US layout, or kNoCharacter.
int CharacterOf(int vk, Modifiers modifiers) {
  if (modifiers.ctrl && modifiers.alt) return kNoCharacter;
  if (modifiers.ctrl) {
    if (IsLetterKey(vk)) return vk - platform::kVkA + 1;
    switch (vk) {
      case platform::kVkReturn: return 13;
      case platform::kVkBack: return 8;
      case platform::kVkEscape: return 27;
      case platform::kVkSpace: return ' ';
      default: return kNoCharacter;
    }
  }
  if (IsLetterKey(vk)) return (modifiers.shift ? 'A' : 'a') + (vk - platform::kVkA);
  if (IsDigitKey(vk)) return '0' + (vk - platform::kVk0);
  switch (vk) {
    case platform::kVkSpace: return ' ';
    case platform::kVkReturn: return 13;
    case platform::kVkBack: return 8;
    case platform::kVkEscape: return 27;
    case platform::kVkTab: return 9;
    default: return kNoCharacter;
  }
}

Event MakeEvent(EventKind kind, int code, Modifiers modifiers) {
  return Event{.kind = kind,
               .code = code,
               .ctrl = modifiers.ctrl,
               .alt = modifiers.alt,
               .shift = modifiers.shift};
}

void AppendKeyDown(std::vector<Event>& events, int vk, Modifiers modifiers) {
  events.push_back(MakeEvent(EventKind::KeyDown, vk, modifiers));
  const int character = CharacterOf(vk, modifiers);
  if (character != kNoCharacter) events.push_back(MakeEvent(EventKind::Char, character, modifiers));
}

// The key and modifiers that type `byte`, false when no key of its own types it.
bool KeyForByte(unsigned char byte, int& vk, Modifiers& modifiers) {
  modifiers = {};
  if (byte >= 'a' && byte <= 'z') {
    vk = platform::VkLetter(static_cast<char>(byte - 'a' + 'A'));
  } else if (byte >= 'A' && byte <= 'Z') {
    vk = platform::VkLetter(static_cast<char>(byte));
    modifiers.shift = true;
  } else if (byte >= '0' && byte <= '9') {
    vk = platform::VkDigit(byte - '0');
  } else if (byte == ' ') {
    vk = platform::kVkSpace;
  } else if (byte == 13) {
    vk = platform::kVkReturn;
  } else if (byte == 8) {
    vk = platform::kVkBack;
  } else if (byte == 27) {
    vk = platform::kVkEscape;
  } else if (byte == 9) {
    vk = platform::kVkTab;
  } else if (byte >= 1 && byte <= 26) {
    // The remaining control codes are Ctrl+letter (10 is Ctrl+J).
    vk = platform::kVkA + byte - 1;
    modifiers.ctrl = true;
  } else {
    return false;
  }
  return true;
}

}  // namespace

std::vector<Event> KeyStrokeEvents(int virtualKey, Modifiers modifiers) {
  std::vector<Event> events;
  if ((modifiers.alt && !modifiers.ctrl) || virtualKey == platform::kVkF10) {
    events.push_back(MakeEvent(EventKind::SysKeyDown, virtualKey, modifiers));
    events.push_back(MakeEvent(EventKind::SysKeyUp, virtualKey, modifiers));
    return events;
  }
  AppendKeyDown(events, virtualKey, modifiers);
  events.push_back(MakeEvent(EventKind::KeyUp, virtualKey, modifiers));
  return events;
}

std::vector<Event> TypedByteEvents(unsigned char byte) {
  int vk = 0;
  Modifiers modifiers;
  if (KeyForByte(byte, vk, modifiers)) return KeyStrokeEvents(vk, modifiers);
  return {MakeEvent(EventKind::Char, byte, {})};
}

std::vector<Event> ChordEvents(const std::string& letters) {
  std::vector<int> keys;
  for (char c : letters) {
    const auto byte = static_cast<unsigned char>(c);
    if (std::isalpha(byte)) {
      keys.push_back(platform::VkLetter(static_cast<char>(std::toupper(byte))));
    } else if (std::isdigit(byte)) {
      keys.push_back(platform::VkDigit(byte - '0'));
    } else if (byte == ' ') {
      keys.push_back(platform::kVkSpace);
    }
  }
  std::vector<Event> events;
  for (int vk : keys) AppendKeyDown(events, vk, {});
  for (int vk : keys) events.push_back(MakeEvent(EventKind::KeyUp, vk, {}));
  return events;
}

}  // namespace sim::detail
