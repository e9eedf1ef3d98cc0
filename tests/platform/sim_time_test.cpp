#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/events.h"
#include "platform/keys.h"
#include "platform/sim/sim.h"
#include "platform/system.h"

namespace {

using platform::Event;
using platform::EventKind;

Event Wake(int code) {
  Event event;
  event.kind = EventKind::Wake;
  event.code = code;
  return event;
}

std::vector<int> DrainCodes() {
  std::vector<int> codes;
  Event event;
  while (platform::PeekEvent(event)) codes.push_back(event.code);
  return codes;
}

class SimTimeTest : public ::testing::Test {
 protected:
  void SetUp() override { sim::Reset(); }
};

TEST_F(SimTimeTest, SleepMovesTheClockAndReleasesDueSteps) {
  sim::QueueStepAt(300, {Wake(3)});
  sim::QueueStepAt(100, {Wake(1)});
  sim::QueueStepAt(100, {Wake(2)});  // same time: in the order scripted
  EXPECT_EQ(platform::ClockMilliseconds(), 0);
  platform::Sleep(-5);
  platform::Sleep(0);
  EXPECT_EQ(sim::Now(), 0);
  EXPECT_TRUE(DrainCodes().empty());
  platform::Sleep(99);
  EXPECT_TRUE(DrainCodes().empty());
  platform::Sleep(250);
  EXPECT_EQ(sim::Now(), 349);
  EXPECT_EQ(DrainCodes(), (std::vector<int>{1, 2, 3}));
}

TEST_F(SimTimeTest, WaitPrefersPendingEventsThenNextWaitStepsThenTimedSteps) {
  sim::PressKeyAt(500, platform::VkLetter('T'));
  sim::QueueStep({Wake(7)});
  platform::PostWake(1123);
  platform::WaitEvent();
  EXPECT_EQ(DrainCodes(), std::vector<int>{1123});
  platform::WaitEvent();
  EXPECT_EQ(sim::Now(), 0);
  EXPECT_EQ(DrainCodes(), std::vector<int>{7});
  platform::WaitEvent();
  EXPECT_EQ(sim::Now(), 500);
  EXPECT_EQ(DrainCodes(), (std::vector<int>{platform::VkLetter('T'), 't', platform::VkLetter('T')}));
}

TEST_F(SimTimeTest, WaitReturnsAtOnceWhenAnEventIsPending) {
  sim::PressKey(platform::kVkReturn);
  platform::PostQuit(4);
  platform::WaitEvent();
  platform::WaitEvent();
  Event event;
  ASSERT_TRUE(platform::PeekEvent(event));
  EXPECT_EQ(event.kind, EventKind::Quit);
  EXPECT_EQ(event.code, 4);
  EXPECT_FALSE(platform::PeekEvent(event));  // the scripted key still waits for a wait
}

TEST_F(SimTimeTest, PollingSeesTimedStepsOnlyWhenTheirTimeHasCome) {
  sim::PressKeyAt(40, platform::kVkEscape);
  Event event;
  EXPECT_FALSE(platform::PeekEvent(event));
  platform::Sleep(40);
  ASSERT_TRUE(platform::PeekEvent(event));
  EXPECT_EQ(event.kind, EventKind::KeyDown);
  EXPECT_EQ(event.code, platform::kVkEscape);
}

TEST_F(SimTimeTest, AStepScriptedForThePastArrivesWhenTheClockNextMoves) {
  platform::Sleep(1000);
  sim::QueueStepAt(10, {Wake(9)});
  platform::Sleep(1);
  EXPECT_EQ(DrainCodes(), std::vector<int>{9});
}

TEST_F(SimTimeTest, AnUnanswerableWaitEndsTheRunWithAMessage) {
  bool reachedAfterWait = false;
  const sim::RunResult result = sim::Run([&] {
    platform::Sleep(1234);
    platform::WaitEvent();
    reachedAfterWait = true;
  });
  EXPECT_TRUE(result.stalled);
  EXPECT_FALSE(result.exited);
  EXPECT_FALSE(reachedAfterWait);
  EXPECT_EQ(result.message,
            "the program waits for input, but the script has nothing more to give (at 1234 ms)");
}

int handlerCalls = 0;
void CountHandlerCall() { ++handlerCalls; }

TEST_F(SimTimeTest, ExitProgramEndsTheRunAfterTheHandler) {
  handlerCalls = 0;
  platform::SetEndOfProgramHandler(CountHandlerCall);
  bool reachedAfterExit = false;
  const sim::RunResult result = sim::Run([&] {
    platform::ExitProgram(3);
    reachedAfterExit = true;
  });
  EXPECT_TRUE(result.exited);
  EXPECT_EQ(result.exitCode, 3);
  EXPECT_FALSE(result.stalled);
  EXPECT_FALSE(reachedAfterExit);
  EXPECT_EQ(handlerCalls, 1);
}

TEST_F(SimTimeTest, AReturningProgramRunsTheHandler) {
  handlerCalls = 0;
  platform::SetEndOfProgramHandler(CountHandlerCall);
  const sim::RunResult result = sim::Run([] {});
  EXPECT_FALSE(result.exited);
  EXPECT_FALSE(result.stalled);
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(handlerCalls, 1);
}

void ExitFromHandler() {
  ++handlerCalls;
  platform::ExitProgram(5);
}

TEST_F(SimTimeTest, AHandlerThatEndsTheProgramRunsOnlyOnce) {
  handlerCalls = 0;
  platform::SetEndOfProgramHandler(ExitFromHandler);
  const sim::RunResult result = sim::Run([] { platform::ExitProgram(1); });
  EXPECT_TRUE(result.exited);
  EXPECT_EQ(result.exitCode, 5);
  EXPECT_EQ(handlerCalls, 1);
}

TEST_F(SimTimeTest, ResetForgetsEverything) {
  handlerCalls = 0;
  platform::SetEndOfProgramHandler(CountHandlerCall);
  sim::PressKey(platform::kVkReturn);
  sim::QueueStepAt(5, {Wake(1)});
  platform::PostWake(2);
  platform::Sleep(3);
  sim::Reset();
  EXPECT_EQ(sim::Now(), 0);
  Event event;
  EXPECT_FALSE(platform::PeekEvent(event));
  platform::Sleep(10);
  EXPECT_FALSE(platform::PeekEvent(event));
  const sim::RunResult result = sim::Run([] { platform::WaitEvent(); });
  EXPECT_TRUE(result.stalled);
  EXPECT_EQ(handlerCalls, 0);
}

}  // namespace
