#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "event_pump.h"
#include "platform/events.h"
#include "platform/window.h"
#include "x_display.h"

namespace sdltest {

// A shown 640 x 400 client-area window with the keyboard focus, on the X server of DISPLAY.
class X11WindowTest : public testing::Test {
 protected:
  static constexpr const char* kTitle = "Janela de teste";
  static constexpr int kClientWidth = 640;
  static constexpr int kClientHeight = 400;

  void SetUp() override {
    ASSERT_TRUE(xtest::Open()) << "no X server: run through the sdl_x11 test entry";
    ASSERT_TRUE(platform::CreateWindow(kTitle, 0, 0, kClientWidth + 8, kClientHeight + 28));
    platform::ShowWindow(false);
    shown = CollectUntil([](const EventList& events) {
      for (const platform::Event& event : events) {
        if (event.kind == platform::EventKind::FocusIn) return true;
      }
      return false;
    });
    platform::FillRect(platform::GetClientRect(), {0, 0, 0});
    Present();
  }

  void TearDown() override {
    platform::DestroyWindow();
    platform::Event event;
    while (platform::PeekEvent(event)) {
    }
    xtest::Close();
  }

  // Makes what was drawn visible and forgets any events that came meanwhile.
  static void Present() {
    platform::Event event;
    while (platform::PeekEvent(event)) {
    }
  }

  // The screen position of a client point.
  static int ScreenX(int x) { return platform::GetWindowRect().left + 4 + x; }
  static int ScreenY(int y) { return platform::GetWindowRect().top + 24 + y; }

  // The pixels of a client rectangle as they are on the screen.
  static std::vector<platform::Rgb> Shot(const platform::Rect& area) {
    return xtest::Screenshot(ScreenX(area.left), ScreenY(area.top), area.Width(), area.Height());
  }

  EventList shown;  // the events of opening and showing the window
};

}  // namespace sdltest
