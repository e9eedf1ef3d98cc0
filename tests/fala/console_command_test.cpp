// `fala console` run end to end on the simulated machine: scripted keys in, the window's
// drawn rows out.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "commands.h"
#include "console/console.h"
#include "platform/keys.h"
#include "platform/sim/sim.h"

namespace {

class ConsoleCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("fala_console_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder_);
    setenv("VERANTO_WINDIR", folder_.string().c_str(), 1);
    sim::Reset();
  }
  void TearDown() override {
    console::ConsoleStop();
    std::filesystem::remove_all(folder_);
  }
  std::filesystem::path folder_;
};

sim::RunResult RunConsoleCommand() {
  return sim::Run([] { fala::ConsoleCommand(fala::Output{}, {}); });
}

TEST_F(ConsoleCommandTest, ShowsTheCodesOfEveryKeyUntilEscape) {
  sim::TypeText("a");
  sim::PressKey(platform::kVkUp);
  sim::PressKey(platform::kVkF11, {.ctrl = true, .alt = true});  // Braille mode 1
  sim::Chord("FD");                                                 // dots 1 and 2: b
  sim::PressKey(platform::kVkF12, {.ctrl = true, .alt = true});  // Braille off
  sim::PressKey(platform::VkLetter('A'), {.ctrl = true});
  sim::PressKey(platform::kVkEscape);

  const sim::RunResult result = RunConsoleCommand();

  EXPECT_TRUE(result.exited);
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_FALSE(result.stalled) << result.message;
  EXPECT_EQ(sim::ScreenRow(4), "Caractere: 97  'a'");
  EXPECT_EQ(sim::ScreenRow(5), "Tecla estendida: 0 72  Seta acima");
  EXPECT_EQ(sim::ScreenRow(6), "Caractere: 98  'b'  (modo Braille 1)");
  EXPECT_EQ(sim::ScreenRow(7), "Caractere: 1  Ctrl+A  (modo Braille 0)");
  EXPECT_EQ(sim::ScreenRow(8), "Fim do teste.");
}

TEST_F(ConsoleCommandTest, NamesExtendedAndAltKeys) {
  struct Case {
    int key;
    sim::Modifiers modifiers;
    std::string row;
  };
  const Case cases[] = {
      {platform::VkFunction(1), {}, "Tecla estendida: 0 59  F1"},
      {platform::VkFunction(12), {.ctrl = true}, "Tecla estendida: 0 105  Ctrl+F12"},
      {platform::kVkInsert, {.shift = true}, "Tecla estendida: 0 254  Shift+Insert"},
      {platform::kVkRight, {.ctrl = true}, "Tecla estendida: 0 116  Ctrl+Seta à direita"},
  };
  for (const Case& c : cases) sim::PressKey(c.key, c.modifiers);
  sim::PressKey(platform::kVkEscape);

  const sim::RunResult result = RunConsoleCommand();

  ASSERT_TRUE(result.exited) << result.message;
  int row = 4;
  for (const Case& c : cases) EXPECT_EQ(sim::ScreenRow(row++), c.row);
}

TEST_F(ConsoleCommandTest, WithoutEscapeTheRunStallsInsteadOfHanging) {
  sim::TypeText("x");
  const sim::RunResult result = RunConsoleCommand();
  EXPECT_TRUE(result.stalled);
  EXPECT_FALSE(result.message.empty());
  EXPECT_EQ(sim::ScreenRow(4), "Caractere: 120  'x'");
}

}  // namespace
