// The voicedata program as set-up runs it, into temporary folders: every file it builds,
// checked against the lists in data/ and the formats the program reads.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/temp_folder.h"
#include "source_list.h"
#include "support/file_bytes.h"

namespace {

using test_support::LittleEndianField;
using test_support::ReadFileBytes;

const std::string kProgram = VOICEDATA_PROGRAM;
const std::string kSourceData = VOICEDATA_SOURCE_DATA;

std::vector<voicedata::SourceEntry> ListOf(const std::string& relative) {
  std::vector<voicedata::SourceEntry> entries;
  std::string error;
  EXPECT_TRUE(voicedata::ReadSourceList(kSourceData + "/" + relative, entries, error)) << error;
  return entries;
}

class GeneratedDataTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    if (const char* data = std::getenv("VERANTO_DATA")) savedData_ = data;
    // espeak-ng is not built with the sanitizers; what it keeps until exit is not ours.
    setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
    source_ = Folder() + "/fonte";
    for (const char* name : {"diphone/segmentos.txt", "recordings/letras.txt", "recordings/numeros.txt",
                             "recordings/audival.txt", "aravo/portug.nrl", "aravo/portug.exc",
                             "aravo/portug.abr", "aravo/portug.pro", "aravo/portug.dfn",
                             "formant/br1.voice"}) {
      WriteFile(std::string("fonte/") + name, ReadFileBytes(kSourceData + "/" + name));
    }
    // The translator's files travel with the database; stand-ins when the tree has none yet.
    for (const char* name : {"diphone/regras.rgr", "diphone/portug.exc"}) {
      const std::string bytes = ReadFileBytes(kSourceData + "/" + name);
      WriteFile(std::string("fonte/") + name, bytes.empty() ? std::string("; ") + name + "\r\n" : bytes);
    }
  }

  void TearDown() override {
    if (savedData_) {
      setenv("VERANTO_DATA", savedData_->c_str(), 1);
    } else {
      unsetenv("VERANTO_DATA");
    }
    TempFolderTest::TearDown();
  }

  // Runs voicedata with the arguments; its exit code, and its output in `output_`.
  int Run(const std::string& arguments) {
    const std::string log = Folder() + "/saida.txt";
    const int status = std::system(("'" + kProgram + "' " + arguments + " > '" + log + "' 2>&1").c_str());
    output_ = ReadFileBytes(log);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // A recording: the canonical header for 8-bit mono 11 025 Hz, its data size, and some sound.
  void ExpectRecording(const std::string& path, std::size_t maxData) {
    const std::string bytes = ReadFileBytes(path);
    ASSERT_GT(bytes.size(), 44u) << path;
    EXPECT_EQ(bytes.substr(0, 4), "RIFF") << path;
    EXPECT_EQ(LittleEndianField(bytes, 4, 4), bytes.size() - 8) << path;
    EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ") << path;
    EXPECT_EQ(LittleEndianField(bytes, 16, 4), 16u) << path;
    EXPECT_EQ(LittleEndianField(bytes, 20, 2), 1u) << path;      // PCM
    EXPECT_EQ(LittleEndianField(bytes, 22, 2), 1u) << path;      // mono
    EXPECT_EQ(LittleEndianField(bytes, 24, 4), 11025u) << path;  // rate
    EXPECT_EQ(LittleEndianField(bytes, 28, 4), 11025u) << path;  // bytes per second
    EXPECT_EQ(LittleEndianField(bytes, 32, 2), 1u) << path;      // block alignment
    EXPECT_EQ(LittleEndianField(bytes, 34, 2), 8u) << path;      // bits
    EXPECT_EQ(bytes.substr(36, 4), "data") << path;
    const std::size_t size = LittleEndianField(bytes, 40, 4);
    EXPECT_EQ(size, bytes.size() - 44) << path;
    EXPECT_GE(size, 1000u) << path << ": a word lasts longer than 90 ms";
    EXPECT_LE(size, maxData) << path;
    int peak = 0;
    for (std::size_t i = 44; i < bytes.size(); ++i) peak = std::max(peak, std::abs(static_cast<unsigned char>(bytes[i]) - 128));
    EXPECT_GE(peak, 40) << path << " is nearly silent";
  }

  std::string source_;
  std::string output_;
  std::optional<std::string> savedData_;
};

TEST_F(GeneratedDataTest, DatabaseHoldsEverySegmentSortedWithinTheDataFile) {
  const std::string out = Folder() + "/difones";
  ASSERT_EQ(Run("diphones '" + source_ + "' '" + out + "'"), 0) << output_;
  const std::string index = ReadFileBytes(out + "/DIFONES2.IND");
  const std::string data = ReadFileBytes(out + "/DIFONES2.DIF");
  ASSERT_EQ(index.size() % 15, 0u);
  std::vector<std::string> names;
  for (std::size_t at = 0; at < index.size(); at += 15) {
    const std::size_t length = static_cast<unsigned char>(index[at]);
    ASSERT_GE(length, 1u);
    ASSERT_LE(length, 8u);
    const std::string name = index.substr(at + 1, length);
    const std::size_t size = LittleEndianField(index, at + 9, 2);
    const std::size_t offset = LittleEndianField(index, at + 11, 4);
    EXPECT_LE(offset + size, data.size()) << name;
    // Lone consonants and glides are short; a segment with a vowel lasts at least 60 ms
    // (the reduced i of $ICIRC is the shortest).
    const bool hasVowel = name.find_first_of("AEIOU") != std::string::npos;
    EXPECT_GE(size, hasVowel ? 660u : 250u) << name;
    EXPECT_LE(size, 20000u) << name;
    if (!names.empty()) {
      EXPECT_LT(names.back(), name) << "index out of order";
    }
    names.push_back(name);
  }
  const std::set<std::string> held(names.begin(), names.end());
  const std::vector<voicedata::SourceEntry> listed = ListOf("diphone/segmentos.txt");
  EXPECT_EQ(names.size(), listed.size());
  for (const auto& entry : listed) EXPECT_TRUE(held.count(entry.name)) << entry.name << " missing";
  for (const char* name : {"regras.rgr", "portug.exc"}) {
    EXPECT_EQ(ReadFileBytes(out + "/" + name), ReadFileBytes(source_ + "/diphone/" + name)) << name;
  }
}

TEST_F(GeneratedDataTest, EveryCharacterNumberWordAndPromptIsARecording) {
  const std::string letters = Folder() + "/letras";
  const std::string prompts = Folder() + "/audival";
  ASSERT_EQ(Run("letters '" + source_ + "' '" + letters + "'"), 0) << output_;
  ASSERT_EQ(Run("prompts '" + source_ + "' '" + prompts + "'"), 0) << output_;
  // Every printable Windows-1252 character has its recording; the synthesizer reads a
  // letter's data size as 16 bits.
  for (int code = 32; code <= 255; ++code) {
    if (code == 127 || code == 129 || code == 141 || code == 143 || code == 144 || code == 157) continue;
    ExpectRecording(letters + "/_" + std::to_string(code) + ".wav", 65535);
  }
  // Number words are joined in a 30 000-byte buffer; each must fit.
  const std::vector<voicedata::SourceEntry> numbers = ListOf("recordings/numeros.txt");
  EXPECT_EQ(numbers.size(), 49u);  // the 48 names numbers can produce and _MENOS
  for (const auto& entry : numbers) ExpectRecording(letters + "/" + entry.name + ".wav", 30000);
  const std::vector<voicedata::SourceEntry> listed = ListOf("recordings/audival.txt");
  EXPECT_EQ(listed.size(), 18u);
  for (const char* name : {"AVINIC", "AVRUIAMB", "AVENTSIL", "AVRUI2", "AVPORCEN", "AVEXEL", "AVNORMAL", "AVMUIRUI",
                           "AVENTNOR", "AVTESMIC", "AVVOLNOR", "AVMUIBAI", "AVMUIALT", "AVENTFOR", "AVPPP",
                           "AVVOLEXP", "AVMUIBAIX", "AVOKTERM"}) {
    ExpectRecording(prompts + "/" + name + ".wav", 200000);
  }
}

TEST_F(GeneratedDataTest, SetUpBuildsOnceMergesTheSettingsAndRebuildsOnlyWhatChanged) {
  const std::string root = Folder() + "/dados";
  setenv("VERANTO_DATA", root.c_str(), 1);
  WriteFile("VERANTO.INI", "[TRADUTOR]\r\nVELOCIDADE=5\r\n");
  ASSERT_EQ(Run("setup '" + source_ + "' /opt/veranto"), 0) << output_;
  unsetenv("VERANTO_DATA");
  for (const char* file : {"difones/DIFONES2.IND", "difones/DIFONES2.DIF", "difones/regras.rgr", "letras/_65.wav",
                           "letras/_zero.wav", "letras/_MENOS.wav", "audival/AVINIC.wav"}) {
    EXPECT_TRUE(std::filesystem::is_regular_file(root + "/lumivar/som/" + file)) << file;
  }
  for (const char* file : {"portug.nrl", "portug.exc", "portug.abr", "portug.pro", "portug.dfn", "br1.voice"}) {
    EXPECT_EQ(ReadFileBytes(root + "/lumivar/aravotts/" + file).size(),
              ReadFileBytes(source_ + (std::string(file) == "br1.voice" ? "/formant/" : "/aravo/") + file).size())
        << file;
  }
  const std::string ini = ReadFileBytes(Folder() + "/VERANTO.INI");
  EXPECT_EQ(ini.rfind("[TRADUTOR]\r\nVELOCIDADE=5\r\n", 0), 0u) << "an existing value is kept";
  for (const std::string& line :
       {std::string("PGMVERANTO=/opt/veranto\r\n"), "DIRAUDIVAL=" + root + "/lumivar/som/audival\r\n",
        "DIRLETRAS=" + root + "/lumivar/som/letras\r\n", "DIRDIFONES=" + root + "/lumivar/som/difones\r\n",
        std::string("DIFONES3=DIFONES2\r\n"), std::string("PAUSADOISPONTOS5="), std::string("CANTOTELA=SIM\r\n"),
        "MBROLA_DB=" + root + "/lumivar/aravotts/br1.voice\r\n", "DIR=" + root + "/lumivar/aravotts/\r\n",
        std::string("BASE=portug\r\n")}) {
    EXPECT_NE(ini.find(line), std::string::npos) << line;
  }

  // Run again: nothing to build, nothing to add.
  setenv("VERANTO_DATA", root.c_str(), 1);
  ASSERT_EQ(Run("setup '" + source_ + "' /opt/veranto"), 0) << output_;
  std::size_t upToDate = 0;
  for (std::size_t at = output_.find("up to date"); at != std::string::npos; at = output_.find("up to date", at + 1)) {
    ++upToDate;
  }
  EXPECT_EQ(upToDate, 4u) << output_;
  EXPECT_NE(output_.find("already complete"), std::string::npos) << output_;
  EXPECT_EQ(ReadFileBytes(Folder() + "/VERANTO.INI"), ini);

  // A new prompt in its list rebuilds the prompts and nothing else.
  WriteFile("fonte/recordings/audival.txt", ReadFileBytes(source_ + "/recordings/audival.txt") + "AVNOVO\tnovo\r\n");
  ASSERT_EQ(Run("all '" + source_ + "'"), 0) << output_;
  unsetenv("VERANTO_DATA");
  EXPECT_NE(output_.find("prompts: 19"), std::string::npos) << output_;
  EXPECT_NE(output_.find("letters: " + root + "/lumivar/som/letras is up to date"), std::string::npos) << output_;
  EXPECT_TRUE(std::filesystem::is_regular_file(root + "/lumivar/som/audival/AVNOVO.wav"));
}

TEST_F(GeneratedDataTest, ReportsBadUseAndBadListsClearly) {
  EXPECT_EQ(Run(""), 2);
  EXPECT_NE(output_.find("usage"), std::string::npos);
  EXPECT_EQ(Run("letters '" + source_ + "'"), 2);
  EXPECT_EQ(Run("letters '" + Folder() + "/nada' '" + Folder() + "/letras'"), 1);
  EXPECT_NE(output_.find("cannot read"), std::string::npos) << output_;
  WriteFile("fonte/recordings/audival.txt", "AVINIC\tum\r\n../fora\tdois\r\n");
  EXPECT_EQ(Run("prompts '" + source_ + "' '" + Folder() + "/audival'"), 1);
  EXPECT_NE(output_.find("../fora"), std::string::npos) << output_;
  EXPECT_FALSE(std::filesystem::exists(Folder() + "/fora.wav"));
}

}  // namespace
