// Opening and closing the internal voice: result codes, the folders it reads, and the
// current folder left as it was on every path.
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "platform/system.h"
#include "support/native_paths.h"
#include "synthesizer_fixture.h"

namespace diphone_test {
namespace {

class OpenTest : public SynthesizerTest {
 protected:
  void SetUp() override {
    SynthesizerTest::SetUp();
    originalFolder_ = platform::CurrentFolder();
    workFolder_ = Folder() + "/work";
    std::filesystem::create_directories(workFolder_);
    ASSERT_TRUE(platform::SetCurrentFolder(workFolder_));
    workFolder_ = platform::CurrentFolder();
    if (const char* data = std::getenv("VERANTO_DATA")) oldData_ = data;
  }

  void TearDown() override {
    platform::SetCurrentFolder(originalFolder_);
    if (oldData_) {
      setenv("VERANTO_DATA", oldData_->c_str(), 1);
    } else {
      unsetenv("VERANTO_DATA");
    }
    SynthesizerTest::TearDown();
  }

  // DiphoneOpen's result, checking that the current folder is the same afterwards.
  int OpenAndCheckFolder() {
    const int result = diphone::DiphoneOpen();
    EXPECT_EQ(platform::CurrentFolder(), workFolder_) << "current folder after result " << result;
    return result;
  }

  void Remove(const std::string& path) { std::filesystem::remove_all(Folder() + "/" + path); }

  std::string originalFolder_;
  std::string workFolder_;
  std::optional<std::string> oldData_;
};

TEST_F(OpenTest, ResultCodesAndFolderRestoredOnEveryPath) {
  enum Fault { kNone, kLetters, kDiphones, kIndex, kData, kName, kEmptySetting, kRules, kExceptions };
  const struct {
    const char* what;
    Fault fault;
    int result;
  } cases[] = {
      {"everything there", kNone, diphone::kDiphoneReady},
      {"no letters folder", kLetters, diphone::kDiphoneFilesMissing},
      {"no diphone folder", kDiphones, diphone::kDiphoneFilesMissing},
      {"no index", kIndex, diphone::kDiphoneFilesMissing},
      {"no data file", kData, diphone::kDiphoneFilesMissing},
      {"no database name", kName, diphone::kDiphoneFilesMissing},
      {"empty letters setting", kEmptySetting, diphone::kDiphoneFilesMissing},
      {"no rules", kRules, diphone::kDiphoneRulesMissing},
      {"no exceptions", kExceptions, diphone::kDiphoneRulesMissing},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    AddSegment("$KA", 400);
    WriteDatabase();
    switch (c.fault) {
      case kNone:
        break;
      case kLetters:
        Remove("letras");
        break;
      case kDiphones:
        Remove("difones");
        break;
      case kIndex:
        Remove("difones/TESTE.IND");
        break;
      case kData:
        Remove("difones/TESTE.DIF");
        break;
      case kName:
        diphone::DiphoneSetDatabase("");
        break;
      case kEmptySetting:
        WriteSettings("DIRLETRAS=\r\nDIRDIFONES=" + diphones_ + "\r\n");
        break;
      case kRules:
        Remove("difones/regras.rgr");
        break;
      case kExceptions:
        Remove("difones/portug.exc");
        break;
    }
    const sim::RunResult run = RunVoice([&] {
      EXPECT_EQ(OpenAndCheckFolder(), c.result);
      // A failed open holds nothing: speaking plays nothing, closing twice is harmless.
      diphone::DiphoneSpeak("[kA]", false);
      diphone::DiphoneClose();
      diphone::DiphoneClose();
    });
    ASSERT_FALSE(run.stalled) << run.message;
    EXPECT_EQ(sim::WaveBlocks().size(), c.result == diphone::kDiphoneReady ? 1u : 0u);
  }
}

// Folders relative to the current folder (as in the Windows package) are both taken from
// it, though the voice changes into the letters folder before it goes to the other.
TEST_F(OpenTest, RelativeFoldersAreTakenFromTheCurrentFolder) {
  AddSegment("$KA", 400);
  WriteDatabase();
  WriteSettings("DIRLETRAS=letras\r\nDIRDIFONES=difones\r\n");
  ASSERT_TRUE(platform::SetCurrentFolder(Folder()));
  workFolder_ = platform::CurrentFolder();
  EXPECT_EQ(OpenAndCheckFolder(), diphone::kDiphoneReady);
  EXPECT_EQ(diphone::DiphoneLettersFolder(), test_paths::Native(workFolder_ + "/letras/"));
  diphone::DiphoneClose();
}

TEST_F(OpenTest, DatabaseNameIsCutToEightCharacters) {
  AddSegment("$KA", 400);
  WriteDatabase("difones/ABCDEFGH");
  diphone::DiphoneSetDatabase("ABCDEFGHIJ");
  EXPECT_EQ(OpenAndCheckFolder(), diphone::kDiphoneReady);
}

TEST_F(OpenTest, DriveFoldersAndTheBuiltInDefaultsLeadIntoTheDataFolder) {
  if (test_paths::kWindowsRules) GTEST_SKIP() << "a drive stands for the data folder on Linux alone";
  const std::string data = Folder() + "/dados";
  setenv("VERANTO_DATA", data.c_str(), 1);
  AddSegment("$KA", 400);
  WriteDatabase("dados/lumivar/som/difones/TESTE");
  WriteFile("dados/lumivar/som/difones/regras.rgr", "(A)=a\r\n");
  WriteFile("dados/lumivar/som/difones/portug.exc", "voce^=vose^\r\n");
  const Bytes b = SegmentSamples("_66", 300);
  WriteFile("dados/lumivar/som/letras/_66.wav", WaveImage(11025, 1, 8, b));

  // No keys: the built-in "c:\lumivar\som\..." folders, with the drive made current first.
  WriteSettings("");
  const sim::RunResult run = RunVoice([&] {
    ASSERT_EQ(OpenAndCheckFolder(), diphone::kDiphoneReady);
    EXPECT_EQ(diphone::DiphoneLettersFolder(), std::string("c:\\lumivar\\som\\letras") + platform::kPathSeparator);
    diphone::DiphoneSpeak("[ /_B]", false);
    diphone::DiphoneClose();
  });
  ASSERT_FALSE(run.stalled) << run.message;
  ASSERT_EQ(PlayedBlocks().size(), 1u);
  EXPECT_EQ(PlayedBlocks()[0], AsPlayed(b));

  // Folders ending in a backslash keep it and get no second separator.
  WriteSettings("DIRLETRAS=c:\\lumivar\\som\\letras\\\r\nDIRDIFONES=c:\\lumivar\\som\\difones\\\r\n");
  EXPECT_EQ(OpenAndCheckFolder(), diphone::kDiphoneReady);
  EXPECT_EQ(diphone::DiphoneLettersFolder(), "c:\\lumivar\\som\\letras\\");
  diphone::DiphoneClose();

  // A drive whose folder does not exist.
  setenv("VERANTO_DATA", (Folder() + "/nowhere").c_str(), 1);
  EXPECT_EQ(OpenAndCheckFolder(), diphone::kDiphoneFilesMissing);
}

TEST_F(OpenTest, FoldersAsLongAsTheFileSystemTakes) {
  // Nested folders of 200 characters each, up to the longest path a setting is read with. Windows'
  // ANSI file functions stop at MAX_PATH (260 with the terminator): there the longest folder is
  // the one whose files ("\regras.rgr") still fit.
  constexpr std::size_t kMaxPath = 260;
  const std::size_t longestWindowsFolder = kMaxPath - 1 - std::string("\\regras.rgr").size();
  for (const std::size_t length :
       {std::size_t{81}, test_paths::kWindowsRules ? longestWindowsFolder : std::size_t{256}, std::size_t{4000}}) {
    SCOPED_TRACE(length);
    if (test_paths::kWindowsRules && length >= kMaxPath) {
      GTEST_SKIP() << "Windows' ANSI file functions stop at MAX_PATH";
    }
    std::string relative = "longo";
    while (Folder().size() + 1 + relative.size() + 201 <= length) relative += "/" + std::string(200, 'p');
    relative += "/" + std::string(length - Folder().size() - 1 - relative.size() - 1, 'q');
    const std::string deep = Folder() + "/" + relative;
    ASSERT_EQ(deep.size(), length);
    AddSegment("$KA", 400);
    WriteDatabase(relative + "/TESTE");
    WriteFile(relative + "/regras.rgr", "(A)=a\r\n");
    WriteFile(relative + "/portug.exc", "voce^=vose^\r\n");
    WriteSettings("DIRLETRAS=" + deep + "\r\nDIRDIFONES=" + deep + "\r\n");
    EXPECT_EQ(OpenAndCheckFolder(), diphone::kDiphoneReady);
    EXPECT_EQ(diphone::DiphoneLettersFolder(), deep + platform::kPathSeparator);
    diphone::DiphoneClose();
  }
}

TEST_F(OpenTest, OpenCloseOpenAgain) {
  AddSegment("$KA", 400);
  WriteDatabase();
  const sim::RunResult run = RunVoice([&] {
    EXPECT_EQ(OpenAndCheckFolder(), diphone::kDiphoneReady);
    EXPECT_EQ(diphone::DiphoneLettersFolder(), letters_ + platform::kPathSeparator);
    // Opening again while open replaces everything held.
    EXPECT_EQ(OpenAndCheckFolder(), diphone::kDiphoneReady);
    diphone::DiphoneClose();
    diphone::DiphoneSpeak("[kA]", false);
    EXPECT_EQ(OpenAndCheckFolder(), diphone::kDiphoneReady);
    diphone::DiphoneSpeak("[kA]", false);
    diphone::DiphoneClose();
  });
  ASSERT_FALSE(run.stalled) << run.message;
  ASSERT_EQ(PlayedBlocks().size(), 1u);
  EXPECT_EQ(PlayedBlocks()[0], AsPlayed(Segment("$KA")));
}

TEST_F(OpenTest, IndexRecordsOutsideTheDataAreLeftOutAndTheTailIgnored) {
  AddSegment("$K", 300);
  AddSegment("$A", 500);
  WriteDatabase();
  // Append a record for $KA that runs 1 byte past the data, and 7 stray bytes.
  const std::string dataPath = Folder() + "/difones/TESTE.DIF";
  const auto dataSize = static_cast<std::uint32_t>(std::filesystem::file_size(dataPath));
  std::string index = IndexRecord("$A", 500, 0) + IndexRecord("$K", 300, 500) +
                      IndexRecord("$KA", 200, dataSize - 199) + std::string("\x03$KO\0\0\0", 7);
  WriteFile("difones/TESTE.IND", index);
  diphone::DiphoneSetCut(0);
  Speak("[kA]");
  // $KA counts as missing: $K at 0.9 and $A whole.
  ASSERT_EQ(PlayedBlocks().size(), 1u);
  EXPECT_EQ(PlayedBlocks()[0], AsPlayed(Join({Prefix(Segment("$K"), 270), Segment("$A")})));
}

}  // namespace
}  // namespace diphone_test
