#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "console/console.h"
#include "console/keyboard.h"
#include "platform/events.h"
#include "platform/sim/sim.h"
#include "platform/temp_folder.h"
#include "support/console_rows.h"

// A fresh simulated machine and a temporary Windows folder for each test of the console
// window; the console module is started by RunProgram and stopped after the test.
namespace console_test {

using test_support::BufferRow;

// A font small enough that 80 columns fit on the simulated screen: 8 x 16 pixel cells.
constexpr const char* kSmallFont = "[VIDEO]\nLARGURALETRA=8\nALTURALETRA=16\n";
// The same in a normal (not maximised) window.
constexpr const char* kSmallWindow = "[VIDEO]\nLARGURALETRA=8\nALTURALETRA=16\nCANTOTELA=NS\n";

class ConsoleTest : public TempFolderTest {
 protected:
  void TearDown() override {
    console::ConsoleStop();
    TempFolderTest::TearDown();
  }

  void WriteIni(const std::string& text) { WriteFile("VERANTO.INI", text); }

  sim::RunResult RunProgram(const std::function<void()>& body, const sim::Options& options = {}) {
    sim::Reset(options);
    console::ConsoleStart();
    return sim::Run(body);
  }
};

inline void Write(const std::string& text) {
  console::WriteText(text.data(), static_cast<int>(text.size()));
}

// Inside a run: creates the window and handles what its showing brought (focus, first paint).
inline void Settle() {
  console::EnsureConsole();
  console::KeyPressed();
}

// Inside a run: delivers the next scripted step through the window procedure.
inline void DeliverNextStep() {
  platform::WaitEvent();
  console::KeyPressed();
}

inline platform::Event MakeEvent(platform::EventKind kind, int x = 0, int y = 0) {
  platform::Event event;
  event.kind = kind;
  event.x = x;
  event.y = y;
  return event;
}

constexpr platform::Rgb kBlack{0, 0, 0};
constexpr platform::Rgb kBlue{0, 0, 255};
constexpr platform::Rgb kCyan{0, 255, 255};
constexpr platform::Rgb kLightGrey{192, 192, 192};
constexpr platform::Rgb kYellow{255, 255, 0};
constexpr platform::Rgb kWhite{255, 255, 255};

}  // namespace console_test
