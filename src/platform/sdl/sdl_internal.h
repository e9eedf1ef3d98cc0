#pragma once

#include <SDL.h>

#include <string>

#include "platform/events.h"

// What the files of the SDL backend share. Nothing outside src/platform/sdl (and its tests)
// includes this header.
namespace platform::sdl {

// ---- start and end (lifecycle.cpp)

// Each starts its SDL subsystem at first need and keeps it until the program ends; false when
// it cannot start (no display, no audio driver). Program thread only.
bool StartEvents();
bool StartVideo();
bool StartAudio();
// A step run when the program ends, before SDL is shut down (close devices, free objects).
// Steps run in the reverse order of registration; registering the same step twice runs it once.
void AddShutdownStep(void (*step)());
// Runs the shutdown steps and quits SDL; safe to call more than once.
void ShutdownAll();

// ---- the event queue (events.cpp)

// Queues `event` for the program; safe from any thread, the audio callbacks included. The
// event keeps its place in order with the window's own events.
void PushEventFromAnyThread(const Event& event);
// Appends `event` to the program's queue directly; program thread only.
void QueueEvent(const Event& event);

// ---- the window (window.cpp)

// Reacts to a window happening (resize, exposure, focus, close); program thread.
void HandleWindowEvent(const SDL_WindowEvent& event);
// Copies what was drawn since the last present onto the screen.
void PresentPending();
// The drawing surface (ARGB8888, at least the client size), or nullptr without a window.
SDL_Surface* BackingSurface();
// Records that `area` of the backing surface changed and must be presented.
void MarkDrawn(const SDL_Rect& area);

// ---- fonts (fonts.cpp)

// The font file a font handle was opened from (empty for the box fallback); for tests.
std::string FontFile(int font);

}  // namespace platform::sdl
