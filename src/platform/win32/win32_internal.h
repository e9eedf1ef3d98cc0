#pragma once

#include <string>

#include "platform/events.h"
#include "platform/win32/windows_api.h"

// What the files of the win32 backend share. Nothing outside src/platform/win32 (and its
// tests) includes this header.
namespace platform::win32 {

// ---- the event queue and windows (events.cpp, window.cpp)

// Appends `event` to the program's queue; program thread only (window procedures run there).
void QueueEvent(const Event& event);
// The console window, or null while it does not exist; safe from any thread.
HWND ConsoleWindow();
// The window the wave devices report to: the console window when it exists, else a hidden
// message-only window of the backend, made at first need. Program thread only.
HWND DeviceWindow();
// Turns a message of the console window into events (keys, characters, paint, close, focus,
// right button and mouse moves, the wake messages): true when it was one of those, with the
// window procedure's result in `result`; false leaves the message to the default handling.
// The console window's procedure (window.cpp) calls it; program thread only.
bool TranslateWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT& result);
// The wake-up messages the program posts (PostWake): 1123 from the speech front end, 2980
// from the system speech backends.
constexpr UINT kWakeMessages[] = {1123, 2980};
// Whether `message` is one of them.
bool IsWakeMessage(UINT message);

// Makes everything drawn so far visible on the screen (GdiFlush, and whatever else the window
// half holds back); system.cpp runs it before the program sleeps and before a message box.
void ShowPendingDrawing();

// ---- wave devices (wave_out.cpp, wave_in.cpp)

// Handles a multimedia message (MM_WOM_DONE, MM_WIM_DATA, and the open and close notices)
// that reached a window procedure: true when it was one.
bool HandleDeviceMessage(UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace platform::win32
