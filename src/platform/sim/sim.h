#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/events.h"
#include "platform/wave.h"
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
// The same, delivered when the program next waits with nothing pending while nothing plays or
// records (no output block queued, the input device not filling a buffer), before the clock
// moves on to a later timed key: a user answering once the sound has finished.
void PressKeyWhenIdle(int virtualKey, Modifiers modifiers = {});
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
// How often the program started the component services since the last Reset.
int ComponentServicesStarts();

// A string value platform::ReadRegistryString finds under `key` (HKEY_LOCAL_MACHINE); an
// empty value name is the key's default value. Reset removes every scripted value.
void SetRegistryString(const std::string& key, const std::string& valueName,
                       const std::string& value);

// ---- wave devices
//
// The simulated devices keep the contract of platform/wave.h in virtual time. A wait with
// nothing pending advances the clock to the next device happening (a block's end, a capture
// buffer's fill) as it does to a timed key; so a wait is never a stall while blocks are queued
// on the output device, or while the input device is started with a buffer queued.
// Output: a header must be prepared to be written (else kWaveUnprepared); an unprepare or a
// close while blocks are queued answers kWaveStillPlaying; calls on a closed device answer
// kMmInvalidHandle. Input: buffers fill in the order added, a buffer of N bytes taking N bytes'
// worth of time after the one before it (or after WaveInStart, or after it was added to an
// empty queue: the frames that pass while no buffer is queued are lost). Each full buffer gets
// bytesRecorded, the done flag and a WaveInData event (slot = its user value). WaveInStop
// pauses, returning the buffer being filled if it holds any frames (as Windows does);
// WaveInReset stops and returns every queued buffer with what it holds (0 bytes for untouched
// ones).
//
// An open checks, in this order: the device already open (kMmAllocated), a scripted busy
// count, a scripted open fault, then the format (rate 1..200000, bits 8 or 16, channels 1 or
// 2, else kWaveBadFormat). Every open attempt is recorded (WaveOutOpens, WaveInOpens).

// ---- wave devices: faults

// The next output open answers `code`; with `always`, every output open until ClearWaveFaults.
void FailWaveOutOpen(int code, bool always = false);
// The next `attempts` output opens answer kMmAllocated (another program holds the device).
void MakeWaveOutBusy(int attempts);
// The next `count` output unprepares answer `code` and leave the header as it was (prepared).
void FailWaveOutUnprepare(int code, int count = 1);
// The next input open answers `code`; with `always`, every input open until ClearWaveFaults.
void FailWaveInOpen(int code, bool always = false);
// The input device is lost (unplugged) once it has filled `fullBuffers` more buffers: the
// buffers still queued come back done with what they hold, and WaveInAddBuffer and
// WaveInStart answer kMmNoDriver until it is closed. Once; ClearWaveFaults cancels it.
void LoseWaveInAfter(int fullBuffers);
void ClearWaveFaults();

// ---- wave devices: the microphone
//
// The microphone is one signal that runs only while the input device is started: each frame
// the started device passes (recorded into a buffer or lost because none was queued) takes the
// next frame of the signal, across stops, closes and opens. So a script of three spans serves
// three measurements one after the other however long the program talks in between. Setting a
// source replaces the previous one and starts it at its first frame. Before any source is set,
// and after a source ends, the microphone gives silence.
//
// Signals are produced as 8-bit deviations d from the centre: an 8-bit device records the byte
// 128 + d (d = -128 is the byte 0), a 16-bit device the value 256 × d; a stereo device records
// the same value on both channels.

void SetMicrophoneSilence();

// A level sequence. Every frame of a span of level L deviates by exactly L: frames alternate
// 128 - L, 128 + L, 128 - L, ... counting from the first frame of the span (level 128: every
// frame is 0). So the peak of a buffer is exactly the largest level among the spans it
// overlaps; e.g. SetMicrophoneBufferLevels({5, 64}) gives 1024-byte 8-bit buffers of peaks 5
// and 64, then silence (peak 0). Levels are clamped to 0..128.
struct LevelSpan {
  int durationMs = 0;
  int level = 0;
};
// Spans timed in milliseconds: at device rate r, the span from a ms to b ms (counted from the
// first frame of the source) holds frames floor(a × r / 1000) to floor(b × r / 1000) - 1.
void SetMicrophoneLevels(const std::vector<LevelSpan>& spans);
// One span of `framesPerBuffer` frames per level: at 8-bit mono, one span per capture buffer.
void SetMicrophoneBufferLevels(const std::vector<int>& levels, int framesPerBuffer = 1024);

// A sine from phase 0: frame k deviates by round(amplitude × sin(2π × frequency × k / r))
// (clamped to -128..127; 16-bit devices get round(256 × amplitude × sin ...), clamped). Its
// peak over a buffer is at most `amplitude`, and exactly that when a frame falls on a crest
// (frequency = r / 4 puts frame 1 of every 4 on one). `durationMs` 0: it never ends.
void SetMicrophoneSine(double amplitude, double frequency, int durationMs = 0);

// The samples of a PCM WAV file (8 or 16 bits, mono or stereo, any rate): stereo is mixed to
// the mean of its channels; the file's frames are taken at the device rate by repeating or
// skipping frames (frame k of the device is frame floor(k × fileRate / r) of the file), so an
// 8-bit mono file at the device's rate is recorded byte for byte on an 8-bit mono device.
// False (and the source is left unchanged) when the file cannot be read or is not such a file.
bool SetMicrophoneWaveFile(const std::string& path);

// ---- wave devices: records

struct WaveOpenRecord {
  std::int64_t time = 0;
  platform::WaveFormat format;
  int result = 0;
};
const std::vector<WaveOpenRecord>& WaveOutOpens();  // every output open attempt, in order
const std::vector<WaveOpenRecord>& WaveInOpens();   // every input open attempt, in order

// Every block written to the output device, in order. Times are exact virtual milliseconds
// (fractions of a millisecond included): a block starts at the end of the block before it, or
// when written if the device was idle, and lasts length / (rate × channels × bits / 8) s.
// The done event comes at the first whole millisecond at or after endMs.
struct WaveBlockRecord {
  platform::WaveFormat format;
  int user = 0;                     // the header's user value (the player's slot)
  std::vector<std::uint8_t> bytes;  // the block as written
  double startMs = 0;
  double endMs = 0;   // its end; for a block cut by WaveOutReset, the time of the reset
  bool cut = false;   // returned by WaveOutReset before its end; one that had not begun has
                      // startMs = endMs = the time of the reset
  int playedLength = 0;  // bytes played: all, or the whole frames before the cut
};
const std::vector<WaveBlockRecord>& WaveBlocks();

// The played bytes of blocks [first, first + count) (count clipped to what exists),
// concatenated: a cut block contributes only its played part.
std::vector<std::uint8_t> PlayedWaveBytes(std::size_t first = 0, std::size_t count = SIZE_MAX);
// Writes those bytes as a canonical 44-byte-header PCM WAV file. False, writing nothing, when
// the range holds no block, when its blocks do not all share one format (save each run of one
// format separately), or when the file cannot be written.
bool SaveWaveOut(const std::string& path, std::size_t first = 0, std::size_t count = SIZE_MAX);

// Controls for tests of focus and activation (both true once the window is shown).
void SetActive(bool active);

}  // namespace sim
