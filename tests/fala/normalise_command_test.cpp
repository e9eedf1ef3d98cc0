// `fala normalise`: arguments in the terminal's UTF-8, normalised text out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands.h"
#include "platform/system.h"

namespace {

struct CommandRun {
  int exitCode;
  std::string out;
  std::string err;
};

CommandRun Normalise(const std::vector<std::string>& arguments, bool raw = false) {
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  const int exitCode = fala::NormaliseCommand(fala::Output{.raw = raw}, arguments);
  std::fflush(stdout);
  CommandRun run{exitCode, ::testing::internal::GetCapturedStdout(), ::testing::internal::GetCapturedStderr()};
  return run;
}

TEST(NormaliseCommandTest, JoinsItsArgumentsIntoOneTextAndUsesTheShippedAbbreviations) {
  const CommandRun run = Normalise({"O", "Sr.", "Silva", "tem", "1.500", "reais"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, "O senhor Silva tem mil e quinhentos  reais\n");
}

TEST(NormaliseCommandTest, ReadsAndWritesUtf8OrRawBytes) {
  // Source literals are Windows-1252, so the terminal's UTF-8 is written as bytes.
  EXPECT_EQ(Normalise({"3\xC2\xBA", "\xC3\xA0", "@"}).out, "terceiro  \xC3\xA0  arr\xC3\xB4" "ba \n");
  EXPECT_EQ(Normalise({"\xE0"}, true).out, "A grave\n");  // à as a Windows-1252 byte
}

TEST(NormaliseCommandTest, ReportsAMissingDataFolderOrFolderArgument) {
  const CommandRun missing = Normalise({"--data", "/nonexistent/aravo", "texto"});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(missing.out, "");
  EXPECT_NE(missing.err.find(std::string("/nonexistent/aravo") + platform::kPathSeparator + "portug.abr"),
            std::string::npos)
      << missing.err;

  const CommandRun noFolder = Normalise({"--data"});
  EXPECT_EQ(noFolder.exitCode, 2);
  EXPECT_NE(noFolder.err.find("--data"), std::string::npos);
}

}  // namespace
