#pragma once

// <windows.h> for the win32 backend's files. Windows defines some of its functions as macros
// (CreateWindow stands for CreateWindowA, and so on) whose names the platform contract uses
// for its own functions; they are removed here so that platform::CreateWindow stays itself.
// Win32 functions are always called by their explicit A names or with the :: prefix.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <mmsystem.h>

#undef CreateWindow
#undef CreateFont
#undef DrawText
#undef MessageBox
#undef GetCurrentDirectory
#undef SetCurrentDirectory
