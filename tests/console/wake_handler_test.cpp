// Posted wake-up messages that carry a module's news reach the handler set for their number.
#include <gtest/gtest.h>

#include <vector>

#include "console/console.h"
#include "console/keyboard.h"
#include "platform/events.h"
#include "platform/sim/sim.h"

namespace {

std::vector<int> handled;
void Record(int message) { handled.push_back(message); }
void RecordTwice(int message) { handled.insert(handled.end(), {message, message}); }

TEST(WakeHandlerTest, PumpingHandsEachNumbersMessagesToItsHandlerWithoutAWindow) {
  sim::Reset();
  handled.clear();
  console::SetWakeHandler(3001, Record);
  console::SetWakeHandler(3002, Record);
  console::SetWakeHandler(3002, RecordTwice);  // a second handler replaces the first
  for (const int message : {3001, 2980, 3002, 3001}) platform::PostWake(message);
  console::PumpMessages();
  EXPECT_FALSE(console::ConsoleCreated());
  EXPECT_EQ(handled, (std::vector<int>{3001, 3002, 3002, 3001}));

  handled.clear();
  console::SetWakeHandler(3001, nullptr);
  console::SetWakeHandler(3002, nullptr);
  platform::PostWake(3001);
  platform::PostWake(3002);
  console::PumpMessages();
  EXPECT_TRUE(handled.empty());
}

TEST(WakeHandlerTest, EightNumbersAtMostHaveHandlers) {
  sim::Reset();
  handled.clear();
  for (int message = 4000; message < 4009; ++message) console::SetWakeHandler(message, Record);
  for (int message = 4000; message < 4009; ++message) platform::PostWake(message);
  console::PumpMessages();
  EXPECT_EQ(handled, (std::vector<int>{4000, 4001, 4002, 4003, 4004, 4005, 4006, 4007}));
  for (int message = 4000; message < 4009; ++message) console::SetWakeHandler(message, nullptr);
  // Removing frees the places again.
  console::SetWakeHandler(4100, Record);
  handled.clear();
  platform::PostWake(4100);
  console::PumpMessages();
  EXPECT_EQ(handled, (std::vector<int>{4100}));
  console::SetWakeHandler(4100, nullptr);
}

}  // namespace
