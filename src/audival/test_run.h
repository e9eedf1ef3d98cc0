#pragma once

// The microphone test run: the fixed script that measures ambient noise, normal speech and
// plosive speech through the default wave-input device, writing and speaking every step and
// result on the talking console.
namespace audival {

// Runs the whole script once, from the first line to the end of the program; the modules
// must have been started (ProgramStart). Escape at the first question, the end of the
// script, a fatal speech or device problem and closing the window all end the program.
[[noreturn]] void RunMicrophoneTest();

}  // namespace audival
