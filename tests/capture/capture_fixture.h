#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "audio/capture/capture.h"
#include "console/console.h"
#include "console/keyboard.h"
#include "platform/sim/sim.h"
#include "platform/temp_folder.h"
#include "support/console_rows.h"

// A fresh simulated machine, a temporary Windows folder whose VERANTO.INI asks for a font
// small enough that 80 columns fit the simulated screen, and a freshly started console.
namespace capture_test {

using test_support::BufferRow;

constexpr int kBarWidth = 64;

class CaptureTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    WriteFile("VERANTO.INI", "[VIDEO]\nLARGURALETRA=8\nALTURALETRA=16\nCANTOTELA=NS\n");
  }

  void TearDown() override {
    audio::CaptureClose();
    sim::ClearWaveFaults();
    console::ConsoleStop();
    TempFolderTest::TearDown();
  }

  sim::RunResult RunProgram(const std::function<void()>& body) {
    sim::Reset();
    console::ConsoleStart();
    return sim::Run(body);
  }
};

// Inside a run: creates the window and lets its first repaint pass, so that every text run
// drawn afterwards is the program's own output.
inline void SettleWindow() {
  console::EnsureConsole();
  console::KeyPressed();
  sim::ClearTextRuns();
}

inline bool IsBar(const std::string& text) {
  if (text.size() != kBarWidth) return false;
  const std::size_t marks = text.find_first_not_of('@');
  return marks != std::string::npos ? text.find_first_not_of('.', marks) == std::string::npos : true;
}

// The number of "@" in every whole bar drawn since the window settled, in order.
inline std::vector<int> BarsDrawn() {
  std::vector<int> marks;
  for (const sim::TextRun& run : sim::TextRuns()) {
    if (IsBar(run.text)) marks.push_back(static_cast<int>(run.text.find_first_not_of('@') == std::string::npos
                                                              ? kBarWidth
                                                              : run.text.find_first_not_of('@')));
  }
  return marks;
}

inline std::string Bar(int marks) { return std::string(marks, '@') + std::string(kBarWidth - marks, '.'); }

}  // namespace capture_test
