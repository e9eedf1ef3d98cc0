#pragma once

// The event queue: the Windows message model every backend reproduces.
//
// Contract (what every backend guarantees):
// - Events are delivered in the order they happened, on the program's one thread.
// - A backend translates keys the way TranslateMessage does: a key down that produces a
//   character is followed by a Char event with its Windows-1252 code (Backspace 8, Enter 13,
//   Escape 27, Tab 9, Ctrl+letter 1-26). While Alt is held without Ctrl no Char is produced.
// - A key pressed with Alt held (and Ctrl not held), and F10, arrive as SysKeyDown/SysKeyUp.
// - Ctrl+Break arrives as KeyDown with kVkCancel.
// - Every key down has its key up.
// - Other threads of a backend (audio callbacks) only push events; they never call program code.
namespace platform {

enum class EventKind {
  KeyDown,
  KeyUp,
  SysKeyDown,
  SysKeyUp,
  Char,
  Paint,       // x, y, width, height: the rectangle that needs repainting
  Close,       // the user asked to close the window
  FocusIn,
  FocusOut,
  RightDown,   // x, y: mouse position in window pixels
  RightUp,
  MouseMove,
  WaveOutDone, // slot: the finished block
  WaveInData,
  Wake,        // code: the posted message number (1123, 2980)
  Quit,        // code: the exit code handed to PostQuit
};

struct Event {
  EventKind kind = EventKind::Wake;
  int code = 0;  // virtual key, character (0..255), message number or exit code
  bool ctrl = false;
  bool alt = false;
  bool shift = false;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  int slot = 0;
};

// Removes the oldest pending event into `event`; false when none is pending (PeekMessage).
bool PeekEvent(Event& event);

// Blocks until an event is pending; returns at once when one already is (WaitMessage).
void WaitEvent();

// Queues a Wake event carrying `message`; safe from any thread.
void PostWake(int message);

// Queues a Quit event (PostQuitMessage).
void PostQuit(int exitCode);

}  // namespace platform
