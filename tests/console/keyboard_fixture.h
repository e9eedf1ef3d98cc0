#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "console/console.h"
#include "console/keyboard.h"
#include "platform/events.h"
#include "platform/sim/sim.h"

// A fresh simulated machine with the console module started and VERANTO.INI in a temporary
// Windows folder; keys are scripted before Run and handled through the real window procedure.
namespace keyboard_test {

class KeyboardFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::Reset();
    char pattern[] = "/tmp/keyboard_test_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    setenv("VERANTO_WINDIR", folder_.c_str(), 1);
  }

  void TearDown() override {
    console::ConsoleStop();
    std::filesystem::remove_all(folder_);
  }

  void WriteIni(const std::string& text) {
    std::ofstream(std::filesystem::path(folder_) / "VERANTO.INI") << text;
  }

  // ConsoleStart happens here so a test can write VERANTO.INI first.
  sim::RunResult RunProgram(const std::function<void()>& body) {
    console::ConsoleStart();
    return sim::Run(body);
  }

  std::string folder_;
};

// Inside a run: handles what is pending (window creation paints), then lets the next scripted
// step arrive and handles it through the window procedure.
inline void DeliverStep() {
  console::KeyPressed();
  platform::WaitEvent();
  console::KeyPressed();
}

inline void DeliverSteps(int count) {
  for (int i = 0; i < count; ++i) DeliverStep();
}

// Inside a run: reads every queued byte.
inline std::vector<int> DrainQueue() {
  std::vector<int> bytes;
  while (console::QueuedKeyCount() > 0) bytes.push_back(console::ReadKey());
  return bytes;
}

inline std::string AsText(const std::vector<int>& bytes) {
  std::string text;
  for (int b : bytes) text.push_back(static_cast<char>(b));
  return text;
}

inline platform::Event KeyEvent(platform::EventKind kind, int code, bool ctrl = false,
                                bool alt = false, bool shift = false) {
  platform::Event event;
  event.kind = kind;
  event.code = code;
  event.ctrl = ctrl;
  event.alt = alt;
  event.shift = shift;
  return event;
}

inline platform::Event CharEvent(int code, bool ctrl = false) {
  return KeyEvent(platform::EventKind::Char, code, ctrl);
}

}  // namespace keyboard_test
