// Real key strokes (XTest) arrive as Windows virtual keys, modifiers and characters.

#include <sstream>
#include <string>
#include <vector>

#include "platform/keys.h"
#include "x11_window.h"

namespace {

using platform::EventKind;
using X11Keys = sdltest::X11WindowTest;

struct Stroke {
  const char* keysym;
  bool down;
};

std::string Describe(const platform::Event& event) {
  std::ostringstream text;
  switch (event.kind) {
    case EventKind::KeyDown: text << "down"; break;
    case EventKind::KeyUp: text << "up"; break;
    case EventKind::SysKeyDown: text << "sysdown"; break;
    case EventKind::SysKeyUp: text << "sysup"; break;
    case EventKind::Char: text << "char"; break;
    default: text << "other"; break;
  }
  text << " " << event.code;
  if (event.ctrl) text << " ctrl";
  if (event.alt) text << " alt";
  if (event.shift) text << " shift";
  return text.str();
}

struct KeyCase {
  const char* name;
  std::vector<Stroke> strokes;
  std::vector<std::string> expected;
};

// Presses and releases `key`, alone.
std::vector<Stroke> Tap(const char* key) { return {{key, true}, {key, false}}; }
// `modifier` held around a tap of `key`.
std::vector<Stroke> Chord(const char* modifier, const char* key) {
  return {{modifier, true}, {key, true}, {key, false}, {modifier, false}};
}

TEST_F(X11Keys, KeysArriveAsVirtualKeysWithTheirCharacters) {
  const KeyCase cases[] = {
      {"letter", Tap("a"), {"down 65", "char 97", "up 65"}},
      {"digit", Tap("1"), {"down 49", "char 49", "up 49"}},
      {"shift+letter",
       Chord("Shift_L", "a"),
       {"down 16 shift", "down 65 shift", "char 65 shift", "up 65 shift", "up 16"}},
      {"enter", Tap("Return"), {"down 13", "char 13", "up 13"}},
      {"keypad enter", Tap("KP_Enter"), {"down 13", "char 13", "up 13"}},
      {"escape", Tap("Escape"), {"down 27", "char 27", "up 27"}},
      {"backspace", Tap("BackSpace"), {"down 8", "char 8", "up 8"}},
      {"tab", Tap("Tab"), {"down 9", "char 9", "up 9"}},
      {"space", Tap("space"), {"down 32", "char 32", "up 32"}},
      {"up arrow", Tap("Up"), {"down 38", "up 38"}},
      {"delete", Tap("Delete"), {"down 46", "up 46"}},
      {"page down", Tap("Next"), {"down 34", "up 34"}},
      {"F1", Tap("F1"), {"down 112", "up 112"}},
      {"F10 is a system key", Tap("F10"), {"sysdown 121", "sysup 121"}},
      {"ctrl+A",
       Chord("Control_L", "a"),
       {"down 17 ctrl", "down 65 ctrl", "char 1 ctrl", "up 65 ctrl", "up 17"}},
      {"ctrl+Z",
       Chord("Control_L", "z"),
       {"down 17 ctrl", "down 90 ctrl", "char 26 ctrl", "up 90 ctrl", "up 17"}},
      {"ctrl+break",
       Chord("Control_L", "Pause"),
       {"down 17 ctrl", "down 3 ctrl", "up 3 ctrl", "up 17"}},
      {"alt+F4",
       Chord("Alt_L", "F4"),
       {"sysdown 18 alt", "sysdown 115 alt", "sysup 115 alt", "sysup 18"}},
      {"ctrl+space gives the blank",
       Chord("Control_L", "space"),
       {"down 17 ctrl", "down 32 ctrl", "char 32 ctrl", "up 32 ctrl", "up 17"}},
      {"ctrl+alt+digit gives no character",
       {{"Control_L", true}, {"Alt_L", true}, {"1", true}, {"1", false}, {"Alt_L", false},
        {"Control_L", false}},
       {"down 17 ctrl", "down 18 ctrl alt", "down 49 ctrl alt", "up 49 ctrl alt", "up 18 ctrl", "up 17"}},
      {"a key without a virtual key still types after a chord",
       {{"Control_L", true}, {"a", true}, {"a", false}, {"Control_L", false}, {"KP_Equal", true},
        {"KP_Equal", false}},
       {"down 17 ctrl", "down 65 ctrl", "char 1 ctrl", "up 65 ctrl", "up 17", "char 61"}},
      {"alt+letter gives no character",
       Chord("Alt_L", "a"),
       {"sysdown 18 alt", "sysdown 65 alt", "sysup 65 alt", "sysup 18"}},
      {"ctrl+shift+F11 stands for ctrl+alt+F11",
       {{"Control_L", true}, {"Shift_L", true}, {"F11", true}, {"F11", false},
        {"Shift_L", false}, {"Control_L", false}},
       {"down 17 ctrl", "down 16 ctrl shift", "down 122 ctrl alt", "up 122 ctrl alt",
        "up 16 ctrl", "up 17"}},
  };
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(c.name);
    for (const Stroke& stroke : c.strokes) xtest::Key(stroke.keysym, stroke.down);
    const std::size_t wanted = c.expected.size();
    const sdltest::EventList events = sdltest::CollectUntil(
        [wanted](const sdltest::EventList& got) {
          return sdltest::KeyboardOnly(got).size() >= wanted;
        });
    std::vector<std::string> seen;
    for (const platform::Event& event : sdltest::KeyboardOnly(events)) {
      seen.push_back(Describe(event));
    }
    EXPECT_EQ(seen, c.expected);
  }
}

TEST_F(X11Keys, HeldKeyRepeatsItsDownAndCharacter) {
  xtest::Key("b", true);
  // The server's auto-repeat starts after its delay (660 ms by default on Xvfb).
  const sdltest::EventList events = sdltest::CollectUntil(
      [](const sdltest::EventList& got) { return sdltest::KeyboardOnly(got).size() >= 6; }, 4000);
  xtest::Key("b", false);
  sdltest::CollectUntil([](const sdltest::EventList& got) {
    for (const platform::Event& event : got) {
      if (event.kind == EventKind::KeyUp) return true;
    }
    return false;
  });
  std::vector<std::string> seen;
  for (const platform::Event& event : sdltest::KeyboardOnly(events)) seen.push_back(Describe(event));
  ASSERT_GE(seen.size(), 6u);
  for (std::size_t k = 0; k + 1 < 6; k += 2) {
    EXPECT_EQ(seen[k], "down 66");
    EXPECT_EQ(seen[k + 1], "char 98");
  }
}

}  // namespace
