// `fala voices`: the voices of an engine type with the numbers VOZ takes, from scripted
// services standing in for the system's.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands.h"
#include "support/scripted_speech_services.h"

namespace {

struct CommandRun {
  int exitCode;
  std::string out;
  std::string err;
};

CommandRun Voices(const std::vector<std::string>& arguments) {
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  const int exitCode = fala::VoicesCommand(fala::Output{}, arguments);
  std::fflush(stdout);
  return {exitCode, ::testing::internal::GetCapturedStdout(), ::testing::internal::GetCapturedStderr()};
}

class VoicesCommandTest : public ::testing::Test {
 protected:
  void SetUp() override { engines::InstallScriptedServices(true); }
  void TearDown() override { engines::RemoveScriptedServices(); }
};

TEST_F(VoicesCommandTest, NumbersEachEnginesVoicesFromOne) {
  // The services' names are UTF-8 and come out as UTF-8.
  engines::Service().voices = {{"Ana", "pt-BR", "none"}, {"Ana", "pt-BR", "sussurro"}, {"Z\xC3\xA9", "pt", "none"}};
  engines::Library().voices = {{"Portugu\xC3\xAAs (Brasil)", "pt-br", "roa/pt-BR"}, {"English", "en", "gmw/en"}};
  const struct {
    const char* engine;
    const char* expected;
  } cases[] = {
      {"5", "1\tAna\tpt-BR\n2\tAna\tpt-BR\tsussurro\n3\tZ\xC3\xA9\tpt\n"},
      {"sapi54", "1\tAna\tpt-BR\n2\tAna\tpt-BR\tsussurro\n3\tZ\xC3\xA9\tpt\n"},
      {"4", "1\tPortugu\xC3\xAAs (Brasil)\tpt-br\n2\tEnglish\ten\n"},
      {"0", "1\tPortugu\xC3\xAAs (Brasil)\tpt-br\n2\tEnglish\ten\n"},
      {"sapi4", "1\tPortugu\xC3\xAAs (Brasil)\tpt-br\n2\tEnglish\ten\n"},
  };
  for (const auto& c : cases) {
    const CommandRun run = Voices({"--engine", c.engine});
    EXPECT_EQ(run.exitCode, 0) << c.engine;
    EXPECT_EQ(run.out, c.expected) << c.engine;
  }
  EXPECT_EQ(engines::Service().openConnections, 0) << "the listing connection is closed";
}

TEST_F(VoicesCommandTest, ReportsAnEngineWithoutVoicesAndBadArguments) {
  engines::InstallScriptedServices(false);
  for (const char* engine : {"5", "4", "3"}) {
    const CommandRun run = Voices({"--engine", engine});
    EXPECT_EQ(run.exitCode, 1) << engine;
    EXPECT_EQ(run.out, "") << engine;
    EXPECT_NE(run.err, "") << engine;
  }
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{}, {"--engine"}, {"--engine", "cinco"}, {"--engine", "5x"},
        {"--engine", "99999999999"}, {"5"}}) {
    const CommandRun run = Voices(arguments);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("usage: fala voices"), std::string::npos);
  }
}

}  // namespace
