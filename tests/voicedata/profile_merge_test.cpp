// Merging the set-up settings into an existing VERANTO.INI.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/temp_folder.h"
#include "profile_merge.h"
#include "source_list.h"

namespace {

using voicedata::MergeProfile;
using voicedata::ProfileEntry;

TEST(MergeProfileTest, AddsWhatIsMissingAndKeepsEverythingElse) {
  const std::vector<ProfileEntry> entries = {{"TRADUTOR", "VELOCIDADE", "3"}, {"TRADUTOR", "SAPI", "N"},
                                             {"VIDEO", "CANTOTELA", "SIM"}};
  struct Case {
    const char* what;
    std::string before;
    std::string after;
  };
  const Case cases[] = {
      {"an empty file gets every section",
       "",
       "[TRADUTOR]\r\nVELOCIDADE=3\r\nSAPI=N\r\n\r\n[VIDEO]\r\nCANTOTELA=SIM\r\n"},
      {"present values are kept, even empty ones, whatever their case",
       "[tradutor]\r\n velocidade = 5\r\nSapi=\r\n[Video]\r\nCANTOTELA=NAO\r\n",
       "[tradutor]\r\n velocidade = 5\r\nSapi=\r\n[Video]\r\nCANTOTELA=NAO\r\n"},
      {"a missing key goes after the last filled line of its section, before the blank",
       "[TRADUTOR]\r\nSAPI=S\r\n\r\n[VIDEO]\r\nCANTOTELA=SIM\r\n",
       "[TRADUTOR]\r\nSAPI=S\r\nVELOCIDADE=3\r\n\r\n[VIDEO]\r\nCANTOTELA=SIM\r\n"},
      {"only the first section of a name is filled; comments are not keys",
       "[TRADUTOR]\r\n;VELOCIDADE=1\r\nSAPI=N\r\n[TRADUTOR]\r\nVELOCIDADE=4\r\n[VIDEO]\r\nCANTOTELA=SIM\r\n",
       "[TRADUTOR]\r\n;VELOCIDADE=1\r\nSAPI=N\r\nVELOCIDADE=3\r\n[TRADUTOR]\r\nVELOCIDADE=4\r\n[VIDEO]\r\n"
       "CANTOTELA=SIM\r\n"},
      {"other sections, keys and odd lines are untouched; a key of another section does not count",
       "[AUDIVAL]\r\nSAPI=S\r\nsem igual\r\n",
       "[AUDIVAL]\r\nSAPI=S\r\nsem igual\r\n\r\n[TRADUTOR]\r\nVELOCIDADE=3\r\nSAPI=N\r\n\r\n[VIDEO]\r\n"
       "CANTOTELA=SIM\r\n"},
      {"LF lines stay LF; a last line without a line end gets CR LF when lines follow",
       "[VIDEO]\nCANTOTELA=SIM\n[TRADUTOR]\nSAPI=S",
       "[VIDEO]\nCANTOTELA=SIM\n[TRADUTOR]\nSAPI=S\r\nVELOCIDADE=3\r\n"},
      {"a complete file without a final line end is left as it is",
       "[TRADUTOR]\r\nVELOCIDADE=1\r\nSAPI=S\r\n[VIDEO]\r\nCANTOTELA=N",
       "[TRADUTOR]\r\nVELOCIDADE=1\r\nSAPI=S\r\n[VIDEO]\r\nCANTOTELA=N"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MergeProfile(c.before, entries), c.after) << c.what;
    // Merging twice adds nothing more.
    EXPECT_EQ(MergeProfile(c.after, entries), c.after) << c.what;
  }
}

TEST(MergeProfileTest, KeepsWindows1252ValuesByteForByte) {
  const std::string before = "[TRADUTOR]\r\nDIRLETRAS=c:\\m\xe9\x64ia\\letras\r\n";
  EXPECT_EQ(MergeProfile(before, {{"TRADUTOR", "DIRLETRAS", "/outra"}}), before);
  EXPECT_EQ(MergeProfile(before, {{"AUDIVAL", "DIRAUDIVAL", "/voz/\xe1udio"}}),
            before + "\r\n[AUDIVAL]\r\nDIRAUDIVAL=/voz/\xe1udio\r\n");
}

class MergeProfileFileTest : public TempFolderTest {};

TEST_F(MergeProfileFileTest, CreatesTheFileAndItsFolderAndWritesOnlyWhenSomethingIsAdded) {
  const std::string path = Folder() + "/nova/pasta/VERANTO.INI";
  const std::vector<ProfileEntry> entries = {{"BRAILLE", "MODO", "0"}};
  bool changed = false;
  std::string error;
  ASSERT_TRUE(voicedata::MergeProfileFile(path, entries, changed, error)) << error;
  EXPECT_TRUE(changed);
  std::string bytes;
  ASSERT_TRUE(voicedata::ReadWholeFile(path, bytes));
  EXPECT_EQ(bytes, "[BRAILLE]\r\nMODO=0\r\n");

  ASSERT_TRUE(voicedata::MergeProfileFile(path, entries, changed, error)) << error;
  EXPECT_FALSE(changed);

  // A folder where the file should be cannot be read: an error, not an empty merge.
  const std::string blocked = Folder() + "/bloqueado";
  std::filesystem::create_directories(blocked + "/VERANTO.INI");
  EXPECT_FALSE(voicedata::MergeProfileFile(blocked + "/VERANTO.INI", entries, changed, error));
  EXPECT_NE(error.find("VERANTO.INI"), std::string::npos);
}

}  // namespace
