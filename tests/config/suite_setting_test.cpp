#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/suite_setting.h"
#include "platform/encoding.h"
#include "platform/system.h"
#include "platform/temp_folder.h"
#include "support/native_paths.h"

namespace {

using test_paths::kWindowsRules;
using test_paths::Native;

class SuiteSettingTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    config::RecordStartupFolder(Folder() + Native("/start/"));
  }
};

TEST_F(SuiteSettingTest, RecordsTheStartupFolderWithoutItsTrailingSeparator) {
  EXPECT_EQ(config::StartupFolder(), Folder() + Native("/start"));
  config::RecordStartupFolder(Native("/"));
  EXPECT_EQ(config::StartupFolder(), "");
  config::RecordStartupFolder(Native("/home/u"));
  EXPECT_EQ(config::StartupFolder(), Native("/home/u"));
}

TEST_F(SuiteSettingTest, ReadsAndExpandsFromTheWindowsFolder) {
  WriteFile("VERANTO.INI",
            "[VERANTO]\r\nPGMVERANTO=/opt/veranto\r\nTRADUTOR=@/tradutor\r\n"
            "[AUDIVAL]\r\nDIRAUDIVAL=@\\som\\audival\r\nOUTRO=a@b\r\n");
  WriteFile("start/VERANTO.INI", "[AUDIVAL]\nDIRAUDIVAL=from the start-up folder\n");
  const std::string folder = config::ReadSuiteSetting("AUDIVAL", "DIRAUDIVAL");
  EXPECT_EQ(folder, "/opt/veranto\\som\\audival");
  // Windows takes the path as it is written.
  EXPECT_EQ(platform::NativePath(folder), kWindowsRules ? folder : "/opt/veranto/som/audival");
  EXPECT_EQ(config::ReadSuiteSetting("audival", "outro"), "a@b");
  EXPECT_EQ(config::ReadSuiteSetting("", "TRADUTOR"), "/opt/veranto/tradutor");
  EXPECT_EQ(config::ReadSuiteSetting("AUDIVAL", "ABSENT"), "");
}

TEST_F(SuiteSettingTest, FallsBackToTheStartupFolder) {
  WriteFile("start/VERANTO.INI", "[VERANTO]\nPGMVERANTO=@elsewhere\n[AUDIVAL]\nDIRAUDIVAL=@\\som\n");
  EXPECT_EQ(config::ReadSuiteSetting("AUDIVAL", "DIRAUDIVAL"), Folder() + Native("/start") + "\\som");
  WriteFile("start/VERANTO.INI", "[VERANTO]\nPGMVERANTO=\n[AUDIVAL]\nDIRAUDIVAL=@/som\n");
  EXPECT_EQ(config::ReadSuiteSetting("AUDIVAL", "DIRAUDIVAL"), Folder() + Native("/start") + "/som");
}

TEST_F(SuiteSettingTest, AbsentFileGivesEmptyText) {
  EXPECT_EQ(config::ReadSuiteSetting("AUDIVAL", "DIRAUDIVAL"), "");
  EXPECT_EQ(config::ReadSuiteSetting("", "PGMVERANTO"), "");
}

TEST_F(SuiteSettingTest, ReadsValuesAsLongAsAPath) {
  const std::string longValue(5000, 'v');
  WriteFile("VERANTO.INI", "[VERANTO]\nPGMVERANTO=/p\n[A]\nK=" + longValue + "\nR=@/" + longValue + "\n");
  EXPECT_EQ(config::ReadSuiteSetting("A", "K"), std::string(4096, 'v'));
  // The expansion may make the value longer than what was read.
  EXPECT_EQ(config::ReadSuiteSetting("A", "R"), "/p/" + std::string(4094, 'v'));
}

TEST_F(SuiteSettingTest, FindsTheWindowsFoldersFileWhateverTheCaseOfItsName) {
  const struct {
    std::vector<std::string> names;
    const char* read;
  } cases[] = {
      {{"veranto.ini"}, "veranto.ini"},
      {{"veranto.ini.bak", "verant.ini"}, "start"},
      {{"Veranto.Ini", "veranto.ini"}, "Veranto.Ini"},
      {{"veranto.ini", "VERANTO.INI", "Veranto.ini"}, "VERANTO.INI"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.read);
    if (kWindowsRules && c.names.size() > 1 && platform::SameIgnoringCase(c.names[0], c.names[1])) {
      GTEST_SKIP() << "Windows keeps one file for names that differ only in case";
    }
    TearDown();
    SetUp();
    WriteFile("start/VERANTO.INI", "[A]\nK=start\n");
    for (const std::string& name : c.names) WriteFile(name, "[A]\nK=" + name + "\n");
    EXPECT_EQ(config::ReadSuiteSetting("A", "K"), c.read);
    EXPECT_EQ(platform::ReadProfileString("A", "K", "start", 256, "VERANTO.INI"), c.read);
  }
}

}  // namespace
