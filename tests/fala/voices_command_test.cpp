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

TEST_F(VoicesCommandTest, NumbersEachEnginesVoicesFromOneAndShowsTheFallBack) {
  // The services' names are UTF-8 and come out as UTF-8.
  engines::Service().voices = {{"Ana", "pt-BR", "none"}, {"Ana", "pt-BR", "sussurro"}, {"Z\xC3\xA9", "pt", "none"}};
  engines::Library().voices = {{"English", "en", "gmw/en"}, {"Portugu\xC3\xAAs (Brasil)", "pt-br", "roa/pt-BR"}};
#define kServiceFallBack "0\t(the service's own voice for pt-BR: VOZ absent, 0 or past 3)\n"
#define kLibraryFallBack "0\tPortugu\xC3\xAAs (Brasil)\tpt-br\t(VOZ absent, 0 or below)\n"
  const struct {
    const char* engine;
    const char* language;
    const char* expected;
  } cases[] = {
      {"5", "", "1\tAna\tpt-BR\n2\tAna\tpt-BR\tsussurro\n3\tZ\xC3\xA9\tpt\n" kServiceFallBack},
      {"sapi54", "", "1\tAna\tpt-BR\n2\tAna\tpt-BR\tsussurro\n3\tZ\xC3\xA9\tpt\n" kServiceFallBack},
      {"5", "PT-br", "1\tAna\tpt-BR\n2\tAna\tpt-BR\tsussurro\n" kServiceFallBack},
      {"5", "p", kServiceFallBack},
      {"4", "", "1\tEnglish\ten\n2\tPortugu\xC3\xAAs (Brasil)\tpt-br\n" kLibraryFallBack},
      {"0", "", "1\tEnglish\ten\n2\tPortugu\xC3\xAAs (Brasil)\tpt-br\n" kLibraryFallBack},
      {"sapi4", "pt", "2\tPortugu\xC3\xAAs (Brasil)\tpt-br\n" kLibraryFallBack},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.engine) + " " + c.language);
    std::vector<std::string> arguments = {"--engine", c.engine};
    if (c.language[0] != '\0') arguments.insert(arguments.end(), {"--lang", c.language});
    const CommandRun run = Voices(arguments);
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
        {"--engine", "99999999999"}, {"5"}, {"--engine", "5", "--lang"}, {"--engine", "5", "--lang", ""},
        {"--engine", "5", "--idioma", "pt"}}) {
    const CommandRun run = Voices(arguments);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("usage: fala voices"), std::string::npos);
  }
}

}  // namespace
