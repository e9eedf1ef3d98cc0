#include "console/stdio_binding.h"

#include <iostream>
#include <streambuf>
#include <string>

#include "console/console.h"
#include "console/keyboard.h"

namespace console::stdio {
namespace {

constexpr int kBufferSize = 128;
constexpr char kEndOfFileByte = 26;

// Collects what the program writes and hands it to the window at every line end, when the
// buffer is full and on an explicit flush. A '\n' reaches the window as carriage return and
// line feed.
class WindowOutputBuffer : public std::streambuf {
 public:
  // Writes what is collected; `pump` then lets pending window messages be handled.
  void Flush(bool pump) {
    if (count_ == 0) return;
    std::string bytes;
    bytes.reserve(2 * kBufferSize);
    for (int i = 0; i < count_; ++i) {
      if (buffer_[i] == '\n') bytes += '\r';
      bytes += buffer_[i];
    }
    count_ = 0;
    WriteText(bytes.data(), static_cast<int>(bytes.size()));
    if (pump) KeyPressed();
  }

  void Discard() { count_ = 0; }

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    buffer_[count_++] = traits_type::to_char_type(c);
    if (count_ == kBufferSize || buffer_[count_ - 1] == '\n') Flush(true);
    return c;
  }

  int sync() override {
    Flush(true);
    return 0;
  }

 private:
  char buffer_[kBufferSize] = {};
  int count_ = 0;
};

// Refills from a line read in the window whenever the program has used up the last line.
// The line's carriage return and line feed reach the program as one '\n' (text mode), and
// the end-of-file key (Ctrl+Z, when enabled) reads as the end of the input.
class WindowInputBuffer : public std::streambuf {
 public:
  void Discard() {
    setg(buffer_, buffer_, buffer_);
    endOfFilePending_ = false;
  }

 protected:
  int_type underflow() override {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    if (endOfFilePending_) {
      endOfFilePending_ = false;
      return traits_type::eof();
    }
    char line[kBufferSize];
    const int stored = ReadLine(line, kBufferSize);
    int length = 0;
    for (int i = 0; i < stored; ++i) {
      if (line[i] == kEndOfFileByte) {
        endOfFilePending_ = true;
        break;
      }
      if (line[i] == '\r' && i + 1 < stored && line[i + 1] == '\n') continue;
      buffer_[length++] = line[i];
    }
    setg(buffer_, buffer_, buffer_ + length);
    if (length == 0) {
      endOfFilePending_ = false;
      return traits_type::eof();
    }
    return traits_type::to_int_type(*gptr());
  }

 private:
  char buffer_[kBufferSize] = {};
  bool endOfFilePending_ = false;
};

WindowOutputBuffer outputBuffer;
WindowInputBuffer inputBuffer;
std::streambuf* previousOutput = nullptr;
std::streambuf* previousInput = nullptr;
std::ios_base::iostate previousOutputExceptions = std::ios_base::goodbit;
std::ios_base::iostate previousInputExceptions = std::ios_base::goodbit;
bool bound = false;

// At the end of the process the buffers above are destroyed before the standard library
// flushes std::cout one last time; the streams get their own buffers back first.
struct UnbindAtExit {
  ~UnbindAtExit();
} unbindAtExit;

}  // namespace

void BindStandardStreams() {
  if (bound) return;
  outputBuffer.Discard();
  inputBuffer.Discard();
  previousOutput = std::cout.rdbuf(&outputBuffer);
  previousInput = std::cin.rdbuf(&inputBuffer);
  std::cout.clear();
  std::cin.clear();
  // The streams swallow whatever their buffer throws unless told otherwise; the end of the
  // program (ExitProgram) must pass through them.
  previousOutputExceptions = std::cout.exceptions();
  previousInputExceptions = std::cin.exceptions();
  std::cout.exceptions(std::ios_base::badbit);
  std::cin.exceptions(std::ios_base::badbit);
  bound = true;
}

void UnbindStandardStreams() {
  if (!bound) return;
  outputBuffer.Discard();
  inputBuffer.Discard();
  std::cout.exceptions(std::ios_base::goodbit);
  std::cin.exceptions(std::ios_base::goodbit);
  std::cout.rdbuf(previousOutput);
  std::cin.rdbuf(previousInput);
  std::cout.clear();
  std::cin.clear();
  std::cout.exceptions(previousOutputExceptions);
  std::cin.exceptions(previousInputExceptions);
  bound = false;
}

UnbindAtExit::~UnbindAtExit() { UnbindStandardStreams(); }

void FlushStandardOutput() {
  if (bound) outputBuffer.Flush(false);
}

}  // namespace console::stdio
