// The win32 backend's folders, private-profile reader, registry, clock and component services
// for real, under Wine: files in the prefix's Windows folder (C:\windows) and beside the test
// program, keys that the test writes under HKEY_LOCAL_MACHINE (writable under Wine), each
// removed again at the end.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/system.h"
#include "platform/win32/windows_api.h"

#include <objbase.h>

namespace {

std::string WindowsOwnFolder() {
  char buffer[MAX_PATH + 1] = {};
  const UINT length = ::GetWindowsDirectoryA(buffer, sizeof buffer);
  return std::string(buffer, length);
}

std::string ProgramOwnFolder() {
  char buffer[MAX_PATH + 1] = {};
  const DWORD length = ::GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  const std::string path(buffer, length);
  return path.substr(0, path.find_last_of('\\'));
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  return ::lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

// A name no other run of the test uses at the same time.
std::string Unique(const std::string& stem) {
  return "vrtest_" + std::to_string(::GetCurrentProcessId()) + "_" + stem;
}

// A file written for one test and removed after it.
class TemporaryFile {
 public:
  TemporaryFile(std::string path, const std::string& contents) : path_(std::move(path)) {
    std::FILE* file = std::fopen(path_.c_str(), "wb");
    if (file != nullptr) {
      std::fwrite(contents.data(), 1, contents.size(), file);
      std::fclose(file);
    }
  }
  ~TemporaryFile() { ::DeleteFileA(path_.c_str()); }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

TEST(Win32Folders, WindowsFolderIsWindowsOwnWithoutTrailingSeparator) {
  const std::string folder = platform::WindowsFolder();
  EXPECT_EQ(folder, WindowsOwnFolder());
  EXPECT_TRUE(SameIgnoringCase(folder, "C:\\windows")) << folder;
  EXPECT_NE(folder.back(), '\\');
}

TEST(Win32Folders, ProgramPathAndDataFolderAreTheProgramsOwn) {
  const std::string program = platform::ProgramPath();
  EXPECT_TRUE(platform::FileExists(program)) << program;
  EXPECT_TRUE(SameIgnoringCase(program.substr(program.find_last_of('\\') + 1), "test_win32_system.exe")) << program;
  EXPECT_EQ(platform::DataFolder(), ProgramOwnFolder());
  EXPECT_NE(platform::DataFolder().back(), '\\');
}

TEST(Win32Folders, WindowsFolderFileIsTheWindowsFoldersThenTheOneBesideTheProgram) {
  const std::string windows = WindowsOwnFolder() + "\\";
  const std::string beside = ProgramOwnFolder() + "\\";
  const std::string both = Unique("both.ini");
  const std::string besideOnly = Unique("beside.ini");
  const std::string nowhere = Unique("nowhere.ini");
  TemporaryFile inWindows(windows + both, "[a]\n");
  TemporaryFile alsoBeside(beside + both, "[a]\n");
  TemporaryFile onlyBeside(beside + besideOnly, "[a]\n");

  EXPECT_EQ(platform::WindowsFolderFile(both), windows + both);
  EXPECT_EQ(platform::WindowsFolderFile(besideOnly), beside + besideOnly);
  EXPECT_EQ(platform::WindowsFolderFile(nowhere), windows + nowhere);
}

// What GetPrivateProfileStringA gives, with the contract's fallback and capacity.
TEST(Win32Profile, ReadsValuesTrimmedAndUnquotedWithFallbackAndCapacity) {
  const std::string name = Unique("VERANTO.INI");
  TemporaryFile file(WindowsOwnFolder() + "\\" + name,
                     "[Video]\r\n"
                     "Fonte =  \"Lucida Console\"  \r\n"
                     "Altura= 16\r\n"
                     "Vazio=\r\n"
                     "Aspas='x'\r\n"
                     "Acentos=medição\r\n"
                     "[veranto]\r\n"
                     "PGMVERANTO = C:\\lumivar\r\n");
  const auto read = [&name](const char* section, const char* key, const char* fallback = "fb  ",
                            int capacity = 255) {
    return platform::ReadProfileString(section, key, fallback, capacity, name);
  };
  EXPECT_EQ(read("VIDEO", "fonte"), "Lucida Console");
  EXPECT_EQ(read("video", "ALTURA"), "16");
  EXPECT_EQ(read("Video", "Vazio"), "");
  EXPECT_EQ(read("Video", "Aspas"), "x");
  EXPECT_EQ(read("Video", "Acentos"), "medição");
  EXPECT_EQ(read("VERANTO", "pgmveranto"), "C:\\lumivar");

  // Absent key, section or file: the fallback as given, blanks and all.
  EXPECT_EQ(read("Video", "Largura"), "fb  ");
  EXPECT_EQ(read("Audio", "Fonte"), "fb  ");
  EXPECT_EQ(platform::ReadProfileString("Video", "Fonte", "fb  ", 255, Unique("absent.ini")), "fb  ");
  EXPECT_EQ(platform::ReadProfileString("Video", "Fonte", "fb", 255, ""), "fb");

  // At most capacity - 1 characters, of the value or of the fallback.
  EXPECT_EQ(read("Video", "Fonte", "fb", 4), "Luc");
  EXPECT_EQ(read("Video", "Fonte", "fb", 1), "");
  EXPECT_EQ(read("Video", "Fonte", "fb", 0), "");
  EXPECT_EQ(read("Video", "Largura", "abcdef", 3), "ab");
  EXPECT_EQ(read("Video", "Fonte", "fb", platform::kPathCapacity), "Lucida Console");

  // A path with a separator is read as it is.
  EXPECT_EQ(platform::ReadProfileString("Video", "Altura", "", 255, file.path()), "16");
}

TEST(Win32Profile, BareNameNotInTheWindowsFolderIsReadFromBesideTheProgram) {
  const std::string name = Unique("beside_profile.ini");
  TemporaryFile file(ProgramOwnFolder() + "\\" + name, "[TRADUTOR]\nDIRLETRAS=c:\\som\\letras\n");
  EXPECT_EQ(platform::ReadProfileString("tradutor", "dirletras", "", 255, name), "c:\\som\\letras");
}

// Keys written for the test under HKEY_LOCAL_MACHINE and removed after it.
class Win32Registry : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = "SOFTWARE\\VerantoTest\\" + Unique("registry");
    key_ = base_ + "\\Mbrola\\BR4";
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, key_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                &key, nullptr),
              ERROR_SUCCESS);
    Set(key, "", REG_SZ, std::string("C:\\mbrola\\br4\\br4") + '\0');
    Set(key, "Caminho", REG_EXPAND_SZ, std::string("%SystemRoot%\\voz") + '\0');
    Set(key, "SemFim", REG_SZ, "sem terminador");  // stored without its terminating 0
    Set(key, "Numero", REG_DWORD, std::string("\x04\x00\x00\x00", 4));
    Set(key, "Vazio", REG_SZ, std::string(1, '\0'));
    ::RegCloseKey(key);
  }

  void TearDown() override { ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\VerantoTest"); }

  static void Set(HKEY key, const char* name, DWORD type, const std::string& bytes) {
    ASSERT_EQ(::RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                               static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
  }

  std::string base_;
  std::string key_;
};

TEST_F(Win32Registry, ReadsStringValuesOfTheMachinesKeys) {
  std::string value = "before";
  ASSERT_TRUE(platform::ReadRegistryString(key_, "", value));
  EXPECT_EQ(value, "C:\\mbrola\\br4\\br4");
  // The form the Aravo adapter uses: the key's name ends with a separator.
  value.clear();
  ASSERT_TRUE(platform::ReadRegistryString(key_ + "\\", "", value));
  EXPECT_EQ(value, "C:\\mbrola\\br4\\br4");
  ASSERT_TRUE(platform::ReadRegistryString(key_, "caminho", value));
  EXPECT_EQ(value, "%SystemRoot%\\voz");  // as stored: nothing is expanded
  ASSERT_TRUE(platform::ReadRegistryString(key_, "SemFim", value));
  EXPECT_EQ(value, "sem terminador");
  ASSERT_TRUE(platform::ReadRegistryString(key_, "Vazio", value));
  EXPECT_EQ(value, "");
}

TEST_F(Win32Registry, AbsentKeysValuesAndOtherTypesAreNotStrings) {
  std::string value = "unchanged";
  EXPECT_FALSE(platform::ReadRegistryString(base_ + "\\Mbrola\\BR9", "", value));
  EXPECT_FALSE(platform::ReadRegistryString(key_, "Ausente", value));
  EXPECT_FALSE(platform::ReadRegistryString(key_, "Numero", value));
  EXPECT_EQ(value, "unchanged");
}

TEST(Win32System, ClockFollowsSleep) {
  const std::int64_t before = platform::ClockMilliseconds();
  platform::Sleep(60);
  const std::int64_t after = platform::ClockMilliseconds();
  EXPECT_GE(after - before, 55);
  EXPECT_LT(after - before, 5000);
  platform::Sleep(0);
  platform::Sleep(-5);
  EXPECT_GE(platform::ClockMilliseconds(), after);
}

TEST(Win32System, ComponentServicesStartOnceForTheThread) {
  platform::StartComponentServices();
  platform::StartComponentServices();
  // Already started on this thread: a further CoInitialize only counts (S_FALSE).
  const HRESULT again = ::CoInitialize(nullptr);
  EXPECT_EQ(again, S_FALSE);
  if (SUCCEEDED(again)) ::CoUninitialize();
}

}  // namespace
