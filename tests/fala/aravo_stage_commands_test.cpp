// `fala tokens`, `fala codes`, `fala phonemes` and `fala pho`: the Aravo stages on the
// shipped language files, or on the files of another folder.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
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

using Command = int (*)(const fala::Output&, const std::vector<std::string>&);

CommandRun RunCommand(Command command, const std::vector<std::string>& arguments,
                      bool raw = false) {
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  const int exitCode = command(fala::Output{.raw = raw}, arguments);
  std::fflush(stdout);
  CommandRun run{exitCode, ::testing::internal::GetCapturedStdout(),
                 ::testing::internal::GetCapturedStderr()};
  return run;
}

TEST(AravoStageCommandsTest, EachStageShowsItsLines) {
  const CommandRun tokens = RunCommand(fala::TokensCommand, {"Ol\xC3\xA1,", "mundo."});
  EXPECT_EQ(tokens.exitCode, 0);
  EXPECT_EQ(tokens.out, "[--]\n[XX]Ol\xC3\xA1\n[,,],\n[XX]mundo\n[..].\n[--]\n");

  const CommandRun codes = RunCommand(fala::CodesCommand, {"o", "gato?"});
  EXPECT_EQ(codes.exitCode, 0);
  EXPECT_EQ(codes.out, "555|\n444|o\n479|gato\n999|?\n955|\n");

  const CommandRun phonemes = RunCommand(fala::PhonemesCommand, {"casa"});
  EXPECT_EQ(phonemes.exitCode, 0);
  EXPECT_EQ(phonemes.out, ";555|\n__\n\n;565|casa\nk\n>a\nz\n\xC2\xA8@\n\n__\n");

  // Why each word came out so: the exception that respelled it, the stress, the rules fired.
  const CommandRun explained = RunCommand(fala::PhonemesCommand, {"--explain", "portas", "a"});
  EXPECT_EQ(explained.exitCode, 0);
  EXPECT_EQ(explained.out,
            "PORTAS: exception, read as P\xC3\x93RTAS\n  stress on letter 2 (\xC3\x93)\n"
            "  P       (P)=p\n  \xC3\x93       (\xC3\x93)=oo\n  R       (R)[=r2\n  T       (T)=t\n"
            "  A       (A)S%=\xC2\xA8@\n  S       (S)[=s2\nA: no exception\n  no stress mark\n"
            "  A       %(A)%=a\n");

  const CommandRun pho = RunCommand(fala::PhoCommand, {"casa"});
  EXPECT_EQ(pho.exitCode, 0);
  EXPECT_EQ(
      pho.out,
      ";\n_ 60 50 206\n\n;casa\nk 75 50 206\na 123 80 220\nz 101\n@ 65 50 206\n\n_ 60 50 206\n");
  EXPECT_EQ(pho.err, "");
}

TEST(AravoStageCommandsTest, PhoTakesPitchAndDurationFactors) {
  const CommandRun pho =
      RunCommand(fala::PhoCommand, {"--pitch", "0.5", "casa", "--duration", "2"});
  EXPECT_EQ(pho.exitCode, 0);
  EXPECT_NE(pho.out.find("\na 246 80 110\n"), std::string::npos) << pho.out;
  EXPECT_EQ(RunCommand(fala::PhoCommand, {"--pitch", "zero", "casa"}).exitCode, 2);
  EXPECT_EQ(RunCommand(fala::PhoCommand, {"casa", "--duration"}).exitCode, 2);
}

class AravoDataFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() / "fala_aravo_data";
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    for (const char* name : {"portug.abr", "portug.nrl", "portug.exc", "portug.dfn"}) {
      std::ofstream(folder_ / name, std::ios::binary) << "\r\n";
    }
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }
  std::filesystem::path folder_;
};

TEST_F(AravoDataFolderTest, ProsodyMessagesAndMissingFilesGoToStandardError) {
  const std::string folder = folder_.string();
  const CommandRun missing = RunCommand(fala::TokensCommand, {"--data", folder, "texto"});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(missing.out, "");
  EXPECT_NE(missing.err.find("Configura\xC3\xA7\xC3\xA3o da pros\xC3\xB3"
                             "dia n\xC3\xA3o foi achada"),
            std::string::npos)
      << missing.err;
  EXPECT_NE(missing.err.find(folder + platform::kPathSeparator + "portug.pro"), std::string::npos) << missing.err;

  std::ofstream(folder_ / "portug.pro", std::ios::binary)
      << "[DURA\xC7\xC3O]\r\na=abc\r\n[CHAVES]\r\n[PROS\xD3" "DIA]\r\n";
  const CommandRun bad = RunCommand(fala::PhoCommand, {"--data", folder, "a"});
  EXPECT_EQ(bad.exitCode, 0);  // an unreadable duration is shown, and loading goes on
  EXPECT_NE(bad.err.find("fonema errado: a=abc"), std::string::npos) << bad.err;

  std::filesystem::remove(folder_ / "portug.dfn");
  const CommandRun noInventory = RunCommand(fala::PhoCommand, {"--data", folder, "a"});
  EXPECT_EQ(noInventory.exitCode, 1);
  EXPECT_NE(noInventory.err.find("portug.dfn"), std::string::npos) << noInventory.err;
  // Phonemes do not need the inventory.
  EXPECT_EQ(RunCommand(fala::PhonemesCommand, {"--data", folder, "a"}).exitCode, 0);
}

}  // namespace
