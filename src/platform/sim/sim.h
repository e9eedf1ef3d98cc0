#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/events.h"
#include "platform/window.h"

// The simulated machine that unit and end-to-end tests run on: a virtual millisecond clock,
// scripted input, and a record of everything the program made observable.
//
// Time only moves when the program sleeps or waits. A wait with nothing pending delivers the
// next key stroke scripted "for the next wait", else advances the clock to the next timed
// happening; when neither exists the wait can never be answered and the run ends with a message
// (see Run).
namespace sim {

struct Options {
  platform::ScreenMetrics metrics{1024, 768, 4, 4, 20, {0, 0, 1024, 738}};
  bool displayAvailable = true;
};

// A fresh machine: clock at 0, nothing queued, scripted or recorded, no window.
void Reset(const Options& options = {});

std::int64_t Now();

// ---- input scripts

struct Modifiers {
  bool ctrl = false;
  bool alt = false;
  bool shift = false;
};

// A whole key stroke (down, the Char a Windows keyboard would give, up), delivered when the
// program next waits with nothing pending. Alt without Ctrl, and F10, come as system keys.
void PressKey(int virtualKey, Modifiers modifiers = {});
// The same, delivered at virtual time `atMs` (or at once if that has passed when the clock
// next moves) whether the program waits or polls.
void PressKeyAt(std::int64_t atMs, int virtualKey, Modifiers modifiers = {});
// Each Windows-1252 byte as the key stroke that types it, one step per byte: letters (capitals
// with Shift), digits, space, 13 Enter, 8 Backspace, 27 Escape, 9 Tab, and the other codes 1-26
// as Ctrl+letter (10 is Ctrl+J). A character without a key of its own (punctuation, an accented
// letter) arrives as a Char event alone.
void TypeText(const std::string& text);
// A Braille chord, one step: every key of `letters` (letters in either case, digits, space) goes
// down in order, each with its lower-case Char, then every key goes up in order.
void Chord(const std::string& letters);
// Raw events, delivered together as one step at the next wait.
void QueueStep(const std::vector<platform::Event>& events);
void QueueStepAt(std::int64_t atMs, const std::vector<platform::Event>& events);

// ---- running a program

struct RunResult {
  bool exited = false;   // the program ended through ExitProgram
  int exitCode = 0;      // ExitProgram's code, or 0 when the program returned
  bool stalled = false;  // a wait could never be answered
  std::string message;   // why it stalled
};

// Runs `program` to its end: a return (the end-of-program handler then runs, as at the end
// of main), ExitProgram, or a wait that can never be answered.
RunResult Run(const std::function<void()>& program);

// ---- what the program made observable

struct TextRun {
  std::int64_t time = 0;
  int x = 0;
  int y = 0;
  std::string text;
  platform::Rgb foreground;
  platform::Rgb background;
};

struct Cell {
  char character = ' ';
  platform::Rgb foreground;
  platform::Rgb background;
};

struct ToneRecord {
  std::int64_t started = 0;
  std::int64_t stopped = -1;  // -1 while it sounds
  std::vector<std::uint8_t> image;
};

struct MessageBoxRecord {
  std::int64_t time = 0;
  std::string title;
  std::string text;
};

const std::vector<TextRun>& TextRuns();
void ClearTextRuns();

// The window's pixels as a grid of character cells, cell size taken from the font last used
// for drawing. Scrolling and filling move and clear cells as they would pixels.
Cell ScreenCell(int column, int row);
std::string ScreenRow(int row);  // the characters of one row, trailing blanks removed

const std::vector<std::string>& Titles();  // every title the window had, in order
bool WindowShown();
bool WindowMaximised();
bool CloseCommandEnabled();
// Origin and size CreateWindow was given (left, top, left + width, top + height); a position
// left to the system is 22, 22, a size left to it three quarters of the screen.
platform::Rect CreatedWindowRect();
int CreateWindowCount();

// The outer sizes last given to SetWindowSizeLimits (set: false while none were given).
struct SizeLimitRecord {
  bool set = false;
  int minWidth = 0;
  int minHeight = 0;
  int maxWidth = 0;
  int maxHeight = 0;
};
SizeLimitRecord SizeLimits();

struct CaretState {
  bool exists = false;
  bool visible = false;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};
CaretState Caret();

struct StretchRecord {
  platform::Rect source;
  platform::Rect destination;
};
int SnapshotCount();    // snapshots taken
bool SnapshotHeld();    // a snapshot is taken and not yet dropped
const std::vector<StretchRecord>& Stretches();

std::vector<platform::FontRequest> FontsCreated();
int LiveFontCount();  // created and not yet deleted

const std::vector<std::int64_t>& Beeps();
const std::vector<ToneRecord>& Tones();
const std::vector<MessageBoxRecord>& MessageBoxes();

// Controls for tests of focus and activation (both true once the window is shown).
void SetActive(bool active);

}  // namespace sim
