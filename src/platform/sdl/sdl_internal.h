#pragma once

#include <SDL.h>

#include <string>

#include "platform/events.h"
#include "platform/wave.h"

// What the files of the SDL backend share. Nothing outside src/platform/sdl (and its tests)
// includes this header.
namespace platform::sdl {

// ---- start and end (lifecycle.cpp)

// Each starts its SDL subsystem at first need and keeps it until the program ends; false when
// it cannot start (no display, no audio driver). Program thread only.
bool StartEvents();
bool StartVideo();
bool StartAudio();
// Whether SDL's audio is (or would be started) on its pipewire driver and no PipeWire server
// answers. That driver waits for ever, when it starts and in every open, once its server has
// gone, so neither may be asked of it then; StartAudio fails instead.
bool AudioServerGone();
// Stops SDL's audio so that the next StartAudio connects afresh (to a sound server that was
// restarted, say); only when none of our audio devices is open. True when it was stopped.
bool RestartAudioIfIdle();
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
// Frees the events pushed from other threads that nobody read; run by ShutdownAll after every
// shutdown step (so after every audio device is closed) and before SDL quits.
void DrainPushedEvents();

// ---- the window (window.cpp)

// Reacts to a window happening (resize, exposure, focus, close); program thread.
void HandleWindowEvent(const SDL_WindowEvent& event);
// Copies what was drawn since the last present onto the screen.
void PresentPending();
// The drawing surface (ARGB8888, at least the client size), or nullptr without a window.
SDL_Surface* BackingSurface();
// Records that `area` of the backing surface changed and must be presented.
void MarkDrawn(const SDL_Rect& area);

// ---- tones (sound.cpp)

// Closes the beep's device if the beep has ended, so that the output it holds is free again
// on drivers with a single output.
void ReleaseFinishedBeep();
// Whether a tone or the beep holds an audio device.
bool TonesOpen();

// ---- wave devices shared by output and input (wave_device.cpp)

// Whether SDL plays and records through its test drivers (disk, dummy), which take and give
// exactly the bytes of the format asked for: no resampling to settle, no format to widen.
bool TestAudioDriver();
// Whether 8-bit sound is handed to SDL as 16-bit: on every driver but the test drivers,
// since a sound server's PulseAudio layer ends an 8-bit stream whose last samples are still
// in flight with bytes of 0, which in 8-bit sound are full scale (a click); in 16-bit sound
// that filling is silence. Starts SDL's audio to know its driver.
bool WidensEightBitSound();
// 8-bit unsigned samples as 16-bit signed little-endian ones: `to` holds 2 × count bytes.
void WidenToSixteenBits(const Uint8* from, std::size_t count, Uint8* to);
// 8 or 16 bits, 1 or 2 channels, 1 to 200 000 samples per second.
bool ValidWaveFormat(const WaveFormat& format);
// Opens the default output device, or the microphone, at `format`, paused, with `callback`
// moving the samples; SDL converts to whatever the real device takes, so any valid format
// opens. The microphone is the default capture device when it is a real input; a monitor of
// an output is refused (see ChooseMicrophone in wave_device.cpp). When an open fails and no
// device of ours is open, SDL's audio is restarted and the open tried once more.
// Returns kMmNoError with `device` set, or:
//   kWaveBadFormat  the format is not valid;
//   kMmNoDriver     SDL audio cannot start (no audio driver at all);
//   kMmAllocated    the device is in use: SDL says "already open" (drivers with a single
//                   device, such as dummy and disk, when it is held) or "busy" (ALSA's EBUSY),
//                   or all of SDL's device slots are taken;
//   kMmNoMemory     SDL ran out of memory;
//   kMmBadDeviceId  any other refusal: no microphone, no such device, no capture support, the
//                   device or its sound server failed.
// An output that cannot be opened for want of a device or driver is told once on stderr.
// Program thread only.
int OpenWaveDevice(const WaveFormat& format, bool capture, SDL_AudioCallback callback,
                   SDL_AudioDeviceID& device);
// The wave result code for SDL's text of why an open failed.
int CodeOfOpenFailure(const char* error);
// Tells the user once, on stderr, that no sound output can be opened, when `code` says so
// (kMmNoDriver or kMmBadDeviceId); the program goes on without sound.
void NoteOutputOpenFailure(int code);
// The header operations common to both ways (see wave.h).
int PrepareWaveHeader(WaveHeader& header);
int UnprepareWaveHeader(WaveHeader& header);
// Checks that `header` may join a device queue (prepared, not queued already) and marks it
// queued and not done, its recorded count 0: kMmNoError, kWaveUnprepared, kWaveStillPlaying,
// or kMmInvalidParameter when its data and length do not describe a buffer.
int EnqueueWaveHeader(WaveHeader& header);
// Hands a header back to the program: in-queue cleared and done set in one release store.
// Only the device side calls it, while the header is in its queue.
void MarkWaveHeaderDone(WaveHeader& header);

// ---- lost devices (wave_in.cpp, wave_out.cpp, wave_device.cpp)

// A device whose callback has not run for this long while the program waits on it (blocks
// queued, or recording started with buffers queued) is lost. SDL's pipewire driver stops
// calling back when the sound server ends and reports nothing; a server that is merely busy
// resumes within a second or two.
constexpr Uint64 kDeviceStallMs = 3000;
// SDL reported `device` removed (unplugged, or its sound server ended); program thread.
void AudioDeviceRemoved(SDL_AudioDeviceID device, bool capture);
// A device was lost: SDL's audio is started afresh before the next open (wave_device.cpp).
void NoteAudioTrouble();
void InputDeviceRemoved(SDL_AudioDeviceID device);
void OutputDeviceRemoved(SDL_AudioDeviceID device);
// Each looks for a stall of its device, and answers whether the device still needs watching.
bool WatchInputDevice(Uint64 nowMs);
bool WatchOutputDevice(Uint64 nowMs);
// Both at once; true while a wait must wake now and then to look again. Program thread.
bool WatchWaveDevices();

// ---- fonts (fonts.cpp)

// The font file a font handle was opened from (empty for the box fallback); for tests.
std::string FontFile(int font);

}  // namespace platform::sdl
