#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/system.h"
#include "support/native_paths.h"
#include "temp_folder.h"

namespace {

using test_paths::kWindowsRules;
using test_paths::Native;

// Sets environment variables for one scope and puts them back afterwards.
class ScopedEnvironment {
 public:
  ~ScopedEnvironment() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->second) {
        setenv(it->first.c_str(), it->second->c_str(), 1);
      } else {
        unsetenv(it->first.c_str());
      }
    }
  }
  void Set(const std::string& name, const char* value) {
    const char* old = std::getenv(name.c_str());
    saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    if (value) {
      setenv(name.c_str(), value, 1);
    } else {
      unsetenv(name.c_str());
    }
  }

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST(NativePathTest, ReadsBackslashesAsTheSeparatorAndDrivesAsTheDataFolder) {
  ScopedEnvironment environment;
  environment.Set("VERANTO_DATA", "/srv/data/");
  const std::pair<const char*, const char*> cases[] = {
      {"c:\\lumivar\\som\\letras", "/srv/data/lumivar/som/letras"},
      {"C:/lumivar/", "/srv/data/lumivar/"},
      {"d:", "/srv/data"},
      {"c:\\\\x", "/srv/data/x"},
      {"/opt/veranto/x.wav", "/opt/veranto/x.wav"},
      {"som\\x.wav", "som/x.wav"},
      {"1:\\x", "1:/x"},
      {"", ""},
  };
  // Windows takes every path as it is written.
  for (const auto& [path, expected] : cases) {
    EXPECT_EQ(platform::NativePath(path), kWindowsRules ? path : expected) << path;
  }
}

TEST(DataFolderTest, FollowsTheEnvironment) {
  struct Case {
    const char* data;
    const char* dataHome;
    const char* home;
    const char* expected;
  };
  const Case cases[] = {
      {"/srv/data//", "/xdg", "/home/u", "/srv/data"},
      {nullptr, "/xdg/", "/home/u", "/xdg/veranto"},
      {nullptr, "relative", "/home/u", "/home/u/.local/share/veranto"},
      {"", nullptr, "/home/u/", "/home/u/.local/share/veranto"},
  };
  for (const Case& c : cases) {
    if (kWindowsRules && (c.data == nullptr || *c.data == '\0')) {
      GTEST_SKIP() << "XDG_DATA_HOME and HOME lead to the data folder on Linux alone";
    }
    ScopedEnvironment environment;
    environment.Set("VERANTO_DATA", c.data ? Native(c.data).c_str() : nullptr);
    environment.Set("XDG_DATA_HOME", c.dataHome);
    environment.Set("HOME", c.home);
    EXPECT_EQ(platform::DataFolder(), Native(c.expected));
  }
}

TEST(WindowsFolderTest, FollowsTheEnvironment) {
  struct Case {
    const char* windir;
    const char* configHome;
    const char* home;
    const char* expected;
  };
  const Case cases[] = {
      {"/srv/win", "/cfg", "/home/u", "/srv/win"},
      {"/srv/win//", nullptr, "/home/u", "/srv/win"},
      {"/", nullptr, nullptr, "/"},
      {"", "/cfg", "/home/u", "/cfg/veranto"},
      {nullptr, "/cfg/", "/home/u", "/cfg/veranto"},
      {nullptr, "relative/cfg", "/home/u", "/home/u/.config/veranto"},
      {nullptr, nullptr, "/home/u/", "/home/u/.config/veranto"},
      {nullptr, "", "/", "/.config/veranto"},
  };
  for (const Case& c : cases) {
    if (kWindowsRules && (c.windir == nullptr || *c.windir == '\0')) {
      GTEST_SKIP() << "XDG_CONFIG_HOME and HOME lead to the Windows folder on Linux alone";
    }
    ScopedEnvironment environment;
    environment.Set("VERANTO_WINDIR", c.windir ? Native(c.windir).c_str() : nullptr);
    environment.Set("XDG_CONFIG_HOME", c.configHome);
    environment.Set("HOME", c.home);
    EXPECT_EQ(platform::WindowsFolder(), Native(c.expected))
        << (c.windir ? c.windir : "-") << " " << (c.configHome ? c.configHome : "-");
  }
}

using FileSystemTest = TempFolderTest;

TEST_F(FileSystemTest, FileExistsOnlyForRegularFiles) {
  const std::string file = WriteFile("sub/a.ini", "x");
  EXPECT_TRUE(platform::FileExists(file));
  std::string windowsStyle = file;
  for (char& c : windowsStyle) {
    if (c == '/') c = '\\';
  }
  EXPECT_TRUE(platform::FileExists(windowsStyle));
  EXPECT_FALSE(platform::FileExists(Folder() + "/sub"));
  EXPECT_FALSE(platform::FileExists(Folder() + "/sub/b.ini"));
  EXPECT_FALSE(platform::FileExists(""));
}

TEST_F(FileSystemTest, ChangesTheCurrentFolder) {
  const std::string before = platform::CurrentFolder();
  WriteFile("sub/a.ini", "x");
  ASSERT_TRUE(platform::SetCurrentFolder(Folder() + "\\sub"));
  EXPECT_TRUE(platform::FileExists("a.ini"));
  const std::string now = platform::CurrentFolder();
  EXPECT_EQ(now.substr(now.size() - 4), Native("/sub"));
  EXPECT_FALSE(platform::SetCurrentFolder(Folder() + "/absent"));
  EXPECT_EQ(platform::CurrentFolder(), now);
  ASSERT_TRUE(platform::SetCurrentFolder(before));
}

TEST_F(FileSystemTest, NamesInWindows1252ReachTheFileSystemAsUtf8) {
  // Windows' ANSI file functions take the Windows-1252 name itself; Linux keeps it in UTF-8.
  WriteFile(kWindowsRules ? "medi\xE7\xE3o.ini" : "medi\xC3\xA7\xC3\xA3o.ini", "[A]\nk=1\n");
  EXPECT_TRUE(platform::FileExists(Folder() + "/medi\xE7\xE3o.ini"));
  EXPECT_EQ(platform::ReadProfileString("A", "k", "", 256, "medi\xE7\xE3o.ini"), "1");
}

}  // namespace
